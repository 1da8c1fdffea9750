#include "ExportName.h"
#include "ReportCsv.h"
#include "ReportDisplay.h"
#include "ReportPage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The page head, as every report page begins.
const QByteArray kHead = "<HTML> <html>\r\n"
                         "<head>\r\n"
                         "\r\n"
                         "<script language= \"JavaScript1.2\"> \r\n"
                         "if (window.Event) \r\n"
                         "document.captureEvents(Event.MOUSEUP); \r\n"
                         "function nocontextmenu()  \r\n"
                         "{\r\n"
                         "event.cancelBubble = true\r\n"
                         "event.returnValue = false;\r\n"
                         "return false;\r\n"
                         "}\r\n"
                         "function norightclick(e)   \r\n"
                         "{\r\n"
                         "if (window.Event)  \r\n"
                         "{\r\n"
                         "if (e.which == 2 || e.which == 3)\r\n"
                         "return false;\r\n"
                         "}\r\n"
                         "else\r\n"
                         "if (event.button == 2 || event.button == 3)\r\n"
                         "{\r\n"
                         "event.cancelBubble = true\r\n"
                         "event.returnValue = false;\r\n"
                         "return false;\r\n"
                         "}  \r\n"
                         "}\r\n"
                         "document.oncontextmenu = nocontextmenu;\r\n"
                         "document.onmousedown = norightclick;\r\n"
                         "</script>\r\n"
                         "\r\n"
                         "\r\n"
                         "<Title> Hourloom </Title> \r\n"
                         "\r\n"
                         "\r\n"
                         "</HEAD>\r\n"
                         "\r\n";

ReportRow row(double minutes, qint32 number, const QString& client, qint32 code,
              const QString& work, QDate day = {}) {
    return ReportRow{minutes / 1440.0, day, number, client, code, work};
}

void touch(const QDir& dir, const QString& name) {
    QFile file(dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class ReportOutputTest : public QObject {
    Q_OBJECT

private slots:
    void page_perItem() {
        const ReportPageTexts texts{"Acme Consulting", "Ann", "Client", false, false};
        const std::vector<ReportRow> rows{row(135, 7, "Beta", 20, "Support"),
                                          row(45, 12, "Zeta", 3, "Design")};
        const QByteArray expected =
            kHead + "<Table width=100% Align=Center Border=2px > <CAPTION <B>Acme Consulting  </B> "
                    "<BR> Ann\r\n\r\n"
                    "<TR></TR><TR> <TH>Client Number</TH> <TH Align=Center>Client Name</TH> "
                    "<TH Align=Center>Work Code</TH> <TH Align=Center>Work Description</TH> "
                    "<TH Align=Center>Total Time</TH> </TR>\r\n\r\n"
                    "<TR>\r\n"
                    "<TD> 7</TD> <TD>Beta</TD> <TD>20</TD> <TD>Support</TD> \r\n"
                    "<TD>2HRs 15Mins</TD>\r\r\n\r\n"
                    "</TR>\r\n"
                    "<TR>\r\n"
                    "<TD> 12</TD> <TD>Zeta</TD> <TD>3</TD> <TD>Design</TD> \r\n"
                    "<TD>0HRs 45Mins</TD>\r\r\n\r\n"
                    "</TR>\r\n"
                    "</Table> </Body> </html>\r\n";
        QCOMPARE(reportPage(texts, rows), expected);
    }

    void page_dailyInMinutesWithProjectWordingAndNoCompany() {
        const ReportPageTexts texts{"", " ", "Project", true, true};
        const std::vector<ReportRow> rows{row(135, 7, "Beta", 20, "Support", QDate(2025, 3, 2)),
                                          row(0.4, 7, "Beta", 20, "Support", QDate(2025, 3, 12))};
        const QByteArray expected =
            kHead + "<Table width=100% Align=Center Border=2px > <CAPTION <B>  </B> <BR>  \r\n\r\n"
                    "<TR></TR> <TR> <TH>Date</TH> <TH Align=Center>Project Number</TH> "
                    "<TH Align=Center>Project Name</TH> "
                    "<TH Align=Center>Work Code</TH> <TH Align=Center>Work Description</TH> "
                    "<TH Align=Center>Total Time</TH> </TR>\r\n\r\n"
                    "<TR>\r\n"
                    "<TD>3/2/2025</TD>\r\n"
                    "<TD> 7</TD> <TD>Beta</TD> <TD>20</TD> <TD>Support</TD> \r\n"
                    "<TD>135</TD>\r\r\n\r\n"
                    "</TR>\r\n"
                    "<TR>\r\n"
                    "<TD>3/12/2025</TD>\r\n"
                    "<TD> 7</TD> <TD>Beta</TD> <TD>20</TD> <TD>Support</TD> \r\n"
                    "<TD>0</TD>\r\r\n\r\n"
                    "</TR>\r\n"
                    "</Table> </Body> </html>\r\n";
        QCOMPARE(reportPage(texts, rows), expected);
    }

    void page_withoutRows_hasNoClosingLine() {
        const ReportPageTexts texts{"Acme", "Ann", "Client", false, false};
        const QByteArray page = reportPage(texts, {});
        QVERIFY(page.startsWith(kHead));
        QVERIFY(page.endsWith("<TH Align=Center>Total Time</TH> </TR>\r\n\r\n"));
        QVERIFY(!page.contains("</Table>"));
    }

    void page_escapesNamesSoTheyCannotBreakThePage() {
        const ReportPageTexts texts{"A&B <Ltd>", "Ann \"The\" Analyst", "Client", false, false};
        const std::vector<ReportRow> rows{
            row(60, 1, "Smith & Sons <script>alert(1)</script>", 2, "Q\"A\" > review")};
        const QByteArray page = reportPage(texts, rows);
        QVERIFY(page.contains("<CAPTION <B>A&amp;B &lt;Ltd&gt;  </B> <BR> "
                              "Ann &quot;The&quot; Analyst\r\n"));
        QVERIFY(page.contains("<TD> 1</TD> <TD>Smith &amp; Sons &lt;script&gt;alert(1)"
                              "&lt;/script&gt;</TD> <TD>2</TD> <TD>Q&quot;A&quot; &gt; "
                              "review</TD> \r\n"));
        QVERIFY(!page.contains("<script>"));
    }

    void display_keepsTheCaptionAndDropsTheEmptyRow() {
        const ReportPageTexts texts{"Acme", "Ann", "Client", false, false};
        const QString html = displayedReportHtml(reportPage(texts, {row(60, 1, "Beta", 2, "QA")}));
        QVERIFY(!html.contains(QStringLiteral("<TR></TR>")));
        QVERIFY(!html.contains(QStringLiteral("CAPTION")));
        QVERIFY(html.contains(QStringLiteral("<p align=center><B>Acme  </B> <BR> Ann</p>")));
        QVERIFY(html.contains(QStringLiteral("<Table width=100% Align=Center border=1")));
    }

    void csv_daily_followsTheMinutesBox() {
        const std::vector<ReportRow> rows{
            row(135, 7, "Beta, Inc.", 20, "Support", QDate(2025, 3, 2))};
        QCOMPARE(reportCsv(rows, true, true, "Client", "Ann"),
                 QByteArray("\"Date\",\"Client Number\",\"Client Name\",\"Work Code\","
                            "\"Work Description\",\"Total Time\",\"Employee\"\r\n"
                            "\"03/02/2025\",7,\"Beta, Inc.\",20,\"Support\",\"135\",\"Ann\"\r\n"));
        QCOMPARE(reportCsv(rows, true, false, "Project", "Ann"),
                 QByteArray("\"Date\",\"Project Number\",\"Project Name\",\"Work Code\","
                            "\"Work Description\",\"Total Time\",\"Employee\"\r\n"
                            "\"03/02/2025\",7,\"Beta, Inc.\",20,\"Support\",\"2HRs 15Mins\","
                            "\"Ann\"\r\n"));
    }

    void csv_perItem_alwaysInHoursAndMinutes() {
        const std::vector<ReportRow> rows{row(135, 7, "Beta", 20, "Support"),
                                          row(5, -1, "Zeta", 0, "Design")};
        const QByteArray expected =
            "\"Client Number\",\"ClientName\",\"Work Code\",\"Work Description\","
            "\"Total Time\",\"Employee\"\r\n"
            "7,\"Beta\",20,\"Support\",\"2HRs 15Mins\",\"Ann\"\r\n"
            "-1,\"Zeta\",0,\"Design\",\"0HRs 5Mins\",\"Ann\"\r\n";
        QCOMPARE(reportCsv(rows, false, true, "Client", "Ann"), expected);
        QCOMPARE(reportCsv(rows, false, false, "Client", "Ann"), expected);
    }

    void csv_doublesQuotesInsideTexts() {
        const QByteArray csv =
            reportCsv({row(60, 1, "The \"Best\" Co", 2, "QA")}, false, false, "Client", "A\"n");
        QVERIFY(csv.endsWith("1,\"The \"\"Best\"\" Co\",2,\"QA\",\"1HRs 0Mins\",\"A\"\"n\"\r\n"));
    }

    void exportProposal_data() {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("none") << QStringList{} << "Ann.csv";
        QTest::newRow("Ann.csv") << QStringList{"Ann.csv"} << "Ann1.csv";
        QTest::newRow("Ann, Ann1") << QStringList{"Ann.csv", "Ann1.csv"} << "Ann2.csv";
        QTest::newRow("Ann, Ann2") << QStringList{"Ann.csv", "Ann2.csv"} << "Ann3.csv";
        QTest::newRow("only Annabel") << QStringList{"Annabel.csv"} << "Ann1.csv";
        QTest::newRow("case ignored") << QStringList{"ANN.CSV", "ann1.Csv"} << "Ann2.csv";
        QTest::newRow("other files")
            << QStringList{"Bob.csv", "Ann.txt", "Ann.csv.bak"} << "Ann.csv";
    }
    void exportProposal() {
        QFETCH(QStringList, existing);
        QFETCH(QString, proposed);
        QTemporaryDir dir;
        for (const QString& name : existing)
            touch(QDir(dir.path()), name);
        const QString folder = dir.path() + QLatin1Char('/');
        QCOMPARE(proposedExportPath(folder, QStringLiteral("Ann")), folder + proposed);
    }

    void exportProposal_nameWithWildcardsOrSlash() {
        QTemporaryDir dir;
        touch(QDir(dir.path()), QStringLiteral("Annabel.csv"));
        const QString folder = dir.path() + QLatin1Char('/');
        // "*" and "?" are plain characters in a name, not patterns
        QCOMPARE(proposedExportPath(folder, QStringLiteral("A*")), folder + "A*.csv");
        QCOMPARE(proposedExportPath(folder, QStringLiteral("a/b")), folder + "a_b.csv");
        QCOMPARE(exportFolderOf(folder + "x/Ann.csv"), folder + "x/");
    }
};

QTEST_GUILESS_MAIN(ReportOutputTest)
#include "test_report_output.moc"

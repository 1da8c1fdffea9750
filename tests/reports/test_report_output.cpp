#include "ExportName.h"
#include "ReportCsv.h"
#include "ReportPage.h"
#include "ReportQuery.h"

#include <QTest>

namespace {

// The page head, as every report page begins: the head lines, the character
// set and the 25 script lines.
const QByteArray kHead =
    "<HTML> <html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n\r\n<script language= "
    "\"JavaScript1.2\"> \r\nif (window.Event) "
    "\r\ndocument.captureEvents(Event.MOUSEUP); \r\nfunction nocontextmenu()  \r\n{\r\nevent."
    "cancelBubble = true\r\nevent.returnValue = false;\r\nreturn false;\r\n}\r\nfunction "
    "norightclick(e)   \r\n{\r\nif (window.Event)  \r\n{\r\nif (e.which == 2 || e.which == "
    "3)\r\nreturn false;\r\n}\r\nelse\r\nif (event.button == 2 || event.button == "
    "3)\r\n{\r\nevent.cancelBubble = true\r\nevent.returnValue = false;\r\nreturn false;\r\n}  "
    "\r\n}\r\ndocument.oncontextmenu = nocontextmenu;\r\ndocument.onmousedown = "
    "norightclick;\r\n</script>\r\n\r\n\r\n<Title> Hourloom </Title> \r\n\r\n\r\n</HEAD>\r\n\r\n";
const QByteArray kEnd = "</Table> </Body> </html>\r\n";

ReportRow row(double minutes, qint32 number, const QString& client, qint32 code,
              const QString& work, QDate day = {}) {
    return ReportRow{minutes / 1440.0, day, number, client, code, work};
}

} // namespace

class ReportOutputTest : public QObject {
    Q_OBJECT
private slots:
    void defaultRangeIsThePreviousSundayToSaturdayWeek() {
        for (const QDate today : {QDate(2025, 3, 12), QDate(2025, 3, 9), QDate(2025, 3, 15)})
            QCOMPARE(defaultReportRange(today), std::pair(QDate(2025, 3, 2), QDate(2025, 3, 8)));
        QCOMPARE(defaultReportRange(QDate(2025, 1, 2)),
                 std::pair(QDate(2024, 12, 22), QDate(2024, 12, 28)));
    }

    void pageBytes() {
        const ReportPageTexts perItem{"Acme Consulting", "Ann", "Client", false, false};
        QCOMPARE(reportPage(perItem,
                            {row(135, 7, "Beta", 20, "Support"), row(45, 12, "Zeta", 3, "Design")}),
                 kHead +
                     "<Table width=100% Align=Center Border=2px > <CAPTION <B>Acme Consulting  "
                     "</B> <BR> Ann\r\n\r\n<TR></TR><TR> <TH>Client Number</TH> <TH "
                     "Align=Center>Client Name</TH> <TH Align=Center>Work Code</TH> <TH "
                     "Align=Center>Work Description</TH> <TH Align=Center>Total Time</TH> "
                     "</TR>\r\n\r\n<TR>\r\n<TD> 7</TD> <TD>Beta</TD> <TD>20</TD> "
                     "<TD>Support</TD> \r\n<TD>2HRs 15Mins</TD>\r\r\n\r\n</TR>\r\n<TR>\r\n<TD> "
                     "12</TD> <TD>Zeta</TD> <TD>3</TD> <TD>Design</TD> \r\n<TD>0HRs "
                     "45Mins</TD>\r\r\n\r\n</TR>\r\n" +
                     kEnd);
        const ReportPageTexts daily{"", " ", "Project", true, true};
        const QByteArray header =
            "<Table width=100% Align=Center Border=2px > <CAPTION <B>  </B> <BR>  "
            "\r\n\r\n<TR></TR> "
            "<TR> <TH>Date</TH> <TH Align=Center>Project Number</TH> <TH Align=Center>Project "
            "Name</TH> <TH Align=Center>Work Code</TH> <TH Align=Center>Work Description</TH> <TH "
            "Align=Center>Total Time</TH> </TR>\r\n\r\n";
        QCOMPARE(reportPage(daily, {row(135, 7, "Beta", 20, "Support", QDate(2025, 3, 2)),
                                    row(0.4, 7, "Beta", 20, "Support", QDate(2025, 3, 12))}),
                 kHead + header +
                     "<TR>\r\n<TD>3/2/2025</TD>\r\n<TD> 7</TD> <TD>Beta</TD> <TD>20</TD> "
                     "<TD>Support</TD> \r\n<TD>135</TD>\r\r\n\r\n</TR>\r\n<TR>\r\n<TD>3/12/2025</"
                     "TD>\r\n<TD> 7</TD> <TD>Beta</TD> <TD>20</TD> <TD>Support</TD> "
                     "\r\n<TD>0</TD>\r\r\n\r\n</TR>\r\n" +
                     kEnd);
        QCOMPARE(reportPage(daily, {}), kHead + header);
        // Names are escaped so they can neither break the page nor run script in it
        const QByteArray page =
            reportPage({"A&B <Ltd>", "Ann \"The\" Analyst", "Client", false, false},
                       {row(60, 1, "Smith & Sons <script>", 2, "Q\"A\" > review")});
        QVERIFY(page.contains("<B>A&amp;B &lt;Ltd&gt;  </B> <BR> Ann &quot;The&quot; Analyst\r\n"));
        QVERIFY(page.contains("<TD>Smith &amp; Sons &lt;script&gt;</TD> <TD>2</TD> "
                              "<TD>Q&quot;A&quot; &gt; review</TD>"));
    }

    void csvBytes() {
        const std::vector<ReportRow> days{row(135, 7, "Beta, Inc.", 20, "Support", {2025, 3, 2})};
        const QByteArray dailyHeader = "\"Date\",\"%1 Number\",\"%1 Name\",\"Work Code\",\"Work "
                                       "Description\",\"Total Time\",\"Employee\"\r\n";
        QCOMPARE(reportCsv(days, true, true, "Client", "Ann"),
                 QString(dailyHeader).arg("Client").toUtf8() +
                     "\"03/02/2025\",7,\"Beta, Inc.\",20,\"Support\",\"135\",\"Ann\"\r\n");
        QCOMPARE(reportCsv(days, true, false, "Project", "Ann"),
                 QString(dailyHeader).arg("Project").toUtf8() +
                     "\"03/02/2025\",7,\"Beta, Inc.\",20,\"Support\",\"2HRs 15Mins\",\"Ann\"\r\n");
        const std::vector<ReportRow> items{row(135, 7, "Beta", 20, "Support"),
                                           row(5, -1, "The \"Best\" Co", 0, "Design")};
        const QByteArray perItem =
            "\"Client Number\",\"ClientName\",\"Work Code\",\"Work Description\",\"Total "
            "Time\",\"Employee\"\r\n7,\"Beta\",20,\"Support\",\"2HRs 15Mins\",\"A\"\"n\"\r\n-1,"
            "\"The \"\"Best\"\" Co\",0,\"Design\",\"0HRs 5Mins\",\"A\"\"n\"\r\n";
        QCOMPARE(reportCsv(items, false, true, "Client", "A\"n"), perItem);
    }

    void exportProposal_data() {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("Ann.csv") << QStringList{"Ann.csv"} << "Ann1.csv";
        QTest::newRow("Ann, Ann2") << QStringList{"Ann.csv", "Ann2.csv"} << "Ann3.csv";
        QTest::newRow("case ignored") << QStringList{"ANN.CSV", "ann1.Csv"} << "Ann2.csv";
        QTest::newRow("others") << QStringList{"Bob.csv", "Ann.txt", "Ann.csv.bak"} << "Ann.csv";
    }
    void exportProposal() {
        QFETCH(QStringList, existing);
        QFETCH(QString, proposed);
        QTemporaryDir dir;
        const QString folder = dir.path() + '/';
        for (const QString& name : existing)
            QVERIFY(QFile(folder + name).open(QIODevice::WriteOnly));
        QCOMPARE(proposedExportPath(folder, "Ann"), folder + proposed);
        QCOMPARE(proposedExportPath(folder, "a/b"), folder + "a_b.csv");
    }
};

QTEST_GUILESS_MAIN(ReportOutputTest)
#include "test_report_output.moc"

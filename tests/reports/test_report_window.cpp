#include "ReportFiles.h"
#include "ReportFixture.h"
#include "ReportPrinting.h"
#include "TestEnvironment.h"
#include "frmReportCriteria.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Ann's week of 2 to 8 March 2025 with two kinds of work, seen on Wednesday 12 March.
struct Scene {
    TestEnvironment env;
    std::unique_ptr<frmReportCriteria> window;
    ScriptedPrompter& prompts = env.prompts;

    explicit Scene(bool withRecords = true) {
        env.clockNow.set(at(2025, 3, 12, 10));
        env.state.gEmployee = "Ann";
        env.state.gClientLabel = "Client";
        env.settingsStore->setText(keys::Emp, "Ann");
        env.settingsStore->setText(keys::Comp, "Acme Consulting");
        store::Database& db = env.openNewDatabase();
        if (withRecords) {
            addSpan(db, at(2025, 3, 3, 9), at(2025, 3, 3, 11, 15), 7, "Beta", 20, "Support");
            addSpan(db, at(2025, 3, 4, 9), at(2025, 3, 4, 9, 45), 12, "Zeta", 3, "Design");
        }
    }
    void open() { window = std::make_unique<frmReportCriteria>(); }
    template <class T = QToolButton> T* control(const char* name) const {
        return window->findChild<T*>(name);
    }
    QString shown() const {
        const QUrl url = control<QTextBrowser>("wbReport")->source();
        return url == blankPageUrl()                          ? "blank"
               : url == QUrl::fromLocalFile(reportPagePath()) ? "report"
                                                              : url.toString();
    }
    QByteArray page() const { return fileBytes(reportPagePath()); }
    void print() {
        printWithoutDialog(window.get(), *control<QTextBrowser>("wbReport")->document(), {});
    }
};

} // namespace

class ReportWindowTest : public QObject {
    Q_OBJECT
private slots:
    // The saved choices are loaded, and a screen reader reads the caption,
    // then the table row by row.
    void loadShowsLastWeeksReport() {
        Scene s;
        s.env.settingsStore->setText(keys::chkMins, "1");
        s.open();
        QVERIFY(s.control<QCheckBox>("chkMins")->isChecked());
        QVERIFY(s.page().contains("<TD>Support</TD> \r\n<TD>135</TD>\r\r\n"));
        QCOMPARE(s.shown(), "report");
        QAccessibleInterface* view =
            QAccessible::queryAccessibleInterface(s.control<QTextBrowser>("wbReport"));
        QCOMPARE(view->text(QAccessible::Description).split('\n').mid(0, 3),
                 (QStringList{"Acme Consulting Ann",
                              "Client Number\tClient Name\tWork Code\tWork Description\tTotal Time",
                              "7\tBeta\t20\tSupport\t135"}));
    }

    // An empty or reversed range shows the blank page, never the last report.
    void criteriaChangesRebuildThePage() {
        Scene s;
        s.open();
        auto* from = s.control<QDateEdit>("DTPFrom");
        auto* to = s.control<QDateEdit>("DTPTo");
        to->setDate(QDate(2025, 3, 2));
        QCOMPARE(s.shown(), "blank");
        QVERIFY(!s.page().contains("</Table>"));
        to->setDate(QDate(2025, 3, 8));
        from->setDate(QDate(2025, 3, 9));
        QCOMPARE(s.shown(), "blank");
        from->setDate(QDate(2025, 3, 4));
        to->setDate(QDate(2025, 3, 4));
        QVERIFY(s.page().contains("<TD>Zeta</TD>") && !s.page().contains("<TD>Beta</TD>"));
        QCOMPARE(s.shown(), "report");
    }

    void checkBoxClicksAreSavedEvenWhenNothingIsFound() {
        Scene s(false);
        s.open();
        s.control<QCheckBox>("chkMins")->click();
        s.control<QCheckBox>("chkDaily")->click();
        QCOMPARE(s.env.settingsStore->text(keys::chkMins) +
                     s.env.settingsStore->text(keys::chkDaily),
                 "11");
        QVERIFY(s.page().contains("<TH>Date</TH>"));
        QCOMPARE(s.shown(), "blank");
        s.control("cmdExport")->click();
        QCOMPARE(s.prompts.last().text, "No records to export.\rExport Canceled.");
        QCOMPARE(s.prompts.last().icon, MsgIcon::Information);
        QVERIFY(s.prompts.saveRequests.empty());
    }

    void failuresAreReportedAndNeverShowAPage() {
        {
            Scene s;
            QDir().mkpath(reportPagePath()); // a folder in the page's place
            s.open();
            QVERIFY(s.prompts.last().text.startsWith("The report page could not be written.\r"));
            QCOMPARE(s.shown(), "blank");
            s.prompts.files = {s.env.path("missing/Ann.csv")};
            s.control("cmdExport")->click();
            QVERIFY(s.prompts.last().text.startsWith("The export file could not be written.\r"));
        }
        Scene s;
        s.open();                      // report.htm now holds last week
        s.env.state.gDataBase.reset(); // the next query fails
        s.control<QDateEdit>("DTPFrom")->setDate(QDate(2025, 3, 4));
        QVERIFY(
            s.prompts.last().text.startsWith("The report could not be read from the database.\r"));
        QCOMPARE(s.shown(), "blank");
        // Neither Preview nor Export uses the page of the earlier criteria.
        s.control("cmdViewReport")->click();
        QCOMPARE(s.shown(), "blank");
        QVERIFY(s.window->findChild<QPrintPreviewDialog*>());
        QVERIFY(!s.control<QTextBrowser>("wbReport")->toPlainText().contains("Beta"));
        s.control("cmdExport")->click();
        QVERIFY(s.prompts.saveRequests.empty());
    }

    void printWithoutPrinterOffersAPdfHoldingEveryRow() {
        Scene s;
        s.open();
        const QString pdf = s.env.path("week.pdf");
        s.prompts.files = {s.env.path("missing/week.pdf"), pdf};
        s.print();
        QCOMPARE(s.prompts.texts().value(0),
                 "No printer is installed.\rSave the report as a PDF file instead?");
        QVERIFY(s.prompts.last().text.startsWith("The PDF file could not be written.\r"));
        s.print();
        QCOMPARE(s.prompts.shown.size(), size_t(3));
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is not installed");
        QProcess extract;
        extract.start(pdftotext, {pdf, "-"});
        QVERIFY(extract.waitForFinished(30000));
        const QString text = QString::fromUtf8(extract.readAllStandardOutput());
        for (const char* expected :
             {"Acme Consulting", "Beta", "2HRs 15Mins", "Zeta", "0HRs 45Mins"})
            QVERIFY2(text.contains(QLatin1String(expected)), expected);
    }
};

QTEST_MAIN(ReportWindowTest)
#include "test_report_window.moc"

#include "Records.h"
#include "ReportFiles.h"
#include "ReportPrinting.h"
#include "TestEnvironment.h"
#include "frmReportCriteria.h"

#include <QAccessible>
#include <QDateEdit>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

namespace {

QDateTime march(int day, int h, int min = 0) {
    return QDateTime(QDate(2025, 3, day), QTime(h, min));
}

// Ann's week of 2 to 8 March 2025 with two kinds of work, seen on Wednesday 12 March.
struct Scene {
    TestEnvironment env;
    std::unique_ptr<frmReportCriteria> window;
    ScriptedPrompter& prompts = env.prompts;

    Scene() {
        env.clockNow.set(march(12, 10));
        env.state.gEmployee = "Ann";
        env.state.gClientLabel = "Client";
        env.settingsStore->setText(keys::Emp, "Ann");
        env.settingsStore->setText(keys::Comp, "Acme Consulting");
        store::Database& db = env.openNewDatabase();
        store::appendRecord(
            db, {march(3, 11, 15), march(3, 9), march(3, 11, 15), 7, "Beta", 20, "Support", "Ann"});
        store::appendRecord(
            db, {march(4, 9, 45), march(4, 9), march(4, 9, 45), 12, "Zeta", 3, "Design", "Ann"});
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
    void print() {
        printWithoutDialog(window.get(), *control<QTextBrowser>("wbReport")->document(), {});
    }
};

} // namespace

class ReportWindowTest : public QObject {
    Q_OBJECT
private slots:
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

    // A screen reader reads the caption, then the table row by row.
    void screenReaderReadsTheTable() {
        Scene s;
        s.env.settingsStore->setText(keys::chkMins, "1");
        s.open();
        QAccessibleInterface* view =
            QAccessible::queryAccessibleInterface(s.control<QTextBrowser>("wbReport"));
        QCOMPARE(view->text(QAccessible::Description).split('\n').mid(0, 3),
                 (QStringList{"Acme Consulting Ann",
                              "Client Number\tClient Name\tWork Code\tWork Description\tTotal Time",
                              "7\tBeta\t20\tSupport\t135"}));
    }

    void exportOfAnEmptyRangeSaysSo() {
        Scene s;
        s.open();
        s.control<QDateEdit>("DTPTo")->setDate(QDate(2025, 3, 11));
        s.control<QDateEdit>("DTPFrom")->setDate(QDate(2025, 3, 10));
        s.control("cmdExport")->click();
        QCOMPARE(s.prompts.last().text, "No records to export.\rExport Canceled.");
        QVERIFY(s.prompts.saveRequests.empty());
    }

    void printWithoutPrinterOffersAPdf() {
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
        QVERIFY(QFileInfo(pdf).size() > 0);
    }
};

QTEST_MAIN(ReportWindowTest)
#include "test_report_window.moc"

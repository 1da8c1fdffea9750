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
    void loadShowsLastWeeksReport() {
        Scene s;
        s.env.settingsStore->setText(keys::chkMins, "1");
        s.open();
        QCOMPARE(s.window->windowTitle(), "Hourloom Report");
        for (auto* button : s.window->findChildren<QToolButton*>())
            QCOMPARE(button->accessibleName(), button->toolTip());
        QCOMPARE(s.control<QDateEdit>("DTPFrom")->date(), QDate(2025, 3, 2));
        QCOMPARE(s.control<QDateEdit>("DTPTo")->date(), QDate(2025, 3, 8));
        QVERIFY(!s.control<QCheckBox>("chkDaily")->isChecked());
        QVERIFY(s.control<QCheckBox>("chkMins")->isChecked());
        QVERIFY(s.page().contains("<CAPTION <B>Acme Consulting  </B> <BR> Ann\r\n"));
        QVERIFY(s.page().contains("<TD>Support</TD> \r\n<TD>135</TD>\r\r\n"));
        QCOMPARE(s.shown(), "report");
        // What a screen reader reads: the caption, then the table row by row.
        QAccessibleInterface* view =
            QAccessible::queryAccessibleInterface(s.control<QTextBrowser>("wbReport"));
        QCOMPARE(view->text(QAccessible::Name), "Hourloom Report");
        QCOMPARE(view->text(QAccessible::Description).split('\n').mid(0, 3),
                 (QStringList{"Acme Consulting Ann",
                              "Client Number\tClient Name\tWork Code\tWork Description\tTotal Time",
                              "7\tBeta\t20\tSupport\t135"}));
    }

    void criteriaChangesRebuildThePage() {
        Scene s;
        s.open();
        auto* from = s.control<QDateEdit>("DTPFrom");
        auto* to = s.control<QDateEdit>("DTPTo");
        to->setDate(QDate(2025, 3, 2));
        QCOMPARE(s.shown(), "blank");
        QCOMPARE(s.control<QTextBrowser>("wbReport")->accessibleDescription(), "");
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
        s.control<QCheckBox>("chkDaily")->click();
        QCOMPARE(s.env.settingsStore->text(keys::chkDaily), "0");
        QVERIFY(!s.page().contains("<TH>Date</TH>"));
        QCOMPARE(s.shown(), "blank");
        // Nothing to export: said so, no dialog
        s.control("cmdExport")->click();
        QCOMPARE(s.prompts.last().text, "No records to export.\rExport Canceled.");
        QCOMPARE(s.prompts.last().title, "Hourloom Report");
        QCOMPARE(s.prompts.last().icon, MsgIcon::Information);
        QVERIFY(s.prompts.saveRequests.empty());
    }

    void exportWritesTheFileAndRemembersItsFolder() {
        Scene s;
        const QString folder = s.env.path("exports/"), other = s.env.path("elsewhere/");
        QDir().mkpath(folder);
        QDir().mkpath(other);
        s.env.settingsStore->setText(keys::sExport, folder);
        s.open();
        s.control<QCheckBox>("chkDaily")->click();
        // Cancelled: nothing written, the folder kept
        s.prompts.files = {std::nullopt, other + "week10"};
        s.control("cmdExport")->click();
        const FileRequest& asked = s.prompts.saveRequests.at(0);
        QCOMPARE(asked.filter, "CSV Comma Delimited|*.CSV");
        QCOMPARE(QDir(asked.directory).filePath(asked.proposedName), folder + "Ann.csv");
        QVERIFY(QDir(folder).isEmpty());
        QCOMPARE(s.env.settingsStore->text(keys::sExport), folder);
        // A name typed without extension gets ".csv"; no message after a good export
        s.control("cmdExport")->click();
        QVERIFY(fileBytes(other + "week10.csv").startsWith("\"Date\",\"Client Number\""));
        QCOMPARE(s.env.settingsStore->text(keys::sExport), other);
        QVERIFY(s.prompts.shown.empty());
        QFile::copy(other + "week10.csv", other + "Ann.csv");
        s.control("cmdExport")->click();
        const FileRequest& next = s.prompts.saveRequests.back();
        QCOMPARE(QDir(next.directory).filePath(next.proposedName), other + "Ann1.csv");
    }

    void failuresAreReportedAndNeverShowAPage() {
        {
            Scene s;
            QDir().mkpath(reportPagePath()); // a folder in the page's place
            s.open();
            QCOMPARE(s.prompts.shown.size(), size_t(1));
            QVERIFY(s.prompts.last().text.startsWith("The report page could not be written.\r"));
            QCOMPARE(s.prompts.last().icon, MsgIcon::Critical);
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
        // Neither Preview nor Print shows the page of the earlier criteria.
        s.control("cmdViewReport")->click();
        QCOMPARE(s.shown(), "blank");
        QVERIFY(s.window->findChild<QPrintPreviewDialog*>());
        QVERIFY(!s.control<QTextBrowser>("wbReport")->toPlainText().contains("Beta"));
        s.control("cmdExport")->click();
        QCOMPARE(s.prompts.shown.size(), size_t(2));
        QVERIFY(s.prompts.saveRequests.empty());
    }

    void printWithoutPrinterOffersAPdfHoldingEveryRow() {
        Scene s;
        s.open();
        s.prompts.answers = {MsgAnswer::No};
        s.print();
        QCOMPARE(s.prompts.last().text,
                 "No printer is installed.\rSave the report as a PDF file instead?");
        QVERIFY(s.prompts.saveRequests.empty());
        const QString pdf = s.env.path("week.pdf");
        s.prompts.files = {s.env.path("missing/week.pdf"), pdf};
        s.print();
        QVERIFY(s.prompts.last().text.startsWith("The PDF file could not be written.\r"));
        s.print();
        QCOMPARE(s.prompts.shown.size(), size_t(4));
        QVERIFY(QFileInfo(pdf).size() > 0);
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is not installed");
        QProcess extract;
        extract.start(pdftotext, {pdf, "-"});
        QVERIFY(extract.waitForFinished(30000));
        const QString text = QString::fromUtf8(extract.readAllStandardOutput());
        for (const char* expected : {"Acme Consulting", "Client Number", "Beta", "Support",
                                     "2HRs 15Mins", "Zeta", "Design", "0HRs 45Mins"})
            QVERIFY2(text.contains(QLatin1String(expected)), expected);
    }

    void previewHelpAndClose() {
        Scene s;
        s.open();
        s.control<QTextBrowser>("wbReport")->setSource(blankPageUrl());
        s.control("cmdViewReport")->click();
        QCOMPARE(s.shown(), "report");
        QVERIFY(s.window->findChild<QPrintPreviewDialog*>());
        s.window->findChild<QPrintPreviewDialog*>()->close();
        s.control("cmdHelp")->click();
        QCOMPARE(s.env.helpCalls.calls.at(0).topic, "TimeSheetReport.htm");
        s.window->close();
        QCOMPARE(s.env.windows.shownForms, std::vector<Form>{Form::Control});
    }
};

QTEST_MAIN(ReportWindowTest)
#include "test_report_window.moc"

#include "ReportFiles.h"
#include "ReportFixture.h"
#include "ReportPrinting.h"
#include "ReportWindow.h"
#include "TestEnvironment.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <memory>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Ann's week of 2 to 8 March 2025 with two kinds of work, seen on Wednesday 12 March.
struct ReportScene {
    TestEnvironment env;
    std::unique_ptr<frmReportCriteria> window;

    explicit ReportScene(bool withRecords = true) {
        env.clockNow.set(at(2025, 3, 12, 10));
        env.state.gEmployee = QStringLiteral("Ann");
        env.state.gClientLabel = QStringLiteral("Client");
        env.settingsStore->setText(keys::Emp, QStringLiteral("Ann"));
        env.settingsStore->setText(keys::Comp, QStringLiteral("Acme Consulting"));
        store::Database& db = env.openNewDatabase();
        if (withRecords) {
            addSpan(db, at(2025, 3, 3, 9), at(2025, 3, 3, 11, 15), 7, "Beta", 20, "Support");
            addSpan(db, at(2025, 3, 4, 9), at(2025, 3, 4, 9, 45), 12, "Zeta", 3, "Design");
        }
    }
    void open() { window = std::make_unique<frmReportCriteria>(); }

    template <class T> T* control(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QString shownPage() const { return control<QTextBrowser>("wbReport")->source().toString(); }
};

} // namespace

class ReportWindowTest : public QObject {
    Q_OBJECT

private slots:
    void load_setsUpTheWindowAndShowsLastWeeksReport() {
        ReportScene scene;
        scene.env.settingsStore->setText(keys::chkMins, QStringLiteral("1"));
        scene.open();

        QCOMPARE(scene.window->windowTitle(), QStringLiteral("Hourloom Report"));
        for (const char* name : {"cmdExport", "cmdViewReport", "cmdPrint", "cmdHelp"}) {
            auto* button = scene.control<QToolButton>(name);
            QVERIFY2(button, name);
            QCOMPARE(button->accessibleName(), button->toolTip());
        }
        QCOMPARE(scene.control<QToolButton>("cmdViewReport")->toolTip(),
                 QStringLiteral("Print Preview"));
        QCOMPARE(scene.control<QLabel>("lblFrom")->text(), QStringLiteral("From:"));
        QCOMPARE(scene.control<QLabel>("lblTo")->text(), QStringLiteral("To:"));
        QCOMPARE(scene.control<QDateEdit>("DTPFrom")->date(), QDate(2025, 3, 2));
        QCOMPARE(scene.control<QDateEdit>("DTPTo")->date(), QDate(2025, 3, 8));
        QVERIFY(!scene.control<QCheckBox>("chkDaily")->isChecked());
        QVERIFY(scene.control<QCheckBox>("chkMins")->isChecked());

        const QByteArray page = fileBytes(reportPagePath());
        QVERIFY(page.contains("<CAPTION <B>Acme Consulting  </B> <BR> Ann\r\n"));
        QVERIFY(page.contains("<TD> 7</TD> <TD>Beta</TD> <TD>20</TD> <TD>Support</TD> \r\n"
                              "<TD>135</TD>\r\r\n"));
        QVERIFY(page.endsWith("</Table> </Body> </html>\r\n"));
        QCOMPARE(scene.shownPage(), QUrl::fromLocalFile(reportPagePath()).toString());
        QVERIFY(scene.control<QTextBrowser>("wbReport")->toPlainText().contains("Zeta"));
    }

    void criteriaChanges_rebuildThePage() {
        ReportScene scene;
        scene.open();
        auto* to = scene.control<QDateEdit>("DTPTo");
        auto* from = scene.control<QDateEdit>("DTPFrom");

        // Moving To before the records leaves the blank page
        to->setDate(QDate(2025, 3, 2));
        QCOMPARE(scene.shownPage(), blankPageUrl().toString());
        QVERIFY(!fileBytes(reportPagePath()).contains("</Table>"));

        // From after To finds nothing either
        to->setDate(QDate(2025, 3, 8));
        from->setDate(QDate(2025, 3, 9));
        QCOMPARE(scene.shownPage(), blankPageUrl().toString());

        // One day with a record: only that day's sum
        from->setDate(QDate(2025, 3, 4));
        to->setDate(QDate(2025, 3, 4));
        const QByteArray page = fileBytes(reportPagePath());
        QVERIFY(page.contains("<TD>Zeta</TD>"));
        QVERIFY(!page.contains("<TD>Beta</TD>"));
        QCOMPARE(scene.shownPage(), QUrl::fromLocalFile(reportPagePath()).toString());
    }

    void checkBoxClicks_areSavedAndRebuildThePage() {
        ReportScene scene(false);
        scene.open();
        auto* daily = scene.control<QCheckBox>("chkDaily");
        auto* mins = scene.control<QCheckBox>("chkMins");

        // Saved even when nothing is found
        mins->click();
        QCOMPARE(scene.env.settingsStore->text(keys::chkMins), QStringLiteral("1"));
        daily->click();
        QCOMPARE(scene.env.settingsStore->text(keys::chkDaily), QStringLiteral("1"));
        QVERIFY(fileBytes(reportPagePath()).contains("<TH>Date</TH>"));
        daily->click();
        QCOMPARE(scene.env.settingsStore->text(keys::chkDaily), QStringLiteral("0"));
        QVERIFY(!fileBytes(reportPagePath()).contains("<TH>Date</TH>"));
        QCOMPARE(scene.shownPage(), blankPageUrl().toString());
    }

    void export_withoutRecords_saysSoAndAsksNothing() {
        ReportScene scene(false);
        scene.open();
        scene.control<QToolButton>("cmdExport")->click();
        QCOMPARE(scene.env.prompts.shown.size(), size_t(1));
        QCOMPARE(scene.env.prompts.last().text,
                 QStringLiteral("No records to export.\rExport Canceled."));
        QCOMPARE(scene.env.prompts.last().title, QStringLiteral("Hourloom Report"));
        QCOMPARE(scene.env.prompts.last().icon, MsgIcon::Information);
        QVERIFY(scene.env.prompts.saveRequests.empty());
    }

    void export_cancelled_writesNothingAndKeepsTheFolder() {
        ReportScene scene;
        const QString folder = scene.env.path(QStringLiteral("exports/"));
        QDir().mkpath(folder);
        scene.env.settingsStore->setText(keys::sExport, folder);
        scene.open();
        scene.env.prompts.files.push_back(std::nullopt);

        scene.control<QToolButton>("cmdExport")->click();

        QCOMPARE(scene.env.prompts.saveRequests.size(), size_t(1));
        const FileRequest& asked = scene.env.prompts.saveRequests[0];
        QCOMPARE(asked.filter, QStringLiteral("CSV Comma Delimited|*.CSV"));
        QCOMPARE(QDir(asked.directory).filePath(asked.proposedName), folder + "Ann.csv");
        QVERIFY(QDir(folder).isEmpty());
        QCOMPARE(scene.env.settingsStore->text(keys::sExport), folder);
        QVERIFY(scene.env.prompts.shown.empty());
    }

    void export_writesTheFileAndRemembersItsFolder() {
        ReportScene scene;
        scene.open();
        scene.control<QCheckBox>("chkDaily")->click();
        const QString other = scene.env.path(QStringLiteral("elsewhere"));
        QDir().mkpath(other);
        scene.env.prompts.files.push_back(other + "/week10"); // typed without extension

        scene.control<QToolButton>("cmdExport")->click();

        QCOMPARE(fileBytes(other + "/week10.csv"),
                 QByteArray("\"Date\",\"Client Number\",\"Client Name\",\"Work Code\","
                            "\"Work Description\",\"Total Time\",\"Employee\"\r\n"
                            "\"03/03/2025\",7,\"Beta\",20,\"Support\",\"2HRs 15Mins\",\"Ann\"\r\n"
                            "\"03/04/2025\",12,\"Zeta\",3,\"Design\",\"0HRs 45Mins\",\"Ann\"\r\n"));
        QCOMPARE(scene.env.settingsStore->text(keys::sExport), other + "/");
        QVERIFY(scene.env.prompts.shown.empty()); // no message after a good export

        // The next proposal is in that folder, numbered past the first export
        scene.env.prompts.files.push_back(std::nullopt);
        QFile::copy(other + "/week10.csv", other + "/Ann.csv");
        scene.control<QToolButton>("cmdExport")->click();
        const FileRequest& next = scene.env.prompts.saveRequests.back();
        QCOMPARE(QDir(next.directory).filePath(next.proposedName), other + "/Ann1.csv");
    }

    void failures_areReportedAndNeverShowAPage() {
        // A report page that cannot be written
        {
            ReportScene scene;
            QDir().mkpath(reportPagePath()); // a folder in the page's place
            scene.open();
            QCOMPARE(scene.env.prompts.shown.size(), size_t(1));
            QVERIFY(scene.env.prompts.last().text.startsWith(
                QStringLiteral("The report page could not be written.\r")));
            QCOMPARE(scene.env.prompts.last().icon, MsgIcon::Critical);
            QCOMPARE(scene.shownPage(), blankPageUrl().toString());

            // An export into a folder that does not exist
            scene.env.prompts.files.push_back(scene.env.path("missing/Ann.csv"));
            scene.control<QToolButton>("cmdExport")->click();
            QVERIFY(scene.env.prompts.last().text.startsWith(
                QStringLiteral("The export file could not be written.\r")));
        }
        // A query that fails: no database is open
        {
            ReportScene scene;
            scene.env.state.gDataBase.reset();
            scene.open();
            QCOMPARE(scene.env.prompts.shown.size(), size_t(1));
            QVERIFY(scene.env.prompts.last().text.startsWith(
                QStringLiteral("The report could not be read from the database.\r")));
            QCOMPARE(scene.shownPage(), blankPageUrl().toString());
            scene.control<QToolButton>("cmdExport")->click();
            QCOMPARE(scene.env.prompts.shown.size(), size_t(2));
            QVERIFY(scene.env.prompts.saveRequests.empty());
        }
    }

    void print_withoutPrinter_offersAPdfHoldingEveryRow() {
        ReportScene scene;
        scene.open();
        auto* page = scene.control<QTextBrowser>("wbReport")->document();
        const QString pdf = scene.env.path(QStringLiteral("week.pdf"));

        // Declined: nothing is written
        scene.env.prompts.answers.push_back(MsgAnswer::No);
        printWithoutDialog(scene.window.get(), *page, {});
        QCOMPARE(
            scene.env.prompts.last().text,
            QStringLiteral("No printer is installed.\rSave the report as a PDF file instead?"));
        QVERIFY(scene.env.prompts.saveRequests.empty());

        // Accepted, into a folder that does not exist: said so
        scene.env.prompts.files.push_back(scene.env.path(QStringLiteral("missing/week.pdf")));
        printWithoutDialog(scene.window.get(), *page, {});
        QVERIFY(scene.env.prompts.last().text.startsWith(
            QStringLiteral("The PDF file could not be written.\r")));

        // Accepted: the PDF holds the caption and every row
        scene.env.prompts.files.push_back(pdf);
        printWithoutDialog(scene.window.get(), *page, {});
        QCOMPARE(scene.env.prompts.shown.size(), size_t(4));
        QVERIFY(QFileInfo(pdf).size() > 0);
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is not installed");
        QProcess extract;
        extract.start(pdftotext, {pdf, QStringLiteral("-")});
        QVERIFY(extract.waitForFinished(30000));
        const QString text = QString::fromUtf8(extract.readAllStandardOutput());
        for (const char* expected : {"Acme Consulting", "Beta", "Support", "2HRs 15Mins", "Zeta",
                                     "Design", "0HRs 45Mins", "Client Number"})
            QVERIFY2(text.contains(QLatin1String(expected)), expected);
    }

    void print_toAFileThatCannotBeWritten_saysSo() {
        ReportScene scene;
        scene.open();
        scene.env.prompts.files.push_back(scene.env.path(QStringLiteral("missing/week.pdf")));
        printWithoutDialog(scene.window.get(), *scene.control<QTextBrowser>("wbReport")->document(),
                           {});
        QVERIFY(scene.env.prompts.last().text.startsWith(
            QStringLiteral("The PDF file could not be written.\r")));
    }

    void previewHelpAndClose() {
        ReportScene scene;
        scene.open();
        scene.control<QTextBrowser>("wbReport")->setSource(blankPageUrl());

        scene.control<QToolButton>("cmdViewReport")->click();
        QCOMPARE(scene.shownPage(), QUrl::fromLocalFile(reportPagePath()).toString());
        auto* preview = scene.window->findChild<QPrintPreviewDialog*>();
        QVERIFY(preview);
        preview->close();

        scene.control<QToolButton>("cmdHelp")->click();
        QCOMPARE(scene.env.helpCalls.calls.size(), size_t(1));
        QCOMPARE(scene.env.helpCalls.calls[0].topic, QStringLiteral("TimeSheetReport.htm"));
        QCOMPARE(scene.env.helpCalls.calls[0].owner.data(), scene.window.get());

        scene.window->close();
        QCOMPARE(scene.env.windows.shownForms, std::vector<Form>{Form::Control});
    }
};

QTEST_MAIN(ReportWindowTest)
#include "test_report_window.moc"

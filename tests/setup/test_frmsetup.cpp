#include "FrmSetup.h"
#include "Maintenance.h"
#include "SavedLayout.h"
#include "Schema.h"
#include "SetupFixtures.h"
#include "SetupForms.h"
#include "TestEnvironment.h"

#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTest>

using namespace fixtures;

namespace {

const QChar CR(13);
const QString kApp = QStringLiteral("Hourloom");

QString lines(const QStringList& parts) {
    return parts.join(CR);
}

const QString kCloseTitle = "Database Not Found...      Close Program?";
const QString kCloseText =
    lines({"Close Program?", "Database was not opened.", "", "Yes to EXIT", "",
           "No to go back to Hourloom program.",
           " - After selecting No either OPEN or CREATE a *.hl1 database file.",
           "  - Use the button with open file folder icon."});
const QString kUseText = lines({"Create database? ", "Yes for new Database.",
                                " -Use a network drive if planning to share file.", "",
                                "No to open existing Hourloom 1.1 database.",
                                " -Hourloom database file has *.hl1 file extention."});
const QString kWarningText =
    lines({"Suggest that a back-up of the existing database.",
           "Also suggest all users of the database exit out of Hourloom until compacting is "
           "completed.",
           "", "Continoue?"});
const QString kCompactBegin = "Beginning to compact database this may take a few minutes.  "
                              "Please wait for completion message before continuing.";
const QString kCompactDone = "Database has now been compacted.  Hourloom is now ready for use";
const QString kDeleted =
    " records were deleted from database.  You may want to compress database now.";

// One test's world: the services, and the window as the registry loads it.
struct World {
    TestEnvironment env;
    QPointer<QWidget> window;

    World() {
        env.windows.factories[Form::Setup] = [] { return createFrmSetup(); };
    }
    QWidget* open() {
        window = env.windows.show(Form::Setup);
        return window;
    }
    template <class T> T* control(const char* name) const {
        T* found = window->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void setText(const char* name, const QString& text) { control<QLineEdit>(name)->setText(text); }
    void click(const char* name) { control<QAbstractButton>(name)->click(); }
    QString setting(const SettingKey& key) const { return env.settingsStore->text(key); }
    bool hasSetting(const SettingKey& key) const {
        return env.settingsStore->read(key.section, key.key, "<none>") != "<none>";
    }
    store::Database& db() { return *env.state.gDataBase; }
};

} // namespace

class TestFrmSetup : public QObject {
    Q_OBJECT
private slots:
    void controlsCarryTheirNamesAndTips() {
        World w;
        QWidget* window = w.open();
        QCOMPARE(window->windowTitle(), QString("Time and Settings"));
        const QList<QPair<const char*, QString>> buttons = {
            {"cmdDatabase", "Create or Open Database File"},
            {"cmdCompact", "Compact Database"},
            {"cmdDelete", "Delete Old Records"},
            {"cmdAdd", "Accept Changes"},
            {"cmdHelp", "Help"}};
        for (const auto& [name, tip] : buttons) {
            auto* button = w.control<QAbstractButton>(name);
            QCOMPARE(button->toolTip(), tip);
            QCOMPARE(button->accessibleName(), tip);
        }
        const QList<QPair<const char*, QString>> boxes = {{"txtEmp", "Employee ID"},
                                                          {"txtComp", "Company Name"},
                                                          {"txtFreq", "Time Capture Frequency"},
                                                          {"txtDaysOld", "Keep Records"}};
        for (const auto& [name, label] : boxes)
            QCOMPARE(w.control<QLineEdit>(name)->accessibleName(), label);
        QCOMPARE(w.control<QGroupBox>("Frame2")->title(), QString("Lable As"));
        QCOMPARE(w.control<QRadioButton>("optClient")->text(), QString("Client Work"));
        QCOMPARE(w.control<QRadioButton>("optProject")->text(), QString("Project Work"));
    }

    void loadShowsTheSavedSettings() {
        World w;
        const QString path = w.env.path("Hourloom.HL1");
        w.env.openNewDatabase();
        Settings& s = *w.env.settingsStore;
        s.setText(keys::Emp, "ann");
        s.setText(keys::Comp, "Acme");
        s.setText(keys::intMinTimer, "20");
        s.setText(keys::DaysOld, "30");
        s.setText(keys::lLabel, "2");
        w.open();
        QCOMPARE(w.control<QLineEdit>("txtEmp")->text(), QString("ann"));
        QCOMPARE(w.control<QLineEdit>("txtComp")->text(), QString("Acme"));
        QCOMPARE(w.control<QLineEdit>("txtFreq")->text(), QString("20"));
        QCOMPARE(w.control<QLineEdit>("txtDaysOld")->text(), QString("30"));
        QVERIFY(w.control<QRadioButton>("optProject")->isChecked());
        QVERIFY(!w.control<QRadioButton>("optClient")->isChecked());
        QCOMPARE(w.control<QLabel>("lblLocation")->text(), path);
        QCOMPARE(w.control<QLabel>("lblLocation")->toolTip(), path);
        QCOMPARE(w.env.state.gEmployee, QString("ann"));
        QCOMPARE(w.env.state.lLabel, 2);
    }

    void loadWithoutDatabaseShowsTheHint() {
        World w;
        w.open();
        QCOMPARE(w.control<QLineEdit>("txtEmp")->text(), QString(" "));
        QCOMPARE(w.control<QLineEdit>("txtFreq")->text(), QString("15"));
        QCOMPARE(w.control<QLineEdit>("txtDaysOld")->text(), QString("90"));
        QVERIFY(w.control<QRadioButton>("optClient")->isChecked());
        QCOMPARE(w.control<QLabel>("lblLocation")->text(), QString());
        QCOMPARE(w.control<QLabel>("lblLocation")->toolTip(),
                 QString("Create or open database.  Select file folder button on the right."));
    }

    void acceptRefusesWhatIsNotANumber_data() {
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<QString>("days");
        QTest::newRow("frequency abc") << "abc"
                                       << "90";
        QTest::newRow("frequency beyond 16 bits") << "70000"
                                                  << "90";
        QTest::newRow("days abc") << "15"
                                  << "abc";
        QTest::newRow("days empty") << "15"
                                    << "";
    }
    void acceptRefusesWhatIsNotANumber() {
        QFETCH(QString, frequency);
        QFETCH(QString, days);
        World w;
        w.env.openNewDatabase();
        w.env.state.gStartupDone = true;
        w.open();
        w.setText("txtComp", "Acme");
        w.setText("txtFreq", frequency);
        w.setText("txtDaysOld", days);
        w.click("cmdAdd");
        QVERIFY(w.window && w.window->isVisible());
        QVERIFY(w.env.prompts.shown.empty());
        QVERIFY(!w.hasSetting(keys::Comp));
        QVERIFY(!w.hasSetting(keys::intMinTimer));
        QCOMPARE(w.env.state.intMinTimer, qint16(0));
    }

    void acceptWithoutEmployeeStoresOneBlank() {
        World w;
        w.env.openNewDatabase();
        w.env.state.gStartupDone = true;
        w.open();
        w.setText("txtEmp", "");
        w.click("cmdAdd");
        QCOMPARE(w.env.prompts.shown.size(), size_t(1));
        QCOMPARE(w.env.prompts.last().text, QString("Employee name or ID is needed"));
        QCOMPARE(w.env.prompts.last().title, kApp);
        QCOMPARE(w.env.prompts.last().icon, MsgIcon::None);
        QCOMPARE(w.setting(keys::Emp), QString(" "));
        QCOMPARE(w.env.state.gEmployee, QString(" "));
    }

    void acceptSavesProjectWordingForTheRecordingWindows() {
        // Given the window over an open database, in normal use
        World w;
        w.env.openNewDatabase();
        w.env.state.gStartupDone = true;
        w.open();
        // When the user picks Project wording and a new frequency and accepts
        w.setText("txtEmp", "ann");
        w.setText("txtComp", "Acme");
        w.setText("txtFreq", "25.4");
        w.setText("txtDaysOld", "60");
        w.click("optProject");
        w.click("cmdAdd");
        // Then the settings hold them, as typed, and the window is closed
        QCOMPARE(w.setting(keys::lblClient1), QString("Project"));
        QCOMPARE(w.setting(keys::lblClient2), QString("Number"));
        QCOMPARE(w.setting(keys::Frame2), QString("Project Information"));
        QCOMPARE(w.setting(keys::lLabel), QString("2"));
        QCOMPARE(w.setting(keys::intMinTimer), QString("25.4"));
        QCOMPARE(w.setting(keys::DaysOld), QString("60"));
        QCOMPARE(w.setting(keys::Emp), QString("ann"));
        QCOMPARE(w.setting(keys::Comp), QString("Acme"));
        QCOMPARE(w.env.state.intMinTimer, qint16(25));
        QVERIFY(!w.window || !w.window->isVisible());
        QCOMPARE(w.env.windows.timesShown(Form::Control), 1);
        // And what the recording windows read at their next load says so
        const SavedLayout layout = readSavedLayout(*w.env.settingsStore);
        QCOMPARE(layout.lblClient1, QString("Project"));
        QCOMPARE(layout.lblClient2, QString("Number"));
        QCOMPARE(layout.frame2, QString("Project Information"));
        QCOMPARE(layout.intMinTimer, qint16(25));
    }

    void helpOpensTheSetupTopic() {
        World w;
        w.open();
        w.click("cmdHelp");
        QCOMPARE(w.env.helpCalls.calls.size(), size_t(1));
        QCOMPARE(w.env.helpCalls.calls[0].topic, QString("setup.htm"));
        QCOMPARE(w.env.helpCalls.calls[0].owner.data(), w.window.data());
    }

    void databaseButtonCancelChangesNothing() {
        World w;
        w.open();
        const QString before = w.env.state.gDataBaseLoc;
        w.env.prompts.answers = {MsgAnswer::Yes};
        w.click("cmdDatabase");
        // The question, then the save dialog offering the current file
        QCOMPARE(w.env.prompts.shown.size(), size_t(1));
        QCOMPARE(w.env.prompts.last().text, kUseText);
        QCOMPARE(w.env.prompts.last().title, QString("Database Use"));
        QCOMPARE(w.env.prompts.last().icon, MsgIcon::Question);
        QCOMPARE(w.env.prompts.last().buttons, MsgButtons::YesNo);
        QCOMPARE(w.env.prompts.saveRequests.size(), size_t(1));
        QCOMPARE(w.env.prompts.saveRequests[0].filter, QString("Database for Brightmere |*.HL1"));
        QCOMPARE(w.env.prompts.saveRequests[0].proposedName, QString("Hourloom.HL1"));
        QCOMPARE(w.env.state.gDataBaseLoc, before);
        QVERIFY(!w.env.state.gDataBase);
        QVERIFY(!w.hasSetting(keys::gDataBaseLoc));
    }

    void databaseButtonCreatesOrOpens() {
        // Yes with a name typed without extension in an empty folder: created
        World w;
        w.open();
        QDir().mkpath(w.env.path("team"));
        w.env.prompts.answers = {MsgAnswer::Yes};
        w.env.prompts.files = {w.env.path("team/Shared")};
        w.click("cmdDatabase");
        const QString created = w.env.path("team/Shared.HL1");
        QVERIFY(w.env.state.gDataBase);
        QCOMPARE(w.env.state.gDataBase->path(), created);
        QCOMPARE(w.setting(keys::gDataBaseLoc), created);
        QCOMPARE(w.setting(keys::gDataBaseName), QString("Shared.HL1"));
        QCOMPARE(w.control<QLabel>("lblLocation")->text(), created);
        QCOMPARE(rowCount(w.db()), 0);
        store::appendRecord(w.db(), record("ann", QDateTime(QDate(2026, 3, 10), QTime(9, 0))));

        // No with that file: opened as it is, through the open dialog
        World other;
        other.open();
        other.env.prompts.answers = {MsgAnswer::No};
        other.env.prompts.files = {created};
        other.click("cmdDatabase");
        QCOMPARE(other.env.prompts.openRequests.size(), size_t(1));
        QVERIFY(other.env.prompts.saveRequests.empty());
        QCOMPARE(other.setting(keys::gDataBaseLoc), created);
        QCOMPARE(rowCount(other.db()), 1);
        QVERIFY(other.env.prompts.shown.size() == 1); // only the question
    }

    void databaseButtonFailureKeepsTheOldDatabase_data() {
        QTest::addColumn<bool>("create");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("reason");
        QTest::newRow("create in a missing folder") << true << "nowhere/New.HL1"
                                                    << "Cannot";
        QTest::newRow("open a foreign file") << false << "notes.HL1"
                                             << "not an Hourloom";
        QTest::newRow("open a file that is not there") << false << "gone.HL1"
                                                       << "does not exist";
    }
    void databaseButtonFailureKeepsTheOldDatabase() {
        QFETCH(bool, create);
        QFETCH(QString, chosen);
        QFETCH(QString, reason);
        World w;
        const QString good = w.env.path("Hourloom.HL1");
        w.env.openNewDatabase();
        QFile foreign(w.env.path("notes.HL1"));
        QVERIFY(foreign.open(QIODevice::WriteOnly));
        foreign.write(QByteArray(4096, 'x'));
        foreign.close();
        w.open();
        w.env.prompts.answers = {create ? MsgAnswer::Yes : MsgAnswer::No};
        w.env.prompts.files = {w.env.path(chosen)};
        w.click("cmdDatabase");

        QCOMPARE(w.env.prompts.shown.size(), size_t(2));
        QVERIFY2(w.env.prompts.last().text.contains(reason), qPrintable(w.env.prompts.last().text));
        QCOMPARE(w.env.prompts.last().icon, MsgIcon::Critical);
        QCOMPARE(w.setting(keys::gDataBaseLoc), good);
        QCOMPARE(w.env.state.gDataBaseLoc, good);
        QCOMPARE(w.env.state.gDataBase->path(), good);
        QVERIFY(!QFile::exists(w.env.path("gone.HL1")));
        QCOMPARE(w.control<QLabel>("lblLocation")->text(), good);
    }

    void compactionMessagesAndFile_data() {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<bool>("statementOpen"); // makes the compaction fail
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<bool>("fileUnchanged");
        QTest::newRow("No") << MsgAnswer::No << false
                            << QStringList{kWarningText, "Compacting Canceled"} << true;
        QTest::newRow("Yes") << MsgAnswer::Yes << false
                             << QStringList{kWarningText, kCompactBegin, kCompactDone} << false;
        QTest::newRow("Yes but it fails")
            << MsgAnswer::Yes << true << QStringList{kWarningText, kCompactBegin, "failed"} << true;
    }
    void compactionMessagesAndFile() {
        QFETCH(MsgAnswer, answer);
        QFETCH(bool, statementOpen);
        QFETCH(QStringList, texts);
        QFETCH(bool, fileUnchanged);
        // Given a database with many deleted rows
        World w;
        store::Database& db = w.env.openNewDatabase();
        const QDateTime now = w.env.clockNow.now();
        addDaily(db, "ann", now, 2000);
        store::purgeRecordsBefore(db, "ann", now.addDays(-50),
                                  store::countRecordsBefore(db, "ann", now.addDays(-50)));
        const QByteArray rows = rowsDigest(db);
        const QByteArray bytes = fileBytes(w.env.path("Hourloom.HL1"));
        w.open();
        std::optional<store::Statement> reading;
        if (statementOpen) {
            reading.emplace(db, "SELECT BeginTime FROM tblTimeSheet");
            reading->step();
        }
        // When compaction is asked for and answered
        w.env.prompts.answers = {answer};
        w.click("cmdCompact");
        reading.reset();

        // Then the messages come in order, with their titles and icons
        const auto& shown = w.env.prompts.shown;
        QCOMPARE(int(shown.size()), texts.size());
        QCOMPARE(shown[0].title, QString("Warning"));
        QCOMPARE(shown[0].icon, MsgIcon::Critical);
        QCOMPARE(shown[0].buttons, MsgButtons::YesNo);
        for (int i = 0; i < texts.size(); ++i) {
            if (texts[i] == "failed") {
                QVERIFY2(shown[i].text.contains("NOT compacted"), qPrintable(shown[i].text));
                QCOMPARE(shown[i].icon, MsgIcon::Critical);
            } else {
                QCOMPARE(shown[i].text, texts[i]);
            }
        }
        if (answer == MsgAnswer::No) {
            QCOMPARE(shown[1].title, QString("Action Canceled"));
            QCOMPARE(shown[1].icon, MsgIcon::Information);
        } else {
            QCOMPARE(shown[1].title, kApp);
            QCOMPARE(shown[1].icon, MsgIcon::None);
        }
        // And the file is either untouched or smaller with the same rows
        const QByteArray after = fileBytes(w.env.path("Hourloom.HL1"));
        if (fileUnchanged)
            QVERIFY(after == bytes);
        else
            QVERIFY(after.size() < bytes.size());
        QCOMPARE(rowsDigest(w.db()), rows);
        QVERIFY(w.window->isEnabled());
    }

    void maintenanceWithoutDatabaseIsHalted() {
        World w;
        w.open();
        w.click("cmdCompact");
        w.click("cmdDelete");
        QCOMPARE(w.env.prompts.texts(),
                 QStringList({lines({"Database not found.", "Compacting halted.",
                                     "  - Open database using button with open file folder icon.",
                                     " - Also note that new databases do not need to be "
                                     "compacted."}),
                              lines({"Database not found.", "Deleting halted.",
                                     "  - Open database using button with open file folder icon.",
                                     " - Also note that new databases do not need to have old "
                                     "records deleted."})}));
        QCOMPARE(w.env.prompts.shown[0].icon, MsgIcon::Critical);
        QCOMPARE(w.env.prompts.shown[1].title, kApp);
    }

    void purge_data() {
        QTest::addColumn<QString>("days");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("annLeft");
        const QString ask12 = "Permenently delete 12 records from database?";
        QTest::newRow("OK deletes the 12")
            << "90" << MsgAnswer::Ok << QStringList{ask12, "12" + kDeleted} << 20;
        QTest::newRow("Cancel deletes nothing")
            << "90" << MsgAnswer::Cancel << QStringList{ask12} << 32;
        QTest::newRow("abc does nothing") << "abc" << MsgAnswer::Ok << QStringList{} << 32;
        QTest::newRow("nothing that old")
            << "1000" << MsgAnswer::Ok << QStringList{"No records found to delete"} << 32;
        QTest::newRow("negative days take every record begun before then")
            << "-1" << MsgAnswer::Ok
            << QStringList{"Permenently delete 32 records from database?", "32" + kDeleted} << 0;
    }
    void purge() {
        QFETCH(QString, days);
        QFETCH(MsgAnswer, answer);
        QFETCH(QStringList, texts);
        QFETCH(int, annLeft);
        // Given 20 recent and 12 old records of Ann's, and 5 old ones of Bob's
        World w;
        store::Database& db = w.env.openNewDatabase();
        w.env.settingsStore->setText(keys::Emp, "ann");
        const QDateTime now = w.env.clockNow.now();
        addDaily(db, "ann", now.addSecs(-3600), 20);
        addDaily(db, "ann", now.addDays(-91), 12);
        addDaily(db, "bob", now.addDays(-100), 5);
        w.open();
        // When the purge runs with that many days to keep
        w.setText("txtDaysOld", days);
        w.env.prompts.answers = {answer};
        w.click("cmdDelete");
        // Then
        QCOMPARE(w.env.prompts.texts(), texts);
        for (const auto& shown : w.env.prompts.shown) {
            QCOMPARE(shown.title, kApp);
            QCOMPARE(shown.icon, MsgIcon::None);
        }
        if (!texts.isEmpty() && texts[0].startsWith("Permenently"))
            QCOMPARE(w.env.prompts.shown[0].buttons, MsgButtons::OkCancel);
        QCOMPARE(rowCountOf(db, "ann"), annLeft);
        QCOMPARE(rowCountOf(db, "bob"), 5);
    }

    void closingWithoutDatabaseAsks() {
        World w;
        w.open();
        // No keeps the window
        w.env.prompts.answers = {MsgAnswer::No};
        QVERIFY(!w.window->close());
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.env.prompts.last().text, kCloseText);
        QCOMPARE(w.env.prompts.last().title, kCloseTitle);
        QCOMPARE(w.env.prompts.last().icon, MsgIcon::Critical);
        QCOMPARE(w.env.prompts.last().buttons, MsgButtons::YesNo);
        QCOMPARE(w.env.windows.endProgramCalls, 0);
        // Yes ends the program
        w.env.prompts.answers = {MsgAnswer::Yes};
        QVERIFY(w.window->close());
        QCOMPARE(w.env.windows.endProgramCalls, 1);
        QCOMPARE(w.env.windows.runMainCalls, 0);
        QCOMPARE(w.env.windows.timesShown(Form::Control), 0);
    }

    void acceptBeforeAnyDatabaseSavesThenAsks() {
        World w;
        w.open();
        w.setText("txtEmp", "ann");
        w.env.prompts.answers = {MsgAnswer::Yes};
        w.click("cmdAdd");
        QCOMPARE(w.setting(keys::Emp), QString("ann"));
        QCOMPARE(w.env.prompts.texts(), QStringList{kCloseText});
        QCOMPARE(w.env.windows.endProgramCalls, 1);
    }

    void closingWithDatabaseGoesOn_data() {
        QTest::addColumn<bool>("startupDone");
        QTest::newRow("opened from the Time Control window") << true;
        QTest::newRow("start-up had stopped") << false;
    }
    void closingWithDatabaseGoesOn() {
        QFETCH(bool, startupDone);
        World w;
        w.env.openNewDatabase();
        w.env.state.gStartupDone = startupDone;
        w.open();
        QVERIFY(w.window->close());
        QVERIFY(w.env.prompts.shown.empty());
        QCOMPARE(w.env.windows.endProgramCalls, 0);
        QCOMPARE(w.env.windows.timesShown(Form::Control), startupDone ? 1 : 0);
        QCOMPARE(w.env.windows.runMainCalls, startupDone ? 0 : 1);
    }
};

QTEST_MAIN(TestFrmSetup)
#include "test_frmsetup.moc"

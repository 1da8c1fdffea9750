#include "Main.h"
#include "Maintenance.h"
#include "PathLabel.h"
#include "SavedLayout.h"
#include "Schema.h"
#include "SetupFixtures.h"
#include "SetupForms.h"
#include "Shell.h"
#include "TestEnvironment.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTest>

namespace {

const QString kClose = "Database Not Found...      Close Program?/Critical/YesNo: Close "
                       "Program?\rDatabase was not opened.\r\rYes to EXIT\r\rNo to go back to "
                       "Hourloom program.\r - After selecting No either OPEN or CREATE a *.hl1 "
                       "database file.\r  - Use the button with open file folder icon.";
const QString kWarning = "Warning/Critical/YesNo: Suggest that a back-up of the existing "
                         "database.\rAlso suggest all users of the database exit out of "
                         "Hourloom until compacting is completed.\r\rContinoue?";
const QString kBegin = "Hourloom//Ok: Beginning to compact database this may take a few "
                       "minutes.  Please wait for completion message before continuing.";
const QString kAsk = "Hourloom//OkCancel: Permenently delete %1 records from database?";
const QString kDeleted = "Hourloom//Ok: %1 records were deleted from database.  You may want "
                         "to compress database now.";

// One test's world: the services, a database unless told otherwise, the window.
struct World {
    TestEnvironment env;
    QPointer<QWidget> window;
    const QDateTime now = env.clockNow.now();

    explicit World(bool database = true) {
        env.windows.factories[Form::Setup] = [] { return createFrmSetup(); };
        if (database)
            env.openNewDatabase();
        env.state.gStartupDone = database;
    }
    void open() { window = env.windows.show(Form::Setup); }
    template <class T = QLineEdit> T* control(const char* name) const {
        T* found = window->findChild<T*>(QLatin1String(name));
        return found ? found : (qFatal("no control %s", name), nullptr);
    }
    void set(const char* box, const QString& text) { control(box)->setText(text); }
    void click(const char* name, std::deque<MsgAnswer> answers = {}) {
        env.prompts.answers = answers;
        control<QAbstractButton>(name)->click();
    }
    QString setting(const SettingKey& key) const {
        return env.settingsStore->read(key.section, key.key, "<none>");
    }
    // Every message shown, as "title/icon/buttons: text".
    QStringList log() const {
        static const char* icons[] = {"", "Critical", "Question", "Exclamation", "Information"};
        static const char* buttons[] = {"Ok", "OkCancel", "YesNo"};
        QStringList out;
        for (const auto& s : env.prompts.shown)
            out << QString("%1/%2/%3: %4")
                       .arg(s.title, icons[int(s.icon)], buttons[int(s.buttons)], s.text);
        return out;
    }
    store::Database& db() { return env.db(); }
    QByteArray fileBytes() const {
        QFile file(env.path("Hourloom.HL1"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

class TestFrmSetup : public QObject {
    Q_OBJECT
private slots:
    // A path in a deep folder, as on a network share, in a label with room
    // for two lines.
    void aLongLocationKeepsItsFileNameInView() {
        QWidget window;
        auto* label = new PathLabel(&window);
        label->setGeometry(0, 0, 200, 2 * label->fontMetrics().lineSpacing());
        window.show();
        const QString deep =
            "/srv/" + QString("shared-folder-of-the-team/").repeated(8) + "Team.HL1";
        const QString shortPath = "/srv/Team.HL1";
        for (const QString& path : {deep, shortPath}) {
            label->setPath(path);
            const QRect needed = label->fontMetrics().boundingRect(label->contentsRect(),
                                                                   Qt::TextWordWrap, label->text());
            QVERIFY2(label->contentsRect().contains(needed), qPrintable(label->text()));
            QVERIFY(label->text().endsWith("/Team.HL1"));
            QCOMPARE(label->accessibleName(), path);
        }
        QCOMPARE(label->text(), shortPath);
        label->setPath(deep);
        QVERIFY(label->text().startsWith("/srv/shared") && label->text().contains(QChar(0x2026)));
        label->resize(4000, label->height()); // room again: the whole path
        QCOMPARE(label->text(), deep);
    }

    void load() {
        World w;
        w.env.settingsStore->setText(keys::Emp, "ann");
        w.env.settingsStore->setText(keys::intMinTimer, "20");
        w.env.settingsStore->setText(keys::lLabel, "2");
        w.open();
        QCOMPARE(w.control("txtEmp")->text() + w.control("txtFreq")->text(), "ann20");
        QVERIFY(w.control<QRadioButton>("optProject")->isChecked());
        QCOMPARE(w.control<QLabel>("lblLocation")->text(), w.env.path("Hourloom.HL1"));
        for (auto* button : w.window->findChildren<QAbstractButton*>())
            QCOMPARE(button->accessibleName(),
                     button->toolTip().isEmpty() ? button->text() : button->toolTip());
        w.click("cmdHelp");
        QCOMPARE(w.env.helpCalls.calls.at(0).topic, "setup.htm");
    }

    // Nothing is stored; a name no record could hold is named in a message.
    void acceptRefusesWhatCannotBeStored_data() {
        QTest::addColumn<QStringList>("frequencyDaysAndEmployee");
        QTest::addColumn<QString>("message");
        QTest::newRow("frequency abc") << QStringList{"abc", "90", "ann"} << "";
        QTest::newRow("frequency beyond 16 bits") << QStringList{"32768", "90", "ann"} << "";
        QTest::newRow("days abc") << QStringList{"15", "abc", "ann"} << "";
        QTest::newRow("employee with a line break")
            << QStringList{"15", "90", "ann\nlee"} << "holds a control character";
        QTest::newRow("employee with DEL")
            << QStringList{"15", "90", "ann\x7f"} << "holds a control character";
        QTest::newRow("employee of 256 characters")
            << QStringList{"15", "90", QString(256, 'a')} << "is longer than 255";
    }
    void acceptRefusesWhatCannotBeStored() {
        QFETCH(QStringList, frequencyDaysAndEmployee);
        QFETCH(QString, message);
        World w;
        w.open();
        w.set("txtComp", "Acme");
        w.set("txtFreq", frequencyDaysAndEmployee[0]);
        w.set("txtDaysOld", frequencyDaysAndEmployee[1]);
        w.set("txtEmp", frequencyDaysAndEmployee[2]);
        w.click("cmdAdd");
        QVERIFY(w.window && w.window->isVisible());
        QCOMPARE(w.log().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QVERIFY2(w.log()[0].startsWith("Hourloom/Critical/Ok: The settings were not saved."),
                     qPrintable(w.log()[0]));
            QVERIFY2(w.log()[0].contains("The employee name " + message), qPrintable(w.log()[0]));
        }
        QCOMPARE(w.setting(keys::Comp) + w.setting(keys::intMinTimer) + w.setting(keys::Emp),
                 "<none><none><none>");
    }

    void acceptStoresTheWordingAndOneBlankForNoEmployee() {
        World w;
        w.open();
        w.set("txtEmp", "");
        w.set("txtFreq", "24.5");
        w.click("optProject");
        w.click("cmdAdd");
        QCOMPARE(w.log(), QStringList{"Hourloom//Ok: Employee name or ID is needed"});
        QCOMPARE(w.setting(keys::Emp) + w.env.state.gEmployee + w.setting(keys::intMinTimer),
                 "  24.5");
        const SavedLayout layout = readSavedLayout(*w.env.settingsStore);
        QCOMPARE(QStringList({layout.lblClient1, layout.lblClient2, layout.frame2}),
                 QStringList({"Project", "Number", "Project Information"}));
        QCOMPARE(layout.intMinTimer, qint16(24)); // halves to even
        QVERIFY(!w.window || !w.window->isVisible());
        QCOMPARE(w.env.windows.shownForms, (std::vector<Form>{Form::Setup, Form::Control}));
    }

    void databaseButtonFailureKeepsTheOldDatabase_data() {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QStringList>("chosenAndReason");
        QTest::newRow("create in a missing folder")
            << MsgAnswer::Yes << QStringList{"nowhere/New.HL1", "Cannot"};
        QTest::newRow("open a foreign file")
            << MsgAnswer::No << QStringList{"notes.HL1", "not an Hourloom"};
        QTest::newRow("open a missing file")
            << MsgAnswer::No << QStringList{"gone.HL1", "does not exist"};
    }
    void databaseButtonFailureKeepsTheOldDatabase() {
        QFETCH(MsgAnswer, answer);
        QFETCH(QStringList, chosenAndReason);
        World w;
        QFile foreign(w.env.path("notes.HL1"));
        QVERIFY(foreign.open(QIODevice::WriteOnly) && foreign.write(QByteArray(4096, 'x')));
        foreign.close();
        w.open();
        w.env.prompts.files = {w.env.path(chosenAndReason[0])};
        w.click("cmdDatabase", {answer});
        QCOMPARE(w.log().size(), 2);
        QVERIFY2(w.log()[1].startsWith("Hourloom/Critical/Ok: ") &&
                     w.log()[1].contains(chosenAndReason[1]),
                 qPrintable(w.log()[1]));
        const QString good = w.env.path("Hourloom.HL1");
        QCOMPARE(w.setting(keys::gDataBaseLoc) + w.env.state.gDataBaseLoc, good + good);
        QCOMPARE(w.db().path(), good);
        QVERIFY(!QFile::exists(w.env.path("gone.HL1")));
    }

    void compaction_data() {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<bool>("fails"); // a statement left open makes it fail
        QTest::addColumn<QStringList>("log");
        QTest::newRow("No") << MsgAnswer::No << false
                            << QStringList{kWarning,
                                           "Action Canceled/Information/Ok: Compacting Canceled"};
        QTest::newRow("Yes") << MsgAnswer::Yes << false
                             << QStringList{kWarning, kBegin,
                                            "Hourloom//Ok: Database has now been compacted.  "
                                            "Hourloom is now ready for use"};
        QTest::newRow("Yes but it fails")
            << MsgAnswer::Yes << true
            << QStringList{kWarning, kBegin,
                           "Hourloom/Critical/Ok: The database was NOT compacted."};
    }
    void compaction() {
        QFETCH(MsgAnswer, answer);
        QFETCH(bool, fails);
        QFETCH(QStringList, log);
        World w;
        addDaily(w.db(), "ann", w.now, 2000);
        store::purgeRecordsBefore(w.db(), "ann", w.now.addDays(-50), 1950);
        const QString rowsBefore = rows(w.db());
        const QByteArray bytes = w.fileBytes();
        w.open();
        std::optional<store::Statement> reading;
        if (fails)
            reading.emplace(w.db(), "SELECT BeginTime FROM tblTimeSheet").step();
        w.click("cmdCompact", {answer});
        reading.reset();
        QCOMPARE(w.log().mid(0, 2), log.mid(0, 2));
        QVERIFY2(w.log().last().startsWith(log.last()), qPrintable(w.log().last()));
        if (answer == MsgAnswer::No || fails)
            QVERIFY(w.fileBytes() == bytes);
        else
            QVERIFY(w.fileBytes().size() < bytes.size());
        QCOMPARE(rows(w.db()), rowsBefore);
        QVERIFY(w.window->isEnabled());
    }

    void purge_data() {
        QTest::addColumn<QString>("days");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<int>("annLeft");
        const QString none = "Hourloom//Ok: No records found to delete";
        QTest::newRow("OK") << "90" << MsgAnswer::Ok << QStringList{kAsk.arg(12), kDeleted.arg(12)}
                            << 20;
        QTest::newRow("Cancel") << "90" << MsgAnswer::Cancel << QStringList{kAsk.arg(12)} << 32;
        QTest::newRow("abc") << "abc" << MsgAnswer::Ok << QStringList{} << 32;
        QTest::newRow("nothing that old") << "1000" << MsgAnswer::Ok << QStringList{none} << 32;
        QTest::newRow("beyond the first date")
            << "1e12" << MsgAnswer::Ok << QStringList{none} << 32;
        QTest::newRow("negative") << "-1" << MsgAnswer::Ok
                                  << QStringList{kAsk.arg(32), kDeleted.arg(32)} << 0;
        QTest::newRow("beyond the last date")
            << "-1e12" << MsgAnswer::Ok << QStringList{kAsk.arg(32), kDeleted.arg(32)} << 0;
    }
    void purge() {
        QFETCH(QString, days);
        QFETCH(MsgAnswer, answer);
        QFETCH(QStringList, log);
        QFETCH(int, annLeft);
        // 20 recent and 12 old records of Ann's, 5 old ones of Bob's
        World w;
        w.env.settingsStore->setText(keys::Emp, "ann");
        addDaily(w.db(), "ann", w.now.addSecs(-3600), 20);
        addDaily(w.db(), "ann", w.now.addDays(-91), 12);
        addDaily(w.db(), "bob", w.now.addDays(-100), 5);
        w.open();
        w.set("txtDaysOld", days);
        w.click("cmdDelete", {answer});
        QCOMPARE(w.log(), log);
        QCOMPARE(count(w.db(), "ann"), annLeft);
        QCOMPARE(count(w.db(), "bob"), 5);
    }

    void withoutDatabase() {
        World w(false);
        w.open();
        QCOMPARE(w.control<QLabel>("lblLocation")->toolTip(),
                 "Create or open database.  Select file folder button on the right.");
        w.click("cmdCompact");
        w.click("cmdDelete");
        QCOMPARE(w.log(), QStringList({"Hourloom/Critical/Ok: Database not found.\rCompacting "
                                       "halted.\r  - Open database using button with open file "
                                       "folder icon.\r - Also note that new databases do not need "
                                       "to be compacted.",
                                       "Hourloom/Critical/Ok: Database not found.\rDeleting "
                                       "halted.\r  - Open database using button with open file "
                                       "folder icon.\r - Also note that new databases do not need "
                                       "to have old records deleted."}));
        w.env.prompts.shown.clear();
        w.env.prompts.answers = {MsgAnswer::No};
        QVERIFY(!w.window->close() && w.window->isVisible());
        // Accept Changes saves, then asks the same; Yes ends the program
        w.set("txtEmp", "ann");
        w.click("cmdAdd", {MsgAnswer::Yes});
        QCOMPARE(w.setting(keys::Emp), "ann");
        QCOMPARE(w.log(), QStringList({kClose, kClose}));
        QCOMPARE(w.env.windows.endProgramCalls, 1);
        QCOMPARE(w.env.windows.shownForms, std::vector<Form>{Form::Setup});
        // With a database: back to the Time Control window, or start-up again
        for (const bool startupDone : {true, false}) {
            World with;
            with.env.state.gStartupDone = startupDone;
            with.open();
            QVERIFY(with.window->close() && with.log().isEmpty());
            QCOMPARE(with.env.windows.timesShown(Form::Control), startupDone ? 1 : 0);
            QCOMPARE(with.env.windows.runMainCalls, startupDone ? 0 : 1);
        }
    }

    void firstStart() {
        struct : Shell {
            int started = 0;
            void startResident() override { ++started; }
            void trackTime() override {}
        } resident;
        setShell(&resident);
        // No settings and no database: the message, then only this window
        World w(false);
        w.env.windows.onRunMain = [] { Main(); };
        Main();
        QCOMPARE(w.env.prompts.texts(), QStringList{databaseNotDetectedText()});
        QCOMPARE(w.env.windows.shownForms, std::vector<Form>{Form::Setup});
        QCOMPARE(resident.started, 0);
        w.window = w.env.windows.find(Form::Setup);
        // The question, then the save dialog: cancelled, nothing changes
        w.click("cmdDatabase", {MsgAnswer::Yes});
        QCOMPARE(w.log().last(),
                 "Database Use/Question/YesNo: Create database? \rYes for new "
                 "Database.\r -Use a network drive if planning to share file.\r\rNo "
                 "to open existing Hourloom 1.1 database.\r -Hourloom database "
                 "file has *.hl1 file extention.");
        QCOMPARE(w.env.prompts.saveRequests.at(0).filter, "Database for Brightmere |*.HL1");
        QCOMPARE(w.env.prompts.saveRequests.at(0).proposedName, "Hourloom.HL1");
        QVERIFY(!w.env.state.gDataBase);
        // Yes and a new name without extension in an empty folder: created, open
        QVERIFY(QDir().mkpath(w.env.path("empty")));
        const QString team = w.env.path("empty/Team.HL1");
        w.env.prompts.files = {w.env.path("empty/Team"), w.env.path("empty/Other")};
        w.click("cmdDatabase", {MsgAnswer::Yes});
        store::Statement tables(w.db(), "SELECT group_concat(name) FROM (SELECT name FROM "
                                        "sqlite_master WHERE type = 'table' ORDER BY name)");
        QVERIFY(tables.step());
        QCOMPARE(tables.text(0), "tblClient,tblTimeSheet,tblWork");
        QCOMPARE(w.setting(keys::gDataBaseName), "Team.HL1");
        // Another created, then No opens the first one again
        addDaily(w.db(), "ann", w.now, 1);
        w.click("cmdDatabase", {MsgAnswer::Yes});
        QCOMPARE(count(w.db()), 0);
        w.env.prompts.files = {team};
        w.click("cmdDatabase", {MsgAnswer::No});
        QCOMPARE(count(w.db()), 1);
        QCOMPARE(w.control<QLabel>("lblLocation")->text(), team);
        // Closing runs start-up again, which now goes on to the resident program
        QVERIFY(w.window->close());
        QCOMPARE(w.env.windows.runMainCalls, 1);
        QCOMPARE(w.log().size(), 5); // no question on closing
        QCOMPARE(w.db().path(), team);
        QVERIFY(resident.started == 1 && w.env.state.gStartupDone);
        setShell(nullptr);
    }
};

QTEST_MAIN(TestFrmSetup)
#include "test_frmsetup.moc"

#include "Main.h"
#include "Schema.h"
#include "SetupFixtures.h"
#include "SetupForms.h"
#include "Shell.h"
#include "TestEnvironment.h"

#include <QAbstractButton>
#include <QDir>
#include <QPointer>
#include <QTest>

namespace {

// Stands in for the splash and tray that start-up brings up.
class RecordingShell : public Shell {
public:
    int started = 0;
    void startResident() override { ++started; }
    void trackTime() override {}
};

} // namespace

class TestFirstStart : public QObject {
    Q_OBJECT
private slots:
    void newDatabaseThenNormalStart() {
        // Given no settings and no database in the data folder
        TestEnvironment env;
        RecordingShell resident;
        setShell(&resident);
        env.windows.factories[Form::Setup] = [] { return createFrmSetup(); };
        env.windows.onRunMain = [] { Main(); };

        // When the program starts
        Main();

        // Then it says so once and opens only the Time and Settings window
        QCOMPARE(env.prompts.texts(), QStringList{databaseNotDetectedText()});
        QCOMPARE(env.prompts.last().icon, MsgIcon::Critical);
        QCOMPARE(env.windows.shownForms, std::vector<Form>{Form::Setup});
        QCOMPARE(resident.started, 0);
        QVERIFY(!env.state.gStartupDone);
        QPointer<QWidget> setup = env.windows.find(Form::Setup);
        QVERIFY(setup && setup->isVisible());

        // When the user creates a database in an empty folder
        QVERIFY(QDir().mkpath(env.path("empty")));
        const QString file = env.path("empty/Team.HL1");
        env.prompts.answers = {MsgAnswer::Yes};
        env.prompts.files = {file};
        setup->findChild<QAbstractButton*>("cmdDatabase")->click();

        // Then the file is there with its three tables, and open
        QVERIFY(QFile::exists(file));
        QVERIFY(env.state.gDataBase);
        store::Statement tables(*env.state.gDataBase,
                                "SELECT group_concat(name, ',') FROM (SELECT name FROM "
                                "sqlite_master WHERE type = 'table' ORDER BY name)");
        QVERIFY(tables.step());
        QCOMPARE(tables.text(0), QString("tblClient,tblTimeSheet,tblWork"));

        // When the window is closed, start-up runs again from the new settings
        QVERIFY(setup->close());
        QCOMPARE(env.windows.runMainCalls, 1);
        QCOMPARE(env.windows.endProgramCalls, 0);
        QCOMPARE(env.prompts.shown.size(), size_t(2)); // no close question, no new message
        QCOMPARE(env.state.gDataBaseLoc, file);
        QCOMPARE(env.state.gDataBase->path(), file);
        QCOMPARE(resident.started, 1);
        QVERIFY(env.state.gStartupDone);
        QCOMPARE(env.windows.timesShown(Form::Setup), 1);
        setShell(nullptr);
    }
};

QTEST_MAIN(TestFirstStart)
#include "test_firststart.moc"

// A settings file in which every key holds something impossible: the
// program must start, fall back to the defaults for what it cannot read, and
// never let a setting text into a query.
#include "Main.h"
#include "SavedLayout.h"
#include "Schema.h"
#include "Settings.h"
#include "Shell.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QTest>

namespace {

class RecordingShell : public Shell {
public:
    int started = 0;
    void startResident() override { ++started; }
    void trackTime() override {}
};

const QString kSql = QStringLiteral("ClientName FROM tblClient; DROP TABLE tblTimeSheet; --");

// Every key except the database location, each with an impossible value.
void writeImpossibleValues(Settings& s) {
    const std::pair<SettingKey, QString> values[] = {
        {keys::DaysOld, "ninety"},
        {keys::lLabel, "99999999999999999999"},
        {keys::intMinTimer, "40000"},
        {keys::lstClient2Vis, "Maybe"},
        {keys::lstWork2Vis, "Maybe"},
        {keys::lstClient1Wit, "wide"},
        {keys::lstWork1Wit, "1e400"},
        {keys::strClient1, kSql},
        {keys::strClient2, "ClientNumber; DELETE FROM tblTimeSheet"},
        {keys::strWork1, "WorkDescription' OR '1'='1"},
        {keys::strWork2, "tblTimeSheet"},
        {keys::strBeginWork, "half past never"},
        {keys::chkDaily, "Maybe"},
        {keys::chkMins, "-99999999999999999999999"},
    };
    for (const auto& [key, value] : values)
        s.write(key.section, key.key, value);
}

} // namespace

class TestBadSettings : public QObject {
    Q_OBJECT

private slots:
    void impossibleValuesReadAsTheirDefaults() {
        // Given a settings file with an impossible value in every key
        TestEnvironment env;
        writeImpossibleValues(*env.settingsStore);
        const Settings& s = *env.settingsStore;
        // Then every typed reading gives the key's default
        QCOMPARE(s.int32(keys::DaysOld), 90);
        QCOMPARE(s.int32(keys::lLabel), 1);
        QCOMPARE(s.int16(keys::intMinTimer), qint16(15));
        QCOMPARE(s.boolean(keys::lstClient2Vis), true);
        QCOMPARE(s.int32(keys::lstWork1Wit), 1800);
        // And the layout the windows apply holds defaults, the field choices included
        const SavedLayout layout = readSavedLayout(s);
        QCOMPARE(layout.strClient1, QStringLiteral("ClientName"));
        QCOMPARE(layout.strClient2, QStringLiteral("ClientNumber"));
        QCOMPARE(layout.strWork1, QStringLiteral("WorkDescription"));
        QCOMPARE(layout.strWork2, QStringLiteral("WorkCode"));
        QCOMPARE(layout.client1Width, 2055);
        QCOMPARE(layout.work1Width, 1800);
        QVERIFY(layout.client2Visible);
        QVERIFY(layout.work2Visible);
        QCOMPARE(layout.intMinTimer, qint16(15));
    }

    void startsWithAGoodDatabaseAndImpossibleSettings() {
        // Given a good database and every other setting impossible
        TestEnvironment env;
        RecordingShell resident;
        setShell(&resident);
        store::Database& db = env.openNewDatabase();
        const QString file = db.path();
        env.state.gDataBase.reset();
        writeImpossibleValues(*env.settingsStore);
        // When the program starts
        Main();
        // Then it starts normally, asks nothing, and the records table is untouched
        QCOMPARE(resident.started, 1);
        QVERIFY(env.state.gStartupDone);
        QVERIFY(env.prompts.texts().isEmpty());
        store::Database check = store::connectDataBase(file, "Hourloom.HL1");
        store::Statement table(check, "SELECT count(*) FROM sqlite_master WHERE name = ?");
        table.bind(1, QStringLiteral("tblTimeSheet"));
        QVERIFY(table.step());
        QCOMPARE(table.int64(0), 1);
        setShell(nullptr);
    }

    void impossibleDatabaseLocationOpensTheSettingsWindow_data() {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("name");
        QTest::newRow("empty path") << QString() << QString();
        QTest::newRow("a folder") << "folder"
                                  << "folder";
        QTest::newRow("SQL as the path") << "x'; DROP TABLE tblTimeSheet; --.HL1"
                                         << "x.HL1";
    }

    void impossibleDatabaseLocationOpensTheSettingsWindow() {
        QFETCH(QString, location);
        QFETCH(QString, name);
        // Given a database location that cannot be a database file
        TestEnvironment env;
        RecordingShell resident;
        setShell(&resident);
        QVERIFY(QDir().mkpath(env.path("folder")));
        const QString path = location.isEmpty() ? location : env.path(location);
        env.settingsStore->write("frmSetup", "gDataBaseLoc", path);
        env.settingsStore->write("frmSetup", "gDataBaseName", name);
        writeImpossibleValues(*env.settingsStore);
        // When the program starts
        Main();
        // Then it says the database was not found and opens Time and Settings
        QCOMPARE(env.prompts.texts(), QStringList{databaseNotDetectedText()});
        QCOMPARE(env.windows.shownForms, std::vector<Form>{Form::Setup});
        QCOMPARE(resident.started, 0);
        QVERIFY(!env.state.gDataBase);
        setShell(nullptr);
    }
};

QTEST_MAIN(TestBadSettings)
#include "test_badsettings_start.moc"

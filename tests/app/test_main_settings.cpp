// Start-up and the settings store.
#include "Main.h"
#include "Records.h"
#include "SavedLayout.h"
#include "Schema.h"
#include "Shell.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class RecordingShell : public Shell {
public:
    int started = 0;
    void startResident() override { ++started; }
    void trackTime() override {}
};

} // namespace

class TestMainSettings : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    RecordingShell resident;

    QString useDatabaseAt(const QString& pathName, const QString& settingName) {
        const QString file = pathName.isEmpty() ? QString() : env->path(pathName);
        env->settingsStore->setText(keys::gDataBaseLoc, file);
        env->settingsStore->setText(keys::gDataBaseName, settingName);
        return file;
    }

    void verifyWaitsForADatabase() {
        QCOMPARE(env->windows.shownForms, std::vector<Form>{Form::Setup});
        QCOMPARE(resident.started, 0);
        QVERIFY(!env->state.gStartupDone);
        QVERIFY(!env->state.gDataBase);
    }

    // The settings as the program reads them after a hand edit of the file.
    std::unique_ptr<Settings> handEdited(const QByteArray& section, const QByteArray& line) {
        QFile ini(env->settingsStore->fileName());
        if (ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
            ini.write("[" + section + "]\n" + line + "\n");
        ini.close();
        return std::make_unique<Settings>(ini.fileName());
    }
    int minutes(const QByteArray& value) {
        return handEdited("frmControl", "intMinTimer=" + value)->int16(keys::intMinTimer);
    }
    bool visible(const QByteArray& value) {
        return handEdited("frmControl", "lstClient2Vis=" + value)->boolean(keys::lstClient2Vis);
    }

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        resident.started = 0;
        setShell(&resident);
    }
    void cleanup() {
        setShell(nullptr);
        env.reset();
    }

    void noFileAsNamedShowsTheMessageOnceAndWaitsForADatabase_data() {
        QTest::addColumn<QString>("onDisk"); // file made, "" for none
        QTest::addColumn<QString>("pathName");
        QTest::addColumn<QString>("settingName");
        QTest::newRow("no settings, no file") << "" << u"-"_s << QString();
        QTest::newRow("missing file") << "" << u"Hourloom.HL1"_s << u"Hourloom.HL1"_s;
        QTest::newRow("file case") << "hourloom.HL1" << u"hourloom.HL1"_s << u"Hourloom.HL1"_s;
        QTest::newRow("path case") << "hourloom.HL1" << u"Hourloom.HL1"_s << u"Hourloom.HL1"_s;
        QTest::newRow("unreachable") << "" << u"../../no-mount/Hourloom.HL1"_s << u"Hourloom.HL1"_s;
        QTest::newRow("empty path") << "" << QString() << QString();
        QTest::newRow("a folder") << "" << u"folder"_s << u"folder"_s;
        QTest::newRow("SQL") << "" << u"x'; DROP TABLE tblTimeSheet; --.HL1"_s << u"x.HL1"_s;
    }
    void noFileAsNamedShowsTheMessageOnceAndWaitsForADatabase() {
        QFETCH(QString, onDisk);
        QFETCH(QString, pathName);
        QFETCH(QString, settingName);
        QVERIFY(QDir().mkpath(env->path("folder")));
        if (!onDisk.isEmpty())
            store::connectDataBase(env->path(onDisk), onDisk);
        const QString file = pathName == "-" ? QString() : useDatabaseAt(pathName, settingName);
        Main();
        QCOMPARE(env->prompts.texts(),
                 QStringList{"Database not detected. \rOpening Time and Settings form.\rUse button "
                             "with file folder icon to create or open a database."});
        QCOMPARE(env->prompts.last().title, QStringLiteral("Hourloom"));
        QCOMPARE(env->prompts.last().icon, MsgIcon::Critical);
        QCOMPARE(env->prompts.last().buttons, MsgButtons::Ok);
        verifyWaitsForADatabase();
        QVERIFY(!onDisk.isEmpty() || !QFileInfo(file).isFile()); // nothing made in its name
        if (pathName == "-") { // the default place was looked at, and nothing written
            QCOMPARE(env->state.gDataBaseLoc, env->path("data/hourloom/Hourloom.HL1"));
            QCOMPARE(env->settingsStore->text(keys::sExport), env->path("data/hourloom/"));
            QVERIFY(QSettings(env->settingsStore->fileName(), QSettings::IniFormat)
                        .allKeys()
                        .isEmpty());
        }
    }

    void unusableFileIsNamedAndTheSettingsWindowOpens() {
        const QString file = useDatabaseAt("Hourloom.HL1", "Hourloom.HL1");
        for (bool otherKey : {false, true}) {
            QFile::remove(file);
            if (otherKey) {
                store::Database foreign(file, "another password", store::Database::Mode::Create);
                foreign.exec("CREATE TABLE tblOther (x INTEGER)");
            } else {
                QFile damaged(file);
                QVERIFY(damaged.open(QIODevice::WriteOnly) &&
                        damaged.write(QByteArray(16384, '<')));
            }
            env->windows.shownForms.clear();
            env->prompts.shown.clear();
            Main();
            QCOMPARE(env->prompts.shown.size(), 1u);
            QVERIFY2(env->prompts.last().text.contains(file), qPrintable(env->prompts.last().text));
            QCOMPARE(env->prompts.last().icon, MsgIcon::Critical);
            verifyWaitsForADatabase();
        }
    }

    void existingDatabaseStartsEvenWithImpossibleSettings() {
        const QString file = useDatabaseAt("Hourloom.HL1", "Hourloom.HL1");
        {
            store::Database db = store::connectDataBase(file, "Hourloom.HL1");
            const QDateTime nine(QDate(2026, 3, 2), QTime(9, 0));
            store::appendRecord(db, {nine, nine, nine.addSecs(3600), 1, "A", 1, "W", "ann"});
        }
        for (const char* key : {"intMinTimer", "lstClient2Vis", "lstWork1Wit", "strBeginWork"})
            env->settingsStore->write("frmControl", key, "Maybe");
        env->settingsStore->write("frmControl", "strClient1",
                                  "ClientName; DROP TABLE tblTimeSheet");
        env->settingsStore->write("frmSetup", "DaysOld", "ninety");
        Main();
        QVERIFY(env->prompts.shown.empty());
        QVERIFY(env->windows.shownForms.empty());
        QCOMPARE(resident.started, 1);
        QVERIFY(env->state.gStartupDone);
        QCOMPARE(env->state.gDataBase->location(), file);
        QCOMPARE(env->state.gDataBase->dayRecords("ann", QDate(2026, 3, 2)).size(), 1u);
    }

    void secondRunReadsTheLocationChosenMeanwhile() {
        Main();
        QVERIFY(!env->state.gStartupDone);
        const QString file = useDatabaseAt("Chosen.HL1", "Chosen.HL1");
        store::connectDataBase(file, "Chosen.HL1");
        Main();
        QCOMPARE(env->prompts.shown.size(), 1u);
        QCOMPARE(resident.started, 1);
        QVERIFY(env->state.gStartupDone);
        QCOMPARE(env->state.gDataBase->location(), file);
    }

    void valuesThatCannotBeReadGiveTheDefault() {
        for (const char* unreadable : {"often", "", "70000", "1e400", "20min"})
            QVERIFY2(minutes(unreadable) == 15, unreadable);
        QCOMPARE(minutes("20"), 20);
        QCOMPARE(minutes("\" 30 \""), 30);
        QCOMPARE(minutes("-5"), -5);
        QCOMPARE(minutes("12.5"), 12); // halves to even
        QCOMPARE(visible("False"), false);
        QCOMPARE(visible("false"), false);
        QCOMPARE(visible("0"), false);
        QCOMPARE(visible("maybe"), true);
        // A hand-written list is one text, not a list
        QCOMPARE(handEdited("frmReportCriteria", "Comp=Smith, Jones")->text(keys::Comp),
                 QStringLiteral("Smith, Jones"));
    }

    void impossibleValuesEverywhereGiveTheDefaultsAndNoSqlInTheFieldChoices() {
        Settings& s = *env->settingsStore;
        const std::pair<SettingKey, QString> values[] = {
            {keys::DaysOld, "ninety"},
            {keys::lLabel, "99999999999999999999"},
            {keys::intMinTimer, "40000"},
            {keys::lstClient2Vis, "Maybe"},
            {keys::lstWork2Vis, "Maybe"},
            {keys::lstClient1Wit, "wide"},
            {keys::lstWork1Wit, "1e400"},
            {keys::strClient1, "ClientName FROM tblClient; DROP TABLE tblTimeSheet; --"},
            {keys::strClient2, "ClientNumber; DELETE FROM tblTimeSheet"},
            {keys::strWork1, "WorkDescription' OR '1'='1"},
            {keys::strWork2, "tblTimeSheet"},
            {keys::chkDaily, "Maybe"},
            {keys::chkMins, "-99999999999999999999999"},
        };
        for (const auto& [key, value] : values)
            s.write(key.section, key.key, value);
        QCOMPARE(s.int32(keys::DaysOld), 90);
        QCOMPARE(s.int32(keys::lLabel), 1);
        QCOMPARE(s.int32(keys::chkDaily), 0);
        const SavedLayout layout = readSavedLayout(s);
        QCOMPARE(
            QStringList({layout.strClient1, layout.strClient2, layout.strWork1, layout.strWork2}),
            QStringList({"ClientName", "ClientNumber", "WorkDescription", "WorkCode"}));
        QCOMPARE(layout.client1Width, 2055);
        QCOMPARE(layout.work1Width, 1800);
        QVERIFY(layout.client2Visible && layout.work2Visible);
        QCOMPARE(layout.intMinTimer, qint16(15));
    }

    void writtenValuesAreTextAndReadBackExactly() {
        Settings& s = *env->settingsStore;
        s.setBool(keys::lstWork2Vis, false);
        s.setInt(keys::intMinTimer, 25);
        const std::pair<SettingKey, QString> texts[] = {
            {keys::Emp, " "},
            {keys::Comp, "Smith, Jones & Co; \"Ltd\""},
            {keys::gDataBaseLoc, "/mnt/share/time sheets/Hourloom.HL1"}};
        for (const auto& [key, text] : texts)
            s.setText(key, text);
        const QSettings raw(s.fileName(), QSettings::IniFormat);
        QCOMPARE(raw.value("frmControl/lstWork2Vis"), QVariant("False"));
        QCOMPARE(raw.value("frmControl/intMinTimer"), QVariant("25"));
        const Settings reread(s.fileName());
        QCOMPARE(reread.boolean(keys::lstWork2Vis), false);
        QCOMPARE(reread.int16(keys::intMinTimer), qint16(25));
        for (const auto& [key, text] : texts)
            QCOMPARE(reread.text(key), text);
    }
};

QTEST_MAIN(TestMainSettings)
#include "test_main_settings.moc"

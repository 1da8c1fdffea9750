// Start-up and the settings store.
#include "CountingShell.h"
#include "Main.h"
#include "SavedLayout.h"
#include "Schema.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

using namespace Qt::StringLiterals;

class TestMainSettings : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    CountingShell resident;

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

    // No usable file as named: one message, then Time and Settings waits for
    // a database, with nothing made in the file's name. A file that is there
    // but does not open is named in the message.
    void noUsableFileWaitsForADatabase_data() {
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
        QTest::newRow("damaged") << "damaged" << u"Hourloom.HL1"_s << u"Hourloom.HL1"_s;
        QTest::newRow("another key") << "other key" << u"Hourloom.HL1"_s << u"Hourloom.HL1"_s;
    }
    void noUsableFileWaitsForADatabase() {
        QFETCH(QString, onDisk);
        QFETCH(QString, pathName);
        QFETCH(QString, settingName);
        QVERIFY(QDir().mkpath(env->path("folder")));
        const QString file =
            pathName.isEmpty() || pathName == "-" ? QString() : env->path(pathName);
        if (pathName != "-") {
            env->settingsStore->setText(keys::gDataBaseLoc, file);
            env->settingsStore->setText(keys::gDataBaseName, settingName);
        }
        const bool unusable = onDisk == "damaged" || onDisk == "other key";
        if (onDisk == "other key") {
            store::Database foreign(file, "another password", store::Database::Mode::Create);
            foreign.exec("CREATE TABLE tblOther (x INTEGER)");
        } else if (onDisk == "damaged") {
            QFile damaged(file);
            QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(QByteArray(16384, '<')));
        } else if (!onDisk.isEmpty()) {
            store::connectDataBase(env->path(onDisk), onDisk);
        }
        Main();
        QCOMPARE(env->prompts.shown.size(), 1u);
        if (unusable)
            QVERIFY2(env->prompts.last().text.contains(file), qPrintable(env->prompts.last().text));
        else
            QCOMPARE(env->prompts.last().text,
                     "Database not detected. \rOpening Time and Settings form.\rUse button with "
                     "file folder icon to create or open a database.");
        QCOMPARE(env->prompts.last().title, QStringLiteral("Hourloom"));
        QCOMPARE(env->prompts.last().icon, MsgIcon::Critical);
        QCOMPARE(env->prompts.last().buttons, MsgButtons::Ok);
        QCOMPARE(env->windows.shownForms, std::vector<Form>{Form::Setup});
        QCOMPARE(resident.started, 0);
        QVERIFY(!env->state.gStartupDone && !env->state.gDataBase);
        QVERIFY(!onDisk.isEmpty() || !QFileInfo(file).isFile()); // nothing made in its name
        if (pathName == "-") { // the default place was looked at, and nothing written
            QCOMPARE(env->state.gDataBaseLoc, env->path("data/hourloom/Hourloom.HL1"));
            QCOMPARE(env->settingsStore->text(keys::sExport), env->path("data/hourloom/"));
            QVERIFY(QSettings(env->settingsStore->fileName(), QSettings::IniFormat)
                        .allKeys()
                        .isEmpty());
        }
    }

    // A hand-edited settings file: what can be read is used, anything else
    // gives the default; a field choice is one of the table's own fields.
    void handEditedValues_data() {
        QTest::addColumn<QString>("line"); // section/key=value
        QTest::addColumn<QString>("read");
        const std::pair<const char*, const char*> rows[] = {
            {"frmControl/intMinTimer=70000", "15"},
            {"frmControl/intMinTimer=20min", "15"},
            {"frmControl/intMinTimer=\" 30 \"", "30"},
            {"frmControl/intMinTimer=-5", "-5"},
            {"frmControl/intMinTimer=12.5", "12"},
            {"frmControl/lstClient2Vis=false", "false"},
            {"frmControl/lstClient2Vis=0", "false"},
            {"frmControl/lstClient2Vis=maybe", "true"},
            {"frmControl/lstClient1Wit=2400", "2400"},
            {"frmControl/lstClient1Wit=wide", "2055"},
            {"frmControl/strClient1=ClientName FROM tblClient; DROP TABLE tblTimeSheet; --",
             "ClientName"},
            {"frmControl/strClient1=clientnumber", "ClientNumber"},
            {"frmControl/strWork1=WorkDescription' OR '1'='1", "WorkDescription"},
            {"frmControl/strWork1=ClientName", "WorkDescription"},
            {"frmControl/strWork2=tblTimeSheet", "WorkCode"},
            {"frmSetup/DaysOld=ninety", "90"},
            {"frmReportCriteria/chkMins=-99999999999999999999999", "0"},
            {"frmReportCriteria/Comp=Smith, Jones", "Smith, Jones"},
        };
        for (const auto& [line, read] : rows)
            QTest::newRow(line) << QString(line) << QString(read);
    }
    void handEditedValues() {
        QFETCH(QString, line);
        QFETCH(QString, read);
        const QString section = line.section('/', 0, 0),
                      key = line.section('/', 1).section('=', 0, 0);
        QFile ini(env->settingsStore->fileName());
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(("[" + section + "]\n" + line.section('/', 1) + "\n").toUtf8());
        ini.close();
        const Settings s(ini.fileName());
        const SavedLayout layout = readSavedLayout(s);
        const std::map<QString, QString> values{
            {"intMinTimer", QString::number(layout.intMinTimer)},
            {"lstClient2Vis", layout.client2Visible ? "true" : "false"},
            {"lstClient1Wit", QString::number(layout.client1Width)},
            {"strClient1", layout.strClient1},
            {"strWork1", layout.strWork1},
            {"strWork2", layout.strWork2},
            {"DaysOld", QString::number(s.int32(keys::DaysOld))},
            {"chkMins", QString::number(s.int32(keys::chkMins))},
            {"Comp", s.text(keys::Comp)}};
        QCOMPARE(values.at(key), read);
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
        for (const auto& [key, text] : texts)
            QCOMPARE(reread.text(key), text);
    }
};

QTEST_MAIN(TestMainSettings)
#include "test_main_settings.moc"

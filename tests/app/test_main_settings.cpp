// Start-up and the settings store.
#include "CountingShell.h"
#include "Main.h"
#include "SavedLayout.h"
#include "Schema.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QFileInfo>
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
        QTest::newRow("another case") << "hourloom.HL1" << u"Hourloom.HL1"_s << u"Hourloom.HL1"_s;
        QTest::newRow("damaged") << "damaged" << u"Hourloom.HL1"_s << u"Hourloom.HL1"_s;
    }
    void noUsableFileWaitsForADatabase() {
        QFETCH(QString, onDisk);
        QFETCH(QString, pathName);
        QFETCH(QString, settingName);
        const QString file = pathName == "-" ? QString() : env->path(pathName);
        if (pathName != "-") {
            env->settingsStore->setText(keys::gDataBaseLoc, file);
            env->settingsStore->setText(keys::gDataBaseName, settingName);
        }
        if (onDisk == "damaged") {
            QFile damaged(file);
            QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(QByteArray(16384, '<')));
        } else if (!onDisk.isEmpty()) {
            store::connectDataBase(env->path(onDisk), onDisk);
        }
        Main();
        QCOMPARE(env->prompts.shown.size(), 1u);
        if (onDisk == "damaged")
            QVERIFY2(env->prompts.last().text.contains(file), qPrintable(env->prompts.last().text));
        else
            QCOMPARE(env->prompts.last().text,
                     "Database not detected. \rOpening Time and Settings form.\rUse button with "
                     "file folder icon to create or open a database.");
        QCOMPARE(env->prompts.last().title, QStringLiteral("Hourloom"));
        QCOMPARE(env->prompts.last().icon, MsgIcon::Critical);
        QCOMPARE(env->windows.shownForms, std::vector<Form>{Form::Setup});
        QCOMPARE(resident.started, 0);
        QVERIFY(!env->state.gStartupDone && !env->state.gDataBase);
        QVERIFY(!onDisk.isEmpty() || !QFileInfo(file).isFile()); // nothing made in its name
    }

    // A hand-edited value that cannot be read gives the default: a purge age
    // read as 0 would offer every record for deletion.
    void unreadableValuesGiveTheDefault() {
        QFile ini(env->settingsStore->fileName());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[frmSetup]\nDaysOld=ninety\n[frmControl]\nintMinTimer=70000\n");
        ini.close();
        const Settings s(ini.fileName());
        QCOMPARE(s.int32(keys::DaysOld), 90);
        QCOMPARE(readSavedLayout(s).intMinTimer, 15);
    }
};

QTEST_MAIN(TestMainSettings)
#include "test_main_settings.moc"

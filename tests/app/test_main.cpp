#include "Main.h"
#include "Records.h"
#include "Schema.h"
#include "Shell.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QSettings>
#include <QTest>

namespace {

const QChar CR(13);

class RecordingShell : public Shell {
public:
    int started = 0;
    void startResident() override { ++started; }
    void trackTime() override {}
};

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestMain : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    RecordingShell resident;

    // Points the settings at `name` in the test folder.
    QString useDatabaseAt(const QString& pathName, const QString& settingName) {
        const QString file = env->path(pathName);
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

    void verifyNotDetectedMessageOnce() {
        QCOMPARE(env->prompts.shown.size(), 1u);
        const auto& shown = env->prompts.last();
        QCOMPARE(shown.text, QString("Database not detected. ") + CR +
                                 "Opening Time and Settings form." + CR +
                                 "Use button with file folder icon to create or open a database.");
        QCOMPARE(shown.title, QString("Hourloom"));
        QCOMPARE(shown.icon, MsgIcon::Critical);
        QCOMPARE(shown.buttons, MsgButtons::Ok);
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

    void firstRunWithoutSettingsOrFileWaitsForADatabase() {
        // Given no settings at all and no file in the data folder
        Main();
        // Then the message is shown once and only the settings window opens
        verifyNotDetectedMessageOnce();
        verifyWaitsForADatabase();
        // The default place was looked at, and nothing was written to the settings
        QCOMPARE(env->state.gDataBaseLoc, env->path("data/hourloom/Hourloom.HL1"));
        QCOMPARE(env->state.gDataBaseName, QString("Hourloom.HL1"));
        QSettings ini(env->settingsStore->fileName(), QSettings::IniFormat);
        QVERIFY(ini.allKeys().isEmpty());
    }

    void fileThatIsNotThereAsNamedWaitsForADatabase_data() {
        QTest::addColumn<QString>("onDisk");   // file made, "" for none
        QTest::addColumn<QString>("pathName"); // path in the settings
        QTest::addColumn<QString>("settingName");
        QTest::newRow("missing file") << ""
                                      << "Hourloom.HL1"
                                      << "Hourloom.HL1";
        QTest::newRow("file spelled in another case") << "hourloom.HL1"
                                                      << "hourloom.HL1"
                                                      << "Hourloom.HL1";
        QTest::newRow("path spelled in another case") << "hourloom.HL1"
                                                      << "Hourloom.HL1"
                                                      << "Hourloom.HL1";
        QTest::newRow("unreachable folder") << ""
                                            << "../../no-such-mount/share/Hourloom.HL1"
                                            << "Hourloom.HL1";
    }
    void fileThatIsNotThereAsNamedWaitsForADatabase() {
        QFETCH(QString, onDisk);
        QFETCH(QString, pathName);
        QFETCH(QString, settingName);
        if (!onDisk.isEmpty())
            store::connectDataBase(env->path(onDisk), onDisk);
        const QString file = useDatabaseAt(pathName, settingName);
        Main();
        verifyNotDetectedMessageOnce();
        verifyWaitsForADatabase();
        // Nothing was created in the settings' name
        QVERIFY(!QFile::exists(file) || !onDisk.isEmpty());
    }

    void unusableFileIsNamedAndTheSettingsWindowOpens_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("otherKey");
        QTest::newRow("damaged file") << QByteArray(16384, '\x3c') << false;
        QTest::newRow("database with another key") << QByteArray() << true;
    }
    void unusableFileIsNamedAndTheSettingsWindowOpens() {
        QFETCH(QByteArray, content);
        QFETCH(bool, otherKey);
        const QString file = useDatabaseAt("Hourloom.HL1", "Hourloom.HL1");
        if (otherKey) {
            store::Database foreign(file, "another password", store::Database::Mode::Create);
            foreign.exec("CREATE TABLE tblOther (x INTEGER)");
        } else {
            writeBytes(file, content);
        }
        // When start-up meets it, the program neither ends nor goes on as if all were well
        Main();
        QCOMPARE(env->prompts.shown.size(), 1u);
        QVERIFY2(env->prompts.last().text.contains(file), qPrintable(env->prompts.last().text));
        QCOMPARE(env->prompts.last().icon, MsgIcon::Critical);
        verifyWaitsForADatabase();
    }

    void existingDatabaseStartsTheResidentProgram() {
        const QString file = useDatabaseAt("Hourloom.HL1", "Hourloom.HL1");
        {
            store::Database db = store::connectDataBase(file, "Hourloom.HL1");
            store::ActivityRecord r;
            r.date = r.beginTime = QDateTime(QDate(2026, 3, 2), QTime(9, 0));
            r.endTime = r.beginTime.addSecs(3600);
            r.clientName = r.workDescription = r.employee = "ann";
            store::appendRecord(db, r);
        }
        Main();
        QVERIFY(env->prompts.shown.empty());
        QVERIFY(env->windows.shownForms.empty());
        QCOMPARE(resident.started, 1);
        QVERIFY(env->state.gStartupDone);
        QVERIFY(env->state.gDataBase);
        QCOMPARE(env->state.gDataBase->path(), file);
        // The existing file was opened, not made anew
        store::Statement count(*env->state.gDataBase, "SELECT count(*) FROM tblTimeSheet");
        QVERIFY(count.step());
        QCOMPARE(count.int64(0), 1);
    }

    void secondRunReadsTheLocationChosenMeanwhile() {
        // Given a first start that found nothing
        Main();
        QVERIFY(!env->state.gStartupDone);
        // When a database is chosen elsewhere (the settings now name it) and Main runs again
        const QString file = useDatabaseAt("Chosen.HL1", "Chosen.HL1");
        store::connectDataBase(file, "Chosen.HL1");
        Main();
        // Then the normal start follows, with the one message of the first run only
        QCOMPARE(env->prompts.shown.size(), 1u);
        QCOMPARE(resident.started, 1);
        QVERIFY(env->state.gStartupDone);
        QCOMPARE(env->state.gDataBaseLoc, file);
        QCOMPARE(env->state.gDataBase->path(), file);
    }
};

QTEST_MAIN(TestMain)
#include "test_main.moc"

#include "CliValues.h"
#include "FileProbes.h"
#include "Records.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {

// Thursday 5 March 2026, 2:00 PM, for the program and the windows alike.
const QDateTime kNow(QDate(2026, 3, 5), QTime(14, 0));

struct Run {
    int code = -1;
    QByteArray out;
    QString err;
};

} // namespace

// The companion run as a program, on a database with clients 10 Acme and
// 20 Birch and work codes 7 Design and 8 Build, for employee Pat.
class TestCli : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    QString file;

    Run cli(QStringList arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOURLOOM_NOW", kNow.toString(Qt::ISODate));
        process.setProcessEnvironment(environment);
        process.start(HL_CLI_PATH, arguments);
        if (!process.waitForFinished(60000))
            qFatal("hourloom-cli did not finish");
        return {process.exitCode(), process.readAllStandardOutput(),
                QString::fromUtf8(process.readAllStandardError())};
    }
    // As Pat, on the test's database.
    Run pat(const QStringList& arguments) {
        return cli(QStringList{"--database", file, "--employee", "Pat"} + arguments);
    }
    QJsonArray day(const QString& date) {
        return QJsonDocument::fromJson(pat({"day", date, "--json"}).out).array();
    }

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        env->openNewDatabase().exec(
            "INSERT INTO tblClient VALUES (10, 'Acme'); INSERT INTO tblClient VALUES (20, 'Birch');"
            "INSERT INTO tblWork VALUES (7, 'Design'); INSERT INTO tblWork VALUES (8, 'Build');");
        file = env->state.gDataBaseLoc;
    }
    void cleanup() { env.reset(); }

    // Beside the forms the other tests type: padding, noon and midnight.
    void datesAndTimesAsTyped() {
        QCOMPARE(dateFromArgument(" 3/5/2026"), QDate(2026, 3, 5));
        for (const char* bad : {"2026-02-30", "2026-3-5", "3/5/26", "13/1/2026", "yesterday", ""})
            QVERIFY2(!dateFromArgument(bad), bad);
        QCOMPARE(timeFromArgument("12:30am"), QTime(0, 30));
        QCOMPARE(timeFromArgument("12:00 p.m."), QTime(12, 0));
        for (const char* bad : {"24:00", "9", "13:00 PM", "0:10 AM", "9:5", "noon"})
            QVERIFY2(!timeFromArgument(bad), bad);
        QCOMPARE(momentFromArgument("3/4/2026 11:30 PM", kNow.date()),
                 QDateTime(QDate(2026, 3, 4), QTime(23, 30)));
        QCOMPARE(momentFromArgument("9:15", kNow.date()), QDateTime(kNow.date(), QTime(9, 15)));
    }

    // A refusal of each kind: its exit status, its message, and not a byte
    // written. The rules' other refusals are checked in the windows that show them.
    void refusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("too many") << QStringList{"undo", "now"} << 2 << "undo takes no arguments";
        QTest::newRow("bad date") << QStringList{"day", "2026-02-30"} << 2
                                  << "The day \"2026-02-30\" is not a date";
        QTest::newRow("unknown client")
            << QStringList{"track", "Nobody", "Design", "--from", "9:00"} << 1
            << "No client is numbered or named \"Nobody\".\nActivity NOT Recorded: Client "
               "information was not selected.\n Both Client and work";
        QTest::newRow("nothing to undo") << QStringList{"undo"} << 1 << "Nothing was undone";
        QTest::newRow("number taken") << QStringList{"clients", "add", "Initech", "20"} << 1
                                      << "Client Number 20 is already in the client list";
        QTest::newRow("purge unconfirmed")
            << QStringList{"purge", "0"} << 1 << "Permenently delete 1 records from database?";
        QTest::newRow("backup over a file")
            << QStringList{"backup", "{db}"} << 3 << "the file exists";
        QTest::newRow("init over a file") << QStringList{"init", "{db}"} << 3 << "already exists";
        QTest::newRow("missing file") << QStringList{"--database", "{missing}", "status"} << 3
                                      << "{missing}: there is no such file.";
        QTest::newRow("connect with a password")
            << QStringList{"server", "connect", "postgresql://ann:secret@h/t"} << 2
            << "The address holds a password.";
        QTest::newRow("migrate onto a file")
            << QStringList{"migrate", "{db}", "{missing}"} << 2 << "is not a server address";
    }
    void refusals() {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, message);
        store::appendRecord(env->db(), {kNow, kNow.addDays(-20), kNow.addDays(-20).addSecs(600), 10,
                                        "Acme", 7, "Design", "Pat"});
        const QString missing = env->path("missing.HL1");
        const auto fill = [&](QString text) {
            return text.replace("{db}", file).replace("{missing}", missing);
        };
        for (QString& argument : arguments)
            argument = fill(argument);
        const QByteArray before = fileBytes(file);
        const Run run = pat(arguments);
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.contains(fill(message)), qPrintable(run.err));
        QVERIFY(run.out.isEmpty() || code == 2);
        QCOMPARE(fileBytes(file), before);
        QVERIFY(!QFile::exists(missing));
        QCOMPARE(QDir(env->dir.path()).entryList({"*.bak", "*.bak.new", "*-journal"}),
                 QStringList());
    }

    void trackUndoAndDayRoundTrip() {
        // 9:00 to 10:30, then from where it ended to now, then 45 minutes more.
        QCOMPARE(pat({"track", "Acme", "Design", "--from", "9:00", "--to", "10:30 AM"}).code, 0);
        const Run second = pat({"track", "20", "build", "--json"});
        QCOMPARE(second.code, 0);
        const QJsonObject recorded = QJsonDocument::fromJson(second.out).object();
        QCOMPARE(recorded["beginTime"].toString(), "2026-03-05T10:30:00");
        QCOMPARE(recorded["endTime"].toString(), "2026-03-05T14:00:00");
        QCOMPARE(recorded["date"].toString(), "2026-03-05T14:00:00");
        QCOMPARE(recorded["clientName"].toString() + recorded["workDescription"].toString(),
                 "BirchBuild"); // found by number and by name in any case
        QCOMPARE(pat({"track", "Birch", "8", "--minutes", "45"}).code, 0);
        QCOMPARE(day("2026-03-05").size(), 3);
        QCOMPARE(pat({"day", "3/5/2026"}).out.split('\n').at(1).simplified(),
                 "Acme 10 Design 7 3/5/2026 9:00:00 AM 3/5/2026 10:30:00 AM");
        // Records of another employee are neither listed nor undone.
        QCOMPARE(cli({"--database", file, "--employee", "Sam", "undo"}).code, 1);
        QVERIFY(pat({"undo"}).out.startsWith("Undone: Birch  20  Build  8  3/5/2026 2:00:00 PM"));
        QCOMPARE(pat({"undo"}).code, 0);
        const QJsonArray left = day("2026-03-05");
        QCOMPARE(left.size(), 1);
        QCOMPARE(left[0].toObject()["minutes"].toInt(), 90);
        const QJsonObject status = QJsonDocument::fromJson(pat({"status", "--json"}).out).object();
        QCOMPARE(status["recordedUpToNow"].toBool(), false);
        QCOMPARE(status["lagMinutes"].toInt(), 210);
        QCOMPARE(status["latest"].toObject()["endTime"].toString(), "2026-03-05T10:30:00");
    }
};

QTEST_MAIN(TestCli)
#include "test_cli.moc"

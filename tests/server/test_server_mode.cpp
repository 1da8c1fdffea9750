// The program and hourloom-cli on a server, both through the module they
// load: Time and Settings in server mode, a server out of reach, maintenance,
// and the commands that set a server up and move a team's file onto it.
#include "CountingShell.h"
#include "Main.h"
#include "OpenStore.h"
#include "Records.h"
#include "ServerTest.h"
#include "SetupForms.h"
#include "TestEnvironment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>

using namespace servertest;

namespace {

const QString kHere = "database srvmode on server this computer";

} // namespace

class TestServerMode : public QObject {
    Q_OBJECT
    QString url;
    std::unique_ptr<TestEnvironment> env;
    CountingShell resident;

    QString as(const QString& login, const QString& database = "srvmode") {
        return urlFor(database, login);
    }
    // Start-up with the Server setting, then Time and Settings.
    QWidget* start(const QString& server) {
        env->settingsStore->setText(keys::Server, server);
        Main();
        return env->windows.show(Form::Setup);
    }
    void click(QWidget* window, const char* button, std::deque<MsgAnswer> answers = {}) {
        env->prompts.answers = answers;
        window->findChild<QAbstractButton*>(button)->click();
    }
    // Runs hourloom-cli: true when it ends with `code` and says `says`.
    bool cli(const QStringList& arguments, int code, const QString& says = {}) {
        QProcess process;
        process.setEnvironment(QProcess::systemEnvironment()
                               << "XDG_CONFIG_HOME=" + env->path("config")
                               << "HOURLOOM_NOW=2026-03-11T12:00:00");
        process.start(HL_CLI_PATH, arguments);
        process.waitForFinished(120000);
        const QString output = process.readAllStandardOutput() + process.readAllStandardError();
        const bool expected = process.exitCode() == code && output.contains(says);
        if (!expected)
            qWarning("%s: %d %s", qPrintable(arguments.join(' ')), process.exitCode(),
                     qPrintable(output));
        return expected;
    }

private slots:
    void initTestCase() {
        url = freshDatabase("srvmode");
        store::server::addEmployee(url, "sm_ann", "Ann", false);
        store::server::addEmployee(url, "sm_lee", "Lee", true);
        setShell(&resident);
    }
    void init() {
        env = std::make_unique<TestEnvironment>();
        env->windows.factories[Form::Setup] = [] { return createFrmSetup(); };
        resident.started = 0;
    }
    void cleanup() { env.reset(); }

    // A start that cannot reach the server says why within seconds and opens
    // Time and Settings. A module that failed to load is tried again at the
    // next start: this runs before anything else loads it.
    void failedStartSaysWhyAndOpensSettings() {
        const SilentServer hung;
        const QString team = QString("postgresql://127.0.0.1:%1/team?user=sm_ann").arg(hung.port());
        qputenv("HOURLOOM_SERVER_MODULE", "/nonexistent/hourloom-server.so");
        start(QString(team).replace("//", "//sm_ann:secret@") + "&password=secret");
        qunsetenv("HOURLOOM_SERVER_MODULE");
        QVERIFY2(env->prompts.last().text.contains("server backend of Hourloom cannot be loaded") &&
                     !env->prompts.last().text.contains("secret"),
                 qPrintable(env->prompts.last().text));
        QElapsedTimer waited;
        waited.start();
        start(team);
        QVERIFY2(waited.elapsed() < 8000, "the start waited longer than the connect timeout");
        QCOMPARE(resident.started, 0);
        QCOMPARE(env->windows.shownForms, std::vector<Form>(4, Form::Setup)); // two per start
        const QString said = env->prompts.last().text;
        QVERIFY2(said.startsWith("Cannot connect to the database team on server 127.0.0.1: ") &&
                     said.contains("timeout expired"),
                 qPrintable(said));
    }

    void timeAndSettingsShowsTheServersNameReadOnly() {
        env->settingsStore->setText(keys::Emp, "pat");
        QWidget* window = start(as("sm_ann"));
        QCOMPARE(resident.started, 1);
        auto* employee = window->findChild<QLineEdit*>("txtEmp");
        QCOMPARE(employee->text() + env->state.gEmployee, "AnnAnn");
        QVERIFY(employee->isReadOnly());
        QCOMPARE(window->findChild<QLabel*>("lblLocation")->text(), kHere);
        click(window, "cmdAdd");
        QCOMPARE(env->settingsStore->text(keys::Emp), "pat");
    }

    // Ann's window deletes only Ann's old records, keeps no copy, and counts
    // what the server lets it see.
    void purgeKeepsOthersRecordsAndWritesNoCopy() {
        const QDateTime begin(QDate(2025, 10, 1), QTime(9, 0));
        store::server::PgStore team(url);
        for (const char* who : {"Ann", "Ann", "Lee"})
            team.appendRecord({begin, begin, begin.addSecs(3600), 1, "Acme", 7, "Design", who});
        QWidget* window = start(as("sm_ann"));
        window->findChild<QLineEdit*>("txtDaysOld")->setText("90");
        click(window, "cmdDelete", {MsgAnswer::Ok});
        QCOMPARE(env->prompts.texts(),
                 QStringList({"Permenently delete 2 records from database?",
                              "2 records were deleted from database.  You may want to compress "
                              "database now."}));
        QCOMPARE(firstCell(team.connection(), "SELECT string_agg(Employee, ',') FROM tblTimeSheet"),
                 "Lee");
        QDirIterator copies(env->dir.path(), {"*.bak*"}, QDir::Files, QDirIterator::Subdirectories);
        QVERIFY(!copies.hasNext());
    }

    void compactIsTheAdministratorsAlone() {
        click(start(as("sm_ann")), "cmdCompact");
        QCOMPARE(env->prompts.texts(),
                 QStringList{"The " + kHere +
                             " maintains itself: PostgreSQL gives back the space of deleted "
                             "records on its own. Only its administrator compacts it by hand."});
        click(start(as(kAdmin)), "cmdCompact", {MsgAnswer::Yes});
        QCOMPARE(env->prompts.last().text,
                 "Database has now been compacted.  Hourloom is now ready for use");
    }

    // A server set for the whole computer stays; the user's own is left by
    // choosing a file.
    void databaseButtonLeavesOnlyTheUsersOwnServer() {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, env->path("user"));
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, env->path("system"));
        QSettings(env->path("system/hourloom/hourloom.ini"), QSettings::IniFormat)
            .setValue("frmSetup/Server", as("sm_ann"));
        env->settingsStore = std::make_unique<Settings>();
        services().settings = env->settingsStore.get();
        Main();
        QCOMPARE(resident.started, 1);
        QWidget* window = env->windows.show(Form::Setup);
        click(window, "cmdDatabase");
        QCOMPARE(env->prompts.last().text, "Hourloom records on the " + kHere +
                                               ".\rThe administrator of this computer set it "
                                               "up; ask them to use a database file instead.");
        QCOMPARE(env->prompts.openRequests.size() + env->prompts.saveRequests.size(), size_t(0));

        QVERIFY(QFile::remove(env->path("system/hourloom/hourloom.ini")));
        env->settingsStore->setText(keys::Server, as("sm_ann"));
        env->settingsStore->setText(keys::Emp, "pat");
        store::createStore(env->path("Team.HL1"));
        env->prompts.files = {env->path("Team.HL1")};
        click(window, "cmdDatabase", {MsgAnswer::No});
        QCOMPARE(env->settingsStore->text(keys::Server), "");
        QCOMPARE(env->state.gDataBase->location(), env->path("Team.HL1"));
        QCOMPARE(window->findChild<QLineEdit*>("txtEmp")->text() + env->state.gEmployee, "patpat");
        QVERIFY(!window->findChild<QLineEdit*>("txtEmp")->isReadOnly());
    }

    void commandLine() {
        const QString team = freshDatabase("srvcli");
        QVERIFY(cli({"server", "init", team}, 0, "holds Hourloom's tables"));
        const QStringList add{"--database", team, "server", "add-employee"};
        QVERIFY(cli(add + QStringList{"sm_kim", "--name", "kim"}, 0, "records as kim on"));
        QVERIFY(cli(add + QStringList{"sm_lee", "--name", "Lee", "--lead"}, 0, "as a lead"));

        // A team's file moves once: a record of kim's and 100,000 of ten more
        // employees, two of them differing only in case, some crossing midnight.
        store::Database& file = env->openNewDatabase();
        const QStringList employees{"Pat", "pat", "Lee", "O'Neil \\ the second", "Zoë", "Mo", "Ana",
                                    "Bo",  "Cy",  "Di"};
        store::writeTransaction(file, [&](store::Transaction& transaction) {
            for (int n = 0; n < 100'000; ++n) {
                const QDateTime begin =
                    QDateTime(QDate(2025, 1, 6), QTime(7, 0)).addSecs(n * 317LL);
                const QDateTime end = begin.addSecs(60 * (1 + n % 120) + n % 7);
                store::insertRecord(transaction,
                                    {end, begin, end, n % 13, QString("Client %1").arg(n % 13),
                                     n % 5, QString("Work %1").arg(n % 5), employees[n % 10]});
            }
            const QDateTime begin(QDate(2026, 3, 2), QTime(9, 0));
            store::insertRecord(
                transaction, {begin, begin, begin.addSecs(3600), 10, "Acme", 7, "Design", "kim"});
            file.exec("INSERT INTO tblClient VALUES (10, 'Acme'), (2, 'Tab\tand \\ back'), "
                      "(3, 'Zoë'); INSERT INTO tblWork VALUES (7, 'Design'), (2, 'Code')");
        });
        const QString path = env->state.gDataBaseLoc;
        QVERIFY(cli({"migrate", path, as("sm_kim", "srvcli")}, 3, "Only the administrator"));
        // A server that changes what it is given is caught before anything stays.
        store::server::Connection server(team);
        server.execScript(
            "CREATE FUNCTION shift() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN NEW.EndTime := "
            "NEW.EndTime + interval '1 second'; RETURN NEW; END $$; CREATE TRIGGER shift BEFORE "
            "INSERT ON tblTimeSheet FOR EACH ROW EXECUTE FUNCTION shift()");
        QVERIFY(cli({"migrate", path, team}, 1, "does not match the file for"));
        server.execScript("DROP TRIGGER shift ON tblTimeSheet");
        QVERIFY(cli({"migrate", path, team}, 0,
                    "Copied 100001 records of 11 employees, 3 clients and 2 work codes"));
        store::server::PgStore onServer(team);
        for (const auto table : {store::CodeTable::Client, store::CodeTable::Work})
            QCOMPARE(onServer.codeEntries(table), env->state.gDataBase->codeEntries(table));
        QVERIFY(cli({"migrate", path, team}, 1, "already holds 100001 records"));

        // Connecting writes the user's setting; the commands then work there.
        QVERIFY(cli({"server", "connect", as("sm_kim", "srvcli")}, 0, "as kim"));
        QCOMPARE(Settings(env->path("config/hourloom/hourloom.ini")).text(keys::Server),
                 as("sm_kim", "srvcli"));
        QVERIFY(cli({"track", "Acme", "Design", "--from", "10:00", "--to", "11:00"}, 0));
        QVERIFY(cli({"report", "--employee", "Lee"}, 1, "only to a lead"));
        QVERIFY(cli({"compact"}, 1, "maintains itself"));
        QVERIFY(cli({"--database", as("sm_lee", "srvcli"), "--employee", "Kim", "report", "--from",
                     "2026-03-01", "--to", "2026-03-31", "--format", "csv"},
                    0, "10,\"Acme\",7,\"Design\",\"2HRs 0Mins\",\"Kim\""));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv); // the windows need widgets
    return runServerTests<TestServerMode>(argc, argv);
}

#include "test_server_mode.moc"

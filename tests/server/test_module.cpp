// The programs reach the server through the module hourloom-server.so, not
// through the library the other server tests link: these tests go the
// programs' way, through openStore.
#include "DbError.h"
#include "OpenStore.h"
#include "ServerTest.h"

class TestServerModule : public QObject {
    Q_OBJECT

private slots:
    void aMissingModuleIsNamedAndTheNextAttemptLoadsIt() {
        const QString url = servertest::freshDatabase(QStringLiteral("module_missing"));
        qputenv("HOURLOOM_SERVER_MODULE", "/nonexistent/hourloom-server.so");
        try {
            store::openStore(url);
            QFAIL("opened a server without its module");
        } catch (const store::DbError& error) {
            QVERIFY2(error.message().contains(url), qPrintable(error.message()));
            QVERIFY(error.message().contains(
                QLatin1String("server backend of Hourloom cannot be loaded")));
        }
        qunsetenv("HOURLOOM_SERVER_MODULE");
        QVERIFY(store::openStore(url) != nullptr);
    }

    void whatIsWrittenThroughTheModuleReachesTheServer() {
        const QString url = servertest::freshDatabase(QStringLiteral("module_writes"));
        const auto server = store::openStore(url);
        QCOMPARE(server->addCodeEntry(store::CodeTable::Client, {7, QStringLiteral("Acme")}),
                 store::AddOutcome::Added);
        store::server::Connection admin(url);
        QCOMPARE(
            servertest::firstCell(admin, "SELECT ClientName FROM tblClient WHERE ClientNumber = 7"),
            QStringLiteral("Acme"));
    }

    void theServersRefusalArrivesAsTheStoresError() {
        // The exception crosses from the module into the program.
        const QString url = servertest::urlFor(QStringLiteral("no_such_database"));
        QVERIFY_THROWS_EXCEPTION(store::DbError, store::openStore(url));
    }
};

HL_SERVER_TEST_MAIN(TestServerModule)
#include "test_module.moc"

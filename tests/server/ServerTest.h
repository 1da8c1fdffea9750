#pragma once

// What every server test shares: the throw-away cluster the CTest fixture
// started (pg_cluster.sh), fresh databases in it, and a main().
#include "PgStore.h"
#include "ServerSchema.h"

#include <QFile>
#include <QTest>
#include <cstdio>

namespace servertest {

inline constexpr const char* kAdmin = "hourloom_admin";

// The cluster's folder and port, from the state file the fixture wrote.
inline QStringList clusterState() {
    QFile state(qEnvironmentVariable("HOURLOOM_TEST_PG_STATE"));
    if (!state.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(state.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

inline QString urlFor(const QString& database, const QString& login = kAdmin) {
    const QStringList state = clusterState();
    return QStringLiteral("postgresql:///%1?host=%2&port=%3&user=%4")
        .arg(database, state.value(0), state.value(1), login);
}

// A new database `name` with the Hourloom tables laid down; its administrator's URL.
inline QString freshDatabase(const QString& name) {
    store::server::Connection admin(urlFor(QStringLiteral("postgres")));
    admin.exec("DROP DATABASE IF EXISTS " + admin.quotedIdentifier(name) + " WITH (FORCE)");
    admin.exec("CREATE DATABASE " + admin.quotedIdentifier(name));
    const QString url = urlFor(name);
    store::server::serverInit(url);
    return url;
}

inline QString firstCell(store::server::Connection& server, const QByteArray& sql) {
    const store::server::Result result = server.exec(sql);
    return result.rows() > 0 ? result.text(0, 0) : QString();
}

} // namespace servertest

// Runs the tests in an application of class App, or reports them skipped
// (exit code 77) without a cluster.
#define HL_SERVER_TEST_MAIN(TestClass, App)                                                        \
    int main(int argc, char** argv) {                                                              \
        App app(argc, argv);                                                                       \
        if (servertest::clusterState().isEmpty()) {                                                \
            std::puts("skipped: no PostgreSQL test cluster (package postgresql-15)");              \
            return 77;                                                                             \
        }                                                                                          \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

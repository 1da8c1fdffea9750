#pragma once

// What every server test shares: the throw-away cluster the CTest fixture
// started (pg_cluster.sh), fresh databases in it, and a main() that reports
// the tests as skipped (exit code 77) when there is no cluster.
#include "PgConnection.h"
#include "PgStore.h"
#include "ServerSchema.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>
#include <arpa/inet.h>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

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

// A new, empty database `name` with the Hourloom tables laid down; its
// administrator's URL.
inline QString freshDatabase(const QString& name) {
    store::server::Connection admin(urlFor(QStringLiteral("postgres")));
    admin.exec("DROP DATABASE IF EXISTS " + admin.quotedIdentifier(name) + " WITH (FORCE)");
    admin.exec("CREATE DATABASE " + admin.quotedIdentifier(name));
    const QString url = urlFor(name);
    store::server::serverInit(url);
    return url;
}

// The first cell of a hand-written query's result.
inline QString firstCell(store::server::Connection& server, const QByteArray& sql) {
    const store::server::Result result = server.exec(sql);
    return result.rows() > 0 ? result.text(0, 0) : QString();
}

// A listening socket on 127.0.0.1 that never answers: a server that hangs.
struct SilentServer {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    SilentServer() {
        bind(fd, reinterpret_cast<sockaddr*>(&address), length);
        listen(fd, 8);
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    }
    ~SilentServer() { close(fd); }
    int port() const { return ntohs(address.sin_port); }
};

// Runs the tests, or reports them skipped (exit code 77) without a cluster.
template <typename TestClass> int runServerTests(int argc, char** argv) {
    if (clusterState().isEmpty()) {
        std::puts("skipped: no PostgreSQL test cluster (the server binaries of package "
                  "postgresql-15 are not installed)");
        return 77;
    }
    TestClass test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace servertest

#define HL_SERVER_TEST_MAIN(TestClass)                                                             \
    int main(int argc, char** argv) {                                                              \
        QCoreApplication app(argc, argv);                                                          \
        return servertest::runServerTests<TestClass>(argc, argv);                                  \
    }

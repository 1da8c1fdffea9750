// One of the writer processes of the load test: appends COUNT numbered
// records as LOGIN and prints how long each append took, in microseconds,
// one per line.
#include "PgStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: server_writer URL WRITER COUNT\n");
        return 2;
    }
    const QString url = QString::fromUtf8(argv[1]);
    const int writer = std::atoi(argv[2]);
    const int count = std::atoi(argv[3]);
    try {
        store::server::PgStore server(url);
        const QDateTime start(QDate(2026, 1, 5), QTime(8, 0));
        for (int n = 0; n < count; ++n) {
            // Numbered so that the test can find each record exactly once.
            const int id = writer * 100000 + n;
            store::ActivityRecord r;
            r.beginTime = start.addSecs(60LL * n);
            r.endTime = r.beginTime.addSecs(30);
            r.date = r.endTime;
            r.clientNumber = id;
            r.clientName = QStringLiteral("Client %1").arg(id);
            r.workCode = id;
            r.workDescription = QStringLiteral("Work %1").arg(id);
            QElapsedTimer took;
            took.start();
            server.appendRecord(r);
            std::printf("%lld\n", static_cast<long long>(took.nsecsElapsed() / 1000));
        }
    } catch (const store::DbError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 3;
    }
    return 0;
}

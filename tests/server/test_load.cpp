// Fifty writer processes, each its own employee's login, append at once to
// one server: every record arrives exactly once. Prints p50 and p99 per append.
// This program is also each writer: see main().
#include "ServerTest.h"

#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <string_view>

using namespace servertest;

namespace {

constexpr int kWriters = 50;
constexpr int kAppends = 200;

QString login(int writer) {
    return QStringLiteral("writer%1").arg(writer, 2, 10, QLatin1Char('0'));
}

// Appends the writer's numbered records as its login and prints how long each
// append took, in microseconds, one per line.
int writer(const QString& url, int writer) {
    store::server::PgStore server(url);
    const QDateTime start(QDate(2026, 1, 5), QTime(8, 0));
    for (int n = 0; n < kAppends; ++n) {
        const int id = writer * 100000 + n; // found by the test exactly once
        const QDateTime begin = start.addSecs(60LL * n);
        QElapsedTimer took;
        took.start();
        server.appendRecord({begin.addSecs(30), begin, begin.addSecs(30), id,
                             QStringLiteral("Client %1").arg(id), id,
                             QStringLiteral("Work %1").arg(id), QString()});
        std::printf("%lld\n", static_cast<long long>(took.nsecsElapsed() / 1000));
    }
    return 0;
}

} // namespace

class TestLoad : public QObject {
    Q_OBJECT

private slots:
    void fiftyWritersLoseNothing() {
        const QString url = freshDatabase(QStringLiteral("load"));
        for (int writer = 1; writer <= kWriters; ++writer)
            store::server::addEmployee(url, login(writer), QStringLiteral("Writer %1").arg(writer),
                                       false);
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int writer = 1; writer <= kWriters; ++writer) {
            auto process = std::make_unique<QProcess>();
            process->start(QCoreApplication::applicationFilePath(),
                           {"--write", urlFor(QStringLiteral("load"), login(writer)),
                            QString::number(writer)});
            writers.push_back(std::move(process));
        }
        std::vector<qint64> micros;
        for (auto& process : writers) {
            QVERIFY(process->waitForFinished(240'000));
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
            for (const QByteArray& line : process->readAllStandardOutput().split('\n'))
                if (!line.isEmpty())
                    micros.push_back(line.toLongLong());
        }
        QCOMPARE(micros.size(), size_t(kWriters * kAppends));

        store::server::Connection admin(url);
        // Each record carries its writer's number and its own: present once,
        // whole, and under the name of the login that wrote it.
        QCOMPARE(firstCell(admin, "SELECT count(*) FROM tblTimeSheet"),
                 QString::number(kWriters * kAppends));
        QCOMPARE(firstCell(admin, "SELECT count(DISTINCT ClientNumber) FROM tblTimeSheet WHERE "
                                  "ClientName = 'Client ' || ClientNumber AND WorkDescription = "
                                  "'Work ' || ClientNumber AND Employee = 'Writer ' || "
                                  "(ClientNumber / 100000) AND ClientNumber % 100000 < 200"),
                 QString::number(kWriters * kAppends));

        std::sort(micros.begin(), micros.end());
        const auto percentile = [&](double p) {
            return micros[static_cast<size_t>(p * static_cast<double>(micros.size() - 1))] / 1000.0;
        };
        qInfo("%d appends by %d processes: p50 %.2f ms, p99 %.2f ms, max %.2f ms",
              kWriters * kAppends, kWriters, percentile(0.5), percentile(0.99), percentile(1.0));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::string_view(argv[1]) == "--write") {
        try {
            return writer(QString::fromUtf8(argv[2]), std::atoi(argv[3]));
        } catch (const store::DbError& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return 3;
        }
    }
    return runServerTests<TestLoad>(argc, argv);
}
#include "test_load.moc"

// Fifty writer processes, each its own employee's login, append at once to
// one server: every record arrives exactly once. Prints p50 and p99 per append.
#include "ServerTest.h"

#include <QProcess>
#include <algorithm>

using namespace servertest;

namespace {

constexpr int kWriters = 50;
constexpr int kAppends = 200;

QString login(int writer) {
    return QStringLiteral("writer%1").arg(writer, 2, 10, QLatin1Char('0'));
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
            process->start(qEnvironmentVariable("HOURLOOM_SERVER_WRITER"),
                           {urlFor(QStringLiteral("load"), login(writer)), QString::number(writer),
                            QString::number(kAppends)});
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

HL_SERVER_TEST_MAIN(TestLoad)
#include "test_load.moc"

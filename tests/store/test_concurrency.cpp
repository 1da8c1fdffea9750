// Several copies of the program writing one file, and a writer that dies in
// the middle of a transaction. The test executable starts copies of itself as
// the other processes (see main() below).
#include "RecordFactory.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

using namespace testing;

namespace {

constexpr int kWriters = 4;
constexpr int kRecordsPerWriter = 500;
constexpr int kRowsPerTransaction = 3;
const QString kFileName = QStringLiteral("Shared.HL1");

store::ActivityRecord numbered(const QString& employee, int n) {
    const QDateTime begin = at(2026, 1, 1, 0, 0).addSecs(60LL * n);
    return record(employee, begin, begin.addSecs(60));
}

void say(const char* line) {
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Child: appends `count` records, one transaction each, as `employee`.
int appendAsChild(const QString& path, const QString& employee, int count) {
    store::Database db = store::connectDataBase(path, kFileName);
    for (int i = 0; i < count; ++i)
        store::appendRecord(db, numbered(employee, i));
    return 0;
}

void commitBatch(store::Database& db, int batch) {
    store::writeTransaction(db, [&] {
        for (int row = 0; row < kRowsPerTransaction; ++row)
            store::insertRecord(db, numbered("victim", batch * kRowsPerTransaction + row));
    });
}

// Child: commits `batches` transactions of three rows, then opens one more,
// writes into it and waits there (holding the lock) until it is killed.
int holdOpenTransactionAsChild(const QString& path, int batches) {
    store::Database db = store::connectDataBase(path, kFileName);
    for (int batch = 0; batch < batches; ++batch)
        commitBatch(db, batch);
    store::Transaction open(db);
    for (int row = 0; row < 50; ++row)
        store::insertRecord(db, numbered("uncommitted", row));
    say("holding");
    std::getchar(); // blocks: the parent never writes
    return 1;
}

// Child: commits three-row transactions without end, reporting each.
int commitForeverAsChild(const QString& path) {
    store::Database db = store::connectDataBase(path, kFileName);
    for (int batch = 0;; ++batch) {
        commitBatch(db, batch);
        say(QByteArray::number(batch + 1).constData());
    }
}

// Reads the child's lines until `done` accepts one; false if the child ends first.
template <class Done> bool readUntil(QProcess& child, Done done) {
    while (child.state() == QProcess::Running || child.bytesAvailable() > 0) {
        while (child.canReadLine()) {
            if (done(child.readLine().trimmed()))
                return true;
        }
        if (!child.waitForReadyRead(30'000))
            return false;
    }
    return false;
}

QString integrity(store::Database& db) {
    store::Statement check(db, "PRAGMA integrity_check");
    check.step();
    return check.text(0);
}

} // namespace

class TestConcurrency : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString file;

    std::unique_ptr<QProcess> startChild(const QStringList& arguments) {
        auto child = std::make_unique<QProcess>();
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child->start(QCoreApplication::applicationFilePath(), arguments);
        if (!child->waitForStarted(30'000))
            qWarning("child did not start: %s", qPrintable(child->errorString()));
        return child;
    }

private slots:
    void init() {
        file = dir.filePath(kFileName);
        QFile::remove(file);
        store::connectDataBase(file, kFileName); // created once, before the writers start
    }

    void concurrentWritersLoseNothing() {
        // Given four copies of the program appending 500 records each at once
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int w = 0; w < kWriters; ++w)
            writers.push_back(startChild({"--append", file, QStringLiteral("writer %1").arg(w),
                                          QString::number(kRecordsPerWriter)}));
        for (auto& writer : writers) {
            QVERIFY(writer->waitForFinished(240'000));
            QCOMPARE(writer->exitStatus(), QProcess::NormalExit);
            QCOMPARE(writer->exitCode(), 0);
        }
        // Then every record of every writer is there, once
        store::Database db = store::connectDataBase(file, kFileName);
        QCOMPARE(rowCount(db), kWriters * kRecordsPerWriter);
        QCOMPARE(rowCount(db, "SELECT count(*) FROM (SELECT DISTINCT Employee, BeginTime FROM "
                              "tblTimeSheet)"),
                 kWriters * kRecordsPerWriter);
        QCOMPARE(integrity(db), QStringLiteral("ok"));
    }

    void writerKilledInsideATransactionLeavesEveryCommittedRow() {
        // Given a writer that committed ten transactions and holds an eleventh open
        auto child = startChild({"--hold", file, "10"});
        QVERIFY(readUntil(*child, [](const QByteArray& line) { return line == "holding"; }));
        // When it is killed with SIGKILL
        child->kill();
        QVERIFY(child->waitForFinished(30'000));
        // Then the file opens with the committed rows only, and takes writes again
        store::Database db = store::connectDataBase(file, kFileName);
        QCOMPARE(integrity(db), QStringLiteral("ok"));
        QCOMPARE(rowCount(db), 10 * kRowsPerTransaction);
        QCOMPARE(rowCount(db, "SELECT count(*) FROM tblTimeSheet WHERE Employee = 'uncommitted'"),
                 0);
        store::appendRecord(db, numbered("after", 0));
        QCOMPARE(rowCount(db), 10 * kRowsPerTransaction + 1);
    }

    void writerKilledAtAnyMomentLeavesWholeTransactions() {
        // Given a writer committing three-row transactions as fast as it can
        auto child = startChild({"--forever", file});
        int reported = 0;
        QVERIFY(readUntil(*child, [&](const QByteArray& line) {
            reported = line.toInt();
            return reported >= 40;
        }));
        // When it is killed wherever it happens to be
        child->kill();
        QVERIFY(child->waitForFinished(30'000));
        // Then every reported commit is there, and no transaction is there in part
        store::Database db = store::connectDataBase(file, kFileName);
        QCOMPARE(integrity(db), QStringLiteral("ok"));
        const qint64 rows = rowCount(db);
        QVERIFY2(rows >= reported * kRowsPerTransaction, qPrintable(QString::number(rows)));
        QCOMPARE(rows % kRowsPerTransaction, 0);
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    try {
        if (args.size() == 5 && args[1] == "--append")
            return appendAsChild(args[2], args[3], args[4].toInt());
        if (args.size() == 4 && args[1] == "--hold")
            return holdOpenTransactionAsChild(args[2], args[3].toInt());
        if (args.size() == 3 && args[1] == "--forever")
            return commitForeverAsChild(args[2]);
    } catch (const store::DbError& error) {
        std::fprintf(stderr, "child failed: %s\n", error.what());
        return 2;
    }
    TestConcurrency test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_concurrency.moc"

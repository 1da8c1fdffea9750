// Files that are not what they seem, and a folder that goes away while the
// file is open: each must end in a DbError whose message names the file and
// says what is wrong, never in a crash, and the same open database must work
// again once its folder is back.
#include "RecordFactory.h"
#include "support_faultrun.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing;

namespace {

void fill(store::Database& db, int records) {
    store::writeTransaction(db, [&] {
        for (int i = 0; i < records; ++i)
            store::insertRecord(db, record("Pat", at(2026, 3, 1, 8, 0).addSecs(60 * i),
                                           at(2026, 3, 1, 8, 1).addSecs(60 * i)));
    });
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A database the way another program would leave it: plain SQLite, no key.
void makePlainSqlite(const QString& path) {
    sqlite3* raw = nullptr;
    sqlite3_open(path.toUtf8().constData(), &raw);
    sqlite3_exec(raw,
                 "CREATE TABLE tblTimeSheet (Employee TEXT); INSERT INTO tblTimeSheet "
                 "VALUES ('Pat');",
                 nullptr, nullptr, nullptr);
    sqlite3_close(raw);
}

void makeWithOtherKey(const QString& path) {
    store::Database db(path, "another password", store::Database::Mode::Create);
    store::createSchema(db);
    fill(db, 5);
}

void makeTruncated(const QString& path, const QString& name) {
    {
        store::Database db = store::connectDataBase(path, name);
        fill(db, 3000);
    }
    const QByteArray whole = readBytes(path);
    writeBytes(path, whole.left(whole.size() / 2));
}

} // namespace

class TestBadFiles : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void badFileIsRefusedNamingFileAndFault_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("truncated to half") << "truncated"
                                           << "damaged";
        QTest::newRow("random bytes") << "random"
                                      << "not an Hourloom database";
        QTest::newRow("plain SQLite file") << "plain"
                                           << "not an Hourloom database";
        QTest::newRow("another key") << "otherkey"
                                     << "another password";
    }

    void badFileIsRefusedNamingFileAndFault() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString name = kind + ".HL1";
        const QString file = dir.filePath(name);
        // Given a file of that kind where the program expects its database
        if (kind == "truncated")
            makeTruncated(file, name);
        else if (kind == "random") {
            QByteArray noise(64 * 1024, Qt::Uninitialized);
            QRandomGenerator generator(42);
            generator.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
            writeBytes(file, noise);
        } else if (kind == "plain")
            makePlainSqlite(file);
        else
            makeWithOtherKey(file);
        const QByteArray before = readBytes(file);
        // When the program opens it and reads the records
        QString message;
        try {
            store::Database db = store::connectDataBase(file, name);
            store::dayRecords(db, "Pat", QDate(2026, 3, 1));
            QFAIL("a bad file was read as a good one");
        } catch (const store::DbError& error) {
            message = error.message();
        }
        // Then the message names the file and what is wrong with it
        QVERIFY2(message.contains(file), qPrintable(message));
        QVERIFY2(message.contains(reason), qPrintable(message));
        // And the file is left exactly as it was
        QCOMPARE(readBytes(file), before);
    }

    void readOnlyFileReadsButRefusesWritesNamingTheFile() {
        // Given a database file that its user may read but not write
        QTemporaryDir shared;
        QVERIFY(QFile::setPermissions(shared.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ReadOther |
                                                         QFile::ExeOther));
        const QString file = shared.filePath("ReadOnly.HL1");
        {
            store::Database db = store::connectDataBase(file, "ReadOnly.HL1");
            fill(db, 4);
        }
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadOther));
        // When the program opens it as an ordinary user (the superuser ignores
        // permissions, so a forked copy gives up that right first), reads, and writes
        const pid_t child = ::fork();
        if (child == 0) {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(10);
            try {
                store::Database db = store::connectDataBase(file, "ReadOnly.HL1");
                if (store::dayRecords(db, "Pat", QDate(2026, 3, 1)).size() != 4)
                    ::_exit(11);
                store::appendRecord(db, record("Pat", at(2026, 3, 2, 8, 0), at(2026, 3, 2, 9, 0)));
                ::_exit(12); // the write was reported as done
            } catch (const store::DbError& error) {
                const bool clear =
                    error.message().contains(file) && error.message().contains("cannot be written");
                std::fprintf(stderr, "%s\n", error.what());
                ::_exit(clear ? 0 : 13);
            }
        }
        // Then it reads the records, and the write fails with a message
        // naming the file and saying that it cannot be written
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        store::Database db = store::connectDataBase(file, "ReadOnly.HL1");
        QCOMPARE(rowCount(db), 4);
    }

    void vanishedFolderFailsClearlyAndRecoversWhenBack() {
        // Given a database open in a folder on a share
        const QString share = dir.filePath("share");
        const QString gone = dir.filePath("share-dropped");
        QVERIFY(QDir().mkpath(share));
        const QString file = share + "/Shared.HL1";
        store::Database db = store::connectDataBase(file, "Shared.HL1");
        fill(db, 3);
        // When the share drops while the program holds the file open
        QVERIFY(QDir().rename(share, gone));
        // Then a write fails with a message naming the file, and nothing is written
        try {
            store::appendRecord(db, record("Pat", at(2026, 3, 2, 8, 0), at(2026, 3, 2, 9, 0)));
            QFAIL("a write to a vanished folder reported success");
        } catch (const store::DbError& error) {
            QVERIFY2(error.message().contains(file), qPrintable(error.message()));
        }
        // And when the share comes back, the same open database works again
        QVERIFY(QDir().rename(gone, share));
        store::appendRecord(db, record("Pat", at(2026, 3, 2, 10, 0), at(2026, 3, 2, 11, 0)));
        QCOMPARE(rowCount(db), 4);
        store::Database fresh = store::connectDataBase(file, "Shared.HL1");
        QCOMPARE(faultrun::integrity(fresh), QStringLiteral("ok"));
        QCOMPARE(rowCount(fresh), 4);
    }
};

QTEST_GUILESS_MAIN(TestBadFiles)
#include "test_badfiles_open.moc"

#include "RecordFactory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>
#include <unistd.h>

using namespace testing;

namespace {

QStringList tableNames(store::Database& db) {
    store::Statement query(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
    QStringList names;
    while (query.step())
        names << query.text(0);
    return names;
}

QStringList fieldNames(store::Database& db, const char* table) {
    store::Statement query(db, (QByteArray("PRAGMA table_info(") + table + ")").constData());
    QStringList names;
    while (query.step())
        names << query.text(1);
    return names;
}

QString schemaText(store::Database& db) {
    store::Statement query(db, "SELECT group_concat(sql, ';') FROM sqlite_master");
    query.step();
    return query.text(0);
}

int openFileCount() {
    const QDir fds(QStringLiteral("/proc/self/fd"));
    return static_cast<int>(
        fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestSchema : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    void freshFileHasTheThreeTablesWithTheirFieldsInOrder() {
        // Given an empty folder, when the database is connected there
        store::Database db = store::connectDataBase(path("Fresh.HL1"), "Fresh.HL1");
        // Then exactly the three tables exist, with their fields in order, and no rows
        QCOMPARE(tableNames(db), QStringList({"tblClient", "tblTimeSheet", "tblWork"}));
        QCOMPARE(fieldNames(db, "tblClient"), QStringList({"ClientNumber", "ClientName"}));
        QCOMPARE(fieldNames(db, "tblTimeSheet"),
                 QStringList({"Date", "BeginTime", "EndTime", "ClientNumber", "ClientName",
                              "WorkCode", "WorkDescription", "Employee"}));
        QCOMPARE(fieldNames(db, "tblWork"), QStringList({"WorkCode", "WorkDescription"}));
        QCOMPARE(rowCount(db), 0);
    }

    void secondConnectOpensWithoutCreating() {
        const QString file = path("Again.HL1");
        QString schemaBefore;
        {
            store::Database db = store::connectDataBase(file, "Again.HL1");
            store::appendRecord(db, record("ann", at(2026, 3, 2, 9, 0), at(2026, 3, 2, 10, 0)));
            schemaBefore = schemaText(db);
        }
        store::Database again = store::connectDataBase(file, "Again.HL1");
        QCOMPARE(rowCount(again), 1);
        QCOMPARE(schemaText(again), schemaBefore);
    }

    void fileIsEncryptedAndRefusesAnotherKey() {
        const QString file = path("Secret.HL1");
        {
            store::Database db = store::connectDataBase(file, "Secret.HL1");
            store::appendRecord(db, record("Confidential Employee", at(2026, 3, 2, 9, 0),
                                           at(2026, 3, 2, 10, 0), "Plaintext Client"));
        }
        QFile raw(file);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        QVERIFY(!bytes.startsWith(QByteArray("SQLite format 3\0", 16)));
        QVERIFY(!bytes.contains("Plaintext Client"));
        QVERIFY(!bytes.contains("tblTimeSheet"));

        try {
            store::Database wrong(file, "not-the-password");
            QFAIL("a wrong key was accepted");
        } catch (const store::DbError& error) {
            QCOMPARE(error.primaryCode(), SQLITE_NOTADB);
            QVERIFY2(error.message().contains(file), qPrintable(error.message()));
        }
    }

    void foreignFilesAreRefusedNamingTheFile_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text file") << QByteArray("just some notes\n").repeated(300);
        QTest::newRow("random bytes") << QByteArray(8192, '\x5a');
        QTest::newRow("empty file") << QByteArray();
    }
    void foreignFilesAreRefusedNamingTheFile() {
        QFETCH(QByteArray, content);
        const QString file = path("Foreign.HL1");
        writeBytes(file, content);
        try {
            store::connectDataBase(file, "Foreign.HL1");
            QFAIL("a foreign file was opened as a database");
        } catch (const store::DbError& error) {
            QVERIFY2(error.message().contains(file), qPrintable(error.message()));
        }
        // The file the user chose is left as it was.
        QFile check(file);
        QVERIFY(check.open(QIODevice::ReadOnly));
        QCOMPARE(check.readAll(), content);
        QFile::remove(file);
    }

    void refusedOpensLeaveNoFileHandleBehind() {
        const QString file = path("Leak.HL1");
        writeBytes(file, QByteArray(4096, '\x11'));
        const int before = openFileCount();
        for (int i = 0; i < 20; ++i) {
            try {
                store::Database refused(file, store::databaseKey());
            } catch (const store::DbError&) {
            }
        }
        QCOMPARE(openFileCount(), before);
    }

    void databaseFoundComparesTheListedNameExactly_data() {
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<QString>("pathName");
        QTest::addColumn<QString>("settingName");
        QTest::addColumn<bool>("found");
        QTest::newRow("same spelling") << "Hourloom.HL1"
                                       << "Hourloom.HL1"
                                       << "Hourloom.HL1" << true;
        QTest::newRow("setting in other case") << "hourloom.HL1"
                                               << "hourloom.HL1"
                                               << "Hourloom.HL1" << false;
        QTest::newRow("path in other case") << "hourloom.HL1"
                                            << "Hourloom.HL1"
                                            << "Hourloom.HL1" << false;
        QTest::newRow("wildcard characters in the name") << "Time [1] *.HL1"
                                                         << "Time [1] *.HL1"
                                                         << "Time [1] *.HL1" << true;
        QTest::newRow("no file") << ""
                                 << "Hourloom.HL1"
                                 << "Hourloom.HL1" << false;
    }
    void databaseFoundComparesTheListedNameExactly() {
        QFETCH(QString, onDisk);
        QFETCH(QString, pathName);
        QFETCH(QString, settingName);
        QFETCH(bool, found);
        QTemporaryDir folder;
        if (!onDisk.isEmpty())
            writeBytes(folder.filePath(onDisk), "x");
        QCOMPARE(store::databaseFound(folder.filePath(pathName), settingName), found);
    }

    void unreachableFolderCountsAsNotFoundAndCannotBeCreated() {
        const QString file = "/no-such-mount/share/Hourloom.HL1";
        QVERIFY(!store::databaseFound(file, "Hourloom.HL1"));
        QVERIFY_THROWS_EXCEPTION(store::DbError, store::connectDataBase(file, "Hourloom.HL1"));
    }

    void nameInOtherCaseDoesNotOverwriteTheExistingFile() {
        // Given a real database whose name the settings spell in another case
        const QString file = path("Cased.HL1");
        {
            store::Database db = store::connectDataBase(file, "Cased.HL1");
            store::appendRecord(db, record("ann", at(2026, 3, 2, 9, 0), at(2026, 3, 2, 10, 0)));
        }
        // When it is connected under that name, creating over it fails
        QVERIFY_THROWS_EXCEPTION(store::DbError, store::connectDataBase(file, "cased.HL1"));
        // And the file and its record are untouched
        store::Database db = store::connectDataBase(file, "Cased.HL1");
        QCOMPARE(rowCount(db), 1);
    }

    void folderWithoutWriteAccessCreatesNothing() {
        if (geteuid() == 0)
            QSKIP("file permissions do not bind the superuser");
        QTemporaryDir locked;
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner);
        const QString file = locked.filePath("Hourloom.HL1");
        QVERIFY_THROWS_EXCEPTION(store::DbError, store::connectDataBase(file, "Hourloom.HL1"));
        QVERIFY(!QFile::exists(file));
        QFile::setPermissions(locked.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void schemaRefusesEmptyAndOverlongTextAndOutOfRangeNumbers_data() {
        QTest::addColumn<QByteArray>("sql");
        QTest::newRow("empty client name") << QByteArray("INSERT INTO tblClient VALUES (1, '')");
        QTest::newRow("256-character work description")
            << QByteArray("INSERT INTO tblWork VALUES (1, '") + QByteArray(256, 'w') + "')";
        QTest::newRow("client number beyond 32 bits")
            << QByteArray("INSERT INTO tblClient VALUES (2147483648, 'Big')");
        QTest::newRow("work code that is not a number")
            << QByteArray("INSERT INTO tblWork VALUES ('12a', 'Odd')");
        QTest::newRow("end time that is not a date")
            << QByteArray("INSERT INTO tblTimeSheet VALUES ('2026-03-02 09:00:00', "
                          "'2026-03-02 09:00:00', 'soon', 1, 'A', 1, 'W', 'ann')");
    }
    void schemaRefusesEmptyAndOverlongTextAndOutOfRangeNumbers() {
        QFETCH(QByteArray, sql);
        store::Database db = store::connectDataBase(path("Checks.HL1"), "Checks.HL1");
        QVERIFY_THROWS_EXCEPTION(store::DbError, db.exec(sql.constData()));
        QCOMPARE(rowCount(db, "SELECT (SELECT count(*) FROM tblClient) + (SELECT count(*) FROM "
                              "tblWork) + (SELECT count(*) FROM tblTimeSheet)"),
                 0);
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "test_schema.moc"

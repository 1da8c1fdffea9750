#include "CodeTable.h"
#include "DbError.h"
#include "TestEnvironment.h"

#include <QTest>

Q_DECLARE_METATYPE(CodeTable)

class TestCodeTable : public QObject {
    Q_OBJECT
private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        env->openNewDatabase();
    }
    void cleanup() { env.reset(); }

    void addRules_data() { bothTables(); }
    void addRules() {
        QFETCH(CodeTable, table);
        auto& db = *env->state.gDataBase;
        QVERIFY(!highestCode(db, table).has_value());

        QCOMPARE(addCodeEntry(db, table, {7, "Acme"}), AddOutcome::Added);
        QCOMPARE(addCodeEntry(db, table, {1, "Globex"}), AddOutcome::Added);
        QCOMPARE(addCodeEntry(db, table, {8, "Acme"}), AddOutcome::NameTaken);
        QCOMPARE(addCodeEntry(db, table, {9, "ACME"}), AddOutcome::NameTaken);
        QCOMPARE(addCodeEntry(db, table, {7, "Initech"}), AddOutcome::NumberTaken);

        const std::vector<CodeEntry> expected{{1, "Globex"}, {7, "Acme"}};
        QCOMPARE(codeEntries(db, table), expected);
        QCOMPARE(highestCode(db, table), std::optional<qint32>(7));
    }

    void quotesAreStoredFoundAndDeletedExactly_data() { bothTables(); }
    void quotesAreStoredFoundAndDeletedExactly() {
        QFETCH(CodeTable, table);
        auto& db = *env->state.gDataBase;
        const QString name = QStringLiteral("O'Brien \"Bros\" '; DROP TABLE tblWork; --");
        QCOMPARE(addCodeEntry(db, table, {3, name}), AddOutcome::Added);
        QCOMPARE(addCodeEntry(db, table, {4, name}), AddOutcome::NameTaken);
        QCOMPARE(codeEntries(db, table), (std::vector<CodeEntry>{{3, name}}));

        // Only number and name together identify the entry.
        QCOMPARE(deleteCodeEntry(db, table, {4, name}), 0);
        QCOMPARE(deleteCodeEntry(db, table, {3, "O'Brien"}), 0);
        QCOMPARE(deleteCodeEntry(db, table, {3, name}), 1);
        QVERIFY(codeEntries(db, table).empty());
    }

    void overlongNameIsRefused_data() { bothTables(); }
    void overlongNameIsRefused() {
        QFETCH(CodeTable, table);
        auto& db = *env->state.gDataBase;
        QCOMPARE(addCodeEntry(db, table, {1, QString(255, 'x')}), AddOutcome::Added);
        QVERIFY_THROWS_EXCEPTION(store::DbError, addCodeEntry(db, table, {2, QString(256, 'y')}));
        QCOMPARE(codeEntries(db, table).size(), size_t(1));
    }

    void tablesAreSeparate() {
        auto& db = *env->state.gDataBase;
        addCodeEntry(db, CodeTable::Client, {5, "Acme"});
        QCOMPARE(addCodeEntry(db, CodeTable::Work, {5, "Acme"}), AddOutcome::Added);
        QCOMPARE(deleteCodeEntry(db, CodeTable::Work, {5, "Acme"}), 1);
        QCOMPARE(codeEntries(db, CodeTable::Client).size(), size_t(1));
    }

private:
    void bothTables() {
        QTest::addColumn<CodeTable>("table");
        QTest::newRow("clients") << CodeTable::Client;
        QTest::newRow("work codes") << CodeTable::Work;
    }

    std::unique_ptr<TestEnvironment> env;
};

QTEST_GUILESS_MAIN(TestCodeTable)
#include "test_codetable.moc"

#include "ReportFixture.h"
#include "ReportQuery.h"
#include "TestEnvironment.h"

#include <QTest>

class ReportQueryTest : public QObject {
    Q_OBJECT

private slots:
    void defaultRange_isThePreviousSundayToSaturdayWeek_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::newRow("Wednesday") << QDate(2025, 3, 12) << QDate(2025, 3, 2) << QDate(2025, 3, 8);
        QTest::newRow("Sunday") << QDate(2025, 3, 9) << QDate(2025, 3, 2) << QDate(2025, 3, 8);
        QTest::newRow("Saturday") << QDate(2025, 3, 15) << QDate(2025, 3, 2) << QDate(2025, 3, 8);
        QTest::newRow("across a year")
            << QDate(2025, 1, 2) << QDate(2024, 12, 22) << QDate(2024, 12, 28);
    }
    void defaultRange_isThePreviousSundayToSaturdayWeek() {
        QFETCH(QDate, today);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        const auto range = defaultReportRange(today);
        QCOMPARE(range.first, from);
        QCOMPARE(range.second, to);
    }

    void range_countsByBeginTimeFromMidnightToTheMidnightAfter() {
        // Given records around a one-day range (8 March)
        TestEnvironment env;
        store::Database& db = env.openNewDatabase();
        addSpan(db, at(2025, 3, 7, 23, 59), at(2025, 3, 8, 0, 30), 1, "Acme", 10, "Design");
        addSpan(db, at(2025, 3, 8, 0, 0), at(2025, 3, 8, 1, 0), 1, "Acme", 10, "Design");
        addSpan(db, at(2025, 3, 8, 23, 30), at(2025, 3, 9, 2, 0), 1, "Acme", 10, "Design");
        addSpan(db, at(2025, 3, 9, 0, 0), at(2025, 3, 9, 0, 15), 1, "Acme", 10, "Design");
        addSpan(db, at(2025, 3, 9, 0, 1), at(2025, 3, 9, 5, 0), 1, "Acme", 10, "Design");
        addSpan(db, at(2025, 3, 8, 9, 0), at(2025, 3, 8, 17, 0), 1, "Acme", 10, "Design", "Bob");

        // When From equals To
        const auto rows =
            reportRows(db, {QDate(2025, 3, 8), QDate(2025, 3, 8), false, QStringLiteral("Ann")});

        // Then the day's records, the one starting at 00:00 the next day, and
        // the whole of the one running past midnight are summed; not the one
        // begun a minute before, nor the one begun a minute after, nor Bob's
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(qRound(rows[0].totalTime * 1440), 60 + 150 + 15);
    }

    void fromAfterTo_findsNothing() {
        TestEnvironment env;
        store::Database& db = env.openNewDatabase();
        addSpan(db, at(2025, 3, 5, 9), at(2025, 3, 5, 10), 1, "Acme", 10, "Design");
        QVERIFY(reportRows(db, {QDate(2025, 3, 6), QDate(2025, 3, 4), false, "Ann"}).empty());
        QVERIFY(reportRows(db, {QDate(2025, 3, 6), QDate(2025, 3, 4), true, "Ann"}).empty());
    }

    void perItem_sumsByClientAndWork_orderedByNamesWithoutRegardToCase() {
        // Given spans of two clients and two kinds of work over several days
        TestEnvironment env;
        store::Database& db = env.openNewDatabase();
        addSpan(db, at(2025, 3, 3, 9), at(2025, 3, 3, 10, 30), 2, "beta", 20, "Support");
        addSpan(db, at(2025, 3, 4, 9), at(2025, 3, 4, 9, 45), 1, "Acme", 20, "support");
        addSpan(db, at(2025, 3, 5, 9), at(2025, 3, 5, 11), 1, "ACME", 10, "Design");
        addSpan(db, at(2025, 3, 6, 9), at(2025, 3, 6, 9, 15), 2, "Beta", 20, "Support");
        addSpan(db, at(2025, 3, 6, 13), at(2025, 3, 6, 14), 1, "Acme", 20, "Support", "ann");

        const auto rows = reportRows(db, {QDate(2025, 3, 2), QDate(2025, 3, 8), false, "Ann"});

        // Then one sum per client and work code, names matched and ordered
        // without regard to case, whichever case the employee was typed in
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[0].clientName.toLower(), QStringLiteral("acme"));
        QCOMPARE(rows[0].workDescription, QStringLiteral("Design"));
        QCOMPARE(qRound(rows[0].totalTime * 1440), 120);
        QCOMPARE(rows[1].clientNumber, 1);
        QCOMPARE(rows[1].workCode, 20);
        QCOMPARE(qRound(rows[1].totalTime * 1440), 45 + 60);
        QCOMPARE(rows[2].clientNumber, 2);
        QCOMPARE(qRound(rows[2].totalTime * 1440), 90 + 15);
        QVERIFY(!rows[0].day.isValid());
    }

    void daily_sumsEachRecordUnderTheDayItBegan() {
        TestEnvironment env;
        store::Database& db = env.openNewDatabase();
        addSpan(db, at(2025, 3, 3, 23), at(2025, 3, 4, 1), 1, "Acme", 10, "Design");
        addSpan(db, at(2025, 3, 4, 8), at(2025, 3, 4, 9), 1, "Acme", 10, "Design");
        addSpan(db, at(2025, 3, 4, 9), at(2025, 3, 4, 9, 30), 1, "Acme", 10, "Design");
        addSpan(db, at(2025, 3, 3, 7), at(2025, 3, 3, 8), 2, "Zeta", 10, "Design");

        const auto rows = reportRows(db, {QDate(2025, 3, 2), QDate(2025, 3, 8), true, "Ann"});

        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[0].day, QDate(2025, 3, 3));
        QCOMPARE(rows[0].clientName, QStringLiteral("Acme"));
        QCOMPARE(qRound(rows[0].totalTime * 1440), 120);
        QCOMPARE(rows[1].day, QDate(2025, 3, 3));
        QCOMPARE(rows[1].clientName, QStringLiteral("Zeta"));
        QCOMPARE(rows[2].day, QDate(2025, 3, 4));
        QCOMPARE(qRound(rows[2].totalTime * 1440), 90);
    }

    void totals_areExactToTheSecond() {
        // Many short spans add up without drift: 90 spans of 1 minute 30
        // seconds make exactly 135 minutes, the kind of total that would
        // round to its neighbour if the sum were a little off.
        TestEnvironment env;
        store::Database& db = env.openNewDatabase();
        for (int i = 0; i < 90; ++i) {
            const QDateTime begin = at(2025, 3, 4, 8).addSecs(i * 120);
            addSpan(db, begin, begin.addSecs(90), 1, "Acme", 10, "Design");
        }
        const auto rows = reportRows(db, {QDate(2025, 3, 4), QDate(2025, 3, 4), false, "Ann"});
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].totalTime * 1440, 135.0);
    }
};

QTEST_GUILESS_MAIN(ReportQueryTest)
#include "test_report_query.moc"

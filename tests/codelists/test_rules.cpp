#include "CodeListRules.h"

#include <QTest>

class TestCodeListRules : public QObject {
    Q_OBJECT
private slots:
    void codeNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "42" << true << 42;
        QTest::newRow("leading zeros") << "007" << true << 7;
        QTest::newRow("largest 32-bit") << "2147483647" << true << 2147483647;
        QTest::newRow("one past 32-bit") << "2147483648" << false << 0;
        QTest::newRow("letter") << "12a" << false << 0;
        QTest::newRow("minus alone") << "-" << false << 0;
        QTest::newRow("leading minus") << "-5" << false << 0;
        QTest::newRow("fraction") << "1.5" << false << 0;
        QTest::newRow("exponent") << "1e3" << false << 0;
        QTest::newRow("thousands separator") << "1,000" << false << 0;
        QTest::newRow("spaces") << " 12" << false << 0;
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0661\u0662") << false << 0;
    }
    void codeNumber() {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(int, value);
        const auto parsed = parseCodeNumber(text);
        QCOMPARE(parsed.has_value(), isNumber);
        if (isNumber)
            QCOMPARE(*parsed, value);
        QCOMPARE(numberBoxAcceptable(text), isNumber);
        QVERIFY(numberBoxAcceptable(QString())); // an empty box passes the check
    }

    void proposal() {
        QCOMPARE(proposedNumber(std::nullopt), QStringLiteral("1"));
        QCOMPARE(proposedNumber(7), QStringLiteral("8"));
        // No number above the largest: propose nothing rather than a number
        // the check would refuse or the table could not hold.
        QCOMPARE(proposedNumber(2147483647), QString());
    }

    void columnWidths() {
        // (4695 - 400) / 2 = 2147.5: 2047.5 -> 2048 and 1347.5 -> 1348 (even).
        QCOMPARE(gridColumnWidths(4695), (std::array<int, 3>{400, 2048, 1348}));
        // (4697 - 400) / 2 = 2148.5: 2048.5 -> 2048 and 1348.5 -> 1348 (even).
        QCOMPARE(gridColumnWidths(4697), (std::array<int, 3>{400, 2048, 1348}));
    }

    void genericOrder() {
        QVERIFY(genericLess("9", "10")); // numbers by value
        QVERIFY(!genericLess("10", "9"));
        QVERIFY(genericLess("10", "Acme")); // numbers before texts
        QVERIFY(!genericLess("Acme", "10"));
        QVERIFY(genericLess("acme", "Beta")); // texts without regard to case
        QVERIFY(!genericLess("ACME", "acme"));
    }
};

QTEST_GUILESS_MAIN(TestCodeListRules)
#include "test_rules.moc"

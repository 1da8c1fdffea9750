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
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("leading zeros") << "007" << true << 7;
        QTest::newRow("largest 32-bit") << "2147483647" << true << 2147483647;
        QTest::newRow("one past 32-bit") << "2147483648" << false << 0;
        QTest::newRow("far past 32-bit") << "99999999999999999999999" << false << 0;
        QTest::newRow("letter") << "12a" << false << 0;
        QTest::newRow("minus alone") << "-" << false << 0;
        QTest::newRow("leading minus") << "-5" << false << 0;
        QTest::newRow("plus sign") << "+5" << false << 0;
        QTest::newRow("fraction") << "1.5" << false << 0;
        QTest::newRow("exponent") << "1e3" << false << 0;
        QTest::newRow("thousands separator") << "1,000" << false << 0;
        QTest::newRow("spaces") << " 12" << false << 0;
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0661\u0662") << false << 0;
        QTest::newRow("pasted text") << "Acme Ltd" << false << 0;
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
    }

    void emptyNumberBoxPassesTheCheckButIsNoNumber() {
        QVERIFY(numberBoxAcceptable(QString()));
        QVERIFY(!parseCodeNumber(QString()).has_value());
    }

    void proposal() {
        QCOMPARE(proposedNumber(std::nullopt), QStringLiteral("1"));
        QCOMPARE(proposedNumber(7), QStringLiteral("8"));
        QCOMPARE(proposedNumber(-3), QStringLiteral("-2"));
        // No number above the largest: propose nothing rather than a number
        // the check would refuse or the table could not hold.
        QCOMPARE(proposedNumber(2147483647), QString());
    }

    void columnWidths_data() {
        QTest::addColumn<int>("gridWidth");
        QTest::addColumn<int>("name");
        QTest::addColumn<int>("number");
        // (4695 - 400) / 2 = 2147.5: 2047.5 -> 2048 and 1347.5 -> 1348 (even).
        QTest::newRow("design width") << 4695 << 2048 << 1348;
        // (4697 - 400) / 2 = 2148.5: 2048.5 -> 2048 and 1348.5 -> 1348 (even).
        QTest::newRow("halves round down to even") << 4697 << 2048 << 1348;
        QTest::newRow("no half") << 4600 << 2000 << 1300;
    }
    void columnWidths() {
        QFETCH(int, gridWidth);
        QFETCH(int, name);
        QFETCH(int, number);
        const auto widths = gridColumnWidths(gridWidth);
        QCOMPARE(widths[0], 400);
        QCOMPARE(widths[1], name);
        QCOMPARE(widths[2], number);
    }

    void genericOrder_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("less");
        QTest::newRow("numbers by value") << "9"
                                          << "10" << true;
        QTest::newRow("numbers by value, reversed") << "10"
                                                    << "9" << false;
        QTest::newRow("number before text") << "10"
                                            << "Acme" << true;
        QTest::newRow("text after number") << "Acme"
                                           << "10" << false;
        QTest::newRow("text without regard to case") << "acme"
                                                     << "Beta" << true;
        QTest::newRow("same text in other case is not less") << "ACME"
                                                             << "acme" << false;
    }
    void genericOrder() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, less);
        QCOMPARE(genericLess(a, b), less);
    }

    void sortMovesWholeRowsAndKeepsTies() {
        std::vector<QStringList> rows{
            {"1", "beta", "10"}, {"2", "Alpha", "9"}, {"3", "BETA", "2"}, {"4", "alpha", "30"}};
        sortRowsGeneric(rows, 1);
        const std::vector<QStringList> byName{
            {"2", "Alpha", "9"}, {"4", "alpha", "30"}, {"1", "beta", "10"}, {"3", "BETA", "2"}};
        QCOMPARE(rows, byName);
        sortRowsGeneric(rows, 2);
        QCOMPARE(rows.front(), (QStringList{"3", "BETA", "2"}));
        QCOMPARE(rows.back(), (QStringList{"4", "alpha", "30"}));
    }
};

QTEST_GUILESS_MAIN(TestCodeListRules)
#include "test_rules.moc"

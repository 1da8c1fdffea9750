#include "ListPair.h"
#include "TestEnvironment.h"

#include <QListWidget>
#include <QTest>

class TestListPair : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<QWidget> window;
    QListWidget* first = nullptr;
    QListWidget* second = nullptr;

    ListPair* pairOver(QListWidget* a, QListWidget* b) {
        auto* pair = new ListPair(a, b, {keys::lstClient2Vis, keys::lstClient1Wit, 2055, 3135},
                                  window.get());
        pair->fill({{"Acme", "10"}, {"Birch", "20"}, {"Cedar", "20"}, {"Dune", "30"}}, "20");
        return pair;
    }

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        window = std::make_unique<QWidget>();
        first = new QListWidget(window.get());
        second = new QListWidget(window.get());
        window->show();
    }
    void cleanup() {
        window.reset();
        env.reset();
    }

    void fillSelectsTheLastMatchInBothLists() {
        ListPair* pair = pairOver(first, second);
        QCOMPARE(first->count(), 4);
        QCOMPARE(ListPair::selectedRow(first), 2);
        QCOMPARE(ListPair::selectedRow(second), 2);
        pair->fill({{"Acme", "10"}}, QString());
        QCOMPARE(ListPair::selectedRow(first), -1);
        QCOMPARE(ListPair::selectedRow(second), -1);
    }

    // Whatever moves the second list's selection moves the first list with it.
    void everySelectionChangeReachesThePartner_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("row");
        QTest::newRow("Down key") << "key" << 3;
        QTest::newRow("mouse click") << "mouse" << 1;
        QTest::newRow("selection cleared") << "clear" << -1;
    }
    void everySelectionChangeReachesThePartner() {
        QFETCH(QString, how);
        QFETCH(int, row);
        ListPair* pair = pairOver(first, second);
        if (how == "key")
            QTest::keyClick(second, Qt::Key_Down);
        else if (how == "mouse")
            QTest::mouseClick(second->viewport(), Qt::LeftButton, {},
                              second->visualItemRect(second->item(1)).center());
        else
            second->clearSelection();
        QCOMPARE(ListPair::selectedRow(second), row);
        QCOMPARE(ListPair::selectedRow(first), row);
        const QStringList names{"Acme", "Birch", "Cedar", "Dune"}, numbers{"10", "20", "20", "30"};
        const QString expected = row < 0 ? QString() : names[row] + numbers[row];
        QCOMPARE(pair->selectedEntry().first + pair->selectedEntry().second, expected);
    }
};

QTEST_MAIN(TestListPair)
#include "test_listpair.moc"

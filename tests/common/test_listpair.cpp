#include "CodeRows.h"
#include "ListPair.h"
#include "SavedLayout.h"
#include "TestEnvironment.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QTest>

class TestListPair : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<QWidget> window;
    QListWidget* first = nullptr;
    QListWidget* second = nullptr;

    ListPair* pairOver(QListWidget* a, QListWidget* b, bool pairOnFocus) {
        auto* pair = new ListPair(a, b, {keys::lstClient2Vis, keys::lstClient1Wit, 2055, 3135},
                                  pairOnFocus, window.get());
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
        ListPair* pair = pairOver(first, second, true);
        QCOMPARE(first->count(), 4);
        QCOMPARE(ListPair::selectedRow(first), 2);
        QCOMPARE(ListPair::selectedRow(second), 2);
        pair->fill({{"Acme", "10"}}, QString());
        QCOMPARE(ListPair::selectedRow(first), -1);
        QCOMPARE(ListPair::selectedRow(second), -1);
    }

    void mouseOverOneListCarriesItsSelectionToTheOther() {
        ListPair* pair = pairOver(first, second, true);
        second->setCurrentRow(3);
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(second->viewport(), &move);
        QCOMPARE(ListPair::selectedRow(first), 3);
        QCOMPARE(first->toolTip() + second->toolTip(), "Dune30");
        first->clearSelection(); // no selection is carried over too
        pair->pairFrom(first);
        QCOMPARE(ListPair::selectedRow(second), -1);
        QCOMPARE(first->toolTip() + second->toolTip(), "");
    }

    void focusPairsOnlyWhenAsked() {
        auto* other1 = new QListWidget(window.get());
        auto* other2 = new QListWidget(window.get());
        pairOver(first, second, true);
        pairOver(other1, other2, false);
        QFocusEvent focus(QEvent::FocusIn);
        for (QListWidget* list : {first, other1}) {
            list->setCurrentRow(0);
            QCoreApplication::sendEvent(list, &focus);
        }
        QCOMPARE(ListPair::selectedRow(second), 0);
        QCOMPARE(ListPair::selectedRow(other2), 2);
    }

    void savedLayoutRefusesWhatItCannotUse() {
        settings().write("frmControl", "lstClient1Wit", "2400");
        settings().write("frmControl", "lstWork1Wit", "wide");
        settings().write("frmControl", "lstClient2Vis", "maybe");
        settings().write("frmControl", "strClient1", "ClientName from tblClient; --");
        settings().write("frmControl", "strClient2", "clientname");
        settings().write("frmControl", "strWork1", "ClientName");
        const SavedLayout layout = readSavedLayout(settings());
        QCOMPARE(layout.client1Width, 2400);
        QCOMPARE(layout.work1Width, 1800);
        QVERIFY(layout.client2Visible);
        QCOMPARE(layout.strClient1, "ClientName");
        QCOMPARE(layout.strClient2, "ClientName");
        QCOMPARE(layout.strWork1, "WorkDescription");
    }

    void codeRowsComeInKeyOrderAsTheChosenFields() {
        store::Database& db = env->openNewDatabase();
        db.exec("INSERT INTO tblClient VALUES (20, 'Birch'); INSERT INTO tblClient VALUES (10, "
                "'Acme'); INSERT INTO tblWork VALUES (7, 'Design')");
        const std::vector<CodeRow> clients =
            clientRows(*env->state.gDataBase, "ClientNumber", "ClientName");
        QCOMPARE(clients.size(), size_t(2));
        QCOMPARE(clients[0].first + clients[0].second, "10Acme");
        const std::vector<CodeRow> work =
            workRows(*env->state.gDataBase, "x); DROP TABLE tblWork; --", "WorkCode");
        QCOMPARE(work.size(), size_t(1));
        QCOMPARE(work[0].first + work[0].second, "Design7");
    }
};

QTEST_MAIN(TestListPair)
#include "test_listpair.moc"

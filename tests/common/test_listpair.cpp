#include "CodeRows.h"
#include "ListPair.h"
#include "SavedLayout.h"
#include "TestEnvironment.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QTest>

namespace {

const SecondListToggle kClientToggle{
    keys::lstClient2Vis, keys::lstClient1Wit, 2055, 3135, 2055, 3135};

std::vector<CodeRow> rows() {
    return {{"Acme", "10"}, {"Birch", "20"}, {"Cedar", "20"}, {"Dune", "30"}, {"Elm", "40"}};
}

} // namespace

class TestListPair : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<QWidget> window;
    QListWidget* first = nullptr;
    QListWidget* second = nullptr;
    ListPair* pair = nullptr;

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        window = std::make_unique<QWidget>();
        first = new QListWidget(window.get());
        second = new QListWidget(window.get());
        pair = new ListPair(first, second, kClientToggle, true, window.get());
        window->show();
    }
    void cleanup() {
        window.reset();
        env.reset();
    }

    void fillSelectsTheLastMatchInBothLists() {
        pair->fill(rows(), QStringLiteral("20"));
        QCOMPARE(first->count(), 5);
        QCOMPARE(ListPair::selectedRow(first), 2);
        QCOMPARE(ListPair::selectedRow(second), 2);
        pair->fill(rows(), QString());
        QCOMPARE(ListPair::selectedRow(first), -1);
        QCOMPARE(ListPair::selectedRow(second), -1);
    }

    void mouseOverOneListCarriesItsSelectionToTheOther() {
        pair->fill(rows(), QString());
        second->setCurrentRow(3);
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(second->viewport(), &move);
        QCOMPARE(ListPair::selectedRow(first), 3);
        QCOMPARE(first->toolTip(), QStringLiteral("Dune"));
        QCOMPARE(second->toolTip(), QStringLiteral("30"));

        // No selection is carried over as well.
        first->clearSelection();
        pair->pairFrom(first);
        QCOMPARE(ListPair::selectedRow(second), -1);
        QCOMPARE(first->toolTip(), QString());
        QCOMPARE(second->toolTip(), QString());
    }

    void focusPairsOnlyWhenAsked() {
        pair->fill(rows(), QString());
        first->setCurrentRow(1);
        QFocusEvent focus(QEvent::FocusIn);
        QCoreApplication::sendEvent(first, &focus);
        QCOMPARE(ListPair::selectedRow(second), 1);

        auto* other1 = new QListWidget(window.get());
        auto* other2 = new QListWidget(window.get());
        ListPair noFocus(other1, other2, kClientToggle, false);
        noFocus.fill(rows(), QString());
        other1->setCurrentRow(1);
        QCoreApplication::sendEvent(other1, &focus);
        QCOMPARE(ListPair::selectedRow(other2), -1);
    }

    void toggleHidesAndShowsTheSecondListAndSavesIt() {
        pair->toggleSecond();
        QVERIFY(!pair->secondVisible());
        QCOMPARE(pair->firstWidth(), 3135);
        QCOMPARE(settings().read("frmControl", "lstClient2Vis", "?"), QStringLiteral("False"));
        QCOMPARE(settings().read("frmControl", "lstClient1Wit", "?"), QStringLiteral("3135"));
        pair->toggleSecond();
        QVERIFY(pair->secondVisible());
        QCOMPARE(pair->firstWidth(), 2055);
        QCOMPARE(settings().read("frmControl", "lstClient2Vis", "?"), QStringLiteral("True"));
        QCOMPARE(settings().read("frmControl", "lstClient1Wit", "?"), QStringLiteral("2055"));
    }

    void savedLayoutDefaultsWithAnEmptyStore() {
        const SavedLayout layout = readSavedLayout(settings());
        applySavedLayout(layout, appState());
        QCOMPARE(appState().gClientLabel, QStringLiteral("Client"));
        QCOMPARE(appState().gEmployee, QStringLiteral(" "));
        QCOMPARE(layout.lblClient2, QStringLiteral("Client Number"));
        QCOMPARE(layout.lblWork1, QStringLiteral("Work"));
        QCOMPARE(layout.lblWork2, QStringLiteral("Code"));
        QCOMPARE(layout.frame2, QStringLiteral("Client Information"));
        QVERIFY(layout.client2Visible && layout.work2Visible);
        QCOMPARE(layout.client1Width, 2055);
        QCOMPARE(layout.work1Width, 1800);
        QCOMPARE(appState().strClient1, QStringLiteral("ClientName"));
        QCOMPARE(appState().strWork2, QStringLiteral("WorkCode"));
        QCOMPARE(appState().strBeginWork, QStringLiteral("8:00:00 AM"));
        QCOMPARE(appState().intMinTimer, qint16(15));
        QCOMPARE(activityLogClient1Width(layout.client1Width), 2175);
        QCOMPARE(activityLogWork1Width(layout.work1Width), 2295);
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
        QCOMPARE(activityLogClient1Width(layout.client1Width), 3135);
        QCOMPARE(layout.work1Width, 1800);
        QVERIFY(layout.client2Visible);
        QCOMPARE(layout.strClient1, QStringLiteral("ClientName"));
        QCOMPARE(layout.strClient2, QStringLiteral("ClientName"));
        QCOMPARE(layout.strWork1, QStringLiteral("WorkDescription"));
    }

    void codeRowsComeInKeyOrderAsTheChosenFields() {
        store::Database& db = env->openNewDatabase();
        db.exec("INSERT INTO tblClient VALUES (20, 'Birch'); INSERT INTO tblClient VALUES (10, "
                "'Acme'); INSERT INTO tblWork VALUES (7, 'Design')");
        const std::vector<CodeRow> clients =
            clientRows(db, QStringLiteral("ClientNumber"), QStringLiteral("ClientName"));
        QCOMPARE(clients.size(), size_t(2));
        QCOMPARE(clients[0].first, QStringLiteral("10"));
        QCOMPARE(clients[0].second, QStringLiteral("Acme"));
        const std::vector<CodeRow> work =
            workRows(db, QStringLiteral("x); DROP TABLE tblWork; --"), QStringLiteral("WorkCode"));
        QCOMPARE(work.size(), size_t(1));
        QCOMPARE(work[0].first, QStringLiteral("Design"));
        QCOMPARE(work[0].second, QStringLiteral("7"));
    }
};

QTEST_MAIN(TestListPair)
#include "test_listpair.moc"

#include "ControlFixture.h"
#include "FormRegistry.h"
#include "Main.h"
#include "ResidentShell.h"
#include "Schema.h"
#include "Shell.h"

#include <QTest>
#include <QToolButton>

// From start-up to a record in the file: the program starts with a fresh
// settings folder and database, the Time Control window comes up, a client
// and a work code are picked and Add Time records the span.
class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void recordsASpanFromStartUp() {
        ControlFixture f;
        const QString file = f.env->state.gDataBaseLoc;
        f.env->state.gDataBase.reset(); // start-up opens it itself
        FormRegistry registry;
        ResidentShell resident;
        services().forms = &registry;
        setShell(&resident);
        f.env->clockNow.set(ControlFixture::today(10, 15, 40));

        Main();
        // Without a notification area the program says so once; nothing else is asked.
        QVERIFY(f.env->prompts.shown.size() <= 1);
        QVERIFY(appState().gDataBase);
        // The splash hands over to the Time Control window.
        auto* w = static_cast<FrmControl*>(registry.find(Form::Control));
        if (!w)
            w = static_cast<FrmControl*>(registry.show(Form::Control));
        QVERIFY(w);
        w->span()->Timer1_Timer();
        QCOMPARE(ControlFixture::begin(w), ControlFixture::today(9, 15));

        ControlFixture::list(w, "lstClient1")->setCurrentRow(0);
        w->clientPair()->pairFrom(ControlFixture::list(w, "lstClient1"));
        ControlFixture::list(w, "lstWork2")->setCurrentRow(1);
        w->workPair()->pairFrom(ControlFixture::list(w, "lstWork2"));
        const size_t messagesBefore = f.env->prompts.shown.size();
        QTest::mouseClick(ControlFixture::child<QToolButton>(w, "cmdAdd"), Qt::LeftButton);
        QCOMPARE(f.env->prompts.shown.size(), messagesBefore);

        registry.destroyAll();
        appState().gDataBase.reset();
        store::Database reopened = store::connectDataBase(file, QStringLiteral("Hourloom.HL1"));
        store::Statement row(reopened, "SELECT BeginTime, EndTime, ClientNumber, ClientName, "
                                       "WorkCode, WorkDescription, Employee FROM tblTimeSheet");
        QVERIFY(row.step());
        QCOMPARE(row.dateTime(0), ControlFixture::today(9, 15));
        QCOMPARE(row.dateTime(1), ControlFixture::today(10, 15));
        QCOMPARE(row.int64(2), 10);
        QCOMPARE(row.text(3), QStringLiteral("Acme"));
        QCOMPARE(row.int64(4), 8);
        QCOMPARE(row.text(5), QStringLiteral("Build"));
        QCOMPARE(row.text(6), QStringLiteral("Pat"));
        QVERIFY(!row.step());
        setShell(nullptr);
        services().forms = &f.env->windows;
    }
};

QTEST_MAIN(TestEndToEnd)
#include "e2e_main.moc"

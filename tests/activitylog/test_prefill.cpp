#include "ClockFixture.h"
#include "SpanPrefill.h"

#include <QLabel>

using Span = QList<QPair<QDateTime, QDateTime>>;
Q_DECLARE_METATYPE(Span)

// How the entry area is filled: today from the latest recent record with the
// end following the clock, another day from that day's latest record (or the
// begin-of-work time) for the capture frequency, and from a pressed row.
class TestPrefill : public QObject {
    Q_OBJECT

    std::unique_ptr<ClockFixture> f;
    using F = ClockFixture;

private slots:
    void init() { f = std::make_unique<ClockFixture>(); }
    void cleanup() { f.reset(); }

    void todayBeginsAtTheLatestRecentEndAndFollowsTheClock() {
        f->addRecord(F::at(5, 9, 0), F::at(5, 10, 30));
        f->addRecord(F::at(5, 10, 30), F::at(5, 12, 15), 20, 8);
        FrmClock* w = f->open();
        QCOMPARE(F::begin(w), F::at(5, 12, 15));
        QCOMPARE(F::end(w), F::at(5, 14, 0));
        QCOMPARE(F::minutes(w), QStringLiteral("105"));
        QCOMPARE(F::selected(w->clientPair()->first()), QStringLiteral("Birch"));
        QCOMPARE(F::selected(w->workPair()->second()), QStringLiteral("8"));
        QVERIFY(w->span()->Timer1->isActive());
        f->env->clockNow.set(F::at(5, 14, 1));
        w->span()->Timer1_Timer();
        QCOMPARE(F::minutes(w), QStringLiteral("106"));
    }

    void aRecordEndingInTheFutureIsNotCounted_data() {
        QTest::addColumn<Span>("records");
        QTest::addColumn<QDateTime>("expectedBegin");
        QTest::newRow("beside an earlier one")
            << Span{{F::at(5, 9, 0), F::at(5, 10, 30)}, {F::at(5, 8, 0), F::at(5, 16, 0)}}
            << F::at(5, 10, 30);
        QTest::newRow("alone") << Span{{F::at(5, 8, 0), F::at(5, 16, 0)}} << F::at(5, 13, 0);
    }
    void aRecordEndingInTheFutureIsNotCounted() {
        QFETCH(Span, records);
        QFETCH(QDateTime, expectedBegin);
        for (const auto& [b, e] : records)
            f->addRecord(b, e);
        QCOMPARE(F::begin(f->open()), expectedBegin);
    }

    void anotherDayLastsTheCaptureFrequency_data() {
        QTest::addColumn<Span>("records");
        QTest::addColumn<QString>("beginWork");
        QTest::addColumn<QDateTime>("expectedBegin");
        QTest::addColumn<QDateTime>("expectedEnd");
        QTest::addColumn<QString>("expectedClient");
        QTest::newRow("after the latest record")
            << Span{{F::at(3, 14, 0), F::at(3, 15, 45)}, {F::at(3, 9, 0), F::at(3, 11, 0)}}
            << QString() << F::at(3, 15, 45) << F::at(3, 16, 0) << "Acme";
        QTest::newRow("past midnight") << Span{{F::at(3, 22, 0), F::at(3, 23, 50)}} << QString()
                                       << F::at(3, 23, 50) << F::at(4, 0, 5) << "Acme";
        QTest::newRow("empty day")
            << Span{} << QString() << F::at(3, 8, 0) << F::at(3, 8, 15) << QString();
        // From the begin-of-work time the end stays on the day: a negative
        // span, reset to none.
        QTest::newRow("work begins late")
            << Span{} << "11:50:00 PM" << F::at(3, 23, 50) << F::at(3, 23, 50) << QString();
    }
    void anotherDayLastsTheCaptureFrequency() {
        QFETCH(Span, records);
        QFETCH(QString, beginWork);
        QFETCH(QDateTime, expectedBegin);
        QFETCH(QDateTime, expectedEnd);
        QFETCH(QString, expectedClient);
        for (const auto& [b, e] : records)
            f->addRecord(b, e);
        f->addRecord(F::at(3, 16, 0), F::at(3, 17, 0), 20, 8, QStringLiteral("Sam"));
        if (!beginWork.isEmpty())
            settings().setText(keys::strBeginWork, beginWork);
        FrmClock* w = f->open();
        F::showDay(w, F::march(3));
        QCOMPARE(F::begin(w), expectedBegin);
        QCOMPARE(F::end(w), expectedEnd);
        QCOMPARE(F::minutes(w), QString::number(expectedBegin.secsTo(expectedEnd) / 60));
        QCOMPARE(appState().gBeginDate, QDateTime(expectedBegin.date(), QTime(0, 0)));
        QCOMPARE(appState().gEndDate, QDateTime(expectedEnd.date(), QTime(0, 0)));
        QCOMPARE(F::selected(w->clientPair()->first()), expectedClient);
        QVERIFY(!w->span()->Timer1->isActive());
        QVERIFY(w->span()->dtBegin->isHidden() && w->span()->dtEnd->isHidden());
    }

    void aBeginOfWorkSettingThatIsNoTimeGivesEightOClock() {
        QCOMPARE(beginOfWorkTime(QStringLiteral("soon")), QTime(8, 0));
        QCOMPARE(beginOfWorkTime(QStringLiteral("9:30:00 AM")), QTime(9, 30));
    }

    void pressingARowPutsTheRecordIntoTheEntry() {
        f->addRecord(F::at(4, 23, 30), F::at(5, 1, 15), 20, 8);
        FrmClock* w = f->open();
        F::pressRow(w, 0);
        QCOMPARE(F::begin(w), F::at(4, 23, 30));
        QCOMPARE(F::end(w), F::at(5, 1, 15));
        QCOMPARE(appState().gBeginDate, F::at(4, 0, 0));
        QCOMPARE(appState().gEndDate, F::at(5, 0, 0));
        QCOMPARE(F::minutes(w), QStringLiteral("105"));
        QCOMPARE(F::selected(w->clientPair()->first()), QStringLiteral("Birch"));
        QCOMPARE(F::selected(w->clientPair()->second()), QStringLiteral("20"));
        QCOMPARE(F::selected(w->workPair()->first()), QStringLiteral("Build"));
        QVERIFY(!w->span()->Timer1->isActive());

        // Typing minutes moves the end from the record's begin.
        w->span()->Label4_Click();
        QTest::keyClicks(w->span()->txtTimeMin, QStringLiteral("30"));
        QCOMPARE(F::end(w), F::at(5, 0, 0));
        QCOMPARE(appState().gEndDate, F::at(5, 0, 0));
    }

    void clientNumberHeadingHidesTheSecondListWithThisWindowsWidths() {
        FrmClock* w = f->open();
        QCOMPARE(w->clientPair()->firstWidth(), 2175);
        QCOMPARE(w->workPair()->firstWidth(), 2295);
        QTest::mouseClick(w->findChild<QLabel*>(QStringLiteral("lblClient2")), Qt::LeftButton);
        QVERIFY(w->clientPair()->second()->isHidden());
        QCOMPARE(w->clientPair()->firstWidth(), 3135);
        QCOMPARE(settings().read("frmControl", "lstClient2Vis", "?"), QStringLiteral("False"));
        QCOMPARE(settings().read("frmControl", "lstClient1Wit", "?"), QStringLiteral("3135"));
        // A double click (click, double click, release) toggles once.
        auto* lblWork1 = w->findChild<QLabel*>(QStringLiteral("lblWork1"));
        QTest::mouseClick(lblWork1, Qt::LeftButton);
        QTest::mouseDClick(lblWork1, Qt::LeftButton);
        QTest::mouseRelease(lblWork1, Qt::LeftButton);
        QCOMPARE(w->workPair()->firstWidth(), 3135);
        QCOMPARE(settings().read("frmControl", "lstWork2Vis", "?"), QStringLiteral("False"));
        QCOMPARE(settings().read("frmControl", "lstWork1Wit", "?"), QStringLiteral("2685"));
        // The next window loads the same layout.
        w->close();
        f->env->windows.destroyAll();
        FrmClock* again = f->open();
        QCOMPARE(again->clientPair()->firstWidth(), 3135);
        QVERIFY(again->workPair()->second()->isHidden());
    }
};

QTEST_MAIN(TestPrefill)
#include "test_prefill.moc"

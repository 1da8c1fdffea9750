#pragma once

#include "ActivityLogForms.h"
#include "FrmClock.h"
#include "Records.h"
#include "TestEnvironment.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <memory>

// A fresh environment whose database holds three clients and two work codes
// (one client name carries an apostrophe and quotes), with today 5 March 2026
// at 2:00 PM, and helpers to open the Activity Log and work its controls.
struct ClockFixture {
    std::unique_ptr<TestEnvironment> env = std::make_unique<TestEnvironment>();

    static QDateTime at(int day, int h, int m, int s = 0) {
        return QDateTime(QDate(2026, 3, day), QTime(h, m, s));
    }
    static QDate march(int day) { return QDate(2026, 3, day); }

    ClockFixture() {
        env->clockNow.set(at(5, 14, 0));
        env->openNewDatabase().exec("INSERT INTO tblClient VALUES (10, 'Acme');"
                                    "INSERT INTO tblClient VALUES (20, 'Birch');"
                                    "INSERT INTO tblClient VALUES (30, 'O''Brien \"Q\"');"
                                    "INSERT INTO tblWork VALUES (7, 'Design');"
                                    "INSERT INTO tblWork VALUES (8, 'Build');");
        env->settingsStore->setText(keys::Emp, QStringLiteral("Pat"));
        env->windows.factories[Form::Clock] = [] { return createFrmClock(); };
    }

    store::Database& db() { return *env->state.gDataBase; }

    static QString clientName(int client) {
        return client == 10   ? "Acme"
               : client == 20 ? "Birch"
               : client == 30 ? "O'Brien \"Q\""
                              : "Gone";
    }

    void addRecord(const QDateTime& begin, const QDateTime& end, int client = 10, int work = 7,
                   const QString& employee = QStringLiteral("Pat")) {
        store::appendRecord(db(), {begin, begin, end, client, clientName(client), work,
                                   work == 7 ? "Design" : "Build", employee});
    }

    std::vector<store::ActivityRecord> stored() {
        store::Statement rows(db(), "SELECT Date, BeginTime, EndTime, ClientNumber, ClientName, "
                                    "WorkCode, WorkDescription, Employee FROM tblTimeSheet "
                                    "ORDER BY BeginTime, Employee");
        std::vector<store::ActivityRecord> all;
        while (rows.step())
            all.push_back({rows.dateTime(0), rows.dateTime(1), rows.dateTime(2),
                           static_cast<qint32>(rows.int64(3)), rows.text(4),
                           static_cast<qint32>(rows.int64(5)), rows.text(6), rows.text(7)});
        return all;
    }

    FrmClock* open() {
        auto* window = static_cast<FrmClock*>(env->windows.show(Form::Clock));
        window->span()->Timer1_Timer(); // the first tick after load
        return window;
    }

    // A click on a day of the calendar.
    static void showDay(FrmClock* w, const QDate& day) { w->MVDate_Click(day); }

    // A real mouse press on grid row `row` (0 = first record).
    static void pressRow(FrmClock* w, int row, Qt::MouseButton button = Qt::LeftButton) {
        QTableWidget* grid = w->grid();
        QTest::mousePress(grid->viewport(), button, {},
                          grid->visualItemRect(grid->item(row, 0)).center());
    }

    static QStringList rowTexts(FrmClock* w, int row) {
        QStringList texts;
        for (int c = 0; c < w->grid()->columnCount(); ++c)
            texts << w->grid()->item(row, c)->text();
        return texts;
    }

    static QDateTime begin(FrmClock* w) { return w->span()->begin(); }
    static QDateTime end(FrmClock* w) { return w->span()->end(); }
    static QString minutes(FrmClock* w) { return w->span()->txtTimeMin->text(); }
    static QString selected(QListWidget* list) { return ListPair::selectedText(list); }
    static void choose(ListPair* pair, int row) {
        pair->first()->setCurrentRow(row);
        pair->pairFrom(pair->first());
    }
};

#pragma once

#include "FrmControl.h"
#include "Records.h"
#include "TestEnvironment.h"
#include "TimeControlForms.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimeEdit>
#include <memory>

// A fresh environment with a database holding two clients and two work
// codes, and helpers to open the Time Control window and read its controls.
struct ControlFixture {
    std::unique_ptr<TestEnvironment> env = std::make_unique<TestEnvironment>();

    static QDateTime today(int h, int m, int s = 0) {
        return QDateTime(QDate(2026, 3, 11), QTime(h, m, s));
    }

    ControlFixture() {
        env->clockNow.set(today(12, 15));
        env->openNewDatabase().exec("INSERT INTO tblClient VALUES (10, 'Acme');"
                                    "INSERT INTO tblClient VALUES (20, 'Birch');"
                                    "INSERT INTO tblWork VALUES (7, 'Design');"
                                    "INSERT INTO tblWork VALUES (8, 'Build');");
        env->settingsStore->setText(keys::Emp, QStringLiteral("Pat"));
        env->windows.factories[Form::Control] = [] { return createFrmControl(); };
    }

    store::Database& db() { return *env->state.gDataBase; }

    void addRecord(const QDateTime& begin, const QDateTime& end, int client = 20, int work = 8,
                   const QString& employee = QStringLiteral("Pat")) {
        store::ActivityRecord r{begin,
                                begin,
                                end,
                                client,
                                client == 10 ? "Acme" : "Birch",
                                work,
                                work == 7 ? "Design" : "Build",
                                employee};
        store::appendRecord(db(), r);
    }

    qint64 recordCount() {
        store::Statement count(db(), "SELECT count(*) FROM tblTimeSheet");
        count.step();
        return count.int64(0);
    }

    FrmControl* open() {
        auto* window = static_cast<FrmControl*>(env->windows.show(Form::Control));
        window->span()->Timer1_Timer(); // the first tick after load
        return window;
    }

    template <class T> static T* child(QWidget* window, const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    static QListWidget* list(QWidget* w, const char* name) { return child<QListWidget>(w, name); }
    static QString panel(QWidget* w, int i) {
        return child<QLabel>(w, QStringLiteral("ssStatusPanel%1").arg(i).toLatin1())->text();
    }
    static QDateTime begin(FrmControl* w) { return w->span()->begin(); }
};

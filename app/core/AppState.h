#pragma once

#include "Store.h"

#include <QDateTime>
#include <QString>
#include <memory>

// The state every window shares, alive for the whole run. Names are the
// ones the windows and settings use throughout.
struct AppState {
    QString gDataBaseLoc;  // full path of the database file
    QString gDataBaseName; // its file name, as the folder listing spells it
    std::unique_ptr<store::Store> gDataBase;
    // Server mode: the libpq URI of the Server setting; empty with a file.
    QString gServer;
    // What the server knows of this login once connected: the name it
    // records it under (empty for the administrator) and whether it owns
    // the tables.
    QString gServerEmployee;
    bool gServerAdministrator = false;

    QString gEmployee;
    QString gClientLabel; // "Client" or "Project"
    qint32 lLabel = 0;    // 1 Client, 2 Project
    qint16 intMinTimer = 0;
    QString strBeginWork;
    QString strClient1;
    QString strClient2;
    QString strWork1;
    QString strWork2;

    qint32 gIdleCount = 0;
    qint32 gMinuteCount = 0;
    bool gStartupDone = false;

    // The open store; throws store::DbError when none is open.
    store::Store& db();

    bool serverMode() const { return !gServer.isEmpty(); }
    // Whose records the windows show: the server's name for this login, else
    // `chosen`, the employee of Time and Settings.
    QString employeeOr(const QString& chosen) const {
        return gServerEmployee.isEmpty() ? chosen : gServerEmployee;
    }
};

#pragma once

#include "DbError.h"
#include "Services.h"

// Runs one step of a window's handler. A database error does not end the
// program: it is shown as `failed`, a line break and the engine's reason, and
// the step reports false so the handler changes nothing more.
template <class Work> bool reportDbErrors(QWidget* owner, const QString& failed, Work&& work) {
    try {
        work();
        return true;
    } catch (const store::DbError& error) {
        prompter().message(owner, failed + QChar(13) + error.message(), kAppTitle,
                           MsgIcon::Critical, MsgButtons::Ok);
        return false;
    }
}

#include "Main.h"

#include "ConnectDataBase.h"
#include "Schema.h"
#include "Services.h"
#include "Shell.h"

QString databaseNotDetectedText() {
    const QChar CR(13);
    return QStringLiteral("Database not detected. ") + CR +
           QStringLiteral("Opening Time and Settings form.") + CR +
           QStringLiteral("Use button with file folder icon to create or open a database.");
}

void Main() {
    AppState& state = appState();
    state.gDataBaseLoc = settings().text(keys::gDataBaseLoc);
    state.gDataBaseName = settings().text(keys::gDataBaseName);
    state.gServer = settings().text(keys::Server).trimmed();

    if (!state.serverMode() && !store::databaseFound(state.gDataBaseLoc, state.gDataBaseName)) {
        prompter().message(nullptr, databaseNotDetectedText(), kAppTitle, MsgIcon::Critical,
                           MsgButtons::Ok);
        forms().show(Form::Setup);
        return;
    }
    try {
        ConnectDataBase();
    } catch (const store::DbError& error) {
        // A damaged, foreign or locked file, or a server out of reach: say
        // which and why, and let the user pick another one instead of ending
        // the program.
        prompter().message(nullptr, error.message(), kAppTitle, MsgIcon::Critical, MsgButtons::Ok);
        forms().show(Form::Setup);
        return;
    }
    shell().startResident();
    state.gStartupDone = true;
}

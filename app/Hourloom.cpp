#include "FormRegistry.h"
#include "HelpViewer.h"
#include "KeyCache.h"
#include "Main.h"
#include "ProgramIcon.h"
#include "ResidentShell.h"
#include "Services.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Hourloom"));
    QApplication::setApplicationVersion(QStringLiteral(HOURLOOM_VERSION));
    QApplication::setWindowIcon(programIcon());
    // The program lives in the tray: closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    // Opening the database then spares the key derivation after the first time.
    store::setKeyCacheFolder(
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
        QStringLiteral("/hourloom"));

    AppState state;
    Settings store;
    SystemClock systemClock;
    DialogPrompter dialogs;
    HelpViewer helpViewer;
    FormRegistry registry;
    ResidentShell resident;
    services() = Services{&state, &store, &systemClock, &dialogs, &helpViewer, &registry};
    setShell(&resident);

    Main();
    const int code = QApplication::exec();
    registry.destroyAll();
    return code;
}

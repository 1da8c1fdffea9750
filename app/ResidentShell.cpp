#include "ResidentShell.h"

#include "frmMain.h"
#include "frmSplash.h"

ResidentShell::ResidentShell() = default;

ResidentShell::~ResidentShell() {
    delete splash_.data();
}

frmSplash* ResidentShell::splash() const {
    return splash_;
}

void ResidentShell::startResident() {
    splash_ = new frmSplash;
    splash_->show();
    // Painted now, before the tray window loads.
    splash_->repaint();
    // Start-up runs again after a database is chosen: keep the one tray icon.
    if (!main_)
        main_ = std::make_unique<frmMain>();
}

void ResidentShell::trackTime() {
    // Before a normal start (only the settings window open) nothing is counted.
    if (main_)
        main_->trackTime();
}

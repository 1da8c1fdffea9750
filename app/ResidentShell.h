#pragma once

#include "Shell.h"

#include <QPointer>
#include <memory>

class frmMain;
class frmSplash;

// The resident program as start-up brings it up: the splash, then the hidden
// tray window that keeps the program present and drives the reminder.
class ResidentShell : public Shell {
public:
    ResidentShell();
    ~ResidentShell() override;

    void startResident() override;
    void trackTime() override;

    frmMain* mainWindow() const { return main_.get(); }
    frmSplash* splash() const;

private:
    std::unique_ptr<frmMain> main_;
    QPointer<frmSplash> splash_;
};

#pragma once

// The resident part of the program that start-up brings up once a database
// is open: the splash, the tray window and the capture reminder.
class Shell {
public:
    virtual ~Shell() = default;
    // Shows the splash (which hands over to the Time Control window) and
    // loads the hidden resident window with its tray icon.
    virtual void startResident() = 0;
    // The capture reminder's step after a recording window closed.
    virtual void trackTime() = 0;
};

Shell& shell();
void setShell(Shell* shell);

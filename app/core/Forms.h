#pragma once

class QWidget;

// The program's windows, as the rest of the program names them.
enum class Form { Control, Clock, Setup, Report, Client, Work, About };

// How a window asks for another window, or for the program's own services,
// without knowing the other window's code. The composition root implements it.
class Forms {
public:
    virtual ~Forms() = default;
    // Makes the window visible, loading it first when it is not loaded.
    // Nothing (nullptr) while a window waits on a message box: the window
    // comes up once the box is answered.
    virtual QWidget* show(Form form) = 0;
    // Loads the window without showing it (or gives the loaded one).
    virtual QWidget* load(Form form) = 0;
    // The loaded window, or nullptr.
    virtual QWidget* find(Form form) const = 0;
    // Closes the window if it is loaded, running its close logic.
    virtual void unload(Form form) = 0;
    // The capture reminder's step, run when a recording window closes.
    virtual void trackTime() = 0;
    // Start-up once more (after a database has been chosen).
    virtual void runMain() = 0;
    // Ends the program.
    virtual void endProgram() = 0;
};

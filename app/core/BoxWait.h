#pragma once

#include <QPointer>
#include <functional>

class QWidget;

// A handler that opens a modal box waits inside it until the user answers,
// while timers and assistive technology still reach the program. Were the
// box's window closed meanwhile, it would be deleted under the box and under
// the handler waiting on it. So the real dialogs mark their owner's window as
// waiting for as long as a box is open, and the window registry holds a close
// or a switch of windows back until the box is answered.
class BoxWait {
public:
    explicit BoxWait(QWidget* owner);
    ~BoxWait();
    BoxWait(const BoxWait&) = delete;
    BoxWait& operator=(const BoxWait&) = delete;

    // Whether `window` or a control in it owns an open box.
    static bool waiting(const QWidget* window);
    // Runs each time a box has been answered, while the handler that opened
    // it still runs; an empty function removes it.
    static void setAnsweredHook(std::function<void()> hook);

private:
    QPointer<QWidget> owner_;
};

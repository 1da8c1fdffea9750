#pragma once

#include <QWidget>

class QLabel;
class QTimer;

// The start-up window: shown for a moment, then it closes itself and the
// Time Control window takes over.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    QTimer* timer1() const { return Timer1_; }

    // The one tick: closes the splash, which hands over to Time Control.
    void Timer1_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QTimer* Timer1_ = nullptr;
    bool handedOver_ = false;
};

// How long the splash stays up.
constexpr int kSplashMilliseconds = 1300;

// The notice under the product name, composed when the splash loads.
QString splashNotice();

#pragma once

#include <QDateTime>

// Where the program reads the time. Nothing else reads the system clock, so
// tests can set the moment.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A clock that stands still until told otherwise.
class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime moment = {})
        : moment_(std::move(moment)) {}
    QDateTime now() const override { return moment_; }
    void set(const QDateTime& moment) { moment_ = moment; }
    void advanceSecs(qint64 seconds) { moment_ = moment_.addSecs(seconds); }
    void advanceMSecs(qint64 ms) { moment_ = moment_.addMSecs(ms); }

private:
    QDateTime moment_;
};

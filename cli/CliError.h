#pragma once

#include <QString>
#include <stdexcept>

// How a command ends when it does not succeed; the exit status tells scripts
// which kind of failure it was.
enum ExitCode { kDone = 0, kRefused = 1, kUsage = 2, kDataError = 3 };

// A command that stops: `message` goes to standard error, `code` is the exit
// status. Nothing has been written when one is thrown.
class CliError : public std::runtime_error {
public:
    CliError(ExitCode code, const QString& message)
        : std::runtime_error(message.toStdString())
        , code_(code) {}
    ExitCode code() const { return code_; }
    QString message() const { return QString::fromStdString(what()); }

private:
    ExitCode code_;
};

// Refused by one of the program's rules (the window's message).
inline CliError refused(const QString& message) {
    return CliError(kRefused, message);
}
// The command line itself is wrong.
inline CliError usage(const QString& message) {
    return CliError(kUsage, message);
}
// A file cannot be read or written.
inline CliError fileError(const QString& message) {
    return CliError(kDataError, message);
}

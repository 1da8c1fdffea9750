#pragma once

// Runs the fault helper program (support_faultchild) and reads its report.
#include "Backup.h"
#include "Database.h"
#include "Schema.h"

#include <QByteArrayList>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <set>

namespace faultrun {

struct Report {
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    QByteArrayList lines;
    QByteArray errors;

    // The text after the last line that starts with `word` and a blank.
    std::optional<QByteArray> last(const QByteArray& word) const {
        for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
            if (*line == word)
                return QByteArray();
            if (line->startsWith(word + ' '))
                return line->mid(word.size() + 1);
        }
        return std::nullopt;
    }
    QByteArray tail() const { return lines.mid(std::max(0, int(lines.size()) - 6)).join('\n'); }
};

inline bool available() {
#ifdef HL_FAULT_CHILD
    return true;
#else
    return false;
#endif
}

inline Report run(const QStringList& arguments) {
    Report report;
#ifdef HL_FAULT_CHILD
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_PRELOAD", HL_FIU_PRELOAD);
    child.setProcessEnvironment(environment);
    child.start(HL_FAULT_CHILD, arguments);
    child.waitForFinished(120'000);
    report.status = child.exitStatus();
    report.code = child.exitCode();
    report.lines = child.readAllStandardOutput().split('\n');
    report.errors = child.readAllStandardError();
    while (!report.lines.isEmpty() && report.lines.last().isEmpty())
        report.lines.removeLast();
#else
    Q_UNUSED(arguments);
#endif
    return report;
}

inline std::set<int> ids(const QByteArray& text) {
    std::set<int> result;
    for (const QByteArray& id : text.split(' '))
        if (!id.isEmpty())
            result.insert(id.toInt());
    return result;
}

// The records in the file, by number; a record whose fields disagree with
// its number, or a second record of one number, shows as a negative number.
inline std::set<int> storedIds(store::Database& db) {
    std::set<int> result;
    store::Statement rows(db, "SELECT ClientNumber, ClientName, WorkDescription FROM tblTimeSheet");
    while (rows.step()) {
        const int id = static_cast<int>(rows.int64(0));
        const bool whole = rows.text(1) == QStringLiteral("Client %1").arg(id) &&
                           rows.text(2) == QStringLiteral("Work %1").arg(id);
        result.insert(whole && !result.count(id) ? id : -1 - id);
    }
    return result;
}

inline QString integrity(store::Database& db) {
    store::Statement check(db, "PRAGMA integrity_check");
    check.step();
    return check.text(0);
}

inline QString text(const std::set<int>& ids) {
    QStringList parts;
    for (int id : ids)
        parts << QString::number(id);
    return parts.join(' ');
}

// Where the runs keep their files: memory-backed when the machine has such a
// folder, because the faults are injected, not the disk's, and a real disk's
// flushes would make hundreds of runs too slow.
inline QString scratchFolder() {
    const QString memory = QStringLiteral("/dev/shm");
    const QString base = QFileInfo(memory).isWritable() ? memory : QDir::tempPath();
    return base + QStringLiteral("/hourloom-faults-XXXXXX");
}

// How many runs to make: the environment may ask for more (or fewer).
inline int runs(const char* variable, int standard) {
    const int asked = qEnvironmentVariableIntValue(variable);
    return asked > 0 ? asked : standard;
}

} // namespace faultrun

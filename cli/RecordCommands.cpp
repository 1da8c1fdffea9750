// status, track, undo and day: what the Time Control window and the Activity
// Log show and do, on the same rules.
#include "Appends.h"
#include "CliError.h"
#include "CliOutput.h"
#include "CliValues.h"
#include "Commands.h"
#include "DayList.h"
#include "Functions.h"
#include "RecentRecord.h"
#include "Records.h"
#include "SpanMath.h"

#include <QJsonArray>

namespace {

// The entry numbered `text`, else the one named exactly so, else the one
// named so in another letter case.
std::optional<store::CodeEntry> findEntry(const std::vector<store::CodeEntry>& entries,
                                          const QString& text) {
    bool isNumber = false;
    const qint32 number = text.trimmed().toInt(&isNumber);
    for (const store::CodeEntry& entry : entries)
        if (isNumber && entry.number == number)
            return entry;
    for (const store::CodeEntry& entry : entries)
        if (entry.name == text)
            return entry;
    for (const store::CodeEntry& entry : entries)
        if (entry.name.compare(text, Qt::CaseInsensitive) == 0)
            return entry;
    return std::nullopt;
}

QString notFound(const QString& what, const QString& text) {
    return QStringLiteral("No %1 is numbered or named \"%2\".\n").arg(what, text);
}

// Where the span ends: --to, --minutes after the begin, or the current
// minute (never before the begin, as the window's end follows the clock).
QDateTime spanEnd(CliContext& context, const QDateTime& begin) {
    if (context.isSet(QStringLiteral("to")) && context.isSet(QStringLiteral("minutes")))
        throw usage(QStringLiteral("Give --to or --minutes, not both."));
    if (context.isSet(QStringLiteral("to")))
        return requireMoment(context.value(QStringLiteral("to")), QStringLiteral("The end"),
                             context.now().date());
    if (context.isSet(QStringLiteral("minutes"))) {
        bool ok = false;
        const int minutes = context.value(QStringLiteral("minutes")).toInt(&ok);
        if (!ok)
            throw usage(QStringLiteral("--minutes takes a whole number."));
        const std::optional<QDateTime> end = endAfterMinutes(begin, minutes);
        return end ? *end : begin;
    }
    const QDateTime now(context.now().date(), toMinute(context.now().time()));
    return std::max(now, begin);
}

} // namespace

int runStatus(CliContext& context) {
    store::Store& store = context.store();
    const QString employee = context.employee();
    const QDateTime& now = context.now();
    const std::vector<store::ActivityRecord> latest =
        store.recentRecords(employee, QDateTime(kFirstPickerDate, QTime(0, 0)),
                            store::RecentOrder::EndTimeDesc, std::nullopt, 1);
    // As the capture reminder asks: is there a record ending now or later?
    const bool upToNow = store.hasRecordEndingAtOrAfter(employee, now);
    // How far the latest end lags the clock; unknown without any record.
    const bool known = upToNow || !latest.empty();
    const double lag = upToNow || !known ? 0.0 : store::daysBetween(latest.front().endTime, now);
    if (context.json()) {
        writeJson(
            context.out,
            QJsonObject{{QStringLiteral("employee"), employee},
                        {QStringLiteral("now"), isoText(now)},
                        {QStringLiteral("latest"),
                         latest.empty() ? QJsonValue() : recordJson(latest.front())},
                        {QStringLiteral("recordedUpToNow"), upToNow},
                        {QStringLiteral("lagMinutes"),
                         known ? QJsonValue(DurationText(lag, 1).toLongLong()) : QJsonValue()}});
        return kDone;
    }
    context.out << "Employee: " << employee << '\n';
    if (latest.empty()) {
        context.out << "No record yet.\n";
        return kDone;
    }
    context.out << "Latest record: " << recordLine(latest.front()) << '\n';
    if (upToNow)
        context.out << "Recorded up to now.\n";
    else
        context.out << "Not recorded for " << DurationText(lag, 0) << ".\n";
    return kDone;
}

int runTrack(CliContext& context) {
    store::Store& store = context.store();
    const QString employee = context.employee();
    const QString label = context.clientLabel();
    const QDateTime& now = context.now();
    const QString clientText = context.arguments().at(0);
    const QString workText = context.arguments().at(1);

    const std::optional<store::ActivityRecord> latest = latestRecent(store, employee, now);
    const QDateTime begin =
        context.isSet(QStringLiteral("from"))
            ? requireMoment(context.value(QStringLiteral("from")), QStringLiteral("The begin"),
                            now.date())
            : todayBegin(now, latest ? std::optional(latest->endTime) : std::nullopt);
    const QDateTime end = spanEnd(context, begin);

    const auto client = findEntry(store.codeEntries(store::CodeTable::Client), clientText);
    const auto work = findEntry(store.codeEntries(store::CodeTable::Work), workText);
    // A negative span counts as none, as the window resets it.
    const long long minutes =
        std::max(0LL, spanMinutes({begin.date(), begin.time(), end.date(), end.time()}));
    const CheckResult check =
        CheckSelection({client.has_value(), client.has_value(), work.has_value(), work.has_value()},
                       QString::number(minutes), label);
    if (!check.ok) {
        QString why;
        if (!client)
            why += notFound(label.toLower(), clientText);
        if (!work)
            why += notFound(QStringLiteral("work code"), workText);
        throw refused(why + kCheckTitle + QStringLiteral(": ") + terminalText(check.message));
    }

    store::ActivityRecord record;
    record.beginTime = begin;
    record.endTime = end;
    record.clientNumber = client->number;
    record.clientName = client->name;
    record.workCode = work->number;
    record.workDescription = work->name;
    record.employee = employee;
    store::addControlRecord(store, record, now);
    record.date = now;
    if (context.json())
        writeJson(context.out, recordJson(record));
    else
        context.out << "Recorded: " << recordLine(record) << '\n';
    return kDone;
}

int runUndo(CliContext& context) {
    store::Store& store = context.store();
    const QString employee = context.employee();
    const std::optional<store::ActivityRecord> last = latestRecent(store, employee, context.now());
    if (!store::undoLastRecord(store, employee, context.now()))
        throw refused(QStringLiteral("Nothing was undone: no record of %1 ended within the last "
                                     "five hours.")
                          .arg(employee));
    if (context.json())
        writeJson(context.out, last ? QJsonValue(recordJson(*last)) : QJsonValue());
    else if (last)
        context.out << "Undone: " << recordLine(*last) << '\n';
    else
        context.out << "The last entry was undone.\n";
    return kDone;
}

int runDay(CliContext& context) {
    const QDate day = context.arguments().isEmpty()
                          ? context.now().date()
                          : requireDate(context.arguments().at(0), QStringLiteral("The day"));
    const std::vector<store::ActivityRecord> records =
        context.store().dayRecords(context.employee(), day);
    if (context.json()) {
        QJsonArray rows;
        for (const store::ActivityRecord& record : records)
            rows.append(recordJson(record));
        writeJson(context.out, rows);
        return kDone;
    }
    // An empty day shows nothing, not even the headings, as the grid does.
    if (records.empty())
        return kDone;
    const auto& headings = dayListHeaders();
    std::vector<QStringList> rows;
    for (const store::ActivityRecord& record : records) {
        const auto cells = dayListCells(record);
        rows.emplace_back(cells.begin(), cells.end());
    }
    context.out << tableText(QStringList(headings.begin(), headings.end()), rows);
    return kDone;
}

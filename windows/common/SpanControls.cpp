#include "SpanControls.h"

#include "Clicks.h"
#include "DateText.h"
#include "Functions.h"
#include "Services.h"
#include "Twips.h"

#include <QDateEdit>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QTimer>

namespace {

const QLocale& usLocale() {
    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

QLabel* heading(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(text);
    return label;
}

QTimeEdit* timePicker(const char* name, const QString& accessible, QWidget* parent) {
    auto* picker = new QTimeEdit(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setAccessibleName(accessible);
    picker->setLocale(usLocale());
    picker->setDisplayFormat(QStringLiteral("h:mm AP"));
    return picker;
}

QDateEdit* datePicker(const char* name, const QString& accessible, QWidget* parent) {
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setAccessibleName(accessible);
    picker->setLocale(usLocale());
    picker->setDisplayFormat(QStringLiteral("M/d/yyyy"));
    picker->setDateRange(kFirstPickerDate, kLastPickerDate);
    picker->setCalendarPopup(true);
    picker->hide();
    return picker;
}

qint64 minuteKey(const QDateTime& moment) {
    return moment.date().toJulianDay() * 1440 + moment.time().hour() * 60 + moment.time().minute();
}

} // namespace

SpanControls::SpanControls(QWidget* parent)
    : QObject(parent)
    , Label2(heading("Label2", QStringLiteral("Begin"), parent))
    , Label3(heading("Label3", QStringLiteral("End"), parent))
    , Label4(heading("Label4", QStringLiteral("Total"), parent))
    , dtBeginTime(timePicker("dtBeginTime", QStringLiteral("Begin time"), parent))
    , dtBegin(datePicker("dtBegin", QStringLiteral("Begin date"), parent))
    , dtEndTime(timePicker("dtEndTime", QStringLiteral("End time"), parent))
    , dtEnd(datePicker("dtEnd", QStringLiteral("End date"), parent))
    , lblTotal(new QLabel(parent))
    , txtTimeMin(new QLineEdit(parent))
    , Timer1(new QTimer(this)) {
    lblTotal->setObjectName(QStringLiteral("lblTotal"));
    txtTimeMin->setObjectName(QStringLiteral("txtTimeMin"));
    txtTimeMin->setAccessibleName(QStringLiteral("Minutes"));
    txtTimeMin->hide();
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);

    for (QLabel* label : {Label2, Label3, Label4})
        label->installEventFilter(this);

    connect(Timer1, &QTimer::timeout, this, &SpanControls::Timer1_Timer);
    connect(dtBegin, &QDateEdit::dateChanged, this, &SpanControls::dtBegin_Change);
    connect(dtBeginTime, &QTimeEdit::timeChanged, this, &SpanControls::dtBeginTime_Change);
    connect(dtEnd, &QDateEdit::dateChanged, this, &SpanControls::dtEnd_Change);
    connect(dtEndTime, &QTimeEdit::timeChanged, this, &SpanControls::dtEndTime_Change);
    connect(txtTimeMin, &QLineEdit::textChanged, this, &SpanControls::txtTimeMin_Change);
    // A span left negative while typing starts again when the box is left.
    for (QDateTimeEdit* edit :
         {static_cast<QDateTimeEdit*>(dtBegin), static_cast<QDateTimeEdit*>(dtBeginTime),
          static_cast<QDateTimeEdit*>(dtEnd), static_cast<QDateTimeEdit*>(dtEndTime)})
        connect(edit, &QDateTimeEdit::editingFinished, this, &SpanControls::startAgainIfNegative);
}

void SpanControls::place(const SpanColumns& c) {
    const auto put = [](QWidget* w, int left, int top, int width) {
        w->setGeometry(twipsToPixels(left, w), twipsToPixels(top, w), twipsToPixels(width, w),
                       twipsToPixels(315, w));
    };
    const std::array<QLabel*, 3> headings{Label2, Label3, Label4};
    const std::array<QWidget*, 3> middle{dtBeginTime, dtEndTime, lblTotal};
    const std::array<QWidget*, 3> right{dtBegin, dtEnd, txtTimeMin};
    for (int row = 0; row < 3; ++row) {
        put(headings[row], c.headingLeft, c.rowTops[row], c.headingWidth);
        put(middle[row], c.timeLeft, c.rowTops[row], c.timeWidth);
        put(right[row], c.dateLeft, c.rowTops[row], row < 2 ? c.dateWidth : c.minutesWidth);
    }
}

void SpanControls::setBeginDate(const QDate& date) {
    const QSignalBlocker quiet(dtBegin);
    dtBegin->setDate(date);
}

void SpanControls::setBeginTime(const QTime& time) {
    const QSignalBlocker quiet(dtBeginTime);
    dtBeginTime->setTime(time);
}

void SpanControls::setEndDate(const QDate& date) {
    const QSignalBlocker quiet(dtEnd);
    dtEnd->setDate(date);
}

void SpanControls::setEndTime(const QTime& time) {
    const QSignalBlocker quiet(dtEndTime);
    dtEndTime->setTime(time);
}

SpanValues SpanControls::values() const {
    return {dtBegin->date(), dtBeginTime->time(), dtEnd->date(), dtEndTime->time()};
}

QDateTime SpanControls::begin() const {
    return QDateTime(dtBegin->date(), dtBeginTime->time());
}

QDateTime SpanControls::end() const {
    return QDateTime(dtEnd->date(), dtEndTime->time());
}

QDateTime SpanControls::recordedBegin() const {
    return combine(dtBegin->date(), dtBeginTime->time());
}

QDateTime SpanControls::recordedEnd() const {
    return combine(dtEnd->date(), dtEndTime->time());
}

void SpanControls::hideDatePickers() {
    dtBegin->hide();
    dtEnd->hide();
}

void SpanControls::endTimeToNow() {
    setEndTime(toMinute(appClock().now().time()));
    if (begin() > end())
        setEndTime(dtBeginTime->time());
    needRecalculation();
}

void SpanControls::writeMinutes() {
    const QString text = QString::number(spanMinutes(values()));
    // Only a real change of the text counts as a change of the box.
    if (txtTimeMin->text() != text)
        txtTimeMin->setText(text);
}

void SpanControls::TotalRecalculate() {
    lblTotal->setText(DurationText(spanDays(values()), 0));
    writeMinutes();
    // Typing 11:45 into a box showing 9:30 passes through 1:30 and 11:30;
    // a span that is negative only on the way is left alone until the box
    // is left, so the keystrokes still land in the digits the user typed.
    if (!typing())
        startAgainIfNegative();
}

void SpanControls::startAgainIfNegative() {
    if (minutesFromText(txtTimeMin->text()) >= 0)
        return;
    // The end lies before the begin: start again from a zero span, shown at
    // once (a negative total must not stand until the next tick).
    setEndDate(dtBegin->date());
    setEndTime(dtBeginTime->time());
    lblTotal->setText(DurationText(spanDays(values()), 0));
    writeMinutes();
    needRecalculation();
}

bool SpanControls::typing() const {
    return dtBegin->hasFocus() || dtBeginTime->hasFocus() || dtEnd->hasFocus() ||
           dtEndTime->hasFocus();
}

void SpanControls::ChangeTime() {
    const QDateTime now = appClock().now();
    // Only the minute is compared: an end showing the same minute of another
    // hour stays until the next minute.
    if (now.time().minute() == dtEndTime->time().minute())
        return;
    if (now <= begin()) {
        if (dtBeginTime->time() != dtEndTime->time())
            setEndTime(dtBeginTime->time());
    } else {
        setEndTime(toMinute(now.time()));
    }
}

void SpanControls::Timer1_Timer() {
    const qint64 minute = minuteKey(appClock().now());
    if (minute == lastTickMinute_)
        return;
    lastTickMinute_ = minute;
    ChangeTime();
    TotalRecalculate();
}

void SpanControls::dtBegin_Change() {
    needRecalculation();
    TotalRecalculate();
}

void SpanControls::dtBeginTime_Change() {
    needRecalculation();
    TotalRecalculate();
}

void SpanControls::dtEnd_Change() {
    needRecalculation();
    TotalRecalculate();
}

void SpanControls::dtEndTime_Change() {
    Timer1->stop();
    TotalRecalculate();
}

void SpanControls::txtTimeMin_Change() {
    if (txtTimeMin->isHidden())
        return;
    bool isNumber = false;
    const double minutes = QLocale::c().toDouble(txtTimeMin->text().trimmed(), &isNumber);
    const QDateTime from = begin();
    const std::optional<QDateTime> to =
        isNumber ? endAfterMinutes(from, minutes) : std::optional<QDateTime>();
    if (!to) {
        // Not a number, or an end no picker can hold: show the span's minutes.
        TotalRecalculate();
        return;
    }
    setEndDate(to->date());
    setEndTime(toMinute(to->time()));
    if (from > end())
        setEndTime(dtBeginTime->time());
    else
        setEndTime(toMinute(to->time()));
    Timer1->stop();
    TotalRecalculate();
}

void SpanControls::Label2_DblClick() {
    emit idleReset();
    dtBegin->setVisible(dtBegin->isHidden());
}

void SpanControls::Label3_DblClick() {
    emit idleReset();
    dtEnd->setVisible(dtEnd->isHidden());
}

void SpanControls::Label4_Click() {
    emit idleReset();
    if (!txtTimeMin->isHidden()) {
        txtTimeMin->hide();
        return;
    }
    txtTimeMin->show();
    txtTimeMin->setFocus();
    txtTimeMin->setSelection(0, static_cast<int>(txtTimeMin->text().size()));
}

bool SpanControls::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        ignoreRelease_ = false;
        break;
    case QEvent::MouseButtonDblClick:
        // A double click also delivers a release afterwards; it is not a second click.
        ignoreRelease_ = true;
        if (!isLeftDoubleClick(event))
            break;
        if (watched == Label2)
            Label2_DblClick();
        else if (watched == Label3)
            Label3_DblClick();
        break;
    case QEvent::MouseButtonRelease:
        if (ignoreRelease_)
            ignoreRelease_ = false;
        else if (watched == Label4 && endsLeftClick(Label4, event))
            Label4_Click();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

#include "frmClock.h"

#include "Appends.h"
#include "CodeRows.h"
#include "DateText.h"
#include "DayList.h"
#include "Functions.h"
#include "PictureButton.h"
#include "RecentRecord.h"
#include "ReportDbErrors.h"
#include "Services.h"
#include "SpanPrefill.h"
#include "Twips.h"

#include <QCalendarWidget>
#include <QCloseEvent>
#include <QDateEdit>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace {

constexpr int kGridTwips = 7215;
constexpr int kWorkColumn = 2;
const QColor kSelectedRow(0xFF, 0xFF, 0xC0); // light yellow
const QColor kPlainRow(Qt::white);

QFrame* line(const char* name, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

// Widens each column whose heading needs more room than its width gives,
// taking what it can from `donor`, whose heading is short.
void fitHeadings(QHeaderView* header, int donor) {
    for (int column = 0; column < header->count(); ++column) {
        const int missing = header->sectionSizeHint(column) - header->sectionSize(column);
        if (column == donor || missing <= 0)
            continue;
        const int spare = header->sectionSize(donor) - header->sectionSizeHint(donor);
        header->resizeSection(donor, header->sectionSize(donor) - std::clamp(spare, 0, missing));
        header->resizeSection(column, header->sectionSize(column) + missing);
    }
}

// The calendar's own parts carry no names a screen reader could announce.
void nameCalendarParts(QCalendarWidget* calendar) {
    const std::pair<const char*, const char*> parts[] = {
        {"qt_calendar_prevmonth", "Previous month"},
        {"qt_calendar_nextmonth", "Next month"},
        {"qt_calendar_monthbutton", "Month"},
        {"qt_calendar_yearbutton", "Year"},
        {"qt_calendar_yearedit", "Year"},
        {"qt_calendar_calendarview", "Days"},
    };
    for (const auto& [objectName, accessibleName] : parts)
        if (auto* part = calendar->findChild<QWidget*>(QString::fromLatin1(objectName)))
            part->setAccessibleName(QString::fromLatin1(accessibleName));
}

// Selects the entry showing exactly `text`; with no such entry the list is
// left without a selection, so the recording check sees that it is missing.
void selectText(QListWidget* list, const QString& text) {
    list->clearSelection();
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() == text) {
            list->setCurrentRow(i);
            return;
        }
    }
    list->setCurrentRow(-1);
}

QDateTime midnight(const QDate& date) {
    return QDateTime(date, QTime(0, 0));
}

} // namespace

frmClock::frmClock(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("frmClock"));
    setWindowTitle(QStringLiteral("Activity Log"));
    buildControls();
    placeControls();
    Form_Load();
}

frmClock::~frmClock() = default;

void frmClock::buildControls() {
    FG1 = new QTableWidget(this);
    FG1->setObjectName(QStringLiteral("FG1"));
    FG1->setAccessibleName(QStringLiteral("Activity Log"));
    FG1->setColumnCount(kDayListColumns);
    FG1->verticalHeader()->hide();
    FG1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A row is chosen by a mouse press, or from the keyboard by moving the
    // focus mark with the arrows and pressing Space or Enter; the highlight
    // is the row colour. Tab leaves the list rather than walking its cells.
    FG1->setSelectionMode(QAbstractItemView::NoSelection);
    FG1->setTabKeyNavigation(false);
    FG1->installEventFilter(this);
    FG1->setSortingEnabled(false);
    // A press and its row are read by column position, so columns stay put.
    FG1->horizontalHeader()->setSectionsMovable(false);
    FG1->horizontalHeader()->setSectionsClickable(false);
    FG1->viewport()->installEventFilter(this);

    cmdAdd =
        pictureButton(this, "cmdAdd", QStringLiteral("Add Time"), QStyle::SP_DialogApplyButton);
    cmdUndo =
        pictureButton(this, "cmdUndo", QStringLiteral("Delete Selected"), QStyle::SP_TrashIcon);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAccessibleName(QStringLiteral("Cancel"));
    QFont bold(QStringLiteral("Arial"));
    bold.setBold(true);
    cmdCancel->setFont(bold);
    cmdHelp = pictureButton(this, "cmdHelp", QStringLiteral("Help"), QStyle::SP_DialogHelpButton);
    connect(cmdAdd, &QToolButton::clicked, this, &frmClock::cmdAdd_Click);
    connect(cmdUndo, &QToolButton::clicked, this, &frmClock::cmdUndo_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmClock::cmdCancel_Click);
    connect(cmdHelp, &QToolButton::clicked, this, &frmClock::cmdHelp_Click);

    span_ = new SpanControls(this);

    // This window's first lists are wider; the widths saved are the Time
    // Control window's, so the stored layout means the same to both.
    lists_ =
        new CodeListFrames(this, {keys::lstClient2Vis, keys::lstClient1Wit, 2175, 3135, 2055, 3135},
                           {keys::lstWork2Vis, keys::lstWork1Wit, 2295, 3135, 1800, 2685}, false);

    MVDate = new QCalendarWidget(this);
    MVDate->setObjectName(QStringLiteral("MVDate"));
    MVDate->setAccessibleName(QStringLiteral("Shown day"));
    MVDate->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    // A month view of days only, named by their first letters, as the
    // narrow calendar has room for.
    MVDate->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MVDate->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    nameCalendarParts(MVDate);
    // Only a click on a day, or Enter on the marked day, shows it; moving
    // with the keys just moves the mark.
    connect(MVDate, &QCalendarWidget::clicked, this, &frmClock::MVDate_Click);
    connect(MVDate, &QCalendarWidget::activated, this, &frmClock::MVDate_Click);

    Line1 = line("Line1", this);
    Line2 = line("Line2", this);
}

void frmClock::placeControls() {
    const auto px = [this](int twips) { return twipsToPixels(twips, this); };
    const auto place = [&](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(px(left), px(top), px(width), px(height));
    };
    place(FG1, 0, 0, kGridTwips, 7935);
    place(cmdAdd, 7440, 0, 855, 615);
    place(cmdUndo, 8280, 0, 855, 615);
    place(cmdCancel, 9120, 0, 855, 615);
    place(cmdHelp, 9960, 0, 855, 615);

    // Wider than designed so their texts show whole at the default font: the
    // row headings by 60 twips ("Begin"), the middle column starting 60 later
    // and 15 narrower, the date pickers by 15.
    span_->place({{660, 1035, 1410}, 7440, 540, 7980, 1365, 9360, 1470, 1455});

    lists_->place({7440, 1740, 3375, 1935}, {240, 1320, 2175, 2175, 2280, 975},
                  {7440, 3660, 3375, 1815}, {360, 1110, 2295, 2295, 2400, 855});

    place(Line1, 7440, 630, 3375, 30);
    place(Line2, 7440, 5475, 3375, 30);
    // 345 twips wider than designed: the narrowest month view that shows
    // every month's name and the day letters whole.
    place(MVDate, 7800, 5500, 2940, 2520);
    setFixedSize(px(10860), px(8070));
}

void frmClock::Form_Load() {
    LoadSavedSettings();
    frmControlLoadRecords();
    MVDate->setSelectedDate(appClock().now().date());
    span_->Timer1->start();
    DaysList();
}

void frmClock::LoadSavedSettings() {
    const SavedLayout layout = readSavedLayout(settings());
    applySavedLayout(layout, appState());
    applyLayout(layout);
    // A Time Control window loaded meanwhile shows the same layout; it is not
    // loaded for this.
    applyLayoutIfTarget(forms().find(Form::Control), layout);
}

void frmClock::applyLayout(const SavedLayout& layout) {
    lists_->applyLayout(layout, activityLogClient1Width(layout.client1Width),
                        activityLogWork1Width(layout.work1Width));
}

void frmClock::DaysList() {
    bEditMode_ = false;
    std::vector<store::ActivityRecord> records;
    const bool read =
        reportDbErrors(this, QStringLiteral("The records of the day could not be read."), [&] {
            records = appState().db().dayRecords(appState().gEmployee, MVDate->selectedDate());
        });

    FG1->setUpdatesEnabled(false);
    FG1->clearContents();
    FG1->setRowCount(0);
    const std::array<QString, kDayListColumns>& headers = dayListHeaders();
    const std::array<int, kDayListColumns> widths = dayListColumnWidths(kGridTwips);
    for (int column = 0; column < kDayListColumns; ++column) {
        FG1->setHorizontalHeaderItem(column, new QTableWidgetItem(headers[column]));
        FG1->setColumnWidth(column, twipsToPixels(widths[column], FG1));
    }
    fitHeadings(FG1->horizontalHeader(), kWorkColumn);
    // An empty day shows an empty grid, without even the header row.
    FG1->horizontalHeader()->setVisible(read && !records.empty());
    if (read) {
        FG1->setRowCount(static_cast<int>(records.size()));
        for (int row = 0; row < FG1->rowCount(); ++row) {
            const std::array<QString, kDayListColumns> cells = dayListCells(records[row]);
            for (int column = 0; column < kDayListColumns; ++column) {
                auto* item = new QTableWidgetItem(cells[column]);
                QFont font = item->font();
                font.setPointSize(dayListFontSize(column));
                item->setFont(font);
                item->setBackground(kPlainRow);
                // The row carries its record's key: a press finds the record by it.
                if (column == 0)
                    item->setData(Qt::UserRole, QVariant::fromValue(records[row].id));
                FG1->setItem(row, column, item);
            }
        }
    }
    FG1->setUpdatesEnabled(true);
}

void frmClock::colourRow(int row, const QColor& colour) {
    for (int column = 0; column < kDayListColumns; ++column)
        if (QTableWidgetItem* item = FG1->item(row, column))
            item->setBackground(colour);
}

void frmClock::Dayslist_MouseDown(int row) {
    if (row < 0 || row >= FG1->rowCount())
        return;
    const auto cell = [&](int column) { return FG1->item(row, column)->text(); };
    selection_.vClientName = cell(0);
    selection_.vClientNumber = cell(1);
    selection_.vWorkDescription = cell(2);
    selection_.vWorkCode = cell(3);
    selection_.vBeginTime = cell(4);
    selection_.vEndTime = cell(5);
    selectedId_ = FG1->item(row, 0)->data(Qt::UserRole).toLongLong();
    colourRow(row, kSelectedRow);
    EditMode();
    for (int other = 0; other < FG1->rowCount(); ++other)
        if (other != row)
            colourRow(other, kPlainRow);
}

void frmClock::EditMode() {
    span_->Timer1->stop();
    const std::optional<QDateTime> begin = dateTimeFromGridText(selection_.vBeginTime);
    const std::optional<QDateTime> end = dateTimeFromGridText(selection_.vEndTime);
    if (!begin || !end)
        return; // the grid wrote these texts itself; nothing else reaches here
    span_->setBeginTime(toMinute(begin->time()));
    span_->setEndTime(toMinute(end->time()));
    // A correction is recorded on the record's own dates.
    span_->setBeginDate(begin->date());
    span_->setEndDate(end->date());
    selectText(lists_->lstClient1, selection_.vClientName);
    selectText(lists_->lstClient2, selection_.vClientNumber);
    selectText(lists_->lstWork1, selection_.vWorkDescription);
    selectText(lists_->lstWork2, selection_.vWorkCode);
    span_->TotalRecalculate();
    bEditMode_ = true;
}

void frmClock::frmControlLoadRecords() {
    reportDbErrors(
        this, QStringLiteral("The recent activity and the lists could not be read."), [this] {
            const AppState& state = appState();
            const QDateTime now = appClock().now();
            // Every query runs before anything on screen changes, so a failing
            // one leaves the entry area as it was. A record ending after now
            // does not count.
            const std::optional<store::ActivityRecord> latest = latestBeginningEndingBetween(
                appState().db(), state.gEmployee, store::recentCutoff(now), now);
            const CodeListRows rows = CodeListFrames::readRows();

            lists_->clear();
            span_->hideDatePickers();
            const QDateTime begin =
                todayBegin(now, latest ? std::optional<QDateTime>(latest->endTime) : std::nullopt);
            span_->setBeginTime(begin.time());
            span_->setBeginDate(begin.date());
            span_->setEndDate(now.date());
            span_->dtBegin_Change();
            span_->dtEnd_Change();
            span_->TotalRecalculate();
            lists_->fill(rows, latest);
        });
}

void frmClock::frmControlLoadRecords2() {
    reportDbErrors(
        this, QStringLiteral("The records of the day and the lists could not be read."), [this] {
            const AppState& state = appState();
            const QDate day = span_->dtEnd->date();
            const std::optional<store::ActivityRecord> latest = latestBeginningEndingBetween(
                appState().db(), state.gEmployee, midnight(day), midnight(day.addDays(1)));
            const CodeListRows rows = CodeListFrames::readRows();

            lists_->clear();
            span_->hideDatePickers();
            const SpanValues prefill = otherDayPrefill(
                day, latest ? std::optional<QDateTime>(latest->endTime) : std::nullopt,
                beginOfWorkTime(state.strBeginWork), state.intMinTimer);
            span_->setBeginDate(prefill.beginDate);
            span_->setBeginTime(prefill.beginTime);
            span_->setEndDate(prefill.endDate);
            span_->setEndTime(prefill.endTime);
            span_->dtBegin_Change();
            span_->dtEnd_Change();
            span_->TotalRecalculate();
            lists_->fill(rows, latest);
        });
}

void frmClock::MVDate_Click(const QDate& date) {
    MVDate->setSelectedDate(date);
    cmdCancel_Click();
}

void frmClock::cmdCancel_Click() {
    DaysList();
    LoadSavedSettings();
    const QDate shown = MVDate->selectedDate();
    if (shown == appClock().now().date()) {
        span_->Timer1->start();
        frmControlLoadRecords();
    } else {
        span_->setBeginDate(shown);
        span_->setEndDate(shown);
        span_->Timer1->stop();
        frmControlLoadRecords2();
    }
}

void frmClock::cmdAdd_Click() {
    const CheckResult check =
        CheckSelection(lists_->selection(), span_->txtTimeMin->text(), appState().gClientLabel);
    if (!check.ok) {
        prompter().message(this, check.message, kCheckTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    const bool recorded =
        reportDbErrors(this, QStringLiteral("The activity was not recorded."), [this] {
            const AppState& state = appState();
            store::ActivityRecord record;
            record.beginTime = span_->recordedBegin();
            record.endTime = span_->recordedEnd();
            lists_->takeSelection(record, state.gClientLabel);
            record.employee = settings().text(keys::Emp);
            const QDateTime now = appClock().now();
            // A correction replaces the pressed record as one unit of work.
            if (bEditMode_)
                store::replaceClockRecord(appState().db(), state.gEmployee, selectedId_, record,
                                          now);
            else
                store::addClockRecord(appState().db(), record, now);
        });
    if (!recorded)
        return;
    frmControlLoadRecords();
    cmdCancel_Click();
}

void frmClock::cmdUndo_Click() {
    if (bEditMode_ &&
        !reportDbErrors(this, QStringLiteral("The selected record was not deleted."), [this] {
            appState().db().deleteRecord(appState().gEmployee, selectedId_);
        }))
        return;
    cmdCancel_Click();
}

void frmClock::cmdHelp_Click() {
    help().open(this, QStringLiteral("ActivityLog.htm"));
}

void frmClock::clientToggle() {
    lists_->clientPair->toggleSecond();
}

void frmClock::workToggle() {
    lists_->workPair->toggleSecond();
}

bool frmClock::eventFilter(QObject* watched, QEvent* event) {
    // Any button; the second press of a double click is a press too.
    if (watched == FG1->viewport() && (event->type() == QEvent::MouseButtonPress ||
                                       event->type() == QEvent::MouseButtonDblClick)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        Dayslist_MouseDown(FG1->rowAt(mouse->position().toPoint().y()));
        return true;
    }
    if (watched == FG1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
            Dayslist_MouseDown(FG1->currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmClock::closeEvent(QCloseEvent* event) {
    span_->Timer1->stop();
    appState().gMinuteCount = 0;
    forms().trackTime();
    forms().show(Form::Control);
    event->accept();
}

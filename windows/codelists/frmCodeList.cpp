#include "frmCodeList.h"

#include "CodeListRules.h"
#include "DbError.h"
#include "PictureButton.h"
#include "Services.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>

const QColor frmCodeList::kSelectedColour = QColor(255, 255, 192);
const QColor frmCodeList::kPlainColour = QColor(255, 255, 255);

namespace {

constexpr int kFrameWidth = 6160;
constexpr int kFrameHeight = 3495;

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    // The grid is a list to pick from, never edited in place.
    item->setFlags(Qt::ItemIsEnabled);
    item->setBackground(frmCodeList::kPlainColour);
    return item;
}

QIcon themedIcon(const char* name, QStyle::StandardPixmap fallback, const QStyle* style) {
    return QIcon::fromTheme(QString::fromLatin1(name), style->standardIcon(fallback));
}

} // namespace

frmCodeList::frmCodeList(const CodeListConfig& config, QWidget* parent)
    : QWidget(parent)
    , config_(config) {
    setObjectName(config.objectName);
    setWindowTitle(config.fixedCaption);
    buildControls();
    Form_Load();
}

void frmCodeList::buildControls() {
    auto place = [this](QWidget* widget, const QRect& twips) {
        widget->setGeometry(twipsToPixels(twips.x(), this), twipsToPixels(twips.y(), this),
                            twipsToPixels(twips.width(), this),
                            twipsToPixels(twips.height(), this));
    };
    setFixedSize(twipsToPixels(kFrameWidth, this), twipsToPixels(kFrameHeight, this));

    Frame1 = new QGroupBox(config_.frameCaption, this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    place(Frame1, QRect(0, 0, kFrameWidth, kFrameHeight));

    Label3 = new QLabel(config_.descLabel, Frame1);
    Label3->setObjectName(QStringLiteral("Label3"));
    place(Label3, config_.label3);
    txtDesc = new QLineEdit(Frame1);
    txtDesc->setObjectName(QStringLiteral("txtDesc"));
    txtDesc->setAccessibleName(config_.descLabel);
    place(txtDesc, config_.txtDesc);
    Label3->setBuddy(txtDesc);

    Label1 = new QLabel(config_.numberLabel, Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    place(Label1, config_.label1);
    txtNumber = new QLineEdit(Frame1);
    txtNumber->setObjectName(QStringLiteral("txtNumber"));
    txtNumber->setAccessibleName(config_.numberLabel);
    place(txtNumber, config_.txtNumber);
    Label1->setBuddy(txtNumber);

    auto pictureButton = [&](const char* name, const QString& tip, QIcon icon, const QRect& at) {
        auto* button = ::pictureButton<QPushButton>(Frame1, name, tip, icon, 24);
        place(button, at);
        return button;
    };
    const QStyle* look = style();
    cmdAdd = pictureButton("cmdAdd", config_.addTip,
                           themedIcon("list-add", QStyle::SP_DialogApplyButton, look),
                           QRect(4080, 120, 735, 615));
    cmdDel = pictureButton("cmdDel", config_.delTip,
                           themedIcon("edit-delete", QStyle::SP_TrashIcon, look),
                           QRect(4800, 120, 705, 615));
    cmdHelp = pictureButton("cmdHelp", QStringLiteral("Help"),
                            themedIcon("help-contents", QStyle::SP_DialogHelpButton, look),
                            QRect(5520, 120, 615, 615));
    cmdAdd->setDefault(true);

    mshAdd = new QTableWidget(Frame1);
    mshAdd->setObjectName(QStringLiteral("mshAdd"));
    place(mshAdd, QRect(1320, 1080, 4695, 2295));
    mshAdd->verticalHeader()->hide();
    mshAdd->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The chosen row is shown by its cell colours, not by Qt's selection.
    mshAdd->setSelectionMode(QAbstractItemView::NoSelection);
    QHeaderView* headings = mshAdd->horizontalHeader();
    headings->setSectionsMovable(true);
    headings->setSectionsClickable(true);
    headings->setSectionResizeMode(QHeaderView::Interactive);
    headings->setStretchLastSection(false);
    headings->viewport()->installEventFilter(this);

    setTabOrder(txtDesc, txtNumber);
    setTabOrder(txtNumber, cmdAdd);
    setTabOrder(cmdAdd, cmdDel);
    setTabOrder(cmdDel, cmdHelp);
    setTabOrder(cmdHelp, mshAdd);

    connect(cmdAdd, &QPushButton::clicked, this, &frmCodeList::cmdAdd_Click);
    connect(cmdDel, &QPushButton::clicked, this, &frmCodeList::cmdDel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmCodeList::cmdHelp_Click);
    // Enter in either box presses the default button, as in a dialog.
    connect(txtDesc, &QLineEdit::returnPressed, cmdAdd, &QPushButton::click);
    connect(txtNumber, &QLineEdit::returnPressed, cmdAdd, &QPushButton::click);
    connect(txtNumber, &QLineEdit::textChanged, this, &frmCodeList::txtNumber_Change);
    connect(mshAdd, &QTableWidget::cellPressed, this, &frmCodeList::mshAdd_CellPressed);
    connect(mshAdd, &QTableWidget::currentCellChanged, this,
            &frmCodeList::mshAdd_CurrentCellChanged);
    connect(headings, &QHeaderView::sectionMoved, this, &frmCodeList::mshAdd_HeadingMoved);
    connect(headings, &QHeaderView::sectionClicked, this, [this] { sortRows(); });
}

void frmCodeList::Form_Load() {
    txtDesc->clear();
    txtNumber->clear();
    const QString caption = codeListCaption(config_, appState().gClientLabel);
    setWindowTitle(caption);
    mshAdd->setAccessibleName(caption);

    std::vector<store::CodeEntry> entries;
    std::optional<qint32> highest;
    try {
        store::Store& db = appState().db();
        highest = db.highestCode(config_.table);
        entries = db.codeEntries(config_.table);
    } catch (const std::exception& error) {
        showDbError(QStringLiteral("The list could not be read."), error);
    }

    txtNumber->setText(proposedNumber(highest));
    mshAdd->setUpdatesEnabled(false);
    setUpGrid(nameColumnHeading(config_, appState().gClientLabel, entries.empty()),
              static_cast<int>(entries.size()));
    for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
        mshAdd->setItem(row, kRowNumberColumn, cell(QString::number(row + 1)));
        mshAdd->setItem(row, kNameColumn, cell(entries[row].name));
        mshAdd->setItem(row, kNumberColumn, cell(QString::number(entries[row].number)));
    }
    entryRow_ = entries.empty() ? -1 : 0;
    sortPosition_ = kNameColumn;
    {
        const QSignalBlocker quiet(mshAdd);
        mshAdd->setCurrentCell(entryRow_, kNameColumn);
    }
    mshAdd->setUpdatesEnabled(true);
}

void frmCodeList::setUpGrid(const QString& nameHeading, int rows) {
    mshAdd->clear();
    mshAdd->setColumnCount(3);
    mshAdd->setRowCount(rows);
    mshAdd->setHorizontalHeaderLabels({QString(), nameHeading, config_.numberHeading});
    QHeaderView* headings = mshAdd->horizontalHeader();
    {
        // Column moves made with the headings last only until the list reloads.
        const QSignalBlocker quiet(headings);
        for (int logical = 0; logical < 3; ++logical)
            headings->moveSection(headings->visualIndex(logical), logical);
    }
    const auto widths = gridColumnWidths(pixelsToTwips(mshAdd->width(), this));
    for (int column = 0; column < 3; ++column)
        mshAdd->setColumnWidth(column, twipsToPixels(widths[column], this));
}

void frmCodeList::cmdAdd_Click() {
    const QString number = txtNumber->text();
    const QString name = txtDesc->text();
    if (number.isEmpty() || name.isEmpty())
        return;
    if (const auto value = parseCodeNumber(number)) {
        try {
            // A number or name already in the table is refused without a
            // message: the reload below shows the list as it is.
            appState().db().addCodeEntry(config_.table, {*value, name});
        } catch (const std::exception& error) {
            // Keep what was typed, so it can be corrected.
            showDbError(QStringLiteral("The entry was not added."), error);
            txtDesc->setFocus();
            return;
        }
    }
    Form_Load();
    txtDesc->setFocus();
}

void frmCodeList::cmdDel_Click() {
    QString name;
    QString number;
    mshAdd->setUpdatesEnabled(false);
    if (entryRow_ >= 0 && entryRow_ < mshAdd->rowCount()) {
        for (int column : {kNameColumn, kNumberColumn}) {
            QTableWidgetItem* item = mshAdd->item(entryRow_, column);
            (column == kNameColumn ? name : number) = item->text();
            item->setBackground(kPlainColour);
        }
    }
    mshAdd->setUpdatesEnabled(true);

    const MsgAnswer answer = prompter().message(this, deleteQuestion(config_, name, number),
                                                kDeleteTitle, MsgIcon::None, MsgButtons::OkCancel);
    if (answer == MsgAnswer::Cancel)
        return;
    bool isNumber = false;
    const qint32 value = number.toInt(&isNumber);
    if (isNumber && !name.isEmpty()) {
        try {
            appState().db().deleteCodeEntry(config_.table, {value, name});
        } catch (const std::exception& error) {
            showDbError(QStringLiteral("The entry was not deleted."), error);
            return;
        }
    }
    Form_Load();
}

void frmCodeList::cmdHelp_Click() {
    help().open(this, kCodeListHelpTopic);
}

void frmCodeList::txtNumber_Change(const QString& text) {
    if (numberBoxAcceptable(text))
        return;
    // Emptying the box runs this check again, which the empty text passes.
    txtNumber->clear();
    prompter().message(this, config_.numericMessage, kNumericTitle, MsgIcon::Critical,
                       MsgButtons::Ok);
}

void frmCodeList::mshAdd_CellPressed(int row, int column) {
    paintEntryRow(row);
    sortPosition_ = mshAdd->horizontalHeader()->visualIndex(column);
}

void frmCodeList::mshAdd_CurrentCellChanged(int row, int column) {
    // Arrow keys choose a row as a click does. A click on a heading also
    // moves Qt's current cell; that must not change the chosen row.
    if (row < 0 || QGuiApplication::mouseButtons() != Qt::NoButton)
        return;
    mshAdd_CellPressed(row, column);
}

void frmCodeList::paintEntryRow(int row) {
    mshAdd->setUpdatesEnabled(false);
    for (int r = 0; r < mshAdd->rowCount(); ++r) {
        for (int column : {kNameColumn, kNumberColumn}) {
            if (QTableWidgetItem* item = mshAdd->item(r, column))
                item->setBackground(r == row ? kSelectedColour : kPlainColour);
        }
    }
    entryRow_ = row;
    mshAdd->setUpdatesEnabled(true);
}

void frmCodeList::mshAdd_HeadingMoved(int logical, int oldVisual, int newVisual) {
    QHeaderView* headings = mshAdd->horizontalHeader();
    if (logical == kRowNumberColumn || newVisual == 0) {
        // The row-number column stays first.
        const QSignalBlocker quiet(headings);
        headings->moveSection(newVisual, oldVisual);
    }
    sortRows();
}

void frmCodeList::sortRows() {
    const int rows = mshAdd->rowCount();
    if (rows == 0)
        return;
    const int key = mshAdd->horizontalHeader()->logicalIndex(sortPosition_);
    std::vector<QStringList> table;
    table.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        QStringList row;
        for (int column = 0; column < 3; ++column)
            row << mshAdd->item(r, column)->text();
        row << QString::number(r); // where the row came from
        table.push_back(row);
    }
    sortRowsGeneric(table, key);

    mshAdd->setUpdatesEnabled(false);
    int movedEntryRow = -1;
    for (int r = 0; r < rows; ++r) {
        for (int column = 0; column < 3; ++column)
            mshAdd->item(r, column)->setText(table[r][column]);
        if (table[r][3].toInt() == entryRow_)
            movedEntryRow = r;
    }
    // A clicked entry (painted) stays chosen wherever the sort put it. Without
    // a click the current row keeps its place: Delete then takes whatever
    // entry the sort brought there (row 1 after a load).
    if (entryRow_ >= 0 &&
        mshAdd->item(entryRow_, kNameColumn)->background().color() == kSelectedColour)
        paintEntryRow(movedEntryRow);
    mshAdd->setUpdatesEnabled(true);
}

bool frmCodeList::eventFilter(QObject* watched, QEvent* event) {
    // Pressing a heading shows the sizing pointer until the button is released.
    if (watched == mshAdd->horizontalHeader()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            setCursor(Qt::SizeHorCursor);
        else if (event->type() == QEvent::MouseButtonRelease)
            unsetCursor();
    }
    return QWidget::eventFilter(watched, event);
}

void frmCodeList::showDbError(const QString& what, const std::exception& error) {
    const auto* dbError = dynamic_cast<const store::DbError*>(&error);
    const QString detail = dbError ? dbError->message() : QString::fromLocal8Bit(error.what());
    prompter().message(this, what + QChar(13) + detail, kAppTitle, MsgIcon::Critical,
                       MsgButtons::Ok);
}

void frmCodeList::closeEvent(QCloseEvent* event) {
    // Form_Unload: the Time Control window comes back.
    forms().show(Form::Control);
    QWidget::closeEvent(event);
}

#include "frmReportCriteria.h"

#include "DbError.h"
#include "ExportName.h"
#include "PictureButton.h"
#include "ReportBrowser.h"
#include "ReportCsv.h"
#include "ReportFiles.h"
#include "ReportPage.h"
#include "ReportPrinting.h"
#include "ReportQuery.h"
#include "ReportTexts.h"
#include "Services.h"
#include "Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStyle>
#include <QToolButton>

static void loadReportResources() {
    Q_INIT_RESOURCE(reports);
}

namespace {

void place(QWidget* control, int left, int top, int width, int height) {
    control->setGeometry(twipsToPixels(left, control), twipsToPixels(top, control),
                         twipsToPixels(width, control), twipsToPixels(height, control));
}

QDateEdit* datePicker(QWidget* parent, const char* name, const QString& accessible) {
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setAccessibleName(accessible);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("M/d/yyyy"));
    return picker;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(caption);
    return box;
}

// A small printer for the Print button where the desktop theme has none.
QIcon drawnPrinterIcon() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter paint(&picture);
    paint.setRenderHint(QPainter::Antialiasing);
    paint.setPen(QPen(Qt::black, 1.5));
    paint.setBrush(Qt::white);
    paint.drawRect(QRectF(9, 3, 14, 10)); // paper going in
    paint.setBrush(QColor(0x70, 0x70, 0x70));
    paint.drawRoundedRect(QRectF(3, 11, 26, 12), 2, 2); // body
    paint.setBrush(Qt::white);
    paint.drawRect(QRectF(8, 19, 16, 10)); // paper coming out
    paint.drawLine(QPointF(11, 23), QPointF(21, 23));
    paint.drawLine(QPointF(11, 26), QPointF(19, 26));
    return QIcon(picture);
}

} // namespace

frmReportCriteria::frmReportCriteria(QWidget* parent)
    : QWidget(parent) {
    loadReportResources();
    setObjectName(QStringLiteral("frmReportCriteria"));
    setWindowTitle(kReportTitle);

    const QStyle* look = style();
    cmdExport = pictureButton("cmdExport", QStringLiteral("Export"),
                              look->standardIcon(QStyle::SP_DialogSaveButton));
    cmdViewReport = pictureButton("cmdViewReport", QStringLiteral("Print Preview"),
                                  look->standardIcon(QStyle::SP_FileDialogContentsView));
    cmdPrint =
        pictureButton("cmdPrint", QStringLiteral("Print"),
                      QIcon::fromTheme(QStringLiteral("document-print"), drawnPrinterIcon()));
    cmdHelp = pictureButton("cmdHelp", QStringLiteral("Help"),
                            look->standardIcon(QStyle::SP_DialogHelpButton));

    lblFrom = new QLabel(QStringLiteral("From:"), this);
    lblFrom->setObjectName(QStringLiteral("lblFrom"));
    DTPFrom = datePicker(this, "DTPFrom", QStringLiteral("From"));
    lblFrom->setBuddy(DTPFrom);
    lblTo = new QLabel(QStringLiteral("To:"), this);
    lblTo->setObjectName(QStringLiteral("lblTo"));
    DTPTo = datePicker(this, "DTPTo", QStringLiteral("To"));
    lblTo->setBuddy(DTPTo);
    chkDaily = checkBox(this, "chkDaily", QStringLiteral("Daily Totals"));
    chkMins = checkBox(this, "chkMins", QStringLiteral("Display Mins"));

    wbReport = new ReportBrowser(this);
    wbReport->setObjectName(QStringLiteral("wbReport"));
    wbReport->setAccessibleName(kReportTitle);

    placeControls();

    connect(cmdExport, &QToolButton::clicked, this, &frmReportCriteria::cmdExport_Click);
    connect(cmdViewReport, &QToolButton::clicked, this, &frmReportCriteria::cmdViewReport_Click);
    connect(cmdPrint, &QToolButton::clicked, this, &frmReportCriteria::cmdPrint_Click);
    connect(cmdHelp, &QToolButton::clicked, this, &frmReportCriteria::cmdHelp_Click);
    connect(chkDaily, &QCheckBox::clicked, this, &frmReportCriteria::chkDaily_Click);
    connect(chkMins, &QCheckBox::clicked, this, &frmReportCriteria::chkMins_Click);
    connect(DTPFrom, &QDateEdit::dateChanged, this, &frmReportCriteria::Report);
    connect(DTPTo, &QDateEdit::dateChanged, this, &frmReportCriteria::Report);

    Form_Load();
}

QToolButton* frmReportCriteria::pictureButton(const char* name, const QString& tip,
                                              const QIcon& icon) {
    return ::pictureButton(this, name, tip, icon, 32);
}

void frmReportCriteria::placeControls() {
    place(cmdExport, 120, 0, 855, 615);
    place(cmdViewReport, 960, 0, 855, 615);
    place(cmdPrint, 1800, 0, 975, 615);
    place(cmdHelp, 2760, 0, 735, 615);
    // The date pickers are 135 twips wider than designed: their longest date
    // needs it at the default font.
    place(lblFrom, 3690, 120, 555, 240);
    place(DTPFrom, 4290, 120, 1470, 375);
    place(lblTo, 3930, 600, 300, 240);
    place(DTPTo, 4320, 600, 1470, 375);
    place(chkDaily, 6120, 120, 1335, 375);
    place(chkMins, 6120, 600, 1455, 375);
    place(wbReport, 0, 1200, 10455, 7215);
    resize(twipsToPixels(10455, this), twipsToPixels(1200 + 7215, this));
}

void frmReportCriteria::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The page takes whatever room the window has below the criteria.
    const int top = twipsToPixels(1200, this);
    wbReport->setGeometry(0, top, width(), std::max(0, height() - top));
}

void frmReportCriteria::Form_Load() {
    {
        // The criteria are set up first; the report then runs once.
        const QSignalBlocker fromBlocker(DTPFrom);
        const QSignalBlocker toBlocker(DTPTo);
        const auto [from, to] = defaultReportRange(appClock().now().date());
        DTPFrom->setDate(from);
        DTPTo->setDate(to);
    }
    chkDaily->setChecked(settings().int32(keys::chkDaily) != 0);
    chkMins->setChecked(settings().int32(keys::chkMins) != 0);
    Report();
}

void frmReportCriteria::showError(const QString& text) {
    prompter().message(this, text, kReportTitle, MsgIcon::Critical, MsgButtons::Ok);
}

void frmReportCriteria::Report() {
    ReportPageTexts texts;
    texts.company = settings().text(keys::Comp);
    texts.employee = settings().text(keys::Emp);
    texts.clientLabel = appState().gClientLabel;
    texts.daily = chkDaily->isChecked();
    texts.minutes = chkMins->isChecked();

    wbReport->setSource(blankPageUrl());
    // report.htm on disk belongs to the last run that wrote it, which may have
    // had other criteria; until this run has written it, it is not shown.
    pageWritten_ = false;
    std::vector<ReportRow> rows;
    try {
        rows = appState().db().reportRows(
            ReportCriteria{DTPFrom->date(), DTPTo->date(), texts.daily, appState().gEmployee});
    } catch (const store::DbError& error) {
        showError(kQueryFailedText + error.message());
        return;
    }
    const QString path = reportPagePath();
    const QString failure = writeWholeFile(path, reportPage(texts, rows));
    if (!failure.isEmpty()) {
        showError(kPageFailedText + path + QChar(13) + failure);
        return;
    }
    pageWritten_ = true;
    if (!rows.empty())
        wbReport->setSource(QUrl::fromLocalFile(path));
}

void frmReportCriteria::chkDaily_Click() {
    settings().setInt(keys::chkDaily, chkDaily->isChecked() ? 1 : 0);
    Report();
}

void frmReportCriteria::chkMins_Click() {
    settings().setInt(keys::chkMins, chkMins->isChecked() ? 1 : 0);
    Report();
}

void frmReportCriteria::cmdViewReport_Click() {
    // After a failed run the preview shows the blank page, never an older report.
    wbReport->setSource(pageWritten_ ? QUrl::fromLocalFile(reportPagePath()) : blankPageUrl());
    auto* preview = new QPrintPreviewDialog(this);
    preview->setObjectName(QStringLiteral("previewReport"));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    connect(preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { wbReport->document()->print(printer); });
    preview->open();
}

void frmReportCriteria::cmdPrint_Click() {
    printWithoutDialog(this, *wbReport->document(), QPrinterInfo::availablePrinters());
}

void frmReportCriteria::cmdExport_Click() {
    const bool daily = chkDaily->isChecked();
    std::vector<ReportRow> rows;
    try {
        rows = appState().db().reportRows(
            ReportCriteria{DTPFrom->date(), DTPTo->date(), daily, appState().gEmployee});
    } catch (const store::DbError& error) {
        showError(kQueryFailedText + error.message());
        return;
    }
    if (rows.empty()) {
        prompter().message(this, kNoRecordsText, kReportTitle, MsgIcon::Information,
                           MsgButtons::Ok);
        return;
    }

    QString folder = settings().text(keys::sExport);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const QFileInfo proposal(proposedExportPath(folder, appState().gEmployee));
    const FileRequest request{QStringLiteral("Export"), proposal.path(), proposal.fileName(),
                              kCsvFilter};
    std::optional<QString> chosen = prompter().saveFileName(this, request);
    if (!chosen)
        return; // cancelled: nothing written, the folder is kept
    if (QFileInfo(*chosen).suffix().isEmpty())
        *chosen += QStringLiteral(".csv");
    settings().setText(keys::sExport, exportFolderOf(*chosen));

    const QByteArray bytes =
        reportCsv(rows, daily, chkMins->isChecked(), appState().gClientLabel, appState().gEmployee);
    const QString failure = writeWholeFile(*chosen, bytes);
    if (!failure.isEmpty())
        showError(kExportFailedText + *chosen + QChar(13) + failure);
}

void frmReportCriteria::cmdHelp_Click() {
    help().open(this, kHelpTopic);
}

void frmReportCriteria::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    forms().show(Form::Control);
}

#pragma once

#include <QWidget>

class QCheckBox;
class QDateEdit;
class QLabel;
class QToolButton;
class ReportBrowser;

// The report window: sums the employee's time over a range of days, shows
// the sums as a page, previews, prints and exports them. The page is rebuilt
// whenever a criterion changes.
class frmReportCriteria : public QWidget {
    Q_OBJECT
public:
    explicit frmReportCriteria(QWidget* parent = nullptr);

    // Builds report.htm for the current criteria and shows it (or the blank
    // page when nothing is found or something failed).
    void Report();

    void chkDaily_Click();
    void chkMins_Click();
    void cmdViewReport_Click();
    void cmdPrint_Click();
    void cmdExport_Click();
    void cmdHelp_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* pictureButton(const char* name, const QString& tip, const QIcon& icon);
    void placeControls();
    void Form_Load();
    void showError(const QString& text);

    QToolButton* cmdExport = nullptr;
    QToolButton* cmdViewReport = nullptr;
    QToolButton* cmdPrint = nullptr;
    QToolButton* cmdHelp = nullptr;
    QLabel* lblFrom = nullptr;
    QDateEdit* DTPFrom = nullptr;
    QLabel* lblTo = nullptr;
    QDateEdit* DTPTo = nullptr;
    QCheckBox* chkDaily = nullptr;
    QCheckBox* chkMins = nullptr;
    ReportBrowser* wbReport = nullptr;
    bool pageWritten_ = false; // report.htm holds the current criteria
};

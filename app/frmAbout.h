#pragma once

#include <QDialog>

// The About box: product name, version, OK and a system-information button.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    void cmdOK_Click();
    void cmdSysInfo_Click();
};

// "Version " and the major, minor and revision numbers of `version`
// ("1.2" reads Version 1.2.0).
QString versionText(const QString& version);

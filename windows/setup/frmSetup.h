#pragma once

#include <QWidget>

class QGroupBox;
class PathLabel;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace store {
class Store;
}

// The Time and Settings window: who the user is, the wording of the client
// field, the capture frequency, the days of records to keep, and which
// database file to use; it also starts compaction and the purge.
class frmSetup : public QWidget {
    Q_OBJECT
public:
    explicit frmSetup(QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void cmdAdd_Click();
    void cmdDatabase_Click();
    void cmdHelp_Click();
    void cmdCompact_Click();
    void cmdDelete_Click();
    // On a server only its administrator compacts; anyone else is told that
    // it maintains itself. True when the compaction may go on.
    bool compactsServer();
    // True when the closing must be cancelled. `usable`: the database named
    // in the settings is there and opens.
    bool Form_QueryUnload(bool usable);
    void Form_Unload(bool usable);

    void showLocation();
    // The open database of the file the settings name, opened if needed.
    store::Store& databaseForMaintenance();

    QLineEdit* txtEmp = nullptr;
    QLineEdit* txtComp = nullptr;
    QLineEdit* txtFreq = nullptr;
    QLineEdit* txtDaysOld = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* optClient = nullptr;
    QRadioButton* optProject = nullptr;
    PathLabel* lblLocation = nullptr;
    QPushButton* cmdDatabase = nullptr;
    QPushButton* cmdCompact = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdHelp = nullptr;
};

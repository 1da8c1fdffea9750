#pragma once

#include "CodeListConfig.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The client list and the work-code list: one window, configured by a
// CodeListConfig. Shows the table in a grid by number, adds an entry with the
// next number proposed, and deletes the entry chosen in the grid after a
// question. Closing it brings the Time Control window back.
class frmCodeList : public QWidget {
    Q_OBJECT
public:
    explicit frmCodeList(const CodeListConfig& config, QWidget* parent = nullptr);

    // Grid columns by meaning (logical columns; a heading drag only changes
    // where they are shown).
    static constexpr int kRowNumberColumn = 0;
    static constexpr int kNameColumn = 1;
    static constexpr int kNumberColumn = 2;
    // Background of the chosen row's cells and of every other row's.
    static const QColor kSelectedColour;
    static const QColor kPlainColour;

    // The data row the delete button acts on (0 = first data row), -1 if none.
    int entryRow() const { return entryRow_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void cmdAdd_Click();
    void cmdDel_Click();
    void cmdHelp_Click();
    void txtNumber_Change(const QString& text);
    void mshAdd_CellPressed(int row, int column);
    void mshAdd_CurrentCellChanged(int row, int column);
    void mshAdd_HeadingMoved(int logical, int oldVisual, int newVisual);

    void buildControls();
    void setUpGrid(const QString& nameHeading, int rows);
    void paintEntryRow(int row);
    void sortRows();
    void showDbError(const QString& what, const std::exception& error);

    const CodeListConfig& config_;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtDesc = nullptr;
    QLineEdit* txtNumber = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdDel = nullptr;
    QPushButton* cmdHelp = nullptr;
    QTableWidget* mshAdd = nullptr;

    int entryRow_ = -1;
    // Screen position of the column last clicked; the rows sort by the column
    // shown there.
    int sortPosition_ = kNameColumn;
};

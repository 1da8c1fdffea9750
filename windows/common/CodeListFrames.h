#pragma once

#include "CodeRows.h"
#include "Functions.h"
#include "ListPair.h"
#include "Records.h"

#include <QObject>
#include <QRect>
#include <array>
#include <optional>
#include <vector>

class QGroupBox;
class QLabel;
class QListWidget;
class QWidget;
struct SavedLayout;

// Where one frame's two headings and two lists stand inside the frame, in
// twips. Each list starts right under its heading.
struct CodeColumns {
    int top = 0; // of the headings
    int listHeight = 0;
    int heading1Width = 0;
    int list1Width = 0;
    int left2 = 0; // of the second heading and list
    int width2 = 0;
};

// The rows the two pairs show, read before anything on screen changes.
struct CodeListRows {
    std::vector<CodeRow> clients;
    std::vector<CodeRow> work;
};

// The client and work-code lists of a recording window: the "Client
// Information" and "Work Detail" frames with their headings and lists, the
// two list pairs, and the second-list toggles on a click of a frame or a
// heading. The window passes in its widths and places the frames.
class CodeListFrames : public QObject {
    Q_OBJECT
public:
    // `frameDoubleClickToggles`: a frame's double click toggles once more
    // after its first click (a heading's double click never does).
    CodeListFrames(QWidget* window, const SecondListToggle& clientToggle,
                   const SecondListToggle& workToggle, bool frameDoubleClickToggles);

    void place(const QRect& clientFrame, const CodeColumns& client, const QRect& workFrame,
               const CodeColumns& work);

    // The saved headings, the frame title and the lists' accessible names, then
    // the second lists' visibility and the first lists' widths as given.
    void applyLayout(const SavedLayout& layout, int client1Width, int work1Width);

    // Reads the client and work rows by the fields the settings chose.
    static CodeListRows readRows();
    void clear();
    // Fills both pairs, selecting the client and work code of `latest`.
    void fill(const CodeListRows& rows, const std::optional<store::ActivityRecord>& latest);

    SelectionState selection() const;
    // Sets the client and work fields of `record` from the selected entries;
    // throws store::DbError when a number list's text is not a whole number.
    void takeSelection(store::ActivityRecord& record, const QString& clientLabel) const;

    QGroupBox* Frame2;
    QGroupBox* Frame1;
    QLabel* lblClient1;
    QLabel* lblClient2;
    QLabel* lblWork1;
    QLabel* lblWork2;
    QListWidget* lstClient1;
    QListWidget* lstClient2;
    QListWidget* lstWork1;
    QListWidget* lstWork2;
    ListPair* clientPair;
    ListPair* workPair;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Puts the headings back where the design has them, then gives a caption
    // that needs more room what it needs (see fitHeading).
    void placeHeadings();

    QWidget* window_;
    bool frameDoubleClickToggles_;
    std::array<QRect, 4> headingDesign_{}; // pixels; client 1 and 2, work 1 and 2
    QObject* ignoreReleaseOn_ = nullptr;   // the release that ends a double click
};

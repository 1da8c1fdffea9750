#pragma once

#include "CodeRows.h"
#include "Settings.h"

#include <QObject>
#include <QString>
#include <vector>

class QListWidget;

// What the second-list toggle of one pair does: the first list's width with
// the second list shown and hidden, and what it saves under which keys. The
// window that owns the pair supplies these (the windows differ in widths).
struct SecondListToggle {
    SettingKey visibleKey;
    SettingKey widthKey;
    int firstWidthShown = 0; // twips
    int firstWidthHidden = 0;
    int savedWidthShown = 0; // the number saved under widthKey
    int savedWidthHidden = 0;
};

// Two list boxes showing two fields of the same rows, kept on the same entry:
// entry i of the first list and entry i of the second come from one row. The
// second list carries the key (client number or work code) and can be hidden.
//
// Whatever changes the selection of one list (mouse, keyboard, assistive
// technology, the program) carries it to the other at once, so a record never
// takes a name from one row and a number from another.
class ListPair : public QObject {
    Q_OBJECT
public:
    ListPair(QListWidget* first, QListWidget* second, SecondListToggle toggle,
             QObject* parent = nullptr);

    // Refills both lists; each entry whose second text equals `key` is selected
    // right after it is added, so the last match ends up selected.
    void fill(const std::vector<CodeRow>& rows, const QString& key);
    void clear();

    // Carries the selected index of `source` (-1 too) to its partner and sets
    // both tooltips to their selected texts. Runs on every selection change.
    void pairFrom(QListWidget* source);

    // Hides a shown second list (or shows a hidden one), sets the first list's
    // width and saves both.
    void toggleSecond();
    void setSecondVisible(bool visible);
    void setFirstWidth(int twips);
    bool secondVisible() const;
    int firstWidth() const { return firstWidth_; }

    // -1 when nothing is selected.
    static int selectedRow(const QListWidget* list);
    static QString selectedText(const QListWidget* list);
    // The first and second texts of the selected row; empty when none is.
    CodeRow selectedEntry() const;

    QListWidget* first() const { return first_; }
    QListWidget* second() const { return second_; }

private:
    QListWidget* first_;
    QListWidget* second_;
    SecondListToggle toggle_;
    int firstWidth_ = 0;
    bool pairing_ = false; // the partner's own change signal is not a new change
};

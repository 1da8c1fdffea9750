#include "ListPair.h"

#include "Services.h"
#include "Twips.h"

#include <QEvent>
#include <QListWidget>

ListPair::ListPair(QListWidget* first, QListWidget* second, SecondListToggle toggle,
                   bool pairOnFocus, QObject* parent)
    : QObject(parent)
    , first_(first)
    , second_(second)
    , toggle_(toggle)
    , pairOnFocus_(pairOnFocus)
    , firstWidth_(toggle.firstWidthShown) {
    for (QListWidget* list : {first_, second_}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        // Mouse moves arrive at the viewport, and only with tracking on.
        list->setMouseTracking(true);
        list->viewport()->setMouseTracking(true);
        list->viewport()->installEventFilter(this);
        list->installEventFilter(this);
    }
}

void ListPair::clear() {
    first_->clear();
    second_->clear();
}

void ListPair::fill(const std::vector<CodeRow>& rows, const QString& key) {
    clear();
    for (const CodeRow& row : rows) {
        first_->addItem(row.first);
        second_->addItem(row.second);
        if (!key.isEmpty() && row.second == key) {
            first_->setCurrentRow(first_->count() - 1);
            second_->setCurrentRow(second_->count() - 1);
        }
    }
}

int ListPair::selectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

QString ListPair::selectedText(const QListWidget* list) {
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

void ListPair::pairFrom(QListWidget* source) {
    QListWidget* partner = source == first_ ? second_ : first_;
    const int row = selectedRow(source);
    if (row < 0 || row >= partner->count()) {
        partner->clearSelection();
        partner->setCurrentRow(-1);
    } else {
        partner->setCurrentRow(row);
    }
    second_->setToolTip(selectedText(second_));
    first_->setToolTip(selectedText(first_));
}

bool ListPair::eventFilter(QObject* watched, QEvent* event) {
    const bool mouseMove = event->type() == QEvent::MouseMove;
    const bool focusIn = pairOnFocus_ && event->type() == QEvent::FocusIn;
    if (mouseMove || focusIn) {
        for (QListWidget* list : {first_, second_})
            if (watched == list || watched == list->viewport())
                pairFrom(list);
    }
    return QObject::eventFilter(watched, event);
}

void ListPair::setSecondVisible(bool visible) {
    second_->setVisible(visible);
}

bool ListPair::secondVisible() const {
    return !second_->isHidden();
}

void ListPair::setFirstWidth(int twips) {
    firstWidth_ = twips;
    first_->resize(twipsToPixels(twips, first_), first_->height());
}

void ListPair::toggleSecond() {
    const bool show = !secondVisible();
    setSecondVisible(show);
    setFirstWidth(show ? toggle_.firstWidthShown : toggle_.firstWidthHidden);
    settings().setBool(toggle_.visibleKey, show);
    settings().setInt(toggle_.widthKey, show ? toggle_.savedWidthShown : toggle_.savedWidthHidden);
}

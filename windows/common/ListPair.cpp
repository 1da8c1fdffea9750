#include "ListPair.h"

#include "Services.h"
#include "Twips.h"

#include <QListWidget>

ListPair::ListPair(QListWidget* first, QListWidget* second, SecondListToggle toggle,
                   QObject* parent)
    : QObject(parent)
    , first_(first)
    , second_(second)
    , toggle_(toggle)
    , firstWidth_(toggle.firstWidthShown) {
    for (QListWidget* list : {first_, second_}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        // The selection, not the current item: assistive technology may
        // select a row without making it current.
        connect(list, &QListWidget::itemSelectionChanged, this, [this, list] { pairFrom(list); });
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

CodeRow ListPair::selectedEntry() const {
    // One row for both texts, even if the lists were ever out of step.
    const int row = selectedRow(first_);
    if (row < 0 || row >= second_->count())
        return {};
    return {first_->item(row)->text(), second_->item(row)->text()};
}

void ListPair::pairFrom(QListWidget* source) {
    if (pairing_)
        return;
    pairing_ = true;
    QListWidget* partner = source == first_ ? second_ : first_;
    const int row = selectedRow(source);
    if (row < 0 || row >= partner->count()) {
        partner->clearSelection();
        partner->setCurrentRow(-1);
    } else if (selectedRow(partner) != row) {
        partner->setCurrentRow(row);
    }
    pairing_ = false;
    second_->setToolTip(selectedText(second_));
    first_->setToolTip(selectedText(first_));
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

#include "BoxWait.h"

#include <QWidget>
#include <algorithm>
#include <vector>

namespace {

std::vector<const BoxWait*>& openBoxes() {
    static std::vector<const BoxWait*> boxes;
    return boxes;
}

std::function<void()>& answeredHook() {
    static std::function<void()> hook;
    return hook;
}

} // namespace

BoxWait::BoxWait(QWidget* owner)
    : owner_(owner) {
    openBoxes().push_back(this);
}

BoxWait::~BoxWait() {
    std::erase(openBoxes(), this);
    if (answeredHook())
        answeredHook()();
}

bool BoxWait::waiting(const QWidget* window) {
    return window && std::any_of(openBoxes().begin(), openBoxes().end(), [window](auto* box) {
               const QWidget* owner = box->owner_;
               return owner && (owner == window || window->isAncestorOf(owner));
           });
}

void BoxWait::setAnsweredHook(std::function<void()> hook) {
    answeredHook() = std::move(hook);
}

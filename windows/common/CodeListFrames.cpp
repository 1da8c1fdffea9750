#include "CodeListFrames.h"

#include "Clicks.h"
#include "SavedLayout.h"
#include "Services.h"
#include "Twips.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>

namespace {

constexpr int kHeadingHeight = 240; // twips

QLabel* heading(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QListWidget* list(const char* name, QWidget* parent) {
    auto* box = new QListWidget(parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QGroupBox* frame(const char* name, const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

// A caption wider than its heading's design width first takes the room to
// the heading's right, up to `rightLimit`, then the room to its left: the
// heading moves the least that shows the whole caption.
void fitHeading(QLabel* heading, const QRect& design, int rightLimit) {
    QRect at = design;
    const int needs = heading->sizeHint().width();
    if (needs > at.width()) {
        at.setRight(std::max(at.right(), std::min(rightLimit, at.left() + needs - 1)));
        at.setLeft(std::max(0, at.right() + 1 - needs));
    }
    heading->setGeometry(at);
}

} // namespace

CodeListFrames::CodeListFrames(QWidget* window, const SecondListToggle& clientToggle,
                               const SecondListToggle& workToggle, bool frameDoubleClickToggles)
    : QObject(window)
    , window_(window)
    , frameDoubleClickToggles_(frameDoubleClickToggles) {
    Frame2 = frame("Frame2", QStringLiteral("Client Information"), window);
    Frame1 = frame("Frame1", QStringLiteral("Work Detail"), window);
    lblClient1 = heading("lblClient1", Frame2);
    lblClient2 = heading("lblClient2", Frame2);
    lstClient1 = list("lstClient1", Frame2);
    lstClient2 = list("lstClient2", Frame2);
    lblWork1 = heading("lblWork1", Frame1);
    lblWork2 = heading("lblWork2", Frame1);
    lstWork1 = list("lstWork1", Frame1);
    lstWork2 = list("lstWork2", Frame1);
    for (QObject* clickable : {static_cast<QObject*>(Frame2), static_cast<QObject*>(Frame1),
                               static_cast<QObject*>(lblClient1), static_cast<QObject*>(lblClient2),
                               static_cast<QObject*>(lblWork1), static_cast<QObject*>(lblWork2)})
        clickable->installEventFilter(this);
    clientPair = new ListPair(lstClient1, lstClient2, clientToggle, window);
    workPair = new ListPair(lstWork1, lstWork2, workToggle, window);
}

void CodeListFrames::place(const QRect& clientFrame, const CodeColumns& client,
                           const QRect& workFrame, const CodeColumns& work) {
    const auto px = [this](int twips) { return twipsToPixels(twips, window_); };
    const auto put = [&](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(px(left), px(top), px(width), px(height));
    };
    const auto columns = [&](QLabel* heading1, QListWidget* list1, QLabel* heading2,
                             QListWidget* list2, const CodeColumns& c) {
        const int listTop = c.top + kHeadingHeight;
        put(heading1, 120, c.top, c.heading1Width, kHeadingHeight);
        put(list1, 120, listTop, c.list1Width, c.listHeight);
        put(heading2, c.left2, c.top, c.width2, kHeadingHeight);
        put(list2, c.left2, listTop, c.width2, c.listHeight);
        list2->raise();
    };
    put(Frame2, clientFrame.x(), clientFrame.y(), clientFrame.width(), clientFrame.height());
    put(Frame1, workFrame.x(), workFrame.y(), workFrame.width(), workFrame.height());
    columns(lblClient1, lstClient1, lblClient2, lstClient2, client);
    columns(lblWork1, lstWork1, lblWork2, lstWork2, work);
    headingDesign_ = {lblClient1->geometry(), lblClient2->geometry(), lblWork1->geometry(),
                      lblWork2->geometry()};
    placeHeadings();
}

void CodeListFrames::placeHeadings() {
    // A first heading may grow up to the second; the second up to just
    // inside its frame's border.
    const auto pair = [](QLabel* first, const QRect& design1, QLabel* second, const QRect& design2,
                         const QGroupBox* frame) {
        fitHeading(first, design1, design2.left() - 1);
        fitHeading(second, design2, frame->width() - 3);
    };
    pair(lblClient1, headingDesign_[0], lblClient2, headingDesign_[1], Frame2);
    pair(lblWork1, headingDesign_[2], lblWork2, headingDesign_[3], Frame1);
}

void CodeListFrames::applyLayout(const SavedLayout& layout, int client1Width, int work1Width) {
    lblClient1->setText(layout.lblClient1);
    lblClient2->setText(layout.lblClient2);
    lblWork1->setText(layout.lblWork1);
    lblWork2->setText(layout.lblWork2);
    Frame2->setTitle(layout.frame2);
    placeHeadings();
    lstClient1->setAccessibleName(layout.lblClient1);
    lstClient2->setAccessibleName(layout.lblClient2);
    lstWork1->setAccessibleName(layout.lblWork1);
    lstWork2->setAccessibleName(layout.lblWork2);
    workPair->setSecondVisible(layout.work2Visible);
    workPair->setFirstWidth(work1Width);
    clientPair->setSecondVisible(layout.client2Visible);
    clientPair->setFirstWidth(client1Width);
}

CodeListRows CodeListFrames::readRows() {
    AppState& state = appState();
    return {clientRows(state.db(), state.strClient1, state.strClient2),
            workRows(state.db(), state.strWork1, state.strWork2)};
}

void CodeListFrames::clear() {
    clientPair->clear();
    workPair->clear();
}

void CodeListFrames::fill(const CodeListRows& rows,
                          const std::optional<store::ActivityRecord>& latest) {
    clientPair->fill(rows.clients, latest ? QString::number(latest->clientNumber) : QString());
    workPair->fill(rows.work, latest ? QString::number(latest->workCode) : QString());
}

SelectionState CodeListFrames::selection() const {
    return {ListPair::selectedRow(lstClient1) >= 0, ListPair::selectedRow(lstClient2) >= 0,
            ListPair::selectedRow(lstWork1) >= 0, ListPair::selectedRow(lstWork2) >= 0};
}

void CodeListFrames::takeSelection(store::ActivityRecord& record,
                                   const QString& clientLabel) const {
    const CodeRow client = clientPair->selectedEntry();
    const CodeRow work = workPair->selectedEntry();
    record.clientNumber =
        store::wholeNumberOf(client.second, clientLabel.toLower() + QStringLiteral(" number"));
    record.clientName = client.first;
    record.workDescription = work.first;
    record.workCode = store::wholeNumberOf(work.second, QStringLiteral("work code"));
}

bool CodeListFrames::eventFilter(QObject* watched, QEvent* event) {
    const bool client = watched == Frame2 || watched == lblClient1 || watched == lblClient2;
    const bool frame = watched == Frame2 || watched == Frame1;
    const auto toggle = [&] { (client ? clientPair : workPair)->toggleSecond(); };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        ignoreReleaseOn_ = nullptr;
        break;
    case QEvent::MouseButtonDblClick:
        // The release after a double click is not a click of its own.
        ignoreReleaseOn_ = watched;
        if (frame && frameDoubleClickToggles_ && isLeftDoubleClick(event))
            toggle();
        return true;
    case QEvent::MouseButtonRelease:
        if (ignoreReleaseOn_ == watched)
            ignoreReleaseOn_ = nullptr;
        else if (endsLeftClick(static_cast<QWidget*>(watched), event))
            toggle();
        // Consumed here, so a heading's release does not reach its frame too.
        return true;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

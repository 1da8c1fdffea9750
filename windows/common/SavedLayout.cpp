#include "SavedLayout.h"

#include "AppState.h"
#include "CodeRows.h"
#include "Settings.h"

#include <QStringList>
#include <QWidget>

namespace {

// Widths are twips; anything outside what a window could show is not a width.
int widthOr(const Settings& settings, const SettingKey& key) {
    const qint32 width = settings.int32(key);
    if (width < 0 || width > 30000)
        return settings.defaultFor(key).toInt();
    return width;
}

} // namespace

SavedLayout readSavedLayout(const Settings& s) {
    SavedLayout layout;
    layout.clientLabel = s.text(keys::lblClient1);
    layout.employee = s.text(keys::Emp);
    layout.lblClient1 = s.text(keys::lblClient1);
    layout.lblClient2 = s.text(keys::lblClient2);
    layout.lblWork1 = s.text(keys::lblWork1);
    layout.lblWork2 = s.text(keys::lblWork2);
    layout.frame2 = s.text(keys::Frame2);
    layout.work2Visible = s.boolean(keys::lstWork2Vis);
    layout.work1Width = widthOr(s, keys::lstWork1Wit);
    layout.client2Visible = s.boolean(keys::lstClient2Vis);
    layout.client1Width = widthOr(s, keys::lstClient1Wit);
    layout.strClient1 = clientFieldOr(s.text(keys::strClient1), s.defaultFor(keys::strClient1));
    layout.strClient2 = clientFieldOr(s.text(keys::strClient2), s.defaultFor(keys::strClient2));
    layout.strWork1 = workFieldOr(s.text(keys::strWork1), s.defaultFor(keys::strWork1));
    layout.strWork2 = workFieldOr(s.text(keys::strWork2), s.defaultFor(keys::strWork2));
    layout.strBeginWork = s.text(keys::strBeginWork);
    layout.intMinTimer = s.int16(keys::intMinTimer);
    return layout;
}

void applySavedLayout(const SavedLayout& layout, AppState& state) {
    state.gClientLabel = layout.clientLabel;
    state.gEmployee = state.employeeOr(layout.employee);
    state.strClient1 = layout.strClient1;
    state.strClient2 = layout.strClient2;
    state.strWork1 = layout.strWork1;
    state.strWork2 = layout.strWork2;
    state.strBeginWork = layout.strBeginWork;
    state.intMinTimer = layout.intMinTimer;
}

int activityLogClient1Width(int storedClient1Width) {
    return storedClient1Width == 2055 ? 2175 : 3135;
}

int activityLogWork1Width(int storedWork1Width) {
    return storedWork1Width == 1800 ? 2295 : 3135;
}

void applyLayoutIfTarget(QWidget* window, const SavedLayout& layout) {
    if (auto* target = dynamic_cast<SavedLayoutTarget*>(window))
        target->applyLayout(layout);
}

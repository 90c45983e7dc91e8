// The panel and the settings windows; see settings_link.h.
#include "app/settings_link.h"

#include "dialogs/settings_ui.h"
#include "panel/panel_window.h"
#include "settings/settings_store.h"
#include "toolkit/property_table.h"

namespace pt {
namespace {

constexpr int kDragBorder = 5;

}  // namespace

void ConnectSettingsUi(PanelWindow& panel, SettingsUi& ui) {
    ui.SetOwner(panel.Handle());
    panel.SetMenuButtonHandler([&ui] { ui.OpenSettings(0); });
    panel.SetSkinButtonHandler([&ui] { ui.OpenSkinWindow(); });
}

SettingsFollower::SettingsFollower(SettingsStore& settings, PanelWindow& panel,
                                   std::function<void(int*, int*)> currentIndices)
    : settings_(settings), panel_(panel), currentIndices_(std::move(currentIndices)) {
    subscription_ = settings_.Subscribe([this](std::string_view key) { Changed(key); });
}

SettingsFollower::~SettingsFollower() {
    settings_.Unsubscribe(subscription_);
}

void SettingsFollower::Changed(std::string_view key) {
    const HWND hwnd = panel_.Handle();
    Window* window = Window::FromHwnd(hwnd);
    if (!window)
        return;
    // The topmost state, the tray icon, docking, easing and the skin the
    // panel follows itself (PanelWindow::FollowSetting).
    if (key == "General.PosLock") {
        window->EnableDragCaption(!settings_.GetPosLock());
    } else if (key == "General.SizeLock") {
        const bool locked = settings_.GetSizeLock();
        const int border = locked ? 0 : kDragBorder;
        window->EnableDragBorder(!locked);
        window->SetDragBorderSize(border, border, border, border);
    } else if (key == "General.PosRemember.bEnable") {
        if (settings_.GetPosRemember()) {
            // A panel slid away at an edge is remembered where it shows.
            Rect rect = window->GetRect();
            if (panel_.Dock().IsDocking() && !panel_.Dock().IsShown())
                rect = Rect::FromSize(GetWindowProperty(hwnd, "xPos"),
                                      GetWindowProperty(hwnd, "yPos"), 0, 0);
            settings_.SetPosLast(rect.left, rect.top);
        }
    } else if (key == "General.SizeRemember.bEnable") {
        if (settings_.GetSizeRemember()) {
            const Rect rect = window->GetRect();
            settings_.SetSizeLast(rect.Width(), rect.Height());
        }
    } else if (key == "General.IndexRemember.bEnable") {
        if (settings_.GetIndexRemember() && currentIndices_) {
            int iClass = 0;
            int iGroup = 0;
            currentIndices_(&iClass, &iGroup);
            settings_.SetIndexLast(iClass, iGroup);
        }
    }
}

}  // namespace pt

// The hotkey conflict notice: raised at start when the system refused a
// hotkey. It waits half a second, then rises out of the bottom-right corner
// of the work area; "不再提醒" switches the reminder off, "查看" opens the
// settings on the Hotkeys page.
#include "dialogs/dialog_parts.h"
#include "dialogs/settings_pages.h"
#include "dialogs/settings_rules.h"
#include "dialogs/settings_ui.h"
#include "settings/settings_store.h"
#include "toolkit/dpi.h"
#include "toolkit/toolkit.h"
#include "window/dialog.h"
#include "window/skin_frame.h"

namespace pt {
namespace {

constexpr int kConflictWidth = 350;
constexpr int kConflictHeight = 250;
constexpr UINT_PTR kShowTimer = 1;
constexpr char kConflictText[] =
    "系统热键注册失败，此快捷键可能无效或已被其他的程序使用，请在选项对话框中重新设置热键。";

void SlideIn(Window& window) {
    window.KillTimer(kShowTimer);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const Rect rect = window.GetRect();
    const Size size{rect.Width(), rect.Height()};
    const std::vector<Point> steps =
        ConflictSlideSteps(Rect{work.left, work.top, work.right, work.bottom}, size);
    // Below the work area first, so showing it flashes nothing in the middle.
    window.SetPosition(work.right - size.width, work.bottom);
    window.ShowWindow(SW_SHOWNOACTIVATE);
    for (const Point& p : steps) {
        window.SetPosition(p.x, p.y);
        window.PaintNow();
        ::Sleep(kConflictSlideStepMs);
    }
}

}  // namespace

void SettingsUi::OpenHotkeyConflict() {
    if (Window::FromHwnd(conflict_) || !services_.settings)
        return;
    BuildConflict();
}

void SettingsUi::BuildConflict() {
    DialogOptions options;
    options.title = "热键冲突";
    options.width = Dpi(kConflictWidth);
    options.height = Dpi(kConflictHeight);
    options.owner = owner_;
    Dialog dialog(options);
    Window* window = dialog.GetWindow();
    if (!window)
        return;
    conflict_ = window->Hwnd();
    SettingsStore& settings = *services_.settings;

    Element* body = dialog.Body();
    auto* message = body->Add<Element>();
    message->SetWidth(SizeSpec::Fill());
    message->SetHeight(SizeSpec::Weight(1));
    message->SetPadding(Dpi(15), Dpi(15), Dpi(15), Dpi(15));
    auto* text = message->Add<TextElement>(kConflictText);
    text->SetName("message");
    text->SetTextColor(MakeColor(80, 80, 80));
    text->SetWidth(SizeSpec::Fill());
    text->SetHeight(SizeSpec::Fill());
    TextFormat wrapped;
    wrapped.vertical = TextAlign::kStart;
    wrapped.wrap = true;
    text->SetTextFormat(wrapped);
    text->SetWrapWidth(Dpi(kConflictWidth - 30));
    if (services_.font)
        text->SetFont(services_.font);

    Element* bottom = AddBottomBar(*body, Dpi(15), Dpi(11));
    CheckBox* quiet = AddGreySwitch(*bottom, "不再提醒", !settings.GetRegFailTips(), nullptr);
    quiet->SetName("quiet");
    quiet->On(ElementEvent::kCheckChanged, [&settings](Element&, const ElementEventArgs& a, bool&) {
        settings.SetRegFailTips(!a.checked);
    });
    auto* spacer = bottom->Add<Element>();
    spacer->SetWidth(SizeSpec::Weight(1));
    spacer->SetMouseThrough(true);
    Button* view = dialog.AddButton(*bottom, "查看");
    view->SetName("view");
    view->SetLookName("bkInfo_button");
    const HWND hwnd = conflict_;
    view->On(ElementEvent::kClick, [this, hwnd](Element&, const ElementEventArgs&, bool& handled) {
        handled = true;
        // The window goes once this click is over; the settings open now.
        if (Window* w = Window::FromHwnd(hwnd))
            w->Close();
        OpenSettings(kPageHotkeys);
    });

    window->OnTimer([](Window& w, UINT_PTR id, bool& handled) {
        if (id != kShowTimer)
            return;
        handled = true;
        SlideIn(w);
    });
    window->AdjustLayout();
    ApplySkinFrame(*window, CurrentSkin());
    window->SetTimer(kShowTimer, kConflictDelayMs);
}

}  // namespace pt

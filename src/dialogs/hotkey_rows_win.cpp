// The Hotkeys page of the settings window: the reminder switch and one row
// per global hotkey (enable check box, set/save button, the box that records
// a combination, the failure icon). A row edits a working text: key presses
// change only that text, and it reaches the settings and the system when
// the row is saved or switched on or off.
#include <memory>
#include <string>

#include "dialogs/message_box.h"
#include "dialogs/settings_pages.h"
#include "dialogs/settings_rules.h"
#include "settings/settings_store.h"
#include "toolkit/dpi.h"
#include "toolkit/resource_archive.h"
#include "toolkit/window.h"

namespace pt {
namespace {

constexpr char kEditGuardText[] = "当前快捷键处于编辑状态，请先保存！";
constexpr char kFailedTooltip[] = "热键注册失败，可能无效或已被其他程序使用！";
constexpr Color kFailedColor = MakeColor(242, 82, 44);

struct RowSpec {
    const char* entry;
    const char* heading;
    int firstId;  // enable check box; +1 button, +2 box, +3 failure icon
};
constexpr RowSpec kRows[] = {
    {"Pinatrove", "显示与隐藏主界面", 401},
    {"Camera", "屏幕截图", 411},
};

struct HotkeyRow {
    SettingsStore* settings = nullptr;
    HWND window = nullptr;
    std::string entry;
    std::string working;
    CheckBox* enable = nullptr;
    Button* button = nullptr;
    HotkeyBox* box = nullptr;
    Element* failed = nullptr;

    bool Editing() const { return button->IsChecked(); }
    void ShowText(std::string text) {
        working = std::move(text);
        box->SetText(working);
        box->Redraw();
    }
    // Registers the working text; the icon shows exactly when that failed.
    // The old combination goes first: a text the system refuses ("无", or
    // one another program holds) must not leave the previous hotkey working
    // behind the settings' back.
    void Register() {
        settings->UnregisterHotkey(entry);
        ShowFailure(!settings->RegisterHotkey(entry, working));
    }
    void ShowFailure(bool on) {
        failed->SetVisible(on);
        if (Window* w = failed->OwnerWindow()) {
            w->AdjustLayout();
            w->Redraw();
        }
    }
};

// GetKeyState: 0 and 1 are the two "up" states (untoggled, toggled).
bool Held(int vk) {
    const SHORT state = ::GetKeyState(vk);
    return state != 0 && state != 1;
}

std::shared_ptr<SvgImage> FailedIcon() {
    std::shared_ptr<SvgImage> image =
        SvgImage::FromBytes(ResourceArchive::Instance().ReadText("res\\appframework\\failed.svg"));
    if (image) {
        image->SetSize(Dpi(16), Dpi(16));
        image->SetFill(kFailedColor);
    }
    return image;
}

Element* AddGap(Element& line, int width) {
    auto* gap = line.Add<Element>();
    gap->SetFixedSize(Dpi(width), 1);
    gap->SetMouseThrough(true);
    return gap;
}

void BuildRow(Element& page, const RowSpec& spec, const PageContext& context) {
    SettingsStore& settings = *context.settings;
    auto row = std::make_shared<HotkeyRow>();
    row->settings = &settings;
    row->window = context.window;
    row->entry = spec.entry;
    const bool enabled = settings.GetHotkey(spec.entry, &row->working);

    AddHeading(page, spec.heading, context);
    row->enable = AddCheckOption(*AddOptionLine(page), "启用快捷键", enabled, false, context);
    row->enable->SetIdentifier(spec.firstId);

    Element* line = AddOptionLine(page);
    line->SetName("hotkey");
    row->button = line->Add<Button>("设置");
    row->button->SetIdentifier(spec.firstId + 1);
    row->button->SetCheckMode(true);
    row->button->SetFixedSize(Dpi(50), Dpi(25));
    row->button->SetLookName("sethotkey.button");
    row->button->SetFocusable(true);
    if (context.font)
        row->button->SetFont(context.font);
    AddGap(*line, 10);
    row->box = line->Add<HotkeyBox>(row->working);
    row->box->SetIdentifier(spec.firstId + 2);
    row->box->SetFixedSize(Dpi(160), Dpi(25));
    row->box->SetLookName("sethotkey.edit");
    row->box->SetEnabled(false);
    if (context.font)
        row->box->SetFont(context.font);
    AddGap(*line, 5);
    auto* failed = line->Add<PictureElement>(FailedIcon());
    failed->SetIdentifier(spec.firstId + 3);
    failed->SetFixedSize(Dpi(16), Dpi(16));
    failed->SetTooltip(kFailedTooltip);
    failed->SetVisible(false);
    row->failed = failed;
    if (enabled)
        row->Register();

    row->box->On(ElementEvent::kHotkeyKey,
                 [row](Element&, const ElementEventArgs& a, bool& handled) {
                     handled = true;
                     const HeldModifiers held{Held(VK_CONTROL), Held(VK_SHIFT), Held(VK_MENU)};
                     row->ShowText(HotkeyTextAfterPress(held, static_cast<int>(a.wParam)));
                 });
    row->box->On(ElementEvent::kKeyUp, [row](Element&, const ElementEventArgs&, bool& handled) {
        handled = true;
        const std::string text = HotkeyTextAfterRelease(row->working);
        if (text != row->working)
            row->ShowText(text);
    });

    row->button->On(ElementEvent::kCheckChanged, [row](Element&, const ElementEventArgs& a, bool&) {
        const bool editing = a.checked;
        row->button->SetText(editing ? "保存" : "设置");
        row->box->SetEnabled(editing);
        if (editing) {
            row->box->SetFocus();
            return;
        }
        // Saved: stored whatever it says ("无" included), and
        // registered when the row is on. Nothing is withdrawn
        // for a row that is off: it holds no hotkey.
        const bool on = row->enable->IsChecked();
        row->settings->SetHotkey(row->entry, row->working, on);
        if (on)
            row->Register();
        row->box->Redraw();
    });

    // A row being edited keeps its switch: the working text is not saved yet.
    auto guard = [row](bool& handled) {
        if (!row->Editing())
            return;
        handled = true;
        ShowMessageBox(row->window, kEditGuardText, {}, kMbSetOk | kMbIconInformation);
    };
    row->enable->On(ElementEvent::kLButtonDown,
                    [guard](Element&, const ElementEventArgs&, bool& handled) { guard(handled); });
    row->enable->On(ElementEvent::kKeyDown,
                    [guard](Element&, const ElementEventArgs& a, bool& handled) {
                        if (a.wParam == VK_SPACE)
                            guard(handled);
                    });
    row->enable->On(ElementEvent::kCheckChanged, [row](Element&, const ElementEventArgs& a, bool&) {
        row->settings->SetHotkey(row->entry, row->working, a.checked);
        if (a.checked) {
            row->Register();
        } else {
            row->settings->UnregisterHotkey(row->entry);
            row->ShowFailure(false);
        }
    });
}

}  // namespace

void BuildHotkeyPage(Element& page, const PageContext& context) {
    SettingsStore& s = *context.settings;
    AddHeading(page, "全局设置", context);
    AddCheckOption(*AddOptionLine(page), "热键与其他软件冲突时提醒", s.GetRegFailTips(), false,
                   context, [&s](bool on) { s.SetRegFailTips(on); });
    for (const RowSpec& spec : kRows)
        BuildRow(page, spec, context);
}

}  // namespace pt

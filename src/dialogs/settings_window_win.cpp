// The settings window: the tab column, the About, General, Action and More
// pages, and the opening rules; see settings_ui.h. The Hotkeys page lives in
// hotkey_rows_win.cpp.
#include "dialogs/settings_pages.h"
#include "dialogs/settings_rules.h"
#include "dialogs/settings_ui.h"
#include "settings/settings_store.h"
#include "toolkit/dpi.h"
#include "toolkit/ime.h"
#include "toolkit/resource_archive.h"
#include "toolkit/slider.h"
#include "window/dialog.h"

namespace pt {
namespace {

constexpr int kSettingsWidth = 580;
constexpr int kSettingsHeight = 480;
constexpr int kTabColumnWidth = 105;
constexpr int kOptionHeight = 25;
constexpr int kOptionIndent = 30;
constexpr int kFirstColumnWidth = 150;
// The tabs' radio group, and the two radio groups of the Action page.
constexpr int kTabGroup = 1000;
constexpr int kCloseGroup = 100;
constexpr int kOpenGroup = 200;
constexpr int kDragFlagGroup = 300;

void ApplyFont(TextElement& text, const PageContext& context) {
    if (context.font)
        text.SetFont(context.font);
}

void ApplyFont(Button& button, const PageContext& context) {
    if (context.font)
        button.SetFont(context.font);
}

void StyleOption(CheckBox& box, bool firstOfTwo, const PageContext& context) {
    box.SetTextColor(kSettingsTextColor);
    box.SetCursor(IDC_HAND);
    box.SetFocusable(true);
    box.SetHeight(SizeSpec::Fixed(Dpi(kOptionHeight)));
    if (firstOfTwo)
        box.SetWidth(SizeSpec::Fixed(Dpi(kFirstColumnWidth)));
    ApplyFont(box, context);
}

std::shared_ptr<SvgImage> ArchiveSvg(std::string_view entry, int size) {
    std::shared_ptr<SvgImage> image =
        SvgImage::FromBytes(ResourceArchive::Instance().ReadText(entry));
    if (image)
        image->SetSize(Dpi(size), Dpi(size));
    return image;
}

std::shared_ptr<Font> ProductFont() {
    const std::vector<uint8_t> bytes = ResourceArchive::Instance().Read("res\\Pinatrove.ttf");
    std::shared_ptr<Font> font;
    if (!bytes.empty())
        font = Font::FromMemory(bytes.data(), bytes.size(), 18);
    return font ? font : Font::Create("微软雅黑", 18);
}

}  // namespace

// ---- page pieces --------------------------------------------------------------

TextElement* AddHeading(Element& page, std::string_view text, const PageContext& context) {
    auto* heading = page.Add<TextElement>(text);
    heading->SetName("heading");
    heading->SetTextColor(kSettingsTextColor);
    ApplyFont(*heading, context);
    return heading;
}

Element* AddOptionLine(Element& page) {
    auto* line = page.Add<Element>();
    line->SetName("line");
    line->SetHorizontal(true);
    line->SetWidth(SizeSpec::Fill());
    line->SetHeight(SizeSpec::Fixed(Dpi(kOptionHeight)));
    line->SetPadding(Dpi(kOptionIndent), 0, 0, 0);
    line->SetAlign(Align::kStart, Align::kCenter);
    return line;
}

CheckBox* AddCheckOption(Element& line, std::string_view text, bool checked, bool firstOfTwo,
                         const PageContext& context, std::function<void(bool)> changed) {
    auto* box = line.Add<CheckBox>(text);
    StyleOption(*box, firstOfTwo, context);
    box->SetChecked(checked);
    if (changed) {
        box->On(ElementEvent::kCheckChanged,
                [changed = std::move(changed)](Element&, const ElementEventArgs& a, bool&) {
                    changed(a.checked);
                });
    }
    return box;
}

RadioButton* AddRadioOption(Element& line, std::string_view text, int group, bool checked,
                            bool firstOfTwo, const PageContext& context) {
    auto* radio = line.Add<RadioButton>(text, group);
    StyleOption(*radio, firstOfTwo, context);
    radio->SetChecked(checked);
    return radio;
}

// ---- pages ------------------------------------------------------------------

void BuildAboutPage(Element& page, const PageContext& context,
                    const std::vector<std::string>& pluginNames) {
    page.SetAlign(Align::kCenter, Align::kStart);
    auto* icon = page.Add<PictureElement>(ArchiveSvg("res\\appframework\\app.svg", 100));
    icon->SetName("app");
    icon->SetFixedSize(Dpi(100), Dpi(100));

    auto* product = page.Add<TextElement>("Pinatrove");
    product->SetName("product");
    product->SetFont(ProductFont());
    product->SetFixedSize(Dpi(200), Dpi(40));
    TextFormat centred;
    centred.horizontal = TextAlign::kCenter;
    product->SetTextFormat(centred);

    auto* version = page.Add<TextElement>("版本 1.1.7");
    version->SetName("version");
    version->SetTextColor(kVersionColor);
    ApplyFont(*version, context);

    if (pluginNames.empty())
        return;
    auto* plugins = page.Add<Element>();
    plugins->SetName("plugins");
    plugins->SetWidth(SizeSpec::Fill());
    plugins->SetPadding(0, Dpi(20), 0, 0);
    plugins->SetSpacing(Dpi(6));
    AddHeading(*plugins, "已加载的插件", context);
    const std::shared_ptr<SvgImage> plugIcon = ArchiveSvg("res\\appframework\\plugin.svg", 16);
    if (plugIcon)
        plugIcon->SetFill(kSettingsTextColor);
    for (const std::string& name : pluginNames) {
        auto* row = AddOptionLine(*plugins);
        row->SetName("plugin");
        row->SetSpacing(Dpi(6));
        if (plugIcon) {
            auto* picture = row->Add<PictureElement>(plugIcon);
            picture->SetFixedSize(Dpi(16), Dpi(16));
        }
        auto* text = row->Add<TextElement>(name);
        text->SetTextColor(kSettingsTextColor);
        ApplyFont(*text, context);
    }
}

void BuildGeneralPage(Element& page, const PageContext& context) {
    SettingsStore& s = *context.settings;
    AddHeading(page, "启动", context);
    AddCheckOption(*AddOptionLine(page), "开机时自动启动", s.IsAutostart(), false, context,
                   [&s](bool on) { s.SetAutostart(on); });

    AddHeading(page, "图标显示", context);
    AddCheckOption(*AddOptionLine(page), "通知区域图标", s.GetShowTrayIcon(), false, context,
                   [&s](bool on) { s.SetShowTrayIcon(on); });

    AddHeading(page, "其他设置", context);
    AddCheckOption(*AddOptionLine(page), "窗口置顶", s.GetTopMost(), false, context,
                   [&s](bool on) { s.SetTopMost(on); });
    AddCheckOption(*AddOptionLine(page), "忽略系统DPI设置（需重启）", s.GetDPIAware(), false,
                   context, [&s](bool on) { s.SetDPIAware(on); });
    AddCheckOption(*AddOptionLine(page), "显示时跟随鼠标位置", s.GetShowFollowsMouse(), false,
                   context, [&s](bool on) { s.SetShowFollowsMouse(on); });
    Element* locks = AddOptionLine(page);
    AddCheckOption(*locks, "锁定面板位置", s.GetPosLock(), true, context,
                   [&s](bool on) { s.SetPosLock(on); });
    AddCheckOption(*locks, "锁定面板大小", s.GetSizeLock(), false, context,
                   [&s](bool on) { s.SetSizeLock(on); });
    Element* remember = AddOptionLine(page);
    AddCheckOption(*remember, "记住面板位置", s.GetPosRemember(), true, context,
                   [&s](bool on) { s.SetPosRemember(on); });
    AddCheckOption(*remember, "记住面板大小", s.GetSizeRemember(), false, context,
                   [&s](bool on) { s.SetSizeRemember(on); });
    AddCheckOption(*AddOptionLine(page), "记住最后打开类别", s.GetIndexRemember(), false, context,
                   [&s](bool on) { s.SetIndexRemember(on); });
}

void BuildActionPage(Element& page, const PageContext& context) {
    SettingsStore& s = *context.settings;
    AddHeading(page, "自动隐藏面板", context);
    Element* hide = AddOptionLine(page);
    AddCheckOption(*hide, "程序启动后", s.GetHideAfterStartup(), true, context,
                   [&s](bool on) { s.SetHideAfterStartup(on); });
    AddCheckOption(*hide, "运行项目后", s.GetHideAfterExec(), false, context,
                   [&s](bool on) { s.SetHideAfterExec(on); });
    AddCheckOption(*AddOptionLine(page), "失去焦点后", s.GetHideAfterKillFocus(), false, context,
                   [&s](bool on) { s.SetHideAfterKillFocus(on); });
    AddCheckOption(*AddOptionLine(page), "停靠屏幕边缘时吸附(多屏时仅支持顶部吸附)",
                   s.GetDockPanel(), false, context, [&s](bool on) { s.SetDockPanel(on); });

    // Each pair's handler sits on the button that stands for "true".
    auto radioPair = [&](std::string_view heading, int group, std::string_view falseText,
                         std::string_view trueText, bool value, std::function<void(bool)> set) {
        AddHeading(page, heading, context);
        Element* line = AddOptionLine(page);
        AddRadioOption(*line, falseText, group, !value, true, context);
        RadioButton* yes = AddRadioOption(*line, trueText, group, value, false, context);
        yes->On(
            ElementEvent::kCheckChanged,
            [set = std::move(set)](Element&, const ElementEventArgs& a, bool&) { set(a.checked); });
    };
    radioPair("关闭主面板时", kCloseGroup, "后台运行", "退出程序", s.GetExitAfterClose(),
              [&s](bool on) { s.SetExitAfterClose(on); });
    radioPair("面板打开项目方式", kOpenGroup, "单击鼠标", "双击鼠标", s.GetDoubleClick(),
              [&s](bool on) { s.SetDoubleClick(on); });

    AddHeading(page, "其他", context);
    AddCheckOption(*AddOptionLine(page), "鼠标悬停切换分类或分组", s.GetMouseHoveCheck(), false,
                   context, [&s](bool on) { s.SetMouseHoveCheck(on); });
    AddCheckOption(*AddOptionLine(page), "Shift + 鼠标右键显示项目原生系统菜单",
                   s.GetShiftShowMenu(), false, context, [&s](bool on) { s.SetShiftShowMenu(on); });
}

void BuildMorePage(Element& page, const PageContext& context) {
    SettingsStore& s = *context.settings;
    AddHeading(page, "缓动效果", context);
    AddCheckOption(*AddOptionLine(page), "停靠屏幕边缘时收缩展开动画", s.GetEasing(), false,
                   context, [&s](bool on) { s.SetEasing(on); });

    AddHeading(page, "缓动速度", context);
    Element* speedLine = AddOptionLine(page);
    const int speed = s.GetSpeed();
    auto* level = speedLine->Add<TextElement>(SpeedLevelText(speed));
    level->SetName("speed");
    level->SetFixedSize(Dpi(100), Dpi(kOptionHeight));
    level->SetTextColor(kSettingsTextColor);
    ApplyFont(*level, context);
    auto* slider = speedLine->Add<Slider>();
    slider->SetName("speed.slider");
    slider->SetFixedSize(Dpi(150), Dpi(kOptionHeight));
    slider->SetRange(0, kSpeedSliderMax);
    slider->SetThumbSize(Dpi(20), Dpi(20));
    std::shared_ptr<SvgImage> normal = ArchiveSvg("res\\appframework\\SliderBar\\normal.svg", 20);
    std::shared_ptr<SvgImage> hover = ArchiveSvg("res\\appframework\\SliderBar\\hover.svg", 20);
    slider->SetThumbImage(VisualState::kNormal, normal);
    slider->SetThumbImage(VisualState::kHover, hover);
    slider->SetThumbImage(VisualState::kPressed, hover);
    slider->SetPosition(SpeedSliderPosition(speed));
    slider->On(ElementEvent::kSliderChange,
               [&s, level](Element& e, const ElementEventArgs& a, bool&) {
                   const int snapped = SnapSpeedPosition(static_cast<int>(a.wParam));
                   static_cast<Slider&>(e).SetPosition(snapped);
                   const int newSpeed = snapped + kSpeedOffset;
                   level->SetText(SpeedLevelText(newSpeed));
                   s.SetSpeed(newSpeed);
               });

    AddHeading(page, "拖动项目时标识", context);
    Element* flag = AddOptionLine(page);
    AddRadioOption(*flag, "工字型", kDragFlagGroup, !s.GetDragFlag(), true, context);
    RadioButton* dashed =
        AddRadioOption(*flag, "虚线边框", kDragFlagGroup, s.GetDragFlag(), false, context);
    dashed->On(ElementEvent::kCheckChanged,
               [&s](Element&, const ElementEventArgs& a, bool&) { s.SetDragFlag(a.checked); });
}

// ---- the window -------------------------------------------------------------

SettingsUi::SettingsUi(SettingsUiServices services) : services_(std::move(services)) {}

SettingsUi::~SettingsUi() {
    // Their handlers reach this object.
    for (HWND hwnd : {settings_, skins_, conflict_}) {
        if (Window* w = Window::FromHwnd(hwnd))
            w->Destroy();
    }
}

HWND SettingsUi::SettingsWindow() const {
    return Window::FromHwnd(settings_) ? settings_ : nullptr;
}

HWND SettingsUi::SkinWindow() const {
    return Window::FromHwnd(skins_) ? skins_ : nullptr;
}

HWND SettingsUi::ConflictWindow() const {
    return Window::FromHwnd(conflict_) ? conflict_ : nullptr;
}

void SettingsUi::OpenSettings(int page) {
    if (Window* w = Window::FromHwnd(settings_)) {
        if (const int tab = SwitchedSettingsTab(page)) {
            if (auto* button = dynamic_cast<Button*>(w->FindByIdentifier(tab)))
                button->Click();
        }
        return;
    }
    if (!services_.settings)
        return;
    BuildSettings(InitialSettingsTab(page));
}

void SettingsUi::BuildSettings(int tab) {
    DialogOptions options;
    options.title = "设置";
    options.width = Dpi(kSettingsWidth);
    options.height = Dpi(kSettingsHeight);
    options.owner = owner_;
    Dialog dialog(options);
    Window* window = dialog.GetWindow();
    if (!window)
        return;
    settings_ = window->Hwnd();

    PageContext context;
    context.settings = services_.settings;
    context.font = services_.font;
    context.window = settings_;

    auto* tabs = dialog.Body()->Add<TabView>(kTabGroup, Dpi(kTabColumnWidth), Dpi(36));
    tabs->SetName("tabs");
    tabs->SetWidth(SizeSpec::Fill());
    tabs->SetHeight(SizeSpec::Fill());
    for (int i = 0; i < kSettingsPageCount; ++i) {
        Element* page = tabs->AddPage(kSettingsTabLabels[i]);
        page->SetPadding(Dpi(20), Dpi(20), Dpi(20), Dpi(20));
        page->SetSpacing(Dpi(10));
        Button* button = tabs->Tab(static_cast<size_t>(i));
        button->SetIdentifier(i + 1);
        button->SetLookName("label.setting");
        button->SetTextColor(kSettingsTabColor);
        ApplyFont(*button, context);
    }
    if (Element* first = tabs->Page(0); first && first->Parent())
        first->Parent()->SetLookName("border.left");
    BuildAboutPage(*tabs->Page(0), context, services_.pluginNames);
    BuildGeneralPage(*tabs->Page(1), context);
    BuildActionPage(*tabs->Page(2), context);
    BuildHotkeyPage(*tabs->Page(3), context);
    BuildMorePage(*tabs->Page(4), context);
    tabs->Select(static_cast<size_t>(tab - 1));

    // Esc and Alt+F4 close the window even while a hotkey box, which takes
    // every other key, has the focus.
    window->OnMessage([](Window& w, WindowMessage& m, bool& handled) {
        if ((m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) ||
            (m.message == WM_SYSKEYDOWN && m.wParam == VK_F4)) {
            handled = true;
            w.Close();
        }
    });
    // Key presses reach the hotkey boxes as they are, not through an input
    // method's composition.
    SetWindowImeEnabled(settings_, false);
    dialog.ShowModeless();
}

}  // namespace pt

// The item properties dialog; see item_properties_dialog.h.
#include "panel/item_properties_dialog.h"

#include <memory>
#include <string>
#include <tuple>

#include "launcher/icon_store.h"
#include "launcher/icons.h"
#include "launcher/target.h"
#include "panel/inline_editor.h"
#include "panel/item_properties.h"
#include "toolkit/dpi.h"
#include "toolkit/edit.h"
#include "toolkit/widgets.h"
#include "window/dialog.h"
#include "window/dialog_frame.h"

namespace pt {
namespace {

constexpr int kResultOk = 1;
constexpr int kResultCancel = 0;
constexpr int kPreviewSize = 48;
constexpr int kPreviewFrame = 75;
constexpr int kLabelWidth = 80;
constexpr int kLabelHeight = 28;
constexpr int kRowHeight = 30;
constexpr int kFormSpacing = 15;  // between rows, and between a row's label, field and button
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 28;
constexpr Color kLabelColor = MakeColor(80, 80, 80);
constexpr Color kFieldColor = MakeColor(120, 120, 120);
constexpr Color kHintColor = MakeColor(150, 150, 150);

struct State {
    ItemRecord stored;
    TargetKind openingKind;
    std::string openingIcon;
    std::string currentIcon;
    IconStore* icons = nullptr;
    ShellPickers pickers;
    HWND hwnd = nullptr;
    Edit* name = nullptr;
    Edit* target = nullptr;
    Edit* startFolder = nullptr;
    Edit* param = nullptr;
    Edit* remarks = nullptr;
    ImageBox* preview = nullptr;
    CheckBox* elevated = nullptr;
    std::optional<ItemRecord> result;
};

// The kind of a typed target. A network path is taken by its text: asking
// the server at every keystroke would hold the dialog up for seconds.
TargetKind KindOfTyped(std::string_view text) {
    TargetKind kind = ClassifyTargetText(text);
    return kind.id == TargetKindId::kUnc ? kind : ClassifyTarget(text);
}

// The preview's image: the grid's own when the store has it, else the
// source's icon, else the shell's generic one.
std::shared_ptr<Image> PreviewImage(IconStore* icons, std::string_view source) {
    std::string png;
    if (icons && !source.empty())
        png = std::string(icons->Get(source));
    // Extracted at the preview's size rather than the grid's.
    const float scale = DisplayScale() * kPreviewSize / 40.0f;
    if (png.empty() && !source.empty())
        png = ExtractGridIcon(source, scale);
    if (png.empty())
        png = FallbackIconPng(scale);
    return EncodedImage::FromBytes(std::make_shared<const std::string>(std::move(png)));
}

void ShowIcon(State& s, std::string source) {
    s.currentIcon = std::move(source);
    s.preview->SetImage(PreviewImage(s.icons, s.currentIcon));
}

TargetFollowers Followers(std::string_view target) {
    const TargetKind kind = KindOfTyped(target);
    const std::string folderIcon =
        kind.id == TargetKindId::kFolder ? FolderIconResource(target) : std::string();
    return FollowTarget(target, kind, folderIcon);
}

void TargetEdited(State& s) {
    const TargetFollowers f = Followers(s.target->Text());
    s.name->SetText(f.name);
    s.startFolder->SetText(f.startFolder);
    s.elevated->SetChecked(false);
    s.elevated->SetEnabled(f.elevationEnabled);
    ShowIcon(s, f.iconSource);
    if (Window* w = Window::FromHwnd(s.hwnd)) {
        w->AdjustLayout();
        w->Redraw();
    }
}

void DefaultIcon(State& s) {
    if (s.openingKind.id != TargetKindId::kShell) {
        ShowIcon(s, Followers(s.target->Text()).iconSource);
        return;
    }
    ShellObjectInfo info;
    if (GetShellObjectInfo(s.stored.path, &info) && !info.defaultIcon.empty())
        ShowIcon(s, info.defaultIcon);
}

void ChangeIcon(State& s) {
    const IconLocation location = SplitIconLocation(s.currentIcon);
    const std::string file = ExpandPathVariables(location.file);
    const bool exists = PathExists(file);
    const bool folder = exists && ClassifyTarget(file).id == TargetKindId::kFolder;
    IconPickerStart start = PickerStartFor(file, location.index, exists, folder);
    start.file = ExpandPathVariables(start.file);
    const std::optional<PickedIcon> picked = s.pickers.icon
                                                 ? s.pickers.icon(s.hwnd, start.file, start.index)
                                                 : PickIcon(s.hwnd, start.file, start.index);
    // The picker ran its own loop: the dialog may be gone by now.
    if (!picked || picked->file.empty() || !Window::FromHwnd(s.hwnd))
        return;
    ShowIcon(s, picked->file + "," + std::to_string(picked->index));
}

void BrowseTarget(State& s) {
    const std::optional<std::string> path =
        s.pickers.file ? s.pickers.file(s.hwnd) : PickFileToOpen(s.hwnd);
    if (!path || path->empty() || !Window::FromHwnd(s.hwnd))
        return;
    s.target->SetText(*path);
    TargetEdited(s);
}

void BrowseFolder(State& s) {
    const std::string start = s.startFolder->Text();
    const std::optional<std::string> path =
        s.pickers.folder ? s.pickers.folder(s.hwnd, start) : PickFolder(s.hwnd, start);
    if (!path || path->empty() || !Window::FromHwnd(s.hwnd))
        return;
    s.startFolder->SetText(*path);
}

void Accept(State& s) {
    PropertiesForm form;
    form.name = s.name->Text();
    form.target = s.target->Text();
    form.startFolder = s.startFolder->Text();
    form.param = s.param->Text();
    form.remarks = s.remarks->Text();
    form.elevated = s.elevated->IsChecked();
    const std::string target = TrimSpaces(form.target);
    const TargetKind kind = target.empty() ? TargetKind{} : KindOfTyped(target);
    s.result = PropertiesRecord(s.stored, s.openingKind, form, kind, s.openingIcon, s.currentIcon);
    if (!s.result) {
        s.target->SetFocus();
        return;
    }
    Dialog::Of(s.hwnd).End(kResultOk);
}

std::unique_ptr<Edit> FieldEdit(const char* name, const std::string& text, const std::string& hint,
                                bool readOnly) {
    auto edit = std::make_unique<Edit>(text);
    edit->SetName(name);
    edit->SetLookName("bkInfo_edit");
    edit->SetTextColor(kFieldColor);
    edit->SetPadding(Dpi(5), 0, Dpi(5), 0);
    edit->SetCursor(IDC_IBEAM);
    edit->SetHeight(SizeSpec::Fixed(Dpi(kRowHeight)));
    if (!hint.empty()) {
        edit->SetPlaceholder(hint);
        edit->SetPlaceholderColor(kHintColor);
    }
    edit->SetReadOnly(readOnly);
    AttachEditHistory(*edit);
    return edit;
}

std::unique_ptr<Button> FieldButton(const char* name, const char* text, bool enabled) {
    auto button = std::make_unique<Button>(text);
    button->SetName(name);
    button->SetLookName("bkInfo_button");
    button->SetTextColor(kFieldColor);
    button->SetFocusable(true);
    button->SetEnabled(enabled);
    return button;
}

// Labels and buttons are a little lower than the row's edit.
void FitRow(FormLayout& form, size_t row, Element* button) {
    if (TextElement* label = form.Label(row))
        label->SetFixedSize(Dpi(kLabelWidth), Dpi(kLabelHeight));
    if (button)
        button->SetFixedSize(Dpi(kButtonWidth), Dpi(kButtonHeight));
}

FormLayout* AddForm(Element& body) {
    auto* form = body.Add<FormLayout>(Dpi(kLabelWidth), Dpi(kRowHeight), Dpi(kButtonWidth),
                                      Dpi(kFormSpacing));
    form->SetLabelFont(DialogCaptionFont());
    form->SetLabelColor(kLabelColor);
    form->SetWidth(SizeSpec::Fill());
    return form;
}

// A row of the form holding `edit` and an optional button.
Edit* AddEditRow(FormLayout& form, size_t row, const char* label, std::unique_ptr<Edit> edit,
                 std::unique_ptr<Button> button, void (*clicked)(State&),
                 const std::shared_ptr<State>& shared) {
    Edit* added = edit.get();
    Button* b = button.get();
    form.AddRow(label, std::move(edit), std::move(button));
    FitRow(form, row, b);
    if (b && clicked) {
        b->On(ElementEvent::kClick, [shared, clicked](Element&, const ElementEventArgs&, bool& h) {
            h = true;
            clicked(*shared);
        });
    }
    return added;
}

void BuildBody(Dialog& dialog, const std::shared_ptr<State>& shared, const PropertiesForm& form) {
    State& s = *shared;
    Element* body = dialog.Body();
    body->SetPadding(Dpi(25), Dpi(20), Dpi(25), Dpi(15));
    body->SetSpacing(Dpi(16));
    const bool locked = form.targetLocked;

    FormLayout* top = AddForm(*body);
    s.name = AddEditRow(*top, 0, "名称", FieldEdit("name", form.name, {}, false), nullptr, nullptr,
                        shared);

    auto* iconRow = body->Add<Element>();
    iconRow->SetName("iconRow");
    iconRow->SetHorizontal(true);
    iconRow->SetWidth(SizeSpec::Fill());
    iconRow->SetHeight(SizeSpec::Fixed(Dpi(kPreviewFrame)));
    iconRow->SetSpacing(Dpi(kFormSpacing));
    iconRow->SetAlign(Align::kStart, Align::kCenter);
    auto* iconLabel = iconRow->Add<TextElement>("图标");
    iconLabel->SetFixedSize(Dpi(kLabelWidth), Dpi(kLabelHeight));
    iconLabel->SetFont(DialogCaptionFont());
    iconLabel->SetTextColor(kLabelColor);
    TextFormat start;
    start.horizontal = TextAlign::kStart;
    iconLabel->SetTextFormat(start);
    s.preview = iconRow->Add<ImageBox>(Dpi(kPreviewSize), Dpi(kPreviewSize));
    s.preview->SetName("preview");
    s.preview->SetFixedSize(Dpi(kPreviewFrame), Dpi(kPreviewFrame));
    s.preview->SetLookName("bkInfo_edit");
    auto* iconButtons = iconRow->Add<Element>();
    iconButtons->SetHorizontal(false);
    iconButtons->SetSpacing(Dpi(10));
    iconButtons->SetAlign(Align::kStart, Align::kCenter);
    iconButtons->SetHeight(SizeSpec::Fill());
    for (auto [name, text, enabled, run] :
         {std::tuple{"defaultIcon", "默认图标", form.defaultIconEnabled, &DefaultIcon},
          std::tuple{"changeIcon", "更改图标", true, &ChangeIcon}}) {
        Button* b = static_cast<Button*>(iconButtons->AddChild(FieldButton(name, text, enabled)));
        b->SetFixedSize(Dpi(kButtonWidth), Dpi(kButtonHeight));
        b->On(ElementEvent::kClick, [shared, run](Element&, const ElementEventArgs&, bool& h) {
            h = true;
            run(*shared);
        });
    }

    FormLayout* rows = AddForm(*body);
    s.target =
        AddEditRow(*rows, 0, "目标路径", FieldEdit("target", form.target, form.targetHint, locked),
                   FieldButton("browseTarget", "浏览", !locked), &BrowseTarget, shared);
    s.startFolder =
        AddEditRow(*rows, 1, "起始位置",
                   FieldEdit("startFolder", form.startFolder, form.startFolderHint, locked),
                   FieldButton("browseFolder", "浏览", !locked), &BrowseFolder, shared);
    s.param = AddEditRow(*rows, 2, "参数", FieldEdit("param", form.param, form.paramHint, locked),
                         nullptr, nullptr, shared);
    s.remarks = AddEditRow(*rows, 3, "备注", FieldEdit("remarks", form.remarks, {}, false), nullptr,
                           nullptr, shared);
    s.target->On(kEditChanged,
                 [shared](Element&, const ElementEventArgs&, bool&) { TargetEdited(*shared); });

    auto* checkRow = body->Add<Element>();
    checkRow->SetHorizontal(true);
    checkRow->SetWidth(SizeSpec::Fill());
    checkRow->SetHeight(SizeSpec::Fixed(Dpi(kLabelHeight)));
    checkRow->SetPadding(Dpi(kLabelWidth + kFormSpacing), 0, 0, 0);
    s.elevated = checkRow->Add<CheckBox>("始终以管理员权限启动");
    s.elevated->SetName("elevated");
    s.elevated->SetTextColor(kFieldColor);
    s.elevated->SetChecked(form.elevated);
    s.elevated->SetEnabled(form.elevationEnabled);

    auto* spacer = body->Add<Element>();
    spacer->SetHeight(SizeSpec::Weight(1));
    auto* buttons = body->Add<Element>();
    buttons->SetName("buttons");
    buttons->SetHorizontal(true);
    buttons->SetWidth(SizeSpec::Fill());
    buttons->SetHeight(SizeSpec::Fixed(Dpi(kButtonHeight)));
    buttons->SetSpacing(Dpi(10));
    buttons->SetAlign(Align::kEnd, Align::kCenter);
    Button* ok = dialog.AddButton(*buttons, "确定");
    ok->SetName("ok");
    Button* cancel = dialog.AddButton(*buttons, "取消", kResultCancel);
    cancel->SetName("cancel");
    for (Button* b : {ok, cancel}) {
        b->SetLookName("bkInfo_button");
        b->SetTextColor(kFieldColor);
    }
    ok->On(ElementEvent::kClick, [shared](Element&, const ElementEventArgs&, bool& h) {
        h = true;
        Accept(*shared);
    });
    dialog.SetDefaultButton(ok);
    dialog.SetCancelButton(cancel);
}

}  // namespace

std::optional<ItemRecord> ShowItemProperties(HWND owner, const ItemRecord& record, IconStore* icons,
                                             const ShellPickers& pickers) {
    auto shared = std::make_shared<State>();
    State& s = *shared;
    s.stored = record;
    s.openingKind = KindOfTyped(record.path);
    s.openingIcon = OpeningIconSource(record);
    s.icons = icons;
    s.pickers = pickers;

    DialogOptions options;
    options.title = kPropertiesTitle;
    options.width = Dpi(430);
    options.height = Dpi(525);
    options.owner = owner;
    options.closeResult = kResultCancel;
    Dialog dialog(options);
    if (!dialog.IsValid())
        return std::nullopt;
    s.hwnd = dialog.Hwnd();
    BuildBody(dialog, shared, OpeningForm(record, s.openingKind));
    ShowIcon(s, s.openingIcon);
    s.name->SetFocus();
    if (dialog.RunModal() != kResultOk)
        return std::nullopt;
    return s.result;
}

}  // namespace pt

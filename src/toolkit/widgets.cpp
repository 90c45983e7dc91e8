// The dialog widgets; see widgets.h.
#include "toolkit/widgets.h"

#include <algorithm>

#include "toolkit/dpi.h"
#include "toolkit/window.h"

namespace pt {
namespace {

constexpr Color kMarkBorder = MakeColor(150, 150, 150);
constexpr Color kMarkFill = MakeColor(255, 255, 255);
constexpr Color kSwitchOff = MakeColor(200, 200, 200);
constexpr Color kDisabledMark = MakeColor(215, 215, 215);
constexpr Color kFieldBorder = MakeColor(220, 220, 220);
constexpr Color kFieldFocus = MakeColor(0, 120, 215);
constexpr Color kReadOnlyFill = MakeColor(245, 245, 245);

std::shared_ptr<Font> FontOr(const std::shared_ptr<Font>& font) {
    return font ? font : DefaultFont();
}

}  // namespace

// --------------------------------------------------------------- check box

CheckBox::CheckBox(std::string_view text) : Button(text) {
    SetCheckMode(true);
    SetFocusable(true);
    SetTransparent(true);
    SetTextAlign(TextAlign::kStart);
    SetCursor(IDC_HAND);
}

Rect CheckBox::MarkRect(const Rect& box) const {
    const int h = Dpi(16);
    const int w = switchLook_ ? Dpi(30) : h;
    return Rect::FromSize(box.left + Padding().left, box.top + (box.Height() - h) / 2, w, h);
}

void CheckBox::PaintLabel(Canvas& canvas, const Rect& box, const Rect& mark) const {
    if (Text().empty())
        return;
    if (const std::shared_ptr<Font> f = DefaultFont()) {
        Rect t = box;
        t.left = mark.right + Dpi(6);
        TextFormat fmt;
        fmt.horizontal = TextAlign::kStart;
        canvas.DrawText(Text(), *f, IsEnabled() ? TextColor() : WithAlpha(TextColor(), 110), t,
                        fmt);
    }
}

Size CheckBox::ContentSize() const {
    if (HasImages())
        return Button::ContentSize();
    Size s;
    if (!Text().empty()) {
        if (const std::shared_ptr<Font> f = DefaultFont())
            s = MeasureText(Text(), *f);
    }
    const Rect mark = MarkRect(Rect{});
    const Insets p = Padding();
    return Size{p.left + mark.Width() + Dpi(6) + s.width + p.right,
                std::max(mark.Height(), s.height) + p.top + p.bottom};
}

void CheckBox::PaintBackground(Canvas& canvas, const Rect& box) {
    if (!Transparent())
        Element::PaintBackground(canvas, box);
}

void CheckBox::PaintContent(Canvas& canvas, const Rect& box) {
    if (HasImages()) {
        // The skin's own check images, drawn as a button draws them.
        Button::PaintContent(canvas, box);
        return;
    }
    const Rect mark = MarkRect(box);
    const bool on = IsChecked();
    const Color accent = IsEnabled() ? accent_ : kDisabledMark;
    if (switchLook_) {
        const int r = mark.Height() / 2;
        canvas.FillRoundRect(mark, r, on ? accent : kSwitchOff);
        const int knob = mark.Height() - Dpi(4);
        const int x = on ? mark.right - Dpi(2) - knob : mark.left + Dpi(2);
        canvas.FillEllipse(Rect::FromSize(x, mark.top + Dpi(2), knob, knob), kMarkFill);
    } else {
        Look l = Look::Fill(on ? accent : kMarkFill, Dpi(3));
        if (!on) {
            l.borderSides = kBorderAll;
            l.borderColor = State() == VisualState::kHover ? accent_ : kMarkBorder;
        }
        canvas.DrawLook(mark, l);
        if (on) {
            const float x = static_cast<float>(mark.left), y = static_cast<float>(mark.top);
            const float u = static_cast<float>(mark.Width()) / 16.0f;
            canvas.DrawPolyline({{x + 3.5f * u, y + 8.5f * u},
                                 {x + 6.5f * u, y + 11.5f * u},
                                 {x + 12.5f * u, y + 4.5f * u}},
                                kMarkFill, 1.8f * u);
        }
    }
    PaintLabel(canvas, box, mark);
}

// ------------------------------------------------------------ radio button

RadioButton::RadioButton(std::string_view text, int group) : CheckBox(text) {
    SetGroup(group);
}

void RadioButton::PaintContent(Canvas& canvas, const Rect& box) {
    if (HasImages()) {
        Button::PaintContent(canvas, box);
        return;
    }
    const Rect mark = MarkRect(box);
    const Color accent = IsEnabled() ? accent_ : kDisabledMark;
    const bool hover = State() == VisualState::kHover;
    canvas.FillEllipse(mark, IsChecked() || hover ? accent : kMarkBorder);
    const int ring = Dpi(1);
    canvas.FillEllipse(mark.Inset(Insets{ring, ring, ring, ring}), kMarkFill);
    if (IsChecked()) {
        const int d = mark.Width() / 4;
        canvas.FillEllipse(mark.Inset(Insets{d, d, d, d}), accent);
    }
    PaintLabel(canvas, box, mark);
}

// ---------------------------------------------------------------- tab view

TabView::TabView(int radioGroup, int tabColumnWidth, int tabHeight)
    : group_(radioGroup), tabHeight_(tabHeight) {
    SetName("tabview");
    SetHorizontal(true);
    column_ = Add<Element>();
    column_->SetName("tabs");
    column_->SetWidth(SizeSpec::Fixed(Dpi(tabColumnWidth)));
    column_->SetHeight(SizeSpec::Fill());
    pageArea_ = Add<Element>();
    pageArea_->SetName("pages");
    pageArea_->SetWidth(SizeSpec::Weight(1));
    pageArea_->SetHeight(SizeSpec::Fill());
}

Element* TabView::AddPage(std::string_view title) {
    const size_t index = pages_.size();
    auto* tab = column_->Add<Button>(title);
    tab->SetName("tab");
    tab->SetIdentifier(static_cast<int>(index));
    tab->SetGroup(group_);
    tab->SetFocusable(true);
    tab->SetWidth(SizeSpec::Fill());
    tab->SetHeight(SizeSpec::Fixed(Dpi(tabHeight_)));
    const ElementHandle self = Handle();
    tab->On(ElementEvent::kCheckChanged, [self, index](Element&, const ElementEventArgs& a, bool&) {
        if (auto* view = dynamic_cast<TabView*>(Element::FromHandle(self)); view && a.checked)
            view->Select(index, true);
    });
    auto* page = pageArea_->Add<Element>();
    page->SetName("page");
    page->SetIdentifier(static_cast<int>(index));
    page->SetWidth(SizeSpec::Fill());
    page->SetHeight(SizeSpec::Fill());
    page->SetVisible(index == selected_);
    tabs_.push_back(tab);
    pages_.push_back(page);
    if (index == selected_)
        tab->SetChecked(true);
    return page;
}

void TabView::Select(size_t index, bool notify) {
    if (index >= pages_.size())
        return;
    const bool changed = index != selected_;
    selected_ = index;
    for (size_t i = 0; i < pages_.size(); ++i)
        pages_[i]->SetVisible(i == index);
    if (!tabs_[index]->IsChecked())
        tabs_[index]->SetChecked(true);
    if (Window* w = OwnerWindow())
        w->AdjustLayout();
    Redraw();
    if (changed && notify) {
        ElementEventArgs a;
        a.event = ElementEvent::kTabChanged;
        a.wParam = index;
        Fire(a);
    }
}

// ------------------------------------------------------------- form layout

FormLayout::FormLayout(int labelWidth, int rowHeight, int buttonWidth, int spacing)
    : labelWidth_(labelWidth), rowHeight_(rowHeight), buttonWidth_(buttonWidth) {
    SetName("form");
    SetHorizontal(false);
    SetSpacing(spacing);
}

Element* FormLayout::AddRow(std::string_view label, std::unique_ptr<Element> control,
                            std::unique_ptr<Element> button) {
    auto* row = Add<Element>();
    row->SetName("form.row");
    row->SetHorizontal(true);
    row->SetSpacing(Box().spacing);
    row->SetWidth(SizeSpec::Fill());
    row->SetHeight(SizeSpec::Fixed(rowHeight_));
    row->SetAlign(Align::kStart, Align::kCenter);
    TextElement* text = nullptr;
    if (!label.empty()) {
        text = row->Add<TextElement>(label);
        text->SetName("form.label");
        text->SetFixedSize(labelWidth_, rowHeight_);
        text->SetTextColor(labelColor_);
        if (labelFont_)
            text->SetFont(labelFont_);
        TextFormat fmt;
        fmt.horizontal = TextAlign::kStart;
        text->SetTextFormat(fmt);
    }
    labels_.push_back(text);
    if (control) {
        if (control->WidthSpec().kind == SizeKind::kAuto)
            control->SetWidth(SizeSpec::Weight(1));
        if (control->HeightSpec().kind == SizeKind::kAuto)
            control->SetHeight(SizeSpec::Fixed(rowHeight_));
        row->AddChild(std::move(control));
    }
    if (button) {
        button->SetFixedSize(buttonWidth_, rowHeight_);
        row->AddChild(std::move(button));
    }
    return row;
}

TextElement* FormLayout::Label(size_t row) const {
    return row < labels_.size() ? labels_[row] : nullptr;
}

// -------------------------------------------------------------- hotkey box

HotkeyBox::HotkeyBox(std::string_view text) : text_(text) {
    SetName("hotkey");
    SetFocusable(true);
    SetCursor(IDC_IBEAM);
    SetPadding(Dpi(5), 0, Dpi(5), 0);
}

VisualState HotkeyBox::State() const {
    if (!IsEnabled())
        return VisualState::kDisabled;
    return HasFocus() ? VisualState::kChecked : VisualState::kNormal;
}

Size HotkeyBox::ContentSize() const {
    const std::shared_ptr<Font> f = FontOr(font_);
    Size s = f ? MeasureText(text_.empty() ? std::string("W") : text_, *f) : Size{};
    const Insets p = Padding();
    return Size{s.width + p.left + p.right, s.height + p.top + p.bottom};
}

void HotkeyBox::PaintContent(Canvas& canvas, const Rect& box) {
    if (!HasLook()) {
        Look l = Look::Border(kBorderAll, HasFocus() ? kFieldFocus : kFieldBorder);
        l.fill = IsEnabled() ? kMarkFill : kReadOnlyFill;
        l.radius = Dpi(3);
        canvas.DrawLook(box, l);
    }
    const std::shared_ptr<Font> f = FontOr(font_);
    if (!f)
        return;
    TextFormat fmt;
    fmt.horizontal = TextAlign::kStart;
    canvas.DrawText(text_, *f, IsEnabled() ? color_ : WithAlpha(color_, 110), box.Inset(Padding()),
                    fmt);
}

bool HotkeyBox::DefaultAction(const ElementEventArgs& args) {
    if (args.event == ElementEvent::kChar)
        return true;  // nothing is typed
    if (args.event != ElementEvent::kKeyDown || !IsEnabled())
        return false;
    if (args.wParam == VK_TAB && !takesTab_)
        return false;
    ElementEventArgs a;
    a.event = ElementEvent::kHotkeyKey;
    a.wParam = args.wParam;
    a.lParam = args.lParam;
    Fire(a);
    return true;
}

// --------------------------------------------------------------- image box

ImageBox::ImageBox(int imageWidth, int imageHeight) : imageSize_{imageWidth, imageHeight} {
    SetName("imagebox");
}

Size ImageBox::ContentSize() const {
    const Insets p = Padding();
    return Size{imageSize_.width + p.left + p.right, imageSize_.height + p.top + p.bottom};
}

Rect ImageBox::ImageRect(const Rect& box) const {
    int w = imageSize_.width;
    int h = imageSize_.height;
    if (image_) {
        const Size n = image_->NaturalSize();
        if (n.width > 0 && n.height > 0) {
            // Fit inside the image size, aspect kept.
            if (n.width * h > n.height * w) {
                h = std::max(1, w * n.height / n.width);
            } else {
                w = std::max(1, h * n.width / n.height);
            }
        }
    }
    return Rect::FromSize(box.left + (box.Width() - w) / 2, box.top + (box.Height() - h) / 2, w, h);
}

void ImageBox::PaintContent(Canvas& canvas, const Rect& box) {
    if (image_)
        canvas.DrawImage(*image_, ImageRect(box));
}

StateLook ReadOnlyEditLook() {
    StateLook look;
    look.normal = Look::Fill(kReadOnlyFill, Dpi(3));
    look.normal.borderSides = kBorderAll;
    look.normal.borderColor = kFieldBorder;
    return look;
}

}  // namespace pt

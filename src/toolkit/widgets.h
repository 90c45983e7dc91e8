// The dialog widgets: check box (box or switch look), radio button, tab view
// (a column of tabs beside their pages), form layout (rows of label,
// control and button in fixed sizes), hotkey box (shows a text, reports the
// keys pressed on it as they come) and image box (a picture fitted into a
// framed square). Their behaviour is that of Button and Element (button
// logic, focus, keys); these classes add the painting and the wiring.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/element.h"

namespace pt {

// A check box: a square with a tick, or a switch (a pill with a knob), and
// its text to the right; given state images (Button::SetImage) it draws
// those instead, as the skin's check buttons do. Space toggles it when focused; kCheckChanged and
// kClick fire as for any check button.
class CheckBox : public Button {
  public:
    explicit CheckBox(std::string_view text = {});
    void SetSwitchLook(bool on) {
        switchLook_ = on;
        Redraw();
    }
    bool SwitchLook() const { return switchLook_; }
    void SetAccentColor(Color color) {
        accent_ = color;
        Redraw();
    }
    Size ContentSize() const override;
    void PaintBackground(Canvas& canvas, const Rect& box) override;
    void PaintContent(Canvas& canvas, const Rect& box) override;

  protected:
    Rect MarkRect(const Rect& box) const;  // the square or the switch
    // The text to the right of `mark`, greyed while disabled.
    void PaintLabel(Canvas& canvas, const Rect& box, const Rect& mark) const;
    bool switchLook_ = false;
    Color accent_ = MakeColor(0, 120, 215);
};

// A radio button of group `group` (buttons of one window with the same
// group are exclusive): a circle with a dot and its text. Tab stops once per
// group; the arrows move the check within it.
class RadioButton : public CheckBox {
  public:
    RadioButton(std::string_view text, int group);
    void PaintContent(Canvas& canvas, const Rect& box) override;
};

// Tabs in a column on the left, pages to their right; one page shows at a
// time. The tabs are check buttons of one radio group (the window-wide group
// id given), named "tab", with their page index as identifier; the pages
// are plain elements named "page" that the program fills.
class TabView : public Element {
  public:
    explicit TabView(int radioGroup, int tabColumnWidth = 105, int tabHeight = 36);
    // Adds a tab and its page; returns the page.
    Element* AddPage(std::string_view title);
    size_t PageCount() const { return pages_.size(); }
    Element* Page(size_t index) const { return index < pages_.size() ? pages_[index] : nullptr; }
    Button* Tab(size_t index) const { return index < tabs_.size() ? tabs_[index] : nullptr; }
    Element* TabColumn() const { return column_; }
    // Shows page `index` (ignored when out of range); kTabChanged fires on
    // the view when the page changed and `notify` is set.
    void Select(size_t index, bool notify = false);
    size_t Selected() const { return selected_; }

  private:
    int group_;
    int tabHeight_;
    Element* column_ = nullptr;
    Element* pageArea_ = nullptr;
    std::vector<Button*> tabs_;
    std::vector<Element*> pages_;
    size_t selected_ = 0;
};

// Rows of a form: a label of fixed width, the control filling the middle,
// and an optional button of fixed width at the end, every row of one
// height. Controls are added by the caller and handed in.
class FormLayout : public Element {
  public:
    FormLayout(int labelWidth, int rowHeight, int buttonWidth, int spacing);
    // One row; `label` may be empty (the control then starts at the label's
    // place), `button` may be null. Returns the row element.
    Element* AddRow(std::string_view label, std::unique_ptr<Element> control,
                    std::unique_ptr<Element> button = nullptr);
    // The label of row `row` (null when it has none).
    TextElement* Label(size_t row) const;
    void SetLabelFont(std::shared_ptr<Font> font) { labelFont_ = std::move(font); }
    void SetLabelColor(Color color) { labelColor_ = color; }

  private:
    int labelWidth_;
    int rowHeight_;
    int buttonWidth_;
    std::vector<TextElement*> labels_;
    std::shared_ptr<Font> labelFont_;
    Color labelColor_ = MakeColor(80, 80, 80);
};

// A box that shows a text and hands every key pressed on it to the program
// as kHotkeyKey (wParam the virtual key, lParam as the key message's; Alt
// combinations included) instead of typing. What the text says is the
// program's business. Tab moves the focus on unless SetTakesTab is on.
class HotkeyBox : public Element {
  public:
    explicit HotkeyBox(std::string_view text = {});
    void SetText(std::string_view text) {
        text_ = text;
        Redraw();
    }
    const std::string& Text() const { return text_; }
    std::string DisplayText() const override { return text_; }
    void SetTakesTab(bool on) { takesTab_ = on; }
    void SetFont(std::shared_ptr<Font> font) {
        font_ = std::move(font);
        Redraw();
    }
    void SetTextColor(Color color) {
        color_ = color;
        Redraw();
    }
    bool IsInteractive() const override { return true; }
    VisualState State() const override;
    Size ContentSize() const override;
    void PaintContent(Canvas& canvas, const Rect& box) override;
    void PaintFocusMark(Canvas&, const Rect&) override {}  // the focused look shows it

  protected:
    bool DefaultAction(const ElementEventArgs& args) override;

  private:
    std::string text_;
    bool takesTab_ = false;
    std::shared_ptr<Font> font_;
    Color color_ = MakeColor(80, 80, 80);
};

// A picture fitted (aspect kept, centred) into an image size inside a
// framed area, such as a 48 x 48 icon preview in a 75 x 75 frame.
class ImageBox : public Element {
  public:
    ImageBox(int imageWidth, int imageHeight);
    void SetImage(std::shared_ptr<Image> image) {
        image_ = std::move(image);
        Redraw();
    }
    const std::shared_ptr<Image>& GetImage() const { return image_; }
    Size ContentSize() const override;
    void PaintContent(Canvas& canvas, const Rect& box) override;
    // Where the picture goes inside `box`: the image size centred, the
    // picture's aspect kept.
    Rect ImageRect(const Rect& box) const;

  private:
    Size imageSize_;
    std::shared_ptr<Image> image_;
};

// The look of an edit that shows a text the user cannot change (a grey
// field, no border highlight). Give it with Edit::SetLook; the edit itself
// goes read-only with SetReadOnly(true).
StateLook ReadOnlyEditLook();

}  // namespace pt

// Popup menus drawn by the toolkit. A menu is built from items (menu_model.h),
// opened at a screen point for an owner (a window, or an element of one),
// and lives in windows of its own until an item is chosen or it is
// dismissed: by Esc, by a click into another window, by the activation
// moving to another program, or by WM_CLOSE sent to any of its windows.
//
// The owner receives the menu's events, as window events (WindowMessage
// with these numbers) or as element events (kMenu... in element.h):
// the menu window was created (dress it: transparency, shadow, handlers),
// background and item drawing (owner drawing, when switched on; "handled"
// suppresses the default drawing), the chosen id (posted, so it arrives
// after the menu is gone) and the menu's end.
//
// Mouse: hovering selects, resting on an item with a submenu opens it, a
// button release on an enabled item chooses it. Keyboard (every key of the
// thread goes to the open menu, whichever window has the focus; the menu
// does not take the activation): Up/Down move over the enabled items,
// skipping separators and wrapping; Right or Enter opens a submenu and
// selects its first item; Left or Esc closes the innermost submenu (Esc on
// the root closes the menu); Enter or Space chooses.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/win_handles.h"
#include "toolkit/color.h"
#include "toolkit/element.h"
#include "toolkit/geometry.h"
#include "toolkit/graphics.h"
#include "toolkit/menu_model.h"

namespace pt {

class Window;

// The native class and title of menu windows: the program looks for an open
// menu by exactly this pair.
inline constexpr wchar_t kMenuWindowClass[] = L"XCGUI";
inline constexpr wchar_t kMenuWindowTitle[] = L"XCGUI-Menu";

// Window events of a menu's owner window.
inline constexpr UINT kMsgMenuPopupWindow = 0x700C;  // wParam: the menu window's HWND
inline constexpr UINT kMsgMenuSelect = 0x700D;       // wParam: the chosen id
inline constexpr UINT kMsgMenuExit = 0x700E;
inline constexpr UINT kMsgMenuDrawBackground = 0x700F;
inline constexpr UINT kMsgMenuDrawItem = 0x7010;  // wParam: the item's id

// Track's answer when nothing was chosen.
inline constexpr int kMenuNoChoice = -1;

// How an opened menu answers: called once with the chosen id after the
// menu has gone, or with kMenuNoChoice when it was dismissed or replaced by
// another menu. Not called when the owner (window or element) is gone by
// then. Whatever the callback holds is released with it.
using MenuAnswer = std::function<void(int id)>;

class Menu;

// What the drawing and window events carry (lParam of the window event,
// args.lParam of the element event).
struct MenuDrawInfo {
    Menu* menu = nullptr;
    Window* window = nullptr;  // the menu window concerned
    int level = 0;             // 0: the root menu, 1: its submenu, ...
    Canvas* canvas = nullptr;  // drawing events only
    Rect rect;                 // the item, or the whole frame for the background
    int id = 0;                // item events: the item's id (0 for a separator)
    std::string text;
    unsigned state = 0;  // MenuItemFlag bits
};

class Menu : public std::enable_shared_from_this<Menu> {
  public:
    static std::shared_ptr<Menu> Create();
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    // ---- items (see MenuModel for the rules)
    bool AddItem(int id, std::string_view text, int parent = kMenuRoot, unsigned flags = 0);
    bool AddSeparator(int parent = kMenuRoot);
    bool SetItemText(int id, std::string_view text);
    bool SetItemChecked(int id, bool on);
    bool SetItemEnabled(int id, bool on);
    const MenuModel& Model() const { return model_; }

    // ---- look
    void SetItemHeight(int height) { itemHeight_ = std::max(height, 1); }
    int ItemHeight() const { return itemHeight_; }
    void SetSeparatorHeight(int height) { separatorHeight_ = std::max(height, 1); }
    // The band between the frame and the items.
    void SetBorderSize(int left, int top, int right, int bottom);
    Insets BorderSize() const { return border_; }
    void SetBorderColor(Color color) { borderColor_ = color; }
    void SetMinimumWidth(int width) { minWidth_ = std::max(width, 0); }
    void SetFont(std::shared_ptr<Font> font) { font_ = std::move(font); }
    // Owner drawing: the drawing events are sent only when switched on.
    void EnableDrawItem(bool on) { drawItem_ = on; }
    void EnableDrawBackground(bool on) { drawBackground_ = on; }

    // ---- showing
    // Opens the menu with its top-left at `screen` (flipped to stay on the
    // monitor) and returns at once; the choice reaches the owner as
    // kMsgMenuSelect / kMenuSelect. An open menu (this or another) is closed
    // first. `ownerElement`, when given, receives the events instead of
    // `owner`'s window. False when the menu is empty or cannot be shown.
    bool Popup(HWND owner, Point screen, Element* ownerElement = nullptr);
    // The same, with the answer going to `answer` (see MenuAnswer) instead
    // of the owner's kMsgMenuSelect / kMenuSelect. The owner still receives
    // the drawing and window events.
    bool Popup(HWND owner, Point screen, Element* ownerElement, MenuAnswer answer);
    // The same, but waits in a nested message loop until the menu closes and
    // returns the chosen id (kMenuNoChoice when dismissed); the choice is
    // then not posted to the owner.
    int Track(HWND owner, Point screen, Element* ownerElement = nullptr);
    // Closes the menu without a choice.
    void Close();
    bool IsOpen() const { return !levels_.empty(); }

    // The menu open now, if any.
    static std::shared_ptr<Menu> Current();
    // The open menu windows, the root first.
    std::vector<Window*> OpenWindows() const;
    // The selected item's id in the innermost open menu (0 when none).
    int SelectedId() const;
    // An item's rectangle on the screen while its menu window is open.
    bool ItemScreenRect(int id, Rect& out) const;

  private:
    friend class MenuItemElement;
    friend class MenuPanelElement;
    struct Level {
        HWND hwnd = nullptr;
        int parentId = kMenuRoot;
        std::vector<size_t> items;  // indices into the model
        int selected = -1;          // position in `items`
    };

    Menu() = default;
    bool Open(HWND owner, Point screen, Element* ownerElement, bool tracking, MenuAnswer answer);
    bool OpenLevel(int parentId, const Rect& anchorItem, Point at);
    void CloseLevelsFrom(size_t level);
    void Finish(int chosen);
    void Select(size_t level, int position, bool openSoon);
    void OpenSubmenuOfSelection(size_t level, bool selectFirst);
    void Choose(size_t level, int position);
    bool Key(WPARAM vk);
    Window* LevelWindow(size_t level) const;
    void SendOwnerEvent(UINT event, WPARAM wParam, MenuDrawInfo* info, bool* handled);
    void DefaultBackground(Canvas& canvas, const Rect& frame);
    void DefaultItem(Canvas& canvas, const Rect& rect, const MenuItemData& item, unsigned state);
    void OnSubmenuTimer(size_t level);
    bool IsMenuWindow(HWND hwnd) const;
    void DeactivatedSoon();
    void CloseSoon();
    static LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyHook(int code, WPARAM wParam, LPARAM lParam);

    // For the menu's own elements.
    void Hovered(size_t level, int position);
    void Unhovered(size_t level, int position);
    void Released(size_t level, int position);
    void PaintBackground(size_t level, Canvas& canvas, const Rect& frame);
    void PaintItem(size_t level, int position, Canvas& canvas, const Rect& rect);
    Size LevelContentSize(int parentId) const;

    MenuModel model_;
    int itemHeight_ = 28;
    int separatorHeight_ = 9;
    Insets border_{1, 4, 1, 4};
    Color borderColor_ = MakeColor(192, 192, 192);
    int minWidth_ = 120;
    std::shared_ptr<Font> font_;
    bool drawItem_ = false;
    bool drawBackground_ = false;

    // While open.
    std::vector<Level> levels_;
    HWND owner_ = nullptr;
    ElementHandle ownerElement_ = 0;
    bool tracking_ = false;
    MenuAnswer answer_;
    bool finished_ = false;
    int chosen_ = kMenuNoChoice;
    unsigned generation_ = 0;  // one per opening: late tasks of an earlier one do nothing
    UniqueHook mouseHook_;
    UniqueHook keyHook_;
    std::shared_ptr<Menu> self_;  // keeps an open menu alive without the caller's pointer
};

// One entry of an open menu window. Its identifier is the item's id and its
// role name "menu.item" ("menu.separator" for separators), so an open menu
// is probed like any other window.
class MenuItemElement : public Element {
  public:
    MenuItemElement(std::weak_ptr<Menu> menu, size_t level, int position, const MenuItemData& item);
    bool Checked() const { return (flags_ & kMenuItemChecked) != 0; }
    bool IsSeparator() const { return (flags_ & kMenuItemSeparator) != 0; }
    std::string DisplayText() const override { return text_; }
    bool IsInteractive() const override { return true; }
    void OnHover(bool on) override;
    void PaintContent(Canvas& canvas, const Rect& box) override;

  private:
    std::weak_ptr<Menu> menu_;
    size_t level_;
    int position_;
    std::string text_;
    unsigned flags_;
};

}  // namespace pt

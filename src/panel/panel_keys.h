// The panel driven from the keyboard, and finding items by typing.
//
// Typing while the panel has the focus and no text field takes the keys
// opens the search field in the title bar; the grid then shows the items of
// every category and group that match (item_search.h), best first, each
// with its category and group in its tooltip. Backspace edits, Esc closes
// the search and shows the group that was shown before, the arrows move in
// the results, Enter starts the selected item and Shift+F10 or the menu key
// opens its item menu.
//
// Without a search: Tab and Shift+Tab go between the category column, the
// tab row and the grid (the toolkit's focus order: each radio group is one
// stop; a grid reached so shows its first cell selected), the arrows move
// within each (the toolkit's radio arrows check the category or tab they
// land on), Enter starts the selected item, F2 renames the focused category
// or group, Delete asks and deletes the selected item, Ctrl+Tab and
// Ctrl+Shift+Tab switch groups, and the menu key opens the menu of what has
// the focus. Every start, menu and delete goes the way of
// the mouse's (item_actions.h, the view's category and group commands).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "launcher/item_search.h"
#include "toolkit/color.h"
#include "toolkit/handler_list.h"

namespace pt {

class Edit;
class Element;
class LauncherData;
class LauncherView;
class ListView;
class Window;

class PanelKeys {
  public:
    PanelKeys(LauncherView& view, LauncherData& data);
    ~PanelKeys();
    PanelKeys(const PanelKeys&) = delete;
    PanelKeys& operator=(const PanelKeys&) = delete;

    // Adds the search field and the result grid to the panel's window (its
    // content built already) and takes its keys. False without the window.
    bool Attach(HWND panel);
    // A count that changes with every change of the data (data_revision.h):
    // the search index is then built ahead, when the panel is activated, and
    // kept while the count stays. Without it each search builds its index
    // on its first key.
    void SetDataRevision(std::function<uint64_t()> revision) { revision_ = std::move(revision); }

    // ---- for tests
    bool Searching() const;
    Edit* SearchField() const { return field_; }
    ListView* Results() const { return results_; }
    // Where result n comes from.
    SearchPlace ResultPlace(int n) const;
    int ResultCount() const { return static_cast<int>(hits_.size()); }

  private:
    void OnMessage(Window& window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    bool OnKey(Window& window, WPARAM vk);
    bool GridKey(ListView& list, WPARAM vk);
    void PrepareElements();
    void BuildIndex();
    void DressField(Color skin);
    void StartSearch(const std::string& text);
    void RunQuery();
    // Closes the search; `restore` shows the category and group that were
    // shown when it began (the mouse resting on the column may have switched
    // them meanwhile).
    void EndSearch(bool restore = true);
    void FillResults();
    // The item shown in cell n of `list` (a group's grid or the results).
    bool ItemOf(const ListView& list, int n, SearchPlace* place) const;
    void Start(const SearchPlace& place);
    void ItemMenu(ListView& list, int n, POINT screen);
    void DeleteItem(const SearchPlace& place);
    bool MenuKey(Window& window, Element* focus);
    void SwitchGroup(bool forward);
    void SelectInGrid(ListView& list, int n);

    LauncherView& view_;
    LauncherData& data_;
    HWND hwnd_ = nullptr;
    HandlerId handler_{};
    Edit* field_ = nullptr;
    ListView* results_ = nullptr;
    Element* pages_ = nullptr;
    ItemSearchIndex index_;
    std::vector<SearchHit> hits_;
    std::string query_;
    bool indexStale_ = true;
    int shownClass_ = -1, shownGroup_ = -1;  // when the search began
    std::function<uint64_t()> revision_;
    uint64_t indexRevision_ = 0;
};

}  // namespace pt

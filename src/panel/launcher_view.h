// The panel's content area built from the launcher data: the category
// column on the left (one check button per category, one radio group), and
// per category a page with a row of group tabs over one item grid per
// group. It is the data store's observer, so every list follows the
// document, and it carries out the category and group commands, the rename
// editors, hover switching, the remembered selection and the drag that
// reorders items. The popup menus open through the showMenu service; the grid's
// clicks and right-button releases go to the item code (item_actions.h).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "launcher/launcher_data.h"
#include "panel/content_menus.h"
#include "panel/item_actions.h"
#include "panel/panel_window.h"
#include "panel/stored_icon.h"
#include "toolkit/edit.h"
#include "toolkit/list_view.h"

namespace pt {

class IconResolver;
class IconStore;
class SettingsStore;
struct IconResolved;

struct LauncherViewServices {
    LauncherData* data = nullptr;       // required
    SettingsStore* settings = nullptr;  // required
    IconStore* icons = nullptr;         // none: grids show no icons
    // Asks an OK/Cancel question; true for OK. None: every question is OK.
    std::function<bool(const std::string& text)> confirm;
    // Shows a popup menu at a screen point and runs `chosen` with the id the
    // user picks. None: the panel's own popup menu (menu_presenter.h).
    std::function<void(const std::vector<ContentMenuEntry>& menu, POINT screen,
                       std::function<void(int id)> chosen)>
        showMenu;
    // For the items (item_actions.h): errors, the key dialog, the hide after
    // a launch and the shell call. None: see ItemActionServices.
    std::function<void(const std::string& text)> showError;
    std::function<void(const std::string& text)> showNotice;
    std::function<std::optional<std::string>()> askKey;
    std::function<void()> hidePanel;
    ShellCall shellCall;
    // The properties dialog's choosers; empty members: the system's.
    ShellPickers pickers;
};

class LauncherView final : public PanelContent, public LauncherObserver {
  public:
    explicit LauncherView(LauncherViewServices services);
    ~LauncherView() override;

    // ---- PanelContent
    void Build(Element& area) override;
    void SelectRemembered(int iClass, int iGroup) override;
    void FlushPendingSave() override;
    void FollowSkin(bool dark) override;

    // ---- the commands of the category and tab menus, on the current
    // category and group (ids from content_menus.h)
    void RunClassCommand(int id);
    void RunGroupCommand(int id);
    // The menus as they would open now.
    std::vector<ContentMenuEntry> ClassMenu(bool onEntry) const;
    std::vector<ContentMenuEntry> GroupMenu(bool onTab) const;

    // Starting items and the item menu's commands.
    ItemActions& Actions() { return *actions_; }

    // ---- for tests and the later item code
    Element* Sidebar() const { return sidebar_; }
    Button* ClassEntry(int c) const;
    Button* Tab(int c, int g) const;
    ListView* Grid(int c, int g) const;
    Edit* RenameEditor() const;
    // The tooltip lines of an item, joined with CR LF.
    std::string TooltipText(int c, int g, int i) const;
    // The text last offered for a resting mouse ("" once it moved away).
    const std::string& ShownTooltip() const { return shownTooltip_; }
    // Icons asked for and not arrived yet (their cells show a stand-in).
    int IconsOutstanding() const;

    // ---- LauncherObserver
    void OnClassAdded(int c, std::string_view name) override;
    void OnGroupAdded(int c, int g, std::string_view name) override;
    void OnItemAdded(int c, int g, int i, const ItemLook& item) override;
    void OnClassRemoved(int c) override;
    void OnGroupRemoved(int c, int g) override;
    void OnItemRemoved(int c, int g, int i) override;
    void OnGroupCleared(int c, int g) override;
    void OnClassMoved(int from, int to) override;
    void OnGroupMoved(int c, int from, int to) override;
    void OnItemMoved(int c, int g, int from, int to) override;
    void OnGroupMovedToClass(int fromClass, int g, int toClass, int toGroup) override;
    void OnClassRenamed(int c, std::string_view name) override;
    void OnGroupRenamed(int c, int g, std::string_view name) override;
    void OnSelected(int c, int g) override;
    void OnItemRefreshed(int c, int g, int i, const ItemLook& item) override;
    void OnTargetFound(int c, int g, int i, const ItemLook& item) override;

  private:
    struct GridSlot {
        ListView* list = nullptr;
    };
    struct Page {
        Element* page = nullptr;
        Element* tabRow = nullptr;
        Element* grids = nullptr;
        int radioGroup = 0;
        std::vector<Button*> tabs;
        std::vector<GridSlot> lists;
    };
    // Where an item would land if the drag ended now.
    struct DropTarget {
        int index = -1;  // the target cell; -1: none
        bool after = false;
        Rect cell;  // window coordinates
    };
    struct Drag {
        bool active = false;
        int c = -1, g = -1, i = -1;
        ListView* list = nullptr;
        Point mouse;  // in the list's coordinates
    };

    int ClassIndexOf(const Element* entry) const;
    bool FindGrid(const ListView* list, int* c, int* g) const;
    bool FindTab(const Element* tab, int* c, int* g) const;
    // The name's colour: grey for a missing target, blue when enciphered,
    // else the skin's.
    std::optional<Color> CellColor(const ItemRecord& record, bool missing) const;
    // The cell of an item in grid (c, g); extractAgain asks for its icon
    // even when the store has one.
    ListItem MakeCell(const ItemLook& item, int c, int g, bool extractAgain = false);
    // An icon extracted off the UI thread: stored, and shown in every cell of its key.
    void OnIconResolved(const IconResolved& done);
    // Shows the images arrived since the last time in their cells.
    void ShowArrivedIcons();
    // The grid image of these PNG bytes: the image other cells already show
    // for the same bytes, else a new one that decodes when first painted.
    std::shared_ptr<EncodedImage> CellIcon(std::string png);
    // The grid image of the store's bytes for an icon key, shared by the
    // cells of every key with the same bytes; it reads them from the store
    // when first painted. Null when the store has none.
    std::shared_ptr<Image> StoredIcon(uint32_t key);
    // Drawn for bytes that do not decode.
    const std::shared_ptr<Image>& FallbackIcon();
    // One tick's share of verifying the items loaded on trust.
    void VerifySlice();
    void ShowClass(int c);
    void ShowGroup(int c, int g);
    void Relayout();
    void Remember();
    void OpenMenu(std::vector<ContentMenuEntry> menu, Element& at, Point elementPoint,
                  bool classMenu);
    void WireGrid(ListView* list);
    DropTarget TargetAt(ListView& list, Point point) const;
    void PaintMarker(ListView& list, Canvas& canvas);
    void Drop(Point point);

    LauncherViewServices services_;
    std::unique_ptr<ItemActions> actions_;
    Element* sidebar_ = nullptr;
    bool dark_ = false;  // the skin's background is dark
    Element* pagesHost_ = nullptr;
    std::vector<Button*> entries_;
    std::vector<Page> pages_;
    int nextRadioGroup_ = 0;
    Drag drag_;
    std::string shownTooltip_;
    bool loaded_ = false;
    // Cell images by a hash of their bytes, held only by the cells: an image
    // goes with the last cell that shows it.
    std::unordered_map<size_t, std::weak_ptr<EncodedImage>> cellIcons_;
    size_t cellIconsPruneAt_ = 256;
    // The images of the store's icons by key, held only by the cells.
    std::unordered_map<uint32_t, std::weak_ptr<Image>> keyIcons_;
    size_t keyIconsPruneAt_ = 256;
    // The store as the images that read from it find it: detached when the
    // view goes, so an image that outlives it reads nothing.
    std::shared_ptr<StoredIcons> storedIcons_;
    std::shared_ptr<Image> fallbackIcon_;  // drawn for bytes that do not decode
    std::unique_ptr<IconResolver> resolver_;
    std::unordered_map<uint32_t, std::shared_ptr<EncodedImage>>
        arrived_;  // by icon key, not shown yet
};

}  // namespace pt

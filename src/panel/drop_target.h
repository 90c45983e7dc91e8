// The panel as a drop target: files, folders, shortcuts and shell objects
// dragged onto it from another program become items at the end of the
// current group (launcher/drop_import.h). While a drag is over the panel,
// the item grid scrolls when the cursor nears its top or bottom edge.
//
// Reordering items inside the panel is the grid's own drag (the mouse
// stays captured by the grid, launcher_view.h), not an OLE drag: an item
// dragged out of the panel and dropped on another program gives that
// program nothing, and one dragged out and back is moved by the grid or
// not at all. A data object in the panel's own format can therefore only
// come from another process; it is accepted as that format, so nothing
// else in it is imported, and shown with no effect.
//
//   PanelDropTarget drop(data, view);
//   drop.Register(panel.Handle());   // after the window exists
//   ...                              // exit path, before the tray icon goes:
//   drop.Revoke();
#pragma once

#include <windows.h>
#include <ole2.h>

#include "base/win_handles.h"

namespace pt {

class LauncherData;
class LauncherView;

// Pixels (scaled) from the grid's top or bottom edge within which a drag
// scrolls it.
inline constexpr int kDropScrollBand = 30;

// The target object alone, for callers (tests) that drive its methods.
ComPtr<IDropTarget> MakePanelDropTarget(LauncherData& data, LauncherView& view);

class PanelDropTarget {
  public:
    PanelDropTarget(LauncherData& data, LauncherView& view);
    ~PanelDropTarget();
    PanelDropTarget(const PanelDropTarget&) = delete;
    PanelDropTarget& operator=(const PanelDropTarget&) = delete;

    // OLE on this thread, then RegisterDragDrop on the window. False when
    // either fails (the panel then just takes no drops).
    bool Register(HWND window);
    // RevokeDragDrop, which lets go of the target; harmless when not
    // registered.
    void Revoke();
    bool Registered() const { return window_ != nullptr; }
    IDropTarget* Target() const { return target_.Get(); }

  private:
    ScopedOle ole_;
    ComPtr<IDropTarget> target_;
    HWND window_ = nullptr;
};

}  // namespace pt

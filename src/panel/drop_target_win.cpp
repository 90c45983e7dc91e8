// The panel's IDropTarget; see drop_target.h.
#include "panel/drop_target.h"

#include <algorithm>
#include <new>

#include "launcher/drop_import.h"
#include "launcher/launcher_data.h"
#include "panel/launcher_view.h"
#include "toolkit/dpi.h"
#include "toolkit/list_view.h"

namespace pt {
namespace {

// What the drag would do now in a format: the format's own effect when the
// source allows it, else a copy or a link, never a move for another
// program's objects (the source would delete its files after a move).
DWORD EffectFor(DropFormat format, DWORD allowed) {
    DWORD wanted = DROPEFFECT_NONE;
    switch (format) {
        case DropFormat::kFiles:
            wanted = DROPEFFECT_COPY;
            break;
        case DropFormat::kShellObjects:
            wanted = DROPEFFECT_LINK;
            break;
        case DropFormat::kPanelItem:
        case DropFormat::kNone:
            return DROPEFFECT_NONE;
    }
    if (allowed & wanted)
        return wanted;
    if (allowed & DROPEFFECT_COPY)
        return DROPEFFECT_COPY;
    if (allowed & DROPEFFECT_LINK)
        return DROPEFFECT_LINK;
    return DROPEFFECT_NONE;
}

// COM interfaces have no virtual destructor by design: an object is only
// ever deleted by its own Release, never through an interface pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class DropTarget final : public IDropTarget {
  public:
    DropTarget(LauncherData& data, LauncherView& view) : data_(data), view_(view) {}

    // ---- IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // ---- IDropTarget. Nothing may escape into OLE's loop: every method
    // catches what the import could throw (memory) and refuses.
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                        DWORD* effect) override {
        (void)keys;
        if (!effect)
            return E_INVALIDARG;
        try {
            format_ = data_.CurrentGroup() >= 0 ? ChooseDropFormat(data) : DropFormat::kNone;
            *effect = EffectFor(format_, *effect);
            ScrollNear(point);
            return S_OK;
        } catch (...) {
            format_ = DropFormat::kNone;
            *effect = DROPEFFECT_NONE;
            return E_UNEXPECTED;
        }
    }

    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override {
        (void)keys;
        if (!effect)
            return E_INVALIDARG;
        try {
            *effect = EffectFor(format_, *effect);
            ScrollNear(point);
            return S_OK;
        } catch (...) {
            *effect = DROPEFFECT_NONE;
            return E_UNEXPECTED;
        }
    }

    HRESULT STDMETHODCALLTYPE DragLeave() override {
        format_ = DropFormat::kNone;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                   DWORD* effect) override {
        (void)keys;
        (void)point;
        format_ = DropFormat::kNone;
        if (!effect)
            return E_INVALIDARG;
        const DWORD allowed = *effect;
        *effect = DROPEFFECT_NONE;
        try {
            // The data is read again: what DragEnter saw decides nothing here.
            const DropImport import = ImportDrop(data, data_);
            if (import.added > 0) {
                *effect = EffectFor(import.format, allowed);
                ShowLastItem();
            }
            return S_OK;
        } catch (...) {
            return E_UNEXPECTED;
        }
    }

  private:
    ListView* CurrentGrid() const {
        ListView* grid = view_.Grid(data_.CurrentClass(), data_.CurrentGroup());
        return grid && grid->IsVisible() ? grid : nullptr;
    }

    // One row up or down when the cursor is over the grid and near an edge.
    void ScrollNear(POINTL point) {
        ListView* grid = CurrentGrid();
        if (!grid)
            return;
        const Rect box = grid->ScreenRect();
        if (!box.Contains(point.x, point.y))
            return;
        const int band = Dpi(kDropScrollBand);
        const int step = std::max(1, grid->ItemSize().height);
        if (point.y < box.top + band) {
            grid->SetScrollY(grid->ScrollY() - step);
        } else if (point.y >= box.bottom - band) {
            grid->SetScrollY(grid->ScrollY() + step);
        }
    }

    // The new items stand at the end: bring the last one into view.
    void ShowLastItem() {
        ListView* grid = CurrentGrid();
        if (!grid)
            return;
        const int count = grid->ItemCount(0);
        if (count > 0)
            grid->EnsureVisible(ListIndex{0, count - 1});
        grid->Redraw();
    }

    LONG refs_ = 1;
    LauncherData& data_;
    LauncherView& view_;
    DropFormat format_ = DropFormat::kNone;
};
#pragma GCC diagnostic pop

}  // namespace

ComPtr<IDropTarget> MakePanelDropTarget(LauncherData& data, LauncherView& view) {
    return ComPtr<IDropTarget>(new (std::nothrow) DropTarget(data, view));
}

PanelDropTarget::PanelDropTarget(LauncherData& data, LauncherView& view)
    : target_(MakePanelDropTarget(data, view)) {}

PanelDropTarget::~PanelDropTarget() {
    Revoke();
}

bool PanelDropTarget::Register(HWND window) {
    if (window_ || !window || !target_ || !ole_.Ok())
        return false;
    if (FAILED(::RegisterDragDrop(window, target_.Get())))
        return false;
    window_ = window;
    return true;
}

void PanelDropTarget::Revoke() {
    if (window_) {
        ::RevokeDragDrop(window_);
        window_ = nullptr;
    }
}

}  // namespace pt

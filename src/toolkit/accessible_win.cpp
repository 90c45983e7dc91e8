// The MSAA side of toolkit windows; see accessible.h.
//
// One IAccessible object per element (or list cell) asked for, holding the
// element's handle rather than a pointer: a screen reader may keep an
// object long after its element went, and then every call answers
// CO_E_OBJNOTCONNECTED instead of touching freed memory. Calls come on the
// UI thread (WM_GETOBJECT is sent to the window, the objects are used
// through the marshalled interface), so they read the tree directly. No
// exception leaves a method: they only read and convert.
#include "toolkit/accessible.h"

#include <oleacc.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <unordered_map>

#include "base/text.h"
#include "toolkit/dll_binding.h"
#include "toolkit/edit.h"
#include "toolkit/list_view.h"
#include "toolkit/widgets.h"
#include "toolkit/window.h"

namespace pt {
namespace {

// oleacc.dll is no known DLL: it is bound late, from the system folder, and
// a system without it has windows that screen readers cannot read.
DllFunction<decltype(&::LresultFromObject)> lresultFromObject{"oleacc.dll", "LresultFromObject"};
DllFunction<decltype(&::CreateStdAccessibleObject)> createStdAccessibleObject{
    "oleacc.dll", "CreateStdAccessibleObject"};

std::unordered_map<ElementHandle, AccessibleRole>& Roles() {
    static std::unordered_map<ElementHandle, AccessibleRole> roles;
    return roles;
}

AccessibleRole NamedRole(const Element& e) {
    auto it = Roles().find(e.Handle());
    return it == Roles().end() ? AccessibleRole::kDefault : it->second;
}

long MsaaRole(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::kList:
            return ROLE_SYSTEM_LIST;
        case AccessibleRole::kListItem:
            return ROLE_SYSTEM_LISTITEM;
        case AccessibleRole::kPageTabList:
            return ROLE_SYSTEM_PAGETABLIST;
        case AccessibleRole::kPageTab:
            return ROLE_SYSTEM_PAGETAB;
        case AccessibleRole::kPushButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        case AccessibleRole::kCheckBox:
            return ROLE_SYSTEM_CHECKBUTTON;
        case AccessibleRole::kRadioButton:
            return ROLE_SYSTEM_RADIOBUTTON;
        case AccessibleRole::kEdit:
            return ROLE_SYSTEM_TEXT;
        case AccessibleRole::kText:
            return ROLE_SYSTEM_STATICTEXT;
        case AccessibleRole::kDialog:
            return ROLE_SYSTEM_DIALOG;
        case AccessibleRole::kGrouping:
        case AccessibleRole::kDefault:
            break;
    }
    return ROLE_SYSTEM_GROUPING;
}

bool IsTabOfTabView(const Element& e) {
    const Element* column = e.Parent();
    const auto* view = column ? dynamic_cast<const TabView*>(column->Parent()) : nullptr;
    return view && view->TabColumn() == column;
}

// A button that stands for one of several choices: selected, not checked.
bool ActsAsChoice(long role) {
    return role == ROLE_SYSTEM_LISTITEM || role == ROLE_SYSTEM_PAGETAB;
}

// The shown children of a plain element, in order.
Element* ShownChild(const Element& e, long n, long* count) {
    long k = 0;
    for (size_t i = 0; i < e.ChildCount(); ++i) {
        Element* child = e.Child(i);
        if (!child || child->IsDestroyed() || !child->IsVisible())
            continue;
        if (++k == n)
            return child;
    }
    if (count)
        *count = k;
    return nullptr;
}

BSTR Bstr(const std::string& text) {
    const std::wstring w = ToWide(text);
    return ::SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
}

std::string CellName(const ListView& list, int cell) {
    const ListItem* item = list.Item(ListIndex{0, cell});
    if (!item || item->texts.empty())
        return {};
    auto it = item->texts.find("name");
    return it != item->texts.end() ? it->second : item->texts.begin()->second;
}

// COM interfaces have no virtual destructor by design: an object is only
// ever deleted by its own Release, never through an interface pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class ElementAccessible final : public IAccessible {
  public:
    ElementAccessible(HWND hwnd, ElementHandle handle, int cell)
        : hwnd_(hwnd), handle_(handle), cell_(cell) {}

    // ---- IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }

    // ---- IDispatch: not offered (clients use the vtable)
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count)
            *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // ---- IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent)
            return E_POINTER;
        *parent = nullptr;
        Element* e = Self();
        if (!e)
            return CO_E_OBJNOTCONNECTED;
        if (cell_ >= 0)
            return Make(e, -1, parent);
        if (e->Parent())
            return Make(e->Parent(), -1, parent);
        // The root's parent is the window's own frame object.
        auto create = createStdAccessibleObject.Optional();
        if (!create)
            return S_FALSE;
        return create(hwnd_, OBJID_WINDOW, IID_IDispatch, reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        Element* e = Self();
        if (!e)
            return CO_E_OBJNOTCONNECTED;
        if (cell_ >= 0)
            return S_OK;
        if (auto* list = dynamic_cast<ListView*>(e))
            *count = list->ItemCount(0);
        else
            ShownChild(*e, -1, count);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        Element* e = nullptr;
        int cell = -1;
        if (HRESULT hr = Resolve(child, &e, &cell); hr != S_OK)
            return hr;
        if (e == Self() && cell == cell_)
            return E_INVALIDARG;
        return Make(e, cell, out);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!name)
            return E_POINTER;
        *name = nullptr;
        Element* e = nullptr;
        int cell = -1;
        if (HRESULT hr = Resolve(child, &e, &cell); hr != S_OK)
            return hr;
        std::string text;
        if (cell >= 0) {
            text = CellName(static_cast<ListView&>(*e), cell);
        } else if (auto* edit = dynamic_cast<Edit*>(e)) {
            text = edit->Placeholder().empty() ? edit->Tooltip() : edit->Placeholder();
        } else if (!e->Parent()) {
            // A window is named by its title.
            wchar_t title[256];
            const int n = ::GetWindowTextW(hwnd_, title, 256);
            text = FromWide(std::wstring_view(title, n > 0 ? static_cast<size_t>(n) : 0));
        } else {
            text = e->DisplayText();
            if (text.empty())
                text = e->Tooltip();
        }
        if (text.empty())
            return S_FALSE;
        *name = Bstr(text);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!value)
            return E_POINTER;
        *value = nullptr;
        Element* e = nullptr;
        int cell = -1;
        if (HRESULT hr = Resolve(child, &e, &cell); hr != S_OK)
            return hr;
        auto* edit = cell < 0 ? dynamic_cast<Edit*>(e) : nullptr;
        if (!edit || edit->IsPassword())
            return S_FALSE;
        *value = Bstr(edit->Text());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        if (!text)
            return E_POINTER;
        *text = nullptr;
        Element* e = nullptr;
        int cell = -1;
        if (HRESULT hr = Resolve(child, &e, &cell); hr != S_OK)
            return hr;
        // A named element's tooltip says more than its name.
        if (cell >= 0 || e->Tooltip().empty() || e->DisplayText().empty())
            return S_FALSE;
        *text = Bstr(e->Tooltip());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role)
            return E_POINTER;
        ::VariantInit(role);
        Element* e = nullptr;
        int cell = -1;
        if (HRESULT hr = Resolve(child, &e, &cell); hr != S_OK)
            return hr;
        role->vt = VT_I4;
        role->lVal = cell >= 0 ? ROLE_SYSTEM_LISTITEM : AccessibleRoleOf(*e);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state)
            return E_POINTER;
        ::VariantInit(state);
        Element* e = nullptr;
        int cell = -1;
        if (HRESULT hr = Resolve(child, &e, &cell); hr != S_OK)
            return hr;
        state->vt = VT_I4;
        state->lVal = static_cast<long>(StateOf(*e, cell));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
        if (help)
            *help = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file)
            *file = nullptr;
        if (topic)
            *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* keys) override {
        if (keys)
            *keys = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus)
            return E_POINTER;
        ::VariantInit(focus);
        Window* window = Window::FromHwnd(hwnd_);
        Element* self = Self();
        if (!window || !self)
            return CO_E_OBJNOTCONNECTED;
        Element* f = window->FocusElement();
        if (!f || !IsWithin(f, self))
            return S_FALSE;
        int cell = -1;
        if (auto* list = dynamic_cast<ListView*>(f); list && list->Selected().Valid())
            cell = list->Selected().item;
        if (f == self && cell == cell_) {
            focus->vt = VT_I4;
            focus->lVal = CHILDID_SELF;
            return S_OK;
        }
        IDispatch* object = nullptr;
        if (Make(f, cell, &object) != S_OK)
            return S_FALSE;
        focus->vt = VT_DISPATCH;
        focus->pdispVal = object;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection)
            return E_POINTER;
        ::VariantInit(selection);
        auto* list = dynamic_cast<ListView*>(Self());
        if (!list || cell_ >= 0 || !list->Selected().Valid())
            return S_FALSE;
        selection->vt = VT_I4;
        selection->lVal = list->Selected().item + 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!action)
            return E_POINTER;
        *action = nullptr;
        Element* e = nullptr;
        int cell = -1;
        if (HRESULT hr = Resolve(child, &e, &cell); hr != S_OK)
            return hr;
        if (cell >= 0 || !dynamic_cast<Button*>(e))
            return S_FALSE;
        *action = Bstr("按下");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        Element* e = nullptr;
        int cell = -1;
        if (HRESULT hr = Resolve(child, &e, &cell); hr != S_OK)
            return hr;
        if (flags & SELFLAG_TAKEFOCUS) {
            if (Window* w = e->OwnerWindow())
                w->SetFocusElement(e);
        }
        if (cell >= 0 && (flags & SELFLAG_TAKESELECTION))
            static_cast<ListView*>(e)->SetSelected(ListIndex{0, cell}, true);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h,
                                          VARIANT child) override {
        if (!x || !y || !w || !h)
            return E_POINTER;
        *x = *y = *w = *h = 0;
        Element* e = nullptr;
        int cell = -1;
        if (HRESULT hr = Resolve(child, &e, &cell); hr != S_OK)
            return hr;
        const Rect r = cell >= 0 ? static_cast<ListView*>(e)->ItemScreenRect(ListIndex{0, cell})
                                 : e->ScreenRect();
        *x = r.left;
        *y = r.top;
        *w = r.Width();
        *h = r.Height();
        return S_OK;
    }
    // First and last child from this object; next and previous (the
    // spatial directions read as reading order: down and right are next)
    // among this object's siblings, or among its children from one of them.
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!end)
            return E_POINTER;
        ::VariantInit(end);
        if (start.vt != VT_I4)
            return E_INVALIDARG;
        Element* self = Self();
        if (!self)
            return CO_E_OBJNOTCONNECTED;
        long step = 0;
        switch (direction) {
            case NAVDIR_FIRSTCHILD:
            case NAVDIR_LASTCHILD: {
                if (start.lVal != CHILDID_SELF)
                    return E_INVALIDARG;
                const long count = ChildCountOf(*self);
                if (count == 0)
                    return S_FALSE;
                return Child(*self, direction == NAVDIR_FIRSTCHILD ? 1 : count, end);
            }
            case NAVDIR_NEXT:
            case NAVDIR_DOWN:
            case NAVDIR_RIGHT:
                step = 1;
                break;
            case NAVDIR_PREVIOUS:
            case NAVDIR_UP:
            case NAVDIR_LEFT:
                step = -1;
                break;
            default:
                return E_INVALIDARG;
        }
        if (start.lVal != CHILDID_SELF) {
            // A child of this object: its neighbour among the same children.
            if (cell_ >= 0 || start.lVal < 0 || start.lVal > ChildCountOf(*self))
                return E_INVALIDARG;
            const long to = start.lVal + step;
            return to >= 1 && to <= ChildCountOf(*self) ? Child(*self, to, end) : S_FALSE;
        }
        // This object: its neighbour under its parent.
        Element* parent = cell_ >= 0 ? self : self->Parent();
        if (!parent)
            return S_FALSE;
        long at = cell_ + 1;
        if (cell_ < 0) {
            for (at = ChildCountOf(*parent); at > 0 && ShownChild(*parent, at, nullptr) != self;)
                --at;
        }
        const long to = at + step;
        return at > 0 && to >= 1 && to <= ChildCountOf(*parent) ? Child(*parent, to, end) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        if (!hit)
            return E_POINTER;
        ::VariantInit(hit);
        Window* window = Window::FromHwnd(hwnd_);
        Element* self = Self();
        if (!window || !self)
            return CO_E_OBJNOTCONNECTED;
        POINT p{x, y};
        ::ScreenToClient(hwnd_, &p);
        Element* e = window->ElementAt(Point{p.x, p.y});
        if (!e || !IsWithin(e, self))
            return S_FALSE;
        int cell = -1;
        if (auto* list = dynamic_cast<ListView*>(e)) {
            const ListIndex index = list->HitTest(list->ToElement(Point{p.x, p.y}));
            cell = index.Valid() ? index.item : -1;
        }
        if (e == self && cell == cell_) {
            hit->vt = VT_I4;
            hit->lVal = CHILDID_SELF;
            return S_OK;
        }
        IDispatch* object = nullptr;
        if (Make(e, cell, &object) != S_OK)
            return S_FALSE;
        hit->vt = VT_DISPATCH;
        hit->pdispVal = object;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        Element* e = nullptr;
        int cell = -1;
        if (HRESULT hr = Resolve(child, &e, &cell); hr != S_OK)
            return hr;
        auto* button = cell < 0 ? dynamic_cast<Button*>(e) : nullptr;
        if (!button || !button->IsEnabled())
            return DISP_E_MEMBERNOTFOUND;
        // Posted through the window's own loop would be kinder to a caller
        // in another process; a click here runs as a mouse click does.
        button->Click();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    Element* Self() const {
        Element* e = Element::FromHandle(handle_);
        if (!e || e->IsDestroyed() || !Window::FromHwnd(hwnd_) ||
            e->OwnerWindow() != Window::FromHwnd(hwnd_))
            return nullptr;
        return e;
    }
    static bool IsWithin(const Element* e, const Element* ancestor) {
        for (; e; e = e->Parent()) {
            if (e == ancestor)
                return true;
        }
        return false;
    }
    // The element (and cell) a child id names: 0 this object, n the n-th
    // cell of a list or the n-th shown child of anything else.
    HRESULT Resolve(const VARIANT& child, Element** e, int* cell) const {
        if (child.vt != VT_I4)
            return E_INVALIDARG;
        Element* self = Self();
        if (!self)
            return CO_E_OBJNOTCONNECTED;
        const long n = child.lVal;
        if (n == CHILDID_SELF) {
            *e = self;
            *cell = cell_;
            return S_OK;
        }
        if (cell_ >= 0 || n < 0)
            return E_INVALIDARG;
        if (auto* list = dynamic_cast<ListView*>(self)) {
            if (n > list->ItemCount(0))
                return E_INVALIDARG;
            *e = self;
            *cell = static_cast<int>(n - 1);
            return S_OK;
        }
        Element* found = ShownChild(*self, n, nullptr);
        if (!found)
            return E_INVALIDARG;
        *e = found;
        *cell = -1;
        return S_OK;
    }
    // A list's children are its cells; anything else's, its shown children.
    static long ChildCountOf(const Element& e) {
        if (auto* list = dynamic_cast<const ListView*>(&e))
            return list->ItemCount(0);
        long count = 0;
        ShownChild(e, -1, &count);
        return count;
    }
    // The n-th child (1-based) of `e` as an object of its own.
    HRESULT Child(Element& e, long n, VARIANT* out) const {
        const bool list = dynamic_cast<ListView*>(&e) != nullptr;
        Element* target = list ? &e : ShownChild(e, n, nullptr);
        IDispatch* object = nullptr;
        if (!target || Make(target, list ? static_cast<int>(n - 1) : -1, &object) != S_OK)
            return S_FALSE;
        out->vt = VT_DISPATCH;
        out->pdispVal = object;
        return S_OK;
    }
    HRESULT Make(Element* e, int cell, IDispatch** out) const {
        auto* object = new (std::nothrow) ElementAccessible(hwnd_, e->Handle(), cell);
        if (!object)
            return E_OUTOFMEMORY;
        *out = object;
        return S_OK;
    }
    static DWORD StateOf(const Element& e, int cell) {
        DWORD s = 0;
        if (!e.IsShown())
            s |= STATE_SYSTEM_INVISIBLE;
        if (!e.IsEnabled())
            s |= STATE_SYSTEM_UNAVAILABLE;
        if (cell >= 0) {
            const auto& list = static_cast<const ListView&>(e);
            const bool selected = list.Selected().Valid() && list.Selected().item == cell;
            s |= STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
            if (selected)
                s |= STATE_SYSTEM_SELECTED;
            if (selected && e.HasFocus())
                s |= STATE_SYSTEM_FOCUSED;
            return s;
        }
        if (e.Focusable())
            s |= STATE_SYSTEM_FOCUSABLE;
        if (e.HasFocus())
            s |= STATE_SYSTEM_FOCUSED;
        if (auto* button = dynamic_cast<const Button*>(&e); button && button->IsChecked()) {
            const long role = AccessibleRoleOf(e);
            s |= ActsAsChoice(role) ? STATE_SYSTEM_SELECTED : STATE_SYSTEM_CHECKED;
        }
        if (auto* button = dynamic_cast<const Button*>(&e);
            button && ActsAsChoice(AccessibleRoleOf(e)))
            s |= STATE_SYSTEM_SELECTABLE;
        if (auto* edit = dynamic_cast<const Edit*>(&e)) {
            if (edit->IsReadOnly())
                s |= STATE_SYSTEM_READONLY;
            if (edit->IsPassword())
                s |= STATE_SYSTEM_PROTECTED;
        }
        return s;
    }

    HWND hwnd_;
    ElementHandle handle_;
    int cell_;  // -1: the element itself
    ULONG refs_ = 1;
};
#pragma GCC diagnostic pop

void Announce(DWORD event, const Element& e, long child) {
    Window* w = e.OwnerWindow();
    if (w && w->Hwnd())
        ::NotifyWinEvent(event, w->Hwnd(), static_cast<LONG>(e.Handle()), child);
}

}  // namespace

void SetAccessibleRole(Element& element, AccessibleRole role) {
    auto& roles = Roles();
    if (role == AccessibleRole::kDefault) {
        roles.erase(element.Handle());
        return;
    }
    // Elements that went leave their entries behind: drop them now and then.
    static size_t pruneAt = 256;
    if (roles.size() >= pruneAt) {
        for (auto it = roles.begin(); it != roles.end();)
            it = Element::FromHandle(it->first) ? std::next(it) : roles.erase(it);
        pruneAt = std::max<size_t>(256, roles.size() * 2);
    }
    roles[element.Handle()] = role;
}

long AccessibleRoleOf(const Element& e) {
    if (const AccessibleRole named = NamedRole(e); named != AccessibleRole::kDefault)
        return MsaaRole(named);
    if (!e.Parent()) {
        const Window* w = e.OwnerWindow();
        return w && ::GetWindow(w->Hwnd(), GW_OWNER) ? ROLE_SYSTEM_DIALOG : ROLE_SYSTEM_CLIENT;
    }
    if (dynamic_cast<const Edit*>(&e))
        return ROLE_SYSTEM_TEXT;
    if (dynamic_cast<const ListView*>(&e))
        return ROLE_SYSTEM_LIST;
    if (dynamic_cast<const TabView*>(&e))
        return ROLE_SYSTEM_PAGETABLIST;
    if (auto* button = dynamic_cast<const Button*>(&e)) {
        if (IsTabOfTabView(e))
            return ROLE_SYSTEM_PAGETAB;
        if (dynamic_cast<const RadioButton*>(&e) || button->Group() != 0)
            return ROLE_SYSTEM_RADIOBUTTON;
        if (button->Behaviour().CheckMode())
            return ROLE_SYSTEM_CHECKBUTTON;
        return ROLE_SYSTEM_PUSHBUTTON;
    }
    if (dynamic_cast<const TextElement*>(&e))
        return ROLE_SYSTEM_STATICTEXT;
    return ROLE_SYSTEM_GROUPING;
}

bool AnswerGetObject(Window& window, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    auto answer = lresultFromObject.Optional();
    if (!answer)
        return false;
    const LONG id = static_cast<LONG>(static_cast<DWORD>(lParam));
    Element* e = nullptr;
    if (id == OBJID_CLIENT) {
        e = &window.Root();
    } else if (id > 0) {
        e = Element::FromHandle(static_cast<ElementHandle>(id));
        if (!e || e->IsDestroyed() || e->OwnerWindow() != &window)
            return false;
    } else {
        return false;
    }
    auto* object = new (std::nothrow) ElementAccessible(window.Hwnd(), e->Handle(), -1);
    if (!object)
        return false;
    *result = answer(__uuidof(IAccessible), wParam, object);
    object->Release();
    return true;
}

void AnnounceFocus(Window& window, Element* element) {
    if (!element || !window.Hwnd())
        return;
    long child = CHILDID_SELF;
    if (auto* list = dynamic_cast<ListView*>(element); list && list->Selected().Valid())
        child = list->Selected().item + 1;
    Announce(EVENT_OBJECT_FOCUS, *element, child);
}

void AnnounceCellSelection(Element& list, int cell) {
    if (cell < 0)
        return;
    Announce(EVENT_OBJECT_SELECTION, list, cell + 1);
    if (list.HasFocus())
        Announce(EVENT_OBJECT_FOCUS, list, cell + 1);
}

void AnnounceStateChange(Element& element) {
    Announce(EVENT_OBJECT_STATECHANGE, element, CHILDID_SELF);
    auto* button = dynamic_cast<Button*>(&element);
    if (button && button->IsChecked() && ActsAsChoice(AccessibleRoleOf(element)))
        Announce(EVENT_OBJECT_SELECTION, element, CHILDID_SELF);
}

}  // namespace pt

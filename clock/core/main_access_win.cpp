// The main window's IAccessible. The window itself (parent, its place, its own name and state) is
// the system's standard client object; the children are this program's items, read afresh at every
// call from page_access.h, since the page and its lists change under a reader at any time.
#include "clock/core/main_access_win.h"

#include <oleacc.h>

#include <new>
#include <string>
#include <vector>

#include "clock/core/main_mouse_win.h"
#include "clock/core/main_window_rules.h"
#include "clock/core/main_window_win.h"
#include "clock/core/page_access.h"
#include "clock/core/platform.h"
#include "clock/core/program_win.h"
#include "clock/core/window_ids.h"
#include "forms/wide_win.h"

namespace {

AccessMoment MomentOf(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    AccessMoment moment;
    moment.now = PlatformNow();
    moment.tickNow = PlatformTickCount();
    moment.clientWidth = LogicalX(WindowScale(), client.right);
    moment.clientHeight = LogicalY(WindowScale(), client.bottom);
    moment.serviceUnread = ServiceUnread;
    moment.caption = MainCaption(kVersionMajor, kVersionMinor, kVersionRevision);
    return moment;
}

std::vector<AccessibleItem> ItemsOf(HWND window) {
    return AccessibleItems(CurrentMainView(), MomentOf(window));
}

long RoleOf(AccessRole role) {
    switch (role) {
        case kAccessPageTab:
            return ROLE_SYSTEM_PAGETAB;
        case kAccessListItem:
            return ROLE_SYSTEM_LISTITEM;
        case kAccessCheckButton:
            return ROLE_SYSTEM_CHECKBUTTON;
        case kAccessPushButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        default:
            return ROLE_SYSTEM_STATICTEXT;
    }
}

long StateOf(const AccessibleItem& child, bool focused) {
    long state = 0;
    if (child.item != 0 && !child.hidden) state |= STATE_SYSTEM_FOCUSABLE;
    if (child.item == 0) state |= STATE_SYSTEM_READONLY;
    if (child.role == kAccessPageTab) state |= STATE_SYSTEM_SELECTABLE;
    if (child.selected) state |= STATE_SYSTEM_SELECTED;
    if (child.checked) state |= STATE_SYSTEM_CHECKED;
    if (child.hidden) state |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
    if (focused) state |= STATE_SYSTEM_FOCUSED;
    return state;
}

// S_FALSE and no string for an empty text, as MSAA asks.
HRESULT GbkString(const std::string& text, BSTR* out) {
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    const std::wstring wide = WideFromGbk(text);
    *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* out, long child) {
    out->vt = VT_I4;
    out->lVal = child;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The child a VARIANT names, or null when it names none of items.
const AccessibleItem* ChildOf(const std::vector<AccessibleItem>& items, const VARIANT& child) {
    if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > static_cast<long>(items.size())) return nullptr;
    return &items[static_cast<size_t>(child.lVal - 1)];
}

class MainAccessible final : public IAccessible {
  public:
    MainAccessible(HWND window, IAccessible* standard) : window_(window), standard_(standard) {}
    MainAccessible(const MainAccessible&) = delete;
    MainAccessible& operator=(const MainAccessible&) = delete;

    // The window is going: every later call fails, and the standard object is let go now.
    void Disconnect() {
        window_ = nullptr;
        if (standard_) standard_->Release();
        standard_ = nullptr;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != __uuidof(IUnknown) && iid != __uuidof(IDispatch) && iid != __uuidof(IAccessible))
            return E_NOINTERFACE;
        *out = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            Disconnect();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // No type information: readers call IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        return window_ ? standard_->get_accParent(parent) : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        if (!window_) return RPC_E_DISCONNECTED;
        *count = static_cast<long>(ItemsOf(window_).size());
        return S_OK;
    }
    // The children are simple elements, not objects of their own.
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!window_) return RPC_E_DISCONNECTED;
        return ChildOf(ItemsOf(window_), child) ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        return Text(child, out, &IAccessible::get_accName, &AccessibleItem::name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!window_) return RPC_E_DISCONNECTED;
        if (IsSelf(child)) return standard_->get_accValue(child, out);
        return ChildOf(ItemsOf(window_), child) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return Text(child, out, &IAccessible::get_accDescription, &AccessibleItem::description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        if (!window_) return RPC_E_DISCONNECTED;
        if (IsSelf(child)) return standard_->get_accRole(child, out);
        const std::vector<AccessibleItem> items = ItemsOf(window_);
        const AccessibleItem* found = ChildOf(items, child);
        if (!found) return E_INVALIDARG;
        SetChild(out, RoleOf(found->role));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        if (!window_) return RPC_E_DISCONNECTED;
        if (IsSelf(child)) return standard_->get_accState(child, out);
        const std::vector<AccessibleItem> items = ItemsOf(window_);
        const AccessibleItem* found = ChildOf(items, child);
        if (!found) return E_INVALIDARG;
        const bool focused = found->item != 0 && found->item == FocusItem && GetFocus() == window_;
        SetChild(out, StateOf(*found, focused));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
        return NoText(child, out, &IAccessible::get_accHelp);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return window_ ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return NoText(child, out, &IAccessible::get_accKeyboardShortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        if (!window_) return RPC_E_DISCONNECTED;
        if (GetFocus() != window_) return S_FALSE;
        const int child = ChildOfItem(ItemsOf(window_), FocusItem);
        SetChild(out, child > 0 ? child : CHILDID_SELF);
        return S_OK;
    }
    // The current page's tab.
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        if (!window_) return RPC_E_DISCONNECTED;
        const std::vector<AccessibleItem> items = ItemsOf(window_);
        for (size_t k = 0; k < items.size(); ++k) {
            if (!items[k].selected) continue;
            SetChild(out, static_cast<long>(k + 1));
            return S_OK;
        }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        return Text(child, out, &IAccessible::get_accDefaultAction, &AccessibleItem::defaultAction);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        if (!window_) return RPC_E_DISCONNECTED;
        if (IsSelf(child)) return standard_->accSelect(flags, child);
        return ChildOf(ItemsOf(window_), child) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT child) override {
        if (!x || !y || !w || !h) return E_POINTER;
        *x = *y = *w = *h = 0;
        if (!window_) return RPC_E_DISCONNECTED;
        if (IsSelf(child)) return standard_->accLocation(x, y, w, h, child);
        const std::vector<AccessibleItem> items = ItemsOf(window_);
        const AccessibleItem* found = ChildOf(items, child);
        if (!found) return E_INVALIDARG;
        const LayoutRect& box = found->location;
        const Scale& scale = WindowScale();
        POINT origin = {ScaleX(scale, box.x), ScaleY(scale, box.y)};
        if (!ClientToScreen(window_, &origin)) return HRESULT_FROM_WIN32(GetLastError());
        *x = origin.x;
        *y = origin.y;
        *w = ScaleX(scale, box.x + box.w) - ScaleX(scale, box.x);
        *h = ScaleY(scale, box.y + box.h) - ScaleY(scale, box.y);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        if (!window_) return RPC_E_DISCONNECTED;
        const std::vector<AccessibleItem> items = ItemsOf(window_);
        const long count = static_cast<long>(items.size());
        if (IsSelf(start)) {
            if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
                if (count == 0) return S_FALSE;
                SetChild(out, direction == NAVDIR_FIRSTCHILD ? 1 : count);
                return S_OK;
            }
            return standard_->accNavigate(direction, start, out);
        }
        if (!ChildOf(items, start)) return E_INVALIDARG;
        const bool forward =
            direction == NAVDIR_NEXT || direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT;
        const bool back = direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP || direction == NAVDIR_LEFT;
        if (!forward && !back) return E_INVALIDARG;
        const long next = start.lVal + (forward ? 1 : -1);
        if (next < 1 || next > count) return S_FALSE;
        SetChild(out, next);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        if (!window_) return RPC_E_DISCONNECTED;
        POINT p = {x, y};
        RECT client = {};
        if (!ScreenToClient(window_, &p) || !GetClientRect(window_, &client) || !PtInRect(&client, p))
            return standard_->accHitTest(x, y, out);
        const std::vector<AccessibleItem> items = ItemsOf(window_);
        const int lx = LogicalX(WindowScale(), p.x), ly = LogicalY(WindowScale(), p.y);
        // The later child is the one drawn on top: the close button over the readout.
        for (size_t k = items.size(); k-- > 0;) {
            if (items[k].hidden || !items[k].location.Contains(lx, ly)) continue;
            SetChild(out, static_cast<long>(k + 1));
            return S_OK;
        }
        SetChild(out, CHILDID_SELF);
        return S_OK;
    }
    // The click may open a modal editor, whose message loop must not run inside this call: the
    // window is asked to click once the reader has its answer.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!window_) return RPC_E_DISCONNECTED;
        if (IsSelf(child)) return standard_->accDoDefaultAction(child);
        const std::vector<AccessibleItem> items = ItemsOf(window_);
        const AccessibleItem* found = ChildOf(items, child);
        if (!found) return E_INVALIDARG;
        if (found->item == 0) return DISP_E_MEMBERNOTFOUND;
        if (!PostMessageW(window_, kMsgAccessClick, static_cast<WPARAM>(found->item), CurrentMainView().page))
            return HRESULT_FROM_WIN32(GetLastError());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

  private:
    ~MainAccessible() = default;

    using StandardText = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);

    // A text of the window from the standard object, of a child from its field.
    HRESULT Text(VARIANT child, BSTR* out, StandardText standard, std::string AccessibleItem::*field) {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!window_) return RPC_E_DISCONNECTED;
        if (IsSelf(child)) return (standard_->*standard)(child, out);
        const std::vector<AccessibleItem> items = ItemsOf(window_);
        const AccessibleItem* found = ChildOf(items, child);
        return found ? GbkString(found->*field, out) : E_INVALIDARG;
    }

    // A text the children do not have.
    HRESULT NoText(VARIANT child, BSTR* out, StandardText standard) {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!window_) return RPC_E_DISCONNECTED;
        if (IsSelf(child)) return (standard_->*standard)(child, out);
        return ChildOf(ItemsOf(window_), child) ? S_FALSE : E_INVALIDARG;
    }

    LONG refs_ = 1;
    HWND window_;
    IAccessible* standard_;
};

MainAccessible* gAccess = nullptr;
bool gComStarted = false;  // this module initialised COM on the GUI thread and undoes it

// The apartment the object lives in: the GUI thread's, whose message loop serves the readers.
bool StartCom() {
    if (gComStarted) return true;
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    gComStarted = SUCCEEDED(hr);
    return gComStarted || hr == RPC_E_CHANGED_MODE;
}

// Null when the object cannot be made: the window then answers as every window does, with the
// system's standard object, so a reader still finds the window and its name.
MainAccessible* AccessOf(HWND window) {
    if (gAccess) return gAccess;
    if (!StartCom()) return nullptr;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&standard))))
        return nullptr;
    gAccess = new (std::nothrow) MainAccessible(window, standard);
    if (!gAccess) standard->Release();
    return gAccess;
}

bool OnGetObject(HWND window, WPARAM flags, LPARAM objectId, LRESULT* result) {
    if (static_cast<LONG>(objectId) != OBJID_CLIENT) return false;
    MainAccessible* access = AccessOf(window);
    if (!access) return false;
    *result = LresultFromObject(__uuidof(IAccessible), flags, access);
    return true;
}

// Posted by accDoDefaultAction: a click meant for a page the user has left meanwhile is dropped.
void OnAccessClick(HWND window, WPARAM item, LPARAM page) {
    if (static_cast<int>(page) != CurrentMainView().page) return;
    ClickMainItem(window, static_cast<int>(item));
}

void Announce(HWND window, DWORD event, int item) {
    const int child = ChildOfItem(ItemsOf(window), item);
    if (child > 0) NotifyWinEvent(event, window, OBJID_CLIENT, child);
}

}  // namespace

bool HandleAccessMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    *result = 0;
    if (message == WM_GETOBJECT) return OnGetObject(window, wParam, lParam, result);
    if (message != kMsgAccessClick) return false;
    OnAccessClick(window, wParam, lParam);
    return true;
}

void DisconnectMainAccess() {
    if (gAccess) {
        gAccess->Disconnect();
        // Drops the readers' references; one that calls on meets a dead connection. A failure
        // leaves them holding an object that answers RPC_E_DISCONNECTED, which is just as safe.
        CoDisconnectObject(gAccess, 0);
        gAccess->Release();
        gAccess = nullptr;
    }
    if (gComStarted) CoUninitialize();
    gComStarted = false;
}

void AnnounceFocusItem(HWND window, int item) {
    Announce(window, EVENT_OBJECT_FOCUS, item);
}

void AnnouncePageChange(HWND window) {
    NotifyWinEvent(EVENT_OBJECT_REORDER, window, OBJID_CLIENT, CHILDID_SELF);
}

void AnnounceItemState(HWND window, int item) {
    Announce(window, EVENT_OBJECT_STATECHANGE, item);
}

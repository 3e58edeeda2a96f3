// MSAA: one IAccessible object per node of the tree. An object knows only its
// host and its node id; every call looks the node up in the current tree.
#include <ole2.h>
#include <oleacc.h>

#include "a11y/host.h"
#include "sources/system_library.h"

namespace ovra {

namespace {

// IAccessible's interface id, spelled out: oleacc is loaded at run time, not linked.
constexpr IID accessibleId = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

HMODULE oleacc() {
    static HMODULE module = loadSystemLibrary(L"oleacc.dll");
    return module;
}

long roleOf(AccRole role) {
    switch (role) {
    case AccRole::client: return ROLE_SYSTEM_CLIENT;
    case AccRole::list: return ROLE_SYSTEM_LIST;
    case AccRole::listItem: return ROLE_SYSTEM_LISTITEM;
    case AccRole::document: return ROLE_SYSTEM_DOCUMENT;
    case AccRole::group: return ROLE_SYSTEM_GROUPING;
    case AccRole::text: return ROLE_SYSTEM_STATICTEXT;
    case AccRole::button: return ROLE_SYSTEM_PUSHBUTTON;
    case AccRole::checkBox: return ROLE_SYSTEM_CHECKBUTTON;
    case AccRole::radio: return ROLE_SYSTEM_RADIOBUTTON;
    }
    return ROLE_SYSTEM_STATICTEXT;
}

const wchar_t* defaultActionOf(const AccNode& node) {
    switch (node.role) {
    case AccRole::button: return L"Tekan";
    case AccRole::checkBox: return L"Alihkan";
    case AccRole::radio:
    case AccRole::listItem: return L"Pilih";
    default: return nullptr;
    }
}

long stateOf(const AccTree& tree, int index, HWND window) {
    const AccNode& node = tree.nodes[size_t(index)];
    long state = 0;
    if (node.role == AccRole::text) state |= STATE_SYSTEM_READONLY;
    if (!node.enabled) state |= STATE_SYSTEM_UNAVAILABLE;
    if (node.focus.valid()) state |= STATE_SYSTEM_FOCUSABLE;
    if (index == tree.focused) state |= STATE_SYSTEM_FOCUSED;
    if (node.on && (node.role == AccRole::checkBox || node.role == AccRole::radio))
        state |= STATE_SYSTEM_CHECKED;
    if (node.role == AccRole::listItem) {
        state |= STATE_SYSTEM_SELECTABLE;
        if (node.on) state |= STATE_SYSTEM_SELECTED;
    }
    RECT client{};
    GetClientRect(window, &client);
    RECT visible;
    if (index > 0 && !IntersectRect(&visible, &node.rect, &client)) state |= STATE_SYSTEM_OFFSCREEN;
    return state;
}

HRESULT text(BSTR* out, const std::wstring& value) {
    *out = nullptr;
    if (value.empty()) return S_FALSE;
    *out = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

class AccObject final : public IAccessible {
public:
    AccObject(std::shared_ptr<AccessHost> host, long id) : host_(std::move(host)), id_(id) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == accessibleId) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&refs_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
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

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
        *out = nullptr;
        Found found = find();
        if (!found.tree) return RPC_E_DISCONNECTED;
        const int parent = found.node().parent;
        if (parent >= 0) return dispatchOf(found.tree->nodes[size_t(parent)].id, out);
        using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
        const auto fromWindow = systemFunction<FromWindow>(oleacc(), "AccessibleObjectFromWindow");
        return fromWindow ? fromWindow(host_->window(), static_cast<DWORD>(OBJID_WINDOW),
                                       __uuidof(IDispatch), reinterpret_cast<void**>(out))
                          : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        *count = 0;
        Found found = find();
        if (!found.tree) return RPC_E_DISCONNECTED;
        *count = static_cast<long>(found.node().children.size());
        return S_OK;
    }
    // A child by position (1 = first), or, asked of the root, any node by its id as
    // focus and value events name it.
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        *out = nullptr;
        Found found = find();
        if (!found.tree) return RPC_E_DISCONNECTED;
        if (child.vt != VT_I4) return E_INVALIDARG;
        const std::vector<int>& children = found.node().children;
        if (child.lVal >= 1 && size_t(child.lVal) <= children.size())
            return dispatchOf(found.tree->nodes[size_t(children[size_t(child.lVal - 1)])].id, out);
        if (found.index == 0 && child.lVal >= firstAccessId &&
            nodeById(*found.tree, child.lVal) >= 0)
            return dispatchOf(child.lVal, out);
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        *out = nullptr;
        Found found = self(child);
        return found.tree ? text(out, found.node().name) : found.error;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        *out = nullptr;
        Found found = self(child);
        return found.tree ? text(out, found.node().value) : found.error;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        *out = nullptr;
        Found found = self(child);
        return found.tree ? S_FALSE : found.error;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        VariantInit(out);
        Found found = self(child);
        if (!found.tree) return found.error;
        out->vt = VT_I4;
        out->lVal = roleOf(found.node().role);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        VariantInit(out);
        Found found = self(child);
        if (!found.tree) return found.error;
        out->vt = VT_I4;
        out->lVal = stateOf(*found.tree, found.index, host_->window());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* out) override {
        *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        *file = nullptr;
        *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* out) override {
        *out = nullptr;
        return S_FALSE;
    }
    // The focused node at or below this one: itself (CHILDID_SELF) or a descendant.
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        VariantInit(out);
        Found found = find();
        if (!found.tree) return RPC_E_DISCONNECTED;
        int at = found.tree->focused;
        if (at == found.index) {
            out->vt = VT_I4;
            out->lVal = CHILDID_SELF;
            return S_OK;
        }
        for (int up = at; up >= 0; up = found.tree->nodes[size_t(up)].parent)
            if (up == found.index) {
                out->vt = VT_DISPATCH;
                return dispatchOf(found.tree->nodes[size_t(at)].id, &out->pdispVal);
            }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        VariantInit(out);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        *out = nullptr;
        Found found = self(child);
        if (!found.tree) return found.error;
        const wchar_t* action = found.node().enabled ? defaultActionOf(found.node()) : nullptr;
        return action ? text(out, action) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        *left = *top = *width = *height = 0;
        Found found = self(child);
        if (!found.tree) return found.error;
        RECT rect = found.node().rect;
        if (found.index == 0) GetClientRect(host_->window(), &rect);
        POINT origin{rect.left, rect.top};
        ClientToScreen(host_->window(), &origin);
        *left = origin.x;
        *top = origin.y;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override {
        VariantInit(out);
        Found found = self(start);
        if (!found.tree) return found.error;
        const AccTree& tree = *found.tree;
        const AccNode& node = found.node();
        int target = -1;
        if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
            if (!node.children.empty())
                target =
                    direction == NAVDIR_FIRSTCHILD ? node.children.front() : node.children.back();
        } else if (node.parent >= 0) {
            const std::vector<int>& siblings = tree.nodes[size_t(node.parent)].children;
            for (size_t i = 0; i < siblings.size(); ++i) {
                if (siblings[i] != found.index) continue;
                const bool next = direction == NAVDIR_NEXT || direction == NAVDIR_DOWN ||
                                  direction == NAVDIR_RIGHT;
                if (next && i + 1 < siblings.size()) target = siblings[i + 1];
                if (!next && i > 0) target = siblings[i - 1];
            }
        }
        if (target < 0) return S_FALSE;
        out->vt = VT_DISPATCH;
        return dispatchOf(tree.nodes[size_t(target)].id, &out->pdispVal);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        VariantInit(out);
        Found found = find();
        if (!found.tree) return RPC_E_DISCONNECTED;
        POINT point{x, y};
        ScreenToClient(host_->window(), &point);
        // The deepest node under the point, among this one's descendants.
        int at = found.index;
        for (bool deeper = true; deeper;) {
            deeper = false;
            for (int child : found.tree->nodes[size_t(at)].children)
                if (PtInRect(&found.tree->nodes[size_t(child)].rect, point)) {
                    at = child;
                    deeper = true;
                    break;
                }
        }
        if (at == found.index) {
            out->vt = VT_I4;
            out->lVal = CHILDID_SELF;
            return S_OK;
        }
        out->vt = VT_DISPATCH;
        return dispatchOf(found.tree->nodes[size_t(at)].id, &out->pdispVal);
    }
    // Runs what a click runs, from the window's own messages (so its confirmations
    // do not block the reader's call).
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        Found found = self(child);
        if (!found.tree) return found.error;
        if (!found.node().enabled || !defaultActionOf(found.node())) return DISP_E_MEMBERNOTFOUND;
        PostMessageW(host_->window(), accessInvokeMessage, 0, found.node().id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    struct Found {
        std::shared_ptr<const AccTree> tree; // null: see error
        int index = -1;
        HRESULT error = RPC_E_DISCONNECTED;
        const AccNode& node() const { return tree->nodes[size_t(index)]; }
    };
    Found find() const {
        Found found;
        found.tree = host_->tree();
        if (found.tree) found.index = nodeById(*found.tree, id_);
        if (found.index < 0) found.tree.reset();
        return found;
    }
    // This node, when `child` is CHILDID_SELF; every node is an object of its own.
    Found self(const VARIANT& child) const {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) {
            Found invalid;
            invalid.error = E_INVALIDARG;
            return invalid;
        }
        return find();
    }
    HRESULT dispatchOf(long id, IDispatch** out) const {
        *out = new AccObject(host_, id);
        return S_OK;
    }

    std::shared_ptr<AccessHost> host_;
    long id_;
    LONG refs_ = 1;
};

} // namespace

LRESULT msaaGetObject(const std::shared_ptr<AccessHost>& host, WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || !host) return 0;
    const std::shared_ptr<const AccTree> tree = host->tree();
    using FromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    const auto fromObject = systemFunction<FromObject>(oleacc(), "LresultFromObject");
    if (!tree || tree->nodes.empty() || !fromObject) return 0;
    auto* root = new AccObject(host, tree->nodes[0].id);
    const LRESULT result = fromObject(accessibleId, wParam, root);
    root->Release();
    return result;
}

void raiseFocusEvent(const std::shared_ptr<AccessHost>& host, long id) {
    if (!host) return;
    NotifyWinEvent(EVENT_OBJECT_FOCUS, host->window(), OBJID_CLIENT, id);
    raiseUiaFocusEvent(host, id);
}

void raiseValueEvents(const std::shared_ptr<AccessHost>& host, const std::vector<long>& ids) {
    if (!host) return;
    for (long id : ids)
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, host->window(), OBJID_CLIENT, id);
    raiseUiaValueEvents(host, ids);
}

void disconnectAccess(const std::shared_ptr<AccessHost>& host) {
    if (host) host->disconnect();
}

} // namespace ovra

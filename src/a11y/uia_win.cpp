// UI Automation: one raw element provider (a fragment) per node of the tree, the
// client-area node being the fragment root. Windows may call from any thread: a
// provider only reads the host's current tree and posts actions to the window.
// uiautomationcore.dll is bound at run time.
#include <ole2.h>
#include <uiautomationcore.h>

#include "a11y/host.h"
#include "sources/system_library.h"

namespace ovra {

namespace {

// Identifiers of UI Automation (UIAutomationClient.h), spelled out here.
constexpr PROPERTYID controlTypeProperty = 30003, nameProperty = 30005, hasFocusProperty = 30008,
                     focusableProperty = 30009, enabledProperty = 30010,
                     automationIdProperty = 30011, controlElementProperty = 30016,
                     contentElementProperty = 30017, valueProperty = 30045,
                     selectedProperty = 30079, toggleStateProperty = 30086;
constexpr PATTERNID invokePattern = 10000, valuePattern = 10002, selectionItemPattern = 10010,
                    togglePattern = 10015;
constexpr EVENTID focusChangedEvent = 20005;
constexpr int appendRuntimeId = 3;
constexpr LONG uiaRootObjectId = -25;
constexpr HRESULT elementNotAvailable = static_cast<HRESULT>(0x80040201L);

long controlTypeOf(AccRole role) {
    switch (role) {
    case AccRole::client: return 50033; // pane
    case AccRole::list: return 50008;
    case AccRole::listItem: return 50007;
    case AccRole::document: return 50030;
    case AccRole::group: return 50026;
    case AccRole::text: return 50020;
    case AccRole::button: return 50000;
    case AccRole::checkBox: return 50002;
    case AccRole::radio: return 50013;
    }
    return 50020;
}

// The pattern interfaces the providers implement (UIAutomationCore.idl).
struct InvokeProvider : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke() = 0;
};
struct ValueProvider : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetValue(LPCWSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Value(BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsReadOnly(BOOL* readOnly) = 0;
};
struct ToggleProvider : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Toggle() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ToggleState(int* state) = 0;
};
struct SelectionItemProvider : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Select() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddToSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveFromSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsSelected(BOOL* selected) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_SelectionContainer(IRawElementProviderSimple** container) = 0;
};
constexpr IID invokeId = {
    0x54fcb24b, 0xe18e, 0x47a2, {0xb4, 0xd3, 0xec, 0xcb, 0xe7, 0x75, 0x99, 0xa2}};
constexpr IID valueId = {
    0xc7935180, 0x6fb3, 0x4201, {0xb1, 0x74, 0x7d, 0xf7, 0x3a, 0xdb, 0xf6, 0x4a}};
constexpr IID toggleId = {
    0x56d00bd0, 0xc4f4, 0x433c, {0xa8, 0x36, 0x1a, 0x52, 0xa5, 0x7e, 0x08, 0x92}};
constexpr IID selectionItemId = {
    0x2acad808, 0xb2d4, 0x452d, {0xa4, 0x07, 0x91, 0xff, 0x1a, 0xd1, 0x67, 0xb2}};
constexpr IID simpleId = {
    0xd6dd68d1, 0x86fd, 0x4332, {0x86, 0x66, 0x9a, 0xbe, 0xde, 0xa2, 0xd2, 0x4c}};
constexpr IID fragmentId = {
    0xf7063da8, 0x8359, 0x439c, {0x92, 0x97, 0xbb, 0xc5, 0x29, 0x9a, 0x7d, 0x87}};
constexpr IID fragmentRootId = {
    0x620ce2a5, 0xab8f, 0x40a9, {0x86, 0xcb, 0xde, 0x3c, 0x75, 0x59, 0x9b, 0x58}};

// The library's exports, found once.
struct UiaCore {
    using ReturnProvider = LRESULT(WINAPI*)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
    using HostFromHwnd = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
    using RaiseEvent = HRESULT(WINAPI*)(IRawElementProviderSimple*, EVENTID);
    using RaiseProperty = HRESULT(WINAPI*)(IRawElementProviderSimple*, PROPERTYID, VARIANT,
                                           VARIANT);
    using Listening = BOOL(WINAPI*)();
    using RaiseStructure = HRESULT(WINAPI*)(IRawElementProviderSimple*, int, int*, int);
    ReturnProvider returnProvider = nullptr;
    HostFromHwnd hostFromHwnd = nullptr;
    RaiseEvent raiseEvent = nullptr;
    RaiseProperty raiseProperty = nullptr;
    Listening listening = nullptr;
    RaiseStructure raiseStructure = nullptr;
};
const UiaCore& core() {
    static const UiaCore bound = [] {
        UiaCore found;
        HMODULE module = loadSystemLibrary(L"uiautomationcore.dll");
        found.returnProvider =
            systemFunction<UiaCore::ReturnProvider>(module, "UiaReturnRawElementProvider");
        found.hostFromHwnd =
            systemFunction<UiaCore::HostFromHwnd>(module, "UiaHostProviderFromHwnd");
        found.listening = systemFunction<UiaCore::Listening>(module, "UiaClientsAreListening");
        // Wine 8 stops the process in the structure event, and raising the others on the
        // window's thread while a client walks the tree can deadlock it: under Wine no
        // UI Automation event is raised (MSAA's still are).
        if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) return found;
        found.raiseEvent = systemFunction<UiaCore::RaiseEvent>(module, "UiaRaiseAutomationEvent");
        found.raiseProperty = systemFunction<UiaCore::RaiseProperty>(
            module, "UiaRaiseAutomationPropertyChangedEvent");
        found.raiseStructure =
            systemFunction<UiaCore::RaiseStructure>(module, "UiaRaiseStructureChangedEvent");
        return found;
    }();
    return bound;
}

bool clientsListening() {
    return core().listening && core().listening() && core().raiseEvent;
}

void setBool(VARIANT* out, bool value) {
    out->vt = VT_BOOL;
    out->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void setText(VARIANT* out, const std::wstring& text) {
    out->vt = VT_BSTR;
    out->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

class UiaElement final : public IRawElementProviderSimple,
                         public IRawElementProviderFragment,
                         public IRawElementProviderFragmentRoot,
                         public InvokeProvider,
                         public ValueProvider,
                         public ToggleProvider,
                         public SelectionItemProvider {
public:
    UiaElement(std::shared_ptr<AccessHost> host, long id) : host_(std::move(host)), id_(id) {}

    // IUnknown, shared by every interface.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        Found found = find();
        const AccRole role = found.tree ? found.node().role : AccRole::text;
        if (riid == __uuidof(IUnknown) || riid == simpleId)
            *out = static_cast<IRawElementProviderSimple*>(this);
        else if (riid == fragmentId)
            *out = static_cast<IRawElementProviderFragment*>(this);
        else if (riid == fragmentRootId && found.index == 0)
            *out = static_cast<IRawElementProviderFragmentRoot*>(this);
        else if (riid == invokeId && role == AccRole::button)
            *out = static_cast<InvokeProvider*>(this);
        else if (riid == valueId && role == AccRole::text)
            *out = static_cast<ValueProvider*>(this);
        else if (riid == toggleId && role == AccRole::checkBox)
            *out = static_cast<ToggleProvider*>(this);
        else if (riid == selectionItemId && (role == AccRole::radio || role == AccRole::listItem))
            *out = static_cast<SelectionItemProvider*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&refs_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IRawElementProviderSimple
    HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override {
        *options = ProviderOptions_ServerSideProvider;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID pattern, IUnknown** out) override {
        *out = nullptr;
        Found found = find();
        if (!found.tree) return elementNotAvailable;
        const AccRole role = found.node().role;
        if ((pattern == invokePattern && role == AccRole::button) ||
            (pattern == valuePattern && role == AccRole::text) ||
            (pattern == togglePattern && role == AccRole::checkBox) ||
            (pattern == selectionItemPattern &&
             (role == AccRole::radio || role == AccRole::listItem))) {
            *out = static_cast<IRawElementProviderSimple*>(this);
            AddRef();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* out) override {
        VariantInit(out);
        Found found = find();
        if (!found.tree) return elementNotAvailable;
        const AccNode& node = found.node();
        switch (property) {
        case controlTypeProperty:
            out->vt = VT_I4;
            out->lVal = controlTypeOf(node.role);
            break;
        case nameProperty:
            if (!node.name.empty()) setText(out, node.name);
            break;
        case automationIdProperty: setText(out, node.key); break;
        case valueProperty:
            if (node.role == AccRole::text) setText(out, node.value);
            break;
        case focusableProperty: setBool(out, node.focus.valid()); break;
        case hasFocusProperty: setBool(out, found.index == found.tree->focused); break;
        case enabledProperty: setBool(out, node.enabled); break;
        case controlElementProperty:
        case contentElementProperty: setBool(out, true); break;
        case toggleStateProperty:
            if (node.role == AccRole::checkBox) {
                out->vt = VT_I4;
                out->lVal = node.on ? 1 : 0;
            }
            break;
        case selectedProperty:
            if (node.role == AccRole::radio || node.role == AccRole::listItem)
                setBool(out, node.on);
            break;
        default: break;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** out) override {
        *out = nullptr;
        Found found = find();
        if (found.index == 0 && core().hostFromHwnd)
            return core().hostFromHwnd(host_->window(), out);
        return found.tree ? S_OK : elementNotAvailable;
    }

    // IRawElementProviderFragment
    HRESULT STDMETHODCALLTYPE Navigate(NavigateDirection direction,
                                       IRawElementProviderFragment** out) override {
        *out = nullptr;
        Found found = find();
        if (!found.tree) return elementNotAvailable;
        const AccTree& tree = *found.tree;
        const AccNode& node = found.node();
        int target = -1;
        if (direction == NavigateDirection_Parent) {
            target = node.parent;
        } else if (direction == NavigateDirection_FirstChild ||
                   direction == NavigateDirection_LastChild) {
            if (!node.children.empty())
                target = direction == NavigateDirection_FirstChild ? node.children.front()
                                                                   : node.children.back();
        } else if (node.parent >= 0) {
            const std::vector<int>& siblings = tree.nodes[size_t(node.parent)].children;
            for (size_t i = 0; i < siblings.size(); ++i)
                if (siblings[i] == found.index) {
                    if (direction == NavigateDirection_NextSibling && i + 1 < siblings.size())
                        target = siblings[i + 1];
                    if (direction == NavigateDirection_PreviousSibling && i > 0)
                        target = siblings[i - 1];
                }
        }
        if (target >= 0) *out = new UiaElement(host_, tree.nodes[size_t(target)].id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** out) override {
        *out = nullptr;
        Found found = find();
        if (!found.tree) return elementNotAvailable;
        if (found.index == 0) return S_OK; // the window's host provider gives the root's
        *out = SafeArrayCreateVector(VT_I4, 0, 2);
        if (!*out) return E_OUTOFMEMORY;
        LONG first = 0, second = 1, append = appendRuntimeId, id = id_;
        SafeArrayPutElement(*out, &first, &append);
        SafeArrayPutElement(*out, &second, &id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_BoundingRectangle(UiaRect* out) override {
        *out = UiaRect{};
        Found found = find();
        if (!found.tree) return elementNotAvailable;
        RECT rect = found.node().rect;
        if (found.index == 0) GetClientRect(host_->window(), &rect);
        POINT origin{rect.left, rect.top};
        ClientToScreen(host_->window(), &origin);
        *out = UiaRect{double(origin.x), double(origin.y), double(rect.right - rect.left),
                       double(rect.bottom - rect.top)};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetEmbeddedFragmentRoots(SAFEARRAY** out) override {
        *out = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetFocus() override {
        return find().tree ? S_OK : elementNotAvailable;
    }
    HRESULT STDMETHODCALLTYPE get_FragmentRoot(IRawElementProviderFragmentRoot** out) override {
        *out = nullptr;
        Found found = find();
        if (!found.tree) return elementNotAvailable;
        *out = new UiaElement(host_, found.tree->nodes[0].id);
        return S_OK;
    }

    // IRawElementProviderFragmentRoot
    HRESULT STDMETHODCALLTYPE ElementProviderFromPoint(double x, double y,
                                                       IRawElementProviderFragment** out) override {
        *out = nullptr;
        Found found = find();
        if (!found.tree) return elementNotAvailable;
        POINT point{LONG(x), LONG(y)};
        ScreenToClient(host_->window(), &point);
        int at = 0;
        for (bool deeper = true; deeper;) {
            deeper = false;
            for (int child : found.tree->nodes[size_t(at)].children)
                if (PtInRect(&found.tree->nodes[size_t(child)].rect, point)) {
                    at = child;
                    deeper = true;
                    break;
                }
        }
        *out = new UiaElement(host_, found.tree->nodes[size_t(at)].id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFocus(IRawElementProviderFragment** out) override {
        *out = nullptr;
        Found found = find();
        if (!found.tree) return elementNotAvailable;
        if (found.tree->focused > 0)
            *out = new UiaElement(host_, found.tree->nodes[size_t(found.tree->focused)].id);
        return S_OK;
    }

    // The patterns: each runs what a click runs, from the window's own messages.
    HRESULT STDMETHODCALLTYPE Invoke() override { return act(); }
    HRESULT STDMETHODCALLTYPE Toggle() override { return act(); }
    HRESULT STDMETHODCALLTYPE Select() override { return act(); }
    HRESULT STDMETHODCALLTYPE AddToSelection() override { return act(); }
    HRESULT STDMETHODCALLTYPE RemoveFromSelection() override { return E_INVALIDARG; }
    HRESULT STDMETHODCALLTYPE SetValue(LPCWSTR) override { return E_ACCESSDENIED; }
    HRESULT STDMETHODCALLTYPE get_Value(BSTR* out) override {
        *out = nullptr;
        Found found = find();
        if (!found.tree) return elementNotAvailable;
        const std::wstring& value = found.node().value;
        *out = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_IsReadOnly(BOOL* out) override {
        *out = TRUE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_ToggleState(int* out) override {
        Found found = find();
        *out = found.tree && found.node().on ? 1 : 0;
        return found.tree ? S_OK : elementNotAvailable;
    }
    HRESULT STDMETHODCALLTYPE get_IsSelected(BOOL* out) override {
        Found found = find();
        *out = found.tree && found.node().on ? TRUE : FALSE;
        return found.tree ? S_OK : elementNotAvailable;
    }
    HRESULT STDMETHODCALLTYPE get_SelectionContainer(IRawElementProviderSimple** out) override {
        *out = nullptr;
        Found found = find();
        if (!found.tree) return elementNotAvailable;
        *out = new UiaElement(host_, found.tree->nodes[size_t(found.node().parent)].id);
        return S_OK;
    }

private:
    struct Found {
        std::shared_ptr<const AccTree> tree; // null: the node is gone
        int index = -1;
        const AccNode& node() const { return tree->nodes[size_t(index)]; }
    };
    Found find() const {
        Found found;
        found.tree = host_->tree();
        if (found.tree) found.index = nodeById(*found.tree, id_);
        if (found.index < 0) found.tree.reset();
        return found;
    }
    HRESULT act() {
        Found found = find();
        if (!found.tree) return elementNotAvailable;
        if (!found.node().enabled) return static_cast<HRESULT>(0x80040200L); // not enabled
        PostMessageW(host_->window(), accessInvokeMessage, 0, found.node().id);
        return S_OK;
    }

    std::shared_ptr<AccessHost> host_;
    long id_;
    LONG refs_ = 1;
};

} // namespace

LRESULT uiaGetObject(const std::shared_ptr<AccessHost>& host, WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) != uiaRootObjectId || !host || !core().returnProvider) return 0;
    const std::shared_ptr<const AccTree> tree = host->tree();
    if (!tree || tree->nodes.empty()) return 0;
    auto* root = new UiaElement(host, tree->nodes[0].id);
    const LRESULT result = core().returnProvider(host->window(), wParam, lParam,
                                                 static_cast<IRawElementProviderSimple*>(root));
    root->Release();
    return result;
}

void raiseUiaFocusEvent(const std::shared_ptr<AccessHost>& host, long id) {
    if (!host || !clientsListening()) return;
    auto* element = new UiaElement(host, id);
    core().raiseEvent(static_cast<IRawElementProviderSimple*>(element), focusChangedEvent);
    element->Release();
}

void raiseUiaStructureChanged(const std::shared_ptr<AccessHost>& host) {
    const std::shared_ptr<const AccTree> tree = host ? host->tree() : nullptr;
    if (!tree || tree->nodes.empty() || !clientsListening() || !core().raiseStructure) return;
    auto* root = new UiaElement(host, tree->nodes[0].id);
    core().raiseStructure(static_cast<IRawElementProviderSimple*>(root),
                          2 /* children invalidated */, nullptr, 0);
    root->Release();
}

void raiseUiaValueEvents(const std::shared_ptr<AccessHost>& host, const std::vector<long>& ids) {
    if (!host || !clientsListening() || !core().raiseProperty) return;
    const std::shared_ptr<const AccTree> tree = host->tree();
    for (long id : ids) {
        const int at = tree ? nodeById(*tree, id) : -1;
        if (at < 0) continue;
        auto* element = new UiaElement(host, id);
        VARIANT before, now;
        VariantInit(&before);
        VariantInit(&now);
        setText(&now, tree->nodes[size_t(at)].value);
        core().raiseProperty(static_cast<IRawElementProviderSimple*>(element), valueProperty,
                             before, now);
        VariantClear(&now);
        element->Release();
    }
}

} // namespace ovra

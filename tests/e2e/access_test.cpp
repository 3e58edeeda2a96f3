// The window without a mouse: Tab, F6, Enter and Space in the real window, the focus
// ring on screen, and the accessibility tree a screen reader in another process gets.
#include <gtest/gtest.h>

#include <oleacc.h>
#include <uiautomationcore.h>

#include <algorithm>
#include <functional>
#include <map>
#include <thread>
#include <tuple>

#include "driver.h"

using namespace e2e;

namespace {

struct Node {
    std::wstring name, value, action;
    long role = 0, state = 0;
    RECT rect{}; // client pixels
    std::vector<Node> children;
    IAccessible* object = nullptr; // held by the walk's owner
};

std::wstring text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), IAccessible* a) {
    VARIANT self{};
    self.vt = VT_I4;
    BSTR value = nullptr;
    std::wstring result;
    if ((a->*get)(self, &value) == S_OK && value) result = value;
    SysFreeString(value);
    return result;
}

Node read(IAccessible* object, HWND window, std::vector<IAccessible*>& held) {
    Node node;
    node.object = object;
    held.push_back(object);
    VARIANT self{}, out{};
    self.vt = VT_I4;
    node.name = text(&IAccessible::get_accName, object);
    node.value = text(&IAccessible::get_accValue, object);
    node.action = text(&IAccessible::get_accDefaultAction, object);
    if (object->get_accRole(self, &out) == S_OK) node.role = out.lVal;
    if (object->get_accState(self, &out) == S_OK) node.state = out.lVal;
    long x = 0, y = 0, w = 0, h = 0;
    object->accLocation(&x, &y, &w, &h, self);
    POINT origin{x, y};
    ScreenToClient(window, &origin);
    node.rect = RECT{origin.x, origin.y, origin.x + w, origin.y + h};
    long count = 0, got = 0;
    object->get_accChildCount(&count);
    std::vector<VARIANT> children(size_t(std::max(count, 0L)));
    if (count > 0) AccessibleChildren(object, 0, count, children.data(), &got);
    for (long i = 0; i < got; ++i) {
        IAccessible* child = nullptr;
        if (children[size_t(i)].vt == VT_DISPATCH &&
            children[size_t(i)].pdispVal->QueryInterface(__uuidof(IAccessible), (void**)&child) ==
                S_OK)
            node.children.push_back(read(child, window, held));
        VariantClear(&children[size_t(i)]);
    }
    return node;
}

// The client area's tree as a screen reader walks it; every object is released with it.
struct Tree {
    // A repaint between two calls may take a node away (it then answers "disconnected",
    // role 0): the walk is taken again.
    explicit Tree(HWND window) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            release();
            IAccessible* client = nullptr;
            if (AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                           (void**)&client) == S_OK)
                root = read(client, window, held);
            bool whole = true;
            each([&](const Node& n) { whole = whole && n.role != 0; });
            if (whole) return;
        }
    }
    ~Tree() { release(); }
    void release() {
        for (IAccessible* object : held)
            object->Release();
        held.clear();
        root = Node{};
    }
    void each(const std::function<void(const Node&)>& visit, const Node* from = nullptr) const {
        const Node& node = from ? *from : root;
        visit(node);
        for (const Node& child : node.children)
            each(visit, &child);
    }
    const Node& page() const { return root.children.at(1); }
    // The focus stops in reading order: each control, a segmented choice once (its selected
    // option).
    std::vector<std::wstring> stops() const {
        std::vector<std::wstring> stops;
        for (const Node& entry : root.children.at(0).children)
            stops.push_back(entry.name);
        each(
            [&](const Node& n) {
                const bool control =
                    n.role == ROLE_SYSTEM_PUSHBUTTON || n.role == ROLE_SYSTEM_CHECKBUTTON ||
                    (n.role == ROLE_SYSTEM_RADIOBUTTON && (n.state & STATE_SYSTEM_CHECKED));
                if (control && (n.state & STATE_SYSTEM_FOCUSABLE)) stops.push_back(n.name);
            },
            &page());
        return stops;
    }
    Node root;
    std::vector<IAccessible*> held;
};

// What the window says has keyboard focus (accFocus of its client object).
std::wstring focusName(HWND window) {
    IAccessible* client = nullptr;
    if (AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), (void**)&client) !=
        S_OK)
        return L"(none)";
    VARIANT focus{};
    std::wstring name = L"(none)";
    IAccessible* focused = nullptr;
    if (client->get_accFocus(&focus) == S_OK && focus.vt == VT_DISPATCH &&
        focus.pdispVal->QueryInterface(__uuidof(IAccessible), (void**)&focused) == S_OK) {
        name = text(&IAccessible::get_accName, focused);
        focused->Release();
    }
    VariantClear(&focus);
    client->Release();
    return name;
}

void key(HWND window, WPARAM vk) {
    deliver(window, WM_KEYDOWN, vk, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// UI Automation's flat client calls, as a reader without COM objects makes them
// (Wine has no IUIAutomation); declared here, the SDK's header does not compile as C++.
struct UiaCondition {
    int type = 0; // always true
};
struct UiaCacheRequest {
    UiaCondition* view;
    int scope; // the element alone
    PROPERTYID* properties;
    int propertyCount;
    PATTERNID* patterns;
    int patternCount;
    int mode; // full
};
using UiaNode = void*;
template <class F> F uiaCall(const char* name) {
    static HMODULE dll = LoadLibraryW(L"uiautomationcore.dll");
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

UiaNode uiaNavigate(UiaNode node, int direction) {
    UiaCondition all;
    PROPERTYID name = 30005;
    UiaCacheRequest request{&all, 1, &name, 1, nullptr, 0, 1};
    SAFEARRAY* data = nullptr;
    BSTR shape = nullptr;
    UiaNode found = nullptr;
    using Navigate =
        HRESULT(WINAPI*)(UiaNode, int, UiaCondition*, UiaCacheRequest*, SAFEARRAY**, BSTR*);
    if (uiaCall<Navigate>("UiaNavigate")(node, direction, &all, &request, &data, &shape) == S_OK &&
        data) {
        LONG at[2] = {0, 0};
        VARIANT first{};
        SafeArrayGetElement(data, at, &first);
        uiaCall<HRESULT(WINAPI*)(VARIANT*, UiaNode*)>("UiaHUiaNodeFromVariant")(&first, &found);
        VariantClear(&first);
        SafeArrayDestroy(data);
    }
    SysFreeString(shape);
    return found;
}

// Depth, name and control type of every node below `node`, in reading order. The nodes
// are kept in `held` until the walk ends: Wine's COM can deadlock when a release that
// drops the server's last stub of an interface meets a call on that interface.
using Shape = std::vector<std::tuple<int, std::wstring, long>>;
void uiaShape(UiaNode node, int depth, Shape& shape, std::vector<UiaNode>& held) {
    const auto property =
        uiaCall<HRESULT(WINAPI*)(UiaNode, PROPERTYID, VARIANT*)>("UiaGetPropertyValue");
    for (UiaNode child = uiaNavigate(node, NavigateDirection_FirstChild); child;) {
        VARIANT name{}, type{};
        property(child, 30005, &name);
        property(child, 30003, &type);
        shape.emplace_back(depth, name.vt == VT_BSTR ? name.bstrVal : L"", type.lVal);
        VariantClear(&name);
        uiaShape(child, depth + 1, shape, held);
        held.push_back(child);
        child = uiaNavigate(child, NavigateDirection_NextSibling);
    }
}

// The same for the MSAA tree, its roles as UI Automation's control types.
void msaaShape(const Node& node, int depth, Shape& shape) {
    static const std::map<long, long> types = {
        {ROLE_SYSTEM_LIST, 50008},        {ROLE_SYSTEM_LISTITEM, 50007},
        {ROLE_SYSTEM_DOCUMENT, 50030},    {ROLE_SYSTEM_GROUPING, 50026},
        {ROLE_SYSTEM_STATICTEXT, 50020},  {ROLE_SYSTEM_PUSHBUTTON, 50000},
        {ROLE_SYSTEM_CHECKBUTTON, 50002}, {ROLE_SYSTEM_RADIOBUTTON, 50013}};
    for (const Node& child : node.children) {
        shape.emplace_back(depth, child.name, types.at(child.role));
        msaaShape(child, depth + 1, shape);
    }
}

struct Com {
    Com() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~Com() { CoUninitialize(); }
};

bool showsPage(HWND window, const wchar_t* name) {
    return eventually([&] { return Tree(window).page().name == name; }, 5000);
}

} // namespace

TEST(Access, TabF6EnterAndSpaceWorkTheSettingsPageWithAVisibleRing) {
    removeDataFolder();
    Com com;
    Program program;
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    clickAt(window, sidebarItem(8));
    ASSERT_TRUE(showsPage(window, L"Pengaturan"));
    const std::vector<std::wstring> stops = Tree(window).stops();
    ASSERT_GT(stops.size(), 20u);
    for (size_t i = 0; i <= stops.size(); ++i) {
        key(window, VK_TAB);
        const std::wstring& wanted = stops[i % stops.size()];
        EXPECT_TRUE(eventually([&] { return focusName(window) == wanted; }, 3000)) << i;
    }
    key(window, VK_F6); // to the page, then back to the shown page's entry
    EXPECT_TRUE(eventually([&] { return focusName(window) == stops[9]; }, 3000));
    key(window, VK_F6);
    EXPECT_TRUE(eventually([&] { return focusName(window) == L"Pengaturan"; }, 3000));

    // Tab to the last switch; its ring is drawn in the accent colour just outside it.
    const Node* last = nullptr;
    Tree before(window);
    before.each([&](const Node& n) {
        if (n.role == ROLE_SYSTEM_CHECKBUTTON && (n.state & STATE_SYSTEM_FOCUSABLE)) last = &n;
    });
    ASSERT_NE(last, nullptr);
    const std::wstring name = last->name;
    const bool wasOn = (last->state & STATE_SYSTEM_CHECKED) != 0;
    while (focusName(window) != name)
        key(window, VK_TAB);
    const Node* focused = nullptr;
    Tree now(window);
    now.each([&](const Node& n) {
        if (n.state & STATE_SYSTEM_FOCUSED) focused = &n;
    });
    ASSERT_NE(focused, nullptr);
    const int middle = (focused->rect.top + focused->rect.bottom) / 2;
    Screen screen = capture(window);
    EXPECT_EQ(screen.at(focused->rect.left - 3, middle), lightAccent);
    EXPECT_EQ(screen.at(focused->rect.right + 2, middle), lightAccent);
    key(window, VK_SPACE);
    EXPECT_TRUE(eventually(
        [&] {
            bool on = wasOn;
            Tree(window).each([&](const Node& n) {
                if (n.name == name && n.role == ROLE_SYSTEM_CHECKBUTTON)
                    on = n.state & STATE_SYSTEM_CHECKED;
            });
            return on != wasOn;
        },
        3000))
        << "Space switches it";
    clickAt(window, POINT{focused->rect.left - 40, middle}); // the mouse hides the ring
    screen = capture(window);
    EXPECT_NE(screen.at(focused->rect.left - 3, middle), lightAccent);

    // Shift+Tab goes back one stop; Enter on the button that opens the history page.
    const auto opener = std::find_if(stops.begin(), stops.end(), [](const std::wstring& stop) {
        return stop.rfind(L"Ke halaman", 0) == 0;
    });
    ASSERT_NE(opener, stops.end());
    for (std::wstring at = focusName(window); at != *opener; at = focusName(window))
        key(window, VK_TAB);
    SetForegroundWindow(window);
    pressChord(VK_SHIFT, VK_TAB);
    EXPECT_TRUE(eventually([&] { return focusName(window) == *(opener - 1); }, 3000));
    key(window, VK_TAB);
    key(window, VK_RETURN);
    EXPECT_TRUE(showsPage(window, L"Riwayat"));
    EXPECT_EQ(focusName(window), L"Riwayat") << "focus goes to the new page's entry";
}

TEST(Access, EveryPageReachesAScreenReaderAndItsActionsRunTheirCommands) {
    removeDataFolder();
    Com com;
    Program program;
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    const wchar_t* pages[] = {L"Ringkasan", L"Performa", L"Penyimpanan", L"Baterai",   L"Sensor",
                              L"Proses",    L"Riwayat",  L"Pro",         L"Pengaturan"};
    int groups = 0, values = 0, switches = 0, choices = 0, buttons = 0;
    for (int page = 0; page < 9; ++page) {
        clickAt(window, sidebarItem(page));
        ASSERT_TRUE(showsPage(window, pages[page]));
        Tree tree(window);
        ASSERT_EQ(tree.root.role, ROLE_SYSTEM_CLIENT);
        const Node& list = tree.root.children.at(0);
        ASSERT_EQ(list.children.size(), 9u);
        for (int i = 0; i < 9; ++i) {
            EXPECT_EQ(list.children[size_t(i)].name, pages[i]);
            EXPECT_EQ((list.children[size_t(i)].state & STATE_SYSTEM_SELECTED) != 0, i == page);
        }
        EXPECT_EQ(tree.page().role, ROLE_SYSTEM_DOCUMENT);
        tree.each(
            [&](const Node& n) {
                const bool control = n.role == ROLE_SYSTEM_PUSHBUTTON ||
                                     n.role == ROLE_SYSTEM_CHECKBUTTON ||
                                     n.role == ROLE_SYSTEM_RADIOBUTTON;
                EXPECT_TRUE(n.role == ROLE_SYSTEM_GROUPING || n.role == ROLE_SYSTEM_STATICTEXT ||
                            control || n.role == ROLE_SYSTEM_LISTITEM ||
                            n.role == ROLE_SYSTEM_LIST || n.role == ROLE_SYSTEM_DOCUMENT ||
                            n.role == ROLE_SYSTEM_CLIENT)
                    << n.role;
                EXPECT_FALSE(n.role == ROLE_SYSTEM_GROUPING && n.children.empty()) << n.name;
                EXPECT_FALSE(control && n.name.empty());
                EXPECT_FALSE(control && !(n.state & STATE_SYSTEM_UNAVAILABLE) && n.action.empty());
                groups += n.role == ROLE_SYSTEM_GROUPING;
                values += n.role == ROLE_SYSTEM_STATICTEXT && !n.value.empty() && !n.name.empty();
                switches += n.role == ROLE_SYSTEM_CHECKBUTTON;
                choices += n.role == ROLE_SYSTEM_RADIOBUTTON;
                buttons += n.role == ROLE_SYSTEM_PUSHBUTTON;
            },
            &tree.page());
    }
    EXPECT_GE(groups, 20);
    EXPECT_GE(values, 20);
    EXPECT_GE(switches, 5);
    EXPECT_GE(choices, 12);
    EXPECT_GE(buttons, 10);

    // UI Automation sees the settings page as MSAA does: same nodes, names and kinds.
    Shape msaa, uia;
    msaaShape(Tree(window).root, 0, msaa);
    // Walked from a thread of the multithreaded apartment, as screen readers do.
    std::thread walker([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        UiaNode root = nullptr;
        ASSERT_EQ(uiaCall<HRESULT(WINAPI*)(HWND, UiaNode*)>("UiaNodeFromHandle")(window, &root),
                  S_OK);
        std::vector<UiaNode> held{root};
        uiaShape(root, 0, uia, held);
        for (UiaNode node : held)
            uiaCall<BOOL(WINAPI*)(UiaNode)>("UiaNodeRelease")(node);
        CoUninitialize();
    });
    walker.join();
    EXPECT_GT(uia.size(), 50u);
    EXPECT_EQ(uia, msaa);

    // The second theme choice through the reader: the page turns dark, as a click does.
    // A card held from before answers "disconnected" once its page is gone.
    Tree settings(window);
    std::vector<const Node*> radios;
    settings.each([&](const Node& n) {
        if (n.role == ROLE_SYSTEM_RADIOBUTTON) radios.push_back(&n);
    });
    ASSERT_GE(radios.size(), 3u);
    const Node* dark = radios[1];
    EXPECT_FALSE(radios[1]->state & STATE_SYSTEM_CHECKED);
    VARIANT self{};
    self.vt = VT_I4;
    EXPECT_EQ(dark->object->accDoDefaultAction(self), S_OK);
    EXPECT_TRUE(eventually([&] { return pageBackground(window) == darkBackground; }));
    const Node& list = settings.root.children.at(0);
    EXPECT_EQ(list.children[6].object->accDoDefaultAction(self), S_OK);
    ASSERT_TRUE(showsPage(window, L"Riwayat"));
    const Node* group = nullptr;
    settings.each([&](const Node& n) {
        if (n.role == ROLE_SYSTEM_GROUPING && !group) group = &n;
    });
    BSTR name = nullptr;
    EXPECT_EQ(group->object->get_accName(self, &name), RPC_E_DISCONNECTED);
}

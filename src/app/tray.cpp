#include "app/tray.h"

#include <cwchar>
#include <memory>
#include <type_traits>
#include <vector>

#include "app/app.h"
#include "app/commands.h"
#include "app/popup_menu.h"
#include "app/window.h"
#include "sources/handle.h"
#include "sources/system_library.h"

namespace ovra {

namespace {

constexpr UINT trayIconId = 1;

// The tray menu's items: the window, the pages (id + page), the notifications, the end.
constexpr UINT menuOpen = 1, menuFirstPage = 10, menuNotifications = 30, menuExit = 31;

struct IconTraits {
    using Handle = HICON;
    static Handle none() { return nullptr; }
    static bool valid(Handle icon) { return icon != nullptr; }
    static void close(Handle icon) { DestroyIcon(icon); }
};
using IconHandle = UniqueHandle<IconTraits>;

// Zero-filled, full-size (Vista and later) data for the program's one icon.
NOTIFYICONDATAW iconData(const App& app) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = app.window;
    data.uID = trayIconId;
    return data;
}

template <size_t N> void copyInto(wchar_t (&field)[N], const std::wstring& text) {
    const std::wstring fitted = fitText(text, N - 1);
    std::wmemcpy(field, fitted.c_str(), fitted.size() + 1);
}

} // namespace

std::wstring fitText(const std::wstring& text, size_t limit) {
    if (text.size() <= limit) return text;
    size_t length = limit;
    if (length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
    return text.substr(0, length);
}

bool trayEventRestoresWindow(UINT event) {
    return event == WM_LBUTTONUP || event == WM_LBUTTONDBLCLK || event == NIN_BALLOONUSERCLICK ||
           event == NIN_KEYSELECT;
}

void registerTaskbarCreated(App& app) {
    app.view.taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
    // Windows keeps messages of the lower-privileged Explorer from an elevated
    // window unless the window lets them through. A failure is of no consequence.
    using ChangeFilter = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    const auto allow = systemFunction<ChangeFilter>(GetModuleHandleW(L"user32.dll"),
                                                    "ChangeWindowMessageFilterEx");
    if (allow && app.view.taskbarCreatedMessage)
        allow(app.window, app.view.taskbarCreatedMessage, MSGFLT_ALLOW, nullptr);
}

void addTrayIcon(App& app) {
    NOTIFYICONDATAW data = iconData(app);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = trayCallbackMessage;
    const IconHandle icon(static_cast<HICON>(
        LoadImageW(app.instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    data.hIcon = icon.get();
    copyInto(data.szTip, productName);
    // A shell that was busy (Explorer starting at sign-in) may have added the icon
    // and still answered with a failure; it then takes a modification.
    app.view.trayPresent =
        Shell_NotifyIconW(NIM_ADD, &data) || Shell_NotifyIconW(NIM_MODIFY, &data);
    // The protocol with the keyboard's menu request (Shift+F10 on the focused icon).
    data.uVersion = NOTIFYICON_VERSION_4;
    if (app.view.trayPresent) Shell_NotifyIconW(NIM_SETVERSION, &data);
}

void removeTrayIcon(App& app) {
    if (!app.view.trayPresent) return;
    NOTIFYICONDATAW data = iconData(app);
    Shell_NotifyIconW(NIM_DELETE, &data);
    app.view.trayPresent = false;
}

void showBalloon(App& app, const std::wstring& title, const std::wstring& text) {
    if (!app.view.trayPresent) return;
    NOTIFYICONDATAW data = iconData(app);
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_WARNING;
    copyInto(data.szInfoTitle, title);
    copyInto(data.szInfo, text);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void showMainWindow(App& app) {
    ShowWindow(app.window, IsIconic(app.window) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(app.window);
}

void showTrayMenu(App& app, POINT anchor) {
    std::vector<MenuEntry> entries{{menuOpen, L"Buka Ovra Monitor", true, false}, {}};
    for (int page = 0; page < pageCount; ++page)
        entries.push_back(
            {menuFirstPage + UINT(page), pageName(page), false, page == app.view.page});
    entries.push_back({});
    entries.push_back({menuNotifications,
                       app.settings.notifications ? L"Jeda notifikasi" : L"Lanjutkan notifikasi"});
    entries.push_back({});
    entries.push_back({menuExit, L"Keluar"});
    // Without the window in front the menu would stay open after a click elsewhere;
    // the empty message after it lets the shell see the menu closed.
    SetForegroundWindow(app.window);
    const UINT chosen = popupMenu(app, entries, anchor);
    PostMessageW(app.window, WM_NULL, 0, 0);
    if (chosen == menuOpen) {
        showMainWindow(app);
    } else if (chosen >= menuFirstPage && chosen < menuFirstPage + pageCount) {
        showMainWindow(app);
        navigateTo(app, int(chosen - menuFirstPage));
    } else if (chosen == menuNotifications) {
        executeCommand(app, commandNotifications, 0);
    } else if (chosen == menuExit) {
        // The same way out as the close button, restoring the power settings.
        onClose(app);
    }
}

void onTrayCallback(App& app, WPARAM wParam, LPARAM lParam) {
    const UINT event = LOWORD(lParam);
    // The shell's fourth protocol sends the menu request for the right button,
    // Shift+F10 and the menu key alike, with the icon's anchor in wParam.
    if (event == WM_CONTEXTMENU)
        return showTrayMenu(app, POINT{short(LOWORD(wParam)), short(HIWORD(wParam))});
    if (trayEventRestoresWindow(event)) showMainWindow(app);
}

void onTaskbarCreated(App& app) {
    app.view.trayPresent = false;
    addTrayIcon(app);
}

} // namespace ovra

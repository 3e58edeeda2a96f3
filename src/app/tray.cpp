#include "app/tray.h"

#include <cwchar>
#include <memory>
#include <type_traits>

#include "app/app.h"
#include "sources/handle.h"
#include "sources/system_library.h"

namespace ovra {

namespace {

constexpr UINT trayIconId = 1;

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
    return event == WM_LBUTTONUP || event == WM_LBUTTONDBLCLK || event == NIN_BALLOONUSERCLICK;
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

void onTrayCallback(App& app, LPARAM lParam) {
    if (!trayEventRestoresWindow(LOWORD(lParam))) return;
    ShowWindow(app.window, IsIconic(app.window) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(app.window);
}

void onTaskbarCreated(App& app) {
    app.view.trayPresent = false;
    addTrayIcon(app);
}

} // namespace ovra

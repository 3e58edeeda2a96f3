#pragma once
// What screen readers are told: the tree of the last described paint, shared with
// the accessibility objects Windows hands to them. Those objects may outlive a
// paint, or the window: each asks the host for its node by id on every call and
// answers "disconnected" when that node is gone. Safe to call from any thread.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>
#include <windows.h>

#include "a11y/tree.h"
#include "ui/focus.h"

namespace ovra {

// Node ids start here, above any child index, so a focus event's child id and a
// child's position never mean the same number.
inline constexpr long firstAccessId = 1000;
// Posted to the window to run a node's default action: lParam = the node id.
inline constexpr UINT accessInvokeMessage = WM_APP + 20;

class AccessHost {
public:
    explicit AccessHost(HWND window) : window_(window) {}
    HWND window() const { return window_; }
    // Gives every node its id (the same key keeps the same id) and makes the tree current.
    void publish(AccTree tree);
    // The current tree; null once the window is gone.
    std::shared_ptr<const AccTree> tree() const;
    void disconnect();

private:
    mutable std::mutex mutex_;
    const HWND window_;
    bool connected_ = true;
    std::shared_ptr<const AccTree> tree_;
    std::map<std::wstring, long> ids_;
    long nextId_ = firstAccessId;
};

// The index of the node with `id` in `tree`, or -1.
int nodeById(const AccTree& tree, long id);

// The keyboard and screen-reader state of the window.
struct AccessState {
    bool describe = false;  // paints describe their elements (keys used, or a reader asked)
    bool showFocus = false; // the keyboard was used last: the focus ring shows
    FocusKey focus;
    std::vector<Element> elements;            // of the last described paint
    std::vector<FocusKey> stops;              // of the last described paint
    int stopsPage = -1;                       // the page they were on
    std::shared_ptr<AccessHost> host;         // once a reader asked
    std::shared_ptr<const AccTree> announced; // values as of the last value-change events
    uint64_t lastValueEvents = 0;
    long announcedFocus = 0;
    int announcedPage = -1;
    bool comStarted = false;
};

// MSAA: the answer to WM_GETOBJECT for OBJID_CLIENT (0 for other objects).
LRESULT msaaGetObject(const std::shared_ptr<AccessHost>& host, WPARAM wParam, LPARAM lParam);
// UI Automation: the answer to WM_GETOBJECT for UiaRootObjectId (0 for other objects).
LRESULT uiaGetObject(const std::shared_ptr<AccessHost>& host, WPARAM wParam, LPARAM lParam);
// Focus moved to node `id`; values of these nodes changed (both MSAA and UIA).
void raiseFocusEvent(const std::shared_ptr<AccessHost>& host, long id);
void raiseValueEvents(const std::shared_ptr<AccessHost>& host, const std::vector<long>& ids);
// The UI Automation halves of the two above (uia_win.cpp).
void raiseUiaFocusEvent(const std::shared_ptr<AccessHost>& host, long id);
void raiseUiaValueEvents(const std::shared_ptr<AccessHost>& host, const std::vector<long>& ids);
// Another page is shown: the page's elements were all replaced (UI Automation only).
void raiseUiaStructureChanged(const std::shared_ptr<AccessHost>& host);
// The window goes: readers still holding objects get "disconnected" from now on.
void disconnectAccess(const std::shared_ptr<AccessHost>& host);

} // namespace ovra

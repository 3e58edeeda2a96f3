#pragma once
// The accessibility tree of one paint, built from what that paint described:
// the sidebar as a list of page entries, the page as a document of groups (one
// per card) holding labelled values, texts and controls. Windows' interfaces
// (msaa_win.cpp, uia_win.cpp) only translate it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/focus.h"
#include "ui/ui.h"

namespace ovra {

enum class AccRole : int { client, list, listItem, document, group, text, button, checkBox, radio };

struct AccNode {
    std::wstring key; // stable across paints: what the node is, not where
    long id = 0;      // given by AccessHost from the key; never reused
    AccRole role = AccRole::text;
    std::wstring name;
    std::wstring value;
    RECT rect{};
    int parent = -1;
    std::vector<int> children;
    int32_t command = 0;
    int32_t argument = 0;
    bool enabled = true;
    bool on = false; // checked, selected or shown
    FocusKey focus;  // valid for a control that takes keyboard focus
};

struct AccTree {
    std::vector<AccNode> nodes; // nodes[0] is the window's client area
    int focused = -1;           // the node with keyboard focus
};

// Runs at or left of `sidebarRight` outside any group belong to the sidebar.
AccTree buildTree(const std::vector<Element>& elements, const std::vector<TextRun>& runs,
                  std::wstring_view windowName, int sidebarRight, FocusKey focus);

// The text nodes of `now` whose value differs from the same node (by key) in `before`.
std::vector<int> changedValues(const AccTree& before, const AccTree& now);

// Value-change events are raised at most once per period (the sampling tick):
// true when `now` (ms) is a period or more after the last time it said true.
bool valueEventsDue(uint64_t now, uint64_t& last, uint32_t periodMs);

} // namespace ovra

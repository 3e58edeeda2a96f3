#include "a11y/tree.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace ovra {

namespace {

AccRole roleOf(ElementKind kind) {
    switch (kind) {
    case ElementKind::group: return AccRole::group;
    case ElementKind::text: return AccRole::text;
    case ElementKind::button:
    case ElementKind::stepperButton: return AccRole::button;
    case ElementKind::toggle: return AccRole::checkBox;
    case ElementKind::choice: return AccRole::radio;
    case ElementKind::pageEntry: return AccRole::listItem;
    }
    return AccRole::text;
}

bool overlapsRow(const RECT& a, const RECT& b) {
    return a.top < b.bottom && b.top < a.bottom;
}

// One thing to place in the tree: an element or a text run no element drew.
struct Item {
    size_t position; // the first text run it drew
    int element;     // -1 for a run
    size_t run;
};

class Builder {
public:
    Builder(const std::vector<Element>& elements, const std::vector<TextRun>& runs,
            int sidebarRight)
        : elements_(elements), runs_(runs), sidebarRight_(sidebarRight),
          covered_(runs.size(), false), nodeOf_(elements.size(), -1) {}

    AccTree build(std::wstring_view windowName, FocusKey focus) {
        add(AccRole::client, L"root", std::wstring(windowName), -1);
        const int list = add(AccRole::list, L"nav", L"", 0);
        std::wstring pageName;
        for (const Element& element : elements_)
            if (element.kind == ElementKind::pageEntry && element.on) pageName = element.name;
        const int document = add(AccRole::document, L"page", pageName, 0);
        for (const Element& element : elements_)
            for (size_t i = element.firstRun; i < element.endRun && i < runs_.size(); ++i)
                covered_[i] = true;
        nameToggles();

        std::vector<Item> items;
        for (size_t i = 0; i < elements_.size(); ++i)
            items.push_back(Item{elements_[i].firstRun, static_cast<int>(i), 0});
        for (size_t i = 0; i < runs_.size(); ++i)
            if (!covered_[i] && !runs_[i].text.empty()) items.push_back(Item{i, -1, i});
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
            return a.position < b.position ||
                   (a.position == b.position && a.element >= 0 && b.element < 0);
        });
        for (const Item& item : items) {
            if (item.element < 0) {
                const TextRun& run = runs_[item.run];
                const bool sidebar = run.group < 0 && run.rect.left < sidebarRight_;
                const int parent = sidebar ? 0 : parentOf(run.group, document);
                add(AccRole::text, L"s:" + tree_.nodes[size_t(parent)].key, run.text, parent,
                    run.rect);
                continue;
            }
            const Element& element = elements_[size_t(item.element)];
            const int parent =
                element.kind == ElementKind::pageEntry ? list : parentOf(element.group, document);
            std::wstring key = element.kind == ElementKind::group ? L"g:" + element.name
                               : element.kind == ElementKind::text
                                   ? L"t:" + tree_.nodes[size_t(parent)].key + L":" + element.name
                                   : L"c:" + std::to_wstring(element.command) + L":" +
                                         std::to_wstring(element.argument) +
                                         (element.kind == ElementKind::pageEntry ? L":nav" : L"");
            const auto label = toggleNames_.find(size_t(item.element));
            const int node = add(roleOf(element.kind), key,
                                 label == toggleNames_.end() ? element.name : label->second, parent,
                                 element.rect);
            nodeOf_[size_t(item.element)] = node;
            AccNode& added = tree_.nodes[size_t(node)];
            added.value = element.value;
            added.command = element.command;
            added.argument = element.argument;
            added.enabled = element.enabled;
            added.on = element.on;
            if (element.kind != ElementKind::group && element.kind != ElementKind::text &&
                element.enabled) {
                added.focus = focusKeyOf(element);
                if (added.focus == focus && (tree_.focused < 0 || element.on)) tree_.focused = node;
            }
        }
        return std::move(tree_);
    }

private:
    int parentOf(int group, int document) const {
        return group >= 0 && size_t(group) < nodeOf_.size() && nodeOf_[size_t(group)] >= 0
                   ? nodeOf_[size_t(group)]
                   : document;
    }

    // Keys are unique: a repeated one is counted ("#2"), in drawing order.
    int add(AccRole role, std::wstring key, std::wstring name, int parent, RECT rect = {}) {
        const int seen = ++keys_[key];
        if (seen > 1 || key.rfind(L"s:", 0) == 0) key += L"#" + std::to_wstring(seen);
        AccNode node;
        node.key = std::move(key);
        node.role = role;
        node.name = std::move(name);
        node.rect = rect;
        node.parent = parent;
        tree_.nodes.push_back(std::move(node));
        const int index = static_cast<int>(tree_.nodes.size()) - 1;
        if (parent >= 0) tree_.nodes[size_t(parent)].children.push_back(index);
        return index;
    }

    // A toggle draws no text: it takes the label drawn on its row in its group (the
    // nearest), else the nearest one above it; that text is then its name only.
    void nameToggles() {
        for (size_t e = 0; e < elements_.size(); ++e) {
            const Element& toggle = elements_[e];
            if (toggle.kind != ElementKind::toggle || !toggle.name.empty()) continue;
            int best = -1;
            long bestDistance = 0;
            for (size_t i = 0; i < runs_.size(); ++i) {
                const TextRun& run = runs_[i];
                if (covered_[i] || run.group != toggle.group || run.text.empty()) continue;
                long distance = -1;
                if (overlapsRow(run.rect, toggle.rect))
                    distance = std::abs(run.rect.left - toggle.rect.left);
                else if (run.rect.bottom <= toggle.rect.top)
                    distance = 100000L + (toggle.rect.top - run.rect.bottom);
                if (distance >= 0 && (best < 0 || distance < bestDistance)) {
                    best = static_cast<int>(i);
                    bestDistance = distance;
                }
            }
            if (best < 0) continue;
            covered_[size_t(best)] = true;
            toggleNames_[e] = runs_[size_t(best)].text;
        }
    }

    const std::vector<Element>& elements_;
    const std::vector<TextRun>& runs_;
    int sidebarRight_;
    std::vector<bool> covered_;
    std::vector<int> nodeOf_;
    std::map<size_t, std::wstring> toggleNames_;
    std::map<std::wstring, int> keys_;
    AccTree tree_;
};

} // namespace

AccTree buildTree(const std::vector<Element>& elements, const std::vector<TextRun>& runs,
                  std::wstring_view windowName, int sidebarRight, FocusKey focus) {
    return Builder(elements, runs, sidebarRight).build(windowName, focus);
}

std::vector<int> changedValues(const AccTree& before, const AccTree& now) {
    std::map<std::wstring_view, const AccNode*> old;
    for (const AccNode& node : before.nodes)
        if (node.role == AccRole::text) old.emplace(node.key, &node);
    std::vector<int> changed;
    for (size_t i = 0; i < now.nodes.size(); ++i) {
        const AccNode& node = now.nodes[i];
        const auto found = node.role == AccRole::text ? old.find(node.key) : old.end();
        if (found != old.end() && found->second->value != node.value)
            changed.push_back(static_cast<int>(i));
    }
    return changed;
}

bool valueEventsDue(uint64_t now, uint64_t& last, uint32_t periodMs) {
    if (last != 0 && now - last < periodMs) return false;
    last = now;
    return true;
}

} // namespace ovra

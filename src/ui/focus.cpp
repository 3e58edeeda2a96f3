#include "ui/focus.h"

#include <algorithm>

namespace ovra {

namespace {

bool focusable(const Element& element) {
    return element.kind != ElementKind::group && element.kind != ElementKind::text &&
           element.enabled;
}

int indexOf(const std::vector<FocusKey>& stops, FocusKey key) {
    const auto found = std::find(stops.begin(), stops.end(), key);
    return found == stops.end() ? -1 : static_cast<int>(found - stops.begin());
}

} // namespace

FocusKey focusKeyOf(const Element& element) {
    return FocusKey{element.command,
                    element.kind == ElementKind::choice ? anyChoice : element.argument,
                    element.kind == ElementKind::pageEntry};
}

std::vector<FocusKey> focusStops(const std::vector<Element>& elements) {
    std::vector<FocusKey> stops;
    for (const bool sidebar : {true, false})
        for (const Element& element : elements) {
            const FocusKey key = focusKeyOf(element);
            if (focusable(element) && key.sidebar == sidebar && indexOf(stops, key) < 0)
                stops.push_back(key);
        }
    return stops;
}

int elementOf(const std::vector<Element>& elements, FocusKey key) {
    int found = -1;
    for (size_t i = 0; i < elements.size(); ++i)
        if (focusable(elements[i]) && focusKeyOf(elements[i]) == key) {
            if (found < 0 || elements[i].on) found = static_cast<int>(i);
        }
    return found;
}

FocusKey nextStop(const std::vector<FocusKey>& stops, FocusKey current, bool backwards) {
    if (stops.empty()) return {};
    const int count = static_cast<int>(stops.size());
    const int at = indexOf(stops, current);
    if (at < 0) return backwards ? stops.back() : stops.front();
    return stops[static_cast<size_t>((at + (backwards ? count - 1 : 1)) % count)];
}

FocusKey otherZone(const std::vector<Element>& elements, FocusKey current) {
    const std::vector<FocusKey> stops = focusStops(elements);
    if (!current.valid() || !current.sidebar) {
        for (const Element& element : elements)
            if (element.kind == ElementKind::pageEntry && element.on) return focusKeyOf(element);
        for (const FocusKey& stop : stops)
            if (stop.sidebar) return stop;
    } else {
        for (const FocusKey& stop : stops)
            if (!stop.sidebar) return stop;
    }
    return current;
}

FocusKey keepFocus(const std::vector<FocusKey>& before, const std::vector<FocusKey>& now,
                   FocusKey current) {
    if (!current.valid() || indexOf(now, current) >= 0) return current;
    const int at = indexOf(before, current);
    if (at < 0) return {};
    for (size_t i = static_cast<size_t>(at) + 1; i < before.size(); ++i)
        if (indexOf(now, before[i]) >= 0) return before[i];
    for (int i = at - 1; i >= 0; --i)
        if (indexOf(now, before[static_cast<size_t>(i)]) >= 0) return before[static_cast<size_t>(i)];
    return now.empty() ? FocusKey{} : now.front();
}

KeyAction activation(const std::vector<Element>& elements, FocusKey key) {
    const int at = elementOf(elements, key);
    if (at < 0) return {};
    const Element& element = elements[static_cast<size_t>(at)];
    if (element.kind == ElementKind::choice) return {};
    return KeyAction{element.command, element.argument};
}

KeyAction arrowAction(const std::vector<Element>& elements, FocusKey key, int step) {
    const int at = elementOf(elements, key);
    if (at < 0) return {};
    const Element& element = elements[static_cast<size_t>(at)];
    if (element.kind == ElementKind::stepperButton) {
        const int target = elementOf(elements, FocusKey{element.command, step, false});
        return target < 0 ? KeyAction{} : KeyAction{element.command, step};
    }
    if (element.kind != ElementKind::choice) return {};
    // The options of this choice, in order; the selected one is `element`.
    for (size_t i = 0; i < elements.size(); ++i) {
        const Element& option = elements[i];
        if (option.kind == ElementKind::choice && option.command == element.command &&
            option.argument == element.argument + step && option.enabled)
            return KeyAction{option.command, option.argument};
    }
    return {};
}

} // namespace ovra

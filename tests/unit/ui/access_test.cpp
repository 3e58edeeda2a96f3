// Keyboard focus, the accessibility tree of every page, value events, high contrast, text size.
#include <set>

#include "a11y/tree.h"
#include "pages/app_fixture.h"
#include "ui/focus.h"

using namespace ovra;

namespace {

Element control(ElementKind kind, int32_t command, int32_t argument, bool enabled = true,
                bool on = false) {
    Element element{kind,    L"",      L"",     RECT{0, argument * 40, 100, argument * 40 + 30},
                    command, argument, enabled, on};
    return element;
}

} // namespace

TEST(Focus, MovesInReadingOrderAndPassesToTheNeighbourOfWhatDisappears) {
    using enum ElementKind;
    const std::vector<Element> page = {
        control(group, 0, 0),          control(button, 8, 0),
        control(choice, 5, 0),         control(choice, 5, 1, true, true),
        control(choice, 5, 2),         control(stepperButton, 22, -1, false),
        control(stepperButton, 22, 1), control(toggle, 6, 0, false),
        control(pageEntry, 1, 0),      control(pageEntry, 1, 1, true, true)};
    const FocusKey entry0{1, 0, true}, entry1{1, 1, true}, exportButton{8, 0},
        choices{5, anyChoice}, plus{22, 1}, none{};
    const std::vector<FocusKey> stops = focusStops(page);
    EXPECT_EQ(stops, (std::vector<FocusKey>{entry0, entry1, exportButton, choices, plus}));
    const struct {
        FocusKey from;
        bool backwards;
        FocusKey to;
    } tabs[] = {
        {none, false, entry0},           {none, true, plus},   {entry1, false, exportButton},
        {plus, false, entry0},           {entry0, true, plus}, {choices, true, exportButton},
        {FocusKey{99, 0}, false, entry0}};
    for (const auto& tab : tabs)
        EXPECT_EQ(nextStop(stops, tab.from, tab.backwards), tab.to) << tab.from.command;
    EXPECT_EQ(otherZone(page, exportButton), entry1) << "F6 goes to the shown page's entry";
    EXPECT_EQ(otherZone(page, entry0), exportButton);
    EXPECT_EQ(otherZone(page, none), entry1);

    const std::vector<FocusKey> after = {entry0, entry1, choices};
    EXPECT_EQ(keepFocus(stops, after, choices), choices);
    EXPECT_EQ(keepFocus(stops, after, exportButton), choices) << "the next one still there";
    EXPECT_EQ(keepFocus(stops, after, plus), choices) << "none after it: the previous one";
    EXPECT_EQ(keepFocus(stops, {}, plus), none);

    const struct {
        FocusKey key;
        int step;
        int32_t command, argument; // the action, 0: none; step 0 = Enter/Space
    } actions[] = {{exportButton, 0, 8, 0}, {entry0, 0, 1, 0},      {choices, 0, 0, 0},
                   {choices, -1, 5, 0},     {choices, +1, 5, 2},    {plus, -1, 0, 0},
                   {plus, +1, 22, 1},       {exportButton, 1, 0, 0}};
    for (const auto& row : actions) {
        const KeyAction action =
            row.step ? arrowAction(page, row.key, row.step) : activation(page, row.key);
        EXPECT_EQ(std::pair(action.command, action.argument), std::pair(row.command, row.argument))
            << row.key.command << " " << row.step;
    }
}

using Access = test::PageView;

// Every page as a screen reader gets it: nothing drawn is missing, nothing is
// there that is not drawn, every clickable region is a control with its role.
TEST_F(Access, EveryPageTreeHoldsWhatThePageDrawsAndNothingElse) {
    app.view.access.describe = true;
    app.settings.processMode = 1;
    for (int page = 0; page < pageCount; ++page) {
        show(page);
        const AccTree tree = buildTree(app.view.access.elements, app.view.textRuns, L"Ovra Monitor",
                                       scaled(sidebarWidth, app.view.dpi), {});
        std::set<std::wstring> drawn, told;
        const std::vector<TextRun>& runs = app.view.textRuns;
        for (const TextRun& run : app.view.textRuns)
            if (!run.text.empty()) drawn.insert(run.text);
        int groups = 0, toggles = 0;
        for (const AccNode& node : tree.nodes) {
            for (const std::wstring* text : {&node.name, &node.value})
                for (size_t start = 0; !text->empty() && start <= text->size();) {
                    const size_t end = std::min(text->find(L'\n', start), text->size());
                    told.insert(text->substr(start, end - start));
                    start = end + 1;
                }
            if (node.role == AccRole::group) {
                ++groups;
                EXPECT_TRUE(node.name.empty() || std::any_of(runs.begin(), runs.end(),
                                                             [&](auto& r) {
                                                                 return r.text == node.name &&
                                                                        r.font == FontRole::heading;
                                                             }))
                    << "a card is named by its title, page " << page;
            }
            if (node.role == AccRole::checkBox) toggles += node.name.empty() ? 100 : 1;
            if (node.role == AccRole::listItem) {
                EXPECT_EQ(node.on, node.argument == page) << page;
            }
            EXPECT_EQ(node.parent >= 0 && tree.nodes[size_t(node.parent)].role == AccRole::list,
                      node.role == AccRole::listItem);
        }
        EXPECT_EQ(told, drawn) << page;
        EXPECT_GT(groups, 0) << page;
        EXPECT_LT(toggles, 100) << "every switch is named after its label, page " << page;
        for (const HitRegion& hit : app.view.hits)
            EXPECT_TRUE(std::any_of(tree.nodes.begin(), tree.nodes.end(),
                                    [&](const AccNode& n) {
                                        return n.command == hit.command &&
                                               n.argument == hit.argument && n.focus.valid() &&
                                               n.role != AccRole::text;
                                    }))
                << page << " " << hit.command << " " << hit.argument;
    }
}

TEST(AccessValues, ChangedValuesAreAnnouncedAtMostOncePerTick) {
    AccTree before, now;
    const auto text = [](const wchar_t* key, const wchar_t* value) {
        AccNode node;
        node.key = key;
        node.value = value;
        return node;
    };
    for (const auto& [key, was, is] : {std::tuple(L"t:a", L"1", L"1"),
                                       {L"t:b", L"2", L"3"},
                                       {L"t:c", L"4", L"5"},
                                       {L"s:d", L"x", L"y"}}) {
        before.nodes.push_back(text(key, was));
        now.nodes.push_back(text(key, is));
    }
    now.nodes.insert(now.nodes.begin(), text(L"t:new", L"9"));
    EXPECT_EQ(changedValues(before, now), (std::vector<int>{2, 3, 4}));
    uint64_t last = 0;
    std::vector<bool> due;
    for (uint64_t at : {5000, 5100, 6999, 7000, 8000, 9001})
        due.push_back(valueEventsDue(at, last, 2000));
    EXPECT_EQ(due, (std::vector<bool>{true, false, false, true, false, true}));
}

TEST(HighContrast, EveryRoleIsOneOfTheThemesColours) {
    const SystemColours c{1, 2, 3, 4, 5, 6, 7};
    const Palette palette = highContrastPalette(c);
    EXPECT_TRUE(palette.highContrast);
    const std::pair<Role, Colour> rows[] = {
        {Role::background, 1}, {Role::card, 1},        {Role::text, 2},      {Role::border, 2},
        {Role::accent, 3},     {Role::onAccent, 4},    {Role::statusBad, 5}, {Role::textMuted, 6},
        {Role::control, 7},    {Role::navSelected, 1}, {Role::track, 7},     {Role::series1, 3}};
    for (const auto& [role, colour] : rows)
        EXPECT_EQ(palette[role], colour) << int(role);
    for (Colour colour : palette.colours)
        EXPECT_TRUE(colour >= 1 && colour <= 7);
}

TEST(TextSize, FollowsWindowsSettingOnTopOfTheDpi) {
    EXPECT_EQ(fontPixels(13, 96, 100), 13);
    EXPECT_EQ(fontPixels(13, 144, 150), 30);
    EXPECT_EQ(fontPixels(22, 96, 225), 50);
    EXPECT_EQ(std::vector<int>({clampTextScale(0), clampTextScale(150), clampTextScale(400)}),
              std::vector<int>({100, 150, 225}));
    OVRA_SKIP_UNLESS_WINE(); // the user's own text size is written and removed
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Accessibility", 0, nullptr,
                              0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD percent = 175;
    RegSetValueExW(key, L"TextScaleFactor", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&percent),
                   sizeof(percent));
    const int read = readTextScale();
    RegDeleteValueW(key, L"TextScaleFactor");
    RegCloseKey(key);
    EXPECT_EQ(read, 175);
    EXPECT_EQ(readTextScale(), 100);
}

// The viewer's own keys: what each means in the grid, in a text tab and in the find bar's field.
#include <gtest/gtest.h>

#include "keys/context_menu.h"
#include "keys/key_commands.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace {

KeyCommand command(int key, int mods, KeyPlace place) {
    return key_command(key, mods, place).command;
}

const KeyPlace TABS[] = {PLACE_GRID, PLACE_TEXT};
const KeyPlace VIEWS[] = {PLACE_GRID, PLACE_TEXT, PLACE_VALUE};

} // namespace

TEST(KeyCommands, EscapeGoesToTheHostExceptInTheFieldWhereItClosesTheBar) {
    for (KeyPlace place : TABS)
        for (int mods : std::initializer_list<int>{0, KEYMOD_CTRL, KEYMOD_SHIFT})
            EXPECT_EQ(command(KEY_ESCAPE, mods, place), CMD_TO_HOST);
    EXPECT_EQ(command(KEY_ESCAPE, 0, PLACE_FIND_FIELD), CMD_FIND_CLOSE);
}

TEST(KeyCommands, DigitsOneToFourSwitchTabsWithAnyModifierButTypeInTheField) {
    for (KeyPlace place : TABS) {
        for (int mods :
             std::initializer_list<int>{0, KEYMOD_CTRL, KEYMOD_SHIFT, KEYMOD_CTRL | KEYMOD_SHIFT}) {
            for (int digit = 1; digit <= 4; ++digit) {
                KeyAction a = key_command(KEY_1 + digit - 1, mods, place);
                EXPECT_EQ(a.command, CMD_SHOW_TAB);
                EXPECT_EQ(a.tab, digit);
            }
        }
        for (int other :
             std::initializer_list<int>{'0', '5', '9', 0x61 /* keypad 1 */, 0x64 /* keypad 4 */})
            EXPECT_EQ(command(other, 0, place), CMD_NONE) << other;
    }
    for (int digit = 1; digit <= 4; ++digit)
        EXPECT_EQ(command(KEY_1 + digit - 1, 0, PLACE_FIND_FIELD), CMD_NONE);
}

TEST(KeyCommands, FindKeysMeanTheSameEverywhereAndEnterFindsOnlyInTheField) {
    for (KeyPlace place : {PLACE_GRID, PLACE_TEXT, PLACE_FIND_FIELD}) {
        EXPECT_EQ(command(KEY_F, KEYMOD_CTRL, place), CMD_FIND_OPEN);
        EXPECT_EQ(command(KEY_F7, 0, place), CMD_FIND_OPEN);
        EXPECT_EQ(command(KEY_F3, 0, place), CMD_FIND_NEXT);
        EXPECT_EQ(command(KEY_F3, KEYMOD_SHIFT, place), CMD_FIND_PREV);
    }
    EXPECT_EQ(command(KEY_F, 0, PLACE_GRID), CMD_NONE);
    EXPECT_EQ(command(KEY_F, 0, PLACE_FIND_FIELD), CMD_NONE) << "typed";
    EXPECT_EQ(command(KEY_RETURN, 0, PLACE_FIND_FIELD), CMD_FIND_NEXT);
    EXPECT_EQ(command(KEY_RETURN, KEYMOD_SHIFT, PLACE_FIND_FIELD), CMD_FIND_PREV);
    EXPECT_EQ(command(KEY_RETURN, 0, PLACE_TEXT), CMD_NONE);
}

TEST(KeyCommands, CtrlShiftFFiltersTheGridsRowsAndTheFilterFieldKeepsOrClearsIt) {
    EXPECT_EQ(command(KEY_F, KEYMOD_CTRL | KEYMOD_SHIFT, PLACE_GRID), CMD_FILTER_OPEN);
    EXPECT_EQ(command(KEY_F, KEYMOD_CTRL | KEYMOD_SHIFT, PLACE_FIND_FIELD), CMD_FILTER_OPEN);
    EXPECT_EQ(command(KEY_F, KEYMOD_CTRL | KEYMOD_SHIFT, PLACE_TEXT), CMD_FIND_OPEN)
        << "a text has no rows to filter: as Ctrl+F";
    EXPECT_EQ(command(KEY_F, KEYMOD_CTRL, PLACE_FILTER_FIELD), CMD_FIND_OPEN);
    EXPECT_EQ(command(KEY_RETURN, 0, PLACE_FILTER_FIELD), CMD_FILTER_KEEP);
    EXPECT_EQ(command(KEY_RETURN, KEYMOD_SHIFT, PLACE_FILTER_FIELD), CMD_FILTER_KEEP);
    EXPECT_EQ(command(KEY_ESCAPE, 0, PLACE_FILTER_FIELD), CMD_FILTER_CLEAR);
    EXPECT_EQ(command(KEY_F3, 0, PLACE_FILTER_FIELD), CMD_FIND_NEXT);
    EXPECT_EQ(command('2', 0, PLACE_FILTER_FIELD), CMD_NONE) << "typed";
}

TEST(KeyCommands, CopyAndSelectAllActOnTheTabAndLeaveTheFieldToItsOwnKeys) {
    for (KeyPlace place : TABS) {
        EXPECT_EQ(command(KEY_C, KEYMOD_CTRL, place), CMD_COPY);
        EXPECT_EQ(command(KEY_INSERT, KEYMOD_CTRL, place), CMD_COPY);
        EXPECT_EQ(command(KEY_A, KEYMOD_CTRL, place), CMD_SELECT_ALL);
        EXPECT_EQ(command(KEY_C, 0, place), CMD_NONE);
        EXPECT_EQ(command(KEY_A, 0, place), CMD_NONE);
        EXPECT_EQ(command(KEY_INSERT, 0, place), CMD_NONE);
    }
    EXPECT_EQ(command(KEY_C, KEYMOD_CTRL | KEYMOD_SHIFT, PLACE_GRID), CMD_COPY_WITH_NAMES);
    EXPECT_EQ(command(KEY_C, KEYMOD_CTRL | KEYMOD_SHIFT, PLACE_TEXT), CMD_COPY)
        << "a text has no names: as Ctrl+C";
    for (int key : {KEY_C, KEY_INSERT, KEY_A})
        EXPECT_EQ(command(key, KEYMOD_CTRL, PLACE_FIND_FIELD), CMD_NONE);
}

TEST(KeyCommands, MovesAndOtherKeysAreLeftToTheWindowThatHasTheKeyboard) {
    for (KeyPlace place : {PLACE_GRID, PLACE_TEXT, PLACE_FIND_FIELD, PLACE_FILTER_FIELD})
        for (int key : std::initializer_list<int>{KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_HOME,
                                                  KEY_END, KEY_PRIOR, KEY_NEXT, KEY_TAB, 'X'})
            for (int mods : std::initializer_list<int>{0, KEYMOD_CTRL, KEYMOD_SHIFT})
                EXPECT_EQ(command(key, mods, place), CMD_NONE) << key << " " << mods;
}

TEST(KeyCommands, EnterOpensACellsValueWhichEscapeEnterAndAltArrowsAnswer) {
    EXPECT_EQ(command(KEY_RETURN, 0, PLACE_GRID), CMD_VALUE_OPEN);
    EXPECT_EQ(command(KEY_RETURN, 0, PLACE_TEXT), CMD_NONE);
    EXPECT_EQ(command(KEY_ESCAPE, 0, PLACE_VALUE), CMD_VALUE_CLOSE) << "not the host's here";
    EXPECT_EQ(command(KEY_RETURN, 0, PLACE_VALUE), CMD_VALUE_CLOSE);
    EXPECT_EQ(command(KEY_UP, KEYMOD_ALT, PLACE_VALUE), CMD_VALUE_PREV);
    EXPECT_EQ(command(KEY_DOWN, KEYMOD_ALT, PLACE_VALUE), CMD_VALUE_NEXT);
    EXPECT_EQ(command(KEY_UP, KEYMOD_ALT, PLACE_GRID), CMD_NONE) << "Alt keys are the host's";
    EXPECT_EQ(command(KEY_UP, 0, PLACE_VALUE), CMD_NONE) << "the caret's";
    EXPECT_EQ(command('2', 0, PLACE_VALUE), CMD_SHOW_TAB);
    EXPECT_EQ(command(KEY_C, KEYMOD_CTRL, PLACE_VALUE), CMD_COPY);
    EXPECT_EQ(command(KEY_A, KEYMOD_CTRL, PLACE_VALUE), CMD_SELECT_ALL);
    EXPECT_EQ(command(KEY_F, KEYMOD_CTRL, PLACE_VALUE), CMD_FIND_OPEN);
    EXPECT_EQ(command(KEY_F3, 0, PLACE_VALUE), CMD_FIND_NEXT);
}

TEST(KeyCommands, CtrlISumsUpTheColumnAndCtrlGAsksForARowWhichEnterGoesTo) {
    EXPECT_EQ(command(KEY_I, KEYMOD_CTRL, PLACE_GRID), CMD_SUMMARY_OPEN);
    EXPECT_EQ(command(KEY_G, KEYMOD_CTRL, PLACE_GRID), CMD_GOTO_OPEN);
    for (KeyPlace place : {PLACE_TEXT, PLACE_VALUE}) {
        EXPECT_EQ(command(KEY_I, KEYMOD_CTRL, place), CMD_NONE) << "no column to sum up";
        EXPECT_EQ(command(KEY_G, KEYMOD_CTRL, place), CMD_NONE) << "no rows to go to";
    }
    for (int mods : std::initializer_list<int>{0, KEYMOD_SHIFT, KEYMOD_CTRL | KEYMOD_SHIFT}) {
        EXPECT_EQ(command(KEY_I, mods, PLACE_GRID), CMD_NONE) << mods;
        EXPECT_EQ(command(KEY_G, mods, PLACE_GRID), CMD_NONE) << mods;
    }
    EXPECT_EQ(command(KEY_I, KEYMOD_CTRL, PLACE_FIND_FIELD), CMD_NONE) << "the field's own";
    for (KeyPlace place : {PLACE_FIND_FIELD, PLACE_FILTER_FIELD, PLACE_GOTO_FIELD})
        EXPECT_EQ(command(KEY_G, KEYMOD_CTRL, place), CMD_GOTO_OPEN) << "the bar turns to it";
    EXPECT_EQ(command(KEY_RETURN, 0, PLACE_GOTO_FIELD), CMD_GOTO_ROW);
    EXPECT_EQ(command(KEY_ESCAPE, 0, PLACE_GOTO_FIELD), CMD_FIND_CLOSE);
    EXPECT_EQ(command(KEY_F, KEYMOD_CTRL, PLACE_GOTO_FIELD), CMD_FIND_OPEN);
    for (int digit = 1; digit <= 4; ++digit)
        EXPECT_EQ(command(KEY_1 + digit - 1, 0, PLACE_GOTO_FIELD), CMD_NONE) << "typed";
    EXPECT_EQ(command(KEY_RETURN, 0, PLACE_FIND_FIELD), CMD_FIND_NEXT) << "the find field's Enter";
}

TEST(KeyCommands, ShiftF10AndTheMenuKeyOpenTheMenuWhileAltCombinationsStayTheHosts) {
    for (KeyPlace place : TABS) {
        EXPECT_EQ(command(KEY_F10, KEYMOD_SHIFT, place), CMD_CONTEXT_MENU);
        EXPECT_EQ(command(KEY_APPS, 0, place), CMD_CONTEXT_MENU);
        EXPECT_EQ(command(KEY_F10, 0, place), CMD_NONE) << "F10 alone is the host's menu";
        for (int key : std::initializer_list<int>{KEY_1, KEY_4, KEY_C, KEY_F, KEY_F3, KEY_ESCAPE})
            EXPECT_EQ(command(key, KEYMOD_ALT, place), CMD_NONE) << key;
    }
    EXPECT_EQ(command(KEY_F10, KEYMOD_SHIFT, PLACE_FIND_FIELD), CMD_NONE) << "the field's own menu";
}

namespace {

// "Ctrl+Shift+C" as the key and modifiers a keyboard sends for it.
bool parse_keys(const std::string &label, int *key, int *mods) {
    *mods = 0;
    std::string rest = label;
    for (size_t plus; (plus = rest.find('+')) != std::string::npos; rest.erase(0, plus + 1)) {
        std::string mod = rest.substr(0, plus);
        if (mod == "Ctrl")
            *mods |= KEYMOD_CTRL;
        else if (mod == "Shift")
            *mods |= KEYMOD_SHIFT;
        else
            return false;
    }
    if (rest.size() == 1 && rest[0] >= 'A' && rest[0] <= 'Z') {
        *key = rest[0];
        return true;
    }
    if (rest == "Enter") {
        *key = KEY_RETURN;
        return true;
    }
    if (rest.size() >= 2 && rest[0] == 'F') {
        *key = 0x70 + std::stoi(rest.substr(1)) - 1;
        return true;
    }
    return false;
}

std::vector<std::string> labels(KeyPlace place) {
    MenuItem items[MENU_ITEMS_MAX];
    size_t n = context_menu_items(place, items);
    std::vector<std::string> out;
    for (size_t i = 0; i < n; ++i) out.push_back(items[i].label ? items[i].label : "-");
    return out;
}

} // namespace

TEST(ContextMenu, TheGridsTheValuesAndTheTextsItemsInOrder) {
    EXPECT_EQ(labels(PLACE_GRID),
              (std::vector<std::string>{"Copy", "Copy with column names", "Copy as", "Select all",
                                        "Show value", "Column summary", "-", "Find...",
                                        "Go to row...", "Filter...", "Filter: equal to this value",
                                        "Filter: not equal to this value", "Filter: NULL",
                                        "Filter: not NULL", "Clear filter", "-", "Sort ascending",
                                        "Sort descending", "File order"}));
    for (KeyPlace place : {PLACE_TEXT, PLACE_VALUE})
        EXPECT_EQ(labels(place), (std::vector<std::string>{"Copy", "Select all", "-", "Find..."}));
    MenuItem items[MENU_ITEMS_MAX];
    context_menu_items(PLACE_GRID, items);
    std::vector<std::string> formats;
    for (size_t i = 0; i < items[2].submenu_count; ++i)
        formats.push_back(items[2].submenu[i].label);
    EXPECT_EQ(formats,
              (std::vector<std::string>{"CSV", "SQL INSERT statements", "JSON", "Markdown table"}));
}

TEST(ContextMenu, EveryKeyAMenuShowsIsTheKeyThatDoesTheSame) {
    for (KeyPlace place : VIEWS) {
        MenuItem items[MENU_ITEMS_MAX];
        size_t n = context_menu_items(place, items);
        int with_keys = 0;
        for (size_t i = 0; i < n; ++i) {
            if (!items[i].keys) continue;
            ++with_keys;
            int key = 0, mods = 0;
            ASSERT_TRUE(parse_keys(items[i].keys, &key, &mods)) << items[i].keys;
            EXPECT_EQ(command(key, mods, place), items[i].command) << items[i].label;
        }
        EXPECT_GE(with_keys, 3);
    }
}

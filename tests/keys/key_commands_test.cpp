// The viewer's own keys: what each means in the grid, in a text tab and in the find bar's field.
#include <gtest/gtest.h>

#include "keys/key_commands.h"

#include <initializer_list>

namespace {

KeyCommand command(int key, int mods, KeyPlace place) {
    return key_command(key, mods, place).command;
}

const KeyPlace TABS[] = {PLACE_GRID, PLACE_TEXT};

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
    EXPECT_EQ(command(KEY_RETURN, 0, PLACE_GRID), CMD_NONE);
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

#include "shell/menuState.h"
#include "shell/commandTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace vellora {
namespace {

struct Step {
    int menuState;
    int undoCount;
};

struct EnablingCase {
    const char* name;
    std::vector<Step> steps; // applied in order to a fresh menu
    std::vector<int> enabled;
    std::vector<int> grayed;
};

const std::vector<EnablingCase>& enablingCases() {
    static const std::vector<EnablingCase> cases = {
        {"start",
         {{0, 0}},
         {200, 201, 205, 283, 300},
         {202, 203, 204, 210, 211, 212, 220, 240, 250, 251, 258, 260, 271, 280, 281, 282, 284,
          285}},
        {"opened",
         {{0, 0}, {1, 0}},
         {201, 202, 204, 205, 210, 230, 252, 256, 262, 271, 280, 283, 300},
         {203, 250, 281, 282, 284, 285}},
        {"modified", {{0, 0}, {1, 0}, {4, 1}}, {201, 203, 250, 280}, {281, 282}},
        {"saved after modified",
         {{0, 0}, {1, 0}, {4, 1}, {2, 0}},
         {201, 204, 280},
         {203, 250, 281, 282}},
        {"saved after tiling keeps the table",
         {{0, 0}, {1, 0}, {5, 1}, {2, 0}},
         {281, 282},
         {203, 250}},
        {"undone to nothing", {{0, 0}, {1, 0}, {4, 1}, {3, 0}}, {201, 280}, {203, 250, 281, 282}},
        {"undone with steps left", {{0, 0}, {1, 0}, {4, 2}, {3, 1}}, {203, 250}, {281, 282}},
        {"tiled",
         {{0, 0}, {1, 0}, {5, 1}},
         {201, 202, 203, 204, 212, 250, 280, 281, 282, 283, 284, 285},
         {}},
        {"table shown",
         {{0, 0}, {1, 0}, {5, 1}, {6, 0}},
         {205, 281, 282, 283, 284, 285, 300},
         {201, 202, 203, 204, 210, 211, 212, 220, 240, 250, 251, 258, 260, 271, 280}},
        {"table hidden again",
         {{0, 0}, {1, 0}, {5, 1}, {6, 0}, {5, 1}},
         {201, 203, 210, 250, 280, 281, 282},
         {}},
        {"closed", {{0, 0}, {1, 0}, {5, 1}, {0, 0}}, {201, 205, 300}, {202, 203, 250, 280, 281}},
    };
    return cases;
}

TEST(MenuState, EnablingFollowsTheStateTableAndTheUndoCount) {
    for (const EnablingCase& c : enablingCases()) {
        CommandSet commands;
        for (const Step& step : c.steps)
            updateMenus(commands, step.menuState, step.undoCount);
        for (int id : c.enabled)
            EXPECT_TRUE(commands.enabled(id)) << c.name << " " << id;
        for (int id : c.grayed)
            EXPECT_FALSE(commands.enabled(id)) << c.name << " " << id;
    }
}

TEST(MenuState, ExitAndAboutStayEnabledInEveryState) {
    for (int state = 0; state <= 6; ++state) {
        CommandSet commands;
        updateMenus(commands, 6, 0); // the state that grays the most
        updateMenus(commands, state, 0);
        EXPECT_TRUE(commands.enabled(kCmdExit)) << state;
        EXPECT_TRUE(commands.enabled(kCmdAbout)) << state;
    }
}

TEST(MenuState, SaveAndUndoFollowTheUndoCountInEveryState) {
    for (int state = 0; state <= 6; ++state)
        for (int undoCount : {0, 1, 99}) {
            CommandSet commands;
            updateMenus(commands, state, undoCount);
            EXPECT_EQ(commands.enabled(kCmdSave), undoCount != 0) << state;
            EXPECT_EQ(commands.enabled(kCmdUndo), undoCount != 0) << state;
        }
}

TEST(MenuState, IdsOutsideTheCommandRangeAreNeverEnabled) {
    CommandSet commands;
    EXPECT_FALSE(commands.enabled(199));
    EXPECT_FALSE(commands.enabled(301));
    commands.set(301, true);
    EXPECT_FALSE(commands.enabled(301));
}

} // namespace
} // namespace vellora

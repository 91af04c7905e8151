#include "shell/commandTable.h"
#include "core/parameterFields.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace vellora {
namespace {

struct ItemCase {
    int id;
    const char* text;
};

TEST(CommandTable, ItemTextsCarryTheirShortcutAfterTheTab) {
    const ItemCase cases[] = {
        {201, "Open\tCtrl + O"},
        {202, "Close\tCtrl Sft + C"},
        {203, "Save\tCtrl Sft + S"},
        {205, "Exit\tCtrl + X"},
        {220, "5%"},
        {230, "100%\tCtrl Sft + Z"},
        {240, "1000%"},
        {212, "Zoom Dn\tCtrl + D"},
        {253, "Right 90\tCtrl + 1"},
        {255, "Left 90\tCtrl + 3"},
        {263, "Invert (Negative)\tCtrl + I"},
        {267, "Edge-PreServing\tCtrl Sft + V"},
        {282, "SaveAs CSV File\tCtrl + S"},
        {284, "Save Chart…\tCtrl Sft + G"},
        {300, "About\tCtrl Sft + T"},
    };
    for (const ItemCase& c : cases) {
        const CommandSpec* command = findCommand(c.id);
        ASSERT_NE(command, nullptr) << c.id;
        EXPECT_EQ(menuItemText(*command), c.text) << c.id;
    }
}

TEST(CommandTable, HiddenMenuHasAKeyButNoItem) {
    const CommandSpec* hidden = findCommand(kCmdHiddenMenu);
    ASSERT_NE(hidden, nullptr);
    EXPECT_TRUE(hidden->itemText.empty());
    EXPECT_EQ(shortcutText(hidden->key), "Ctrl Sft + U");
    for (const MenuEntry& entry : menuLayout())
        EXPECT_FALSE(entry.kind == MenuEntryKind::Item && entry.id == kCmdHiddenMenu);
}

TEST(CommandTable, NoTwoCommandsShareAKey) {
    std::set<std::pair<char, bool>> keys;
    for (const CommandSpec& command : commandTable()) {
        if (command.key.key == 0) continue;
        EXPECT_TRUE(keys.insert({command.key.key, command.key.shift}).second)
            << "duplicate key of " << command.id;
    }
}

TEST(CommandTable, UnknownIdsAreNotCommands) {
    for (int id : {0, 199, 206, 213, 219, 241, 259, 272, 286, 299, 301})
        EXPECT_EQ(findCommand(id), nullptr) << id;
}

TEST(CommandTable, EveryCommandButTheHiddenOneAppearsOnceInTheMenus) {
    std::map<int, int> seen;
    int depth = 0;
    for (const MenuEntry& entry : menuLayout()) {
        if (entry.kind == MenuEntryKind::BeginMenu) ++depth;
        if (entry.kind == MenuEntryKind::EndMenu) --depth;
        ASSERT_GE(depth, 0);
        if (entry.kind == MenuEntryKind::Item) {
            EXPECT_NE(findCommand(entry.id), nullptr) << entry.id;
            ++seen[entry.id];
        }
    }
    EXPECT_EQ(depth, 0);
    for (const CommandSpec& command : commandTable())
        EXPECT_EQ(seen[command.id], command.id == kCmdHiddenMenu ? 0 : 1) << command.id;
}

TEST(CommandTable, TopMenusAndSubmenusInOrder) {
    std::vector<std::string> top;
    std::vector<std::string> all;
    int depth = 0;
    for (const MenuEntry& entry : menuLayout()) {
        if (entry.kind == MenuEntryKind::BeginMenu) {
            if (depth == 0) top.emplace_back(entry.text);
            all.emplace_back(entry.text);
            ++depth;
        }
        if (entry.kind == MenuEntryKind::EndMenu) --depth;
    }
    EXPECT_EQ(top, (std::vector<std::string>{"File(&F)", "View(&V)", "Edit(&E)", "Effect(&C)",
                                             "Filtering(&R)", "Tiling(&T)", "Help(&H)"}));
    EXPECT_EQ(all,
              (std::vector<std::string>{"File(&F)", "View(&V)", "Zoom(&Z)", "Edit(&E)",
                                        "Rotate(&R)", "Flip(&F)", "Effect(&C)", "Filtering(&R)",
                                        "Tiling(&T)", "Design Table(&T)", "Help(&H)"}));
}

// The entries of one top menu, as ids, 0 for a separator and -1 for a submenu.
std::vector<int> entriesOf(std::string_view menu) {
    std::vector<int> ids;
    int depth = 0;
    bool inside = false;
    for (const MenuEntry& entry : menuLayout()) {
        if (entry.kind == MenuEntryKind::BeginMenu) {
            if (depth == 0)
                inside = entry.text == menu;
            else if (inside && depth == 1)
                ids.push_back(-1);
            ++depth;
            continue;
        }
        if (entry.kind == MenuEntryKind::EndMenu) {
            --depth;
            continue;
        }
        if (!inside || depth != 1) continue;
        ids.push_back(entry.kind == MenuEntryKind::Separator ? 0 : entry.id);
    }
    return ids;
}

TEST(CommandTable, MenuContentsWithSeparatorsAndSubmenus) {
    EXPECT_EQ(entriesOf("File(&F)"), (std::vector<int>{201, 202, 203, 204, 0, 205}));
    EXPECT_EQ(entriesOf("View(&V)"), (std::vector<int>{210, -1, 0, 211, 212}));
    EXPECT_EQ(entriesOf("Edit(&E)"), (std::vector<int>{250, 0, 252, 251, 0, -1, -1}));
    EXPECT_EQ(entriesOf("Effect(&C)"), (std::vector<int>{262, 261, 260, 0, 263, 264, 265}));
    EXPECT_EQ(entriesOf("Filtering(&R)"), (std::vector<int>{266, 267, 268, 269, 270, 271}));
    EXPECT_EQ(entriesOf("Tiling(&T)"), (std::vector<int>{280, 0, -1}));
    EXPECT_EQ(entriesOf("Help(&H)"), (std::vector<int>{300}));
}

// Every command that changes the picture is a step of the command line, under its own name,
// and reads only fields the block has.
TEST(CommandTable, EveryPictureCommandIsAStepReadingRealFields) {
    std::set<std::string_view> names;
    for (const CommandSpec& command : commandTable()) {
        const bool changesPicture =
            command.kind == CommandKind::DialogOperation || command.kind == CommandKind::RotateFlip;
        if (!changesPicture) continue;
        EXPECT_EQ(findCliStep(command.step), &command) << command.id;
        EXPECT_NE(command.handler, nullptr) << command.id;
    }
    for (const CommandSpec* step : cliSteps()) {
        EXPECT_TRUE(names.insert(step->step).second) << step->step;
        for (std::string_view name : commandFields(*step))
            EXPECT_NE(findParameterField(name), nullptr) << step->step << ": " << name;
    }
    EXPECT_EQ(findCliStep("color"), findCommand(kCmdColorProcessing));
}

} // namespace
} // namespace vellora

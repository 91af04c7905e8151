// The command table, the menu layout made from it, and which commands each menu state grays.
#include "shell/commandTable.h"
#include "shell/menuState.h"

#include "core/parameterFields.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace vellora {
namespace {

TEST(CommandTable, ItemTextsCarryTheirShortcutAfterTheTabAndUnknownIdsAreNoCommands) {
    const std::pair<int, const char*> cases[] = {
        {201, "Open\tCtrl + O"}, {220, "5%"}, {230, "100%\tCtrl Sft + Z"},
        {255, "Left 90\tCtrl + 3"}, {267, "Edge-PreServing\tCtrl Sft + V"}};
    for (const auto& [id, text] : cases) {
        const CommandSpec* command = findCommand(id);
        ASSERT_NE(command, nullptr) << id;
        EXPECT_EQ(menuItemText(*command), text) << id;
    }
    EXPECT_EQ(shortcutText(findCommand(kCmdHiddenMenu)->key), "Ctrl Sft + U");
    EXPECT_TRUE(findCommand(kCmdHiddenMenu)->itemText.empty());
    for (int id : {0, 199, 206, 213, 219, 241, 259, 272, 286, 299, 301})
        EXPECT_EQ(findCommand(id), nullptr) << id;
}

TEST(CommandTable, NoTwoCommandsShareAKey) {
    std::set<std::pair<char, bool>> keys;
    for (const CommandSpec& command : commandTable()) {
        if (command.key.key != 0)
            EXPECT_TRUE(keys.insert({command.key.key, command.key.shift}).second) << command.id;
    }
}

// The whole layout in one line: a menu is its name with its entries in brackets, "|" a separator.
// Every command but the hidden one is an item exactly once.
TEST(CommandTable, MenuLayout) {
    std::string outline;
    std::size_t items = 0;
    for (const MenuEntry& entry : menuLayout()) {
        if (entry.kind == MenuEntryKind::BeginMenu) outline += std::string(entry.text) + "[";
        if (entry.kind == MenuEntryKind::EndMenu) outline += "] ";
        if (entry.kind == MenuEntryKind::Separator) outline += "| ";
        if (entry.kind != MenuEntryKind::Item) continue;
        outline += std::to_string(entry.id) + " ";
        EXPECT_NE(findCommand(entry.id), nullptr) << entry.id;
        ++items;
    }
    EXPECT_EQ(outline, "File(&F)[201 202 203 204 | 205 ] View(&V)[210 Zoom(&Z)[220 221 222 223 "
                       "224 225 226 227 228 229 230 231 232 233 234 235 236 237 238 239 240 ] | "
                       "211 212 ] Edit(&E)[250 | 252 251 | Rotate(&R)[253 254 255 256 ] "
                       "Flip(&F)[257 258 ] ] Effect(&C)[262 261 260 | 263 264 265 ] "
                       "Filtering(&R)[266 267 268 269 270 271 ] Tiling(&T)[280 | Design "
                       "Table(&T)[281 282 | 283 284 285 ] ] Help(&H)[300 ] ");
    EXPECT_EQ(items, commandTable().size() - 1);
}

// Every command that changes the picture is a step of the command line, in menu order, with a
// handler, reading only fields the block has; the 24 bpp conversion is a step of its own.
TEST(CommandTable, CommandLineSteps) {
    std::string names;
    for (const CommandSpec* step : cliSteps()) {
        names += std::string(step->step) + " ";
        EXPECT_NE(step->handler, nullptr) << step->step;
        for (std::string_view name : commandFields(*step))
            EXPECT_NE(findParameterField(name), nullptr) << step->step << ": " << name;
    }
    EXPECT_EQ(names, "crop resize rotate-right rotate-180 rotate-left rotate flip-horizontal "
                     "flip-vertical color gray bw invert posterize histogram smooth "
                     "edge-preserving sharpen edge-detect denoise user-filter tiling "
                     "truecolor ");
    for (const CommandSpec& command : commandTable()) {
        if (command.kind == CommandKind::DialogOperation || command.kind == CommandKind::RotateFlip)
            EXPECT_EQ(findCliStep(command.step), &command) << command.id;
    }
    EXPECT_EQ(findCliStep("nothing"), nullptr);
}

std::vector<int> numbers(const char* text) {
    std::vector<int> values;
    std::istringstream in(text);
    for (int value; in >> value;)
        values.push_back(value);
    return values;
}

TEST(MenuState, EnablingFollowsTheStateTableAndTheUndoCount) {
    // Name; menu states with their undo counts, applied in order; enabled ids; grayed ids.
    const char* const cases[][4] = {
        {"start", "0 0", "200 201 205 283 300",
         "202 203 204 210 211 212 220 240 250 251 258 260 271 280 281 282 284 285"},
        {"opened", "0 0 1 0", "201 202 204 205 210 230 252 256 262 271 280 283 300",
         "203 250 281 282 284 285"},
        {"modified", "0 0 1 0 4 1", "201 203 250 280", "281 282"},
        {"saved after modified", "0 0 1 0 4 1 2 0", "201 204 280", "203 250 281 282"},
        {"saved after tiling keeps the table", "0 0 1 0 5 1 2 0", "281 282", "203 250"},
        {"undone to nothing", "0 0 1 0 4 1 3 0", "201 280", "203 250 281 282"},
        {"undone with steps left", "0 0 1 0 4 2 3 1", "203 250", "281 282"},
        {"tiled", "0 0 1 0 5 1", "201 202 203 204 212 250 280 281 282 283 284 285", ""},
        {"table shown", "0 0 1 0 5 1 6 0", "205 281 282 283 284 285 300",
         "201 202 203 204 210 211 212 220 240 250 251 258 260 271 280"},
        {"table hidden again", "0 0 1 0 5 1 6 0 5 1", "201 203 210 250 280 281 282", ""},
        {"closed", "0 0 1 0 5 1 0 0", "201 205 300", "202 203 250 280 281"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        CommandSet commands;
        const std::vector<int> steps = numbers(c[1]);
        for (std::size_t i = 0; i + 1 < steps.size(); i += 2)
            updateMenus(commands, steps[i], steps[i + 1]);
        for (int id : numbers(c[2]))
            EXPECT_TRUE(commands.enabled(id)) << id;
        for (int id : numbers(c[3]))
            EXPECT_FALSE(commands.enabled(id)) << id;
    }
}

} // namespace
} // namespace vellora

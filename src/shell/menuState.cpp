#include "shell/menuState.h"

#include "shell/commandTable.h"

#include <iterator>
#include <span>

namespace vellora {

namespace {

struct IdRange {
    int first;
    int last;
};

// Ranges name every command id between their ends (210–240 covers Fit Window, Zoom Up, Zoom Dn
// and the zoom items). The chart and the shopping list (284, 285) follow SaveAs CSV File; Sheet
// Setup (283) only edits settings and stays enabled, like Exit and About.
constexpr IdRange kOpenOnly[] = {{201, 201}};
constexpr IdRange kPictureCommands[] = {{202, 204}, {210, 240}, {251, 258}, {260, 271}, {280, 285}};
constexpr IdRange kOpenedEnabled[] = {{201, 202}, {204, 204}, {210, 240},
                                      {251, 258}, {260, 271}, {280, 280}};
constexpr IdRange kTableCommands[] = {{281, 285}};
constexpr IdRange kTiledEnabled[] = {{201, 202}, {204, 204}, {210, 240},
                                     {251, 258}, {260, 271}, {280, 285}};
constexpr IdRange kTableShownGrayed[] = {
    {201, 204}, {210, 240}, {251, 258}, {260, 271}, {280, 280}};

struct StateRow {
    std::span<const IdRange> enabled;
    std::span<const IdRange> grayed;
};

constexpr StateRow kStateRows[] = {
    {kOpenOnly, kPictureCommands},       // 0 no picture
    {kOpenedEnabled, kTableCommands},    // 1 opened
    {{}, {}},                            // 2 saved
    {{}, kTableCommands},                // 3 undone
    {{}, kTableCommands},                // 4 modified
    {kTiledEnabled, {}},                 // 5 tiled
    {kTableCommands, kTableShownGrayed}, // 6 table shown
};

void setRanges(CommandSet& commands, std::span<const IdRange> ranges, bool on) {
    for (const IdRange& range : ranges)
        for (int id = range.first; id <= range.last; ++id)
            if (findCommand(id) != nullptr) commands.set(id, on);
}

} // namespace

void updateMenus(CommandSet& commands, int menuState, int undoCount) {
    if (menuState >= 0 && menuState < int(std::size(kStateRows))) {
        const StateRow& row = kStateRows[std::size_t(menuState)];
        setRanges(commands, row.enabled, true);
        setRanges(commands, row.grayed, false);
    }
    commands.set(kCmdSave, undoCount != 0);
    commands.set(kCmdUndo, undoCount != 0);
    commands.set(kCmdExit, true);
    commands.set(kCmdSheetSetup, true);
    commands.set(kCmdAbout, true);
}

} // namespace vellora

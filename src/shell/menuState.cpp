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

// Ranges name every command id between their ends. The chart and the shopping list follow SaveAs
// CSV File; Sheet Setup only edits settings and stays enabled, like Exit and About.
constexpr IdRange kView{kCmdFitWindow, kCmdZoomLast}; // Fit Window, Zoom Up, Zoom Dn, the zooms
constexpr IdRange kEdit{kCmdResize, kCmdFlipVertical};
constexpr IdRange kEffects{kCmdBlackWhite, kCmdUserFilter}; // the Effect and Filtering menus
constexpr IdRange kOpenClose{kCmdOpen, kCmdClose};
constexpr IdRange kSaveAs{kCmdSaveAs, kCmdSaveAs};
constexpr IdRange kTiling{kCmdTiling, kCmdTiling};
constexpr IdRange kTilingMenu{kCmdTiling, kCmdSaveShoppingList};

constexpr IdRange kOpenOnly[] = {{kCmdOpen, kCmdOpen}};
constexpr IdRange kPictureCommands[] = {
    {kCmdClose, kCmdSaveAs}, kView, kEdit, kEffects, kTilingMenu};
constexpr IdRange kOpenedEnabled[] = {kOpenClose, kSaveAs, kView, kEdit, kEffects, kTiling};
constexpr IdRange kTableCommands[] = {{kCmdExpressTable, kCmdSaveShoppingList}};
constexpr IdRange kTiledEnabled[] = {kOpenClose, kSaveAs, kView, kEdit, kEffects, kTilingMenu};
constexpr IdRange kTableShownGrayed[] = {{kCmdOpen, kCmdSaveAs}, kView, kEdit, kEffects, kTiling};

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

#pragma once
// The command registry: per command its id, item text, key, what kind of work it does, and for
// the commands that change the picture their handler, command-line step name, the fields they
// read and a help line; and the menu layout as a flat list. The desktop program builds its menu
// bar and shortcuts from these tables, the dispatcher and menu enabling look commands up by id,
// and the command line takes its steps from the same rows, so no face can lack a step.
#include "core/operationFrame.h"
#include "core/parameterBlock.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vellora {

enum CommandId : int {
    kCmdHiddenMenu = 200,
    kCmdOpen = 201,
    kCmdClose = 202,
    kCmdSave = 203,
    kCmdSaveAs = 204,
    kCmdExit = 205,
    kCmdFitWindow = 210,
    kCmdZoomUp = 211,
    kCmdZoomDown = 212,
    kCmdZoomFirst = 220, // 5 %
    kCmdZoom100 = 230,
    kCmdZoomLast = 240, // 1000 %
    kCmdUndo = 250,
    kCmdResize = 251,
    kCmdCrop = 252,
    kCmdRotateRight90 = 253,
    kCmdRotate180 = 254,
    kCmdRotateLeft90 = 255,
    kCmdRotateArbitrary = 256,
    kCmdFlipHorizontal = 257,
    kCmdFlipVertical = 258,
    kCmdBlackWhite = 260,
    kCmdGrayScale = 261,
    kCmdColorProcessing = 262,
    kCmdInvert = 263,
    kCmdPosterization = 264,
    kCmdHistogram = 265,
    kCmdSmoothing = 266,
    kCmdEdgePreserving = 267,
    kCmdSharpening = 268,
    kCmdEdgeDetect = 269,
    kCmdDeNoise = 270,
    kCmdUserFilter = 271,
    kCmdTiling = 280,
    kCmdExpressTable = 281,
    kCmdSaveCsv = 282,
    kCmdSheetSetup = 283,
    kCmdSaveChart = 284,
    kCmdSaveShoppingList = 285,
    kCmdAbout = 300,
};

inline constexpr int kFirstCommandId = 200;
inline constexpr int kLastCommandId = 300;

// What the dispatcher does for a command.
enum class CommandKind {
    HiddenMenu,
    Open,
    Close,
    Save,
    SaveAs,
    Exit,
    FitWindow,
    ZoomUp,
    ZoomDown,
    ZoomTo,
    Undo,
    DialogOperation, // dialog, merge of the defaults, handler, finishOperation
    RotateFlip,      // handler with quarter turns and flip, no dialog
    ExpressTable,
    SaveCsv,
    SheetSetup,       // the build sheet's dialog, its settings file written on OK
    SaveChart,        // the chart as PDF or SVG by the chosen name
    SaveShoppingList, // the shopping list as CSV
    About,
};

// A key with Ctrl held; `shift` adds Shift. `key` is an upper-case letter or a digit.
struct CommandKey {
    char key = 0;
    bool shift = false;
};

// Whether the working block asks for a command that changes nothing (a rotation by a whole
// number of turns): the command then ends at once, the picture as it was.
using NothingToDo = bool (*)(const ParameterBlock&);

struct CommandSpec {
    int id = 0;                     // 0 for a step the menus do not offer
    std::string_view itemText = {}; // empty for the hidden menu, which has no item
    CommandKey key = {};            // key 0: no key
    CommandKind kind;
    int turns = 0; // RotateFlip only: quarter turns clockwise
    int flip = 0;  // RotateFlip only: 1 left–right, 2 top–bottom
    // The commands that change the picture:
    std::string_view step = {}; // the command-line step name ("rotate-right"); empty for none
    Handler handler = nullptr;  // run through runCommandHandler, parameters from the working block
    Operation operation = Operation::Save; // whose failure text shows when no handler is set
    std::string_view fields = {};          // the field names it reads, separated by spaces
    std::string_view help = {};            // one line for --help
    NothingToDo nothingToDo = nullptr;
};

// Every menu command in id order.
std::span<const CommandSpec> commandTable();
// The command with this id, or null for an id no command has.
const CommandSpec* findCommand(int id);

// The command-line steps: the menu's picture-changing commands in menu order, then the steps
// only the command line offers.
std::span<const CommandSpec* const> cliSteps();
const CommandSpec* findCliStep(std::string_view name);

// The names in a command's field list, in the order given.
std::vector<std::string_view> commandFields(const CommandSpec& command);
// The text after the tab of a menu item: "Ctrl + O", "Ctrl Sft + C"; empty without a key.
std::string shortcutText(const CommandKey& key);
// The whole item text: "Open\tCtrl + O".
std::string menuItemText(const CommandSpec& command);

enum class MenuEntryKind { BeginMenu, Item, Separator, EndMenu };

// One line of the menu layout: BeginMenu opens a menu (or a submenu inside a menu) named
// `text`, EndMenu closes the innermost open one.
struct MenuEntry {
    MenuEntryKind kind;
    int id = 0;                 // Item only
    std::string_view text = {}; // BeginMenu only
};

std::span<const MenuEntry> menuLayout();

} // namespace vellora

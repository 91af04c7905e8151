#include "shell/commandTable.h"

#include <algorithm>
#include <array>

namespace vellora {

namespace {

using K = CommandKind;

constexpr CommandSpec zoomCommand(int index, std::string_view text) {
    const bool is100 = kCmdZoomFirst + index == kCmdZoom100;
    return {kCmdZoomFirst + index, text, is100 ? CommandKey{'Z', true} : CommandKey{}, K::ZoomTo};
}

constexpr std::array<CommandSpec, 55> kCommands{{
    {kCmdHiddenMenu, "", {'U', true}, K::HiddenMenu},
    {kCmdOpen, "Open", {'O', false}, K::Open},
    {kCmdClose, "Close", {'C', true}, K::Close},
    {kCmdSave, "Save", {'S', true}, K::Save},
    {kCmdSaveAs, "Save As", {'A', true}, K::SaveAs},
    {kCmdExit, "Exit", {'X', false}, K::Exit},
    {kCmdFitWindow, "Fit Window", {'F', false}, K::FitWindow},
    {kCmdZoomUp, "Zoom Up", {'U', false}, K::ZoomUp},
    {kCmdZoomDown, "Zoom Dn", {'D', false}, K::ZoomDown},
    zoomCommand(0, "5%"),
    zoomCommand(1, "10%"),
    zoomCommand(2, "20%"),
    zoomCommand(3, "30%"),
    zoomCommand(4, "40%"),
    zoomCommand(5, "50%"),
    zoomCommand(6, "60%"),
    zoomCommand(7, "70%"),
    zoomCommand(8, "80%"),
    zoomCommand(9, "90%"),
    zoomCommand(10, "100%"),
    zoomCommand(11, "150%"),
    zoomCommand(12, "200%"),
    zoomCommand(13, "300%"),
    zoomCommand(14, "400%"),
    zoomCommand(15, "500%"),
    zoomCommand(16, "600%"),
    zoomCommand(17, "700%"),
    zoomCommand(18, "800%"),
    zoomCommand(19, "900%"),
    zoomCommand(20, "1000%"),
    {kCmdUndo, "Undo", {'Z', false}, K::Undo},
    {kCmdResize, "Resize", {'R', false}, K::DialogOperation},
    {kCmdCrop, "Crop", {'C', false}, K::DialogOperation},
    {kCmdRotateRight90, "Right 90", {'1', false}, K::RotateFlip, 1, 0},
    {kCmdRotate180, "180", {'2', false}, K::RotateFlip, 2, 0},
    {kCmdRotateLeft90, "Left 90", {'3', false}, K::RotateFlip, 3, 0},
    {kCmdRotateArbitrary, "Arbitrary", {'A', false}, K::DialogOperation},
    {kCmdFlipHorizontal, "Horizontal", {'H', false}, K::RotateFlip, 0, 1},
    {kCmdFlipVertical, "Vertical", {'V', false}, K::RotateFlip, 0, 2},
    {kCmdBlackWhite, "Black and White", {'B', false}, K::DialogOperation},
    {kCmdGrayScale, "Gray Scale", {'G', false}, K::DialogOperation},
    {kCmdColorProcessing, "Color Processing", {'L', false}, K::DialogOperation},
    {kCmdInvert, "Invert (Negative)", {'I', false}, K::DialogOperation},
    {kCmdPosterization, "Posterization", {'P', false}, K::DialogOperation},
    {kCmdHistogram, "Histogram Modify", {'M', false}, K::DialogOperation},
    {kCmdSmoothing, "Smoothing", {'M', true}, K::DialogOperation},
    {kCmdEdgePreserving, "Edge-PreServing", {'V', true}, K::DialogOperation},
    {kCmdSharpening, "Sharpening", {'P', true}, K::DialogOperation},
    {kCmdEdgeDetect, "Edge Detect", {'E', true}, K::DialogOperation},
    {kCmdDeNoise, "De Noise", {'D', true}, K::DialogOperation},
    {kCmdUserFilter, "User Filter", {'F', true}, K::DialogOperation},
    {kCmdTiling, "Tiling", {'T', false}, K::DialogOperation},
    {kCmdExpressTable, "Express Table", {'E', false}, K::ExpressTable},
    {kCmdSaveCsv, "SaveAs CSV File", {'S', false}, K::SaveCsv},
    {kCmdAbout, "About", {'T', true}, K::About},
}};
static_assert(kCommands.back().id == kCmdAbout, "every command row is filled");

using E = MenuEntryKind;
constexpr MenuEntry begin(std::string_view text) {
    return {E::BeginMenu, 0, text};
}
constexpr MenuEntry item(int id) {
    return {E::Item, id};
}
constexpr MenuEntry kSeparator{E::Separator};
constexpr MenuEntry kEnd{E::EndMenu};

constexpr std::array<MenuEntry, 82> kMenuLayout{{
    begin("File(&F)"),
    item(kCmdOpen),
    item(kCmdClose),
    item(kCmdSave),
    item(kCmdSaveAs),
    kSeparator,
    item(kCmdExit),
    kEnd,
    begin("View(&V)"),
    item(kCmdFitWindow),
    begin("Zoom(&Z)"),
    item(220),
    item(221),
    item(222),
    item(223),
    item(224),
    item(225),
    item(226),
    item(227),
    item(228),
    item(229),
    item(230),
    item(231),
    item(232),
    item(233),
    item(234),
    item(235),
    item(236),
    item(237),
    item(238),
    item(239),
    item(240),
    kEnd,
    kSeparator,
    item(kCmdZoomUp),
    item(kCmdZoomDown),
    kEnd,
    begin("Edit(&E)"),
    item(kCmdUndo),
    kSeparator,
    item(kCmdCrop),
    item(kCmdResize),
    kSeparator,
    begin("Rotate(&R)"),
    item(kCmdRotateRight90),
    item(kCmdRotate180),
    item(kCmdRotateLeft90),
    item(kCmdRotateArbitrary),
    kEnd,
    begin("Flip(&F)"),
    item(kCmdFlipHorizontal),
    item(kCmdFlipVertical),
    kEnd,
    kEnd,
    begin("Effect(&C)"),
    item(kCmdColorProcessing),
    item(kCmdGrayScale),
    item(kCmdBlackWhite),
    kSeparator,
    item(kCmdInvert),
    item(kCmdPosterization),
    item(kCmdHistogram),
    kEnd,
    begin("Filtering(&R)"),
    item(kCmdSmoothing),
    item(kCmdEdgePreserving),
    item(kCmdSharpening),
    item(kCmdEdgeDetect),
    item(kCmdDeNoise),
    item(kCmdUserFilter),
    kEnd,
    begin("Tiling(&T)"),
    item(kCmdTiling),
    kSeparator,
    begin("Design Table(&T)"),
    item(kCmdExpressTable),
    item(kCmdSaveCsv),
    kEnd,
    kEnd,
    begin("Help(&H)"),
    item(kCmdAbout),
    kEnd,
}};
static_assert(kMenuLayout.back().kind == E::EndMenu, "every layout row is filled");

} // namespace

std::span<const CommandSpec> commandTable() {
    return kCommands;
}

const CommandSpec* findCommand(int id) {
    const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                    [id](const CommandSpec& c) { return c.id == id; });
    return found == kCommands.end() ? nullptr : &*found;
}

std::string shortcutText(const CommandKey& key) {
    if (key.key == 0) return {};
    std::string text = key.shift ? "Ctrl Sft + " : "Ctrl + ";
    text += key.key;
    return text;
}

std::string menuItemText(const CommandSpec& command) {
    std::string text(command.itemText);
    const std::string shortcut = shortcutText(command.key);
    if (!shortcut.empty()) text += "\t" + shortcut;
    return text;
}

std::span<const MenuEntry> menuLayout() {
    return kMenuLayout;
}

} // namespace vellora

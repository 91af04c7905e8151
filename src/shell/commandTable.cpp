#include "shell/commandTable.h"

#include "color/blackWhite.h"
#include "color/colorConversion.h"
#include "color/grayScale.h"
#include "color/histogramModify.h"
#include "color/invert.h"
#include "color/posterize.h"
#include "core/errors.h"
#include "core/trueColor.h"
#include "filter/deNoise.h"
#include "filter/edgeDetect.h"
#include "filter/edgePreserving.h"
#include "filter/sharpen.h"
#include "filter/smooth.h"
#include "filter/userFilter.h"
#include "geometry/crop.h"
#include "geometry/resize.h"
#include "shell/rotateCommand.h"
#include "shell/rotateFlip.h"
#include "tiling/runTiling.h"

#include <algorithm>
#include <array>

namespace vellora {

namespace {

using K = CommandKind;
using Op = Operation;

// convertToTrueColor carries its own undo step; a step's handler leaves that to the caller.
int trueColorHandler(Session& session) {
    return runOperationFrame(session, Operation::TrueColor, [](Session& s) {
        if (readBitmapFile(s.frontend, s.currentPath, s.sourceImage) != 0) return kFailed;
        return saveAsTrueColor(s, s.nextPath);
    });
}

struct StepFace {
    std::string_view step;
    Handler handler;
    std::string_view fields;
    std::string_view help;
};

constexpr CommandSpec operationCommand(int id, std::string_view text, CommandKey key,
                                       Operation operation, StepFace face,
                                       NothingToDo nothingToDo = nullptr) {
    return {.id = id,
            .itemText = text,
            .key = key,
            .kind = K::DialogOperation,
            .step = face.step,
            .handler = face.handler,
            .operation = operation,
            .fields = face.fields,
            .help = face.help,
            .nothingToDo = nothingToDo};
}

constexpr CommandSpec rotateFlipCommand(int id, std::string_view text, char key, int turns,
                                        int flip, StepFace face) {
    return {id,           text,           {key, false}, K::RotateFlip, turns, flip, face.step,
            face.handler, Op::RotateFlip, {},           face.help};
}

constexpr CommandSpec zoomCommand(int index, std::string_view text) {
    const bool is100 = kCmdZoomFirst + index == kCmdZoom100;
    return {kCmdZoomFirst + index, text, is100 ? CommandKey{'Z', true} : CommandKey{}, K::ZoomTo};
}

constexpr std::array<CommandSpec, 58> kCommands{{
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
    operationCommand(
        kCmdResize, "Resize", {'R', false}, Op::Resize,
        {"resize", resizeHandler, "resizeWidth resizeHeight resizeInterpolate resizeDepthIndex",
         "resize to resizeWidth x resizeHeight (resizeInterpolate, resizeDepthIndex)"}),
    operationCommand(kCmdCrop, "Crop", {'C', false}, Op::Crop,
                     {"crop", cropHandler, "cropRect",
                      "keep the rectangle cropRect (left, bottom, right, top; 0-based)"}),
    rotateFlipCommand(
        kCmdRotateRight90, "Right 90", '1', 1, 0,
        {"rotate-right", rotateRight90Handler, {}, "turn the picture 90 degrees clockwise"}),
    rotateFlipCommand(kCmdRotate180, "180", '2', 2, 0,
                      {"rotate-180", rotate180Handler, {}, "turn the picture 180 degrees"}),
    rotateFlipCommand(
        kCmdRotateLeft90, "Left 90", '3', 3, 0,
        {"rotate-left", rotateLeft90Handler, {}, "turn the picture 90 degrees counter-clockwise"}),
    operationCommand(kCmdRotateArbitrary, "Arbitrary", {'A', false}, Op::RotateArbitrary,
                     {"rotate", rotateArbitraryHandler,
                      "rotateAngle rotateBicubic rotateDepthIndex rotateBlankIndex",
                      "turn clockwise by rotateAngle degrees (rotateBicubic, rotateDepthIndex, "
                      "rotateBlankIndex)"},
                     isWholeTurn),
    rotateFlipCommand(
        kCmdFlipHorizontal, "Horizontal", 'H', 0, 1,
        {"flip-horizontal", flipHorizontalHandler, {}, "mirror the picture left to right"}),
    rotateFlipCommand(
        kCmdFlipVertical, "Vertical", 'V', 0, 2,
        {"flip-vertical", flipVerticalHandler, {}, "mirror the picture top to bottom"}),
    operationCommand(kCmdBlackWhite, "Black and White", {'B', false}, Op::BlackWhite,
                     {"bw", blackWhiteHandler,
                      "bwDiffusion bwMedianCut bwThreshold bwStretch bwOutset bwEndset",
                      "black and white by bwMedianCut or bwThreshold (bwDiffusion, bwStretch "
                      "bwOutset ~ bwEndset)"}),
    operationCommand(kCmdGrayScale, "Gray Scale", {'G', false}, Op::GrayScale,
                     {"gray", grayScaleHandler, "grayDiffusion grayLevelIndex",
                      "gray scale of 2^(grayLevelIndex + 1) levels (grayDiffusion)"}),
    operationCommand(kCmdColorProcessing, "Color Processing", {'L', false}, Op::ColorProcessing,
                     {"color", colorConversionHandler,
                      "colorMethod colorChoice colorDiffusion userPalettePath",
                      "convert colours by colorMethod with its colorChoice value (colorDiffusion, "
                      "userPalettePath)"}),
    operationCommand(kCmdInvert, "Invert (Negative)", {'I', false}, Op::Invert,
                     {"invert", invertHandler, "invertDepthIndex",
                      "complement colours (invertDepthIndex: 0 source, 1 24, 2 32 bpp)"}),
    operationCommand(kCmdPosterization, "Posterization", {'P', false}, Op::Posterization,
                     {"posterize", posterizeHandler,
                      "posterCommon posterLevelRGB posterLevelRed posterLevelGreen posterLevelBlue",
                      "levels per channel (posterCommon with posterLevelRGB, or "
                      "posterLevelRed/Green/Blue)"}),
    operationCommand(kCmdHistogram, "Histogram Modify", {'M', false}, Op::Histogram,
                     {"histogram", histogramHandler, "histEnabled histOutset histEndset",
                      "stretch each histEnabled channel onto histOutset ~ histEndset"}),
    operationCommand(
        kCmdSmoothing, "Smoothing", {'M', true}, Op::Smoothing,
        {"smooth", smoothHandler, "smoothingIndex", "smooth with the mask smoothingIndex names"}),
    operationCommand(kCmdEdgePreserving, "Edge-PreServing", {'V', true}, Op::EdgePreserving,
                     {"edge-preserving", edgePreservingHandler, "edgePreservingIndex",
                      "smooth within the most uniform sub-window (edgePreservingIndex "
                      "criterion)"}),
    operationCommand(kCmdSharpening, "Sharpening", {'P', true}, Op::Sharpening,
                     {"sharpen", sharpenHandler, "sharpeningIndex",
                      "sharpen with the mask sharpeningIndex names"}),
    operationCommand(kCmdEdgeDetect, "Edge Detect", {'E', true}, Op::EdgeDetect,
                     {"edge-detect", edgeDetectHandler, "edgeDetectMode edgeDetectChoice",
                      "edge picture (edgeDetectMode, edgeDetectChoice)"}),
    operationCommand(kCmdDeNoise, "De Noise", {'D', true}, Op::DeNoise,
                     {"denoise", deNoiseHandler, "deNoiseIndex",
                      "median by luminance over the deNoiseIndex window"}),
    operationCommand(kCmdUserFilter, "User Filter", {'F', true}, Op::UserFilter,
                     {"user-filter", userFilterHandler,
                      "userFilterValue userFilterSizeIndex userFilterMask",
                      "userFilterMask cells with divisor userFilterValue (userFilterSizeIndex)"}),
    operationCommand(kCmdTiling, "Tiling", {'T', false}, Op::Tiling,
                     {"tiling", tilingHandler,
                      "tilingConvert tilingPaletteClass tilingMedianIndex tilingEvenIndex "
                      "userPalettePath tilingSizeMethod tileCountHigh tilePixelHeight "
                      "tileCountWide tilePixelWidth slitPixelWidth hSlitGrayIndex vSlitGrayIndex",
                      "tile the picture: palette, tile size or count and slits from the tiling "
                      "fields"}),
    {kCmdExpressTable, "Express Table", {'E', false}, K::ExpressTable},
    {kCmdSaveCsv, "SaveAs CSV File", {'S', false}, K::SaveCsv},
    {kCmdSheetSetup, "Sheet Setup…", {'B', true}, K::SheetSetup},
    {kCmdSaveChart, "Save Chart…", {'G', true}, K::SaveChart},
    {kCmdSaveShoppingList, "Save Shopping List…", {'L', true}, K::SaveShoppingList},
    {kCmdAbout, "About", {'T', true}, K::About},
}};
static_assert(kCommands.back().id == kCmdAbout, "every command row is filled");

// Steps the menus do not offer as commands of their own.
constexpr auto kStepOnly = std::to_array<CommandSpec>({
    {.kind = K::DialogOperation,
     .step = "truecolor",
     .handler = trueColorHandler,
     .operation = Op::TrueColor,
     .help = "convert the picture to 24 bits per pixel"},
});

std::vector<const CommandSpec*> makeCliSteps() {
    std::vector<const CommandSpec*> steps;
    for (const MenuEntry& entry : menuLayout()) {
        const CommandSpec* command =
            entry.kind == MenuEntryKind::Item ? findCommand(entry.id) : nullptr;
        if (command && !command->step.empty()) steps.push_back(command);
    }
    for (const CommandSpec& command : kStepOnly)
        steps.push_back(&command);
    return steps;
}

using E = MenuEntryKind;
constexpr MenuEntry begin(std::string_view text) {
    return {E::BeginMenu, 0, text};
}
constexpr MenuEntry item(int id) {
    return {E::Item, id};
}
constexpr MenuEntry kSeparator{E::Separator};
constexpr MenuEntry kEnd{E::EndMenu};

constexpr std::array<MenuEntry, 86> kMenuLayout{{
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
    kSeparator,
    item(kCmdSheetSetup),
    item(kCmdSaveChart),
    item(kCmdSaveShoppingList),
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

std::span<const CommandSpec* const> cliSteps() {
    static const std::vector<const CommandSpec*> steps = makeCliSteps();
    return steps;
}

const CommandSpec* findCliStep(std::string_view name) {
    for (const CommandSpec* step : cliSteps())
        if (step->step == name) return step;
    return nullptr;
}

std::vector<std::string_view> commandFields(const CommandSpec& command) {
    std::vector<std::string_view> names;
    std::string_view rest = command.fields;
    while (!rest.empty()) {
        const std::size_t space = rest.find(' ');
        if (space != 0) names.push_back(rest.substr(0, space));
        if (space == std::string_view::npos) break;
        rest.remove_prefix(space + 1);
    }
    return names;
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

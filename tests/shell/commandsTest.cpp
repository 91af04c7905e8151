// The command table, the menu layout made from it and which commands each menu state grays; and
// the dispatcher with fake services, on what the desktop program's tests (the real services,
// through the menus) cannot make happen: commands that do nothing, fail or have no handler, the
// quarter turns' arguments, the names the file choosers start from, a failing save.
#include "shell/commandTable.h"
#include "shell/dispatcher.h"
#include "shell/menuState.h"

#include "core/errors.h"
#include "core/history.h"
#include "core/intermediateFiles.h"
#include "core/parameterFields.h"
#include "support/acceptingWindow.h"
#include "support/recordingFrontend.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
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
    for (int id : {0, 199, 206, 213, 219, 241, 259, 272, 286, 299, 301})
        EXPECT_EQ(findCommand(id), nullptr) << id;
}

TEST(CommandTable, NoTwoCommandsShareAKey) {
    std::set<std::pair<char, bool>> keys;
    for (const CommandSpec& command : commandTable()) {
        if (command.key.key == 0) continue;
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
        if (command.kind != CommandKind::DialogOperation && command.kind != CommandKind::RotateFlip)
            continue;
        EXPECT_EQ(findCliStep(command.step), &command) << command.id;
    }
}

std::vector<int> numbers(const char* text) {
    std::istringstream in(text);
    return {std::istream_iterator<int>(in), std::istream_iterator<int>()};
}

TEST(MenuState, EnablingFollowsTheStateTableAndTheUndoCount) {
    // Name; menu states with their undo counts, applied in order; enabled ids; grayed ids.
    const char* const cases[][4] = {
        {"start", "0 0", "200 201 205 283 300",
         "202 203 204 210 211 212 220 240 250 251 258 260 271 280 281 282 284 285"},
        {"opened", "0 0 1 0", "201 202 204 205 210 230 252 256 262 271 280 283 300",
         "203 250 281 282 284 285"},
        {"modified", "0 0 1 0 4 1", "201 203 250 280", "281 282"},
        {"saved after tiling keeps the table", "0 0 1 0 5 1 2 0", "281 282", "203 250"},
        {"undone to nothing", "0 0 1 0 4 1 3 0", "201 280", "203 250 281 282"},
        {"tiled", "0 0 1 0 5 1", "201 202 203 204 212 250 251 280 281 282 283 284 285", ""},
        {"table hidden again", "0 0 1 0 5 1 6 0 5 1", "201 203 210 250 280 281 282", ""},
        {"table shown", "0 0 1 0 5 1 6 0", "205 281 282 283 284 285 300",
         "201 202 203 204 210 211 212 220 240 250 251 258 260 271 280"},
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

using Texts = std::vector<std::string>;

struct ServiceLog {
    int handlerRuns = 0, saves = 0, merges = 0;
    bool saveFails = false;
    std::vector<std::pair<int, int>> rotations;
    Texts written; // the files the table and sheet services were given
};
ServiceLog* gLog = nullptr;

int writesNext(Session& session, Operation operation) {
    ++gLog->handlerRuns;
    return runOperationFrame(session, operation, [](Session& s) {
        std::ofstream(s.nextPath) << "picture";
        return 0;
    });
}
int fakeSave(Session& session) {
    ++gLog->saves;
    if (gLog->saveFails) return showError(session.frontend, "failed to save a file"), 1;
    session.currentInfo.state = session.dialogInfo.state = kStateSaved;
    return 0;
}

ShellServices fakeServices() {
    ShellServices s;
    s.openPicture = [](Session& session, const std::string& path, const ShellServices::Repaint&) {
        if (path.find("unsupported") != std::string::npos)
            return showError(session.frontend, "failed to open the image file"), 1;
        session.picturePath = session.saveAsPath = path;
        nextIntermediatePath(session, session.currentPath);
        std::ofstream(session.currentPath) << "picture";
        session.currentInfo.state = session.dialogInfo.state = kStateZoom;
        clearHistory(session);
        return 0;
    };
    s.savePicture = s.savePictureAs = fakeSave;
    s.rotateFlipPicture = [](Session& session, int turns, int flip) {
        gLog->rotations.push_back({turns, flip});
        return writesNext(session, Operation::RotateFlip);
    };
    s.saveTableCsv = [](Session& s) { return gLog->written.push_back(s.saveAsPath), 0; };
    s.saveChart = s.saveShoppingList = [](Session&, const std::string& path) {
        return gLog->written.push_back(path), 0;
    };
    s.mergeSavedDefaults = [](Session&) { ++gLog->merges; };
    s.saveParameterFile = [](Session&) { return gLog->written.push_back("parameters"), 0; };
    s.setHandler(kCmdGrayScale, [](Session& s) { return writesNext(s, Operation::GrayScale); });
    s.setHandler(kCmdRotateArbitrary,
                 [](Session& s) { return writesNext(s, Operation::RotateArbitrary); });
    s.setHandler(kCmdTiling, [](Session& s) { return writesNext(s, Operation::Tiling); });
    s.setHandler(kCmdInvert, [](Session& s) {
        return runOperationFrame(s, Operation::Invert, [](Session&) { return 1; });
    });
    return s;
}

// Every dialog answers OK and every question about changes "no".
class DispatcherTest : public ::testing::Test {
  protected:
    DispatcherTest() {
        gLog = &log;
        dispatcher.initialise();
        window.chosen = {"/pictures/cat.jpg"};
        dispatcher.dispatch(kCmdOpen);
    }
    ~DispatcherTest() override { gLog = nullptr; }
    int menu() const { return dispatcher.state().menuState; }

    test::RecordingFrontend frontend;
    Session session{frontend};
    test::AcceptingWindow window;
    ServiceLog log;
    Dispatcher dispatcher{session, window, fakeServices()};
};

TEST_F(DispatcherTest, UnknownGrayedAndRefusedCommandsDoNothing) {
    for (int id : {199, 206, 259, 301}) // unknown: the default handling
        EXPECT_FALSE(dispatcher.dispatch(id)) << id;
    EXPECT_TRUE(dispatcher.dispatch(kCmdSave)); // grayed right after opening: swallowed
    window.chosen = {"/pictures/unsupported.xyz"};
    dispatcher.dispatch(kCmdOpen);
    EXPECT_EQ(frontend.texts(), Texts{"failed to open the image file"});
    EXPECT_EQ(session.picturePath, "/pictures/cat.jpg");
    EXPECT_EQ(log.saves + log.merges + (menu() - kMenuOpened), 0);
    dispatcher.dispatch(kCmdHiddenMenu); // OK merges the defaults
    EXPECT_EQ(log.merges, 1);
}

TEST_F(DispatcherTest, OperationsThatDoNothingOrFailAndQuarterTurns) {
    const std::string before = session.currentPath;
    for (int angle : {0, 720, -360}) { // a whole turn: OK merges its defaults, nothing runs
        session.workingBlock.rotateAngle = angle;
        dispatcher.dispatch(kCmdRotateArbitrary);
    }
    EXPECT_EQ(log.handlerRuns, 0);
    EXPECT_EQ(log.merges, 3);
    dispatcher.dispatch(kCmdInvert); // fails in its handler
    dispatcher.dispatch(kCmdCrop);   // has no handler
    EXPECT_EQ(frontend.texts(), (Texts{"failed to invert the image", "failed to crop the image"}));
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(session.history.historyDepth, 0);
    EXPECT_EQ(menu(), kMenuOpened);
    for (int id : {kCmdRotateRight90, kCmdRotate180, kCmdRotateLeft90, kCmdFlipHorizontal,
                   kCmdFlipVertical})
        dispatcher.dispatch(id);
    EXPECT_EQ(log.rotations,
              (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}, {3, 0}, {0, 1}, {0, 2}}));
    session.workingBlock.rotateAngle = 45;
    dispatcher.dispatch(kCmdRotateArbitrary);
    EXPECT_EQ(log.handlerRuns, 6);
    EXPECT_EQ(session.history.historyDepth, 6);
    EXPECT_EQ(menu(), kMenuModified);
    // 100 %, Zoom Dn to 90 %, 5 %, Zoom Dn stays, Zoom Up to 10 %, Zoom Dn to 5 % again
    for (int id : {kCmdZoom100, kCmdZoomDown, kCmdZoomFirst, kCmdZoomDown, kCmdZoomUp})
        dispatcher.dispatch(id);
    dispatcher.dispatch(kCmdZoomDown);
    EXPECT_EQ(window.title, "vellora -- cat.jpg, 5 %");
}

// The table's files are named for the picture with its extension replaced; Save As still offers
// the picture's own name.
TEST_F(DispatcherTest, TableAndSheetFilesAreNamedForThePicture) {
    dispatcher.dispatch(kCmdTiling);
    const char* const cases[][3] = {{"/p.d/noext", "/p.d/noext.csv", "/p.d/noext.shopping.csv"},
                                    {"/p/two.dots.png", "/p/two.dots.csv", "/p/two.dots.pdf"}};
    for (const auto& [picture, csv, sheet] : cases) {
        session.picturePath = session.saveAsPath = picture;
        window.offered.clear();
        window.chosen = {"/chosen/table.csv", "/chosen/sheet"};
        dispatcher.dispatch(kCmdSaveCsv);
        dispatcher.dispatch(std::string(sheet).ends_with("pdf") ? kCmdSaveChart
                                                                : kCmdSaveShoppingList);
        dispatcher.dispatch(kCmdSaveAs); // cancelled
        EXPECT_EQ(window.offered, (Texts{csv, sheet, picture}));
    }
    EXPECT_EQ(log.written,
              (Texts{"/chosen/table.csv", "/chosen/sheet", "/chosen/table.csv", "/chosen/sheet"}));
}

// A failed save keeps the changes, and the picture stays the modified one.
TEST_F(DispatcherTest, AFailedSaveAsKeepsTheChangesAndTheName) {
    dispatcher.dispatch(kCmdGrayScale);
    for (bool fails : {true, false}) {
        log.saveFails = fails;
        window.chosen = {"/out/cat.png"};
        dispatcher.dispatch(kCmdSaveAs);
        EXPECT_EQ(session.modified(), fails);
        EXPECT_EQ(menu(), fails ? kMenuModified : kMenuSaved);
    }
    EXPECT_EQ(log.saves, 2);
}

// Closing cleans the intermediate files, then writes the parameter file.
TEST_F(DispatcherTest, CloseRequestCleansTheFilesAndWritesTheParameters) {
    dispatcher.dispatch(kCmdGrayScale);
    const std::string first = session.history.historyPaths[1], current = session.currentPath;
    ASSERT_TRUE(std::filesystem::exists(first) && std::filesystem::exists(current));
    EXPECT_TRUE(dispatcher.closeRequest());
    EXPECT_FALSE(std::filesystem::exists(first) || std::filesystem::exists(current));
    EXPECT_EQ(log.written, Texts{"parameters"});
}

} // namespace
} // namespace vellora

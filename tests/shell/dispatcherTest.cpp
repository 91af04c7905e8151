// The dispatcher with fake services, on what the desktop program's tests (which run it through
// the menus with the real services) cannot make happen: commands that do nothing, fail or have
// no handler, the arguments of the quarter turns, the names the file choosers start from, and a
// save that fails while the changes are asked about.
#include "shell/dispatcher.h"

#include "core/errors.h"
#include "core/history.h"
#include "core/intermediateFiles.h"
#include "support/acceptingWindow.h"
#include "support/recordingFrontend.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vellora {
namespace {

using Texts = std::vector<std::string>;

struct ServiceLog {
    int handlerRuns = 0, saves = 0, merges = 0, parameterWrites = 0;
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
    s.saveParameterFile = [](Session&) { return ++gLog->parameterWrites, 0; };
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
    EXPECT_TRUE(dispatcher.dispatch(kCmdExpressTable));
    window.chosen = {"/pictures/unsupported.xyz"};
    dispatcher.dispatch(kCmdOpen);
    EXPECT_EQ(frontend.texts(), Texts{"failed to open the image file"});
    EXPECT_EQ(session.picturePath, "/pictures/cat.jpg");
    EXPECT_EQ(menu(), kMenuOpened);
    EXPECT_EQ(log.saves + log.merges, 0);
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
}

// The table's files are named for the picture with its extension replaced; Save As still offers
// the picture's own name.
TEST_F(DispatcherTest, TableAndSheetFilesAreNamedForThePicture) {
    dispatcher.dispatch(kCmdTiling);
    EXPECT_EQ(menu(), kMenuTiled);
    const char* const cases[][3] = {{"/p/cat.jpg", "/p/cat.csv", "/p/cat.shopping.csv"},
                                    {"/p.d/noext", "/p.d/noext.csv", "/p.d/noext.shopping.csv"},
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
    EXPECT_EQ(log.written, (Texts{"/chosen/table.csv", "/chosen/sheet", "/chosen/table.csv",
                                  "/chosen/sheet", "/chosen/table.csv", "/chosen/sheet"}));
}

// A failed save keeps the changes, and the picture stays the modified one.
TEST_F(DispatcherTest, AFailedSaveAsKeepsTheChangesAndTheName) {
    dispatcher.dispatch(kCmdGrayScale);
    log.saveFails = true;
    window.chosen = {"/out/cat.png"};
    dispatcher.dispatch(kCmdSaveAs);
    EXPECT_TRUE(session.modified());
    EXPECT_EQ(menu(), kMenuModified);
    log.saveFails = false;
    window.chosen = {"/out/cat.png"};
    dispatcher.dispatch(kCmdSaveAs);
    EXPECT_FALSE(session.modified());
    EXPECT_EQ(menu(), kMenuSaved);
    EXPECT_EQ(log.saves, 2);
}

TEST_F(DispatcherTest, CloseRequestCleansTheFilesAndWritesTheParameters) {
    dispatcher.dispatch(kCmdGrayScale);
    const std::string first = session.history.historyPaths[1], current = session.currentPath;
    ASSERT_TRUE(std::filesystem::exists(first) && std::filesystem::exists(current));
    EXPECT_TRUE(dispatcher.closeRequest());
    EXPECT_FALSE(std::filesystem::exists(first) || std::filesystem::exists(current));
    EXPECT_EQ(log.parameterWrites, 1);
}

} // namespace
} // namespace vellora

#include "shell/dispatcher.h"
#include "shell/commandTable.h"
#include "shell/viewPaint.h"

#include "core/errors.h"
#include "core/history.h"
#include "core/intermediateFiles.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <map>

namespace vellora {
namespace {

// A main window whose dialogs answer from scripts and whose view paints into an 800 x 600
// client area with the picture sizes the test gives per file.
class ScriptedWindow final : public ShellWindow {
  public:
    explicit ScriptedWindow(Session& s) : session(s) {}

    void repaintView() override {
        ++repaints;
        const auto found = sizes.find(session.currentPath);
        paintViewModel(session, scroll, found == sizes.end() ? nullptr : &found->second, 800, 600);
    }
    void setTitle(const std::string& t) override { title = t; }
    void setCommandsEnabled(const CommandSet& c) override { commands = c; }
    void setZoomCheck(int id) override { zoomCheck = id; }
    bool textPaneShown() const override { return paneShown; }
    void showTextPane(bool shown) override { paneShown = shown; }
    void setTableText(const std::string& text) override { tableText = text; }
    bool chooseFile(FileChooserKind kind, std::string& path) override {
        chooserKinds.push_back(kind);
        chooserStart.push_back(path);
        if (chosenPaths.empty()) return false;
        path = chosenPaths.front();
        chosenPaths.pop_front();
        return !path.empty();
    }
    SaveChangesAnswer askSaveChanges(const std::string& fileName) override {
        asked.push_back("save changes to " + fileName);
        return saveAnswer;
    }
    bool confirmExit() override {
        asked.push_back("exit");
        return exitAnswer;
    }
    void showAbout(const std::string& line) override { asked.push_back("about " + line); }
    bool runDialog(int commandId, Session&) override {
        dialogs.push_back(commandId);
        if (dialogEdit) dialogEdit(session.workingBlock);
        return dialogAnswer;
    }
    void requestClose() override { ++closeRequests; }

    Session& session;
    ViewScroll scroll;
    std::map<std::string, LoadedPicture> sizes;
    int repaints = 0;
    std::string title = "untouched";
    CommandSet commands;
    int zoomCheck = -2;
    bool paneShown = false;
    std::string tableText;
    std::deque<std::string> chosenPaths; // "" cancels
    std::vector<FileChooserKind> chooserKinds;
    std::vector<std::string> chooserStart;
    SaveChangesAnswer saveAnswer = SaveChangesAnswer::Cancel;
    bool exitAnswer = false;
    std::vector<std::string> asked;
    std::vector<int> dialogs;
    bool dialogAnswer = true;
    std::function<void(ParameterBlock&)> dialogEdit;
    int closeRequests = 0;
};

// Counters and switches the fake services below report to.
struct ServiceLog {
    int handlerRuns = 0;
    int saves = 0;
    bool saveFails = false;
    int tableBuilds = 0;
    int merges = 0;
    int parameterWrites = 0;
    std::vector<std::pair<int, int>> rotations;
    std::string csvPath;
};
ServiceLog* gLog = nullptr;

void writeFile(const std::string& path) {
    std::ofstream(path) << "picture";
}

int fakeOperation(Session& session, Operation operation) {
    ++gLog->handlerRuns;
    return runOperationFrame(session, operation, [](Session& s) {
        writeFile(s.nextPath);
        return 0;
    });
}
int fakeGrayScale(Session& s) {
    return fakeOperation(s, Operation::GrayScale);
}
int fakeRotate(Session& s) {
    return fakeOperation(s, Operation::RotateArbitrary);
}
int fakeTiling(Session& s) {
    return fakeOperation(s, Operation::Tiling);
}
int failingInvert(Session& s) {
    ++gLog->handlerRuns;
    return runOperationFrame(s, Operation::Invert, [](Session&) { return 1; });
}

int fakeSave(Session& session) {
    ++gLog->saves;
    if (gLog->saveFails) {
        showError(session.frontend, "failed to save a file");
        return 1;
    }
    session.currentInfo.state = session.dialogInfo.state = kStateSaved;
    return 0;
}

int fakeSaveAs(Session& session) {
    const int result = fakeSave(session);
    if (result == 0) session.picturePath = session.saveAsPath;
    return result;
}

int fakeCsv(Session& session) {
    gLog->csvPath = session.saveAsPath;
    return 0;
}

class DispatcherTest : public ::testing::Test {
  protected:
    DispatcherTest() : session(frontend), window(session), dispatcher(session, window, services()) {
        gLog = &log;
        dispatcher.initialise();
    }
    ~DispatcherTest() override { gLog = nullptr; }

    ShellServices services() {
        ShellServices s;
        s.openPicture = [this](Session& session, const std::string& path,
                               const ShellServices::Repaint& repaint) {
            if (path.find("unsupported") != std::string::npos) {
                showError(session.frontend, "failed to open the image file not supported");
                return 1;
            }
            session.picturePath = path;
            session.currentInfo.state = session.dialogInfo.state = kStateFit;
            session.saveAsPath = path;
            nextIntermediatePath(session, session.currentPath);
            writeFile(session.currentPath);
            window.sizes[session.currentPath] = openedSize;
            repaint(session);
            session.currentInfo.state = session.dialogInfo.state = kStateZoom;
            session.dialogInfo.zoomIndex = session.currentInfo.zoomIndex;
            clearHistory(session);
            return 0;
        };
        s.savePicture = fakeSave;
        s.savePictureAs = fakeSaveAs;
        s.rotateFlipPicture = [](Session& session, int turns, int flip) {
            gLog->rotations.push_back({turns, flip});
            return runOperationFrame(session, Operation::RotateFlip, [](Session& st) {
                writeFile(st.nextPath);
                return 0;
            });
        };
        s.buildTableText = [](Session&, std::string& text) {
            ++gLog->tableBuilds;
            text = "table " + std::to_string(gLog->tableBuilds);
            return 0;
        };
        s.saveTableCsv = fakeCsv;
        s.mergeSavedDefaults = [](Session&) { ++gLog->merges; };
        s.saveParameterFile = [](Session&) {
            ++gLog->parameterWrites;
            return 0;
        };
        s.setHandler(kCmdGrayScale, fakeGrayScale);
        s.setHandler(kCmdRotateArbitrary, fakeRotate);
        s.setHandler(kCmdTiling, fakeTiling);
        s.setHandler(kCmdInvert, failingInvert);
        return s;
    }

    void openCat(LoadedPicture size = {2000, 1000, 24}) {
        openedSize = size;
        window.chosenPaths.push_back("/pictures/cat.jpg");
        ASSERT_TRUE(dispatcher.dispatch(kCmdOpen));
    }

    bool enabled(int id) const { return window.commands.enabled(id); }

    test::RecordingFrontend frontend;
    Session session;
    ScriptedWindow window;
    ServiceLog log;
    LoadedPicture openedSize{2000, 1000, 24};
    Dispatcher dispatcher;
};

TEST_F(DispatcherTest, StartsWithoutAPictureAndOnlyOpenExitAboutEnabled) {
    EXPECT_EQ(window.title, "vellora");
    EXPECT_EQ(window.zoomCheck, -1);
    EXPECT_EQ(dispatcher.state().menuState, kMenuNone);
    EXPECT_TRUE(enabled(kCmdOpen));
    EXPECT_FALSE(enabled(kCmdSave));
    EXPECT_FALSE(enabled(kCmdFitWindow));
    EXPECT_TRUE(enabled(kCmdExit));
}

TEST_F(DispatcherTest, OpenFitsThePictureAndGraysSaveAndUndo) {
    openCat();
    EXPECT_EQ(window.chooserKinds, std::vector<FileChooserKind>{FileChooserKind::Open});
    EXPECT_EQ(session.currentInfo.zoomIndex, 3);
    EXPECT_EQ(session.currentInfo.state, kStateZoom);
    EXPECT_EQ(window.title, "vellora -- cat.jpg, 30 %");
    EXPECT_EQ(window.zoomCheck, 223);
    EXPECT_EQ(dispatcher.state().menuState, kMenuOpened);
    EXPECT_FALSE(enabled(kCmdSave));
    EXPECT_FALSE(enabled(kCmdUndo));
    EXPECT_TRUE(enabled(kCmdSaveAs));
    EXPECT_TRUE(enabled(kCmdTiling));
    EXPECT_FALSE(enabled(kCmdExpressTable));
}

TEST_F(DispatcherTest, CancelledOrRefusedOpenChangesNothing) {
    window.chosenPaths.push_back("");
    dispatcher.dispatch(kCmdOpen);
    window.chosenPaths.push_back("/pictures/unsupported.xyz");
    dispatcher.dispatch(kCmdOpen);
    EXPECT_EQ(window.title, "vellora");
    EXPECT_EQ(dispatcher.state().menuState, kMenuNone);
    EXPECT_EQ(frontend.texts(),
              std::vector<std::string>{"failed to open the image file not supported"});
}

TEST_F(DispatcherTest, AnOperationEnablesSaveAndUndoAndSavingGraysThemAgain) {
    openCat();
    ASSERT_TRUE(dispatcher.dispatch(kCmdGrayScale));
    EXPECT_EQ(window.dialogs, std::vector<int>{kCmdGrayScale});
    EXPECT_EQ(log.merges, 1);
    EXPECT_EQ(session.history.historyDepth, 1);
    EXPECT_EQ(dispatcher.state().menuState, kMenuModified);
    EXPECT_TRUE(enabled(kCmdSave));
    EXPECT_TRUE(enabled(kCmdUndo));
    EXPECT_FALSE(enabled(kCmdExpressTable));
    EXPECT_EQ(window.title, "vellora -- cat.jpg, 30 %");

    dispatcher.dispatch(kCmdSave);
    EXPECT_EQ(log.saves, 1);
    EXPECT_EQ(dispatcher.state().menuState, kMenuSaved);
    EXPECT_FALSE(session.modified());
    EXPECT_FALSE(enabled(kCmdSave));
    EXPECT_FALSE(enabled(kCmdUndo));
    EXPECT_EQ(window.zoomCheck, -1); // the saved state has no layout
}

TEST_F(DispatcherTest, GrayedCommandsAreNotCarriedOut) {
    dispatcher.dispatch(kCmdGrayScale); // no picture yet
    dispatcher.dispatch(kCmdSave);
    openCat();
    dispatcher.dispatch(kCmdSave); // grayed right after opening
    dispatcher.dispatch(kCmdExpressTable);
    EXPECT_EQ(log.handlerRuns, 0);
    EXPECT_EQ(log.saves, 0);
    EXPECT_TRUE(window.dialogs.empty());
    EXPECT_FALSE(window.paneShown);
}

TEST_F(DispatcherTest, UnknownIdsGoToTheDefaultHandling) {
    for (int id : {199, 206, 259, 301})
        EXPECT_FALSE(dispatcher.dispatch(id)) << id;
}

TEST_F(DispatcherTest, UndoReturnsToTheOpenedPictureAndGraysUndo) {
    openCat();
    const std::string opened = session.currentPath;
    dispatcher.dispatch(kCmdGrayScale);
    EXPECT_NE(session.currentPath, opened);
    dispatcher.dispatch(kCmdUndo);
    EXPECT_EQ(session.currentPath, opened);
    EXPECT_EQ(dispatcher.state().menuState, kMenuUndone);
    EXPECT_FALSE(enabled(kCmdUndo));
    EXPECT_TRUE(enabled(kCmdGrayScale));
}

TEST_F(DispatcherTest, ZoomStopsAtBothEndsOfTheTable) {
    openCat({100, 50, 24});
    dispatcher.dispatch(kCmdZoomLast);
    EXPECT_EQ(window.title, "vellora -- cat.jpg, 1000 %");
    const int repaints = window.repaints;
    dispatcher.dispatch(kCmdZoomUp);
    EXPECT_EQ(session.dialogInfo.zoomIndex, 20);
    EXPECT_EQ(window.repaints, repaints);
    EXPECT_EQ(window.zoomCheck, 240);

    dispatcher.dispatch(kCmdZoomFirst);
    dispatcher.dispatch(kCmdZoomDown);
    EXPECT_EQ(session.currentInfo.zoomIndex, 0);
    EXPECT_EQ(window.title, "vellora -- cat.jpg, 5 %");

    dispatcher.dispatch(kCmdZoomUp);
    EXPECT_EQ(session.currentInfo.zoomIndex, 1);
    EXPECT_EQ(session.currentInfo.drawWidth, 10);
    EXPECT_EQ(window.zoomCheck, 221);
}

TEST_F(DispatcherTest, FitWindowChoosesTheZoomThroughThePaint) {
    openCat();
    dispatcher.dispatch(kCmdZoom100);
    EXPECT_EQ(session.currentInfo.hScrollShown, 1);
    dispatcher.dispatch(kCmdFitWindow);
    EXPECT_EQ(session.dialogInfo.zoomIndex, 3);
    EXPECT_EQ(session.currentInfo.state, kStateZoom);
    EXPECT_EQ(session.currentInfo.hScrollShown, 0);
    EXPECT_EQ(window.title, "vellora -- cat.jpg, 30 %");
}

TEST_F(DispatcherTest, ArbitraryRotationByWholeTurnsDoesNothing) {
    openCat();
    for (int angle : {0, 720, -360}) {
        window.dialogEdit = [angle](ParameterBlock& b) { b.rotateAngle = angle; };
        dispatcher.dispatch(kCmdRotateArbitrary);
    }
    EXPECT_EQ(log.handlerRuns, 0);
    EXPECT_EQ(session.history.historyDepth, 0);
    EXPECT_EQ(dispatcher.state().menuState, kMenuOpened);
    EXPECT_EQ(log.merges, 3); // the dialog's OK still merges its defaults
    window.dialogEdit = [](ParameterBlock& b) { b.rotateAngle = 45; };
    dispatcher.dispatch(kCmdRotateArbitrary);
    EXPECT_EQ(log.handlerRuns, 1);
    EXPECT_EQ(session.history.historyDepth, 1);
}

TEST_F(DispatcherTest, CancelledDialogRunsNothing) {
    openCat();
    window.dialogAnswer = false;
    dispatcher.dispatch(kCmdGrayScale);
    EXPECT_EQ(log.handlerRuns, 0);
    EXPECT_EQ(log.merges, 0);
}

TEST_F(DispatcherTest, FailedOperationChangesNothingButItsMessages) {
    openCat();
    const std::string before = session.currentPath;
    dispatcher.dispatch(kCmdInvert);
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(session.history.historyDepth, 0);
    EXPECT_EQ(dispatcher.state().menuState, kMenuOpened);
    EXPECT_EQ(frontend.texts(), std::vector<std::string>{"failed to invert the image"});
}

TEST_F(DispatcherTest, CommandWithoutHandlerShowsItsFailureText) {
    openCat();
    dispatcher.dispatch(kCmdCrop);
    EXPECT_EQ(frontend.texts(), std::vector<std::string>{"failed to crop the image"});
    EXPECT_EQ(session.history.historyDepth, 0);
}

TEST_F(DispatcherTest, QuarterTurnsAndFlipsPassTheirArguments) {
    openCat();
    for (int id :
         {kCmdRotateRight90, kCmdRotate180, kCmdRotateLeft90, kCmdFlipHorizontal, kCmdFlipVertical})
        dispatcher.dispatch(id);
    EXPECT_EQ(log.rotations,
              (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}, {3, 0}, {0, 1}, {0, 2}}));
    EXPECT_EQ(session.history.historyDepth, 5);
    EXPECT_EQ(dispatcher.state().menuState, kMenuModified);
}

TEST_F(DispatcherTest, ExpressTableBuildsOnceThenToggles) {
    openCat();
    dispatcher.dispatch(kCmdTiling);
    EXPECT_EQ(dispatcher.state().menuState, kMenuTiled);
    EXPECT_EQ(dispatcher.state().tableAvailable, 1);
    EXPECT_EQ(session.currentInfo.zoomIndex, 10); // Tiling returns to 100 %
    EXPECT_TRUE(enabled(kCmdExpressTable));

    dispatcher.dispatch(kCmdExpressTable); // first: build and show
    EXPECT_TRUE(window.paneShown);
    EXPECT_EQ(window.tableText, "table 1");
    EXPECT_EQ(dispatcher.state().menuState, kMenuTableShown);
    EXPECT_EQ(dispatcher.state().tableAvailable, 0);
    EXPECT_FALSE(enabled(kCmdTiling));
    EXPECT_FALSE(enabled(kCmdUndo));

    dispatcher.dispatch(kCmdExpressTable); // second: the picture again
    EXPECT_FALSE(window.paneShown);
    EXPECT_EQ(dispatcher.state().menuState, kMenuTiled);
    EXPECT_TRUE(enabled(kCmdUndo));

    dispatcher.dispatch(kCmdExpressTable); // third: the same text, not built again
    EXPECT_TRUE(window.paneShown);
    EXPECT_EQ(window.tableText, "table 1");
    EXPECT_EQ(log.tableBuilds, 1);
    EXPECT_EQ(dispatcher.state().menuState, kMenuTableShown);
}

TEST_F(DispatcherTest, CsvNameFollowsThePictureName) {
    struct Case {
        const char* picture;
        const char* csv;
    } cases[] = {{"/p/cat.jpg", "/p/cat.csv"},
                 {"/p.d/noext", "/p.d/noext.csv"},
                 {"/p/two.dots.png", "/p/two.dots.csv"}};
    openCat();
    dispatcher.dispatch(kCmdTiling);
    for (const Case& c : cases) {
        session.picturePath = c.picture;
        window.chosenPaths.push_back("/chosen/table.csv");
        dispatcher.dispatch(kCmdSaveCsv);
        EXPECT_EQ(window.chooserStart.back(), c.csv);
        EXPECT_EQ(log.csvPath, "/chosen/table.csv");
    }
    log.csvPath.clear();
    window.chosenPaths.push_back(""); // cancelled
    dispatcher.dispatch(kCmdSaveCsv);
    EXPECT_EQ(log.csvPath, "");
}

TEST_F(DispatcherTest, SaveAsAfterACsvStillOffersThePicturesName) {
    openCat();
    dispatcher.dispatch(kCmdTiling);
    for (const char* chosen : {"/chosen/table.csv", ""}) { // written, then cancelled
        window.chosenPaths.push_back(chosen);
        dispatcher.dispatch(kCmdSaveCsv);
        window.chosenPaths.push_back("");
        dispatcher.dispatch(kCmdSaveAs);
        EXPECT_EQ(window.chooserStart.back(), "/pictures/cat.jpg") << chosen;
    }
    EXPECT_EQ(log.csvPath, "/chosen/table.csv");
}

TEST_F(DispatcherTest, ExitWithoutChangesAsksToConfirm) {
    openCat();
    window.exitAnswer = false;
    dispatcher.dispatch(kCmdExit);
    EXPECT_EQ(window.closeRequests, 0);
    window.exitAnswer = true;
    dispatcher.dispatch(kCmdExit);
    EXPECT_EQ(window.asked, (std::vector<std::string>{"exit", "exit"}));
    EXPECT_EQ(window.closeRequests, 1);
}

TEST_F(DispatcherTest, ExitWithChangesAsksOnlyToSave) {
    openCat();
    dispatcher.dispatch(kCmdGrayScale);
    window.saveAnswer = SaveChangesAnswer::Cancel;
    dispatcher.dispatch(kCmdExit);
    EXPECT_EQ(window.closeRequests, 0);
    EXPECT_TRUE(session.modified());
    window.saveAnswer = SaveChangesAnswer::No;
    dispatcher.dispatch(kCmdExit);
    EXPECT_EQ(window.asked,
              (std::vector<std::string>{"save changes to cat.jpg", "save changes to cat.jpg"}));
    EXPECT_EQ(window.closeRequests, 1);
    EXPECT_FALSE(session.modified());
    EXPECT_EQ(log.saves, 0);
}

TEST_F(DispatcherTest, ExitSavingFirstStopsWhenTheSaveFails) {
    openCat();
    dispatcher.dispatch(kCmdGrayScale);
    window.saveAnswer = SaveChangesAnswer::Yes;
    log.saveFails = true;
    dispatcher.dispatch(kCmdExit);
    EXPECT_EQ(window.closeRequests, 0);
    EXPECT_TRUE(session.modified());
    log.saveFails = false;
    dispatcher.dispatch(kCmdExit);
    EXPECT_EQ(window.closeRequests, 1);
    EXPECT_EQ(dispatcher.state().menuState, kMenuSaved);
}

TEST_F(DispatcherTest, CloseRequestWithChangesCancelledKeepsEverything) {
    openCat();
    dispatcher.dispatch(kCmdGrayScale);
    const std::string current = session.currentPath;
    window.saveAnswer = SaveChangesAnswer::Cancel;
    EXPECT_FALSE(dispatcher.closeRequest());
    EXPECT_EQ(session.currentPath, current);
    EXPECT_TRUE(std::filesystem::exists(current));
    EXPECT_EQ(log.parameterWrites, 0);
    EXPECT_EQ(window.title, "vellora -- cat.jpg, 30 %");
}

TEST_F(DispatcherTest, CloseRequestCleansTheFilesAndWritesTheParameters) {
    openCat();
    dispatcher.dispatch(kCmdGrayScale);
    const std::string first = session.history.historyPaths[1];
    const std::string current = session.currentPath;
    window.saveAnswer = SaveChangesAnswer::No;
    EXPECT_TRUE(dispatcher.closeRequest());
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_FALSE(std::filesystem::exists(current));
    EXPECT_EQ(log.parameterWrites, 1);
}

TEST_F(DispatcherTest, ClosePictureAsksThenEmptiesTheView) {
    openCat();
    dispatcher.dispatch(kCmdGrayScale);
    window.saveAnswer = SaveChangesAnswer::Cancel;
    dispatcher.dispatch(kCmdClose);
    EXPECT_FALSE(session.currentPath.empty());
    window.saveAnswer = SaveChangesAnswer::No;
    dispatcher.dispatch(kCmdClose);
    EXPECT_TRUE(session.currentPath.empty());
    EXPECT_EQ(session.currentInfo.state, kStateNoPicture);
    EXPECT_EQ(window.title, "vellora");
    EXPECT_EQ(dispatcher.state().menuState, kMenuNone);
    EXPECT_FALSE(enabled(kCmdUndo));
    EXPECT_EQ(frontend.statusTexts.back(), "");
}

TEST_F(DispatcherTest, OpenOverChangesSavesWhenAskedAndStopsOnAFailedSave) {
    openCat();
    dispatcher.dispatch(kCmdGrayScale);
    window.saveAnswer = SaveChangesAnswer::Yes;
    log.saveFails = true;
    window.chosenPaths.push_back("/pictures/dog.png");
    dispatcher.dispatch(kCmdOpen);
    EXPECT_TRUE(window.chooserKinds.size() == 1); // the open dialog was not shown again
    EXPECT_EQ(session.picturePath, "/pictures/cat.jpg");
    log.saveFails = false;
    dispatcher.dispatch(kCmdOpen);
    EXPECT_EQ(log.saves, 2);
    EXPECT_EQ(session.picturePath, "/pictures/dog.png");
    EXPECT_EQ(window.title, "vellora -- dog.png, 30 %");
}

TEST_F(DispatcherTest, SaveAsTakesTheNewNameAndAFailedOneKeepsTheChanges) {
    openCat();
    dispatcher.dispatch(kCmdGrayScale);
    log.saveFails = true;
    window.chosenPaths.push_back("/out/cat.png");
    dispatcher.dispatch(kCmdSaveAs);
    EXPECT_TRUE(session.modified());
    EXPECT_EQ(dispatcher.state().menuState, kMenuModified);
    EXPECT_EQ(window.chooserStart.back(), "/pictures/cat.jpg");
    log.saveFails = false;
    window.chosenPaths.push_back("/out/cat.png");
    dispatcher.dispatch(kCmdSaveAs);
    EXPECT_FALSE(session.modified());
    EXPECT_EQ(window.title, "vellora -- cat.png, 30 %");
    window.chosenPaths.push_back(""); // a cancelled dialog
    dispatcher.dispatch(kCmdSaveAs);
    EXPECT_EQ(log.saves, 2);
}

TEST_F(DispatcherTest, HiddenMenuMergesOnlyOnOk) {
    dispatcher.dispatch(kCmdHiddenMenu);
    window.dialogAnswer = false;
    dispatcher.dispatch(kCmdHiddenMenu);
    EXPECT_EQ(window.dialogs, (std::vector<int>{kCmdHiddenMenu, kCmdHiddenMenu}));
    EXPECT_EQ(log.merges, 1);
}

TEST_F(DispatcherTest, AboutShowsTheProgramAndVersion) {
    dispatcher.dispatch(kCmdAbout);
    EXPECT_EQ(window.asked, std::vector<std::string>{"about vellora version 0.1.0"});
}

} // namespace
} // namespace vellora

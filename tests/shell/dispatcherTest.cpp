// The dispatcher against a scripted window and fake services: the menu state, title and zoom
// check it keeps, the dialogs it runs and the questions it asks. (The desktop program's tests run
// it with the real services.)
#include "shell/dispatcher.h"
#include "shell/sheetSetup.h"
#include "shell/viewPaint.h"

#include "core/errors.h"
#include "core/history.h"
#include "core/intermediateFiles.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <deque>
#include <fstream>

namespace vellora {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

// Dialogs and questions answer as the test sets them; the view paints an 800 x 600 client area
// with a picture of `size`.
class ScriptedWindow final : public ShellWindow {
  public:
    explicit ScriptedWindow(Session& s) : session(s) {}
    void repaintView() override {
        ++repaints;
        paintViewModel(session, scroll, session.currentPath.empty() ? nullptr : &size, 800, 600);
    }
    void setTitle(const std::string& t) override { title = t; }
    void setCommandsEnabled(const CommandSet& c) override { commands = c; }
    void setZoomCheck(int id) override { zoomCheck = id; }
    bool textPaneShown() const override { return paneShown; }
    void showTextPane(bool shown) override { paneShown = shown; }
    void setTableText(const std::string& text) override { tableText = text; }
    bool chooseFile(FileChooserKind, std::string& path) override {
        offered.push_back(path);
        if (chosen.empty()) return false;
        path = chosen.front();
        chosen.pop_front();
        return !path.empty();
    }
    SaveChangesAnswer askSaveChanges(const std::string& name) override {
        asked.push_back("save " + name);
        return saveAnswer;
    }
    bool confirmExit() override { return asked.push_back("exit"), exitAnswer; }
    void showAbout(const std::string& line) override { asked.push_back(line); }
    bool runDialog(int commandId, Session&) override {
        dialogs.push_back(commandId);
        if (dialogEdit) dialogEdit(session.workingBlock);
        return dialogAnswer;
    }
    void requestClose() override { ++closeRequests; }

    Session& session;
    ViewScroll scroll;
    LoadedPicture size{2000, 1000, 24};
    int repaints = 0, zoomCheck = -2, closeRequests = 0;
    std::string title, tableText;
    CommandSet commands;
    bool paneShown = false, exitAnswer = false, dialogAnswer = true;
    std::deque<std::string> chosen; // "" cancels
    Texts offered, asked;           // the name each chooser opened on; the questions
    SaveChangesAnswer saveAnswer = SaveChangesAnswer::Cancel;
    std::vector<int> dialogs;
    std::function<void(ParameterBlock&)> dialogEdit;
};

struct ServiceLog {
    int handlerRuns = 0, saves = 0, merges = 0, parameterWrites = 0;
    bool saveFails = false;
    std::vector<std::pair<int, int>> rotations;
    Texts written; // the files the table and sheet services wrote
};
ServiceLog* gLog = nullptr;

int writesNext(Session& session, Operation operation) {
    return runOperationFrame(session, operation, [](Session& s) {
        std::ofstream(s.nextPath) << "picture";
        return 0;
    });
}
int fakeGray(Session& s) { return ++gLog->handlerRuns, writesNext(s, Operation::GrayScale); }
int fakeRotate(Session& s) {
    return ++gLog->handlerRuns, writesNext(s, Operation::RotateArbitrary);
}
int fakeTiling(Session& s) { return ++gLog->handlerRuns, writesNext(s, Operation::Tiling); }
int failingInvert(Session& s) {
    return runOperationFrame(s, Operation::Invert, [](Session&) { return 1; });
}
int fakeSave(Session& session) {
    ++gLog->saves;
    if (gLog->saveFails) return showError(session.frontend, "failed to save a file"), 1;
    session.currentInfo.state = session.dialogInfo.state = kStateSaved;
    return 0;
}

class DispatcherTest : public ::testing::Test {
  protected:
    DispatcherTest() : session(frontend), window(session), dispatcher(session, window, services()) {
        gLog = &log;
        dispatcher.initialise();
    }
    ~DispatcherTest() override { gLog = nullptr; }

    static ShellServices services() {
        ShellServices s;
        // As the real one does: the first intermediate file, the fitted paint, a zoom state.
        s.openPicture = [](Session& session, const std::string& path,
                           const ShellServices::Repaint& repaint) {
            if (path.find("unsupported") != std::string::npos)
                return showError(session.frontend, "failed to open the image file"), 1;
            session.picturePath = session.saveAsPath = path;
            session.currentInfo.state = session.dialogInfo.state = kStateFit;
            nextIntermediatePath(session, session.currentPath);
            std::ofstream(session.currentPath) << "picture";
            repaint(session);
            session.currentInfo.state = session.dialogInfo.state = kStateZoom;
            session.dialogInfo.zoomIndex = session.currentInfo.zoomIndex;
            clearHistory(session);
            return 0;
        };
        s.savePicture = fakeSave;
        s.savePictureAs = [](Session& session) {
            const int result = fakeSave(session);
            if (result == 0) session.picturePath = session.saveAsPath;
            return result;
        };
        s.rotateFlipPicture = [](Session& session, int turns, int flip) {
            gLog->rotations.push_back({turns, flip});
            return writesNext(session, Operation::RotateFlip);
        };
        s.buildTableText = [](Session&, std::string& text) { return text = "table", 0; };
        s.saveTableCsv = [](Session& s) { return gLog->written.push_back(s.saveAsPath), 0; };
        s.saveChart = s.saveShoppingList = [](Session&, const std::string& path) {
            return gLog->written.push_back(path), 0;
        };
        s.mergeSavedDefaults = [](Session&) { ++gLog->merges; };
        s.saveParameterFile = [](Session&) { return ++gLog->parameterWrites, 0; };
        s.setHandler(kCmdGrayScale, fakeGray);
        s.setHandler(kCmdRotateArbitrary, fakeRotate);
        s.setHandler(kCmdTiling, fakeTiling);
        s.setHandler(kCmdInvert, failingInvert);
        return s;
    }

    void open(const char* path = "/pictures/cat.jpg") {
        window.chosen.push_back(path);
        ASSERT_TRUE(dispatcher.dispatch(kCmdOpen));
    }
    void openAndChange() {
        open();
        dispatcher.dispatch(kCmdGrayScale);
    }
    bool enabled(int id) const { return window.commands.enabled(id); }
    int menu() const { return dispatcher.state().menuState; }

    test::RecordingFrontend frontend;
    Session session;
    ScriptedWindow window;
    ServiceLog log;
    Dispatcher dispatcher;
};

TEST_F(DispatcherTest, GrayedUnknownRefusedAndCancelledCommandsDoNothing) {
    EXPECT_EQ(window.title, "vellora");
    EXPECT_EQ(window.zoomCheck, -1);
    for (int id : {199, 206, 259, 301}) // unknown: the default handling
        EXPECT_FALSE(dispatcher.dispatch(id)) << id;
    EXPECT_TRUE(dispatcher.dispatch(kCmdGrayScale)); // grayed: swallowed
    window.chosen = {"", "/pictures/unsupported.xyz"};
    dispatcher.dispatch(kCmdOpen);
    dispatcher.dispatch(kCmdOpen);
    EXPECT_EQ(window.title, "vellora");
    EXPECT_EQ(menu(), kMenuNone);
    EXPECT_EQ(frontend.texts(), Texts{"failed to open the image file"});
    open();
    dispatcher.dispatch(kCmdSave); // grayed right after opening
    window.dialogAnswer = false;
    dispatcher.dispatch(kCmdGrayScale);
    EXPECT_EQ(log.handlerRuns + log.saves + log.merges, 0);
    window.dialogAnswer = true;
    dispatcher.dispatch(kCmdHiddenMenu); // merges on OK only, picture or not
    EXPECT_EQ(window.dialogs, (std::vector<int>{kCmdGrayScale, kCmdHiddenMenu}));
    EXPECT_EQ(log.merges, 1);
}

TEST_F(DispatcherTest, OpenOperateUndoAndSave) {
    open();
    const std::string opened = session.currentPath;
    EXPECT_EQ(session.currentInfo.zoomIndex, 3); // 2000 x 1000 fits at 30 %
    EXPECT_EQ(window.title, "vellora -- cat.jpg, 30 %");
    EXPECT_EQ(window.zoomCheck, 223);
    EXPECT_EQ(menu(), kMenuOpened);
    EXPECT_FALSE(enabled(kCmdSave) || enabled(kCmdUndo));
    ASSERT_TRUE(dispatcher.dispatch(kCmdGrayScale));
    EXPECT_EQ(session.history.historyDepth, 1);
    EXPECT_EQ(menu(), kMenuModified);
    EXPECT_TRUE(enabled(kCmdSave) && enabled(kCmdUndo));
    dispatcher.dispatch(kCmdUndo);
    EXPECT_EQ(session.currentPath, opened);
    EXPECT_EQ(menu(), kMenuUndone);
    EXPECT_FALSE(enabled(kCmdUndo));
    dispatcher.dispatch(kCmdGrayScale);
    dispatcher.dispatch(kCmdSave);
    EXPECT_EQ(log.saves, 1);
    EXPECT_EQ(menu(), kMenuSaved);
    EXPECT_FALSE(session.modified() || enabled(kCmdSave));
    EXPECT_EQ(window.zoomCheck, -1); // the saved state has no layout
}

TEST_F(DispatcherTest, ZoomStepsStopAtBothEndsAndFitWindowChoosesThroughThePaint) {
    window.size = {100, 50, 24};
    open();
    dispatcher.dispatch(kCmdZoomLast);
    const int repaints = window.repaints;
    dispatcher.dispatch(kCmdZoomUp);
    EXPECT_EQ(session.dialogInfo.zoomIndex, 20);
    EXPECT_EQ(window.repaints, repaints);
    dispatcher.dispatch(kCmdZoomDown);
    EXPECT_EQ(session.currentInfo.zoomIndex, 19);
    EXPECT_EQ(window.title, "vellora -- cat.jpg, 900 %");
    EXPECT_EQ(window.zoomCheck, 239);
    dispatcher.dispatch(kCmdZoomFirst);
    dispatcher.dispatch(kCmdZoomUp);
    EXPECT_EQ(session.currentInfo.drawWidth, 10);
    dispatcher.dispatch(kCmdZoomDown);
    dispatcher.dispatch(kCmdZoomDown);
    EXPECT_EQ(session.dialogInfo.zoomIndex, 0);
    EXPECT_EQ(window.title, "vellora -- cat.jpg, 5 %");

    window.size = {2000, 1000, 24};
    dispatcher.dispatch(kCmdZoom100);
    EXPECT_EQ(session.currentInfo.hScrollShown, 1);
    dispatcher.dispatch(kCmdFitWindow);
    EXPECT_EQ(session.dialogInfo.zoomIndex, 3);
    EXPECT_EQ(session.currentInfo.state, kStateZoom);
    EXPECT_EQ(session.currentInfo.hScrollShown, 0);
    EXPECT_EQ(window.title, "vellora -- cat.jpg, 30 %");
}

TEST_F(DispatcherTest, OperationsThatDoNothingOrFailAndQuarterTurns) {
    open();
    const std::string before = session.currentPath;
    for (int angle : {0, 720, -360}) { // a whole turn: OK merges its defaults, nothing runs
        window.dialogEdit = [angle](ParameterBlock& b) { b.rotateAngle = angle; };
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
    window.dialogEdit = [](ParameterBlock& b) { b.rotateAngle = 45; };
    dispatcher.dispatch(kCmdRotateArbitrary);
    EXPECT_EQ(log.handlerRuns, 1);
    EXPECT_EQ(session.history.historyDepth, 6);
    EXPECT_EQ(menu(), kMenuModified);
}

// The table's files are named for the picture, its extension replaced; Save As still offers the
// picture's own name.
TEST_F(DispatcherTest, TableAndSheetFilesAreNamedForThePicture) {
    open();
    dispatcher.dispatch(kCmdTiling);
    EXPECT_EQ(menu(), kMenuTiled);
    EXPECT_EQ(session.currentInfo.zoomIndex, 10); // tiling returns to 100 %
    const char* const cases[][3] = {{"/p/cat.jpg", "/p/cat.csv", "/p/cat.shopping.csv"},
                                    {"/p.d/noext", "/p.d/noext.csv", "/p.d/noext.shopping.csv"},
                                    {"/p/two.dots.png", "/p/two.dots.csv", "/p/two.dots.pdf"}};
    window.offered.clear();
    for (const auto& [picture, csv, sheet] : cases) {
        session.picturePath = session.saveAsPath = picture;
        window.chosen = {"/chosen/table.csv", "/chosen/sheet", ""};
        dispatcher.dispatch(kCmdSaveCsv);
        dispatcher.dispatch(std::string(sheet).ends_with("pdf") ? kCmdSaveChart
                                                                : kCmdSaveShoppingList);
        dispatcher.dispatch(kCmdSaveAs);
        EXPECT_EQ(window.offered, (Texts{csv, sheet, picture}));
        window.offered.clear();
    }
    dispatcher.dispatch(kCmdSaveCsv); // cancelled
    EXPECT_EQ(log.written.size(), 6u);
    EXPECT_EQ(log.written.back(), "/chosen/sheet");
    EXPECT_EQ(log.written[4], "/chosen/table.csv");
}

// A failed save keeps the changes: Exit, Open and Save As stop and the picture stays modified.
TEST_F(DispatcherTest, ExitOpenAndSaveAsStopOnAFailedSave) {
    open();
    dispatcher.dispatch(kCmdExit); // no changes: "are you sure?"
    EXPECT_EQ(window.asked, Texts{"exit"});
    dispatcher.dispatch(kCmdGrayScale);
    window.asked.clear();
    dispatcher.dispatch(kCmdExit); // cancelled
    window.saveAnswer = SaveChangesAnswer::Yes;
    log.saveFails = true;
    window.chosen = {"/pictures/dog.png"};
    dispatcher.dispatch(kCmdExit);
    dispatcher.dispatch(kCmdOpen);
    EXPECT_EQ(window.offered.size(), 1u); // the open dialog was not shown again
    window.chosen = {"/out/cat.png"};
    dispatcher.dispatch(kCmdSaveAs);
    EXPECT_EQ(window.closeRequests, 0);
    EXPECT_EQ(session.picturePath, "/pictures/cat.jpg");
    EXPECT_TRUE(session.modified());
    EXPECT_EQ(menu(), kMenuModified);
    EXPECT_EQ(window.asked, Texts(3, "save cat.jpg"));

    log.saveFails = false;
    window.chosen = {"/out/cat.png"};
    dispatcher.dispatch(kCmdSaveAs);
    EXPECT_EQ(window.title, "vellora -- cat.png, 30 %");
    dispatcher.dispatch(kCmdGrayScale);
    open("/pictures/dog.png");
    EXPECT_EQ(log.saves, 5);
    EXPECT_EQ(window.title, "vellora -- dog.png, 30 %");
    dispatcher.dispatch(kCmdGrayScale);
    window.saveAnswer = SaveChangesAnswer::No;
    dispatcher.dispatch(kCmdExit);
    EXPECT_EQ(window.closeRequests, 1);
    EXPECT_FALSE(session.modified());
    EXPECT_EQ(log.saves, 5);
}

TEST_F(DispatcherTest, CloseRequestCleansTheFilesAndWritesTheParametersUnlessCancelled) {
    openAndChange();
    const std::string first = session.history.historyPaths[1], current = session.currentPath;
    EXPECT_FALSE(dispatcher.closeRequest());
    EXPECT_TRUE(fs::exists(current));
    EXPECT_EQ(log.parameterWrites, 0);
    window.saveAnswer = SaveChangesAnswer::No;
    EXPECT_TRUE(dispatcher.closeRequest());
    EXPECT_FALSE(fs::exists(first) || fs::exists(current));
    EXPECT_EQ(log.parameterWrites, 1);
}

TEST_F(DispatcherTest, ClosePictureAsksThenEmptiesTheView) {
    openAndChange();
    dispatcher.dispatch(kCmdClose);
    EXPECT_FALSE(session.currentPath.empty());
    window.saveAnswer = SaveChangesAnswer::No;
    dispatcher.dispatch(kCmdClose);
    EXPECT_TRUE(session.currentPath.empty());
    EXPECT_EQ(session.currentInfo.state, kStateNoPicture);
    EXPECT_EQ(window.title, "vellora");
    EXPECT_EQ(menu(), kMenuNone);
    EXPECT_EQ(frontend.statusTexts.back(), "");
}

// The sheet settings beside the parameter file; a damaged file gives the defaults, with an alert.
TEST(SheetSettings, RoundTripAndADamagedFileGivesTheDefaults) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    Session session{frontend};
    const fs::path path = sheetSettingsPathBeside(dir / "config" / "vellora.par");
    session.design.tileLinePath = "/lines/glass.tiles";
    session.design.packSize = 250;
    ASSERT_EQ(saveSessionSheetSettings(session, path), 0); // the missing folder is made
    Session reread{frontend};
    ASSERT_EQ(loadSessionSheetSettings(reread, path), 0);
    EXPECT_EQ(reread.design.tileLinePath, "/lines/glass.tiles");
    EXPECT_EQ(reread.design.packSize, 250);
    std::ofstream(path) << "pack=250\ngrout-mm=wide\n";
    EXPECT_EQ(loadSessionSheetSettings(reread, path), 1);
    EXPECT_EQ(reread.design.tileLinePath, "");
    EXPECT_EQ(reread.design.packSize, DesignSettings{}.packSize);
    ASSERT_EQ(frontend.messages.size(), 1u);
    EXPECT_EQ(frontend.messages[0].caption, "alert");
    EXPECT_NE(frontend.messages[0].text.find("line 2: grout-mm needs"), std::string::npos);
    EXPECT_NE(frontend.messages[0].text.find("the defaults"), std::string::npos);
}

} // namespace
} // namespace vellora

// Commands, menus, the dispatcher on fake services, the 800 x 600 view, title and placement.
#include "shell/commandTable.h"
#include "shell/dispatcher.h"
#include "shell/menuState.h"
#include "shell/viewLayout.h"
#include "shell/viewPaint.h"
#include "shell/windowGeometry.h"
#include "shell/windowTitle.h"

#include "core/errors.h"
#include "core/history.h"
#include "core/intermediateFiles.h"
#include "core/parameterFields.h"
#include "imageio/pictureLibrary.h"
#include "support/acceptingWindow.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace vellora {
namespace {

// Each command but the hidden one is a menu item once; no two share a key. Each picture-changing
// one is a command-line step in menu order, its handler reading only block fields; so is 24 bpp.
TEST(CommandTable, ItemsKeysAndCommandLineSteps) {
    std::string texts;
    for (int id : {201, 220, 230, 255, 267, 205})
        texts += menuItemText(*findCommand(id)) + "|";
    EXPECT_EQ(texts, "Open\tCtrl + O|5%|100%\tCtrl Sft + Z|Left 90\tCtrl + 3|"
                     "Edge-PreServing\tCtrl Sft + V|Exit\tCtrl + X|");
    EXPECT_EQ(shortcutText(findCommand(kCmdHiddenMenu)->key), "Ctrl Sft + U");
    for (int id : {0, 199, 206, 213, 219, 241, 259, 272, 286, 299, 301})
        EXPECT_EQ(findCommand(id), nullptr) << id;
    std::multiset<int> items;
    for (const MenuEntry& entry : menuLayout())
        if (entry.kind == MenuEntryKind::Item) items.insert(entry.id);
    std::set<std::pair<char, bool>> keys;
    for (const CommandSpec& command : commandTable()) {
        EXPECT_EQ(items.count(command.id), command.id == kCmdHiddenMenu ? 0u : 1u) << command.id;
        EXPECT_EQ(findCommand(command.id), &command); // its id is its own
        EXPECT_TRUE(command.key.key == 0 ||
                    keys.insert({command.key.key, command.key.shift}).second)
            << command.id;
        const bool step =
            command.kind == CommandKind::DialogOperation || command.kind == CommandKind::RotateFlip;
        EXPECT_TRUE(!step || findCliStep(command.step) == &command) << command.id;
    }
    EXPECT_EQ(items.size(), commandTable().size() - 1);
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
        {"opened", "0 0 1 0", "201 202 204 205 210 230 240 251 258 260 271 280 283 300",
         "203 250 281 282 284 285"},
        {"modified", "0 0 1 0 4 1", "201 203 250 280", "281 282"},
        {"saved after tiling keeps the table", "0 0 1 0 5 1 2 0", "281 282", "203 250"},
        {"undone to nothing", "0 0 1 0 4 1 3 0", "201 280", "203 250 281 282"},
        {"tiled", "0 0 1 0 5 1",
         "201 202 203 204 210 212 240 250 251 258 260 271 280 281 282 283 284 285", ""},
        {"table hidden again", "0 0 1 0 5 1 6 0 5 1", "201 203 210 250 260 280 281 282", ""},
        {"table shown", "0 0 1 0 5 1 6 0", "205 281 282 283 284 285 300",
         "201 202 203 204 210 211 212 220 240 250 251 258 260 271 280"},
        {"closed", "0 0 1 0 5 1 0 0", "201 205 300", "202 203 250 260 280 281"},
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
    bool saveFails = false, tableFails = false;
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
    s.buildTableText = [](Session&, std::string& t) { return t = "table", int(gLog->tableFails); };
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
    ShellServices ends; // handlers by id 200 … 300 only
    for (int id : {199, 200, 300, 301})
        ends.setHandler(id, fakeSave);
    EXPECT_TRUE(!ends.handler(199) && ends.handler(200) && ends.handler(300) && !ends.handler(301));
}

TEST_F(DispatcherTest, OperationsThatDoNothingOrFailAndQuarterTurns) {
    const std::string before = session.currentPath;
    for (int angle : {0, 720, -360}) { // a whole turn: OK merges its defaults, nothing runs
        session.workingBlock.rotateAngle = angle;
        dispatcher.dispatch(kCmdRotateArbitrary);
    }
    EXPECT_EQ(std::pair(log.handlerRuns, log.merges), std::pair(0, 3));
    dispatcher.dispatch(kCmdInvert); // fails in its handler
    dispatcher.dispatch(kCmdCrop);   // has no handler
    EXPECT_EQ(frontend.texts(), (Texts{"failed to invert the image", "failed to crop the image"}));
    EXPECT_EQ(std::tuple(session.currentPath, session.history.historyDepth, menu()),
              std::tuple(before, 0, int(kMenuOpened)));
    for (int id :
         {kCmdRotateRight90, kCmdRotate180, kCmdRotateLeft90, kCmdFlipHorizontal, kCmdFlipVertical})
        dispatcher.dispatch(id);
    EXPECT_EQ(log.rotations,
              (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}, {3, 0}, {0, 1}, {0, 2}}));
    session.workingBlock.rotateAngle = 45;
    dispatcher.dispatch(kCmdRotateArbitrary);
    EXPECT_EQ(std::tuple(log.handlerRuns, session.history.historyDepth, menu()),
              std::tuple(6, 6, int(kMenuModified)));
    // 100 %, Zoom Dn to 90 %, 5 %, Dn stays, Up to 10 %, Dn to 5 %; at 1000 % Zoom Up stays.
    for (int id :
         {kCmdZoom100, kCmdZoomDown, kCmdZoomFirst, kCmdZoomDown, kCmdZoomUp, kCmdZoomDown})
        EXPECT_TRUE(dispatcher.dispatch(id)) << id;
    EXPECT_EQ(window.title, "vellora -- cat.jpg, 5 %");
    for (int id : {kCmdZoomLast, kCmdZoomUp})
        dispatcher.dispatch(id);
    EXPECT_EQ(window.title, "vellora -- cat.jpg, 1000 %");
    dispatcher.dispatch(kCmdClose); // nothing is left to save or undo
    EXPECT_FALSE(menu() != kMenuNone || window.commands.enabled(kCmdSave) ||
                 window.commands.enabled(kCmdUndo));
}

// Table files take the picture's name (a leading dot starts no suffix), Save As its own.
TEST_F(DispatcherTest, TableAndSheetFilesAreNamedForThePicture) {
    dispatcher.dispatch(kCmdTiling);
    log.tableFails = true, dispatcher.dispatch(kCmdExpressTable); // the view comes back
    EXPECT_FALSE(window.paneShown);
    log.tableFails = false;
    dispatcher.dispatch(kCmdExpressTable);
    EXPECT_TRUE(window.paneShown && window.tableText == "table" && menu() == kMenuTableShown);
    window.tableText.clear(); // hidden, shown again without building it anew, hidden
    for (int i = 0; i < 3; ++i)
        dispatcher.dispatch(kCmdExpressTable);
    EXPECT_TRUE(!window.paneShown && window.tableText.empty() && menu() == kMenuTiled);
    const char* const cases[][3] = {{"/p.d/noext", "/p.d/noext.csv", "/p.d/noext.shopping.csv"},
                                    {"/p/two.dots.png", "/p/two.dots.csv", "/p/two.dots.pdf"},
                                    {"/p/.plan", "/p/.plan.csv", "/p/.plan.shopping.csv"}};
    for (const auto& [picture, csv, sheet] : cases) {
        session.picturePath = session.saveAsPath = picture;
        window.offered.clear(), log.written.clear();
        window.chosen = {"/chosen/table.csv", "/chosen/sheet"};
        dispatcher.dispatch(kCmdSaveCsv);
        dispatcher.dispatch(std::string(sheet).ends_with("pdf") ? kCmdSaveChart
                                                                : kCmdSaveShoppingList);
        dispatcher.dispatch(kCmdSaveAs); // cancelled
        EXPECT_EQ(
            std::pair(window.offered, log.written),
            std::pair(Texts{csv, sheet, picture}, Texts{"/chosen/table.csv", "/chosen/sheet"}));
    }
}

// A failed save keeps the changes, and the picture stays the modified one.
TEST_F(DispatcherTest, AFailedSaveAsKeepsTheChangesAndTheName) {
    dispatcher.dispatch(kCmdGrayScale);
    window.answer = SaveChangesAnswer::Yes; // Open saves first, and stops when that fails
    for (const auto& [command, fails] :
         {std::pair{kCmdOpen, true}, {kCmdSave, true}, {kCmdSaveAs, true}, {kCmdSaveAs, false}}) {
        log.saveFails = fails;
        window.chosen = {"/out/cat.png"};
        dispatcher.dispatch(command);
        EXPECT_TRUE(session.modified() == fails && menu() == (fails ? kMenuModified : kMenuSaved));
    }
    EXPECT_EQ(log.saves, 4);
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

ImageInfo picture(int width, int height, std::int32_t state, int zoomIndex = 10) {
    return {.width = width,
            .height = height,
            .clientWidth = 800,
            .clientHeight = 600,
            .zoomIndex = zoomIndex,
            .state = state};
}
Rect drawn(const ImageInfo& i) {
    return {i.drawX, i.drawY, i.drawWidth, i.drawHeight};
}
int bars(const ImageInfo& info) {
    return info.hScrollShown * 10 + info.vScrollShown;
}
ImageInfo laidOut(int width, int height, int zoomIndex = 10) {
    ImageInfo info = picture(width, height, kStateZoom, zoomIndex);
    return layoutPicture(info), info;
}

// Name; picture size and zoom index before; zoom index and drawing rectangle after.
TEST(ViewLayout, FitChoosesTheLargestZoomUpTo100PercentThatLeavesTheMargin) {
    const std::tuple<const char*, int, int, int, int, Rect> cases[] = {
        {"2000 x 1000 at 30 %", 2000, 1000, 10, 3, {100, 150, 600, 300}},
        {"small picture stays at 100 %", 100, 50, 12, 10, {350, 275, 100, 50}},
        {"exactly the client less the margin", 770, 570, 0, 10, {15, 15, 770, 570}},
        {"one pixel too wide for 100 %", 771, 100, 10, 9, {53, 255, 693, 90}},
        {"one pixel too tall for 100 %", 100, 571, 10, 9, {355, 43, 90, 513}},
        {"only 5 % fits", 10000, 100, 12, 0, {150, 297, 500, 5}},
        {"too large for 5 % keeps the zoom", 20000, 100, 12, 12, {-19600, 200, 40000, 200}},
        {"single pixel", 1, 1, 4, 10, {399, 299, 1, 1}}};
    for (const auto& [name, width, height, zoomBefore, zoomIndex, rect] : cases) {
        ImageInfo info = picture(width, height, kStateFit, zoomBefore);
        info.hScrollShown = info.vScrollShown = 1;
        layoutPicture(info);
        EXPECT_EQ(std::tuple(info.zoomIndex, drawn(info), bars(info)),
                  std::tuple(zoomIndex, rect, 0))
            << name;
    }
}

// 1000 x 500 at 200 %, laid out and painted once.
struct Zoomed200 {
    ImageInfo info = laidOut(1000, 500, 12);
    ViewScroll scroll;
    Zoomed200() { updateScrollRecords(info, scroll); }
};

// Where it is drawn and the thumbs are pinned by the key and scroll tables below.
TEST(ViewLayout, ZoomShowsTheBarsItNeeds) {
    Zoomed200 z;
    EXPECT_EQ(z.scroll.vertical, (ScrollRecord{0, 600, 349, 125})); // 600 * 600 / 1030, 215 * …
    // both, only horizontal, only vertical: the width fits exactly with its margin
    EXPECT_EQ((std::array{bars(z.info), bars(laidOut(1000, 100)), bars(laidOut(770, 571))}),
              (std::array{11, 10, 1}));
    ImageInfo dot = picture(1, 1, kStateZoom); // one pixel, drawn at 9 in a 20-pixel view
    dot.clientWidth = 20;
    layoutPicture(dot), updateScrollRecords(dot, z.scroll);
    EXPECT_EQ(z.scroll.horizontal, (ScrollRecord{0, 20, 12, 3})); // 400 / 31, (15 - 9) * 20 / 31
}

// Name; thumb position before; request and thumb; drawX, step and thumb position after.
TEST(ViewLayout, HorizontalScrollRequestsMoveThePictureByTheirSteps) {
    using R = ScrollRequest;
    const std::tuple<const char*, int, ScrollRequest, int, int, int, int> cases[] = {
        {"line left from 10 stops at the margin", 10, R::LineBack, 0, 15, -16, -6},
        {"line left from 16 too", 16, R::LineBack, 0, 15, -16, 0},
        {"line right from 242", 242, R::LineForward, 0, -634, 8, 250},
        {"page right reaches the end", 242, R::PageForward, 0, -1230, 315, 557},
        {"page left reaches the start", 242, R::PageBack, 0, 15, -315, -73},
        {"thumb dragged back to 100", 242, R::ThumbTrack, 100, -253, -142, 100}};
    for (const auto& [name, start, request, thumb, drawX, step, position] : cases) {
        Zoomed200 z;
        z.scroll.horizontal.position = start;
        EXPECT_TRUE(scrollView(z.info, z.scroll, ScrollAxis::Horizontal, request, thumb)) << name;
        EXPECT_EQ(drawn(z.info), (Rect{drawX, -200, 2000, 1000})) << name;
        EXPECT_EQ(std::tuple(z.info.hScrollStep, z.scroll.horizontal.position, z.info.state),
                  std::tuple(step, position, kStateScrolled))
            << name;
    }
    Zoomed200 z; // a scrolled picture is drawn where the scroll put it
    scrollView(z.info, z.scroll, ScrollAxis::Vertical, ScrollRequest::LineForward);
    layoutPicture(z.info);
    EXPECT_EQ(drawn(z.info), (Rect{-600, -228, 2000, 1000})); // -((1000 + 30) * (8 + 125) / 600)
    EXPECT_EQ(z.scroll.vertical.position, 133);
}

TEST(ViewLayout, OtherRequestsZeroStepsAndAnEmptyViewChangeNothing) {
    Zoomed200 z;
    z.info.hScrollStep = 99;
    EXPECT_FALSE(scrollView(z.info, z.scroll, ScrollAxis::Horizontal, ScrollRequest::Other));
    EXPECT_EQ(z.info.hScrollStep, 0);
    EXPECT_FALSE(scrollView(z.info, z.scroll, ScrollAxis::Horizontal, ScrollRequest::ThumbTrack,
                            z.scroll.horizontal.position));
    EXPECT_EQ(z.info.drawX * 1000 + z.info.state, -600 * 1000 + kStateZoom);
    z.info.clientWidth = 0; // would divide by zero
    EXPECT_FALSE(scrollView(z.info, z.scroll, ScrollAxis::Horizontal, ScrollRequest::PageForward));
}

TEST(ViewLayout, HugeZoomedPicturesDoNotOverflow) {
    ImageInfo info = laidOut(60000, 60000, 20);
    ViewScroll scroll;
    updateScrollRecords(info, scroll);
    EXPECT_EQ(drawn(info), (Rect{(800 - 600000) / 2, (600 - 600000) / 2, 600000, 600000}));
    EXPECT_EQ(scroll.horizontal.position, 399); // (15 + 299600) * 800 / 600030
    scrollView(info, scroll, ScrollAxis::Horizontal, ScrollRequest::LineForward);
    EXPECT_EQ(info.drawX, -int(600030LL * 407 / 800)); // the step in 64 bits too
}

// Name; axis; drawY before; wheel angle; whether it moved; drawX, drawY after.
TEST(ViewLayout, WheelMovesThePictureWithinTheScrollRange) {
    using A = ScrollAxis;
    const std::tuple<const char*, ScrollAxis, int, int, bool, int, int> cases[] = {
        {"a notch up shows more of the top", A::Vertical, -200, 120, true, -600, -152},
        {"tilted left, sideways", A::Horizontal, -200, 120, true, -552, -200},
        {"ten notches up stop at the margin", A::Vertical, -200, 1200, true, -600, 15},
        {"far down stops at the end", A::Vertical, -200, -12000, true, -600, -430},
        {"already at the top", A::Vertical, 15, 120, false, -600, 15},
        {"too small a step to move", A::Vertical, -200, 2, false, -600, -200}};
    for (const auto& [name, axis, startY, angle, moved, drawX, drawY] : cases) {
        Zoomed200 z;
        z.info.drawY = startY;
        EXPECT_EQ(wheelScrollView(z.info, axis, angle), moved) << name;
        EXPECT_EQ(drawn(z.info), (Rect{drawX, drawY, 2000, 1000})) << name;
        EXPECT_EQ(z.info.state, moved ? kStateScrolled : kStateZoom) << name;
    }
    ImageInfo wide = laidOut(1000, 100); // only the horizontal bar
    EXPECT_FALSE(wheelScrollView(wide, A::Vertical, 120));
}

// 1000 x 500, centred at the new zoom: name, drawing before, zoom index, pointer, moved, drawX/Y.
TEST(ViewLayout, ZoomKeepsThePointUnderThePointer) {
    const Rect at200{-600, -200, 2000, 1000};
    const std::tuple<const char*, Rect, int, int, int, bool, int, int> cases[] = {
        {"the centre: centring already keeps it", at200, 13, 400, 300, false, -1100, -450},
        // (100 + 600) / 2 = picture column 350, at 300 % drawn at -950 + 1050 = 100
        {"off centre, 200 to 300 %", at200, 13, 100, 100, true, -950, -350},
        {"near the start stops at the margin", {15, 15, 2000, 1000}, 11, 400, 300, true, 15, 15},
        {"no bar: stays centred", {-350, -75, 1500, 750}, 10, 100, 100, true, -200, 50},
        {"nothing drawn before", {}, 13, 100, 100, false, -1100, -450},
        {"one pixel drawn: at the margin", {400, 300, 1, 1}, 13, 400, 300, true, 15, 15}};
    for (const auto& [name, before, zoomIndex, x, y, moved, drawX, drawY] : cases) {
        ImageInfo info = laidOut(1000, 500, zoomIndex);
        EXPECT_EQ(keepPointUnderZoom(info, before, x, y), moved) << name;
        EXPECT_EQ(std::pair(info.drawX, info.drawY), std::pair(drawX, drawY)) << name;
        EXPECT_EQ(info.state, moved ? kStateScrolled : kStateZoom) << name;
    }
}

// Key and shift; handled, repaint, drawX, drawY and both thumb positions after.
TEST(ViewLayout, ViewKeysWithBothBarsShown) {
    using K = ViewKey;
    const std::tuple<ViewKey, bool, std::array<int, 6>> cases[] = {
        {K::Home, true, {1, 1, 15, 15, 0, 0}},
        {K::End, true, {1, 1, -1230, -430, 485, 251}},
        {K::Home, false, {0, 0, -600, -200, 242, 125}},
        {K::Left, false, {1, 1, -573, -200, 226, 125}},
        {K::Right, false, {1, 1, -634, -200, 250, 125}},
        {K::Up, false, {1, 1, -600, -187, 242, 109}},
        {K::PageDown, false, {1, 1, -600, -430, 242, 474}},
        {K::Other, true, {0, 0, -600, -200, 242, 125}}};
    for (const auto& [key, shift, after] : cases) {
        Zoomed200 z;
        const KeyResult r = handleViewKey(z.info, z.scroll, key, shift);
        EXPECT_EQ((std::array{int(r.handled), int(r.repaint), z.info.drawX, z.info.drawY,
                              z.scroll.horizontal.position, z.scroll.vertical.position}),
                  after)
            << int(key);
    }
    Zoomed200 z; // at the horizontal end only: End still moves down
    z.info.drawX = -1230;
    EXPECT_TRUE(handleViewKey(z.info, z.scroll, ViewKey::End, true).repaint);
    EXPECT_EQ(z.info.drawY, -430);
    const KeyResult atEnds = handleViewKey(z.info, z.scroll, ViewKey::End, true);
    EXPECT_TRUE(atEnds.handled && !atEnds.repaint); // at both ends: handled without a repaint
    // already at the start: handled without a repaint
    handleViewKey(z.info, z.scroll, ViewKey::Home, true);
    z.info.state = kStateZoom;
    EXPECT_FALSE(handleViewKey(z.info, z.scroll, ViewKey::Home, true).repaint);
    EXPECT_EQ(z.info.state, kStateZoom);
    ImageInfo small = laidOut(100, 50); // without bars every view key is consumed
    for (int key = 0; key < int(ViewKey::Other); ++key) {
        const KeyResult result = handleViewKey(small, z.scroll, ViewKey(key), true);
        EXPECT_TRUE(result.handled && !result.repaint) << key;
    }
    EXPECT_EQ(small.drawX * 1000 + small.state, 350 * 1000 + kStateZoom);
    for (ImageInfo one : {laidOut(1000, 100), laidOut(100, 1000)}) { // one bar is enough for Home
        EXPECT_TRUE(handleViewKey(one, z.scroll, ViewKey::Home, true).repaint);
        EXPECT_EQ(std::min(one.drawX, one.drawY), 15);
    }
    EXPECT_EQ(viewRect(640, 400), (Rect{0, 0, 640, 375}));
    EXPECT_EQ(progressBarRect(803), (Rect{80, 11, 642, 11}));
}

// A paint lays the picture out, shows its size, keeps a known depth; after Close all of it goes.
TEST(ViewPaint, RecordsTheLoadedPictureAndLaysItOut) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.currentInfo.state = kStateZoom;
    ViewScroll scroll;
    for (int bits : {1, 4, 8, 24, 32, 16}) {
        const LoadedPicture loaded{1000, 500, bits};
        paintViewModel(session, scroll, &loaded, 800, 600);
        EXPECT_EQ(session.currentInfo.bitsPerPixel, bits == 16 ? 32 : bits);
    }
    EXPECT_EQ(drawn(session.currentInfo), (Rect{-100, 50, 1000, 500}));
    EXPECT_EQ(scroll.horizontal, (ScrollRecord{0, 800, 621, 89})); // 800 * 800 / 1030, 115 * …
    EXPECT_EQ(frontend.statusTexts.back(), "    width x height : 1000 x 500, bits per pixel : 32");
    session.currentInfo.state = kStateNoPicture;
    paintViewModel(session, scroll, nullptr, 0, 0);
    EXPECT_EQ(bars(session.currentInfo) * 100 + session.currentInfo.clientWidth, 800);
    EXPECT_EQ(frontend.statusTexts.back(), "");
    // The pixels come top row first, as seen.
    test::TempDir dir;
    const DibImage image =
        test::makeTrueColorImage(2, 2, [](int x, int y) { return 2u * y + x + 1; });
    std::string error;
    ASSERT_TRUE(imageio::savePicture(dir / "v.png", image, "image/png", 100, 24, error)) << error;
    std::vector<std::uint32_t> argb;
    LoadedPicture loaded;
    ASSERT_TRUE(loadViewPixels((dir / "v.png").string(), argb, loaded));
    EXPECT_EQ(argb, (std::vector<std::uint32_t>{0xFF000003, 0xFF000004, 0xFF000001, 0xFF000002}));
    EXPECT_EQ(std::tuple(loaded.width, loaded.height, loaded.bitsPerPixel), std::tuple(2, 2, 24));
    EXPECT_FALSE(loadViewPixels((dir / "none.png").string(), argb, loaded));
}

using Edges = std::vector<std::int32_t>; // left, top, right, bottom, width, height
Edges edgesOf(const ParameterBlock& b) {
    Edges edges(b.windowRect, b.windowRect + 4);
    edges.insert(edges.end(), {std::int32_t(b.windowWidth), std::int32_t(b.windowHeight)});
    return edges;
}
ParameterBlock stored(const Edges& edges) {
    ParameterBlock block = defaultParameterBlock();
    std::copy(edges.begin(), edges.begin() + 4, block.windowRect);
    std::tie(block.windowWidth, block.windowHeight) =
        std::pair(std::uint32_t(edges[4]), std::uint32_t(edges[5]));
    return block;
}

TEST(WindowTitle, TitleAndZoomCheckFromTheDialogRecord) {
    const std::tuple<std::int32_t, int, const char*, const char*, int> cases[] = {
        {kStateZoom, 10, "/home/user/pictures/cat.jpg", "vellora -- cat.jpg, 100 %", 230},
        {kStateZoom, 0, "/tmp/a.b/mosaic.png", "vellora -- mosaic.png, 5 %", 220},
        {kStateScrolled, 20, "cat.jpg", "vellora -- cat.jpg, 1000 %", 240},
        {kStateFit, 3, "/p/x.gif", "vellora -- x.gif, 30 %", 223},
        {kStateSaved, 12, "/p/saved.png", "vellora -- saved.png, 200 %", -1},
        {kStateZoom, 21, "/p/past.png", "vellora -- past.png, 0 %", -1}, // past the last item
        {kStateNoPicture, 10, "/p/closed.jpg", "vellora", -1}};
    for (const auto& [state, zoomIndex, path, title, checked] : cases) {
        const ImageInfo info = picture(0, 0, state, zoomIndex);
        EXPECT_EQ(windowTitle(info, path), title);
        EXPECT_EQ(checkedZoomItem(info), checked) << title;
    }
}

TEST(WindowPlacement, DamagedRectanglesComeBackOnAScreen) {
    // A 1920 x 1080 primary screen with a 1280 x 1024 one to its right.
    const std::array<ScreenArea, 2> screens{{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}}};
    const Edges firstRun{640, 300, 1280, 780, 640, 480};
    const std::pair<Edges, Edges> cases[] = {
        {{2000, 100, 2600, 700, 1, 1}, {2000, 100, 2600, 700, 1, 1}}, // on a screen: kept
        {{-500, 900, 140, 1380, 1, 1}, {-500, 900, 140, 1380, 1, 1}}, // enough of it showing
        {{-31072, -31072, -30432, -30592, 1, 1}, firstRun},
        {{500, 500, 100, 100, 1, 1}, firstRun}, // right of left
        {{INT_MIN, 0, INT_MAX, 600, 1, 1}, {0, 0, 1920, 600, 1920, 600}},
        {{1800, -50, 3100, 1100, 1, 1}, {1920, 0, 3200, 1024, 1280, 1024}}, // most on the second
        {{100, -50, 2020, 1100, 1, 1}, {100, 0, 2020, 1080, 1920, 1080}},   // as wide as the screen
        {{10, 10, 11, 11, 1, 1}, {10, 10, 11, 11, 1, 1}}, // a single pixel shows enough of it
        {{5000, 5000, 5001, 5001, 1, 1}, firstRun}};
    for (const auto& [before, after] : cases) {
        ParameterBlock block = stored(before);
        fitWindowToScreens(block, screens);
        EXPECT_EQ(edgesOf(block), after) << before[0] << ", " << before[1];
    }
    ParameterBlock block = stored({-99999, -99999, -99999, -99999, 0, 0});
    fitWindowToScreens(block, std::array<ScreenArea, 1>{{{0, 0, 320, 240}}});
    EXPECT_EQ(edgesOf(block), (Edges{0, 0, 320, 240, 320, 240})); // first run cut to the screen
    block = stored({100, 0, 0, 0, 0, 0}); // the first-run size keeps a left edge it is given
    applyWindowGeometryDefaults(block, 1920, 1080);
    EXPECT_EQ(edgesOf(block), (Edges{100, 300, 740, 780, 640, 480}));
}

} // namespace
} // namespace vellora

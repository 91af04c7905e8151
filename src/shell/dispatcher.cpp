#include "shell/dispatcher.h"

#include "core/errors.h"
#include "core/failureCause.h"
#include "core/history.h"
#include "core/intermediateFiles.h"
#include "shell/commandTable.h"
#include "shell/windowTitle.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace vellora {

namespace {

constexpr int kZoomIndexLast = kCmdZoomLast - kCmdZoomFirst;

// The picture's name with everything after its last dot replaced by `suffix` ("." and the
// suffix appended when the name has no dot but a leading one, as ".plan").
std::string pathWithSuffix(const std::string& picturePath, const std::string& suffix) {
    const std::size_t nameStart = picturePath.find_last_of('/') + 1; // npos + 1 == 0
    const std::size_t dot = picturePath.find_last_of('.');
    if (dot == std::string::npos || dot <= nameStart) return picturePath + "." + suffix;
    return picturePath.substr(0, dot + 1) + suffix;
}

void setBothStates(Session& session, std::int32_t state) {
    session.currentInfo.state = state;
    session.dialogInfo.state = state;
}

} // namespace

void ShellServices::setHandler(int commandId, Handler h) {
    if (commandId >= kFirstCommandId && commandId <= kLastCommandId)
        handlers[std::size_t(commandId - kFirstCommandId)] = h;
}

Handler ShellServices::handler(int commandId) const {
    if (commandId < kFirstCommandId || commandId > kLastCommandId) return nullptr;
    return handlers[std::size_t(commandId - kFirstCommandId)];
}

Dispatcher::Dispatcher(Session& session, ShellWindow& window, ShellServices services)
    : session_(session), window_(window), services_(services) {}

void Dispatcher::initialise() {
    session_.dialogInfo = ImageInfo{};
    session_.currentInfo = session_.dialogInfo;
    clearHistory(session_);
    setMenuState(kMenuNone, 0);
    state_.tableAvailable = false;
    updateTitle();
}

bool Dispatcher::dispatch(int commandId) {
    const CommandSpec* command = findCommand(commandId);
    if (command == nullptr) return false;
    if (!state_.commands.enabled(commandId)) return true; // grayed: not carried out
    forgetFailureCause();
    using K = CommandKind;
    switch (command->kind) {
    case K::HiddenMenu:
        hiddenMenu();
        break;
    case K::Open:
        open();
        break;
    case K::Close:
        closePicture();
        break;
    case K::Save:
        save();
        break;
    case K::SaveAs:
        saveAs();
        break;
    case K::Exit:
        exitProgram();
        break;
    case K::FitWindow:
        fitWindow();
        break;
    case K::ZoomUp:
        if (session_.dialogInfo.zoomIndex < kZoomIndexLast)
            zoomTo(session_.dialogInfo.zoomIndex + 1);
        break;
    case K::ZoomDown:
        if (session_.dialogInfo.zoomIndex > 0) zoomTo(session_.dialogInfo.zoomIndex - 1);
        break;
    case K::ZoomTo:
        zoomTo(commandId - kCmdZoomFirst);
        break;
    case K::Undo:
        undoCommand();
        break;
    case K::DialogOperation:
        runDialogOperation(*command);
        break;
    case K::RotateFlip:
        runRotateFlip(command->turns, command->flip);
        break;
    case K::ExpressTable:
        expressTable();
        break;
    case K::SaveCsv:
        saveCsv();
        break;
    case K::SheetSetup:
        sheetSetup();
        break;
    case K::SaveChart:
        saveSheetFile(FileChooserKind::SaveChart, "pdf", services_.saveChart);
        break;
    case K::SaveShoppingList:
        saveSheetFile(FileChooserKind::SaveShoppingList, "shopping.csv",
                      services_.saveShoppingList);
        break;
    case K::About:
        window_.showAbout(kAboutLine);
        break;
    }
    return true;
}

void Dispatcher::setMenuState(int menuState, int undoCount) {
    state_.menuState = menuState;
    updateMenus(state_.commands, menuState, undoCount);
    window_.setCommandsEnabled(state_.commands);
}

void Dispatcher::updateTitle() {
    window_.setTitle(windowTitle(session_.dialogInfo, session_.picturePath));
    window_.setZoomCheck(checkedZoomItem(session_.dialogInfo));
}

void Dispatcher::finishOperation(int menuState) {
    window_.repaintView();
    updateTitle();
    setMenuState(menuState, session_.history.historyDepth);
}

void Dispatcher::mergeDefaults() {
    if (services_.mergeSavedDefaults) services_.mergeSavedDefaults(session_);
}

void Dispatcher::runDialogOperation(const CommandSpec& command) {
    const int commandId = command.id;
    session_.dialogInfo = session_.currentInfo;
    if (!window_.runDialog(commandId, session_)) return;
    mergeDefaults();
    if (command.nothingToDo && command.nothingToDo(session_.workingBlock)) return;
    const Handler handler = services_.handler(commandId);
    if (handler == nullptr) {
        showError(session_.frontend, operationTraits(command.operation).failureText);
        return;
    }
    if (runCommandHandler(session_, handler) != 0) return;
    const bool tiling = commandId == kCmdTiling;
    finishOperation(tiling ? kMenuTiled : kMenuModified);
    if (tiling) state_.tableAvailable = true;
}

void Dispatcher::runRotateFlip(int turns, int flip) {
    // Without a fresh name the result could overwrite a file undo still needs.
    if (nextIntermediatePath(session_, session_.nextPath) != 0) return;
    if (!services_.rotateFlipPicture) {
        showError(session_.frontend, operationTraits(Operation::RotateFlip).failureText);
        return;
    }
    if (services_.rotateFlipPicture(session_, turns, flip) != 0) return;
    pushHistory(session_);
    finishOperation(kMenuModified);
}

bool Dispatcher::askSaveChanges() {
    if (!session_.modified()) return true;
    switch (window_.askSaveChanges(fileNamePart(session_.picturePath))) {
    case SaveChangesAnswer::Cancel:
        return false;
    case SaveChangesAnswer::No:
        return true;
    case SaveChangesAnswer::Yes:
        break;
    }
    // A failed save keeps the changes and the command stops, rather than losing them.
    return save();
}

void Dispatcher::open() {
    if (!askSaveChanges()) return;
    std::string path = session_.picturePath;
    if (!window_.chooseFile(FileChooserKind::Open, path)) return;
    if (!services_.openPicture) {
        showError(session_.frontend, "failed to open the image file not supported");
        return;
    }
    const auto repaint = [this](Session&) { window_.repaintView(); };
    if (services_.openPicture(session_, path, repaint) != 0) return;
    state_.menuState = kMenuOpened;
    updateTitle();
    setMenuState(kMenuOpened, 0);
}

void Dispatcher::afterSave() {
    state_.menuState = kMenuSaved;
    updateTitle();
    clearHistory(session_);
    setMenuState(kMenuSaved, 0);
}

bool Dispatcher::save() {
    if (services_.savePicture == nullptr) {
        showError(session_.frontend, operationTraits(Operation::Save).failureText);
        return false;
    }
    if (services_.savePicture(session_) != 0) return false;
    afterSave();
    return true;
}

void Dispatcher::saveAs() {
    std::string path = session_.saveAsPath;
    if (!window_.chooseFile(FileChooserKind::SaveAs, path)) return;
    session_.saveAsPath = path;
    if (services_.savePictureAs == nullptr) {
        showError(session_.frontend, operationTraits(Operation::Save).failureText);
        return;
    }
    // A failed save leaves the history as it is, so the changes are still asked about.
    if (services_.savePictureAs(session_) != 0) return;
    afterSave();
}

void Dispatcher::closePicture() {
    if (!askSaveChanges()) return;
    setBothStates(session_, kStateNoPicture);
    session_.currentPath.clear();
    window_.repaintView();
    state_.menuState = kMenuNone;
    updateTitle();
    clearHistory(session_);
    setMenuState(kMenuNone, 0);
}

void Dispatcher::exitProgram() {
    if (session_.modified()) {
        switch (window_.askSaveChanges(fileNamePart(session_.picturePath))) {
        case SaveChangesAnswer::Cancel:
            return;
        case SaveChangesAnswer::Yes:
            if (!save()) return; // the changes stay; the program keeps running
            break;
        case SaveChangesAnswer::No:
            clearHistory(session_);
            break;
        }
    } else {
        if (!window_.confirmExit()) return;
        clearHistory(session_);
    }
    window_.requestClose();
}

bool Dispatcher::closeRequest() {
    if (!askSaveChanges()) return false;
    nextIntermediatePath(session_, session_.currentPath);
    cleanIntermediateFiles(session_);
    if (services_.saveParameterFile) services_.saveParameterFile(session_);
    return true;
}

void Dispatcher::fitWindow() {
    setBothStates(session_, kStateFit);
    window_.repaintView();
    session_.dialogInfo.zoomIndex = session_.currentInfo.zoomIndex;
    setBothStates(session_, kStateZoom);
    updateTitle();
    setMenuState(state_.menuState, session_.history.historyDepth);
}

void Dispatcher::zoomTo(int index) {
    session_.currentInfo.zoomIndex = index;
    session_.dialogInfo.zoomIndex = index;
    setBothStates(session_, kStateZoom);
    window_.repaintView();
    updateTitle();
    setMenuState(state_.menuState, session_.history.historyDepth);
}

void Dispatcher::undoCommand() {
    if (undo(session_)) {
        window_.repaintView();
        updateTitle();
    }
    setMenuState(kMenuUndone, session_.history.historyDepth);
}

void Dispatcher::expressTable() {
    if (window_.textPaneShown()) {
        window_.showTextPane(false);
        setMenuState(kMenuTiled, session_.history.historyDepth);
        return;
    }
    window_.showTextPane(true);
    if (!state_.tableAvailable) {
        setMenuState(kMenuTableShown, 0);
        return;
    }
    std::string text;
    const bool built = services_.buildTableText && services_.buildTableText(session_, text) == 0;
    if (!built) {
        if (!services_.buildTableText)
            showError(session_.frontend, operationTraits(Operation::ExpressTable).failureText);
        // The pane would show an older table as if it were this picture's; the view returns.
        window_.showTextPane(false);
        return;
    }
    window_.setTableText(text);
    setMenuState(kMenuTableShown, 0);
    state_.tableAvailable = false;
}

void Dispatcher::saveCsv() {
    std::string path = pathWithSuffix(session_.picturePath, "csv");
    if (!window_.chooseFile(FileChooserKind::SaveCsv, path)) return;
    if (services_.saveTableCsv == nullptr) {
        showError(session_.frontend, operationTraits(Operation::SaveCsv).failureText);
        return;
    }
    // The table writer reads its destination from saveAsPath, which is also what Save As offers
    // for the picture: the CSV name is lent only for the write, so Save As keeps offering the
    // picture's own name and extension.
    const std::string pictureSuggestion = std::exchange(session_.saveAsPath, path);
    services_.saveTableCsv(session_);
    session_.saveAsPath = pictureSuggestion;
}

void Dispatcher::sheetSetup() {
    if (window_.runDialog(kCmdSheetSetup, session_) && services_.keepSheetSettings)
        services_.keepSheetSettings(session_);
}

void Dispatcher::saveSheetFile(FileChooserKind kind, const char* suffix,
                               const ShellServices::SaveSheetFile& save) {
    std::string path = pathWithSuffix(session_.picturePath, suffix);
    if (!window_.chooseFile(kind, path)) return;
    if (!save) {
        showError(session_.frontend, "failed to save the build sheet");
        return;
    }
    save(session_, path);
}

void Dispatcher::hiddenMenu() {
    if (window_.runDialog(kCmdHiddenMenu, session_)) mergeDefaults();
}

} // namespace vellora

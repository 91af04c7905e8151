#pragma once
// The command dispatcher of the main window, free of any widget toolkit: it runs each command's
// dialog and handler inside the operation frame and keeps the menu state, the title, the zoom
// check mark and the text pane in step. The window it drives is behind ShellWindow, and the
// picture and table work behind ShellServices, so tests can run every command without a display.
#include "core/operationFrame.h"
#include "core/session.h"
#include "shell/commandTable.h"
#include "shell/menuState.h"

#include <array>
#include <functional>
#include <string>

namespace vellora {

enum class SaveChangesAnswer { Cancel, No, Yes };
enum class FileChooserKind { Open, SaveAs, SaveCsv, SaveChart, SaveShoppingList };

// What the dispatcher needs from the main window.
class ShellWindow {
  public:
    virtual ~ShellWindow() = default;
    // Paints the image view at once (which reloads currentPath and lays it out).
    virtual void repaintView() = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual void setCommandsEnabled(const CommandSet& commands) = 0;
    // Checks zoom item `commandId` and unchecks the others; -1 unchecks all.
    virtual void setZoomCheck(int commandId) = 0;
    virtual bool textPaneShown() const = 0;
    // true: the text pane replaces the view; false: the reverse.
    virtual void showTextPane(bool shown) = 0;
    virtual void setTableText(const std::string& text) = 0;
    // Edits `path` in place; false when cancelled (then `path` is unchanged).
    virtual bool chooseFile(FileChooserKind kind, std::string& path) = 0;
    virtual SaveChangesAnswer askSaveChanges(const std::string& fileName) = 0;
    // "are you sure to exit the program?": true for "okay".
    virtual bool confirmExit() = 0;
    virtual void showAbout(const std::string& line) = 0;
    // The command's dialog, started from the working block; true for OK. A command without a
    // dialog of its own yet answers true and runs from the working block as it is.
    virtual bool runDialog(int commandId, Session& session) = 0;
    // Sends the close request to the main window (which calls Dispatcher::closeRequest).
    virtual void requestClose() = 0;
};

// The picture and table work the commands call; any entry may be empty while its module is
// missing, and a command whose entry is empty fails with its own failure text.
struct ShellServices {
    using Repaint = std::function<void(Session&)>;
    // Open after its dialog: probe, first intermediate file, `repaint` once it exists, the
    // picture states and an empty history. 0 when the picture was opened; otherwise the session
    // is as it was and the dispatcher leaves the title and menus alone.
    std::function<int(Session&, const std::string& path, const Repaint& repaint)> openPicture;
    // Save and Save As handlers (the frame and "failed to save a file" included).
    Handler savePicture = nullptr;
    Handler savePictureAs = nullptr;
    // Quarter turns and flips, frame included; the dispatcher has set nextPath.
    std::function<int(Session&, int turns, int flip)> rotateFlipPicture;
    // Express Table: the table text of the current (tiled) picture; 0 on success.
    std::function<int(Session&, std::string& text)> buildTableText;
    // SaveAs CSV File: the table written to saveAsPath; 0 on success.
    Handler saveTableCsv = nullptr;
    // Save Chart and Save Shopping List: the build sheet's file at `path`; 0 on success.
    using SaveSheetFile = std::function<int(Session&, const std::string& path)>;
    SaveSheetFile saveChart;
    SaveSheetFile saveShoppingList;
    // Sheet Setup after OK: the sheet settings kept and the tile line taken; 0 on success.
    std::function<int(Session&)> keepSheetSettings;
    // The flagged groups of the working block into the saved block.
    std::function<void(Session&)> mergeSavedDefaults;
    // At exit, once the intermediate files are gone; 0 on success.
    std::function<int(Session&)> saveParameterFile;
    // Operation handlers by command id (200 … 300); null where none exists yet.
    std::array<Handler, 101> handlers{};

    void setHandler(int commandId, Handler handler);
    Handler handler(int commandId) const;
};

struct ShellState {
    int menuState = kMenuNone;
    bool tableAvailable = false;
    CommandSet commands;
};

inline constexpr const char* kAboutLine = "vellora version 0.1.0";

class Dispatcher {
  public:
    Dispatcher(Session& session, ShellWindow& window, ShellServices services);

    // The main window's creation: the picture state, menus and table flag as at start.
    void initialise();
    // A command id from the menu or a key. Returns false for ids outside 200 … 300 and unknown
    // ids (default handling); a grayed command is swallowed without doing anything.
    bool dispatch(int commandId);
    // The close request: asks to save changes, then cleans the intermediate files and writes
    // the parameter file. Returns whether the window may be destroyed.
    bool closeRequest();
    // The success steps of an operation: undo step already pushed by the frame; repaint,
    // title, menus.
    void finishOperation(int menuState);
    void updateTitle();
    void setMenuState(int menuState, int undoCount);

    const ShellState& state() const { return state_; }

  private:
    bool askSaveChanges();
    void runDialogOperation(const CommandSpec& command);
    void runRotateFlip(int turns, int flip);
    void open();
    bool save();
    void saveAs();
    void closePicture();
    void exitProgram();
    void fitWindow();
    void zoomTo(int index);
    void undoCommand();
    void expressTable();
    void saveCsv();
    void sheetSetup();
    void saveSheetFile(FileChooserKind kind, const char* suffix,
                       const ShellServices::SaveSheetFile& save);
    void hiddenMenu();
    void afterSave();
    void mergeDefaults();

    Session& session_;
    ShellWindow& window_;
    ShellServices services_;
    ShellState state_;
};

} // namespace vellora

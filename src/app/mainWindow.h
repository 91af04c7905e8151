#pragma once
// The main window: menu bar and shortcuts built from the command table, the image view and the
// text pane in the client area, the status bar with its progress bar, and the dispatcher that
// carries out every command.
#include "app/imageView.h"
#include "app/prompter.h"
#include "app/qtFrontend.h"
#include "core/session.h"
#include "shell/dispatcher.h"

#include <QMainWindow>

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QAction;
class QPlainTextEdit;
class QProgressBar;

namespace vellora::app {

class DesignTools;

// A command's dialog, started from the working block; true for OK.
using DialogFactory = std::function<bool(QWidget* owner, int commandId, Session& session)>;

struct MainWindowOptions {
    std::filesystem::path parameterFile;
    // Answers the boxes and file choosers; the window's own QtPrompter when null.
    Prompter* prompter = nullptr;
    // The one screen the window opens on; the screens there are when unset.
    std::optional<QSize> screenSize;
    // Dialogs by command id; a command without one runs from the working block as it is.
    std::map<int, DialogFactory> dialogs;
};

// The client size that makes a window of `outer` size once `frame` (its outer size less the
// client's) is around it; at least 1 x 1.
QSize clientSizeFor(QSize outer, QSize frame);

class MainWindow final : public QMainWindow, public ShellWindow {
    Q_OBJECT
  public:
    explicit MainWindow(MainWindowOptions options);
    ~MainWindow() override;

    // Shows the window at the rectangle of the saved block (outer edges, frame included).
    void showAtSavedGeometry();

    Session& session() { return *session_; }
    const ShellState& shellState() const { return dispatcher_->state(); }
    ImageView* imageView() const { return view_; }
    QPlainTextEdit* textPane() const { return textPane_; }
    QProgressBar* progressBar() const { return progressBar_; }
    // The action of a command id (the hidden menu's too), or null.
    QAction* commandAction(int commandId) const;
    // Runs a command as its menu item or key would.
    void runCommand(int commandId);
    Dispatcher& dispatcher() { return *dispatcher_; }
    DesignTools* designTools() const { return designTools_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    QAction* makeAction(int commandId);
    void buildClientArea();
    void placeProgressBar();
    ShellServices services();
    // "vellora.sheet" beside the parameter file.
    std::filesystem::path sheetSettingsPath() const;

    // ShellWindow
    void repaintView() override;
    void setTitle(const std::string& title) override;
    void setCommandsEnabled(const CommandSet& commands) override;
    void setZoomCheck(int commandId) override;
    bool textPaneShown() const override;
    void showTextPane(bool shown) override;
    void setTableText(const std::string& text) override;
    bool chooseFile(FileChooserKind kind, std::string& path) override;
    SaveChangesAnswer askSaveChanges(const std::string& fileName) override;
    bool confirmExit() override;
    void showAbout(const std::string& line) override;
    bool runDialog(int commandId, Session& session) override;
    void requestClose() override;

    MainWindowOptions options_;
    QtFrontend frontend_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<QtPrompter> ownPrompter_;
    Prompter* prompter_ = nullptr;
    std::unique_ptr<Dispatcher> dispatcher_;
    ImageView* view_ = nullptr;
    QPlainTextEdit* textPane_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    std::array<QAction*, 101> actions_{};
    DesignTools* designTools_ = nullptr;
    bool busy_ = false;    // a command is running: no other input is taken
    bool closing_ = false; // the close request was granted
};

} // namespace vellora::app

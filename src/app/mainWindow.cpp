#include "app/mainWindow.h"

#include "app/designTools.h"
#include "shell/commandTable.h"
#include "shell/parameterFile.h"
#include "shell/sheetSetup.h"
#include "shell/shellServices.h"
#include "shell/windowGeometry.h"
#include "shell/windowTitle.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>

#include <vector>

namespace vellora::app {

namespace {

QKeySequence keySequence(const CommandKey& key) {
    if (key.key == 0) return {};
    const int modifiers = int(Qt::CTRL) | (key.shift ? int(Qt::SHIFT) : 0);
    // Qt's key codes of letters and digits are their upper-case characters.
    return QKeySequence(modifiers | int(key.key));
}

struct KeyMapping {
    int qtKey;
    ViewKey viewKey;
};

constexpr KeyMapping kViewKeys[] = {
    {Qt::Key_PageUp, ViewKey::PageUp}, {Qt::Key_PageDown, ViewKey::PageDown},
    {Qt::Key_Up, ViewKey::Up},         {Qt::Key_Down, ViewKey::Down},
    {Qt::Key_Left, ViewKey::Left},     {Qt::Key_Right, ViewKey::Right},
    {Qt::Key_Home, ViewKey::Home},     {Qt::Key_End, ViewKey::End},
};

ViewKey viewKeyOf(int qtKey) {
    for (const KeyMapping& mapping : kViewKeys)
        if (mapping.qtKey == qtKey) return mapping.viewKey;
    return ViewKey::Other;
}

ScreenArea areaOf(const QRect& rect) {
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

// The screens the window may open on, the primary one first; the given size alone when set.
std::vector<ScreenArea> screenAreas(const std::optional<QSize>& given) {
    if (given) return {ScreenArea{.width = given->width(), .height = given->height()}};
    std::vector<ScreenArea> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr) areas.push_back(areaOf(primary->geometry()));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary) areas.push_back(areaOf(screen->geometry()));
    if (areas.empty()) // no screen at all: one as large as the first-run window
        areas.push_back({.width = kDefaultWindowWidth, .height = kDefaultWindowHeight});
    return areas;
}

} // namespace

QSize clientSizeFor(QSize outer, QSize frame) {
    return {std::max(1, outer.width() - frame.width()),
            std::max(1, outer.height() - frame.height())};
}

MainWindow::MainWindow(MainWindowOptions options)
    : options_(std::move(options)), session_(std::make_unique<Session>(frontend_)) {
    prompter_ = options_.prompter;
    if (prompter_ == nullptr) {
        ownPrompter_ = std::make_unique<QtPrompter>(this);
        prompter_ = ownPrompter_.get();
    }
    const std::vector<ScreenArea> screens = screenAreas(options_.screenSize);
    loadStartupParameters(*session_, options_.parameterFile, [&screens](ParameterBlock& saved) {
        applyWindowGeometryDefaults(saved, screens.front().width, screens.front().height);
        fitWindowToScreens(saved, screens);
    });
    setWindowTitle(kProgramName);
    setWindowIcon(QIcon(":/vellora/vellora.png"));
    buildClientArea();
    buildMenus();
    dispatcher_ = std::make_unique<Dispatcher>(*session_, *this, services());
    dispatcher_->initialise();
    // After the client area: a damaged file's message needs the prompter.
    if (loadSessionSheetSettings(*session_, sheetSettingsPath()) == 0 &&
        !session_->design.tileLinePath.empty())
        applyDesignTileLine(*session_);
    designTools_ = new DesignTools(*this);
}

MainWindow::~MainWindow() {
    // The frontend must not reach widgets that are being destroyed.
    frontend_.attach(nullptr, nullptr, nullptr);
}

ShellServices MainWindow::services() {
    ShellServices services = defaultShellServices();
    services.saveParameterFile = [this](Session& session) {
        const QRect outer = frameGeometry();
        const WindowRectangle rect{outer.left(), outer.top(), outer.left() + outer.width(),
                                   outer.top() + outer.height()};
        const int sheetSaved = saveSessionSheetSettings(session, sheetSettingsPath());
        return saveSessionParameters(session, options_.parameterFile, rect) | sheetSaved;
    };
    services.keepSheetSettings = [this](Session& session) {
        const int saved = saveSessionSheetSettings(session, sheetSettingsPath());
        return applyDesignTileLine(session) | saved;
    };
    return services;
}

std::filesystem::path MainWindow::sheetSettingsPath() const {
    return sheetSettingsPathBeside(options_.parameterFile);
}

void MainWindow::showAtSavedGeometry() {
    const ParameterBlock& saved = session_->savedBlock;
    const int left = saved.windowRect[0];
    const int top = saved.windowRect[1];
    const QSize outer(saved.windowRect[2] - left, saved.windowRect[3] - top);
    resize(clientSizeFor(outer, QSize(0, 0)));
    move(left, top);
    show();
    // The stored rectangle is the outer one: take the frame off once the window has one.
    resize(clientSizeFor(outer, frameGeometry().size() - size()));
    move(left, top);
}

void MainWindow::buildClientArea() {
    auto* client = new QWidget(this);
    client->setObjectName("clientArea");
    view_ = new ImageView(*session_, client);
    connect(view_, &ImageView::commandRequested, this, &MainWindow::runCommand);
    textPane_ = new QPlainTextEdit(client);
    textPane_->setObjectName("textPane");
    textPane_->setProperty("controlId", 112);
    textPane_->setReadOnly(true);
    textPane_->setLineWrapMode(QPlainTextEdit::NoWrap);
    textPane_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textPane_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(10);
    textPane_->setFont(fixed);
    textPane_->hide();
    client->installEventFilter(this);
    setCentralWidget(client);

    QStatusBar* status = statusBar();
    status->setObjectName("statusBar");
    status->setProperty("controlId", 113);
    status->setFixedHeight(kStatusBarHeight);
    status->setSizeGripEnabled(true);
    QLabel* statusText = addStatusText(*status);
    progressBar_ = new QProgressBar(status);
    progressBar_->setObjectName("progressBar");
    progressBar_->setRange(0, 100);
    progressBar_->setTextVisible(false);
    progressBar_->hide();
    status->installEventFilter(this);
    frontend_.attach(prompter_, statusText, progressBar_);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == centralWidget()) {
            const QRect area = centralWidget()->rect();
            view_->setGeometry(area);
            textPane_->setGeometry(area);
        } else if (watched == statusBar()) {
            placeProgressBar();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::placeProgressBar() {
    const Rect r = progressBarRect(statusBar()->width());
    progressBar_->setGeometry(r.x, r.y, r.width, r.height);
}

QAction* MainWindow::makeAction(int commandId) {
    const CommandSpec* command = findCommand(commandId);
    auto* action = new QAction(QString::fromStdString(menuItemText(*command)), this);
    action->setObjectName(QString("command%1").arg(commandId));
    action->setProperty("commandId", commandId);
    action->setShortcut(keySequence(command->key));
    action->setShortcutContext(Qt::WindowShortcut);
    if (command->kind == CommandKind::ZoomTo) action->setCheckable(true);
    connect(action, &QAction::triggered, this, [this, commandId] { runCommand(commandId); });
    actions_[std::size_t(commandId - kFirstCommandId)] = action;
    return action;
}

void MainWindow::buildMenus() {
    std::vector<QMenu*> open;
    for (const MenuEntry& entry : menuLayout()) {
        switch (entry.kind) {
        case MenuEntryKind::BeginMenu: {
            const QString title =
                QString::fromUtf8(entry.text.data(), qsizetype(entry.text.size()));
            open.push_back(open.empty() ? menuBar()->addMenu(title) : open.back()->addMenu(title));
            break;
        }
        case MenuEntryKind::Item:
            open.back()->addAction(makeAction(entry.id));
            break;
        case MenuEntryKind::Separator:
            open.back()->addSeparator();
            break;
        case MenuEntryKind::EndMenu:
            open.pop_back();
            break;
        }
    }
    // The hidden menu has a key and no item.
    addAction(makeAction(kCmdHiddenMenu));
}

QAction* MainWindow::commandAction(int commandId) const {
    if (commandId < kFirstCommandId || commandId > kLastCommandId) return nullptr;
    return actions_[std::size_t(commandId - kFirstCommandId)];
}

void MainWindow::runCommand(int commandId) {
    if (busy_ || closing_) return; // one command at a time
    busy_ = true;
    dispatcher_->dispatch(commandId);
    busy_ = false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    // The close box while a command runs waits for it; Exit's own request comes from inside.
    if ((busy_ && event->spontaneous()) || !dispatcher_->closeRequest()) {
        event->ignore();
        return;
    }
    closing_ = true;
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const ViewKey key = viewKeyOf(event->key());
    if (!busy_ && key != ViewKey::Other && view_->isVisible()) {
        const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
        if (view_->handleKey(key, shift).handled) {
            event->accept();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::repaintView() {
    view_->repaintNow();
}

void MainWindow::setTitle(const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
}

void MainWindow::setCommandsEnabled(const CommandSet& commands) {
    for (const CommandSpec& command : commandTable())
        if (QAction* action = commandAction(command.id))
            action->setEnabled(commands.enabled(command.id));
}

void MainWindow::setZoomCheck(int commandId) {
    for (int id = kCmdZoomFirst; id <= kCmdZoomLast; ++id)
        if (QAction* action = commandAction(id)) action->setChecked(id == commandId);
}

bool MainWindow::textPaneShown() const {
    return !textPane_->isHidden();
}

void MainWindow::showTextPane(bool shown) {
    textPane_->setVisible(shown);
    view_->setVisible(!shown);
}

void MainWindow::setTableText(const std::string& text) {
    textPane_->setPlainText(QString::fromStdString(text));
}

bool MainWindow::chooseFile(FileChooserKind kind, std::string& path) {
    return prompter_->chooseFile(kind, path);
}

SaveChangesAnswer MainWindow::askSaveChanges(const std::string& fileName) {
    return prompter_->askSaveChanges(fileName);
}

bool MainWindow::confirmExit() {
    return prompter_->confirmExit();
}

void MainWindow::showAbout(const std::string& line) {
    prompter_->showAbout(line);
}

bool MainWindow::runDialog(int commandId, Session& session) {
    const auto found = options_.dialogs.find(commandId);
    if (found == options_.dialogs.end() || !found->second) return true;
    return found->second(this, commandId, session);
}

void MainWindow::requestClose() {
    close();
}

} // namespace vellora::app

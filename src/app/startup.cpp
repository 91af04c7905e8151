#include "app/startup.h"

#include "app/dialogRegistry.h"
#include "app/mainWindow.h"
#include "app/operationDialogs.h"
#include "shell/parameterFile.h"
#include "shell/shellSetup.h"

#include <QApplication>
#include <QDir>

namespace vellora::app {

QString singleInstanceLockPath() {
    return QDir::temp().filePath("vellora");
}

std::unique_ptr<QLockFile> takeSingleInstanceLock(const QString& path) {
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0); // only a lock whose process is gone counts as stale
    if (!lock->tryLock()) return nullptr;
    return lock;
}

int runProgram() {
    setUpShell();
    const std::unique_ptr<QLockFile> lock = takeSingleInstanceLock(singleInstanceLockPath());
    if (!lock) return 0; // another copy runs: end silently
    MainWindowOptions options;
    options.parameterFile = parameterFilePath();
    registerOperationDialogs();
    options.dialogs = dialogFactories();
    MainWindow window(std::move(options));
    window.showAtSavedGeometry();
    return QApplication::exec();
}

} // namespace vellora::app

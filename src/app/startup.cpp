#include "app/startup.h"

#include "app/mainWindow.h"
#include "shell/parameterFile.h"
#include "shell/shellSetup.h"

#include <QApplication>
#include <QDir>

namespace vellora::app {

std::unique_ptr<QLockFile> takeSingleInstanceLock() {
    auto lock = std::make_unique<QLockFile>(QDir::temp().filePath("vellora"));
    lock->setStaleLockTime(0); // only a lock whose process is gone counts as stale
    if (!lock->tryLock(0)) return nullptr;
    return lock;
}

int runProgram() {
    setUpShell();
    const std::unique_ptr<QLockFile> lock = takeSingleInstanceLock();
    if (!lock) return 0; // another copy runs: end silently
    MainWindowOptions options;
    options.parameterFile = parameterFilePath();
    MainWindow window(std::move(options));
    window.showAtSavedGeometry();
    return QApplication::exec();
}

} // namespace vellora::app

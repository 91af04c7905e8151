#pragma once
// The program's start: one copy at a time, the parameter file, the main window.
#include <QLockFile>
#include <QString>

#include <memory>

namespace vellora::app {

// The lock that keeps a second copy from starting; null when another copy holds it. A lock
// left by a run that crashed is taken over.
std::unique_ptr<QLockFile> takeSingleInstanceLock(const QString& path);
// "vellora" in the temporary directory.
QString singleInstanceLockPath();

// Runs the program inside an existing QApplication; returns the exit code.
int runProgram();

} // namespace vellora::app

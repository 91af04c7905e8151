#include "app/startup.h"
#include "core/simdLevel.h"

#include <QApplication>

int main(int argc, char** argv) {
    if (!vellora::simdEnvironmentAccepted(stderr)) return 2;
    QApplication application(argc, argv);
    QApplication::setApplicationName("vellora");
    // The desktop matches the window to its entry, and so to the icon, by this name.
    QGuiApplication::setDesktopFileName("org.vellora.vellora");
    return vellora::app::runProgram();
}

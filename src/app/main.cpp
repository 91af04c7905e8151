#include "app/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("vellora");
    // The desktop matches the window to its entry, and so to the icon, by this name.
    QGuiApplication::setDesktopFileName("org.vellora.vellora");
    return vellora::app::runProgram();
}

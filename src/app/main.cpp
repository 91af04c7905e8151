#include "app/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("vellora");
    return vellora::app::runProgram();
}

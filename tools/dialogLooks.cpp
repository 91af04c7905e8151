// Writes a PNG of every registered operation dialog, as it opens on a 1600 × 1000 picture of
// 24 bits per pixel with the default working block, into the folder given as the argument, each
// named after its title ("edge detect" → "edge-detect.png"). scripts/screenshots runs it on a
// virtual X display so the pictures show the real look.
#include "app/dialogRegistry.h"
#include "app/operationDialogs.h"
#include "core/session.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialogLooks FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    vellora::app::registerOperationDialogs();
    vellora::SilentFrontend frontend;
    vellora::Session session(frontend);
    for (vellora::ImageInfo* info : {&session.currentInfo, &session.dialogInfo}) {
        info->width = 1600;
        info->height = 1000;
        info->bitsPerPixel = 24;
        info->state = vellora::kStateFit;
    }
    int written = 0;
    for (const auto& [commandId, factory] : vellora::app::dialogFactories()) {
        // Grab the dialog once it is shown and laid out, then close it with Cancel.
        QTimer::singleShot(400, [&folder, &written, id = commandId] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            QString name = dialog->windowTitle().trimmed().toLower();
            name.replace(QRegularExpression("[^a-z0-9]+"), "-");
            const QString path =
                folder.filePath((name.isEmpty() ? QString::number(id) : name) + ".png");
            if (dialog->grab().save(path, "PNG")) {
                std::printf("dialog look: %s\n", qPrintable(path));
                ++written;
            }
            dialog->reject();
        });
        factory(nullptr, commandId, session);
    }
    return written == int(vellora::app::dialogFactories().size()) ? 0 : 1;
}

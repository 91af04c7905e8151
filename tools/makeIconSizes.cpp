// Writes the program icon in the sizes of the hicolor icon theme from one square picture, as
// FOLDER/<n>x<n>/apps/NAME.png: reductions are smoothed, enlargements by whole factors repeat
// pixels so the tiles' edges stay sharp.
//
//     makeIconSizes PICTURE FOLDER NAME SIZE...
#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>

namespace {

Qt::TransformationMode modeFor(int size, int sourceSize) {
    return size >= sourceSize && size % sourceSize == 0 ? Qt::FastTransformation
                                                        : Qt::SmoothTransformation;
}

bool writeSize(const QImage& source, const QString& folder, const QString& name, int size) {
    const QString apps = QString("%1/%2x%2/apps").arg(folder).arg(size);
    if (!QDir().mkpath(apps)) return false;
    const QImage scaled =
        source.scaled(size, size, Qt::IgnoreAspectRatio, modeFor(size, source.width()));
    return scaled.save(apps + "/" + name + ".png", "PNG");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: makeIconSizes PICTURE FOLDER NAME SIZE...\n");
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull() || source.width() != source.height()) {
        std::fprintf(stderr, "makeIconSizes: %s is not a square picture\n", argv[1]);
        return 1;
    }
    for (int i = 4; i < argc; ++i) {
        const int size = QString(argv[i]).toInt();
        if (size <= 0 || !writeSize(source, QString::fromLocal8Bit(argv[2]),
                                    QString::fromLocal8Bit(argv[3]), size)) {
            std::fprintf(stderr, "makeIconSizes: cannot write the %s pixel icon\n", argv[i]);
            return 1;
        }
    }
    return 0;
}

// Writes the in-program icon as hicolor PNGs (<dir>/<n>x<n>/apps/nudgery.png), so
// the menu shows the same drawing without an SVG renderer at build time.
#include "platform/AppIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QIcon icon = appIcon();
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1x%1/apps").arg(size);
        const QPixmap pm = icon.pixmap(QSize(size, size));
        if (pm.size() != QSize(size, size) || !out.mkpath(dir) ||
            !pm.save(out.filePath(dir + QStringLiteral("/nudgery.png")), "PNG")) {
            std::fprintf(stderr, "cannot write the %dx%d icon\n", size, size);
            return 1;
        }
    }
    return 0;
}

// dravik-icons: writes the program's icon for the desktop's icon theme, drawn from the same
// picture as the about window and the window icon: one scalable SVG and a PNG for each size.
//
//   dravik-icons OUTDIR NAME SIZE...
//
// writes OUTDIR/hicolor/scalable/apps/NAME.svg and OUTDIR/hicolor/SIZExSIZE/apps/NAME.png.

#include "Pictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

namespace {

constexpr int DesignSize = 128;

bool writeSvg(const QString &path, const QString &name)
{
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(DesignSize, DesignSize));
    svg.setViewBox(QRect(0, 0, DesignSize, DesignSize));
    svg.setTitle(name);
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    DrawApplicationPicture(painter, DesignSize);
    return painter.end();
}

bool writePng(const QString &path, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DrawApplicationPicture(painter, size);
    painter.end();
    return image.save(path, "PNG");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList words = QCoreApplication::arguments().mid(1);
    if (words.size() < 3) {
        std::fputs("usage: dravik-icons OUTDIR NAME SIZE...\n", stderr);
        return 2;
    }
    const QDir out(words[0]);
    const QString &name = words[1];
    const QString theme = QStringLiteral("hicolor/%1/apps/");

    const QString scalable = theme.arg(QStringLiteral("scalable"));
    bool written =
        out.mkpath(scalable) && writeSvg(out.filePath(scalable + name + QStringLiteral(".svg")), name);
    for (const QString &word : words.mid(2)) {
        const int size = word.toInt();
        const QString folder = theme.arg(QStringLiteral("%1x%1").arg(size));
        written = written && size > 0 && out.mkpath(folder) &&
                  writePng(out.filePath(folder + name + QStringLiteral(".png")), size);
    }
    if (!written) {
        std::fprintf(stderr, "dravik-icons: cannot write the icons into %s\n", qPrintable(out.path()));
        return 1;
    }
    return 0;
}

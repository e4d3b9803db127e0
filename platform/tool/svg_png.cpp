// Build-time tool: renders an SVG file to square PNGs.
//   tarvel-svg-png in.svg size out.png [size out.png ...]
// Exits non-zero when the SVG does not parse, a size is not 1..4096 or a PNG
// cannot be written.
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 4 || (argc - 2) % 2 != 0) {
        std::fprintf(stderr, "usage: %s in.svg size out.png [size out.png ...]\n", argv[0]);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "%s: not a valid SVG file\n", argv[1]);
        return 1;
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        char* end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end || size < 1 || size > 4096) {
            std::fprintf(stderr, "%s: not a size\n", argv[i]);
            return 2;
        }
        QImage image(static_cast<int>(size), static_cast<int>(size), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }
        if (!image.convertToFormat(QImage::Format_ARGB32).save(QString::fromLocal8Bit(argv[i + 1]), "PNG")) {
            std::fprintf(stderr, "%s: cannot write\n", argv[i + 1]);
            return 1;
        }
    }
    return 0;
}

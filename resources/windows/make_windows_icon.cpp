// SPDX-License-Identifier: MIT
// Builds the Windows icon group from the application icon's PNGs: one .ico
// with three images, 32 × 32 in 2 colours, 32 × 32 in 16 colours and
// 16 × 16 in 16 colours, each with its transparency mask.
//   make_windows_icon ICON-32.PNG ICON-16.PNG OUT.ICO

#include <QColor>
#include <QFile>
#include <QImage>

#include <cstdio>
#include <vector>

namespace {

struct Image
{
    int size;
    int bitsPerPixel;
    QByteArray data; // BITMAPINFOHEADER, palette, colour bits, mask bits
};

void put16(QByteArray& out, quint16 value)
{
    out.append(char(value & 0xFF)).append(char(value >> 8));
}

void put32(QByteArray& out, quint32 value)
{
    put16(out, quint16(value & 0xFFFF));
    put16(out, quint16(value >> 16));
}

// The standard 16-colour palette of the Windows VGA driver.
QList<QRgb> palette16()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

Image makeImage(const QImage& source, int bitsPerPixel)
{
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
    const QList<QRgb> colours =
        bitsPerPixel == 1 ? QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)} : palette16();
    // Transparent pixels are drawn black and masked out; the rest are dithered to the palette.
    QImage opaque(argb.size(), QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            opaque.setPixel(x, y,
                            qAlpha(argb.pixel(x, y)) < 128 ? qRgb(0, 0, 0) : (argb.pixel(x, y) | 0xFF000000));
    const QImage indexed =
        opaque.convertToFormat(QImage::Format_Indexed8, colours, Qt::ThresholdDither | Qt::AvoidDither);

    const int size = argb.width();
    const int colourStride = ((size * bitsPerPixel + 31) / 32) * 4;
    const int maskStride = ((size + 31) / 32) * 4;

    Image image{size, bitsPerPixel, {}};
    QByteArray& out = image.data;
    put32(out, 40);       // biSize
    put32(out, size);     // biWidth
    put32(out, size * 2); // biHeight: colour bits and mask
    put16(out, 1);        // biPlanes
    put16(out, quint16(bitsPerPixel));
    put32(out, 0); // biCompression: BI_RGB
    put32(out, quint32((colourStride + maskStride) * size));
    put32(out, 0);
    put32(out, 0);
    put32(out, quint32(colours.size())); // biClrUsed
    put32(out, 0);
    for (const QRgb colour : colours)
        out.append(char(qBlue(colour))).append(char(qGreen(colour))).append(char(qRed(colour))).append('\0');

    for (int y = size - 1; y >= 0; --y) { // bottom-up
        QByteArray row(colourStride, '\0');
        for (int x = 0; x < size; ++x) {
            const int index = indexed.pixelIndex(x, y);
            const int bit = x * bitsPerPixel;
            row[bit / 8] = char(row[bit / 8] | (index << (8 - bitsPerPixel - bit % 8)));
        }
        out.append(row);
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < size; ++x)
            if (qAlpha(argb.pixel(x, y)) < 128)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_windows_icon ICON-32.PNG ICON-16.PNG OUT.ICO\n");
        return 2;
    }
    const QImage icon32(QString::fromLocal8Bit(argv[1]));
    const QImage icon16(QString::fromLocal8Bit(argv[2]));
    if (icon32.size() != QSize(32, 32) || icon16.size() != QSize(16, 16)) {
        std::fprintf(stderr, "make_windows_icon: need a 32 x 32 and a 16 x 16 picture\n");
        return 1;
    }
    const std::vector<Image> images{makeImage(icon32, 1), makeImage(icon32, 4), makeImage(icon16, 4)};

    QByteArray ico;
    put16(ico, 0);
    put16(ico, 1); // an icon
    put16(ico, quint16(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (const Image& image : images) {
        ico.append(char(image.size)).append(char(image.size));
        ico.append(char(1 << image.bitsPerPixel)).append('\0'); // colours, reserved
        put16(ico, 1);                                          // planes
        put16(ico, quint16(image.bitsPerPixel));
        put32(ico, quint32(image.data.size()));
        put32(ico, offset);
        offset += quint32(image.data.size());
    }
    for (const Image& image : images)
        ico.append(image.data);

    QFile out(QString::fromLocal8Bit(argv[3]));
    if (!out.open(QIODevice::WriteOnly) || out.write(ico) != ico.size()) {
        std::fprintf(stderr, "make_windows_icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}

// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Decodes a picture at build time into the form the program shows without decoding:
// width, height and QImage::Format as little-endian 32-bit words, then the pixels.
// usage: rawimage INPUT OUTPUT

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: rawimage INPUT OUTPUT\n");
        return 2;
    }
    QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull()) {
        std::fprintf(stderr, "rawimage: cannot read %s\n", argv[1]);
        return 1;
    }
    image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                            : QImage::Format_RGB32);
    QFile output(QString::fromLocal8Bit(argv[2]));
    if (!output.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "rawimage: cannot write %s\n", argv[2]);
        return 1;
    }
    for (const int word : { image.width(), image.height(), int(image.format()) }) {
        const quint32 little = qToLittleEndian(quint32(word));
        output.write(reinterpret_cast<const char *>(&little), sizeof little);
    }
    for (int y = 0; y < image.height(); ++y)
        output.write(reinterpret_cast<const char *>(image.constScanLine(y)), image.width() * 4);
    return output.error() == QFileDevice::NoError ? 0 : 1;
}

// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "embeddedimage.h"

#include <QResource>
#include <QtEndian>

#include <memory>

QImage embeddedImage(const QString &resource)
{
    auto pixels = std::make_unique<QByteArray>(QResource(resource).uncompressedData());
    constexpr qsizetype headerSize = 3 * sizeof(quint32);
    if (pixels->size() < headerSize)
        return {};
    const auto *data = reinterpret_cast<const uchar *>(pixels->constData());
    const int width = int(qFromLittleEndian<quint32>(data));
    const int height = int(qFromLittleEndian<quint32>(data + 4));
    const auto format = QImage::Format(qFromLittleEndian<quint32>(data + 8));
    if (pixels->size() != headerSize + qint64(width) * height * 4)
        return {};
    // Pixels stored uncompressed stay in the resource, which lives as long as the program,
    // and inflated ones where they were inflated to: the image keeps them, as long as its
    // rows are aligned as QImage needs.
    const uchar *rows = data + headerSize;
    if (quintptr(rows) % alignof(quint32))
        return QImage(rows, width, height, width * 4, format).copy();
    return QImage(rows, width, height, width * 4, format,
                  [](void *bytes) { delete static_cast<QByteArray *>(bytes); }, pixels.release());
}

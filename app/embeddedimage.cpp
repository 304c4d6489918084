// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "embeddedimage.h"

#include <QResource>
#include <QtEndian>

QImage embeddedImage(const QString &resource)
{
    const QResource raw(resource);
    constexpr qint64 headerSize = 3 * sizeof(quint32);
    if (!raw.isValid() || raw.compressionAlgorithm() != QResource::NoCompression
        || raw.size() < headerSize)
        return {};
    const uchar *data = raw.data();
    const int width = int(qFromLittleEndian<quint32>(data));
    const int height = int(qFromLittleEndian<quint32>(data + 4));
    const auto format = QImage::Format(qFromLittleEndian<quint32>(data + 8));
    if (raw.size() != headerSize + qint64(width) * height * 4)
        return {};
    // The resource lives as long as the program, so the image may use it in place, as long
    // as its rows are aligned as QImage needs.
    const QImage image(data + headerSize, width, height, width * 4, format);
    return quintptr(data + headerSize) % alignof(quint32) ? image.copy() : image;
}

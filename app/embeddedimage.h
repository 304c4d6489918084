// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QString>

// A picture that the build decoded into the program's resources (see resources/rawimage.cpp),
// shown with no decoding, and no image-format plugins to look for at start-up.
QImage embeddedImage(const QString &resource);

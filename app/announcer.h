// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

// An invisible notification: a screen reader speaks its text each time it is shown, wherever
// the focus is. Qt 6.4 has no announcement event, and its AT-SPI bridge sends a name or
// description change without the new text, which Orca cannot speak.
class Announcer : public QWidget {
    Q_OBJECT

public:
    explicit Announcer(QWidget *parent = nullptr);

    void announce(const QString &text);
};

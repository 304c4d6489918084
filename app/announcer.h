// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

// An invisible notification: a screen reader speaks its text each time it is announced,
// wherever the focus is. Qt 6.4 has no announcement event, so each platform's bridge gets the
// one it passes on with the text:
//  - AT-SPI: the notification shown, with the text as its name. A name or description change
//    arrives without the new text, which Orca cannot speak.
//  - UI Automation: a value change carrying the text, which Qt raises as a UIA notification
//    (QWindowsUiaMainProvider::notifyValueChange). AT-SPI sends nothing for it here, since a
//    notification has no value, and UIA drops the showing.
class Announcer : public QWidget {
    Q_OBJECT

public:
    explicit Announcer(QWidget *parent = nullptr);

    void announce(const QString &text);
};

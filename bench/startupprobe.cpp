// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "application.h"
#include "mainform.h"

#include <QLabel>
#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <memory>

// Starts either the program's window ("program") or the floor window ("floor": the least
// any window of this program must show) and exits as soon as the first frame is on screen.

namespace {

class FirstFrameExit : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The window's own paint starts the first frame; the backing store is flushed
        // before the event loop runs the queued exit.
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, [] { std::_Exit(EXIT_SUCCESS); });
        return QObject::eventFilter(watched, event);
    }
};

std::unique_ptr<QWidget> floorWindow()
{
    auto window = std::make_unique<QWidget>();
    window->setFixedSize(517, 355);
    window->setFont(QFont(QStringLiteral("Times New Roman"), 12));
    auto *label = new QLabel(QStringLiteral("Тарволин"), window.get());
    label->move(8, 8);
    return window;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool floor = argc > 1 && std::strcmp(argv[1], "floor") == 0;
    const auto app
        = floor ? std::make_unique<QApplication>(argc, argv) : createApplication(argc, argv);
    const std::unique_ptr<QWidget> window = floor ? floorWindow() : std::make_unique<MainForm>();
    FirstFrameExit exitOnFirstFrame;
    window->installEventFilter(&exitOnFirstFrame);
    window->show();
    return app->exec();
}

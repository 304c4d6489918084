// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "application.h"
#include "mainform.h"

#include <QAbstractEventDispatcher>
#include <QLabel>

#include <cstdlib>
#include <cstring>
#include <memory>

// Starts either the program's window ("program") or the floor window ("floor": the least
// any window of this program must show) and exits once the first frame is on screen and
// the event loop has nothing left to do, so that work deferred past the first paint counts.

namespace {

class ExitWhenIdleAfterFirstFrame : public QObject {
public:
    ExitWhenIdleAfterFirstFrame()
    {
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
            this, [this] {
                if (m_painted)
                    std::_Exit(EXIT_SUCCESS);
            });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted = true;
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_painted = false;
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
    ExitWhenIdleAfterFirstFrame exitWhenIdle;
    window->installEventFilter(&exitWhenIdle);
    window->show();
    return app->exec();
}

// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "application.h"
#include "mainform.h"

int main(int argc, char *argv[])
{
    const auto app = createApplication(argc, argv);
    MainForm window;
    window.show();
    return app->exec();
}

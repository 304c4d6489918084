// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "application.h"

#include <QTest>

// Runs a widget test in the application the program itself sets up: the same style,
// palette and Bulgarian standard texts.
#define TARVOLIN_WIDGET_TEST_MAIN(TestClass)                                                       \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        const auto app = createApplication(argc, argv);                                            \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QApplication>

#include <memory>

// The application with the program's look: the same style, palette and Bulgarian
// standard texts on every platform. Without a display it prints one line and exits
// with status 1 instead of aborting.
std::unique_ptr<QApplication> createApplication(int &argc, char **argv);

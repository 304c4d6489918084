#pragma once

#include <QApplication>

#include <memory>

// The application with the program's look: the same style, palette and Bulgarian
// standard texts on every platform. Without a display it prints one line and exits
// with status 1 instead of aborting.
std::unique_ptr<QApplication> createApplication(int &argc, char **argv);

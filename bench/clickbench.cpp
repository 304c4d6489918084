// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

// One compute click on the real window, from the mouse event to the result text, against
// a click on a bare button whose slot does nothing; and the decoding alone against merely
// reading the nine ticks and writing a fixed text. Each pair is measured in the same run,
// interleaved, and reported as a ratio.

#include "application.h"
#include "barrelanswer.h"
#include "mainform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct PlainPanel : tarvolin::VolunteerPanel, tarvolin::ResultBox {
    std::array<int, tarvolin::kTasterCount> states { 0, 1, 0, 0, 1, 0, 0, 0, 1 };
    std::string text;

    int boxState(int box) const override { return states[box]; }
    void setBoxState(int box, int state) override { states[box] = state; }
    void setResultText(std::string_view newText) override { text = newText; }
};

// The least any decoding does: read the nine ticks through the panel and write a text.
[[gnu::noinline]] void readTicksAndWrite(
    const tarvolin::VolunteerPanel &panel, tarvolin::ResultBox &result)
{
    int ticked = 0;
    for (int box = 0; box < tarvolin::kTasterCount; ++box)
        ticked += panel.boxState(box);
    result.setResultText(ticked ? "274" : "");
}

double nanosecondsPerCall(const std::function<void()> &call, int calls)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i)
        call();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::nano>(end - start).count() / calls;
}

void compare(const char *what, const std::function<void()> &measured,
    const std::function<void()> &baseline, int calls)
{
    std::vector<double> times[2];
    for (int round = 0; round < 15; ++round) {
        times[0].push_back(nanosecondsPerCall(measured, calls));
        times[1].push_back(nanosecondsPerCall(baseline, calls));
    }
    for (auto &t : times)
        std::sort(t.begin(), t.end());
    const double m = times[0][7], b = times[1][7];
    std::printf("%-28s %9.0f ns / baseline %9.0f ns   ratio %.2f\n", what, m, b, m / b);
}

} // namespace

int main(int argc, char *argv[])
{
    const auto app = createApplication(argc, argv);
    MainForm window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    for (const char *box : { "Check1_1", "Check1_4", "Check1_8" })
        window.findChild<QCheckBox *>(box)->setChecked(true);
    auto *compute = window.findChild<QPushButton *>("Command1_0");
    auto *result = window.findChild<QLineEdit *>("Text2_0");

    QWidget bare;
    bare.resize(window.size());
    auto *idle = new QPushButton(QStringLiteral("Изчисли"), &bare);
    idle->setGeometry(compute->geometry());
    QObject::connect(idle, &QPushButton::clicked, idle, [] {});
    bare.show();
    if (!QTest::qWaitForWindowExposed(&bare))
        return 1;

    compare(
        "compute click (text replaced)",
        [&] {
            result->clear();
            QTest::mouseClick(compute, Qt::LeftButton);
        },
        [&] { QTest::mouseClick(idle, Qt::LeftButton); }, 2000);
    if (result->text() != QLatin1String("274"))
        return 1;

    PlainPanel panel;
    compare(
        "decoding (ShowBarrelNumber)", [&] { tarvolin::ShowBarrelNumber(panel, panel); },
        [&] { readTicksAndWrite(panel, panel); }, 200000);
    return panel.text == "274" ? 0 : 1;
}

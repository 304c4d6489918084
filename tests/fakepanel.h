// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "barrelanswer.h"

#include <array>
#include <string>
#include <vector>

// Plain-data panel and result box that log every write, so tests can see what was
// changed and in which order.
class FakePanel : public tarvolin::VolunteerPanel, public tarvolin::ResultBox {
public:
    std::array<int, tarvolin::kTasterCount> states {};
    std::string text;
    std::vector<std::string> writes;

    int boxState(int box) const override { return states.at(box); }

    void setBoxState(int box, int state) override
    {
        states.at(box) = state;
        writes.push_back("box " + std::to_string(box) + " = " + std::to_string(state));
    }

    void setResultText(std::string_view newText) override
    {
        text = newText;
        writes.push_back("text = " + text);
    }
};

// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "barrelanswer.h"

namespace tarvolin {

namespace {

// Decimal digits by hand rather than std::to_string: the browser's build of this file links
// no C++ library.
std::string_view decimalDigits(int n, char (&buffer)[3])
{
    std::size_t first = sizeof buffer;
    do {
        buffer[--first] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n > 0);
    return { buffer + first, sizeof buffer - first };
}

} // namespace

void ShowBarrelNumber(const VolunteerPanel &panel, ResultBox &result)
{
    // Highest digit first, as a person reads the binary number from IX down to I.
    int n = 0;
    for (int box = kTasterCount - 1; box >= 0; --box) {
        n *= 2;
        if (panel.boxState(box) == kTicked)
            ++n;
    }

    char digits[3];
    if (n >= 1 && n <= kBarrelCount)
        result.setResultText(decimalDigits(n, digits));
    else
        result.setResultText(kWrongDataMessage);
}

void ResetPanel(VolunteerPanel &panel, ResultBox &result)
{
    for (int box = 0; box < kTasterCount; ++box)
        panel.setBoxState(box, kUnticked);
    result.setResultText({});
}

void OnActionButtonClick(std::int16_t index, VolunteerPanel &panel, ResultBox &result)
{
    if (index == ComputeAction)
        ShowBarrelNumber(panel, result);
    else if (index == ClearAction)
        ResetPanel(panel, result);
}

} // namespace tarvolin

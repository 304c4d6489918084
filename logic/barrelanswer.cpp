// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "barrelanswer.h"

#include <string>

namespace tarvolin {

void ShowBarrelNumber(const VolunteerPanel &panel, ResultBox &result)
{
    // Highest digit first, as a person reads the binary number from IX down to I.
    int n = 0;
    for (int box = kTasterCount - 1; box >= 0; --box) {
        n *= 2;
        if (panel.boxState(box) == kTicked)
            ++n;
    }

    if (n >= 1 && n <= kBarrelCount)
        result.setResultText(std::to_string(n));
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

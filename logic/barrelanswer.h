// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "resultbox.h"
#include "volunteerpanel.h"

#include <cstdint>
#include <string_view>

namespace tarvolin {

inline constexpr int kBarrelCount = 314;
inline constexpr std::string_view kWrongDataMessage = "Грешни данни!";

enum ActionIndex : std::int16_t { ComputeAction = 0, ClearAction = 1 };

void ShowBarrelNumber(const VolunteerPanel &panel, ResultBox &result);
void ResetPanel(VolunteerPanel &panel, ResultBox &result);
void OnActionButtonClick(std::int16_t index, VolunteerPanel &panel, ResultBox &result);

} // namespace tarvolin

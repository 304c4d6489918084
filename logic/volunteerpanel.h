// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace tarvolin {

inline constexpr int kTasterCount = 9;

inline constexpr int kUnticked = 0;
inline constexpr int kTicked = 1;

// The nine boxes for tasters I to IX; box k stands for taster k + 1.
class VolunteerPanel {
public:
    virtual ~VolunteerPanel() = default;

    virtual int boxState(int box) const = 0;
    virtual void setBoxState(int box, int state) = 0;
};

} // namespace tarvolin

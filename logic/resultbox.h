// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string_view>

namespace tarvolin {

class ResultBox {
public:
    virtual ~ResultBox() = default;

    // Replaces the whole text; UTF-8.
    virtual void setResultText(std::string_view text) = 0;
};

} // namespace tarvolin

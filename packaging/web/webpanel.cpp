// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The page's side of the rule: the same logic as the desktop's, run against the page's
// check boxes and result box, which page.js reaches for it.
#include "barrelanswer.h"

#include <cstddef>

#define TARVOLIN_PAGE_IMPORT(name) __attribute__((import_module("page"), import_name(#name)))

extern "C" {
TARVOLIN_PAGE_IMPORT(boxState) int pageBoxState(int box);
TARVOLIN_PAGE_IMPORT(setBoxState) void pageSetBoxState(int box, int state);
TARVOLIN_PAGE_IMPORT(setResultText) void pageSetResultText(const char *utf8, std::size_t size);
}

namespace {

class WebPanel final : public tarvolin::VolunteerPanel, public tarvolin::ResultBox {
public:
    constexpr WebPanel() = default;

    int boxState(int box) const override { return pageBoxState(box); }
    void setBoxState(int box, int state) override { pageSetBoxState(box, state); }
    void setResultText(std::string_view text) override { pageSetResultText(text.data(), text.size()); }
};

constinit WebPanel page;

} // namespace

extern "C" __attribute__((export_name("onActionButtonClick"))) void onActionButtonClick(int index)
{
    tarvolin::OnActionButtonClick(static_cast<std::int16_t>(index), page, page);
}

// The module links no C++ library. Nothing in it is ever deleted, yet the virtual
// destructors' table entries name the operator, so it must exist.
void operator delete(void *) noexcept { }
void operator delete(void *, std::size_t) noexcept { }

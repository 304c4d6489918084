// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "barrelanswer.h"

#include <QWidget>

#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace Ui {
class MainForm;
}

// A click on "Изчисли" or "Изчисти" calls OnActionButtonClick() with the button's index.
// The logic then reads the ticks and writes the answer through this window, which serves
// as its volunteer panel and result box. Then the announcer tells a screen reader what
// came of the click, since the result box is away from the focus.
class MainForm : public QWidget, private tarvolin::VolunteerPanel, private tarvolin::ResultBox {
    Q_OBJECT

public:
    explicit MainForm(QWidget *parent = nullptr);
    ~MainForm() override;

private:
    int boxState(int box) const override;
    void setBoxState(int box, int state) override;
    void setResultText(std::string_view text) override;

    std::unique_ptr<Ui::MainForm> m_ui;
    std::array<QCheckBox *, tarvolin::kTasterCount> m_check1;
    std::array<QPushButton *, 2> m_command1;
    std::array<QLabel *, 2> m_label1;
    std::array<QPlainTextEdit *, 1> m_text1;
    std::array<QLineEdit *, 1> m_text2;
};

// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "barrelanswer.h"
#include "fakepanel.h"

#include <QTest>

using namespace tarvolin;

namespace {

constexpr int kWeights[kTasterCount] = { 1, 2, 4, 8, 16, 32, 64, 128, 256 };
const QString kMessage = QStringLiteral("Грешни данни!");

QString expectedText(int sum)
{
    return (sum >= 1 && sum <= 314) ? QString::number(sum) : kMessage;
}

QString shownText(const FakePanel &panel)
{
    return QString::fromStdString(panel.text);
}

FakePanel panelWith(std::initializer_list<int> tickedBoxes)
{
    FakePanel panel;
    for (int box : tickedBoxes)
        panel.states.at(box) = kTicked;
    return panel;
}

} // namespace

class TestBarrelAnswer : public QObject {
    Q_OBJECT

private slots:
    void compute_showsTheSumOfTickedWeights_data();
    void compute_showsTheSumOfTickedWeights();
    void compute_namedSelections_data();
    void compute_namedSelections();
    void compute_countsOnlyStateOneAsTicked_data();
    void compute_countsOnlyStateOneAsTicked();
    void compute_replacesTheEarlierText_data();
    void compute_replacesTheEarlierText();
    void compute_leavesTheBoxesAlone();
    void reset_untickesEveryBoxBeforeEmptyingTheText();
    void click_dispatchesByIndex_data();
    void click_dispatchesByIndex();
};

void TestBarrelAnswer::compute_showsTheSumOfTickedWeights_data()
{
    QTest::addColumn<int>("ticks");
    for (int ticks = 0; ticks < 512; ++ticks)
        QTest::addRow("ticks %03x", ticks) << ticks;
}

void TestBarrelAnswer::compute_showsTheSumOfTickedWeights()
{
    QFETCH(int, ticks);
    FakePanel panel;
    int sum = 0;
    for (int box = 0; box < kTasterCount; ++box) {
        if (ticks & (1 << box)) {
            panel.states.at(box) = kTicked;
            sum += kWeights[box];
        }
    }

    ShowBarrelNumber(panel, panel);

    QCOMPARE(shownText(panel), expectedText(sum));
}

void TestBarrelAnswer::compute_namedSelections_data()
{
    QTest::addColumn<QList<int>>("boxes");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << QList<int> {} << kMessage;
    QTest::newRow("I") << QList<int> { 0 } << "1";
    QTest::newRow("IX") << QList<int> { 8 } << "256";
    QTest::newRow("II V IX") << QList<int> { 1, 4, 8 } << "274";
    QTest::newRow("largest barrel") << QList<int> { 1, 3, 4, 5, 8 } << "314";
    QTest::newRow("one past the last") << QList<int> { 0, 1, 3, 4, 5, 8 } << kMessage;
    QTest::newRow("all nine") << QList<int> { 0, 1, 2, 3, 4, 5, 6, 7, 8 } << kMessage;
}

void TestBarrelAnswer::compute_namedSelections()
{
    QFETCH(QList<int>, boxes);
    QFETCH(QString, text);
    FakePanel panel;
    for (int box : boxes)
        panel.states.at(box) = kTicked;

    ShowBarrelNumber(panel, panel);

    QCOMPARE(shownText(panel), text);
}

void TestBarrelAnswer::compute_countsOnlyStateOneAsTicked_data()
{
    QTest::addColumn<int>("state");
    QTest::newRow("partially checked") << 2;
    QTest::newRow("negative") << -1;
    QTest::newRow("large") << 255;
}

void TestBarrelAnswer::compute_countsOnlyStateOneAsTicked()
{
    QFETCH(int, state);
    FakePanel panel = panelWith({ 8 });
    panel.states.at(0) = state;
    panel.states.at(4) = state;

    ShowBarrelNumber(panel, panel);

    QCOMPARE(shownText(panel), "256");
}

void TestBarrelAnswer::compute_replacesTheEarlierText_data()
{
    QTest::addColumn<QString>("earlier");
    QTest::addColumn<QList<int>>("boxes");
    QTest::addColumn<QString>("text");
    QTest::newRow("number to message") << "274" << QList<int> {} << kMessage;
    QTest::newRow("message to number") << kMessage << QList<int> { 0, 1 } << "3";
    QTest::newRow("number to number") << "256" << QList<int> { 2 } << "4";
}

void TestBarrelAnswer::compute_replacesTheEarlierText()
{
    QFETCH(QString, earlier);
    QFETCH(QList<int>, boxes);
    QFETCH(QString, text);
    FakePanel panel;
    for (int box : boxes)
        panel.states.at(box) = kTicked;
    panel.text = earlier.toStdString();

    ShowBarrelNumber(panel, panel);
    QCOMPARE(shownText(panel), text);
    QCOMPARE(panel.writes.size(), 1u);

    ShowBarrelNumber(panel, panel);
    QCOMPARE(shownText(panel), text);
}

void TestBarrelAnswer::compute_leavesTheBoxesAlone()
{
    FakePanel panel = panelWith({ 0, 3, 7 });
    panel.states.at(5) = 2;
    const auto before = panel.states;

    ShowBarrelNumber(panel, panel);

    QCOMPARE(panel.states, before);
    QCOMPARE(panel.writes, std::vector<std::string> { "text = 137" });
}

void TestBarrelAnswer::reset_untickesEveryBoxBeforeEmptyingTheText()
{
    FakePanel panel = panelWith({ 0, 1, 2, 3, 4, 5, 6, 7, 8 });
    panel.states.at(4) = 2;
    panel.text = "Грешни данни!";

    ResetPanel(panel, panel);

    std::vector<std::string> expected;
    for (int box = 0; box < kTasterCount; ++box)
        expected.push_back("box " + std::to_string(box) + " = 0");
    expected.push_back("text = ");
    QCOMPARE(panel.writes, expected);
}

void TestBarrelAnswer::click_dispatchesByIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("tickedAfter");
    QTest::addColumn<int>("writeCount");
    // Panel before each click: II and V ticked, the text "old".
    QTest::newRow("0 computes once") << 0 << "18" << 2 << 1;
    QTest::newRow("1 clears once") << 1 << "" << 0 << 10;
    QTest::newRow("-1 does nothing") << -1 << "old" << 2 << 0;
    QTest::newRow("2 does nothing") << 2 << "old" << 2 << 0;
    QTest::newRow("int16 max does nothing") << 32767 << "old" << 2 << 0;
    QTest::newRow("int16 min does nothing") << -32768 << "old" << 2 << 0;
}

void TestBarrelAnswer::click_dispatchesByIndex()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(int, tickedAfter);
    QFETCH(int, writeCount);
    FakePanel panel = panelWith({ 1, 4 });
    panel.text = "old";

    OnActionButtonClick(static_cast<std::int16_t>(index), panel, panel);

    QCOMPARE(shownText(panel), text);
    QCOMPARE(int(std::count(panel.states.begin(), panel.states.end(), kTicked)), tickedAfter);
    QCOMPARE(int(panel.writes.size()), writeCount);
}

QTEST_APPLESS_MAIN(TestBarrelAnswer)
#include "tst_barrelanswer.moc"

// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainform.h"
#include "widgettestmain.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTest>

#include <optional>

// Random clicks and keys against the real window, checked after every event against a
// model of what a user should see. TARVOLIN_SOAK_EVENTS and TARVOLIN_SOAK_SEED override
// the defaults; a failure prints the seed and the shortest failing sequence it finds.

namespace {

const QStringList kFocusOrder
    = { "Text1_0", "Check1_0", "Check1_1", "Check1_2", "Check1_3", "Check1_4", "Check1_5",
          "Check1_6", "Check1_7", "Command1_0", "Command1_1", "Check1_8", "Text2_0", "Picture1" };
const QStringList kClickTargets = kFocusOrder + QStringList { "Label1_0", "Label1_1", "Frame1" };

struct SoakEvent {
    QString target; // clicked control; empty for a key sent to the focused one
    QPointF where; // fraction of the target's size
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers;
    char character = 0;

    QString describe() const
    {
        if (!target.isEmpty())
            return QStringLiteral("click %1 at (%2, %3)").arg(target).arg(where.x()).arg(where.y());
        QString name = character ? QStringLiteral("'%1'").arg(character)
                                 : QKeySequence(key | modifiers).toString();
        return QStringLiteral("key %1").arg(name);
    }
};

QList<SoakEvent> generateEvents(quint32 seed, int count)
{
    struct Key {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Key keys[] = { { Qt::Key_Tab, {} }, { Qt::Key_Backtab, Qt::ShiftModifier },
        { Qt::Key_Space, {} }, { Qt::Key_Return, {} }, { Qt::Key_Delete, {} },
        { Qt::Key_Backspace, {} }, { Qt::Key_V, Qt::ControlModifier },
        { Qt::Key_X, Qt::ControlModifier }, { Qt::Key_Z, Qt::ControlModifier } };
    const char characters[] = "abcxyz0123456789";

    QRandomGenerator random(seed);
    QList<SoakEvent> events;
    events.reserve(count);
    for (int i = 0; i < count; ++i) {
        SoakEvent event;
        const int kind = random.bounded(10);
        if (kind < 4) {
            event.target = kClickTargets.at(random.bounded(kClickTargets.size()));
            event.where = { random.bounded(1.0), random.bounded(1.0) };
        } else if (kind < 9) {
            const Key &key = keys[random.bounded(int(std::size(keys)))];
            event.key = key.key;
            event.modifiers = key.modifiers;
        } else {
            event.character = characters[random.bounded(int(sizeof characters) - 1)];
        }
        events.append(event);
    }
    return events;
}

// What a person should see after each event.
struct Model {
    std::array<bool, 9> ticks {};
    QString result;
    QString focus = kFocusOrder.first();

    void press(int button)
    {
        if (button == 0) {
            int n = 0;
            for (int k = 0; k < 9; ++k)
                n += ticks[k] ? 1 << k : 0;
            result = n >= 1 && n <= 314 ? QString::number(n) : QStringLiteral("Грешни данни!");
        } else {
            ticks.fill(false);
            result.clear();
        }
    }

    void apply(const SoakEvent &event)
    {
        if (!event.target.isEmpty()) {
            if (event.target.startsWith(QLatin1String("Label1")) || event.target == "Frame1")
                return;
            focus = event.target;
        } else if (event.key == Qt::Key_Tab || event.key == Qt::Key_Backtab) {
            const int step = event.key == Qt::Key_Tab ? 1 : -1;
            const int at = kFocusOrder.indexOf(focus);
            focus = kFocusOrder.at((at + step + kFocusOrder.size()) % kFocusOrder.size());
            return;
        } else if (event.key != Qt::Key_Space) {
            return;
        }
        if (focus.startsWith(QLatin1String("Check1_")))
            ticks[focus.back().digitValue()] ^= true;
        else if (focus.startsWith(QLatin1String("Command1_")))
            press(focus.back().digitValue());
    }
};

struct Mismatch {
    qsizetype index;
    QString what;
};

class Session {
public:
    Session()
    {
        m_window.show();
        m_active = QTest::qWaitForWindowActive(&m_window);
        m_statement = m_window.findChild<QPlainTextEdit *>("Text1_0")->toPlainText();
    }

    std::optional<Mismatch> run(const QList<SoakEvent> &events)
    {
        if (!m_active)
            return Mismatch { 0, QStringLiteral("the window did not become active") };
        Model model;
        for (qsizetype i = 0; i < events.size(); ++i) {
            send(events[i]);
            model.apply(events[i]);
            if (i % 64 == 0)
                QCoreApplication::processEvents(); // let the window repaint now and then
            if (const QString what = differences(model); !what.isEmpty())
                return Mismatch { i, what };
        }
        return {};
    }

private:
    void send(const SoakEvent &event)
    {
        if (!event.target.isEmpty()) {
            auto *widget = m_window.findChild<QWidget *>(event.target);
            QWidget *receiver = widget;
            QRect area = widget->rect().adjusted(4, 4, -4, -4);
            if (auto *box = qobject_cast<QCheckBox *>(widget)) {
                area = QRect(1, box->height() / 2 - 5, 11, 10); // the tick square
            } else if (auto *edit = qobject_cast<QPlainTextEdit *>(widget)) {
                receiver = edit->viewport();
                area = receiver->rect().adjusted(2, 2, -2, -2);
            } else if (event.target == "Frame1") {
                area = QRect(2, 2, 4, 4); // the frame's corner, clear of the boxes
            }
            const QPoint at(area.left() + int(event.where.x() * area.width()),
                area.top() + int(event.where.y() * area.height()));
            QTest::mouseClick(receiver, Qt::LeftButton, {}, at);
            return;
        }
        QWidget *focused = QApplication::focusWidget();
        if (event.character)
            QTest::keyClick(focused, event.character);
        else
            QTest::keyClick(focused, event.key, event.modifiers);
    }

    QString differences(const Model &model) const
    {
        QStringList found;
        for (int k = 0; k < 9; ++k) {
            auto *box = m_window.findChild<QCheckBox *>(QStringLiteral("Check1_%1").arg(k));
            if (box->isChecked() != model.ticks[k])
                found << QStringLiteral("box %1 is %2ticked")
                             .arg(k)
                             .arg(box->isChecked() ? "" : "not ");
        }
        const QString result = m_window.findChild<QLineEdit *>("Text2_0")->text();
        if (result != model.result)
            found << QStringLiteral("result is '%1', expected '%2'").arg(result, model.result);
        if (m_window.findChild<QPlainTextEdit *>("Text1_0")->toPlainText() != m_statement)
            found << QStringLiteral("the statement changed");
        const QWidget *focused = QApplication::focusWidget();
        const QString focus = focused ? focused->objectName() : QString();
        if (focus != model.focus)
            found << QStringLiteral("focus is on %1, expected %2").arg(focus, model.focus);
        return found.join(QStringLiteral("; "));
    }

    MainForm m_window;
    bool m_active = false;
    QString m_statement;
};

std::optional<Mismatch> replay(const QList<SoakEvent> &events)
{
    Session session;
    return session.run(events);
}

// Delta debugging: drop ever smaller chunks while the sequence still fails.
QList<SoakEvent> shortestFailing(QList<SoakEvent> events)
{
    QElapsedTimer budget;
    budget.start();
    for (qsizetype chunk = events.size() / 2; chunk >= 1 && budget.elapsed() < 60000;) {
        bool shrunk = false;
        for (qsizetype start = 0; start < events.size() && budget.elapsed() < 60000;) {
            QList<SoakEvent> candidate = events;
            candidate.remove(start, qMin(chunk, candidate.size() - start));
            if (const auto failure = replay(candidate)) {
                events = candidate.first(failure->index + 1);
                shrunk = true;
            } else {
                start += chunk;
            }
        }
        if (!shrunk)
            chunk /= 2;
    }
    return events;
}

} // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void randomEvents_keepTheWindowAndItsModelInStep();
};

void TestSoak::randomEvents_keepTheWindowAndItsModelInStep()
{
    bool ok = false;
    quint32 seed = qEnvironmentVariableIntValue("TARVOLIN_SOAK_SEED", &ok);
    if (!ok)
        seed = 20261208;
    int count = qEnvironmentVariableIntValue("TARVOLIN_SOAK_EVENTS", &ok);
    if (!ok)
        count = 20000;
    qInfo("seed %u, %d events", seed, count);

    const QList<SoakEvent> events = generateEvents(seed, count);
    const auto failure = replay(events);
    if (!failure)
        return;

    QStringList report { QStringLiteral("seed %1: after event %2, %3")
                             .arg(seed)
                             .arg(failure->index)
                             .arg(failure->what),
        QStringLiteral("shortest failing sequence:") };
    for (const SoakEvent &event : shortestFailing(events.first(failure->index + 1)))
        report << QStringLiteral("  ") + event.describe();
    QFAIL(qPrintable(report.join(u'\n')));
}

TARVOLIN_WIDGET_TEST_MAIN(TestSoak)

#include "tst_soak.moc"

// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainform.h"
#include "widgettestmain.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace {

const QString kMessage = QStringLiteral("Грешни данни!");

QRect twips(int left, int top, int width, int height)
{
    return { left / 15, top / 15, width / 15, height / 15 };
}

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void window_isFixedCentredAndCaptioned();
    void controls_standWhereTheFormPutsThem_data();
    void controls_standWhereTheFormPutsThem();
    void colours_areSolid_data();
    void colours_areSolid();
    void texts_useTheSerifFontWithCyrillicGlyphs();
    void texts_fitTheirControls();

    void clicks_tickedIIVAndIX_show274();
    void compute_rightAfterStart_showsWrongData();
    void clear_unticksEveryBoxAndEmptiesTheResult();
    void partiallyCheckedBox_isNotTicked();

    void focus_startsInTheStatementAndFollowsTheTabOrder();
    void readOnlyBoxes_ignoreEditing_data();
    void readOnlyBoxes_ignoreEditing();
    void readOnlyBoxes_ignoreDrops();
    void readOnlyBoxes_contextMenuIsBulgarianAndChangesNothing();
    void statement_wrapsAndAlwaysShowsItsScrollBar();

    void accessibility_namesEveryFocusableControl();
    void accessibility_announcesWhatEachClickDid();

private:
    template<typename T> T *control(const char *name) const
    {
        auto *widget = m_window->findChild<T *>(QLatin1String(name));
        Q_ASSERT(widget);
        return widget;
    }
    QCheckBox *box(int index) const
    {
        return control<QCheckBox>(QStringLiteral("Check1_%1").arg(index).toLatin1());
    }
    void clickBox(int index) { QTest::mouseClick(box(index), Qt::LeftButton, {}, { 6, 12 }); }
    void click(const char *button)
    {
        QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
    }
    QString result() const { return control<QLineEdit>("Text2_0")->text(); }

    std::unique_ptr<MainForm> m_window;
};

void TestMainForm::init()
{
    m_window = std::make_unique<MainForm>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestMainForm::cleanup()
{
    m_window.reset();
}

void TestMainForm::window_isFixedCentredAndCaptioned()
{
    QCOMPARE(m_window->size(), QSize(517, 355));
    QCOMPARE(m_window->minimumSize(), QSize(517, 355));
    QCOMPARE(m_window->maximumSize(), QSize(517, 355));

    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));

    const QRect screen = m_window->screen()->availableGeometry();
    QVERIFY(qAbs(m_window->geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(m_window->geometry().center().y() - screen.center().y()) <= 1);

    QCOMPARE(m_window->windowTitle(), QStringLiteral("www.mersodal.example Мерсодал"));
}

void TestMainForm::controls_standWhereTheFormPutsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");

    QTest::newRow("title") << "Label1_0"
                           << "MainForm" << twips(1200, 0, 4575, 375) << "Тарволин";
    QTest::newRow("frame") << "Frame1"
                           << "MainForm" << twips(120, 480, 2655, 1815) << "Номера на доброволци";
    const char *numerals[] = { "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX" };
    for (int k = 0; k < 9; ++k) {
        QTest::addRow("box %s", numerals[k])
            << QStringLiteral("Check1_%1").arg(k) << "Frame1"
            << twips(120 + 840 * (k % 3), 360 + 480 * (k / 3), 735, 375) << numerals[k];
    }
    QTest::newRow("compute") << "Command1_0"
                             << "MainForm" << twips(2880, 600, 1215, 375) << "Изчисли";
    QTest::newRow("clear") << "Command1_1"
                           << "MainForm" << twips(2880, 1920, 1215, 375) << "Изчисти";
    QTest::newRow("picture") << "Picture1"
                             << "MainForm" << twips(4320, 480, 3360, 2565) << "";
    QTest::newRow("result caption")
        << "Label1_1"
        << "MainForm" << twips(120, 2640, 2295, 375) << "Съмнения за номер:";
    QTest::newRow("result") << "Text2_0"
                            << "MainForm" << twips(2400, 2640, 1695, 405) << "";
    QTest::newRow("statement") << "Text1_0"
                               << "MainForm" << twips(120, 3120, 7575, 2055) << "";
}

void TestMainForm::controls_standWhereTheFormPutsThem()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);

    auto *widget = m_window->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(widget->geometry(), geometry);
    QVERIFY(widget->isVisible());
    if (!text.isEmpty()) {
        const QVariant shown
            = widget->property(widget->property("title").isValid() ? "title" : "text");
        QCOMPARE(shown.toString(), text);
    }
}

void TestMainForm::colours_areSolid_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("window") << "MainForm" << QColor(192, 192, 255);
    QTest::newRow("title") << "Label1_0" << QColor(255, 192, 128);
    QTest::newRow("result caption") << "Label1_1" << QColor(255, 192, 128);
    QTest::newRow("frame") << "Frame1" << QColor(192, 192, 255);
    for (int k = 0; k < 9; ++k)
        QTest::addRow("box %d", k) << QStringLiteral("Check1_%1").arg(k) << QColor(128, 128, 255);
    QTest::newRow("compute") << "Command1_0" << QColor(0, 255, 0);
    QTest::newRow("clear") << "Command1_1" << QColor(255, 0, 0);
}

void TestMainForm::colours_areSolid()
{
    QFETCH(QString, name);
    QFETCH(QColor, colour);

    auto *widget
        = name == m_window->objectName() ? m_window.get() : m_window->findChild<QWidget *>(name);
    QVERIFY(widget);
    const QImage image = widget->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    // Sample inside the border, away from the text and the check mark.
    const QRect inner = widget->rect().adjusted(3, 3, -3, -3);
    const QList<QPoint> samples
        = { inner.topLeft(), inner.topRight(), inner.bottomLeft(), inner.bottomRight() };
    for (const QPoint &point : samples) {
        const QPoint onImage = (QPointF(point) * ratio).toPoint();
        QCOMPARE(image.pixelColor(onImage).name(), colour.name());
    }
}

void TestMainForm::texts_useTheSerifFontWithCyrillicGlyphs()
{
    const QList<QWidget *> widgets = m_window->findChildren<QWidget *>();
    QVERIFY(widgets.size() >= 17);
    for (QWidget *widget : widgets) {
        const QFontInfo info(widget->font());
        QVERIFY2(info.family() == "Times New Roman" || info.family() == "Liberation Serif",
            qPrintable(widget->objectName() + ": " + info.family()));
        QCOMPARE(widget->font().pointSize(), 12);
        QCOMPARE(info.italic(), false);
        QCOMPARE(info.weight(), int(QFont::Normal));
    }
    const QFontMetrics metrics(m_window->font());
    const QString cyrillic = QStringLiteral("Мерсодал Тарволин Номера на доброволци Изчисли "
                                            "Изчисти Съмнения за номер: Грешни данни!");
    for (const QChar ch : cyrillic)
        QVERIFY2(metrics.inFont(ch), qPrintable(QStringLiteral("no glyph for %1").arg(ch)));
}

void TestMainForm::texts_fitTheirControls()
{
    for (auto *button : m_window->findChildren<QPushButton *>())
        QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->objectName()));
    for (auto *box : m_window->findChildren<QCheckBox *>()) {
        const QStyle *style = box->style();
        const int needed = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box)
            + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box)
            + box->fontMetrics().horizontalAdvance(box->text());
        QVERIFY2(needed <= box->width(), qPrintable(box->objectName()));
    }
    for (auto *label : m_window->findChildren<QLabel *>()) {
        const QFontMetrics metrics(label->font());
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width()
                && metrics.height() <= label->height(),
            qPrintable(label->objectName()));
    }
    auto *result = control<QLineEdit>("Text2_0");
    result->setText(kMessage);
    QVERIFY(result->sizeHint().height() <= result->height());
    QVERIFY(result->fontMetrics().horizontalAdvance(kMessage) < result->width() - 8);
    auto *frame = m_window->findChild<QWidget *>("Frame1");
    QVERIFY(frame->fontMetrics().horizontalAdvance("Номера на доброволци") < frame->width() - 8);
}

void TestMainForm::clicks_tickedIIVAndIX_show274()
{
    for (int index : { 1, 4, 8 })
        clickBox(index);
    for (int k = 0; k < 9; ++k)
        QCOMPARE(box(k)->isChecked(), k == 1 || k == 4 || k == 8);

    click("Command1_0");
    QCOMPARE(result(), "274");

    clickBox(1);
    click("Command1_0");
    QCOMPARE(result(), "272");
    QCOMPARE(box(4)->isChecked(), true);
}

void TestMainForm::compute_rightAfterStart_showsWrongData()
{
    QCOMPARE(result(), QString());
    click("Command1_0");
    QCOMPARE(result(), kMessage);
}

void TestMainForm::clear_unticksEveryBoxAndEmptiesTheResult()
{
    for (int k = 0; k < 9; ++k)
        clickBox(k);
    click("Command1_0");
    QCOMPARE(result(), kMessage);

    click("Command1_1");
    for (int k = 0; k < 9; ++k)
        QVERIFY(!box(k)->isChecked());
    QCOMPARE(result(), QString());

    click("Command1_0");
    QCOMPARE(result(), kMessage);
}

void TestMainForm::partiallyCheckedBox_isNotTicked()
{
    box(0)->setCheckState(Qt::PartiallyChecked);
    box(2)->setCheckState(Qt::Checked);
    click("Command1_0");
    QCOMPARE(result(), "4");
}

void TestMainForm::focus_startsInTheStatementAndFollowsTheTabOrder()
{
    const QStringList order = { "Text1_0", "Check1_0", "Check1_1", "Check1_2", "Check1_3",
        "Check1_4", "Check1_5", "Check1_6", "Check1_7", "Command1_0", "Command1_1", "Check1_8",
        "Text2_0", "Picture1", "Text1_0" };
    QCOMPARE(QApplication::focusWidget()->objectName(), order.first());
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), order.at(i));
    }
    for (qsizetype i = order.size() - 2; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), order.at(i));
    }
}

void TestMainForm::readOnlyBoxes_ignoreEditing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("typed");

    for (const char *name : { "Text1_0", "Text2_0" }) {
        QTest::addRow("%s letters", name) << name << QKeySequence() << "xyz 123";
        QTest::addRow("%s tab", name) << name << QKeySequence() << "\t";
        QTest::addRow("%s delete", name) << name << QKeySequence(Qt::Key_Delete) << "";
        QTest::addRow("%s backspace", name) << name << QKeySequence(Qt::Key_Backspace) << "";
        QTest::addRow("%s return", name) << name << QKeySequence(Qt::Key_Return) << "";
        QTest::addRow("%s cut", name) << name << QKeySequence(QKeySequence::Cut) << "";
        QTest::addRow("%s paste", name) << name << QKeySequence(QKeySequence::Paste) << "";
        QTest::addRow("%s undo", name) << name << QKeySequence(QKeySequence::Undo) << "";
    }
}

void TestMainForm::readOnlyBoxes_ignoreEditing()
{
    QFETCH(QString, name);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, typed);

    click("Command1_0");
    auto *widget = m_window->findChild<QWidget *>(name);
    const char *textProperty = name == "Text2_0" ? "text" : "plainText";
    const QString before = widget->property(textProperty).toString();
    QVERIFY(!before.isEmpty());
    QApplication::clipboard()->setText(QStringLiteral("поставено"));

    widget->setFocus();
    QTest::keySequence(widget, QKeySequence::SelectAll);
    if (!keys.isEmpty())
        QTest::keySequence(widget, keys);
    if (!typed.isEmpty())
        QTest::keyClicks(widget, typed);

    QCOMPARE(widget->property(textProperty).toString(), before);
}

void TestMainForm::readOnlyBoxes_ignoreDrops()
{
    click("Command1_0");
    for (const char *name : { "Text1_0", "Text2_0" }) {
        auto *widget = control<QWidget>(name);
        auto *target
            = name == QLatin1String("Text1_0") ? control<QPlainTextEdit>(name)->viewport() : widget;
        const char *textProperty = name == QLatin1String("Text2_0") ? "text" : "plainText";
        const QString before = widget->property(textProperty).toString();

        QMimeData data;
        data.setText(QStringLiteral("пуснато"));
        const QPointF at = QRectF(target->rect()).center();
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);

        QCOMPARE(widget->property(textProperty).toString(), before);
    }
}

void TestMainForm::readOnlyBoxes_contextMenuIsBulgarianAndChangesNothing()
{
    click("Command1_0");
    auto *result = control<QLineEdit>("Text2_0");
    auto *statement = control<QPlainTextEdit>("Text1_0");
    const QString resultBefore = result->text();
    const QString statementBefore = statement->toPlainText();
    QApplication::clipboard()->setText(QStringLiteral("поставено"));

    const std::unique_ptr<QMenu> menus[]
        = { std::unique_ptr<QMenu>(result->createStandardContextMenu()),
              std::unique_ptr<QMenu>(statement->createStandardContextMenu()) };
    for (const auto &menu : menus) {
        for (QAction *action : menu->actions()) {
            if (action->isSeparator())
                continue;
            QVERIFY2(action->text().contains(QRegularExpression("[а-яА-Я]")),
                qPrintable(action->text()));
            if (action->isEnabled())
                action->trigger();
        }
    }
    QCOMPARE(result->text(), resultBefore);
    QCOMPARE(statement->toPlainText(), statementBefore);
}

void TestMainForm::statement_wrapsAndAlwaysShowsItsScrollBar()
{
    auto *statement = control<QPlainTextEdit>("Text1_0");
    QCOMPARE(statement->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QVERIFY(statement->verticalScrollBar()->isVisible());
    QCOMPARE(statement->verticalScrollBar()->value(), 0);
    QVERIFY(!statement->horizontalScrollBar()->isVisible());
    QVERIFY(statement->tabChangesFocus());
}

void TestMainForm::accessibility_namesEveryFocusableControl()
{
    for (QWidget *widget : m_window->findChildren<QWidget *>()) {
        if (!widget->isVisible() || !(widget->focusPolicy() & Qt::TabFocus))
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        const QString name = accessible->text(QAccessible::Name);
        QVERIFY2(name.contains(QRegularExpression("[а-яА-Я]")), qPrintable(widget->objectName()));
    }
}

namespace {

QStringList s_shown, s_spoken;

// What a screen reader is told wherever the focus is: AT-SPI hears a notification shown with
// its text, UI Automation a string value change on it. Nothing else may carry a value.
void recordAnnouncement(QAccessibleEvent *event)
{
    QAccessibleInterface *source = event->accessibleInterface();
    const bool notification = source && source->role() == QAccessible::Notification;
    if (event->type() == QAccessible::ObjectShow && notification)
        s_shown.append(source->text(QAccessible::Name));
    if (event->type() == QAccessible::ValueChanged) {
        const QVariant value = static_cast<QAccessibleValueChangeEvent *>(event)->value();
        s_spoken.append(notification && value.typeId() == QMetaType::QString
                ? value.toString()
                : QStringLiteral("another value change"));
    }
}

} // namespace

void TestMainForm::accessibility_announcesWhatEachClickDid()
{
    // Qt sends accessibility events only while an assistive tool listens. There is none
    // offscreen, so switch the platform's flag on by hand, as Qt's own tests do, and catch
    // the events before they would reach a screen reader.
    QPlatformAccessibility *platform
        = QGuiApplicationPrivate::platformIntegration()->accessibility();
    QVERIFY(platform);
    platform->setActive(true);
    QAccessible::installUpdateHandler(recordAnnouncement);
    s_shown.clear();
    s_spoken.clear();

    clickBox(2);
    click("Command1_0");
    click("Command1_0");
    click("Command1_1");
    click("Command1_1");
    click("Command1_0");

    QAccessible::installUpdateHandler(nullptr);
    platform->setActive(false);
    const QString cleared = QStringLiteral("Отметките и резултатът са изчистени.");
    const QStringList announced { "4", "4", cleared, cleared, kMessage };
    QCOMPARE(s_shown, announced);
    QCOMPARE(s_spoken, announced);
    QCOMPARE(QApplication::focusWidget(), control<QPushButton>("Command1_0"));
    QAccessibleInterface *result
        = QAccessible::queryAccessibleInterface(control<QLineEdit>("Text2_0"));
    QCOMPARE(result->text(QAccessible::Value), kMessage);
    QCOMPARE(result->text(QAccessible::Name), QStringLiteral("Съмнения за номер"));
    // One run of attributes over the whole text, or Orca drops its last character.
    int start = -1, end = -1;
    result->textInterface()->attributes(3, &start, &end);
    QCOMPARE(QList<int>({ start, end }), QList<int>({ 0, int(kMessage.size()) }));
    QVERIFY(result->state().readOnly);
}

TARVOLIN_WIDGET_TEST_MAIN(TestMainForm)

#include "tst_mainform.moc"

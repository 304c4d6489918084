// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainform.h"
#include "widgettestmain.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// One short life of the window, start to close; CTest runs it under valgrind's memcheck.
class TestLifecycle : public QObject {
    Q_OBJECT

private slots:
    void startComputeClearClose();
};

void TestLifecycle::startComputeClearClose()
{
    auto *window = new MainForm;
    window->setAttribute(Qt::WA_DeleteOnClose);
    QSignalSpy destroyed(window, &QObject::destroyed);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    for (const char *box : { "Check1_1", "Check1_4", "Check1_8" })
        QTest::mouseClick(window->findChild<QCheckBox *>(box), Qt::LeftButton, {}, { 6, 12 });
    auto *result = window->findChild<QLineEdit *>("Text2_0");
    QTest::mouseClick(window->findChild<QPushButton *>("Command1_0"), Qt::LeftButton);
    QCOMPARE(result->text(), "274");
    QTest::mouseClick(window->findChild<QPushButton *>("Command1_1"), Qt::LeftButton);
    QCOMPARE(result->text(), QString());

    QVERIFY(window->close());
    QTRY_COMPARE(destroyed.size(), 1);
}

TARVOLIN_WIDGET_TEST_MAIN(TestLifecycle)

#include "tst_lifecycle.moc"

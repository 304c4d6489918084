// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <windows.h>

// Starts the built Tarvolin.exe as a user would and drives it from outside, through
// Windows: the real mouse and keyboard, the clipboard to read the result, WM_CLOSE to end;
// and records what it tells UI Automation, through the stand-in uiarecorder.cpp.

namespace {

// Points inside the window's controls, in device-independent pixels of its client area.
const QPoint kTick2 { 79, 68 }, kTick5 { 79, 100 }, kTick9 { 135, 132 };
const QPoint kCompute { 232, 52 }, kClear { 232, 140 }, kResult { 216, 189 };
// UiaRootObjectId, whose header MinGW-w64 declares for C only.
const LPARAM kUiaRootObjectId = -25;

struct Found {
    DWORD processId;
    HWND window;
};

HWND visibleWindowOf(qint64 processId)
{
    Found found { DWORD(processId), nullptr };
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto *found = reinterpret_cast<Found *>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != found->processId || !IsWindowVisible(window)
                || GetWindowTextLengthW(window) == 0)
                return TRUE;
            found->window = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

void sendKeys(std::initializer_list<WORD> keys)
{
    QList<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.append(input);
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        INPUT input {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.append(input);
    }
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

QString clipboardText()
{
    QString text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = QString::fromWCharArray(static_cast<const wchar_t *>(GlobalLock(data)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void setClipboardText(const QString &text)
{
    QVERIFY(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto *characters = static_cast<wchar_t *>(GlobalLock(data));
    characters[text.toWCharArray(characters)] = L'\0';
    GlobalUnlock(data);
    QVERIFY(SetClipboardData(CF_UNICODETEXT, data));
    CloseClipboard();
}

} // namespace

class TestWinExecutable : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void program_showsItsWindow_computes_clears_announces_andExitsCleanly();

private:
    void click(QPoint point);
    QString resultText();

    QStringList notifications() const;

    HWND m_window = nullptr;
    qreal m_scale = 1;
    QString m_uiaLog;
};

void TestWinExecutable::initTestCase()
{
    // Window sizes as they are, not as Windows would scale them for a program unaware of DPI.
    SetProcessDPIAware();
    QVERIFY2(QFileInfo::exists(qEnvironmentVariable("TARVOLIN_PROGRAM")),
        "set TARVOLIN_PROGRAM to Tarvolin.exe");
    // Qt loads UIAutomationCore.dll from the system folder only. Only the program is told to
    // prefer this copy to Wine's own, which tells Qt that no one listens.
    wchar_t system[MAX_PATH] {};
    QVERIFY(GetSystemDirectoryW(system, MAX_PATH));
    const QString recorder
        = QCoreApplication::applicationDirPath() + "/uiarecorder/UIAutomationCore.dll";
    QVERIFY2(
        CopyFileW(qUtf16Printable(recorder),
            qUtf16Printable(QString::fromWCharArray(system) + "\\UIAutomationCore.dll"), FALSE),
        qPrintable(recorder));
    m_uiaLog = QDir::temp().filePath("tarvolin-uia.log");
    QFile::remove(m_uiaLog);
}

// The texts of the UI Automation notifications the program has raised.
QStringList TestWinExecutable::notifications() const
{
    QFile log(m_uiaLog);
    QStringList texts;
    if (!log.open(QIODevice::ReadOnly))
        return texts;
    const QRegularExpression notification("^notification [0-9]* \"[^\"]*\" (.*)$");
    for (const QString &line : QString::fromUtf8(log.readAll()).split(u'\n'))
        if (const QRegularExpressionMatch match = notification.match(line); match.hasMatch())
            texts.append(match.captured(1));
    return texts;
}

void TestWinExecutable::click(QPoint point)
{
    POINT screen { LONG(qRound(point.x() * m_scale)), LONG(qRound(point.y() * m_scale)) };
    ClientToScreen(m_window, &screen);
    SetCursorPos(screen.x, screen.y);
    INPUT inputs[2] {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
    QTest::qWait(300);
}

// As a person reads it: click into the box, select all, copy. An empty box copies
// nothing, so the clipboard keeps what was there before.
QString TestWinExecutable::resultText()
{
    const QString nothingCopied = QStringLiteral("(nothing copied)");
    setClipboardText(nothingCopied);
    click(kResult);
    sendKeys({ VK_CONTROL, 'A' });
    sendKeys({ VK_CONTROL, 'C' });
    QTest::qWait(500);
    const QString text = clipboardText();
    return text == nothingCopied ? QString() : text;
}

void TestWinExecutable::program_showsItsWindow_computes_clears_announces_andExitsCleanly()
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(
        "WINEDLLOVERRIDES", environment.value("WINEDLLOVERRIDES") + ";uiautomationcore=n");
    environment.insert("TARVOLIN_UIA_LOG", QDir::toNativeSeparators(m_uiaLog));
    program.setProcessEnvironment(environment);
    program.start(qEnvironmentVariable("TARVOLIN_PROGRAM"), {});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT((m_window = visibleWindowOf(program.processId())), 20000);
    SetForegroundWindow(m_window);
    // A screen reader's first request, which switches Qt's bridge on.
    SendMessageW(m_window, WM_GETOBJECT, 0, kUiaRootObjectId);
    // A window that has just mapped may still drop the first click.
    QTest::qWait(1500);

    wchar_t title[100] {};
    GetWindowTextW(m_window, title, 100);
    QCOMPARE(QString::fromWCharArray(title), QStringLiteral("www.mersodal.example Мерсодал"));

    const LONG_PTR style = GetWindowLongPtrW(m_window, GWL_STYLE);
    QVERIFY((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU));
    QCOMPARE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);

    HDC screenDc = GetDC(nullptr);
    m_scale = GetDeviceCaps(screenDc, LOGPIXELSX) / 96.0;
    ReleaseDC(nullptr, screenDc);
    RECT client {};
    GetClientRect(m_window, &client);
    QVERIFY2(qAbs(client.right - 517 * m_scale) <= 1 && qAbs(client.bottom - 355 * m_scale) <= 1,
        qPrintable(QStringLiteral("client area %1 x %2 at scale %3")
                       .arg(client.right)
                       .arg(client.bottom)
                       .arg(m_scale)));
    POINT origin { 0, 0 };
    ClientToScreen(m_window, &origin);
    MONITORINFO monitor { sizeof(MONITORINFO), {}, {}, 0 };
    GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT &work = monitor.rcWork;
    QVERIFY(qAbs(2 * origin.x + client.right - (work.left + work.right)) <= 2);
    QVERIFY(qAbs(2 * origin.y + client.bottom - (work.top + work.bottom)) <= 2);

    for (QPoint tick : { kTick2, kTick5, kTick9 })
        click(tick);
    click(kCompute);
    QCOMPARE(resultText(), "274");
    click(kClear);
    QCOMPARE(resultText(), QString());
    click(kCompute);
    QCOMPARE(resultText(), "Грешни данни!");
    QCOMPARE(notifications(),
        QStringList({ "274", "Отметките и резултатът са изчистени.", "Грешни данни!" }));

    PostMessageW(m_window, WM_CLOSE, 0, 0);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    // Wine lacks two of Windows' DPI calls, and Qt says so; nothing else may be said.
    const QStringList errors
        = QString::fromUtf8(program.readAllStandardError())
              .split(u'\n', Qt::SkipEmptyParts)
              .filter(QRegularExpression(
                  "^(?!.*(SetProcessDpiAwarenessContext|EnableNonClientDpiScaling))"));
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
}

QTEST_GUILESS_MAIN(TestWinExecutable)
#include "tst_winexecutable.moc"

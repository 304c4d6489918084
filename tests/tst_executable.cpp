// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <xcb/xcb.h>

// Starts the built program as a user would, on a real X server (the test
// runs under xvfb-run), and closes it the way a window manager does.

namespace {

struct Connection {
    xcb_connection_t *xcb = xcb_connect(nullptr, nullptr);
    ~Connection() { xcb_disconnect(xcb); }
};

template<typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template<typename Reply> ReplyPtr<Reply> owned(Reply *reply)
{
    return { reply, &std::free };
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    auto reply
        = owned(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, strlen(name), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QByteArray windowProperty(
    xcb_connection_t *c, xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    auto reply = owned(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, 1024), nullptr));
    if (!reply)
        return {};
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
        xcb_get_property_value_length(reply.get()));
}

std::optional<xcb_window_t> viewableWindowOf(xcb_connection_t *c, qint64 pid)
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t pidAtom = atom(c, "_NET_WM_PID");
    auto tree = owned(xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr));
    if (!tree)
        return {};
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const QByteArray owner = windowProperty(c, children[i], pidAtom, XCB_ATOM_CARDINAL);
        if (owner.size() != 4 || *reinterpret_cast<const quint32 *>(owner.constData()) != pid)
            continue;
        auto attributes = owned(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr));
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            return children[i];
    }
    return {};
}

} // namespace

class TestExecutable : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void program_showsItsFixedWindowAndExitsCleanlyOnClose();
    void program_thatCannotStart_saysWhy_data();
    void program_thatCannotStart_saysWhy();

private:
    QProcessEnvironment baseEnvironment() const;

    QString m_program;
    QTemporaryDir m_runtimeDir;
};

void TestExecutable::initTestCase()
{
    m_program = qEnvironmentVariable("TARVOLIN_PROGRAM");
    QVERIFY2(QFileInfo(m_program).isExecutable(), "set TARVOLIN_PROGRAM to the program's path");
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under xvfb-run");
    QVERIFY(m_runtimeDir.isValid());
    QFile::setPermissions(m_runtimeDir.path(),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QProcessEnvironment TestExecutable::baseEnvironment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("QT_SCALE_FACTOR");
    environment.insert("XDG_RUNTIME_DIR", m_runtimeDir.path());
    return environment;
}

void TestExecutable::program_showsItsFixedWindowAndExitsCleanlyOnClose()
{
    QProcess program;
    program.setProcessEnvironment(baseEnvironment());
    program.start(m_program, {});
    QVERIFY(program.waitForStarted());

    Connection connection;
    xcb_connection_t *c = connection.xcb;
    QVERIFY(!xcb_connection_has_error(c));
    std::optional<xcb_window_t> window;
    QTRY_VERIFY_WITH_TIMEOUT((window = viewableWindowOf(c, program.processId())), 10000);

    auto geometry = owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, *window), nullptr));
    QVERIFY(geometry);
    QCOMPARE(geometry->width, 517);
    QCOMPARE(geometry->height, 355);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    QVERIFY(qAbs(2 * geometry->x + 517 - screen->width_in_pixels) <= 2);
    QVERIFY(qAbs(2 * geometry->y + 355 - screen->height_in_pixels) <= 2);

    const QByteArray title
        = windowProperty(c, *window, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"));
    QCOMPARE(QString::fromUtf8(title), QStringLiteral("www.mersodal.example Мерсодал"));

    // WM_NORMAL_HINTS: flags, x, y, width, height, min width/height, max width/height, ...
    const QByteArray hints
        = windowProperty(c, *window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS);
    QVERIFY(hints.size() >= 9 * 4);
    const auto *fields = reinterpret_cast<const qint32 *>(hints.constData());
    constexpr qint32 minSizeFlag = 1 << 4, maxSizeFlag = 1 << 5;
    QVERIFY((fields[0] & minSizeFlag) && (fields[0] & maxSizeFlag));
    QCOMPARE(QList<qint32>({ fields[5], fields[6], fields[7], fields[8] }),
        QList<qint32>({ 517, 355, 517, 355 }));

    // _MOTIF_WM_HINTS: flags, functions, decorations. The window manager may move and
    // close the window, and shows neither a minimise nor a maximise button.
    const QByteArray motif
        = windowProperty(c, *window, atom(c, "_MOTIF_WM_HINTS"), atom(c, "_MOTIF_WM_HINTS"));
    QVERIFY(motif.size() >= 3 * 4);
    const auto *motifFields = reinterpret_cast<const quint32 *>(motif.constData());
    constexpr quint32 functionMinimize = 1 << 3, functionMaximize = 1 << 4, functionClose = 1 << 5;
    constexpr quint32 decorationMinimize = 1 << 5, decorationMaximize = 1 << 6;
    QVERIFY(motifFields[1] & functionClose);
    QCOMPARE(motifFields[1] & (functionMinimize | functionMaximize), 0u);
    QCOMPARE(motifFields[2] & (decorationMinimize | decorationMaximize), 0u);

    xcb_client_message_event_t close {};
    close.response_type = XCB_CLIENT_MESSAGE;
    close.format = 32;
    close.window = *window;
    close.type = atom(c, "WM_PROTOCOLS");
    close.data.data32[0] = atom(c, "WM_DELETE_WINDOW");
    close.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, *window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&close));
    xcb_flush(c);

    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.readAllStandardError(), QByteArray());
    QCOMPARE(program.readAllStandardOutput(), QByteArray());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

void TestExecutable::program_thatCannotStart_saysWhy_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("detail");
    const QString noDisplay = QStringLiteral("нужен е графичен дисплей");
    const QString noPlugin = QStringLiteral("приставката за графичната платформа");
    QTest::newRow("no display") << QString() << QString() << noDisplay << QString();
    QTest::newRow("display not there") << QString() << ":9999" << noDisplay << QString();
    QTest::newRow("xcb, no display") << "xcb" << QString() << noDisplay << QString();
    QTest::newRow("unknown plugin") << "nosuchplatform" << ":0" << noPlugin << "nosuchplatform";
}

void TestExecutable::program_thatCannotStart_saysWhy()
{
    QFETCH(QString, platform);
    QFETCH(QString, display);
    QFETCH(QString, reason);
    QFETCH(QString, detail);
    QProcessEnvironment environment = baseEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    if (!display.isEmpty())
        environment.insert("DISPLAY", display);
    if (!platform.isEmpty())
        environment.insert("QT_QPA_PLATFORM", platform);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(m_program, {});
    QVERIFY(program.waitForFinished(10000));

    // A plain exit, no abort: no core dump.
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    const QString error = QString::fromUtf8(program.readAllStandardError());
    const QStringList lines = error.split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(!lines.isEmpty() && lines.first().contains(reason), qPrintable(error));
    if (detail.isEmpty())
        QCOMPARE(lines.size(), 1);
    else
        QVERIFY2(lines.size() > 1 && error.contains(detail), qPrintable(error));
    QCOMPARE(program.readAllStandardOutput(), QByteArray());
}

QTEST_GUILESS_MAIN(TestExecutable)
#include "tst_executable.moc"

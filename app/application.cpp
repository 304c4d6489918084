// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "application.h"

#include "buildinfo.h"
#include "embeddedimage.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QTranslator>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

QStringList *s_startupMessages = nullptr;

// Qt reports a platform plugin that cannot start with warnings followed by qFatal(), which
// aborts and leaves a core dump. Hold the warnings back; at the fatal one, say why in one
// Bulgarian line (with Qt's own diagnosis when it is not simply a missing display) and exit.
void handleStartupMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    s_startupMessages->append(qFormatLogMessage(type, context, message));
    if (type != QtFatalMsg)
        return;
    const bool noDisplay = std::any_of(s_startupMessages->cbegin(), s_startupMessages->cend(),
        [](const QString &held) { return held.contains(QLatin1String("connect to display")); });
    if (noDisplay) {
        std::fputs("tarvolin: нужен е графичен дисплей, за да се покаже прозорецът.\n", stderr);
    } else {
        std::fputs("tarvolin: приставката за графичната платформа на Qt не може да се зареди:\n",
            stderr);
        for (const QString &held : std::as_const(*s_startupMessages))
            std::fprintf(stderr, "%s\n", qUtf8Printable(held));
    }
    std::_Exit(EXIT_FAILURE);
}

std::unique_ptr<QApplication> constructQuietly(int &argc, char **argv)
{
    QStringList messages;
    s_startupMessages = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(handleStartupMessage);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    s_startupMessages = nullptr;
    for (const QString &message : std::as_const(messages))
        std::fprintf(stderr, "%s\n", qUtf8Printable(message));
    return app;
}

} // namespace

std::unique_ptr<QApplication> createApplication(int &argc, char **argv)
{
    auto app = constructQuietly(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvolin"));
    QApplication::setApplicationVersion(QStringLiteral(TARVOLIN_VERSION));
    QApplication::setOrganizationDomain(QStringLiteral(TARVOLIN_PUBLISHER_URL));
    QGuiApplication::setDesktopFileName(QStringLiteral(TARVOLIN_APP_ID));

    QIcon icon;
    for (int size : { 16, 32, 48, 64 }) {
        icon.addPixmap(QPixmap::fromImage(embeddedImage(
            QStringLiteral(":/generated/hicolor/%1x%1/apps/" TARVOLIN_APP_ID ".raw").arg(size))));
    }
    QApplication::setWindowIcon(icon);

    // The classic style paints a button's palette colour as a solid face, as the
    // green and red buttons need; its own palette keeps a dark desktop theme from
    // putting light text on the window's light backgrounds.
    QStyle *style = QApplication::setStyle(QStringLiteral("Windows"));
    QApplication::setPalette(style->standardPalette());

    // Qt's own texts (the context menus): Windows has no system copy, so a Windows
    // build carries one, looked for only where the system has none.
    auto *translator = new QTranslator(app.get());
    const QLocale bulgarian(QLocale::Bulgarian);
    for (const QString &folder :
        { QLibraryInfo::path(QLibraryInfo::TranslationsPath), QStringLiteral(":/i18n") }) {
        if (translator->load(bulgarian, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            QApplication::installTranslator(translator);
            break;
        }
    }
    return app;
}

// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

// Reads the version information and the icon group back. On Windows it asks Windows
// itself about the built Tarvolin.exe, as Explorer does; elsewhere it compiles the resource
// script with MinGW's windres and decompiles the compiled resources.
class TestVersionInfo : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void fixedPart_holdsTheFourPartVersion();
    void stringTable_holdsEveryField_data();
    void stringTable_holdsEveryField();
    void icon_isGroupOneWithThe32PixelImage30001First();

private:
    QString m_fileVersion;
    QString m_productVersion;
    QString m_translation;
    QHash<QString, QString> m_strings;
    // Of the group's first image: "width height bits id".
    QString m_firstIcon;
};

#ifdef Q_OS_WIN

void TestVersionInfo::initTestCase()
{
    const auto program = qEnvironmentVariable("TARVOLIN_PROGRAM").toStdWString();
    QVERIFY2(!program.empty(), "set TARVOLIN_PROGRAM to Tarvolin.exe");
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), nullptr);
    QVERIFY2(size > 0, "the program has no version information");
    QByteArray block(size, '\0');
    QVERIFY(GetFileVersionInfoW(program.c_str(), 0, size, block.data()));

    void *value = nullptr;
    UINT length = 0;
    QVERIFY(VerQueryValueW(block.data(), L"\\", &value, &length));
    const auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(value);
    const auto fourParts = [](DWORD high, DWORD low) {
        return QStringLiteral("%1.%2.%3.%4")
            .arg(HIWORD(high)).arg(LOWORD(high)).arg(HIWORD(low)).arg(LOWORD(low));
    };
    m_fileVersion = fourParts(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    m_productVersion = fourParts(fixed->dwProductVersionMS, fixed->dwProductVersionLS);

    QVERIFY(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length));
    const auto *translation = static_cast<const WORD *>(value);
    m_translation = QStringLiteral("%1 %2").arg(uint(translation[0]), 4, 16, QChar(u'0')).arg(translation[1]);
    for (const char *field : { "Comments", "CompanyName", "FileDescription", "FileVersion",
             "InternalName", "LegalCopyright", "LegalTrademarks", "OriginalFilename",
             "ProductName", "ProductVersion" }) {
        const auto path = (QStringLiteral("\\StringFileInfo\\040904B0\\") + QLatin1String(field))
                              .toStdWString();
        if (VerQueryValueW(block.data(), path.c_str(), &value, &length) && length > 0)
            m_strings.insert(field, QString::fromWCharArray(static_cast<const wchar_t *>(value)));
    }

    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    QVERIFY(module);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));
    QVERIFY2(group, "no icon group 1");
    const auto *bytes = static_cast<const uchar *>(LockResource(LoadResource(module, group)));
    // GRPICONDIR: reserved, type, count; then 14-byte entries.
    QVERIFY(SizeofResource(module, group) >= 6 + 14 && bytes[4] > 0);
    const int id = bytes[6 + 12] | bytes[6 + 13] << 8;
    m_firstIcon = QStringLiteral("%1 %2 %3 %4").arg(bytes[6]).arg(bytes[7]).arg(bytes[6 + 6]).arg(id);
    QVERIFY2(FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3)), "no icon image");
    FreeLibrary(module);
}

#else

void TestVersionInfo::initTestCase()
{
    const QString windres = qEnvironmentVariable("TARVOLIN_WINDRES");
    const QString script = qEnvironmentVariable("TARVOLIN_RC");
    QVERIFY2(!windres.isEmpty() && QFile::exists(script), "set TARVOLIN_WINDRES and TARVOLIN_RC");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString compiled = dir.filePath("tarvolin.res");
    const QString decompiled = dir.filePath("tarvolin.rc");

    for (const QStringList &arguments :
        { QStringList { "--preprocessor=cpp", "-i", script, "-O", "res", "-o", compiled },
            QStringList { "-i", compiled, "-O", "rc", "-o", decompiled } }) {
        QProcess process;
        process.start(windres, arguments);
        QVERIFY(process.waitForFinished(30000));
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
            process.readAllStandardError().constData());
    }
    QFile file(decompiled);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString resources = QString::fromUtf8(file.readAll());

    QVERIFY(resources.contains(
        QRegularExpression("^1 VERSIONINFO$", QRegularExpression::MultilineOption)));
    const auto fourParts = [&](const char *keyword) {
        const QRegularExpressionMatch match
            = QRegularExpression(QStringLiteral(" %1 (\\d+), (\\d+), (\\d+), (\\d+)\n").arg(keyword))
                  .match(resources);
        return match.capturedTexts().mid(1).join(u'.');
    };
    m_fileVersion = fourParts("FILEVERSION");
    m_productVersion = fourParts("PRODUCTVERSION");
    if (resources.contains("BLOCK \"040904B0\"") && resources.contains("VALUE \"Translation\", 0x409, 1200"))
        m_translation = QStringLiteral("0409 1200");
    QRegularExpressionMatchIterator values
        = QRegularExpression("VALUE \"(\\w+)\", \"([^\"]*)\"").globalMatch(resources);
    while (values.hasNext()) {
        const QRegularExpressionMatch value = values.next();
        m_strings.insert(value.captured(1), value.captured(2));
    }
    // windres writes the group's entries as "width height colours pad", planes, bits, size, id.
    const QRegularExpressionMatch icon
        = QRegularExpression("1 14 /\\* RT_GROUP_ICON \\*/.*\n.*\n.*\n.*\n"
                             "\\s*\"\\\\(\\d+)\\\\(\\d+)\\\\000\\\\000\", 1, (\\d+), \\w+, (\\d+)")
              .match(resources);
    QVERIFY2(icon.hasMatch(), "no icon group 1");
    m_firstIcon = QStringLiteral("%1 %2 %3 %4")
                      .arg(icon.captured(1).toInt(nullptr, 8))
                      .arg(icon.captured(2).toInt(nullptr, 8))
                      .arg(icon.captured(3), icon.captured(4));
    QVERIFY2(resources.contains(icon.captured(4) + " 3 /* RT_ICON */"), "no icon image");
}

#endif

void TestVersionInfo::fixedPart_holdsTheFourPartVersion()
{
    QCOMPARE(m_fileVersion, TARVOLIN_VERSION_NUMBER);
    QCOMPARE(m_productVersion, TARVOLIN_VERSION_NUMBER);
    QCOMPARE(m_translation, "0409 1200");
}

void TestVersionInfo::stringTable_holdsEveryField_data()
{
    QTest::addColumn<QString>("value");
    const QString publisher = QStringLiteral("www.mersodal.example");
    QTest::newRow("Comments") << "Tarvolin";
    QTest::newRow("CompanyName") << publisher;
    QTest::newRow("FileDescription") << "Tarvolin";
    QTest::newRow("FileVersion") << TARVOLIN_VERSION;
    QTest::newRow("InternalName") << "Tarvolin";
    QTest::newRow("LegalCopyright") << publisher;
    QTest::newRow("LegalTrademarks") << publisher;
    QTest::newRow("OriginalFilename") << "Tarvolin.exe";
    QTest::newRow("ProductName") << "Tarvolin";
    QTest::newRow("ProductVersion") << TARVOLIN_VERSION;
}

void TestVersionInfo::stringTable_holdsEveryField()
{
    QFETCH(QString, value);
    const QString field = QString::fromLatin1(QTest::currentDataTag());
    QVERIFY2(m_strings.contains(field), qPrintable(field));
    QCOMPARE(m_strings.value(field), value);
}

void TestVersionInfo::icon_isGroupOneWithThe32PixelImage30001First()
{
    QCOMPARE(m_firstIcon, "32 32 8 30001");
}

QTEST_APPLESS_MAIN(TestVersionInfo)
#include "tst_versioninfo.moc"

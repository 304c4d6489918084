// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// Compiles the Windows resource script with MinGW's windres, then decompiles the
// compiled resources and reads every field back from them.
class TestVersionInfo : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void fixedPart_holdsTheFourPartVersion();
    void stringTable_holdsEveryField_data();
    void stringTable_holdsEveryField();
    void icon_isGroupOneWithThe32PixelImageFirst();

private:
    QString m_resources;
};

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
    m_resources = QString::fromUtf8(file.readAll());
}

void TestVersionInfo::fixedPart_holdsTheFourPartVersion()
{
    QVERIFY(m_resources.contains(
        QRegularExpression("^1 VERSIONINFO$", QRegularExpression::MultilineOption)));
    const QString version = QStringLiteral(TARVOLIN_VERSION_NUMBER).replace(u'.', QLatin1String(", "));
    QVERIFY(m_resources.contains(QStringLiteral(" FILEVERSION %1\n").arg(version)));
    QVERIFY(m_resources.contains(QStringLiteral(" PRODUCTVERSION %1\n").arg(version)));
    QVERIFY(m_resources.contains("BLOCK \"040904B0\""));
    QVERIFY(m_resources.contains("VALUE \"Translation\", 0x409, 1200"));
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
    const QRegularExpression line(QStringLiteral("VALUE \"%1\", \"([^\"]*)\"").arg(field));
    const QRegularExpressionMatch match = line.match(m_resources);
    QVERIFY2(match.hasMatch(), qPrintable(field));
    QCOMPARE(match.captured(1), value);
}

void TestVersionInfo::icon_isGroupOneWithThe32PixelImageFirst()
{
    QVERIFY(m_resources.contains("1 14 /* RT_GROUP_ICON */"));
    // Element 1: 32 x 32, one plane, 8 bits per pixel.
    QVERIFY(m_resources.contains("\"\\040\\040\\000\\000\", 1, 8,"));
}

QTEST_APPLESS_MAIN(TestVersionInfo)
#include "tst_versioninfo.moc"

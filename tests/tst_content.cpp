// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainform.h"
#include "widgettestmain.h"

#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

namespace {

const QString kTaskSentence = QStringLiteral(
    "„Да се реализира проект, чрез която се въвеждат номерата на пострадалите доброволци и се "
    "извежда номера на бурето с пургатив.“");

QByteArray resource(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint16 bigEndian16(const QByteArray &bytes, qsizetype at)
{
    return quint16(quint8(bytes.at(at)) << 8 | quint8(bytes.at(at + 1)));
}

quint16 littleEndian16(const QByteArray &bytes, qsizetype at)
{
    return quint16(quint8(bytes.at(at)) | quint8(bytes.at(at + 1)) << 8);
}

} // namespace

// The Windows build's static Qt has no JPEG or ICO decoder, as the program decodes nothing
// at run time: there the files are checked byte by byte only.
#ifdef Q_OS_WIN
#define SKIP_WITHOUT_DECODER(format)                                                               \
    if (!QImageReader::supportedImageFormats().contains(format))                                   \
    QSKIP("no " format " decoder in this Qt")
#else
#define SKIP_WITHOUT_DECODER(format)
#endif

class TestContent : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void statement_hasSixParagraphsEndingInCrLf();
    void statement_showsSixParagraphsAndReachesTheTaskByScrolling();
    void illustration_isABaselineJfifJpegAt96Dpi_data();
    void illustration_isABaselineJfifJpegAt96Dpi();
    void illustration_isTheShippedJpegPixelForPixel();
    void icon_hasThe256Colour32PixelImageFirst();
    void icon_isTheWindowIconAtEverySize();

private:
    std::unique_ptr<MainForm> m_window;
};

void TestContent::init()
{
    m_window = std::make_unique<MainForm>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestContent::cleanup()
{
    m_window.reset();
}

void TestContent::statement_hasSixParagraphsEndingInCrLf()
{
    const QString text = QString::fromUtf8(resource(QStringLiteral(":/statement.txt")));
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    const QStringList paragraphs = text.chopped(2).split(QStringLiteral("\r\n"));
    QCOMPARE(paragraphs.size(), 6);
    for (const QString &paragraph : paragraphs) {
        QVERIFY(!paragraph.trimmed().isEmpty());
        QVERIFY(!paragraph.contains(u'\r') && !paragraph.contains(u'\n'));
    }
    QVERIFY(paragraphs[0].contains(QStringLiteral("14 март")));
    QVERIFY(paragraphs[3].contains(QStringLiteral("314 бурета")));
    QVERIFY(paragraphs[3].contains(QStringLiteral(" 10.")));
    QVERIFY(paragraphs[4].startsWith(QStringLiteral("И така, решено е: 9 воини")));
    QVERIFY(paragraphs[5].endsWith(kTaskSentence));
}

void TestContent::statement_showsSixParagraphsAndReachesTheTaskByScrolling()
{
    auto *statement = m_window->findChild<QPlainTextEdit *>("Text1_0");
    QVERIFY(statement);
    QCOMPARE(statement->document()->blockCount(), 6);
    QVERIFY(!statement->toPlainText().contains(u'\r'));
    QVERIFY(statement->document()->lastBlock().text().endsWith(kTaskSentence));

    QScrollBar *scrollBar = statement->verticalScrollBar();
    QCOMPARE(scrollBar->value(), 0);
    QVERIFY(scrollBar->maximum() > 0);
    const QTextBlock last = statement->document()->lastBlock();
    QVERIFY(statement->document()->documentLayout()->blockBoundingRect(last).height()
        > statement->fontMetrics().height() * 1.5);

    statement->setFocus();
    QTest::keyClick(statement, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(scrollBar->value() > 0);
    QVERIFY(statement->textCursor().atEnd());
    QVERIFY(statement->viewport()->rect().contains(statement->cursorRect().center()));
}

void TestContent::illustration_isABaselineJfifJpegAt96Dpi_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("1x") << QFINDTESTDATA("../resources/generated/illustration.jpg") << QSize(220, 167);
    QTest::newRow("2x") << QFINDTESTDATA("../resources/generated/illustration@2x.jpg")
                        << QSize(440, 334);
}

void TestContent::illustration_isABaselineJfifJpegAt96Dpi()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QByteArray jpeg = resource(path);
    QVERIFY(jpeg.startsWith("\xFF\xD8\xFF\xE0"));
    QCOMPARE(jpeg.mid(6, 5), QByteArray("JFIF\0", 5));
    QCOMPARE(bigEndian16(jpeg, 11), 0x0101);
    QCOMPARE(int(jpeg.at(13)), 1); // dots per inch
    QCOMPARE(bigEndian16(jpeg, 14), 96);
    QCOMPARE(bigEndian16(jpeg, 16), 96);

    // Walk the segments to the frame header: SOF0 is baseline; any other SOF is not.
    qsizetype at = 2;
    while (at + 4 < jpeg.size() && quint8(jpeg.at(at + 1)) != 0xC0) {
        const quint8 marker = quint8(jpeg.at(at + 1));
        QVERIFY2(marker < 0xC1 || marker > 0xCF || marker == 0xC4 || marker == 0xCC,
            "not a baseline JPEG");
        at += 2 + bigEndian16(jpeg, at + 2);
    }
    QCOMPARE(quint8(jpeg.at(at + 1)), quint8(0xC0));
    QCOMPARE(QSize(bigEndian16(jpeg, at + 7), bigEndian16(jpeg, at + 5)), size);
    QCOMPARE(int(jpeg.at(at + 9)), 3);

    SKIP_WITHOUT_DECODER("jpeg");
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    QCOMPARE(reader.read().size(), size);
}

void TestContent::illustration_isTheShippedJpegPixelForPixel()
{
    SKIP_WITHOUT_DECODER("jpeg");
    QVERIFY(QImageReader::supportedImageFormats().contains("jpeg"));
    auto *picture = m_window->findChild<QLabel *>("Picture1");
    QVERIFY(picture);
    const QPixmap pixmap = picture->pixmap();
    QVERIFY(!pixmap.isNull());
    // The build embeds the shipped JPEG decoded; the window must show exactly that.
    const QImage shipped(m_window->devicePixelRatioF() > 1
            ? QFINDTESTDATA("../resources/generated/illustration@2x.jpg")
            : QFINDTESTDATA("../resources/generated/illustration.jpg"));
    QCOMPARE(pixmap.toImage().convertToFormat(QImage::Format_RGB32),
        shipped.convertToFormat(QImage::Format_RGB32));
    QCOMPARE(pixmap.deviceIndependentSize().toSize(), QSize(220, 167));
    QCOMPARE(pixmap.width(), m_window->devicePixelRatioF() > 1 ? 440 : 220);
    QCOMPARE(picture->frameShadow(), QFrame::Sunken);
    QCOMPARE(picture->frameWidth(), 2);
    QCOMPARE(picture->size(), QSize(220 + 2 * 2, 167 + 2 * 2));
}

void TestContent::icon_hasThe256Colour32PixelImageFirst()
{
    QFile ico(QFINDTESTDATA("../resources/generated/tarvolin.ico"));
    QVERIFY(ico.open(QIODevice::ReadOnly));
    const QByteArray bytes = ico.readAll();
    QCOMPARE(littleEndian16(bytes, 2), 1); // icon
    QVERIFY(littleEndian16(bytes, 4) >= 1);
    QCOMPARE(int(quint8(bytes.at(6))), 32);
    QCOMPARE(int(quint8(bytes.at(7))), 32);
    QCOMPARE(littleEndian16(bytes, 6 + 6), 8); // bits per pixel: 256 colours

    SKIP_WITHOUT_DECODER("ico");
    const QImage image(QFINDTESTDATA("../resources/generated/tarvolin.ico"));
    QCOMPARE(image.size(), QSize(32, 32));
}

void TestContent::icon_isTheWindowIconAtEverySize()
{
    const QIcon icon = m_window->windowIcon();
    QCOMPARE(
        icon.availableSizes(), QList<QSize>({ { 16, 16 }, { 32, 32 }, { 48, 48 }, { 64, 64 } }));
    for (const QSize &size : icon.availableSizes()) {
        const QImage shipped(QFINDTESTDATA(
            QStringLiteral("../resources/generated/hicolor/%1x%1/apps/example.mersodal.Tarvolin.png")
                .arg(size.width())));
        QCOMPARE(icon.pixmap(size, 1.0).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
            shipped.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
}

TARVOLIN_WIDGET_TEST_MAIN(TestContent)

#include "tst_content.moc"

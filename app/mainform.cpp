// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainform.h"

#include "buildinfo.h"
#include "embeddedimage.h"
#include "readonlylineaccessible.h"
#include "ui_mainform.h"

#include <QFile>
#include <QScreen>
#include <QStyle>

namespace {

// Each paragraph of the stored statement ends with CR LF; the box wants plain line breaks.
QString statementText()
{
    QFile file(QStringLiteral(":/statement.txt"));
    file.open(QIODevice::ReadOnly);
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

} // namespace

MainForm::MainForm(QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::MainForm>())
{
    QAccessible::installFactory(ReadOnlyLineAccessible::factory);

    // A line edit lays out its empty text in the application's font while it is built, before
    // the form's font reaches it. Lending the application the form's font meanwhile spares
    // start-up a second font that nothing shows; menus and the rest keep the desktop's.
    const QFont formFont(QStringLiteral("Times New Roman"), 12);
    const QFont desktopFont = QGuiApplication::font();
    QGuiApplication::setFont(formFont);
    m_ui->setupUi(this);
    QGuiApplication::setFont(desktopFont);
    Q_ASSERT(font() == formFont);
    m_check1 = { m_ui->Check1_0, m_ui->Check1_1, m_ui->Check1_2, m_ui->Check1_3, m_ui->Check1_4,
        m_ui->Check1_5, m_ui->Check1_6, m_ui->Check1_7, m_ui->Check1_8 };
    m_command1 = { m_ui->Command1_0, m_ui->Command1_1 };
    m_label1 = { m_ui->Label1_0, m_ui->Label1_1 };
    m_text1 = { m_ui->Text1_0 };
    m_text2 = { m_ui->Text2_0 };

    setWindowTitle(QStringLiteral(TARVOLIN_PUBLISHER_URL " Мерсодал"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
        | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setGeometry(QStyle::alignedRect(
        Qt::LeftToRight, Qt::AlignCenter, size(), screen()->availableGeometry()));

    // Straight into the document: the box's own setPlainText() would lay out a paragraph for
    // its cursor now, and again once the box has its final width.
    m_text1[0]->document()->setPlainText(statementText());
    // Either picture fills the box inside its frame; on a high-DPI screen with more pixels.
    QPixmap illustration = QPixmap::fromImage(embeddedImage(devicePixelRatioF() > 1
            ? QStringLiteral(":/generated/illustration@2x.raw")
            : QStringLiteral(":/generated/illustration.raw")));
    illustration.setDevicePixelRatio(
        qreal(illustration.width()) / m_ui->Picture1->contentsRect().width());
    m_ui->Picture1->setPixmap(illustration);
    m_text1[0]->setFocus();

    for (std::size_t index = 0; index < m_command1.size(); ++index) {
        connect(m_command1[index], &QPushButton::clicked, this, [this, index] {
            tarvolin::OnActionButtonClick(static_cast<std::int16_t>(index), *this, *this);
            m_ui->Announcement->announce(index == 0
                    ? m_text2[0]->text()
                    : QStringLiteral("Отметките и резултатът са изчистени."));
        });
    }
}

MainForm::~MainForm() = default;

int MainForm::boxState(int box) const
{
    return m_check1.at(box)->checkState() == Qt::Checked ? tarvolin::kTicked : tarvolin::kUnticked;
}

void MainForm::setBoxState(int box, int state)
{
    m_check1.at(box)->setCheckState(state == tarvolin::kTicked ? Qt::Checked : Qt::Unchecked);
}

void MainForm::setResultText(std::string_view text)
{
    m_text2[0]->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

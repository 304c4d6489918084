// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "readonlylineaccessible.h"

#include <QLineEdit>
#include <QStyle>

ReadOnlyLineAccessible::ReadOnlyLineAccessible(QLineEdit *edit)
    : QAccessibleWidget(edit, QAccessible::EditableText)
{
}

QAccessibleInterface *ReadOnlyLineAccessible::factory(const QString &, QObject *object)
{
    auto *edit = qobject_cast<QLineEdit *>(object);
    return edit && edit->isReadOnly() ? new ReadOnlyLineAccessible(edit) : nullptr;
}

QLineEdit *ReadOnlyLineAccessible::edit() const
{
    return static_cast<QLineEdit *>(widget());
}

void *ReadOnlyLineAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State ReadOnlyLineAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.selectableText = true;
    return state;
}

QString ReadOnlyLineAccessible::text(QAccessible::Text type) const
{
    return type == QAccessible::Value ? edit()->text() : QAccessibleWidget::text(type);
}

void ReadOnlyLineAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && edit()->hasSelectedText()) {
        *startOffset = edit()->selectionStart();
        *endOffset = *startOffset + edit()->selectionLength();
    }
}

int ReadOnlyLineAccessible::selectionCount() const
{
    return edit()->hasSelectedText() ? 1 : 0;
}

void ReadOnlyLineAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void ReadOnlyLineAccessible::removeSelection(int)
{
    edit()->deselect();
}

void ReadOnlyLineAccessible::setSelection(int, int startOffset, int endOffset)
{
    edit()->setSelection(startOffset, endOffset - startOffset);
}

int ReadOnlyLineAccessible::cursorPosition() const
{
    return edit()->cursorPosition();
}

void ReadOnlyLineAccessible::setCursorPosition(int position)
{
    edit()->setCursorPosition(position);
}

QString ReadOnlyLineAccessible::text(int startOffset, int endOffset) const
{
    return edit()->text().mid(startOffset, endOffset - startOffset);
}

int ReadOnlyLineAccessible::characterCount() const
{
    return int(edit()->text().size());
}

QRect ReadOnlyLineAccessible::characterRect(int offset) const
{
    const QString text = edit()->text();
    if (offset < 0 || offset >= text.size())
        return {};
    const QFontMetrics metrics = edit()->fontMetrics();
    const QRect box = edit()->contentsRect();
    const QRect line = QStyle::alignedRect(edit()->layoutDirection(), edit()->alignment(),
        QSize(metrics.horizontalAdvance(text), metrics.height()), box);
    const QRect character(line.left() + metrics.horizontalAdvance(text.left(offset)), line.top(),
        metrics.horizontalAdvance(text.at(offset)), line.height());
    return QRect(edit()->mapToGlobal(character.topLeft()), character.size());
}

int ReadOnlyLineAccessible::offsetAtPoint(const QPoint &point) const
{
    return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
}

void ReadOnlyLineAccessible::scrollToSubstring(int, int)
{
}

QString ReadOnlyLineAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

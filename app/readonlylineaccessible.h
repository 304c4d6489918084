// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAccessibleWidget>

class QLineEdit;

// What a screen reader reads of a read-only line edit. Qt 6.4's own interface reports the
// text's attributes as zero-length runs, and Orca then drops the last character when it
// speaks the selected text; this one reports one run over the whole text.
class ReadOnlyLineAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ReadOnlyLineAccessible(QLineEdit *edit);

    // Serves every read-only line edit once installed.
    static QAccessibleInterface *factory(const QString &className, QObject *object);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text type) const override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    QLineEdit *edit() const;
};

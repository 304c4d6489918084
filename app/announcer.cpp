// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "announcer.h"

#include <QAccessibleWidget>

namespace {

QAccessibleInterface *notificationFor(const QString &, QObject *object)
{
    if (auto *announcer = qobject_cast<Announcer *>(object))
        return new QAccessibleWidget(announcer, QAccessible::Notification);
    return nullptr;
}

} // namespace

Announcer::Announcer(QWidget *parent)
    : QWidget(parent)
{
    QAccessible::installFactory(notificationFor);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void Announcer::announce(const QString &text)
{
    hide();
    setAccessibleName(text);
    show();
    QAccessibleValueChangeEvent spoken(this, text);
    QAccessible::updateAccessibility(&spoken);
}

// SPDX-License-Identifier: BSD-3-Clause

#include "CloseGuard.h"

#include <QEvent>
#include <QVariant>
#include <QWindow>

CloseGuard::CloseGuard(QWindow* window, QObject* page, QObject* parent)
    : QObject(parent), m_window(window), m_page(page)
{
    // The page is known only through its meta-object: its signals are declared in QML.
    connect(page, SIGNAL(closeAccepted()), this, SLOT(closeNow()));
    window->installEventFilter(this);
}

bool CloseGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window || event->type() != QEvent::Close || m_closing || !m_page)
        return QObject::eventFilter(watched, event);
    QVariant mayClose;
    QMetaObject::invokeMethod(m_page, "requestClose", Q_RETURN_ARG(QVariant, mayClose));
    if (mayClose.toBool())
        return false;
    event->ignore();
    return true;
}

void CloseGuard::closeNow()
{
    m_closing = true;
    if (m_window)
        m_window->close();
}

// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QObject>
#include <QPointer>

class QWindow;

// Keeps the window of the settings page open until the page lets it close. On a close request it
// asks the page (`requestClose()`), which may ask the operator Save / Discard / Cancel or wait
// for a save in flight; the window closes when the page emits `closeAccepted()`. A save is
// waited for as long as it takes: only the operator can close the window without its reply.
class CloseGuard : public QObject
{
    Q_OBJECT

public:
    CloseGuard(QWindow* window, QObject* page, QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void closeNow();

private:
    QPointer<QWindow> m_window;
    QPointer<QObject> m_page;
    bool m_closing = false;
};

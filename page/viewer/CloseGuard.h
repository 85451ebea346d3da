#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>

class QWindow;

// Keeps the window of the settings page open until the page lets it close. On a close request it
// asks the page (`requestClose()`), which may ask the operator Save / Discard / Cancel or wait
// for a save in flight; the window closes when the page emits `closeAccepted()`, or after
// `waitLimit` of waiting for a save that is not confirmed.
class CloseGuard : public QObject
{
    Q_OBJECT

public:
    CloseGuard(QWindow* window, QObject* page, std::chrono::milliseconds waitLimit,
               QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool isWaiting() const { return m_waitLimit.isActive(); }

Q_SIGNALS:
    // The save was not confirmed within the limit; the window closes anyway.
    void waitTimedOut();

private Q_SLOTS:
    void closeNow();
    void onClosePendingChanged();
    void onWaitLimitReached();

private:
    QPointer<QWindow> m_window;
    QPointer<QObject> m_page;
    QTimer m_waitLimit;
    bool m_closing = false;
};

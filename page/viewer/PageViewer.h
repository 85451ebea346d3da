// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "ScheduleBackupHost.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class CloseGuard;
class QQuickView;

// Shows the settings page against the embedded backup service: starts the host, puts the page
// in a window, hands it the plug-in as its `scheduleBackup` and loads the settings. It tells the
// page the result code of a refused save, keeps the window open while the page has unsaved
// changes or a save in flight (see CloseGuard), and can render the page once the settings are
// in, save the picture and quit.
class PageViewer : public QObject
{
    Q_OBJECT

public:
    explicit PageViewer(QObject* parent = nullptr);
    ~PageViewer() override;

    // Empty on success, otherwise what went wrong.
    QString start(const HostOptions& options);
    void show();
    // Saves a picture of the page to `filePath` after the settings arrived (or after `timeoutMs`
    // without them), then quits the application with the exit code of the run.
    void takeScreenshot(const QString& filePath, int timeoutMs);

    // Where ScheduleBackup.Page is imported from: the build tree's QML folder, or the installed
    // one relative to the program. The page's catalogues are in the module's i18n folder.
    static QString qmlImportPath();

    QQuickView* view() const { return m_view.get(); }
    QObject* page() const;
    ScheduleBackupHost* host() { return &m_host; }
    CloseGuard* closeGuard() const { return m_closeGuard.get(); }
    // The cameras of the service's inventory as the page's choices: [{id, group, name}].
    QVariantList cameraInventory() const;
    // The status line under the page: the data folder in use.
    QString statusText() const;

private Q_SLOTS:
    void onSettingsLoaded(bool success);
    void onPendingCountChanged(int count);
    void onReplyDelivered(const QString& command, const QString& resultCode, const QString& reason,
                          const QString& relayPath);

private:
    void captureWhenIdle();
    void capture();

    ScheduleBackupHost m_host;
    std::unique_ptr<QQuickView> m_view;
    std::unique_ptr<CloseGuard> m_closeGuard;
    QString m_screenshotPath;
    QTimer m_screenshotTimeout;
    QTimer m_settleTimer;
    bool m_captureWhenIdle = false;
    bool m_loaded = false;
    bool m_loadFailed = false;
};

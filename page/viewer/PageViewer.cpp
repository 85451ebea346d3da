// SPDX-License-Identifier: BSD-3-Clause

#include "PageViewer.h"

#include "CloseGuard.h"
#include "HostFramework.h"
#include "PluginTerms.h"
#include "ServiceCommandHandler.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>

namespace {

// The page as any host creates it, from its module found on the engine's import path, and under
// it the viewer's status line.
const QByteArray PageDocument = R"(
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import ScheduleBackup.Page

ColumnLayout {
    id: viewer

    required property var scheduleBackup
    property var cameraInventory: []
    property string statusText
    readonly property alias page: page

    spacing: 0

    SchedulePage {
        id: page

        scheduleBackup: viewer.scheduleBackup
        cameraInventory: viewer.cameraInventory
        Layout.fillWidth: true
        Layout.fillHeight: true
    }
    Label {
        objectName: "viewerStatusLine"
        text: viewer.statusText
        textFormat: Text.PlainText // a folder's name is data
        elide: Text.ElideMiddle
        padding: 4
        Layout.fillWidth: true
    }
}
)";

// Exit codes of a screenshot run.
constexpr int ScreenshotSaved = 0;
constexpr int ScreenshotFailed = 1;
constexpr int SettingsNotLoaded = 4;
constexpr int SettingsTimedOut = 5;

} // namespace

PageViewer::PageViewer(QObject* parent) : QObject(parent)
{
    m_screenshotTimeout.setSingleShot(true);
    connect(&m_screenshotTimeout, &QTimer::timeout, this, &PageViewer::capture);
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(150);
    connect(&m_settleTimer, &QTimer::timeout, this, &PageViewer::capture);
}

PageViewer::~PageViewer()
{
    // The view uses the host's engine, so it has to go first.
    m_closeGuard.reset();
    m_view.reset();
    m_host.shutdown();
}

QString PageViewer::start(const HostOptions& options)
{
    const HostStartResult started = m_host.start(options);
    if (!started)
        return started.errorText();
    QObject* plugin = started.value();
    // The plug-in is known only through its meta-object, as the page knows it.
    if (!connect(plugin, SIGNAL(getBackupInfoResp(bool)), this, SLOT(onSettingsLoaded(bool))))
        return tr("the plug-in has no getBackupInfoResp(bool) signal");
    connect(m_host.framework(), &HostFramework::pendingCountChanged, this,
            &PageViewer::onPendingCountChanged);
    connect(m_host.framework(), &HostFramework::replyDelivered, this,
            &PageViewer::onReplyDelivered);

    m_host.engine()->addImportPath(qmlImportPath());
    m_view = std::make_unique<QQuickView>(m_host.engine(), nullptr);
    m_view->setTitle(tr("Scheduled backup"));
    m_view->setResizeMode(QQuickView::SizeRootObjectToView);
    // The view owns the component and, once set as its content, the page.
    auto* component = new QQmlComponent(m_host.engine(), m_view.get());
    component->setData(PageDocument, QUrl());
    QObject* created = component->isReady() ? component->createWithInitialProperties(
                           {{QStringLiteral("scheduleBackup"), QVariant::fromValue(plugin)},
                            {QStringLiteral("cameraInventory"), cameraInventory()},
                            {QStringLiteral("statusText"), statusText()}})
                                            : nullptr;
    m_view->setContent(QUrl(), component, created);
    if (m_view->status() != QQuickView::Ready || !m_view->rootObject()) {
        QStringList errors;
        for (const QQmlError& error : m_view->errors())
            errors.append(error.toString());
        return tr("the page did not load: %1").arg(errors.join(QLatin1Char('\n')));
    }
    QObject* root = page();
    m_view->setMinimumSize(
        QSize(root->property("minimumWidth").toInt(), root->property("minimumHeight").toInt()));
    m_view->resize(1120, 780);
    m_closeGuard = std::make_unique<CloseGuard>(m_view.get(), root);

    const QString relayPath = root->property("relayPath").toString();
    bool accepted = false;
    QMetaObject::invokeMethod(plugin, "getBackupInfo", Q_RETURN_ARG(bool, accepted),
                              Q_ARG(QString, relayPath));
    if (!accepted)
        return tr("the plug-in did not send the settings request");
    return QString();
}

QString PageViewer::qmlImportPath()
{
    // build/bin/../qml in the build tree, else the prefix's QML folder relative to the program.
    const QDir exeDir(QCoreApplication::applicationDirPath());
    const QString buildTree = exeDir.absoluteFilePath(QStringLiteral("../qml"));
    if (QFileInfo::exists(buildTree + QStringLiteral("/ScheduleBackup/Page/qmldir")))
        return QDir::cleanPath(buildTree);
    return QDir::cleanPath(exeDir.absoluteFilePath(QStringLiteral(SCHEDULE_BACKUP_QML_FROM_BIN)));
}

QObject* PageViewer::page() const
{
    QObject* root = m_view ? m_view->rootObject() : nullptr;
    return root ? root->property("page").value<QObject*>() : nullptr;
}

QString PageViewer::statusText() const
{
    const DataFolder folder = m_host.dataFolder();
    return folder.source == DataFolder::Source::OldDefault
        ? tr("Data folder: %1 (the old default folder)").arg(folder.path)
        : tr("Data folder: %1").arg(folder.path);
}

void PageViewer::onReplyDelivered(const QString& command, const QString& resultCode,
                                  const QString& reason, const QString& relayPath)
{
    // The page sees only the plug-in's result signals; the code tells a conflict from other
    // refusals. The framework reports it right after the plug-in's signal.
    QObject* root = page();
    if (!root || relayPath != root->property("relayPath").toString())
        return;
    if (command != PluginTerms::UpdateTimeCard && command != PluginTerms::UpdateSchedule)
        return;
    const bool refused = resultCode != PluginTerms::Code::Success;
    root->setProperty("lastRefusal", refused ? resultCode : QString());
    root->setProperty("lastRefusalReason", refused ? reason : QString());
}

void PageViewer::show()
{
    if (m_view)
        m_view->show();
}

QVariantList PageViewer::cameraInventory() const
{
    QVariantList cameras;
    if (!m_host.service())
        return cameras;
    for (const InventoryEntry& camera :
         m_host.service()->inventory().value_or(QList<InventoryEntry>())) {
        cameras.append(QVariantMap {{QStringLiteral("id"), camera.cameraId},
                                    {QStringLiteral("group"), camera.groupId},
                                    {QStringLiteral("name"), camera.name}});
    }
    return cameras;
}

void PageViewer::takeScreenshot(const QString& filePath, int timeoutMs)
{
    m_screenshotPath = filePath;
    m_screenshotTimeout.start(timeoutMs);
    if (m_loaded || m_loadFailed)
        captureWhenIdle();
}

void PageViewer::onSettingsLoaded(bool success)
{
    m_loaded = m_loaded || success;
    m_loadFailed = !success;
    if (!m_screenshotPath.isEmpty())
        captureWhenIdle();
}

void PageViewer::captureWhenIdle()
{
    // Loading the settings makes the page ask for the path and the status; the picture is
    // taken once the framework has had no command outstanding for a moment.
    m_captureWhenIdle = true;
    const HostFramework* framework = m_host.framework();
    if (!framework || framework->pendingCount() == 0)
        m_settleTimer.start();
}

void PageViewer::onPendingCountChanged(int count)
{
    if (!m_captureWhenIdle)
        return;
    if (count > 0)
        m_settleTimer.stop();
    else
        m_settleTimer.start();
}

void PageViewer::capture()
{
    if (m_screenshotPath.isEmpty() || !m_view)
        return;
    const QString path = std::exchange(m_screenshotPath, QString());
    m_screenshotTimeout.stop();
    m_settleTimer.stop();
    const QImage image = m_view->grabWindow();
    int exitCode = ScreenshotSaved;
    if (image.isNull() || !image.save(path)) {
        qWarning("%s", qPrintable(tr("could not save the page to %1").arg(path)));
        exitCode = ScreenshotFailed;
    } else if (!m_loaded) {
        exitCode = m_loadFailed ? SettingsNotLoaded : SettingsTimedOut;
    }
    QCoreApplication::exit(exitCode);
}

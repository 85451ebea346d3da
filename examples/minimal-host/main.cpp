// SPDX-License-Identifier: BSD-3-Clause
// A minimal host: loads the scheduled-backup plug-in, answers its commands from an in-memory
// time-card instead of a server, and shows the plug-in's settings page.
//   minimal-host [--screenshot FILE]   (with FILE: saves the loaded page as PNG and quits)
#include <FrameworkWrapperBase.h>
#include <PluginBase.h>
#include <XML2Json.h>

#include <QDir>
#include <QGuiApplication>
#include <QJsonObject>
#include <QPluginLoader>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickView>
#include <QTimer>

namespace {

const QString PluginId = QStringLiteral("185196A13473421C84A3CE473516AED7");

QString element(const QString& name, const QVariant& value)
{
    return QStringLiteral("<%1>%2</%1>").arg(name, value.toString().toHtmlEscaped());
}

// Plays the server: one time-card in memory, every reply as the XML a server would send.
class MemoryFramework : public FrameworkWrapperBase
{
public:
    bool SendCommand(void*, const QString&, const QString& command, const QVariant& arguments,
                     void* context, int, const QString& relayPath) override
    {
        const QString xml = answer(command, arguments.toMap());
        if (xml.isEmpty())
            return false; // not a command of this server: nothing goes out
        // Every accepted command gets exactly one reply, later, as from a server.
        QTimer::singleShot(0, plugin, [=] {
            plugin->CommandProcessor(command, XML2Json().parse(xml), context, QStringLiteral("0"),
                                     QString(), false, relayPath);
        });
        return true;
    }
    // No server-info plug-in: the plug-in then computes no next backup time.
    QObject* GetPluginObject(void*, const QString&) override { return nullptr; }

    PluginBase* plugin = nullptr;

private:
    QString answer(const QString& command, const QVariantMap& arguments)
    {
        if (command == QLatin1String("GetBkpTmcard") || command == QLatin1String("GetBackupPath"))
            return QStringLiteral("<GetBkpTmcardRes><Tmcard>%1</Tmcard></GetBkpTmcardRes>")
                .arg(command == QLatin1String("GetBackupPath") ? element("Dir", m_card["Dir"])
                                                               : timeCard());
        if (command == QLatin1String("GetBackupStatus"))
            return QStringLiteral("<GetBackupStatusRes><Status>Idle</Status><BackupInterval/>"
                                  "<BackupProgress>0</BackupProgress></GetBackupStatusRes>");
        if (command != QLatin1String("UpdBkpTmcard") && command != QLatin1String("UpdSchedule"))
            return {};
        for (auto it = arguments.cbegin(); it != arguments.cend(); ++it)
            m_card[it.key()] = it.value();
        m_card["Revision"] = m_card["Revision"].toLongLong() + 1;
        return QStringLiteral("<%1Res/>").arg(command);
    }

    QString timeCard() const
    {
        QString xml;
        for (const char* key : {"Revision", "TmcardID", "Enabled", "TargetCyclic", "Dir",
                                "MaxThroughput", "MaxRange"})
            xml += element(key, m_card[key]);
        QString cameras;
        for (const QVariant& camera : m_card["CamGroupList"].toList())
            cameras += QStringLiteral("<Cam GrpID=\"%1\">%2</Cam>")
                           .arg(camera.toMap()["GroupID"].toString().toHtmlEscaped(),
                                camera.toMap()["CamID"].toString().toHtmlEscaped());
        // The schedule is sent and stored as XML already.
        return xml + "<Mapping>" + m_card["TimeFrameMessage"].toString() + "</Mapping><CamList>"
            + cameras + "</CamList>";
    }

    QVariantMap m_card {{"Revision", 1},
                        {"TmcardID", 1},
                        {"Enabled", true},
                        {"TargetCyclic", false},
                        {"Dir", "/srv/backup"},
                        {"MaxThroughput", 50 << 20},
                        {"MaxRange", 7 * 1440},
                        {"CamGroupList", QVariantList {QVariantMap {{"CamID", "__allcams__"}}}}};
};

// The plug-in in the package's plug-in folder whose interface and id are this plug-in's.
QObject* loadPlugin()
{
    const QDir dir(QStringLiteral(SCHEDULE_BACKUP_PLUGIN_DIR));
    for (const QString& file : dir.entryList(QDir::Files)) {
        QPluginLoader loader(dir.filePath(file));
        const QJsonObject metaData = loader.metaData();
        const QJsonObject ours = metaData["MetaData"].toObject();
        if (metaData["IID"].toString() != QLatin1String(PluginBase_iid)
            || ours["PluginID"].toString() != PluginId)
            continue;
        qInfo("plug-in %s, version %s", qPrintable(loader.fileName()),
              qPrintable(ours["Version"].toString()));
        if (ours["Version"].toString() != QLatin1String(SCHEDULE_BACKUP_VERSION))
            qWarning("the CMake package says %s", SCHEDULE_BACKUP_VERSION);
        return loader.instance();
    }
    return nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const int screenshotArg = app.arguments().indexOf(QStringLiteral("--screenshot")) + 1;
    const QString screenshot = screenshotArg > 0 ? app.arguments().value(screenshotArg) : "";

    auto* plugin = qobject_cast<PluginBase*>(loadPlugin());
    if (!plugin) {
        qCritical("no scheduled-backup plug-in in %s", SCHEDULE_BACKUP_PLUGIN_DIR);
        return 1;
    }
    QQmlEngine engine;
    MemoryFramework framework;
    framework.plugin = plugin;
    plugin->InitialPluginBase(engine.rootContext(), nullptr, &framework);

    // The page from the installed QML module; its one required property is the plug-in.
    engine.addImportPath(QStringLiteral(SCHEDULE_BACKUP_QML_IMPORT_PATH));
    QQuickView view(&engine, nullptr);
    QQmlComponent component(&engine);
    component.setData("import ScheduleBackup.Page\nSchedulePage {}\n", QUrl());
    QObject* page = component.createWithInitialProperties(
        {{QStringLiteral("scheduleBackup"), QVariant::fromValue<QObject*>(plugin)}});
    if (!page) {
        qCritical("%s", qPrintable(component.errorString()));
        return 1;
    }
    view.setContent(QUrl(), &component, page);
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.resize(1120, 780);
    view.show();
    QMetaObject::invokeMethod(page, "reload");

    // With --screenshot, the page is saved once it shows the loaded settings.
    QTimer poll;
    poll.callOnTimeout([&] {
        if (page->property("loaded").toBool())
            QCoreApplication::exit(view.grabWindow().save(screenshot) ? 0 : 2);
    });
    if (!screenshot.isEmpty())
        poll.start(100);
    return app.exec();
}

// Starting the host: a damaged data file is told apart from every plug-in problem and left alone,
// each plug-in problem has its own reason, and a started host hands out the plug-in, wired to
// the service and to the server-info object.

#include "BackupProtocol.h"
#include "BackupService.h"
#include "HostFramework.h"
#include "PluginBase.h"
#include "ScheduleBackupHost.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(HostError)

namespace {

const QString PluginDir = QStringLiteral(SCHEDULE_BACKUP_PLUGIN_DIR);
const QString RealPlugin = QStringLiteral(SCHEDULE_BACKUP_PLUGIN_PATH);

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

class tst_ScheduleBackupHost : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folders; // plug-in folders, prepared once
    QTemporaryDir m_data;

    QString folder(const QString& name) const { return m_folders.filePath(name); }

    bool makeFolder(const QString& name, const QStringList& plugins) const
    {
        if (!QDir(m_folders.path()).mkpath(name))
            return false;
        for (const QString& plugin : plugins) {
            if (!QFile::link(plugin, QDir(folder(name)).filePath(QFileInfo(plugin).fileName())))
                return false;
        }
        return true;
    }

    HostOptions options(const QString& pluginDir) const
    {
        HostOptions options;
        options.dataDir = m_data.path();
        options.pluginDir = pluginDir;
        return options;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_folders.isValid() && m_data.isValid());
        QVERIFY(makeFolder("empty", {}));
        QVERIFY(makeFolder("foreign", {FOREIGN_PLUGIN_PATH}));
        QVERIFY(makeFolder("unresolved", {UNRESOLVED_PLUGIN_PATH}));
        QVERIFY(makeFolder("twins", {RealPlugin, IMPOSTOR_PLUGIN_PATH}));
    }

    void init() { QFile::remove(m_data.filePath("schedule-backup.xml")); }

    void damagedDataIsNeverAPluginError_data()
    {
        QTest::addColumn<QString>("pluginDir");

        QTest::newRow("with the plug-in at hand") << PluginDir;
        QTest::newRow("with no plug-in folder either") << folder("nowhere");
        QTest::newRow("with two plug-ins claiming one id") << folder("twins");
    }

    void damagedDataIsNeverAPluginError()
    {
        QFETCH(QString, pluginDir);
        const QByteArray damaged
            = "<ScheduleBackupData><Tmcard><Revision>1</Revision><Enabled>maybe</Enabled>";
        const QString dataFile = m_data.filePath("schedule-backup.xml");
        QVERIFY(writeFile(dataFile, damaged));

        ScheduleBackupHost host;
        const HostStartResult started = host.start(options(pluginDir));
        QCOMPARE(started.errorReason(), HostError::DataDamaged);
        QVERIFY2(started.errorText().contains(dataFile), qPrintable(started.errorText()));
        QCOMPARE(readFile(dataFile), damaged);
        QVERIFY(!host.scheduleBackup());
        QVERIFY(!host.service());
    }

    void pluginProblemIsReported_data()
    {
        QTest::addColumn<QString>("pluginDir");
        QTest::addColumn<HostError>("reason");

        QTest::newRow("a missing plug-in folder means no plug-in")
            << folder("nowhere") << HostError::PluginNotFound;
        QTest::newRow("an empty plug-in folder means no plug-in")
            << folder("empty") << HostError::PluginNotFound;
        QTest::newRow("only a foreign plug-in is the wrong interface")
            << folder("foreign") << HostError::PluginWrongInterface;
        QTest::newRow("a plug-in that cannot load is a load failure")
            << folder("unresolved") << HostError::PluginLoadFailed;
        QTest::newRow("two plug-ins claiming one id is a taken id")
            << folder("twins") << HostError::PluginIdTaken;
    }

    void pluginProblemIsReported()
    {
        QFETCH(QString, pluginDir);
        QFETCH(HostError, reason);
        ScheduleBackupHost host;
        const HostStartResult started = host.start(options(pluginDir));
        QCOMPARE(started.errorReason(), reason);
        QVERIFY2(started.errorText().contains(pluginDir), qPrintable(started.errorText()));
        QVERIFY(!started.value());
        QVERIFY(!host.scheduleBackup());
        QVERIFY(!host.framework());
    }

    void startHandsBackThePlugin()
    {
        ScheduleBackupHost host;
        const HostStartResult started = host.start(options(PluginDir));
        QVERIFY2(started, qPrintable(started.errorText()));
        QObject* object = started.value();
        QVERIFY(object);
        QCOMPARE(host.scheduleBackup(), object);
        auto* plugin = qobject_cast<PluginBase*>(object);
        QVERIFY(plugin);
        QCOMPARE(plugin->framework, host.framework());
        QCOMPARE(host.framework()->GetPluginObject(nullptr, BackupProtocol::ScheduleBackupPluginId),
                 object);
        // The seeded data file is there for the service.
        QVERIFY(QFile::exists(m_data.filePath("schedule-backup.xml")));
    }

    void serverInfoIsReachableThroughTheFramework()
    {
        ScheduleBackupHost host;
        QVERIFY(host.start(options(PluginDir)));
        QObject* serverInfo = host.framework()->GetPluginObject(
            nullptr, QStringLiteral("3CE573D25E0F455B8F75EDDC573E2B64"));
        QVERIFY(serverInfo);
        const QDateTime moment(QDate(2026, 3, 29), QTime(12, 0), Qt::UTC);
        QVariantList answer;
        QVERIFY(QMetaObject::invokeMethod(serverInfo, "getTimestamp", Qt::DirectConnection,
                                          Q_RETURN_ARG(QVariantList, answer),
                                          Q_ARG(QDateTime, moment)));
        QCOMPARE(answer, (QVariantList {Q_INT64_C(1774785600000)}));
    }

    void shutdownAnswersWhatIsPending()
    {
        HostOptions slow = options(PluginDir);
        slow.latencyMs = 3600000;
        ScheduleBackupHost host;
        QVERIFY(host.start(slow));
        QObject* plugin = host.scheduleBackup();
        QSignalSpy loaded(plugin, SIGNAL(getBackupInfoResp(bool)));
        bool sent = false;
        QVERIFY(QMetaObject::invokeMethod(plugin, "getBackupInfo", Q_RETURN_ARG(bool, sent),
                                          Q_ARG(QString, "page")));
        QVERIFY(sent);
        QCOMPARE(host.framework()->pendingCount(), 1);
        host.shutdown();
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(loaded.first().first(), QVariant(false));
        QVERIFY(!host.scheduleBackup());
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleBackupHost)

#include "tst_schedulebackuphost.moc"

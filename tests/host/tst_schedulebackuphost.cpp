// Starting the host: a damaged data file is reported as such, a plug-in problem has its own reason,
// a started host offers the server-info object, and shutting down answers what is still pending.

#include "BackupProtocol.h"
#include "HostFramework.h"
#include "ScheduleBackupHost.h"
#include "ServerInfo.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(HostError)

const QString PluginDir = QStringLiteral(SCHEDULE_BACKUP_PLUGIN_DIR);

class tst_ScheduleBackupHost : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folders; // plug-in folders, prepared once
    QTemporaryDir m_data;

private Q_SLOTS:
    void initTestCase()
    {
        // A foreign plug-in alone, and the schedule-backup plug-in under two names.
        const QDir folders(m_folders.path());
        QVERIFY(folders.mkpath("foreign") && folders.mkpath("twins"));
        QVERIFY(QFile::link(FOREIGN_PLUGIN_PATH, folders.filePath("foreign/libforeign.so")));
        QVERIFY(QFile::link(SCHEDULE_BACKUP_PLUGIN_PATH, folders.filePath("twins/libfirst.so")));
        QVERIFY(QFile::link(SCHEDULE_BACKUP_PLUGIN_PATH, folders.filePath("twins/libsecond.so")));
    }

    void init() { QFile::remove(m_data.filePath("schedule-backup.xml")); }

    void damagedDataIsReportedAsDamaged()
    {
        QFile file(m_data.filePath("schedule-backup.xml"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("<ScheduleBackupData><Tmcard>") > 0);
        file.close();
        ScheduleBackupHost host;
        QCOMPARE(host.start({m_data.path(), PluginDir}).errorReason(), HostError::DataDamaged);
    }

    void pluginProblemIsReported_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<HostError>("reason");

        QTest::newRow("only a foreign plug-in is the wrong interface")
            << "foreign" << HostError::PluginWrongInterface;
        QTest::newRow("two plug-ins claiming one id is a taken id")
            << "twins" << HostError::PluginIdTaken;
    }

    void pluginProblemIsReported()
    {
        QFETCH(QString, folder);
        QFETCH(HostError, reason);
        ScheduleBackupHost host;
        QCOMPARE(host.start({m_data.path(), m_folders.filePath(folder)}).errorReason(), reason);
        QVERIFY(!host.scheduleBackup());
    }

    void serverInfoIsReachableThroughTheFramework()
    {
        ScheduleBackupHost host;
        QVERIFY(host.start({m_data.path(), PluginDir}));
        QVERIFY(qobject_cast<ServerInfo*>(
            host.framework()->GetPluginObject(nullptr, BackupProtocol::ServerInfoPluginId)));
    }

    void shutdownAnswersWhatIsPending()
    {
        ScheduleBackupHost host;
        QVERIFY(host.start({m_data.path(), PluginDir, 3600000}));
        QObject* plugin = host.scheduleBackup();
        QSignalSpy loaded(plugin, SIGNAL(getBackupInfoResp(bool)));
        bool sent = false;
        QVERIFY(QMetaObject::invokeMethod(plugin, "getBackupInfo", Q_RETURN_ARG(bool, sent),
                                          Q_ARG(QString, "page")));
        QVERIFY(sent);
        host.shutdown();
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(loaded.first().first(), QVariant(false));
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleBackupHost)

#include "tst_schedulebackuphost.moc"

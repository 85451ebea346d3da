// SPDX-License-Identifier: BSD-3-Clause
// Starting the host: a damaged data file is reported as such, a plug-in problem has its own reason,
// a started host offers the server-info object, and shutting down answers what is still pending.
// The loader below it refuses a foreign plug-in without running any of its code, and tells a file
// that gives no plug-in apart from a missing one.

#include "BackupWords.h"
#include "HostFramework.h"
#include "PluginLoader.h"
#include "ScheduleBackupHost.h"
#include "ServerInfo.h"
#include "Table.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

Q_DECLARE_METATYPE(HostError)
Q_DECLARE_METATYPE(PluginLoadError)

const QString PluginDir = QStringLiteral(SCHEDULE_BACKUP_PLUGIN_DIR);

class tst_ScheduleBackupHost : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folders; // plug-in folders, prepared once
    QTemporaryDir m_data;
    // --data and SCHEDULE_BACKUP_DATA (null: not given), the folders there before, whether there
    // is a home folder, the program, and the folder used (empty: none) with its source.
    using FolderCases
        = Table<QByteArray, QByteArray, QByteArrayList, bool, QString, QByteArray, int>;

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

    void loaderRefuses_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<PluginLoadError>("reason");

        QTest::newRow("a file that does not exist is not found")
            << PluginDir + "/libmissing.so" << PluginLoadError::NotFound;
        QTest::newRow("a shared library that is no plug-in does not load")
            << QStringLiteral(SCHEDULE_BACKUP_XML2JSON_PATH) << PluginLoadError::LoadFailed;
        QTest::newRow("a foreign plug-in has the wrong interface")
            << QStringLiteral(FOREIGN_PLUGIN_PATH) << PluginLoadError::WrongInterface;
    }

    void loaderRefuses()
    {
        QFETCH(QString, path);
        QFETCH(PluginLoadError, reason);
        const PluginLoadResult result = PluginLoader().loadFile(path);
        QCOMPARE(result.errorReason(), reason);
        QVERIFY2(result.errorText().startsWith(path + ": "), qPrintable(result.errorText()));
        // The foreign library sets this as soon as it is loaded: none of its code may run.
        QVERIFY(qEnvironmentVariableIsEmpty("SCHEDULE_BACKUP_FOREIGN_PLUGIN_LOADED"));
    }

    void startFails_data()
    {
        QTest::addColumn<QByteArray>("data"); // the data file, if any
        QTest::addColumn<QString>("plugins");
        QTest::addColumn<HostError>("reason");

        QTest::newRow("a damaged data file")
            << QByteArray("<ScheduleBackupData><Tmcard>") << PluginDir << HostError::DataDamaged;
        QTest::newRow("only a foreign plug-in")
            << QByteArray() << m_folders.filePath("foreign") << HostError::PluginWrongInterface;
        QTest::newRow("two plug-ins claiming one id")
            << QByteArray() << m_folders.filePath("twins") << HostError::PluginIdTaken;
    }

    void startFails()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, plugins);
        QFETCH(HostError, reason);
        QFile file(m_data.filePath("schedule-backup.xml"));
        if (!data.isEmpty())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
        file.close();
        ScheduleBackupHost host;
        QCOMPARE(host.start({m_data.path(), plugins}).errorReason(), reason);
        QVERIFY(!host.scheduleBackup());
    }

    void dataFolders_data()
    {
        FolderCases::columns();
        const auto row = &FolderCases::row;
        const QByteArray share = "home/.local/share/";
        const QString host = "schedule-backup-host", page = "schedule-backup-page";
        using Source = DataFolder::Source;
        row("--data wins over SCHEDULE_BACKUP_DATA", "option", "variable", {}, true, host, "option",
            int(Source::Option));
        row("SCHEDULE_BACKUP_DATA wins over the default folder", {}, "variable", {}, true, host,
            "variable", int(Source::Environment));
        row("a Latin-1 byte names the folder that is there", "caf\xe9", {}, {"caf\xe9"}, true, host,
            "caf\xe9", int(Source::Option));
        row("bytes that are not UTF-8 name the folder that is created", {}, "new\xff\xc3(/sub", {},
            true, host, "new\xff\xc3(/sub", int(Source::Environment));
        row("the default folder is shared by both programs", {}, {}, {}, true, page,
            share + "schedule-backup", int(Source::Default));
        row("the program's own old default folder while the shared one is missing", {}, {},
            {share + host.toUtf8(), share + page.toUtf8()}, true, page, share + page.toUtf8(),
            int(Source::OldDefault));
        row("the other program's old default folder", {}, {}, {share + page.toUtf8()}, true, host,
            share + page.toUtf8(), int(Source::OldDefault));
        row("the shared folder once it is there", {}, {},
            {share + "schedule-backup", share + host.toUtf8()}, true, host,
            share + "schedule-backup", int(Source::Default));
        row("without a home folder the default folder is refused", {}, {}, {}, false, host, {}, 0);
    }

    void dataFolders()
    {
        const auto [option, variable, existing, home, program, used, source] = FolderCases::fetch();
        QTemporaryDir dir;
        const QByteArray base = QFile::encodeName(dir.path()) + '/';
        const QByteArray oldHome = qgetenv("HOME");
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", oldHome);
            qunsetenv("SCHEDULE_BACKUP_DATA");
            QCoreApplication::setApplicationName("tst_schedulebackuphost");
            QProcess::execute("rm", {"-rf", "--", dir.path()}); // Qt cannot remove such names
        });
        for (const QByteArray& folder : existing)
            QCOMPARE(QProcess::execute("mkdir", {"-p", QFile::decodeName(base + folder)}), 0);
        qunsetenv("XDG_DATA_HOME");
        home ? qputenv("HOME", base + "home") : qunsetenv("HOME");
        if (!variable.isNull())
            qputenv("SCHEDULE_BACKUP_DATA", base + variable);
        QCoreApplication::setApplicationName(program);

        ScheduleBackupHost host;
        const HostStartResult started = host.start(
            {option.isNull() ? QString() : HostOptionSet::decodeName(base + option), PluginDir});
        QVERIFY2(used.isEmpty() ? started.errorText().startsWith("there is no home folder")
                                : bool(started),
                 qPrintable(started.errorText()));
        if (used.isEmpty())
            return;
        QCOMPARE(int(host.dataFolder().source), source);
        QCOMPARE(HostOptionSet::encodeName(host.dataFolder().path), base + used);
        // Only the folder in use was seeded.
        for (const QByteArray& folder : existing
                 + QByteArrayList {option, variable, used, "home/.local/share/schedule-backup"}) {
            const QByteArray file = base + folder + "/schedule-backup.xml";
            QVERIFY2((::access(file.constData(), F_OK) == 0) == (folder == used), file.constData());
        }
    }

    void startedHostOffersServerInfoAndAnswersPendingOnShutdown()
    {
        ScheduleBackupHost host;
        QVERIFY(host.start({m_data.path(), PluginDir, 3600000}));
        QVERIFY(qobject_cast<ServerInfo*>(
            host.framework()->GetPluginObject(nullptr, BackupWords::ServerInfoPluginId)));
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

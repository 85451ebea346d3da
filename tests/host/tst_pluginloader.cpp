// The plug-in loader: every way a file or folder can fail to give a plug-in is told apart, the
// text names the file, and the real plug-in loads under its id.

#include "BackupProtocol.h"
#include "PluginBase.h"
#include "PluginLoader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(PluginLoadError)

namespace {

const QString RealPlugin = QStringLiteral(SCHEDULE_BACKUP_PLUGIN_PATH);
const QString ScheduleBackupId = QStringLiteral("185196A13473421C84A3CE473516AED7");

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

class tst_PluginLoader : public QObject
{
    Q_OBJECT

    QTemporaryDir m_files;

    QString file(const QString& name) const { return m_files.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        QVERIFY(writeFile(file("libnotes.so"), "not a library, just a name that looks like one"));
        QFile real(RealPlugin);
        QVERIFY(real.open(QIODevice::ReadOnly));
        QVERIFY(writeFile(file("libcutshort.so"), real.read(4096)));
        QVERIFY(QDir(m_files.path()).mkpath("empty"));
        QVERIFY(QDir(m_files.path()).mkpath("textonly"));
        QVERIFY(writeFile(file("textonly/README.txt"), "plug-ins go here"));
        QVERIFY(QDir(m_files.path()).mkpath("foreign"));
        QVERIFY(QFile::link(FOREIGN_PLUGIN_PATH, file("foreign/libforeign.so")));
    }

    void loadFileRefuses_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<PluginLoadError>("reason");

        QTest::newRow("a file that does not exist is not found")
            << file("libmissing.so") << PluginLoadError::NotFound;
        QTest::newRow("a text file named like a library does not load")
            << file("libnotes.so") << PluginLoadError::LoadFailed;
        QTest::newRow("a library cut short does not load")
            << file("libcutshort.so") << PluginLoadError::LoadFailed;
        QTest::newRow("a shared library that is no plug-in does not load")
            << QStringLiteral(SCHEDULE_BACKUP_XML2JSON_PATH) << PluginLoadError::LoadFailed;
        QTest::newRow("a plug-in needing a symbol no library has does not load")
            << QStringLiteral(UNRESOLVED_PLUGIN_PATH) << PluginLoadError::LoadFailed;
        QTest::newRow("a plug-in of another interface is the wrong interface")
            << QStringLiteral(FOREIGN_PLUGIN_PATH) << PluginLoadError::WrongInterface;
    }

    void loadFileRefuses()
    {
        QFETCH(QString, path);
        QFETCH(PluginLoadError, reason);
        PluginLoader loader;
        const PluginLoadResult result = loader.loadFile(path);
        QVERIFY(!result);
        QCOMPARE(result.errorReason(), reason);
        QVERIFY2(result.errorText().startsWith(path + ": "), qPrintable(result.errorText()));
        QVERIFY(!result.value().object);
    }

    void foreignPluginRunsNoCode()
    {
        PluginLoader loader;
        QCOMPARE(loader.loadFile(FOREIGN_PLUGIN_PATH).errorReason(),
                 PluginLoadError::WrongInterface);
        QCOMPARE(loader.loadDirectory(file("foreign")).first().errorReason(),
                 PluginLoadError::WrongInterface);
        QVERIFY(qEnvironmentVariableIsEmpty("SCHEDULE_BACKUP_FOREIGN_PLUGIN_LOADED"));
    }

    void loadDirectoryRefuses_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<PluginLoadError>("reason");
        QTest::addColumn<QString>("named"); // the path the text must start with

        QTest::newRow("a folder that does not exist is not found")
            << file("nowhere") << PluginLoadError::NotFound << file("nowhere");
        QTest::newRow("an empty folder has no plug-in")
            << file("empty") << PluginLoadError::NotFound << file("empty");
        QTest::newRow("a folder of text files has no plug-in")
            << file("textonly") << PluginLoadError::NotFound << file("textonly");
        QTest::newRow("a folder with a foreign plug-in names the plug-in")
            << file("foreign") << PluginLoadError::WrongInterface << file("foreign/libforeign.so");
        QTest::newRow("no folder at all is not found")
            << QString() << PluginLoadError::NotFound << QString();
    }

    void loadDirectoryRefuses()
    {
        QFETCH(QString, folder);
        QFETCH(PluginLoadError, reason);
        QFETCH(QString, named);
        PluginLoader loader;
        const QList<PluginLoadResult> results = loader.loadDirectory(folder);
        QCOMPARE(results.size(), 1);
        QCOMPARE(results.first().errorReason(), reason);
        QVERIFY2(results.first().errorText().startsWith(named),
                 qPrintable(results.first().errorText()));
        QVERIFY(!loader.find(ScheduleBackupId));
    }

    void secondPluginWithTheIdIsRefused_data()
    {
        QTest::addColumn<QString>("second");

        QTest::newRow("an impostor claiming the id") << QStringLiteral(IMPOSTOR_PLUGIN_PATH);
        QTest::newRow("the same plug-in loaded again") << RealPlugin;
    }

    void secondPluginWithTheIdIsRefused()
    {
        QFETCH(QString, second);
        PluginLoader loader;
        const PluginLoadResult first = loader.loadFile(RealPlugin);
        QVERIFY2(first, qPrintable(first.errorText()));

        const PluginLoadResult result = loader.loadFile(second);
        QCOMPARE(result.errorReason(), PluginLoadError::DuplicateId);
        QVERIFY2(result.errorText().startsWith(second + ": "), qPrintable(result.errorText()));
        QVERIFY2(result.errorText().contains(ScheduleBackupId), qPrintable(result.errorText()));
        // The first one keeps the id.
        const PluginLoadResult found = loader.find(ScheduleBackupId);
        QVERIFY(found);
        QCOMPARE(found.value().object, first.value().object);
        QCOMPARE(found.value().filePath, RealPlugin);
    }

    void realPluginLoads()
    {
        PluginLoader loader;
        const PluginLoadResult result = loader.loadFile(RealPlugin);
        QVERIFY2(result, qPrintable(result.errorText()));
        QCOMPARE(result.value().pluginId, ScheduleBackupId);
        QCOMPARE(result.value().pluginId, BackupProtocol::ScheduleBackupPluginId);
        QCOMPARE(result.value().filePath, RealPlugin);
        QVERIFY(result.value().plugin());
        QCOMPARE(loader.find(ScheduleBackupId).value().object, result.value().object);
    }

    void unloadingDeletesThePlugins()
    {
        PluginLoader loader;
        const PluginLoadResult result = loader.loadFile(RealPlugin);
        QVERIFY2(result, qPrintable(result.errorText()));
        const QPointer<QObject> object = result.value().object;
        loader.unloadAll();
        QVERIFY(!object);
        QCOMPARE(loader.find(ScheduleBackupId).errorReason(), PluginLoadError::NotFound);
        // Loading again gives a working plug-in.
        QVERIFY(loader.loadFile(RealPlugin).value().plugin());
    }
};

QTEST_GUILESS_MAIN(tst_PluginLoader)

#include "tst_pluginloader.moc"

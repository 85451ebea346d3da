// The plug-in loader: a foreign plug-in is refused without running any of its code, a file that
// gives no plug-in is told apart from a missing one, and an id stays with the first plug-in.

#include "PluginLoader.h"

#include <QTest>

Q_DECLARE_METATYPE(PluginLoadError)

const QString RealPlugin = QStringLiteral(SCHEDULE_BACKUP_PLUGIN_PATH);
const QString ScheduleBackupId = QStringLiteral("185196A13473421C84A3CE473516AED7");

class tst_PluginLoader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadFileRefuses_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<PluginLoadError>("reason");

        QTest::newRow("a file that does not exist is not found")
            << QStringLiteral(SCHEDULE_BACKUP_PLUGIN_DIR "/libmissing.so")
            << PluginLoadError::NotFound;
        QTest::newRow("a shared library that is no plug-in does not load")
            << QStringLiteral(SCHEDULE_BACKUP_XML2JSON_PATH) << PluginLoadError::LoadFailed;
        QTest::newRow("a foreign plug-in has the wrong interface")
            << QStringLiteral(FOREIGN_PLUGIN_PATH) << PluginLoadError::WrongInterface;
    }

    void loadFileRefuses()
    {
        QFETCH(QString, path);
        QFETCH(PluginLoadError, reason);
        PluginLoader loader;
        const PluginLoadResult result = loader.loadFile(path);
        QCOMPARE(result.errorReason(), reason);
        QVERIFY2(result.errorText().startsWith(path + ": "), qPrintable(result.errorText()));
        // The foreign library sets this as soon as it is loaded: none of its code may run.
        QVERIFY(qEnvironmentVariableIsEmpty("SCHEDULE_BACKUP_FOREIGN_PLUGIN_LOADED"));
    }

    void secondPluginWithTheIdIsRefused()
    {
        PluginLoader loader;
        const PluginLoadResult first = loader.loadFile(RealPlugin);
        QVERIFY2(first, qPrintable(first.errorText()));
        QCOMPARE(first.value().pluginId, ScheduleBackupId);

        QCOMPARE(loader.loadFile(RealPlugin).errorReason(), PluginLoadError::DuplicateId);
        QCOMPARE(loader.find(ScheduleBackupId).value().object, first.value().object);
    }
};

QTEST_GUILESS_MAIN(tst_PluginLoader)

#include "tst_pluginloader.moc"

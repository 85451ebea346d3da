#include "FakeFramework.h"
#include "PluginBase.h"
#include "SignalLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPluginLoader>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList mappedFiles(const QByteArray& fragment)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        qFatal("cannot read /proc/self/maps");
    QStringList result;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        if (line.contains(fragment) && line.contains('/'))
            result.append(QString::fromLocal8Bit(line.mid(line.indexOf('/'))));
    }
    result.removeDuplicates();
    return result;
}

} // namespace

// Runs a copy of the plug-in from a tree whose lib directory holds its link dependency but no
// logging library, so the bare-name open of the logging library finds nothing.
class tst_TraceNoLibrary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void copyRunsWithoutLoggingLibrary();
    void requestsAndRepliesBehaveAsUsual_data();
    void requestsAndRepliesBehaveAsUsual();
    void cleanupTestCase() { delete loader.instance(); }

private:
    QTemporaryDir tree;
    QPluginLoader loader;
    FakeFramework framework;
};

void tst_TraceNoLibrary::initTestCase()
{
    QVERIFY(tree.isValid());
    QVERIFY(mappedFiles("libZeltLogUtl").isEmpty());
    QVERIFY(QDir(tree.path()).mkpath("plugins") && QDir(tree.path()).mkpath("lib"));
    const QString pluginCopy = tree.filePath("plugins/libPluginScheduleBackup.so");
    QVERIFY(QFile::copy(SCHEDULE_BACKUP_PLUGIN_PATH, pluginCopy));

    // The real XML2Json file, plus its soname and link names pointing at it.
    QString name = QFileInfo(SCHEDULE_BACKUP_XML2JSON_PATH).fileName();
    QVERIFY(QFile::copy(SCHEDULE_BACKUP_XML2JSON_PATH, tree.filePath("lib/" + name)));
    while (!name.endsWith(".so")) {
        const QString shorter = name.left(name.lastIndexOf('.'));
        QVERIFY(QFile::link(name, tree.filePath("lib/" + shorter)));
        name = shorter;
    }

    loader.setFileName(pluginCopy);
    QVERIFY2(loader.load(), qPrintable(loader.errorString()));
}

void tst_TraceNoLibrary::copyRunsWithoutLoggingLibrary()
{
    PluginBase* base = qobject_cast<PluginBase*>(loader.instance());
    QVERIFY(base);
    QCOMPARE(loader.metaData().value("className").toString(),
             QStringLiteral("PluginScheduleBackup"));
    // Destroying and recreating the object traces nothing and needs nothing.
    delete base;
    QVERIFY(qobject_cast<PluginBase*>(loader.instance()));
    QCOMPARE(loader.instance()->property("maxThroughputMB").toInt(), 30);

    const QStringList xml2json = mappedFiles("libXML2Json");
    QCOMPARE(xml2json.size(), 1);
    QVERIFY2(QFileInfo(xml2json.first())
                 .canonicalFilePath()
                 .startsWith(QFileInfo(tree.path()).canonicalFilePath()),
             qPrintable(xml2json.first()));
    QCOMPARE(mappedFiles("libZeltLogUtl"), QStringList());
}

void tst_TraceNoLibrary::requestsAndRepliesBehaveAsUsual_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("signal");
    QTest::addColumn<QVariantList>("arguments");

    QTest::newRow("getBackupInfo accepted") << "getBackupInfo" << QString() << QVariantList {true};
    QTest::newRow("getBackupInfo refused") << "refused" << QString() << QVariantList {false};
    QTest::newRow("path reply") << "GetBackupPath"
                                << "getBackupPathResp" << QVariantList {true, "/mnt/bk"};
    QTest::newRow("path reply failed") << "GetBackupPath 1"
                                       << "getBackupPathResp" << QVariantList {false, ""};
    QTest::newRow("status reply") << "GetBackupStatus"
                                  << "getBackupStatusResp"
                                  << QVariantList {true, "Running", "60", qint64(42)};
    QTest::newRow("unmatched reply") << "getbackupstatus" << QString() << QVariantList {};
}

void tst_TraceNoLibrary::requestsAndRepliesBehaveAsUsual()
{
    QFETCH(QString, step);
    QFETCH(QString, signal);
    QFETCH(QVariantList, arguments);

    QObject* object = loader.instance();
    PluginBase* base = qobject_cast<PluginBase*>(object);
    framework.sent.clear();
    framework.accept = step != "refused";
    base->InitialPluginBase(nullptr, &framework, &framework);
    SignalLog signalLog(object);

    if (step == "getBackupInfo" || step == "refused") {
        bool ok = !framework.accept;
        QVERIFY(QMetaObject::invokeMethod(object, "getBackupInfo", Q_RETURN_ARG(bool, ok),
                                          Q_ARG(QString, "relay")));
        QCOMPARE(QVariantList {ok}, arguments);
        QCOMPARE(framework.sent.size(), 1);
        QCOMPARE(framework.sent.at(0).command, QStringLiteral("GetBkpTmcard"));
    } else {
        const QVariantMap reply
            = {{"GetBkpTmcardRes", QVariantMap {{"Tmcard", QVariantMap {{"Dir", "/mnt/bk"}}}}},
               {"GetBackupStatusRes",
                QVariantMap {
                    {"Status", "Running"}, {"BackupInterval", "60"}, {"BackupProgress", "42"}}}};
        const QStringList parts = step.split(' ');
        base->CommandProcessor(parts.at(0), reply, nullptr, parts.value(1, "0"), QString(), false,
                               "relay");
        base->EventProcessor(parts.at(0), 0, 0, 0, reply, "relay");
    }

    QCOMPARE(signalLog.fired(), signal.isEmpty() ? QStringList() : QStringList {signal + " x1"});
    if (!signal.isEmpty())
        QCOMPARE(signalLog.spy(signal).at(0), QList<QVariant>(arguments));
    QCOMPARE(mappedFiles("libZeltLogUtl"), QStringList());
}

QTEST_GUILESS_MAIN(tst_TraceNoLibrary)
#include "tst_trace_nolibrary.moc"

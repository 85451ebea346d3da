#include "FakeFramework.h"
#include "PluginBase.h"
#include "SignalLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPluginLoader>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QStringList mappedFiles(const QString& fragment)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        qFatal("cannot read /proc/self/maps");
    QStringList result;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const int slash = line.indexOf('/');
        if (slash >= 0 && line.contains(fragment.toLatin1()))
            result.append(QString::fromLocal8Bit(line.mid(slash)));
    }
    result.removeDuplicates();
    return result;
}

} // namespace

// The plug-in runs from a copied tree whose lib directory holds its link dependency but no
// logging library, so the bare-name open of the logging library finds nothing.
class tst_TraceNoLibrary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void copyIsLoadedWithoutLoggingLibrary();
    void requestsBehaveAsUsual_data();
    void requestsBehaveAsUsual();
    void repliesBehaveAsUsual_data();
    void repliesBehaveAsUsual();
    void instanceLifecycleUnchanged();
    void cleanupTestCase();

private:
    QTemporaryDir tree;
    std::unique_ptr<QPluginLoader> loader;
    FakeFramework framework;
    QObject* object = nullptr;
    PluginBase* base = nullptr;
};

void tst_TraceNoLibrary::initTestCase()
{
    QVERIFY(tree.isValid());
    QVERIFY(mappedFiles("libZeltLogUtl").isEmpty());
    QVERIFY(QDir(tree.path()).mkpath("plugins") && QDir(tree.path()).mkpath("lib"));

    const QString pluginCopy = tree.filePath("plugins/libPluginScheduleBackup.so");
    QVERIFY(QFile::copy(SCHEDULE_BACKUP_PLUGIN_PATH, pluginCopy));

    // The real XML2Json file under its own, soname and link names.
    const QFileInfo xml2json(SCHEDULE_BACKUP_XML2JSON_PATH);
    QString name = xml2json.fileName();
    QVERIFY(QFile::copy(xml2json.absoluteFilePath(), tree.filePath("lib/" + name)));
    while (name.count('.') > 1 && !name.endsWith(".so")) {
        const QString shorter = name.left(name.lastIndexOf('.'));
        QVERIFY(QFile::link(name, tree.filePath("lib/" + shorter)));
        name = shorter;
    }
    QVERIFY(QFileInfo::exists(tree.filePath("lib/libXML2Json.so")));
    QVERIFY(!QFileInfo::exists(tree.filePath("lib/libZeltLogUtl.so")));

    loader = std::make_unique<QPluginLoader>(pluginCopy);
    QVERIFY2(loader->load(), qPrintable(loader->errorString()));
}

void tst_TraceNoLibrary::init()
{
    object = loader->instance();
    base = qobject_cast<PluginBase*>(object);
    QVERIFY(base);
    framework.sent.clear();
    framework.accept = true;
    base->InitialPluginBase(nullptr, &framework, &framework);
}

void tst_TraceNoLibrary::copyIsLoadedWithoutLoggingLibrary()
{
    QCOMPARE(loader->metaData().value("className").toString(),
             QStringLiteral("PluginScheduleBackup"));
    const QString copiedLib = QFileInfo(tree.filePath("lib")).canonicalFilePath();
    const QStringList xml2json = mappedFiles("libXML2Json");
    QCOMPARE(xml2json.size(), 1);
    QVERIFY2(QFileInfo(xml2json.first()).canonicalFilePath().startsWith(copiedLib),
             qPrintable(xml2json.first()));
    QCOMPARE(mappedFiles("libPluginScheduleBackup").size(), 1);
    QCOMPARE(mappedFiles("libZeltLogUtl"), QStringList());
}

void tst_TraceNoLibrary::requestsBehaveAsUsual_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("command");

    QTest::newRow("getBackupInfo accepted")
        << QByteArray("getBackupInfo") << true << "GetBkpTmcard";
    QTest::newRow("getBackupInfo refused")
        << QByteArray("getBackupInfo") << false << "GetBkpTmcard";
    QTest::newRow("getBackupStatus accepted")
        << QByteArray("getBackupStatus") << true << "GetBackupStatus";
    QTest::newRow("getBackupPathInfo refused")
        << QByteArray("getBackupPathInfo") << false << "GetBackupPath";
}

void tst_TraceNoLibrary::requestsBehaveAsUsual()
{
    QFETCH(QByteArray, method);
    QFETCH(bool, accept);
    QFETCH(QString, command);

    framework.accept = accept;
    SignalLog signalLog(object);
    bool ok = !accept;
    QVERIFY(
        QMetaObject::invokeMethod(object, method, Q_RETURN_ARG(bool, ok), Q_ARG(QString, "relay")));
    QCOMPARE(ok, accept);
    QCOMPARE(framework.sent.size(), 1);
    QCOMPARE(framework.sent.at(0).command, command);
    QCOMPARE(framework.sent.at(0).relayPath, QStringLiteral("relay"));
    QCOMPARE(signalLog.fired(), QStringList());
}

void tst_TraceNoLibrary::repliesBehaveAsUsual_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("resultCode");
    QTest::addColumn<QVariant>("result");
    QTest::addColumn<QString>("signal");
    QTest::addColumn<QVariantList>("arguments");

    const QVariantMap path
        = {{"GetBkpTmcardRes", QVariantMap {{"Tmcard", QVariantMap {{"Dir", "/mnt/bk"}}}}}};
    const QVariantMap status = {
        {"GetBackupStatusRes",
         QVariantMap {{"Status", "Running"}, {"BackupInterval", "60"}, {"BackupProgress", "42"}}}};
    QTest::newRow("path ok") << "GetBackupPath"
                             << "0" << QVariant(path) << "getBackupPathResp"
                             << QVariantList {true, "/mnt/bk"};
    QTest::newRow("path failed") << "GetBackupPath"
                                 << "1" << QVariant(path) << "getBackupPathResp"
                                 << QVariantList {false, ""};
    QTest::newRow("path without record")
        << "GetBackupPath"
        << "0" << QVariant(QVariantMap {{"GetBkpTmcardRes", QVariantMap {}}}) << "getBackupPathResp"
        << QVariantList {false, ""};
    QTest::newRow("status ok") << "GetBackupStatus"
                               << "0" << QVariant(status) << "getBackupStatusResp"
                               << QVariantList {true, "Running", "60", qint64(42)};
    QTest::newRow("status failed") << "GetBackupStatus"
                                   << "00" << QVariant(status) << "getBackupStatusResp"
                                   << QVariantList {false, "", "", qint64(0)};
    QTest::newRow("unmatched name") << "getbackupstatus"
                                    << "0" << QVariant(status) << QString() << QVariantList {};
}

void tst_TraceNoLibrary::repliesBehaveAsUsual()
{
    QFETCH(QString, command);
    QFETCH(QString, resultCode);
    QFETCH(QVariant, result);
    QFETCH(QString, signal);
    QFETCH(QVariantList, arguments);

    SignalLog signalLog(object);
    base->CommandProcessor(command, result, nullptr, resultCode, QString(), false, "relay");
    base->EventProcessor(command, 0, 0, 0, result, "relay");

    if (signal.isEmpty()) {
        QCOMPARE(signalLog.fired(), QStringList());
        return;
    }
    QCOMPARE(signalLog.fired(), QStringList {signal + " x1"});
    QCOMPARE(signalLog.spy(signal).at(0), QList<QVariant>(arguments));
}

void tst_TraceNoLibrary::instanceLifecycleUnchanged()
{
    QCOMPARE(loader->instance(), object);
    object->setProperty("maxRangeDay", 5); // read-only: must not stick
    QCOMPARE(object->property("maxRangeDay").toInt(), 2);

    QPointer<QObject> guard(object);
    delete object;
    QVERIFY(guard.isNull());
    QObject* fresh = loader->instance();
    QVERIFY(qobject_cast<PluginBase*>(fresh));
    QCOMPARE(fresh->property("maxThroughputMB").toInt(), 30);
    QCOMPARE(mappedFiles("libZeltLogUtl"), QStringList());
}

void tst_TraceNoLibrary::cleanupTestCase()
{
    // The fresh instance is deleted while the library is still mapped.
    delete loader->instance();
}

QTEST_GUILESS_MAIN(tst_TraceNoLibrary)
#include "tst_trace_nolibrary.moc"

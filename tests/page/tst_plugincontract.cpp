// SPDX-License-Identifier: BSD-3-Clause
// The page's fake plug-in against the real one, as the page sees them through their
// meta-objects: the same properties, signals and invokables, with the same types.

#include "FakeScheduleBackup.h"
#include "PluginLoading.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <QTest>

namespace {

// Every member an object adds to QObject, by name, in the words of its declaration.
QMap<QString, QString> members(const QMetaObject* meta)
{
    QMap<QString, QString> described;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        described.insert(QStringLiteral("property ") + property.name(),
                         QStringLiteral("%1 %2%3 notify %4")
                             .arg(property.typeName(), property.name(),
                                  property.isWritable() ? " writable" : " read-only",
                                  property.notifySignal().methodSignature()));
    }
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.access() != QMetaMethod::Public
            || (method.methodType() != QMetaMethod::Signal
                && method.methodType() != QMetaMethod::Method))
            continue;
        const char* kind = method.methodType() == QMetaMethod::Signal ? "signal " : "invokable ";
        described.insert(kind + method.methodSignature(),
                         QStringLiteral("%1 %2").arg(method.typeName(), method.methodSignature()));
    }
    return described;
}

} // namespace

class PluginContractTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fakeMatchesPlugin_data()
    {
        QTest::addColumn<QString>("plugin");
        QTest::addColumn<QString>("fake");

        QObject* plugin = PluginLoading::instance();
        QVERIFY2(plugin, qPrintable(PluginLoading::errorString()));
        const auto real = members(plugin->metaObject());
        const auto fake = members(&FakeScheduleBackup::staticMetaObject);
        // The rows cover both sides, so that a member only one of them has shows up too.
        QStringList names = real.keys() + fake.keys();
        names.removeDuplicates();
        for (const QString& name : std::as_const(names))
            QTest::newRow(qPrintable(name)) << real.value(name) << fake.value(name);
    }

    void fakeMatchesPlugin()
    {
        QFETCH(QString, plugin);
        QFETCH(QString, fake);
        QCOMPARE(fake, plugin);
    }
};

QTEST_GUILESS_MAIN(PluginContractTest)

#include "tst_plugincontract.moc"

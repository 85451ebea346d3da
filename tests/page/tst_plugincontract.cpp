// SPDX-License-Identifier: BSD-3-Clause
// The page's fake plug-in against the real one, as the page sees them through their meta-objects:
// the same properties, signals and invokables, with the same types.

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
    // Every member of either side, by name, so that a member only one of them has shows up too.
    void fakeMatchesPlugin()
    {
        QObject* plugin = PluginLoading::instance();
        QVERIFY2(plugin, qPrintable(PluginLoading::errorString()));
        const auto real = members(plugin->metaObject());
        const auto fake = members(&FakeScheduleBackup::staticMetaObject);
        for (const QString& name : real.keys() + fake.keys())
            QCOMPARE(name + ": " + fake.value(name, "missing"),
                     name + ": " + real.value(name, "missing"));
    }
};

QTEST_GUILESS_MAIN(PluginContractTest)

#include "tst_plugincontract.moc"

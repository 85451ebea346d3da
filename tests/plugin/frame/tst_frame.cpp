// SPDX-License-Identifier: BSD-3-Clause
// The plug-in's face to QML, as its meta-object shows it.

#include "PluginLoading.h"
#include "SignalLog.h"

#include <QMetaMethod>
#include <QTest>

class tst_Frame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What QML sees: read-only properties with first values and notifiers, the other signals
    // and the invokables; "= default" marks a parameter that may be left out.
    void interface()
    {
        const auto describe = [](const QMetaMethod& method) {
            QStringList parameters;
            for (int j = 0; j < method.parameterCount(); ++j)
                parameters << method.parameterTypeName(j) + ' ' + method.parameterNames().at(j);
            return QString::fromLatin1(method.name()) + '(' + parameters.join(", ") + ')';
        };
        QObject* plugin = PluginLoading::instance();
        const QMetaObject* meta = plugin->metaObject();
        QStringList members;
        QList<int> notifiers;
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            members << QStringLiteral("%1 %2 = %3, %4")
                           .arg(property.typeName(), property.name(),
                                SignalLog::text(property.read(plugin)),
                                describe(property.notifySignal()));
            notifiers << property.notifySignalIndex();
        }
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.attributes() & QMetaMethod::Cloned)
                members.last().insert(members.last().size() - 1, " = default");
            else if (!notifiers.contains(i))
                members << QStringLiteral("%1 %2 %3")
                               .arg(method.methodType() == QMetaMethod::Signal ? "signal" : "call",
                                    method.typeName(), describe(method));
        }
        QCOMPARE(
            members,
            QStringList({
                "QStringList cameraList = [], cameraListChanged(QStringList camList)",
                "bool enabled = false, enabledChanged(bool enabled)",
                "bool hasAllCameras = false, hasAllCamerasChanged()",
                "bool targetCyclic = false, targetCyclicChanged(bool cyclic)",
                "int maxThroughputMB = 30, maxThroughputMBChanged(int mb)",
                "int maxRangeDay = 2, maxRangeDayChanged(int day)",
                R"(QString scheduleTemplate = "", scheduleTemplateChanged(QString content))",
                R"(QString scheduleName = "", scheduleNameChanged(QString name))",
                R"(QString targetDir = "", targetDirChanged(QString dir))",
                "signal void getBackupInfoResp(bool success)",
                "signal void getBackupPathResp(bool success, QString backupPath)",
                "signal void getBackupStatusResp(bool success, QString status, "
                "QString interval, qlonglong progress)",
                "signal void updBackupInfoResp(bool success)",
                "signal void updateScheduleResp(bool success)",
                "call bool getBackupInfo(QString relayPath = default)",
                "call bool getBackupPathInfo(QString relayPath = default)",
                "call bool getBackupStatus(QString relayPath = default)",
                "call bool updateBackupInfo(bool enabled, bool targetCyclic, QString targetDir, "
                "QVariantList camList, QString scheName, QString scheJson, "
                "int maxThroughputMB, int maxRangeDay, QString relayPath = default)",
                "call qulonglong getNextBackupTime(QDateTime date = default)",
                "call bool updateSchedule(QString scheName, QString scheJson, "
                "QString relayPath = default)",
            }));
    }
};

QTEST_GUILESS_MAIN(tst_Frame)
#include "tst_frame.moc"

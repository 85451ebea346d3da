// SPDX-License-Identifier: BSD-3-Clause

#include "FakeScheduleBackup.h"

#include <QMetaProperty>

int FakeScheduleBackup::count(const QString& method) const
{
    return int(std::count_if(calls.cbegin(), calls.cend(),
                             [&](const Call& call) { return call.method == method; }));
}

FakeScheduleBackup::Call FakeScheduleBackup::last(const QString& method) const
{
    const auto it = std::find_if(calls.crbegin(), calls.crend(),
                                 [&](const Call& call) { return call.method == method; });
    return it == calls.crend() ? Call() : *it;
}

void FakeScheduleBackup::take(const Stored& stored, bool hasAllCameras)
{
    const QMetaObject* meta = metaObject();
    QVariantList before;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        before << meta->property(i).read(this);
    m_now = stored;
    m_hasAllCameras = hasAllCameras;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QVariant value = meta->property(i).read(this);
        const QMetaMethod notify = meta->property(i).notifySignal();
        if (value == before.at(i - meta->propertyOffset()))
            continue;
        if (notify.parameterCount() == 0)
            notify.invoke(this);
        else
            notify.invoke(this, QGenericArgument(value.typeName(), value.constData()));
    }
}

void FakeScheduleBackup::answerLoad(const Stored& stored)
{
    take(stored, false);
    Q_EMIT getBackupInfoResp(true);
}

void FakeScheduleBackup::confirmUpdate()
{
    const QVariantList a = last(QStringLiteral("updateBackupInfo")).arguments;
    Stored sent {a.at(0).toBool(),   a.at(1).toBool(),  a.at(2).toString(),
                 a.at(6).toInt(),    a.at(7).toInt(),   {},
                 a.at(4).toString(), a.at(5).toString()};
    for (const QVariant& camera : a.at(3).toList())
        sent.cameras.append(camera.toMap().value(QStringLiteral("Name")).toString());
    take(sent, sent.cameras == QStringList {QStringLiteral("__allcams__")});
    Q_EMIT updBackupInfoResp(true);
}

// SPDX-License-Identifier: BSD-3-Clause

#include "SignalLog.h"

#include <QMetaMethod>

SignalLog::SignalLog(QObject* object)
{
    const QMetaObject* meta = object->metaObject();
    const QMetaMethod recorder = staticMetaObject.method(staticMetaObject.indexOfSlot("record()"));
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod signal = meta->method(i);
        if (signal.methodType() != QMetaMethod::Signal)
            continue;
        m_spies.emplace(i, std::make_unique<QSignalSpy>(object, signal));
        connect(object, signal, this, recorder);
    }
}

SignalLog::~SignalLog() = default;

QString SignalLog::text(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList)
        return '[' + value.toStringList().join(',') + ']';
    return value.typeId() == QMetaType::QString ? '"' + value.toString() + '"' : value.toString();
}

void SignalLog::record()
{
    const int index = senderSignalIndex();
    QSignalSpy& spy = *m_spies.at(index);
    QStringList arguments;
    for (const QVariant& argument : spy.takeFirst())
        arguments << text(argument);
    m_fired << QString::fromLatin1(sender()->metaObject()->method(index).name()) + '('
            + arguments.join(',') + ')';
}

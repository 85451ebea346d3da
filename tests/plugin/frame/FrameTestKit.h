#pragma once

#include <QSignalSpy>

#include <list>

// Strings quoted, lists bracketed, everything else as QVariant spells it.
inline QString text(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList)
        return '[' + value.toStringList().join(',') + ']';
    return value.typeId() == QMetaType::QString ? '"' + value.toString() + '"' : value.toString();
}

// Spies on every signal the object's own class declares; fired() lists each emission as
// "name(arguments)", so a test sees the expected signals and the silence of all others at once.
struct SignalLog
{
    explicit SignalLog(QObject* object)
    {
        const QMetaObject* meta = object->metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
            if (meta->method(i).methodType() == QMetaMethod::Signal)
                spies.emplace_back(object, meta->method(i));
    }
    QStringList fired() const
    {
        QStringList result, texts;
        for (const QSignalSpy& spy : spies)
            for (const QList<QVariant>& arguments : spy) {
                texts.clear();
                for (const QVariant& argument : arguments)
                    texts << text(argument);
                result << QString(spy.signal()).section('(', 0, 0) + '(' + texts.join(',') + ')';
            }
        return result;
    }
    std::list<QSignalSpy> spies;
};

inline bool query(QObject* object, const char* method, const QString& relayPath)
{
    bool ok = false;
    QMetaObject::invokeMethod(object, method, Q_RETURN_ARG(bool, ok), Q_ARG(QString, relayPath));
    return ok;
}

// A reply tree that both the path and the status handler read.
inline QVariantMap replyTree(const QVariantMap& tmcard)
{
    const QVariantMap status {
        {"Status", "Running"}, {"BackupInterval", "3600"}, {"BackupProgress", "42"}};
    return {{"GetBkpTmcardRes", QVariantMap {{"Tmcard", tmcard}}}, {"GetBackupStatusRes", status}};
}

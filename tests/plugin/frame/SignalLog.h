#pragma once

#include <QMetaMethod>
#include <QMetaProperty>
#include <QObject>
#include <QSignalSpy>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <vector>

// Spies on every signal the object's own class declares, so a test can assert that exactly the
// expected signals fired and that everything else stayed silent.
class SignalLog
{
public:
    explicit SignalLog(QObject* object)
    {
        const QMetaObject* meta = object->metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.methodType() != QMetaMethod::Signal)
                continue;
            names.append(QString::fromLatin1(method.name()));
            spies.push_back(std::make_unique<QSignalSpy>(object, method));
        }
    }

    QSignalSpy& spy(const QString& name) { return *spies.at(size_t(names.indexOf(name))); }

    // "name xcount" for each signal that fired, in declaration order.
    QStringList fired() const
    {
        QStringList result;
        for (size_t i = 0; i < spies.size(); ++i) {
            if (!spies[i]->isEmpty())
                result.append(QStringLiteral("%1 x%2").arg(names.at(int(i))).arg(spies[i]->size()));
        }
        return result;
    }

    void clear()
    {
        for (auto& spy : spies)
            spy->clear();
    }

private:
    QStringList names;
    std::vector<std::unique_ptr<QSignalSpy>> spies;
};

// A snapshot of everything QML can read, to show that an operation changed nothing.
inline QVariantMap readableState(const QObject* object)
{
    QVariantMap state;
    const QMetaObject* meta = object->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        state.insert(QString::fromLatin1(meta->property(i).name()), meta->property(i).read(object));
    return state;
}

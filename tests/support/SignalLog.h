// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QObject>
#include <QSignalSpy>
#include <QStringList>
#include <QVariant>

#include <map>
#include <memory>

// Records the signals that an object's own class declares, in emission order, each as
// "name(arguments)". Comparing fired() with the expected list also checks that no other signal
// of the class was emitted.
class SignalLog : public QObject
{
    Q_OBJECT
public:
    explicit SignalLog(QObject* object);
    ~SignalLog() override;

    QStringList fired() const { return m_fired; }

    // An argument as fired() writes it: strings quoted, string lists bracketed, anything else as
    // QVariant converts it to text.
    static QString text(const QVariant& value);

private Q_SLOTS:
    void record();

private:
    // One spy per signal, connected before the log itself so that it holds the arguments of an
    // emission by the time record() runs.
    std::map<int, std::unique_ptr<QSignalSpy>> m_spies;
    QStringList m_fired;
};

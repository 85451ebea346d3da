// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "TimeCard.h"

#include <QString>

// A time-frame element ("<Ele><Frame>...</Frame></Ele>") checked the way the service accepts
// it: well-formed, the expected nesting, and intervals inside one week with begin <= end.
class TimeFrame
{
public:
    static TimeFrame parse(const QString& xml);
    static QString compose(const QString& name, const QList<WeekInterval>& intervals);

    bool isValid() const { return m_error.isEmpty(); }
    QString errorText() const { return m_error; }
    QString name() const { return m_name; }
    QList<WeekInterval> intervals() const { return m_intervals; }

private:
    // Fills the frame; returns why it is refused, or an empty text.
    QString read(const QString& xml);

    QString m_error;
    QString m_name;
    QList<WeekInterval> m_intervals;
};

#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

// A weekly schedule in the two forms the front end deals with: readable text such as
// "Mon-Fri 09:00-17:00; Sat 10:00-12:30" and the settings page's rectangle document
// ({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":6}]}, days 0 = Sunday, Right exclusive).
class WeekSchedule
{
    Q_DECLARE_TR_FUNCTIONS(WeekSchedule)

public:
    struct Range
    {
        int startMinute = 0; // minutes into the day
        int endMinute = 0; // exclusive; 1440 is the end of the day

        friend bool operator==(const Range& a, const Range& b)
        {
            return a.startMinute == b.startMinute && a.endMinute == b.endMinute;
        }
    };

    // Times must lie on the half-hour grid of the settings page, so that a stored schedule
    // reads back exactly as it was entered. "none" is the empty schedule.
    static WeekSchedule parse(const QString& text);
    // Rectangles outside the week and empty ones carry no time and are dropped.
    static WeekSchedule fromRectangleJson(const QString& json);

    bool isValid() const { return m_error.isEmpty(); }
    QString errorText() const { return m_error; }
    bool isEmpty() const;
    QList<Range> day(int dayIndex) const { return m_days[dayIndex]; }

    QString toRectangleJson() const;
    QString toText() const;

    static QString dayName(int dayIndex);

private:
    void add(int dayIndex, Range range);

    QList<Range> m_days[7];
    QString m_error;
};

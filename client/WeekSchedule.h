// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

// A weekly schedule: for each day (0 = Sunday) its backup windows in minutes. It converts
// between the three forms the front ends deal with: the settings page's rectangle document
// ({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":2}]}, hours, Right exclusive), the
// half-hour cells of the week grid and readable text such as "Mon-Fri 09:00-17:00; Sat
// 10:00-12:30". Text takes day names in the user's language and in English.
class WeekSchedule
{
    Q_DECLARE_TR_FUNCTIONS(WeekSchedule)

public:
    static constexpr int Days = 7;
    static constexpr int MinutesPerDay = 1440;
    static constexpr int SlotMinutes = 30;
    static constexpr int SlotsPerDay = MinutesPerDay / SlotMinutes;

    struct Range
    {
        int startMinute = 0; // minutes into the day
        int endMinute = 0; // exclusive; 1440 is the end of the day

        // The half-hour cells the window touches: a cell counts when any part of it is covered.
        int firstSlot() const { return startMinute / SlotMinutes; }
        int endSlot() const { return (endMinute + SlotMinutes - 1) / SlotMinutes; }

        friend bool operator==(const Range& a, const Range& b)
        {
            return a.startMinute == b.startMinute && a.endMinute == b.endMinute;
        }
    };

    // Times must lie on the half-hour grid of the settings page, so that a stored schedule
    // reads back exactly as it was entered. "none" is the empty schedule.
    static WeekSchedule parse(const QString& text);
    // Rectangles outside the week and empty ones carry no time and are dropped. Text that is no
    // JSON object gives an invalid, empty schedule.
    static WeekSchedule fromRectangleJson(const QString& json);

    bool isValid() const { return m_error.isEmpty(); }
    QString errorText() const { return m_error; }
    bool isEmpty() const;
    QList<Range> day(int dayIndex) const;

    // Day names in the user's language, or in English for output that scripts read.
    enum class Names { Local, English };

    // Keeps each day sorted and free of overlaps; days outside the week are ignored.
    void add(int dayIndex, Range range);

    // One single-day rectangle per window, Sunday first, as the plug-in writes them.
    QString toRectangleJson() const;
    // Days in the user's language, Monday first; parse() reads it back.
    QString toText(Names names = Names::Local) const;
    // "09:00" and the like; 1440 is "24:00".
    static QString timeText(int minute);

    // The short name in the user's language ("Mon" in English).
    static QString dayName(int dayIndex, Names names = Names::Local);
    // The full name in the user's language ("Monday" in English).
    static QString fullDayName(int dayIndex);
    // Short or full names, or a prefix of a full name of three letters or more, in the user's
    // language or in English, in any case; -1 for none.
    static int dayIndex(const QString& name);

private:
    QString parseEntry(const QString& entry);
    static QString parseDays(const QString& text, QList<int>* days);

    QList<Range> m_days[Days];
    QString m_error;
};

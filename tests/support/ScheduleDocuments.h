// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QString>
#include <QStringList>

// Schedule documents written out by hand, so that expectations never share a fault with the
// writers under test: rectangle documents as the page and the plug-in write them, and time frames
// as the plug-in composes them.
namespace ScheduleDocuments {

enum Day { Sun, Mon, Tue, Wed, Thu, Fri, Sat };

inline QString box(double top, double bottom, int left, int right)
{
    return QString::asprintf(R"({"Top":%g,"Bottom":%g,"Left":%d,"Right":%d})", top, bottom, left,
                             right);
}

inline QString doc(const QStringList& rectangles)
{
    return QStringLiteral(R"({"Rectangles":[)") + rectangles.join(',') + QStringLiteral("]}");
}

// A stored time frame, its intervals given as XML; built by concatenation so that it cannot share
// a substitution fault with the composer.
inline QString timeFrame(const QString& name, const QString& intervals)
{
    return "<Ele><Frame><Name>" + name
        + "</Name><DLMod>Period</DLMod><RepeatMod>Weekly</RepeatMod><Intervals>" + intervals
        + "</Intervals><Holiday>false</Holiday><Range><Period><TmS>2016-03-29 00:00:00.000</TmS>"
          "<TmE>2035-01-01 00:00:00.000</TmE></Period><End>false</End></Range>"
          "<RepeatFreq>1</RepeatFreq></Frame></Ele>";
}

} // namespace ScheduleDocuments

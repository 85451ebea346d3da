// SPDX-License-Identifier: BSD-3-Clause
// Feeds arbitrary rectangle documents to the plug-in's schedule composer. What it composes must be
// XML that XML2Json reads, and converting it back and composing again must settle after one
// round: the second and third composition are the same time frame.

#include "PluginScheduleBackup.h"
#include "XML2Json.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The plug-in reads a stored time frame as the content of a time-card's <Mapping>; a frame
// without intervals reads back as no document, which the page shows as an empty week.
QString readBack(const PluginScheduleBackup& plugin, const QString& timeFrame)
{
    const QVariant tree
        = XML2Json().parse(QStringLiteral("<Mapping>") + timeFrame + QStringLiteral("</Mapping>"));
    if (!tree.isValid())
        std::abort();
    const QString document
        = plugin.ConvertScheduleContent(tree.toMap().value(QStringLiteral("Mapping")));
    return document.isEmpty() ? QStringLiteral("{\"Rectangles\":[]}") : document;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Keep the documents small: the composer's cost grows with the days a rectangle spans.
    if (size > 4096)
        return 0;
    static PluginScheduleBackup plugin;
    const QString document
        = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString name = QStringLiteral("<&\"name\">");
    const QString first = plugin.ComposeScheduleBackupMappingEleMsg(name, document);
    if (first.isNull())
        return 0;
    const QString second = plugin.ComposeScheduleBackupMappingEleMsg(name, readBack(plugin, first));
    if (second.isNull())
        std::abort();
    const QString third = plugin.ComposeScheduleBackupMappingEleMsg(name, readBack(plugin, second));
    if (third != second)
        std::abort();
    return 0;
}

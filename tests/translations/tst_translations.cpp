// SPDX-License-Identifier: BSD-3-Clause
// Every text a program shows is in its German catalogue, translated.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

struct Catalogue
{
    QSet<QString> sources; // "context|source"
    QStringList unfinished;
};

Catalogue readCatalogue(const QString& path)
{
    Catalogue catalogue;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return catalogue;
    QXmlStreamReader reader(&file);
    QString context, source;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1String("name")) {
            context = reader.readElementText();
        } else if (reader.name() == QLatin1String("source")) {
            source = context + u'|' + reader.readElementText();
            catalogue.sources.insert(source);
        } else if (reader.name() == QLatin1String("translation")) {
            const bool open = reader.attributes().value("type") == QLatin1String("unfinished");
            // Plural forms keep their texts in child elements.
            if (open
                || reader.readElementText(QXmlStreamReader::IncludeChildElements)
                       .trimmed()
                       .isEmpty())
                catalogue.unfinished.append(source);
        }
    }
    return catalogue;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void catalogueCoversTheSources_data();
    void catalogueCoversTheSources();
};

void TestTranslations::catalogueCoversTheSources_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<QStringList>("sources");
    const QStringList entries = QStringLiteral(CATALOGUES).split(u'|', Qt::SkipEmptyParts);
    QVERIFY2(!entries.isEmpty(), "the build registers no catalogue");
    for (const QString& entry : entries) {
        const QString catalogue = entry.section(u'=', 0, 0);
        QTest::newRow(qPrintable(QFileInfo(catalogue).fileName()))
            << catalogue << entry.section(u'=', 1).split(u',');
    }
}

void TestTranslations::catalogueCoversTheSources()
{
    QFETCH(QString, catalogue);
    QFETCH(QStringList, sources);

    // What the sources say today, extracted afresh.
    QTemporaryDir dir;
    const QString extracted = dir.filePath("extracted.ts");
    QCOMPARE(QProcess::execute(LUPDATE, sources + QStringList {"-silent", "-ts", extracted}), 0);
    const Catalogue shown = readCatalogue(extracted);
    QVERIFY2(shown.sources.size() > 10, "lupdate found next to no texts");

    const Catalogue committed = readCatalogue(catalogue);
    QStringList missing = (shown.sources - committed.sources).values();
    missing.sort();
    QVERIFY2(missing.isEmpty(), qPrintable("not in the catalogue:\n" + missing.join(u'\n')));
    QVERIFY2(committed.unfinished.isEmpty(),
             qPrintable("not translated:\n" + committed.unfinished.join(u'\n')));
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"

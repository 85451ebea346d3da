#include <QDir>
#include <QFile>
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
    QString context;
    QString source;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.name() == QLatin1String("name")) {
            context = reader.readElementText();
        } else if (reader.name() == QLatin1String("source")) {
            source = context + u'|' + reader.readElementText();
            catalogue.sources.insert(source);
        } else if (reader.name() == QLatin1String("translation")) {
            const bool open
                = reader.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
            // Plural forms keep their texts in child elements.
            const QString text
                = reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            if (open || text.isEmpty())
                catalogue.unfinished.append(source);
        }
    }
    return catalogue;
}

} // namespace

// Every text a program shows is in its German catalogue, translated.
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
    QTest::addColumn<QStringList>("sourceDirs");
    // Filled by CMake: "<catalogue>=<dir>,<dir>..." per program, joined with "|".
    for (const QString& entry : QStringLiteral(CATALOGUES).split(u'|', Qt::SkipEmptyParts)) {
        const QString catalogue = entry.section(u'=', 0, 0);
        QTest::newRow(qPrintable(QFileInfo(catalogue).fileName()))
            << catalogue << entry.section(u'=', 1).split(u',');
    }
}

void TestTranslations::catalogueCoversTheSources()
{
    QFETCH(QString, catalogue);
    QFETCH(QStringList, sourceDirs);

    // What the sources say today, extracted afresh.
    QTemporaryDir dir;
    const QString extracted = dir.filePath(QStringLiteral("extracted.ts"));
    QProcess lupdate;
    lupdate.start(QStringLiteral(LUPDATE),
                  QStringList(sourceDirs)
                      << QStringLiteral("-silent") << QStringLiteral("-ts") << extracted);
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);
    const Catalogue shown = readCatalogue(extracted);
    QVERIFY2(shown.sources.size() > 10, "lupdate found next to no texts");

    const Catalogue committed = readCatalogue(catalogue);
    QStringList missing;
    for (const QString& source : shown.sources) {
        if (!committed.sources.contains(source))
            missing.append(source);
    }
    missing.sort();
    QVERIFY2(missing.isEmpty(),
             qPrintable(QStringLiteral("not in the catalogue:\n") + missing.join(u'\n')));
    QVERIFY2(committed.unfinished.isEmpty(),
             qPrintable(QStringLiteral("not translated:\n") + committed.unfinished.join(u'\n')));
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"

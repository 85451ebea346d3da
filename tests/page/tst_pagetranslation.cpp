#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// A string as lupdate files it: its context and its source text.
using Key = QPair<QString, QString>;

// The text of consecutive C-style string literals ("a" "b" -> ab), escapes resolved.
QString literalText(const QString& literals)
{
    static const QRegularExpression literal(QStringLiteral(R"lit("((?:[^"\\]|\\.)*)")lit"));
    QString text;
    for (auto it = literal.globalMatch(literals); it.hasNext();) {
        QString part = it.next().captured(1);
        part.replace(QStringLiteral("\\\""), QStringLiteral("\""));
        part.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        part.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        text += part;
    }
    return text;
}

QString readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Every string the page's QML files and the viewer hand to qsTr, tr or translate.
QList<Key> shownStrings()
{
    static const QString strings = QStringLiteral(R"lit(((?:"(?:[^"\\]|\\.)*"\s*)+))lit");
    QList<Key> keys;
    const QDir page(QStringLiteral(PAGE_SOURCE_DIR));
    for (const QString& name : page.entryList({QStringLiteral("*.qml")}, QDir::Files)) {
        const QString source = readFile(page.filePath(name));
        const QRegularExpression qsTr(QStringLiteral(R"re(\bqsTr\(\s*)re") + strings);
        for (auto it = qsTr.globalMatch(source); it.hasNext();)
            keys.append({QFileInfo(name).baseName(), literalText(it.next().captured(1))});
    }
    const QDir viewer(page.filePath(QStringLiteral("viewer")));
    for (const QString& name : viewer.entryList({QStringLiteral("*.cpp")}, QDir::Files)) {
        const QString source = readFile(viewer.filePath(name));
        const QRegularExpression tr(QStringLiteral(R"re(\btr\(\s*)re") + strings);
        for (auto it = tr.globalMatch(source); it.hasNext();)
            keys.append({QFileInfo(name).baseName(), literalText(it.next().captured(1))});
        const QRegularExpression translate(QStringLiteral(R"re(\btranslate\(\s*"([^"]+)"\s*,\s*)re")
                                           + strings);
        for (auto it = translate.globalMatch(source); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            keys.append({match.captured(1), literalText(match.captured(2))});
        }
    }
    return keys;
}

// Whether each message of a .ts file has a finished translation that is not empty.
QHash<Key, bool> readTs(const QString& path)
{
    QHash<Key, bool> finished;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return finished;
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"source") {
            source = xml.readElementText();
        } else if (xml.name() == u"translation") {
            const bool unfinished = !xml.attributes().value(QStringLiteral("type")).isEmpty();
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            finished.insert({context, source}, !unfinished && !text.trimmed().isEmpty());
        }
    }
    return finished;
}

} // namespace

// The German translation covers every string the page and the viewer show.
class PageTranslationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyShownStringHasAFinishedGermanTranslation();
};

void PageTranslationTest::everyShownStringHasAFinishedGermanTranslation()
{
    const QHash<Key, bool> german
        = readTs(QStringLiteral(PAGE_SOURCE_DIR "/i18n/schedulebackup_de.ts"));
    QVERIFY(!german.isEmpty());
    const QList<Key> shown = shownStrings();
    // The scan itself works: the page shows well over a hundred strings.
    QVERIFY2(shown.size() > 100, qPrintable(QString::number(shown.size())));
    QStringList problems;
    for (const Key& key : shown) {
        if (!german.value(key))
            problems.append(
                QStringLiteral("missing or unfinished: %1: %2").arg(key.first, key.second));
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(PageTranslationTest)
#include "tst_pagetranslation.moc"

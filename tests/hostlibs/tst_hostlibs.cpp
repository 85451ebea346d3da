#include "TraceObject.h"
#include "XML2Json.h"

#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <dlfcn.h>

namespace {

const QString ExternalEntity
    = R"(<!DOCTYPE A [<!ENTITY x SYSTEM "file:///etc/passwd">]><A>&x;</A>)";

void writeLine(TraceObject* trace, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    trace->traceOutput(trace->traceHandle, format, arguments);
    va_end(arguments);
}

// Run as "--probe": registers Alpha, Beta and Alpha again (printing the ids), then offers one
// line of module Beta per level 1 to 6.
int probe()
{
    void* library = dlopen(ZELT_LOG_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    const auto get = library
        ? reinterpret_cast<int (*)(int, TraceObject**)>(dlsym(library, "LogTrace_GetGlobalObject"))
        : nullptr;
    TraceObject* trace = nullptr;
    if (get == nullptr || get(0, &trace) != 0 || trace == nullptr)
        return 3;
    int ids[3] = {};
    for (int i = 0; i < 3; ++i)
        trace->registerModule(trace->traceHandle, 19, i == 1 ? "Beta" : "Alpha", &ids[i]);
    std::printf("%d %d %d", ids[0], ids[1], ids[2]);
    for (int level = 1; level <= 6; ++level) {
        if (trace->traceFilter(trace->traceHandle, (ids[1] << 8) | level, 0, "/x/p.cpp", 7) == 0)
            writeLine(trace, "%s %d %05.1f", "level", level, 2.5);
    }
    return 0;
}

} // namespace

class TestHostLibs : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void repeatedNamesAndValues();
    void nestingLimit_data();
    void nestingLimit();
    void attributeLimit_data();
    void attributeLimit();
    void documentLengthLimit_data();
    void documentLengthLimit();
    void logging_data();
    void logging();
};

void TestHostLibs::parse_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QByteArray>("json"); // the expected tree; empty: invalid
    QTest::newRow("text-only element") << "<A>x</A>" << QByteArray(R"({"A":"x"})");
    QTest::newRow("empty element")
        << "<A><B/><C></C></A>" << QByteArray(R"({"A":{"B":"","C":""}})");
    QTest::newRow("repeated child is a list in order")
        << "<A><B>3</B><C/><B>1</B><B>2</B></A>"
        << QByteArray(R"({"A":{"B":["3","1","2"],"C":""}})");
    QTest::newRow("attribute and text, indentation dropped")
        << "<A x=\"1\">\n <Cam GrpID=\"g\"> c 1 </Cam>\n <B/>\n</A>"
        << QByteArray(R"({"A":{"@x":"1","Cam":{"@GrpID":"g","#text":" c 1 "},"B":""}})");
    QTest::newRow("time frame")
        << R"(<Ele><Frame><Name>a</Name><Intervals><Ele B="0" E="9" /></Intervals></Frame></Ele>)"
        << QByteArray(R"({"Ele":{"Frame":{"Name":"a","Intervals":{"Ele":{"@B":"0","@E":"9"}}}}})");
    QTest::newRow("empty") << "" << QByteArray();
    QTest::newRow("unclosed child") << "<A><B>1</A>" << QByteArray();
    QTest::newRow("two roots") << "<A/><B/>" << QByteArray();
    QString laughs = QStringLiteral("<!DOCTYPE l [<!ENTITY l0 \"lol\">");
    for (int i = 1; i < 10; ++i)
        laughs += QStringLiteral("<!ENTITY l%1 \"%2\">")
                      .arg(i)
                      .arg(QStringLiteral("&l%1;").arg(i - 1).repeated(10));
    QTest::newRow("billion laughs") << laughs + "]><l>&l9;</l>" << QByteArray();
    QTest::newRow("external entity") << ExternalEntity << QByteArray();
}

void TestHostLibs::parse()
{
    QFETCH(QString, xml);
    QFETCH(QByteArray, json);
    static XML2Json parser; // shared by all rows: nothing may carry over from a failed parse
    const QVariant actual = parser.parse(xml);
    QVERIFY2(actual == (json.isEmpty() ? QVariant() : QJsonDocument::fromJson(json).toVariant()),
             QJsonDocument::fromVariant(actual).toJson().left(300));
}

// Names and attribute values are shared while a document is read, values up to a bounded number
// of distinct ones: every element keeps its own, past that bound as well, and equal names from
// different parents still group as siblings only.
void TestHostLibs::repeatedNamesAndValues()
{
    constexpr int count = 3000;
    QString cams;
    for (int i = 0; i < count; ++i)
        cams += QStringLiteral("<Cam GrpID=\"g%1\" N=\"%2\">c%2</Cam><B/>").arg(i % 3).arg(i);
    const QVariantMap root
        = XML2Json().parse("<A><B><Cam>x</Cam></B>" + cams + "</A>").toMap().value("A").toMap();
    const QVariantList list = root.value("Cam").toList();
    QCOMPARE(list.size(), count);
    for (int i = 0; i < count; ++i) {
        const QVariantMap cam = list.at(i).toMap();
        QCOMPARE(cam,
                 (QVariantMap {{"@GrpID", QStringLiteral("g%1").arg(i % 3)},
                               {"@N", QString::number(i)},
                               {"#text", QStringLiteral("c%1").arg(i)}}));
    }
    const QVariantList bs = root.value("B").toList();
    QCOMPARE(bs.size(), count + 1);
    QCOMPARE(bs.first(), QVariant(QVariantMap {{"Cam", "x"}}));
    QCOMPARE(bs.last(), QVariant(QString("")));
}

// Each limit against hostile input: what is let through, and what is refused.
void TestHostLibs::nestingLimit_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<bool>("parsed");
    QTest::newRow("256 levels parsed") << 256 << true;
    QTest::newRow("257 levels refused") << 257 << false;
}

void TestHostLibs::nestingLimit()
{
    QFETCH(int, depth);
    QFETCH(bool, parsed);
    const QString xml
        = QStringLiteral("<a>").repeated(depth) + QStringLiteral("</a>").repeated(depth);
    QCOMPARE(XML2Json().parse(xml).isValid(), parsed);
}

void TestHostLibs::attributeLimit_data()
{
    QTest::addColumn<int>("attributes"); // on the root's second child
    QTest::addColumn<qsizetype>("keys"); // of that child in the tree
    QTest::newRow("256 attributes parsed") << 256 << qsizetype(256);
    QTest::newRow("257 attributes refused") << 257 << qsizetype(0);
}

void TestHostLibs::attributeLimit()
{
    QFETCH(int, attributes);
    QFETCH(qsizetype, keys);
    QString element = QStringLiteral("<C");
    for (int i = 0; i < attributes; ++i)
        element += QStringLiteral(" a%1=\"%1\"").arg(i);
    const QVariant tree = XML2Json().parse("<A><B/>" + element + "/></A>");
    QCOMPARE(tree.isValid(), keys > 0);
    QCOMPARE(tree.toMap().value("A").toMap().value("C").toMap().size(), keys);
}

// The reader needs seconds for 64 Mi characters, so the document that is let through is smaller.
void TestHostLibs::documentLengthLimit_data()
{
    QTest::addColumn<qsizetype>("length"); // in characters
    QTest::addColumn<bool>("parsed");
    QTest::newRow("8 Mi characters parsed") << (qsizetype(8) << 20) << true;
    QTest::newRow("64 Mi characters and one more refused") << (qsizetype(64) << 20) + 1 << false;
}

void TestHostLibs::documentLengthLimit()
{
    QFETCH(qsizetype, length);
    QFETCH(bool, parsed);
    const QString xml = "<A><!--" + QString(length - 14, QLatin1Char('x')) + "--></A>";
    QCOMPARE(xml.size(), length);
    QCOMPARE(XML2Json().parse(xml).isValid(), parsed);
}

void TestHostLibs::logging_data()
{
    QTest::addColumn<QByteArray>("level"); // null: unset
    QTest::addColumn<bool>("toFile"); // a file holding one earlier line, else standard error
    QTest::addColumn<QList<int>>("written");
    QTest::newRow("unset: up to ignored replies") << QByteArray() << true << QList<int> {1, 2, 3};
    QTest::newRow("0 turns output off") << QByteArray("0") << true << QList<int> {};
    QTest::newRow("5 adds entry and exit") << QByteArray("5") << true << QList<int> {1, 2, 3, 4, 5};
    QTest::newRow("no file: standard error") << QByteArray("2") << false << QList<int> {1, 2};
}

void TestHostLibs::logging()
{
    QFETCH(QByteArray, level);
    QFETCH(bool, toFile);
    QFETCH(QList<int>, written);
    QTemporaryDir dir;
    QFile log(dir.filePath(QStringLiteral("trace.log")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("ZELT_LOG_LEVEL"));
    environment.remove(QStringLiteral("ZELT_LOG_FILE"));
    if (!level.isNull())
        environment.insert(QStringLiteral("ZELT_LOG_LEVEL"), QString::fromLatin1(level));
    if (toFile) {
        QVERIFY(log.open(QIODevice::WriteOnly) && log.write("earlier\n") == 8);
        log.close();
        environment.insert(QStringLiteral("ZELT_LOG_FILE"), log.fileName());
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--probe")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), QByteArray("1 2 1")); // module ids
    QList<QByteArray> lines = process.readAllStandardError().split('\n');
    if (toFile) {
        QVERIFY(lines == QList<QByteArray> {""});
        QVERIFY(log.open(QIODevice::ReadOnly));
        lines = log.readAll().split('\n');
        QCOMPARE(lines.takeFirst(), QByteArray("earlier")); // appended, not replaced
    }
    QCOMPARE(lines.takeLast(), QByteArray()); // every line ends with a newline
    const QRegularExpression pattern(QStringLiteral(
        R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} Beta (\d) level (\d) 002\.5 \[p\.cpp:7\]$)"));
    QList<int> seen;
    for (const QByteArray& line : lines) {
        const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(line));
        QVERIFY2(match.hasMatch() && match.captured(1) == match.captured(2), line.constData());
        seen.append(match.captured(1).toInt());
    }
    QCOMPARE(seen, written);
}

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--probe") == 0)
        return probe();
    QCoreApplication app(argc, argv);
    TestHostLibs test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostlibs.moc"

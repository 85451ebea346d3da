#include "TraceObject.h"
#include "XML2Json.h"

#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <dlfcn.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// Expected trees are JSON: objects are maps, arrays lists, strings strings; "" means invalid.
QVariant fromJson(const char* json)
{
    return *json ? QJsonDocument::fromJson(json).toVariant() : QVariant();
}

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
    void manyRepeatedElementsInOrder();
    void corpus_data();
    void corpus();
    void logging_data();
    void logging();
};

void TestHostLibs::parse_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QVariant>("expected");
    const auto row = [](const char* name, const QString& xml, const char* json) {
        QTest::newRow(name) << xml << fromJson(json);
    };
    row("text-only element", "<A>x</A>", R"({"A":"x"})");
    row("empty element", "<A><B/><C></C></A>", R"({"A":{"B":"","C":""}})");
    row("repeated child is a list in order", "<A><B>3</B><C/><B>1</B><B>2</B></A>",
        R"({"A":{"B":["3","1","2"],"C":""}})");
    row("lists nested in lists", "<L><I><V>1</V><V>2</V></I><I><V>3</V></I></L>",
        R"({"L":{"I":[{"V":["1","2"]},{"V":"3"}]}})");
    row("attributes only", R"(<E B="1" E="2" />)", R"({"E":{"@B":"1","@E":"2"}})");
    row("attribute and text", R"(<Cam GrpID="g"> c 1 </Cam>)",
        R"({"Cam":{"@GrpID":"g","#text":" c 1 "}})");
    row("text split by a child", "<A>a<B/>b</A>", R"({"A":{"B":"","#text":"ab"}})");
    row("indentation dropped, leaf blanks kept", "<A x=\"1\">\n <B> </B>\n <B/>\n</A>",
        R"({"A":{"@x":"1","B":[" ",""]}})");
    row("references and CDATA", R"(<A v="&amp;&#33;">&lt;&#x42;<![CDATA[<&>]]></A>)",
        R"({"A":{"@v":"&!","#text":"<B<&>"}})");
    row("time frame",
        R"(<Ele><Frame><Name>a</Name><Intervals><Ele B="0" E="9" /></Intervals>)"
        R"(<Range><End>false</End></Range></Frame></Ele>)",
        R"({"Ele":{"Frame":{"Name":"a","Intervals":{"Ele":{"@B":"0","@E":"9"}},)"
        R"("Range":{"End":"false"}}}})");
    row("empty", "", "");
    row("unclosed child", "<A><B>1</A>", "");
    row("two roots", "<A/><B/>", "");
    row("bare ampersand", "<A>R&D</A>", "");
    row("undeclared entity", "<A>&nbsp;</A>", "");
    QString laughs = QStringLiteral("<!DOCTYPE l [<!ENTITY l0 \"lol\">");
    for (int i = 1; i < 10; ++i)
        laughs += QStringLiteral("<!ENTITY l%1 \"%2\">")
                      .arg(i)
                      .arg(QStringLiteral("&l%1;").arg(i - 1).repeated(10));
    row("billion laughs", laughs + QStringLiteral("]><l>&l9;</l>"), "");
    row("external entity", R"(<!DOCTYPE A [<!ENTITY x SYSTEM "file:///etc/passwd">]><A>&x;</A>)",
        "");
    row("external parameter entity",
        R"(<!DOCTYPE A [<!ENTITY % p SYSTEM "file:///etc/passwd"> %p;]><A/>)", "");
    row("external subset", R"(<!DOCTYPE A SYSTEM "file:///etc/passwd"><A/>)", "");
}

void TestHostLibs::parse()
{
    QFETCH(QString, xml);
    QFETCH(QVariant, expected);
    static XML2Json parser; // shared by all rows: nothing may carry over from a failed parse
    const QVariant actual = parser.parse(xml);
    QVERIFY2(actual == expected, QJsonDocument::fromVariant(actual).toJson().left(300));
}

void TestHostLibs::manyRepeatedElementsInOrder()
{
    // Quadratic list building would make this take seconds instead of milliseconds.
    constexpr int Count = 20000;
    QString xml = QStringLiteral("<L>");
    for (int i = 0; i < Count; ++i)
        xml += QStringLiteral("<Cam GrpID=\"g%1\">c%1</Cam>").arg(i);
    const QVariantList cams = XML2Json()
                                  .parse(xml + QStringLiteral("</L>"))
                                  .toMap()[QStringLiteral("L")]
                                  .toMap()[QStringLiteral("Cam")]
                                  .toList();
    QCOMPARE(cams.size(), Count);
    for (int i = 0; i < Count; i += 997)
        QCOMPARE(cams.at(i).toMap(),
                 (QVariantMap {{"@GrpID", QStringLiteral("g%1").arg(i)},
                               {"#text", QStringLiteral("c%1").arg(i)}}));
}

void TestHostLibs::corpus_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(XML2JSON_CORPUS_DIR));
    for (const QString& name : dir.entryList(QDir::Files))
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

void TestHostLibs::corpus()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Aborts on a tree of the wrong shape; the name prefix says whether it must be accepted.
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size());
    QCOMPARE(XML2Json().parse(QString::fromUtf8(bytes)).isValid(),
             QFileInfo(path).fileName().startsWith(QLatin1String("valid-")));
}

void TestHostLibs::logging_data()
{
    QTest::addColumn<QByteArray>("level"); // null: unset
    QTest::addColumn<QString>("file"); // null: unset; "log": a file holding one earlier line
    QTest::addColumn<QList<int>>("written");

    const QString log = QStringLiteral("log");
    QTest::newRow("unset: up to ignored replies") << QByteArray() << log << QList<int> {1, 2, 3};
    QTest::newRow("0 turns output off") << QByteArray("0") << log << QList<int> {};
    QTest::newRow("5 adds entry and exit") << QByteArray("5") << log << QList<int> {1, 2, 3, 4, 5};
    QTest::newRow("not a number: default") << QByteArray("5x") << log << QList<int> {1, 2, 3};
    QTest::newRow("too large: default") << QByteArray("256") << log << QList<int> {1, 2, 3};
    QTest::newRow("no file: standard error") << QByteArray("2") << QString() << QList<int> {1, 2};
    QTest::newRow("file cannot be opened: standard error")
        << QByteArray("2") << QStringLiteral("/nonexistent/x.log") << QList<int> {1, 2};
}

void TestHostLibs::logging()
{
    QFETCH(QByteArray, level);
    QFETCH(QString, file);
    QFETCH(QList<int>, written);

    QTemporaryDir dir;
    QFile log(dir.filePath(QStringLiteral("trace.log")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("ZELT_LOG_LEVEL"));
    environment.remove(QStringLiteral("ZELT_LOG_FILE"));
    if (!level.isNull())
        environment.insert(QStringLiteral("ZELT_LOG_LEVEL"), QString::fromLatin1(level));
    if (file == QLatin1String("log")) {
        QVERIFY(log.open(QIODevice::WriteOnly) && log.write("earlier\n") == 8);
        log.close();
        environment.insert(QStringLiteral("ZELT_LOG_FILE"), log.fileName());
    } else if (!file.isNull()) {
        environment.insert(QStringLiteral("ZELT_LOG_FILE"), file);
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--probe")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), QByteArray("1 2 1"));

    QList<QByteArray> lines = process.readAllStandardError().split('\n');
    if (file == QLatin1String("log")) {
        QVERIFY(lines == QList<QByteArray> {""});
        QVERIFY(log.open(QIODevice::ReadOnly));
        lines = log.readAll().split('\n');
        QCOMPARE(lines.takeFirst(), QByteArray("earlier"));
    } else if (!file.isNull()) {
        QVERIFY2(lines.takeFirst().startsWith("ZeltLogUtl: cannot open"), lines.join('\n'));
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

#include "XML2Json.h"

#include <QJsonDocument>
#include <QTest>

namespace {

const QString ExternalEntity
    = R"(<!DOCTYPE A [<!ENTITY x SYSTEM "file:///etc/passwd">]><A>&x;</A>)";

} // namespace

class TestXml2Json : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void nestingLimit_data();
    void nestingLimit();
    void attributeLimit_data();
    void attributeLimit();
    void documentLengthLimit_data();
    void documentLengthLimit();
};

void TestXml2Json::parse_data()
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

void TestXml2Json::parse()
{
    QFETCH(QString, xml);
    QFETCH(QByteArray, json);
    static XML2Json parser; // shared by all rows: nothing may carry over from a failed parse
    const QVariant actual = parser.parse(xml);
    QVERIFY2(actual == (json.isEmpty() ? QVariant() : QJsonDocument::fromJson(json).toVariant()),
             QJsonDocument::fromVariant(actual).toJson().left(300));
}

// Each limit against hostile input: what is let through, and what is refused.
void TestXml2Json::nestingLimit_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<bool>("parsed");
    QTest::newRow("256 levels parsed") << 256 << true;
    QTest::newRow("257 levels refused") << 257 << false;
}

void TestXml2Json::nestingLimit()
{
    QFETCH(int, depth);
    QFETCH(bool, parsed);
    const QString xml
        = QStringLiteral("<a>").repeated(depth) + QStringLiteral("</a>").repeated(depth);
    QCOMPARE(XML2Json().parse(xml).isValid(), parsed);
}

void TestXml2Json::attributeLimit_data()
{
    QTest::addColumn<int>("attributes"); // on the root's second child
    QTest::addColumn<qsizetype>("keys"); // of that child in the tree
    QTest::newRow("256 attributes parsed") << 256 << qsizetype(256);
    QTest::newRow("257 attributes refused") << 257 << qsizetype(0);
}

void TestXml2Json::attributeLimit()
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
void TestXml2Json::documentLengthLimit_data()
{
    QTest::addColumn<qsizetype>("length"); // in characters
    QTest::addColumn<bool>("parsed");
    QTest::newRow("8 Mi characters parsed") << (qsizetype(8) << 20) << true;
    QTest::newRow("64 Mi characters and one more refused") << (qsizetype(64) << 20) + 1 << false;
}

void TestXml2Json::documentLengthLimit()
{
    QFETCH(qsizetype, length);
    QFETCH(bool, parsed);
    const QString xml = "<A><!--" + QString(length - 14, QLatin1Char('x')) + "--></A>";
    QCOMPARE(xml.size(), length);
    QCOMPARE(XML2Json().parse(xml).isValid(), parsed);
}

QTEST_GUILESS_MAIN(TestXml2Json)
#include "tst_xml2json.moc"

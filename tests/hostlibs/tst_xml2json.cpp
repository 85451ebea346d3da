#include "XML2Json.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

// Expected trees are written as JSON: objects are maps, arrays are lists, strings are strings,
// which is exactly the set of types the parser produces.
QVariant fromJson(const char* json)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("bad expectation %s: %s", json, qPrintable(error.errorString()));
    return document.toVariant();
}

QByteArray describe(const QVariant& tree)
{
    if (!tree.isValid())
        return "<invalid>";
    return QJsonDocument::fromVariant(tree).toJson(QJsonDocument::Compact);
}

QString timeFrame(const QString& name, const QString& intervals)
{
    return QStringLiteral(
               "<Ele><Frame><Name>%1</Name><DLMod>Period</DLMod><RepeatMod>Weekly</RepeatMod>"
               "<Intervals>%2</Intervals><Holiday>false</Holiday><Range><Period>"
               "<TmS>2016-03-29 00:00:00.000</TmS><TmE>2035-01-01 00:00:00.000</TmE></Period>"
               "<End>false</End></Range><RepeatFreq>1</RepeatFreq></Frame></Ele>")
        .arg(name, intervals);
}

QString interval(qint64 begin, qint64 end)
{
    return QStringLiteral("<Ele B=\"%1\" E=\"%2\" />").arg(begin).arg(end);
}

QString nested(int depth)
{
    return QString(QStringLiteral("<N>")).repeated(depth) + QStringLiteral("x")
        + QString(QStringLiteral("</N>")).repeated(depth);
}

} // namespace

class TestXml2Json : public QObject
{
    Q_OBJECT

private slots:
    void tree_data();
    void tree();
    void whitespace_data();
    void whitespace();
    void rejected_data();
    void rejected();
    void doctypeRefused_data();
    void doctypeRefused();
    void externalEntityFileIsNeverRead();
    void nestingDepthIsCapped();
    void timeFrameElement();
    void timeFrameWithOneOrNoInterval();
    void backupTimecardReply();
    void manyRepeatedElementsKeepDocumentOrder();
    void parserKeepsNoStateBetweenCalls();
};

void TestXml2Json::tree_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("text-only element is a string") << "<A>x</A>" << fromJson(R"({"A":"x"})");
    QTest::newRow("self-closing empty element") << "<A/>" << fromJson(R"({"A":""})");
    QTest::newRow("open/close empty element") << "<A></A>" << fromJson(R"({"A":""})");
    QTest::newRow("single child is a value") << "<A><B>1</B></A>" << fromJson(R"({"A":{"B":"1"}})");
    QTest::newRow("repeated child is a list in document order")
        << "<A><B>3</B><B>1</B><B>2</B></A>" << fromJson(R"({"A":{"B":["3","1","2"]}})");
    QTest::newRow("repeated child interleaved with others")
        << "<A><B>1</B><C>x</C><B>2</B></A>" << fromJson(R"({"A":{"B":["1","2"],"C":"x"}})");
    QTest::newRow("repeated empty elements")
        << "<A><B/><B></B></A>" << fromJson(R"({"A":{"B":["",""]}})");
    QTest::newRow("nested repeated elements")
        << "<L><I><V>1</V><V>2</V></I><I><V>3</V></I></L>"
        << fromJson(R"({"L":{"I":[{"V":["1","2"]},{"V":"3"}]}})");
    QTest::newRow("attributes only")
        << R"(<Ele B="1" E="2" />)" << fromJson(R"({"Ele":{"@B":"1","@E":"2"}})");
    QTest::newRow("attribute and text")
        << R"(<Cam GrpID="g1">cam1</Cam>)" << fromJson(R"({"Cam":{"@GrpID":"g1","#text":"cam1"}})");
    QTest::newRow("attribute and child")
        << R"(<A k="v"><B>1</B></A>)" << fromJson(R"({"A":{"@k":"v","B":"1"}})");
    QTest::newRow("text beside a child")
        << "<A>t<B/></A>" << fromJson(R"({"A":{"B":"","#text":"t"}})");
    QTest::newRow("text split by a child is joined")
        << "<A>a<B/>b</A>" << fromJson(R"({"A":{"B":"","#text":"ab"}})");
    QTest::newRow("CDATA is text")
        << "<A><![CDATA[<x> & y]]></A>" << fromJson(R"({"A":"<x> & y"})");
    QTest::newRow("CDATA joined with text")
        << "<A>a<![CDATA[<b>]]>c</A>" << fromJson(R"({"A":"a<b>c"})");
    QTest::newRow("predefined entities")
        << "<A>&lt;&amp;&gt;&quot;&apos;</A>" << fromJson(R"({"A":"<&>\"'"})");
    QTest::newRow("character references")
        << "<A>&#65;&#x42;&#x263A;</A>" << fromJson("{\"A\":\"AB\xe2\x98\xba\"}");
    QTest::newRow("references in attribute values")
        << R"(<A v="a&amp;b&#33;"/>)" << fromJson(R"({"A":{"@v":"a&b!"}})");
    QTest::newRow("comments and processing instructions ignored")
        << "<?xml version=\"1.0\"?><!-- c --><A><!-- x --><B>1</B><?pi data?></A><!-- e -->"
        << fromJson(R"({"A":{"B":"1"}})");
    QTest::newRow("declared encoding does not re-decode text")
        << QString::fromUtf8("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><A>\xc3\xa9</A>")
        << fromJson("{\"A\":\"\xc3\xa9\"}");
    QTest::newRow("prefixed names kept as written")
        << R"(<p:A xmlns:p="urn:x"><p:B>1</p:B></p:A>)"
        << fromJson(R"({"p:A":{"@xmlns:p":"urn:x","p:B":"1"}})");
}

void TestXml2Json::tree()
{
    QFETCH(QString, xml);
    QFETCH(QVariant, expected);

    const QVariant actual = XML2Json().parse(xml);
    QCOMPARE(actual.typeId(), QMetaType::QVariantMap);
    QVERIFY2(actual == expected, describe(actual) + " != " + describe(expected));
}

void TestXml2Json::whitespace_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("indentation between children dropped")
        << "<A>\n  <B>1</B>\n\t<B>2</B>\r\n</A>" << fromJson(R"({"A":{"B":["1","2"]}})");
    QTest::newRow("indentation inside attributed element dropped")
        << "<A x=\"1\">\n <B/>\n</A>" << fromJson(R"({"A":{"@x":"1","B":""}})");
    QTest::newRow("blank-only text of attributed element dropped")
        << "<A x=\"1\">  </A>" << fromJson(R"({"A":{"@x":"1"}})");
    QTest::newRow("blank-only leaf keeps its text") << "<A>  </A>" << fromJson(R"({"A":"  "})");
    QTest::newRow("leaf keeps leading and trailing blanks")
        << "<A> a b </A>" << fromJson(R"({"A":" a b "})");
    QTest::newRow("white space around the root") << "\n  <A>1</A>\n" << fromJson(R"({"A":"1"})");
    QTest::newRow("text of attributed element kept verbatim")
        << "<Cam GrpID=\"g\"> cam 1 </Cam>"
        << fromJson(R"({"Cam":{"@GrpID":"g","#text":" cam 1 "}})");
}

void TestXml2Json::whitespace()
{
    tree();
}

void TestXml2Json::rejected_data()
{
    QTest::addColumn<QString>("xml");

    QTest::newRow("null string") << QString();
    QTest::newRow("empty string") << QString(QLatin1String(""));
    QTest::newRow("white space only") << " \n\t ";
    QTest::newRow("text without element") << "hello";
    QTest::newRow("declaration only") << "<?xml version=\"1.0\"?>";
    QTest::newRow("comment only") << "<!-- nothing -->";
    QTest::newRow("unclosed root") << "<A>";
    QTest::newRow("unclosed child") << "<A><B>1</A>";
    QTest::newRow("truncated in end tag") << "<A><B>1</B";
    QTest::newRow("truncated in attribute") << "<Ele B=\"0";
    QTest::newRow("truncated time frame") << timeFrame("a", interval(0, 86400)).chopped(7);
    QTest::newRow("mismatched end tag") << "<A></B>";
    QTest::newRow("two roots") << "<A/><B/>";
    QTest::newRow("text after root") << "<A/>x";
    QTest::newRow("duplicate attribute") << "<A x=\"1\" x=\"2\"/>";
    QTest::newRow("unquoted attribute") << "<A x=1/>";
    QTest::newRow("bare ampersand") << "<A>a & b</A>";
    QTest::newRow("bare less-than") << "<A>1 < 2</A>";
    QTest::newRow("undeclared entity") << "<A>&nbsp;</A>";
    QTest::newRow("undeclared entity in attribute") << "<A v=\"&foo;\"/>";
    QTest::newRow("unescaped name in time frame") << timeFrame("R&D", QString());
}

void TestXml2Json::rejected()
{
    QFETCH(QString, xml);

    const QVariant actual = XML2Json().parse(xml);
    QVERIFY2(!actual.isValid(), describe(actual));
}

void TestXml2Json::doctypeRefused_data()
{
    QTest::addColumn<QString>("xml");

    QString laughs = QStringLiteral("<!DOCTYPE lolz [<!ENTITY lol \"lol\">");
    for (int i = 1; i < 10; ++i) {
        laughs += QStringLiteral("<!ENTITY lol%1 \"%2\">")
                      .arg(i)
                      .arg(QStringLiteral("&lol%1;")
                               .arg(i == 1 ? QString() : QString::number(i - 1))
                               .repeated(10));
    }
    laughs += QStringLiteral("]><lolz>&lol9;</lolz>");

    QTest::newRow("billion laughs") << laughs;
    QTest::newRow("quadratic blow-up")
        << QStringLiteral("<!DOCTYPE A [<!ENTITY a \"%1\">]><A>%2</A>")
               .arg(QString(50000, u'a'), QStringLiteral("&a;").repeated(50000));
    QTest::newRow("external entity")
        << "<!DOCTYPE A [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]><A>&xxe;</A>";
    QTest::newRow("external entity in attribute")
        << "<!DOCTYPE A [<!ENTITY xxe SYSTEM \"file:///etc/hostname\">]><A v=\"&xxe;\"/>";
    QTest::newRow("external parameter entity")
        << "<!DOCTYPE A [<!ENTITY % p SYSTEM \"file:///etc/passwd\"> %p;]><A/>";
    QTest::newRow("external subset") << "<!DOCTYPE A SYSTEM \"file:///etc/passwd\"><A/>";
    QTest::newRow("harmless internal entity") << "<!DOCTYPE A [<!ENTITY e \"x\">]><A>&e;</A>";
    QTest::newRow("doctype without declarations") << "<!DOCTYPE A><A>1</A>";
}

void TestXml2Json::doctypeRefused()
{
    QFETCH(QString, xml);

    const QVariant actual = XML2Json().parse(xml);
    QVERIFY2(!actual.isValid(), describe(actual).left(200));
}

void TestXml2Json::externalEntityFileIsNeverRead()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString secretPath = dir.filePath(QStringLiteral("secret.txt"));
    QFile secret(secretPath);
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("TOP-SECRET-CONTENT");
    secret.close();

    const QString url = QUrl::fromLocalFile(secretPath).toString();
    const QString xml
        = QStringLiteral("<!DOCTYPE A [<!ENTITY s SYSTEM \"%1\">]><A>&s;</A>").arg(url);
    const QVariant actual = XML2Json().parse(xml);
    QVERIFY(!describe(actual).contains("TOP-SECRET"));
    QVERIFY(!actual.isValid());
}

void TestXml2Json::nestingDepthIsCapped()
{
    // Replies nest only a few levels; 256 is the deepest accepted document.
    const QVariant deepest = XML2Json().parse(nested(256));
    QVERIFY(deepest.isValid());
    QVariant cursor = deepest;
    int depth = 0;
    while (cursor.typeId() == QMetaType::QVariantMap) {
        cursor = cursor.toMap().value(QStringLiteral("N"));
        ++depth;
    }
    QCOMPARE(depth, 256);
    QCOMPARE(cursor.toString(), QStringLiteral("x"));

    QVERIFY(!XML2Json().parse(nested(257)).isValid());
    QVERIFY(!XML2Json().parse(nested(100000)).isValid());
}

void TestXml2Json::timeFrameElement()
{
    const QString xml
        = timeFrame(QStringLiteral("a"), interval(0, 86400) + interval(86400, 172800));
    const QVariant expected = fromJson(R"({"Ele":{"Frame":{
        "Name":"a","DLMod":"Period","RepeatMod":"Weekly",
        "Intervals":{"Ele":[{"@B":"0","@E":"86400"},{"@B":"86400","@E":"172800"}]},
        "Holiday":"false",
        "Range":{"Period":{"TmS":"2016-03-29 00:00:00.000","TmE":"2035-01-01 00:00:00.000"},
                 "End":"false"},
        "RepeatFreq":"1"}}})");

    const QVariant actual = XML2Json().parse(xml);
    QVERIFY2(actual == expected, describe(actual));

    // The path the next-backup-time computation walks.
    QString allIntervals;
    for (int day = 0; day < 7; ++day)
        allIntervals += interval(day * 86400, day == 6 ? 604740 : (day + 1) * 86400);
    const QVariantList week = XML2Json()
                                  .parse(timeFrame(QStringLiteral("week"), allIntervals))
                                  .toMap()[QStringLiteral("Ele")]
                                  .toMap()[QStringLiteral("Frame")]
                                  .toMap()[QStringLiteral("Intervals")]
                                  .toMap()[QStringLiteral("Ele")]
                                  .toList();
    QCOMPARE(week.size(), 7);
    QCOMPARE(week.first().toMap().value(QStringLiteral("@B")).toString(), QStringLiteral("0"));
    QCOMPARE(week.at(3).toMap().value(QStringLiteral("@E")).toString(), QStringLiteral("345600"));
    QCOMPARE(week.last().toMap().value(QStringLiteral("@E")).toString(), QStringLiteral("604740"));
}

void TestXml2Json::timeFrameWithOneOrNoInterval()
{
    const auto intervalsOf = [](const QString& xml) {
        return XML2Json()
            .parse(xml)
            .toMap()[QStringLiteral("Ele")]
            .toMap()[QStringLiteral("Frame")]
            .toMap()[QStringLiteral("Intervals")];
    };

    const QVariant one = intervalsOf(timeFrame(QStringLiteral("a"), interval(120600, 147600)));
    QVERIFY2(one == fromJson(R"({"Ele":{"@B":"120600","@E":"147600"}})"), describe(one));

    const QVariant none = intervalsOf(timeFrame(QStringLiteral("a"), QString()));
    QCOMPARE(none.typeId(), QMetaType::QString);
    QVERIFY(none.toString().isEmpty());
}

void TestXml2Json::backupTimecardReply()
{
    const QString xml
        = QStringLiteral("<GetBkpTmcardRes>\n"
                         "  <Tmcard>\n"
                         "    <Revision>7</Revision><TmcardID>12</TmcardID><Name>night</Name>\n"
                         "    <Enabled>true</Enabled><TargetCyclic>false</TargetCyclic>\n"
                         "    <Dir>/srv/backup</Dir><MaxThroughput>10485760</MaxThroughput>\n"
                         "    <Mapping>%1</Mapping>\n"
                         "    <CamList>\n"
                         "      <Cam GrpID=\"g1\">cam1</Cam>\n"
                         "      <Cam GrpID=\"g2\">cam2</Cam>\n"
                         "      <Cam GrpID=\"g1\">cam3</Cam>\n"
                         "    </CamList>\n"
                         "  </Tmcard>\n"
                         "</GetBkpTmcardRes>\n")
              .arg(timeFrame(QStringLiteral("nightly"), interval(0, 3600)));

    const QVariantMap tmcard = XML2Json()
                                   .parse(xml)
                                   .toMap()[QStringLiteral("GetBkpTmcardRes")]
                                   .toMap()[QStringLiteral("Tmcard")]
                                   .toMap();
    QCOMPARE(tmcard.value(QStringLiteral("Revision")).toLongLong(), 7);
    QCOMPARE(tmcard.value(QStringLiteral("Enabled")).toBool(), true);
    QCOMPARE(tmcard.value(QStringLiteral("TargetCyclic")).toBool(), false);
    QCOMPARE(tmcard.value(QStringLiteral("Dir")).toString(), QStringLiteral("/srv/backup"));
    QCOMPARE(tmcard.value(QStringLiteral("MaxThroughput")).toLongLong(), 10485760);

    const QVariant cams
        = tmcard.value(QStringLiteral("CamList")).toMap().value(QStringLiteral("Cam"));
    const QVariant expectedCams = fromJson(R"([{"@GrpID":"g1","#text":"cam1"},
                                               {"@GrpID":"g2","#text":"cam2"},
                                               {"@GrpID":"g1","#text":"cam3"}])");
    QVERIFY2(cams == expectedCams, describe(cams));

    const QVariant frameName = tmcard.value(QStringLiteral("Mapping"))
                                   .toMap()[QStringLiteral("Ele")]
                                   .toMap()[QStringLiteral("Frame")]
                                   .toMap()[QStringLiteral("Name")];
    QCOMPARE(frameName.toString(), QStringLiteral("nightly"));

    // A single camera stays a map; readers turn it into a list themselves.
    const QVariant single
        = XML2Json().parse(QStringLiteral("<CamList><Cam GrpID=\"\">__allcams__</Cam></CamList>"));
    QVERIFY2(single == fromJson(R"({"CamList":{"Cam":{"@GrpID":"","#text":"__allcams__"}}})"),
             describe(single));
}

void TestXml2Json::manyRepeatedElementsKeepDocumentOrder()
{
    constexpr int Count = 20000;
    QString xml = QStringLiteral("<CamList>");
    for (int i = 0; i < Count; ++i)
        xml += QStringLiteral("<Cam GrpID=\"g%1\">cam%2</Cam>").arg(i % 7).arg(i);
    xml += QStringLiteral("</CamList>");

    const QVariantList cams = XML2Json()
                                  .parse(xml)
                                  .toMap()[QStringLiteral("CamList")]
                                  .toMap()[QStringLiteral("Cam")]
                                  .toList();
    QCOMPARE(cams.size(), Count);
    for (int i = 0; i < Count; ++i) {
        const QVariantMap cam = cams.at(i).toMap();
        QCOMPARE(cam.value(QStringLiteral("#text")).toString(), QStringLiteral("cam%1").arg(i));
        QCOMPARE(cam.value(QStringLiteral("@GrpID")).toString(), QStringLiteral("g%1").arg(i % 7));
    }
}

void TestXml2Json::parserKeepsNoStateBetweenCalls()
{
    XML2Json parser;
    QVERIFY(!parser.parse(QStringLiteral("<A><B>")).isValid());
    const QVariant after = parser.parse(QStringLiteral("<C>1</C>"));
    QVERIFY2(after == fromJson(R"({"C":"1"})"), describe(after));
    QVERIFY(!parser.parse(QStringLiteral("<!DOCTYPE C><C/>")).isValid());
    const QVariant again = parser.parse(QStringLiteral("<D x=\"1\"/>"));
    QVERIFY2(again == fromJson(R"({"D":{"@x":"1"}})"), describe(again));
}

QTEST_GUILESS_MAIN(TestXml2Json)
#include "tst_xml2json.moc"

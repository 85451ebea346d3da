// SPDX-License-Identifier: BSD-3-Clause

#include "Table.h"
#include "XML2Json.h"

#include <QTest>

namespace {

// A start tag of `count` attributes, each with `value` in `quote`s.
QString startTag(int count, const QString& value = "1", QChar quote = u'"', const char* end = "/>")
{
    QString tag = "<C";
    for (int i = 0; i < count; ++i)
        tag += QStringLiteral(" a%1=%2%3%2").arg(i).arg(quote).arg(value);
    return tag + end;
}

} // namespace

class TestXml2Json : public QObject
{
    Q_OBJECT

    using Cases = Table<QString, bool>; // the document, whether it is parsed

private slots:
    // Attributes are "@" keys with the text beside them under "#text", a repeated child is a list
    // in document order, an empty element an empty text; indentation is dropped. Names and
    // attribute values are shared while a document is read, values up to a bounded number of
    // distinct ones: every element keeps its own, past that bound as well, and equal names from
    // different parents still group as siblings only.
    void convertsToATree()
    {
        QString xml = "<A x=\"1\">\n <B><Cam> x </Cam></B>\n";
        QVariantList cams, bs {QVariantMap {{"Cam", " x "}}};
        for (int i = 0; i < 3000; ++i) {
            const QString group = QStringLiteral("g%1").arg(i % 3), n = QString::number(i);
            xml += QStringLiteral("<Cam GrpID=\"%1\" N=\"%2\">c%2</Cam><B/>").arg(group, n);
            cams << QVariantMap {{"@GrpID", group}, {"@N", n}, {"#text", "c" + n}};
            bs << QString("");
        }
        const QVariantMap a {{"@x", "1"}, {"B", bs}, {"Cam", cams}};
        QCOMPARE(XML2Json().parse(xml + "\n</A>"), QVariant(QVariantMap {{"A", a}}));
    }

    // Each limit on both sides, and what is refused whatever its size.
    void boundsHostileInput_data()
    {
        Cases::columns();
        const auto row = &Cases::row;

        const auto nested = [](int depth) {
            return QString("<a>").repeated(depth) + QString("</a>").repeated(depth);
        };
        // The reader needs seconds for 64 Mi characters, so the document let through is smaller.
        const auto sized
            = [](qsizetype length) { return "<A><!--" + QString(length - 14, 'x') + "--></A>"; };
        row("256 levels are parsed", nested(256), true);
        row("257 levels are refused", nested(257), false);
        row("8 Mi characters are parsed", sized(qsizetype(8) << 20), true);
        row("64 Mi characters and one more are refused", sized((qsizetype(64) << 20) + 1), false);
        row("a declared entity is refused", R"(<!DOCTYPE A [<!ENTITY l "lol">]><A>&l;</A>)", false);
        // Attributes are counted per start tag before the document is read: quoted values may
        // hold '>', '=' and the other quote, and markup that is no start tag is never counted.
        const QString many = startTag(300, "1", u'"', ">");
        row("256 values holding '>', '=' and '\"' are parsed",
            "<A>" + startTag(256, "x>\"=y", u'\'') + "</A>", true);
        row("257 values holding '>' are refused", "<A>" + startTag(257, ">") + "</A>", false);
        row("257 values in single quotes holding '\"' are refused",
            "<A>" + startTag(257, "\"", u'\'') + "</A>", false);
        row("256 attributes on each of three siblings are parsed",
            "<A>" + startTag(256).repeated(3) + "</A>", true);
        row("tags of 300 attributes in a comment, CDATA and an instruction are not counted",
            "<?xml version=\"1.0\"?><A><!-- " + many + " --><![CDATA[" + many + "]]><?p " + many
                + "?></A>",
            true);
        row("257 attributes after '>' in text and comments are refused",
            QString("<A>a > b<!-- '> --><![CDATA[\">]]>") + startTag(257) + "</A>", false);
    }

    void boundsHostileInput()
    {
        const auto [xml, parsed] = Cases::fetch();
        QCOMPARE(XML2Json().parse(xml).isValid(), parsed);
    }
};

QTEST_GUILESS_MAIN(TestXml2Json)
#include "tst_xml2json.moc"

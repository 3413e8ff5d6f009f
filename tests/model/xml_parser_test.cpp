#include "model/xml_parser.h"

#include "test_data.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Refusal
{
    const char *text;
    const char *message;
};

std::ostream &operator<<(std::ostream &os, const Refusal &r)
{
    return os << r.text;
}

class XmlParserRefusal : public ::testing::TestWithParam<Refusal>
{
};

TEST_P(XmlParserRefusal, FailsWithMessageAndNoRoot)
{
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.ParseXml(QStringLiteral("<old/>")));
    EXPECT_FALSE(parser.ParseXml(QString::fromUtf8(GetParam().text)));
    EXPECT_EQ(parser.ErrorMessage().toStdString(), GetParam().message);
    EXPECT_EQ(parser.Root(), nullptr);
    EXPECT_TRUE(parser.SourceText().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Messages, XmlParserRefusal,
    ::testing::Values(
        // Declarations and misplaced CDATA.
        Refusal{"<!DOCTYPE a><a/>", "DocTypes (DTDs) not currently supported (position 2)"},
        Refusal{"<![CDATA[x]]><a/>", "DocTypes (DTDs) not currently supported (position 2)"},
        Refusal{"<a/><![CDATA[x]]>", "DocTypes (DTDs) not currently supported (position 6)"},
        Refusal{"<a><!ELEMENT a></a>", "DocTypes (DTDs) not currently supported (position 5)"},
        Refusal{"<a><!-x--></a>", "DocTypes (DTDs) not currently supported (position 5)"},
        // End tags.
        Refusal{"<a></1a>", "Invalid character in closing tag at position 6"},
        Refusal{"</ a>", "Invalid character in closing tag at position 3"},
        Refusal{"<a></a x>", "Invalid character in tag at position 8"},
        Refusal{"</a>", "Closing tag does not match any opening tag at position 3"},
        Refusal{"<a/></a>", "Closing tag does not match any opening tag at position 7"},
        Refusal{"<a></b>", "Closing tag </b> (at position 6) does not match any opening tag <a>"},
        Refusal{"<a></A>", "Closing tag </A> (at position 6) does not match any opening tag <a>"},
        Refusal{"<a><b></a></b>", "Closing tag </a> (at position 9) does not match any opening tag <b>"},
        // Start tags and attributes.
        Refusal{"<a x=1>", "Invalid character in tag at position 6"},
        Refusal{"<a x\"1\"/>", "Invalid character in tag at position 6"},
        Refusal{"<a x 'y'/>", "Invalid character in tag at position 7"},
        Refusal{"<a /x>", "Invalid character in tag at position 5"},
        Refusal{"<a $>", "Invalid character in tag at position 4"},
        Refusal{"<a x='1'$/>", "Invalid character in tag at position 9"},
        Refusal{"<1a/>", "Unkown tag type at position 2"},
        Refusal{"< a/>", "Unkown tag type at position 2"},
        Refusal{"<a>< b/></a>", "Unkown tag type at position 5"},
        Refusal{"<a/><b/>", "Document may have only one root element"},
        Refusal{"<a></a>text<b></b>", "Document may have only one root element"},
        Refusal{"<a>", "Unclosed element <a>"},
        Refusal{"<a><b><c/>", "Unclosed element <b>"},
        // Entities, in text and in attribute values.
        Refusal{"<a>&nbsp;</a>", "Unknown entity &nbsp;"},
        Refusal{"<a>&AMP;</a>", "Unknown entity &AMP;"},
        Refusal{"<a>&;</a>", "Unknown entity &;"},
        Refusal{"<a x='&foo;'/>", "Unknown entity &foo;"},
        Refusal{"<a>&amp</a>", "Unterminated entity reference (\"&\" without \";\")"},
        Refusal{"<a x='a & b'/>", "Unterminated entity reference (\"&\" without \";\")"},
        Refusal{"<a>&#;</a>", "Invalid character reference &#;"},
        Refusal{"<a>&#x;</a>", "Invalid character reference &#x;"},
        Refusal{"<a>&#12a;</a>", "Invalid character reference &#12a;"},
        Refusal{"<a>&#xZZ;</a>", "Invalid character reference &#xZZ;"},
        Refusal{"<a>&#-5;</a>", "Invalid character reference &#-5;"},
        Refusal{"<a>&#0;</a>", "Invalid character reference &#0;"},
        Refusal{"<a>&#xD800;</a>", "Invalid character reference &#xD800;"},
        Refusal{"<a>&#x110000;</a>", "Invalid character reference &#x110000;"},
        Refusal{"<a>&#99999999999999999999999;</a>", "Invalid character reference &#99999999999999999999999;"},
        // Constructs cut off by the end of the text.
        Refusal{"<a><!-- never closed </a>", "Unterminated comment starting at position 4"},
        Refusal{"<a><!--></a>", "Unterminated comment starting at position 4"},
        Refusal{"<a><![CDATA[x]]</a>", "Unterminated CDATA section starting at position 4"},
        Refusal{"<?xml version=\"1.0\"", "Unterminated processing instruction starting at position 1"},
        Refusal{"<?>", "Unterminated processing instruction starting at position 1"},
        Refusal{"<a x='1/>", "Unterminated attribute value starting at position 6"},
        Refusal{"<", "Unterminated tag starting at position 1"},
        Refusal{"<a", "Unterminated tag starting at position 1"},
        Refusal{"<a x", "Unterminated tag starting at position 1"},
        Refusal{"<a x=", "Unterminated tag starting at position 1"},
        Refusal{"<a/", "Unterminated tag starting at position 1"},
        Refusal{"<a></", "Unterminated tag starting at position 4"},
        Refusal{"<a></a", "Unterminated tag starting at position 4"},
        Refusal{"<a></a  ", "Unterminated tag starting at position 4"}));

TEST(XmlParser, DocumentWithoutElementsHasNoRoot)
{
    TDirtyXMLParser parser;
    EXPECT_TRUE(parser.ParseXml(QStringLiteral("<?xml version=\"1.0\"?>\r\n<!-- a -->\r\n<!---->")));
    EXPECT_EQ(parser.Root(), nullptr);
    EXPECT_TRUE(parser.ErrorMessage().isEmpty());
    EXPECT_TRUE(parser.ParseXml(QString()));
    EXPECT_EQ(parser.Root(), nullptr);
}

TEST(XmlParser, BuildsTreeWithOwnersAndParents)
{
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.ParseXml(QStringLiteral("<a><b/></a>")));
    TXMLElement *a = parser.Root();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Name(), "a");
    EXPECT_EQ(a->GetParent(), nullptr);
    EXPECT_EQ(a->OwnerList(), nullptr);
    EXPECT_EQ(a->Attributes().Count(), 0);
    ASSERT_EQ(a->Children().Count(), 1);
    TXMLElement *b = a->Children().Items(0);
    EXPECT_EQ(b->Name(), "b");
    EXPECT_EQ(b->GetParent(), a);
    EXPECT_EQ(b->OwnerList(), &a->Children());
    EXPECT_EQ(b->Children().Count(), 0);
    EXPECT_EQ(parser.SourceText(), "<a><b/></a>");
}

TEST(XmlParser, AttributesInEitherQuotesKeepOrderAndDuplicates)
{
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.ParseXml(
        QStringLiteral("<a x='1' Y = \"t&apos;wo\"y=\"3\"\t\r\nz-1.q:r='&quot;&lt;&gt;' e=''/>")));
    const TXMLAttributeList &attributes = parser.Root()->Attributes();
    ASSERT_EQ(attributes.Count(), 5);
    const QStringList names{"x", "Y", "y", "z-1.q:r", "e"};
    const QStringList values{"1", "t'wo", "3", "\"<>", ""};
    int i = 0;
    for (TXMLAttribute *attribute : attributes) {
        EXPECT_EQ(attribute->Name(), names[i]);
        EXPECT_EQ(attribute->Value(), values[i]);
        EXPECT_EQ(attribute->Owner(), &attributes);
        ++i;
    }
    // Look-up ignores case and finds the first of duplicates.
    EXPECT_EQ(attributes.Find("y"), attributes.Items(1));
    EXPECT_EQ(attributes.Find("X"), attributes.Items(0));
    EXPECT_EQ(attributes.Find("w"), nullptr);
    EXPECT_EQ(parser.Root()->GetAttribute("Y").value_or("absent"), "t'wo");
    EXPECT_EQ(parser.Root()->GetAttribute("e").value_or("absent"), "");
    EXPECT_FALSE(parser.Root()->GetAttribute("w").has_value());
    // Quotes of the other kind and ">" belong to the value.
    ASSERT_TRUE(parser.ParseXml(QStringLiteral("<a x='say \"hi\" >'></a>")));
    EXPECT_EQ(*parser.Root()->GetAttribute("x"), "say \"hi\" >");
}

TEST(XmlParser, TextJoinsDecodedTextAndRawCData)
{
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.ParseXml(QStringLiteral("<a>x &amp; y<![CDATA[ <&> ]]></a>")));
    EXPECT_EQ(parser.Root()->Text(), "x & y <&> ");
    ASSERT_TRUE(parser.ParseXml(QStringLiteral("<a>one<![CDATA[&amp;]]>two<!-- c --><?pi ?>three</a>")));
    EXPECT_EQ(parser.Root()->Text(), "one&amp;twothree");
    // The writer's wrapping of "]]>" comes back whole.
    ASSERT_TRUE(parser.ParseXml(QStringLiteral("<a><![CDATA[x]]]]><![CDATA[>y]]></a>")));
    EXPECT_EQ(parser.Root()->Text(), "x]]>y");
}

TEST(XmlParser, TextBetweenChildrenBelongsToParentAndOutsideIsDropped)
{
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.ParseXml(QStringLiteral("lead &bogus <a>\r\n  <b>in b</b>\r\n  <c/>\r\n</a> tail &x")));
    TXMLElement *a = parser.Root();
    EXPECT_EQ(a->Text(), "\r\n  \r\n  \r\n");
    EXPECT_EQ(a->Children().Items(0)->Text(), "in b");
    EXPECT_EQ(a->Children().Items(1)->Text(), "");
}

TEST(XmlParser, ChildLookUpByExactName)
{
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.ParseXml(QStringLiteral("<r><table n='1'/><x/><table n='2'/><Table n='3'/></r>")));
    TXMLElement *r = parser.Root();
    const TXMLElementList tables = r->GetChildrenByName("table");
    ASSERT_EQ(tables.Count(), 2);
    EXPECT_EQ(*tables.Items(0)->GetAttribute("n"), "1");
    EXPECT_EQ(*tables.Items(1)->GetAttribute("n"), "2");
    EXPECT_EQ(r->GetChildrenByName("TABLE").Count(), 0);
    EXPECT_EQ(r->FindChild("table"), tables.Items(0));
    EXPECT_EQ(*r->FindChild("Table")->GetAttribute("n"), "3");
    EXPECT_EQ(r->FindChild("tables"), nullptr);
    QStringList order;
    for (TXMLElement *child : r->Children())
        order << child->Name();
    EXPECT_EQ(order, QStringList({"table", "x", "table", "Table"}));
}

TEST(XmlParser, ListIndexOutsideFails)
{
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.ParseXml(QStringLiteral("<r a='1'><c/></r>")));
    TXMLElement *r = parser.Root();
    EXPECT_THROW(r->Children().Items(1), EDirtyXMLParserError);
    EXPECT_THROW(r->Children().Items(-1), EDirtyXMLParserError);
    EXPECT_THROW(r->Attributes().Items(1), EDirtyXMLParserError);
    EXPECT_THROW(r->GetChildrenByName("c").Items(1), EDirtyXMLParserError);
    try {
        r->GetChildrenByName("none").Items(0);
        FAIL();
    } catch (const EDirtyXMLParserError &e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (0)");
    }
}

TEST(XmlParser, SuccessAfterFailureClearsMessage)
{
    TDirtyXMLParser parser;
    EXPECT_FALSE(parser.ParseXml(QStringLiteral("<a>")));
    EXPECT_EQ(parser.ErrorMessage(), "Unclosed element <a>");
    EXPECT_TRUE(parser.ParseXml(QStringLiteral("<a/>")));
    EXPECT_TRUE(parser.ErrorMessage().isEmpty());
    EXPECT_NE(parser.Root(), nullptr);
}

struct Decoding
{
    const char16_t *text;
    const char16_t *decoded;
};

TEST(XmlParser, DecodeXmlEntities)
{
    const Decoding cases[] = {
        {u"plain", u"plain"},
        {u"&amp;&lt;&gt;&apos;&quot;", u"&<>'\""},
        {u"a&amp;amp;b", u"a&amp;b"},
        {u"&#65;&#x41;&#X41;&#x0041;&#000065;", u"AAAAA"},
        {u"&#xe9;&#xE9;&#233;", u"\u00e9\u00e9\u00e9"},
        // Full code points, not the byte they would be modulo 256.
        {u"&#321;&#x142;", u"\u0141\u0142"},
        {u"&#x20AC;&#8364;", u"\u20ac\u20ac"},
        {u"&#x1F600;", u"\U0001F600"},
        {u"&#x10FFFF;", u"\U0010FFFF"},
        {u"&#1;", u"\u0001"},
        {u"", u""},
    };
    for (const Decoding &c : cases)
        EXPECT_EQ(DecodeXmlEntities(QStringView(c.text)), QString::fromUtf16(c.decoded))
            << QString::fromUtf16(c.text).toStdString();
    EXPECT_THROW(DecodeXmlEntities(u"&nbsp;"), EDirtyXMLParserError);
    EXPECT_THROW(DecodeXmlEntities(u"&#x;"), EDirtyXMLParserError);
}

TEST(XmlParser, AppendTextDecodesUnlessCData)
{
    TXMLElement element("e");
    element.AppendText(u"a&lt;", false);
    element.AppendText(u"&lt;", true);
    EXPECT_EQ(element.Text(), "a<&lt;");
}

TEST(XmlParser, ReadsFileAsLatin1WithCrLfLines)
{
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.LoadFromFile(testDataPath("xml/diagram_sample.xml"))) << parser.ErrorMessage().toStdString();
    TXMLElement *root = parser.Root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Name(), "marrowtide_diagram");
    EXPECT_EQ(*root->GetAttribute("version"), "1.1");
    const TXMLElementList properties = root->GetChildrenByName("property");
    ASSERT_EQ(properties.Count(), 2);
    EXPECT_EQ(properties.Items(0)->Text(), "Sales & Orders");
    EXPECT_EQ(properties.Items(1)->Text(), "a ]]> b");

    TXMLElement *table = root->FindChild("tables")->FindChild("table");
    ASSERT_NE(table, nullptr);
    QStringList texts;
    for (TXMLElement *property : table->GetChildrenByName("property"))
        texts << property->GetAttribute("name").value_or("?") + '=' + property->Text();
    EXPECT_EQ(texts, QStringList({"owner=SCOTT", QString::fromUtf16(u"name=CAF\u00c9"),
                                  QString::fromUtf16(u"comment=x & y <> \u0142A")}));
    int columns = 0;
    for (TXMLElement *column : table->FindChild("columns")->GetChildrenByName("column")) {
        EXPECT_EQ(column->GetParent()->GetParent(), table);
        ++columns;
    }
    EXPECT_EQ(columns, 2);
    EXPECT_EQ(root->FindChild("object_tables")->Children().Count(), 0);
    EXPECT_EQ(root->FindChild("types"), nullptr);
    EXPECT_EQ(parser.SourceText().toLatin1(), readTestFile("xml/diagram_sample.xml"));
}

TEST(XmlParser, LinesEndInCrLfWhateverTheFileUsed)
{
    struct Case
    {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"<a>\n<b/>\n</a>", "<a>\r\n<b/>\r\n</a>\r\n"},
        {"<a>\r<b/>\r</a>\r", "<a>\r\n<b/>\r\n</a>\r\n"},
        {"<a>\r\n\r\n</a>\r\n", "<a>\r\n\r\n</a>\r\n"},
        {"<a>\n\r</a>", "<a>\r\n\r\n</a>\r\n"},
        {"<a/>", "<a/>\r\n"},
    };
    for (const Case &c : cases) {
        TDirtyXMLParser parser;
        ASSERT_TRUE(parser.LoadFromBytes(c.bytes)) << c.bytes.toStdString();
        EXPECT_EQ(parser.SourceText(), c.text) << c.bytes.toStdString();
    }
    // Positions count the text after the line ends were made CR LF.
    TDirtyXMLParser parser;
    EXPECT_FALSE(parser.LoadFromBytes("<a>\n</b>"));
    EXPECT_EQ(parser.ErrorMessage(), "Closing tag </b> (at position 8) does not match any opening tag <a>");
    EXPECT_TRUE(parser.LoadFromBytes(QByteArray()));
    EXPECT_EQ(parser.Root(), nullptr);
}

TEST(XmlParser, BytesAreIso88591WhateverTheDeclarationSays)
{
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.LoadFromBytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a n='\xc3\xa9'>\xff</a>"));
    EXPECT_EQ(*parser.Root()->GetAttribute("n"), QString::fromUtf16(u"\u00c3\u00a9"));
    EXPECT_EQ(parser.Root()->Text(), QString::fromUtf16(u"\u00ff"));
}

TEST(XmlParser, StreamIsReadFromItsStart)
{
    QByteArray bytes("<a>x</a>");
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    buffer.seek(5);
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.LoadFromStream(buffer));
    EXPECT_EQ(parser.Root()->Text(), "x");
}

TEST(XmlParser, UnreadableFileFailsWithMessage)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.xml");
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.ParseXml(QStringLiteral("<a/>")));
    EXPECT_FALSE(parser.LoadFromFile(missing));
    EXPECT_TRUE(parser.ErrorMessage().startsWith("Cannot open file \"" + missing + "\". "))
        << parser.ErrorMessage().toStdString();
    EXPECT_EQ(parser.Root(), nullptr);
}

// Hostile shapes: each must end in a result or a message, not a crash.
TEST(XmlParser, DeepNestingNeedsNoRecursion)
{
    const int depth = 300000;
    QString text;
    text.reserve(depth * 8);
    for (int i = 0; i < depth; ++i)
        text += QStringLiteral("<d>");
    TDirtyXMLParser parser;
    EXPECT_FALSE(parser.ParseXml(text));
    EXPECT_EQ(parser.ErrorMessage(), "Unclosed element <d>");

    for (int i = 0; i < depth; ++i)
        text += QStringLiteral("</d>");
    ASSERT_TRUE(parser.ParseXml(text));
    const TXMLElement *e = parser.Root();
    int levels = 1;
    while (e->Children().Count() == 1) {
        e = e->Children().Items(0);
        ++levels;
    }
    EXPECT_EQ(levels, depth);
    // Freeing a tree this deep must not recurse either.
    EXPECT_TRUE(parser.ParseXml(QStringLiteral("<a/>")));
}

TEST(XmlParser, HugeAttributeAndText)
{
    const QString big(4 * 1024 * 1024, QLatin1Char('v'));
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.ParseXml("<a x='" + big + "'>" + big + "&amp;</a>"));
    EXPECT_EQ(parser.Root()->GetAttribute("x")->size(), big.size());
    EXPECT_EQ(parser.Root()->Text().size(), big.size() + 1);
    EXPECT_FALSE(parser.ParseXml("<a x='" + big + "/>"));
    EXPECT_EQ(parser.ErrorMessage(), "Unterminated attribute value starting at position 6");
}

// Every input kept from fuzzing is replayed: parsing ends in a tree or a
// message, never both, and every element knows its parent.
TEST(XmlParser, FuzzCorpusReplays)
{
    const QDir corpus(testDataPath("xml/fuzz-corpus"));
    const QStringList files = corpus.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = readTestFile("xml/fuzz-corpus/" + name);
        TDirtyXMLParser parser;
        const bool fromBytes = parser.LoadFromBytes(bytes);
        EXPECT_EQ(fromBytes, parser.ErrorMessage().isEmpty());
        if (!fromBytes) {
            EXPECT_EQ(parser.Root(), nullptr);
        }
        if (TXMLElement *root = parser.Root()) {
            std::vector<TXMLElement *> pending{root};
            while (!pending.empty()) {
                TXMLElement *e = pending.back();
                pending.pop_back();
                for (TXMLElement *child : e->Children()) {
                    EXPECT_EQ(child->GetParent(), e);
                    pending.push_back(child);
                }
            }
        }
        const bool fromText = parser.ParseXml(QString::fromUtf8(bytes));
        EXPECT_EQ(fromText, parser.ErrorMessage().isEmpty());
    }
}

} // namespace

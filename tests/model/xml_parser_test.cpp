#include "model/xml_parser.h"

#include "test_data.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <set>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

// Each refused text fails with its message, leaves no tree and no source, and
// replaces the tree of the text parsed before.
TEST(XmlParser, RefusedTextsFailWithTheirMessageAndNoRoot)
{
    const QList<QStringList> cases = readTestTable("xml/refusals.txt");
    ASSERT_GE(cases.size(), 50);
    for (const QStringList &c : cases) {
        TDirtyXMLParser parser;
        ASSERT_TRUE(parser.ParseXml(QStringLiteral("<old/>")));
        EXPECT_FALSE(parser.ParseXml(c[0])) << c[0].toStdString();
        EXPECT_EQ(parser.ErrorMessage().toStdString(), c[1].toStdString()) << c[0].toStdString();
        EXPECT_EQ(parser.Root(), nullptr);
        EXPECT_TRUE(parser.SourceText().isEmpty());
    }
}

TEST(XmlParser, TreeChildrenAndLookUpByExactName)
{
    TDirtyXMLParser parser;
    // A document without elements has no root, and success clears the message.
    EXPECT_FALSE(parser.ParseXml(QStringLiteral("<a>")));
    EXPECT_TRUE(parser.ParseXml(QStringLiteral("<?xml version=\"1.0\"?>\r\n<!-- a -->\r\n<!---->")));
    EXPECT_EQ(parser.Root(), nullptr);
    EXPECT_TRUE(parser.ErrorMessage().isEmpty());
    EXPECT_TRUE(parser.ParseXml(QString()));
    EXPECT_EQ(parser.Root(), nullptr);
    const QString text = QStringLiteral("<r><table n='1'/><x/><table n='2'><c/></table><Table n='3'/></r>");
    ASSERT_TRUE(parser.ParseXml(text));
    EXPECT_EQ(parser.SourceText(), text);
    TXMLElement *r = parser.Root();
    EXPECT_EQ(r->GetParent(), nullptr);
    EXPECT_EQ(r->Attributes().Count(), 0);
    QStringList order;
    for (TXMLElement *child : r->Children()) {
        order << child->Name();
        EXPECT_EQ(child->GetParent(), r);
        EXPECT_EQ(child->OwnerList(), &r->Children());
    }
    EXPECT_EQ(order, QStringList({"table", "x", "table", "Table"}));
    const TXMLElementList tables = r->GetChildrenByName("table");
    ASSERT_EQ(tables.Count(), 2);
    EXPECT_EQ(*tables.Items(0)->GetAttribute("n"), "1");
    EXPECT_EQ(r->GetChildrenByName("TABLE").Count(), 0);
    EXPECT_EQ(r->FindChild("table"), tables.Items(0));
    EXPECT_EQ(*r->FindChild("Table")->GetAttribute("n"), "3");
    EXPECT_EQ(r->FindChild("tables"), nullptr);

    EXPECT_THROW(r->Children().Items(-1), EDirtyXMLParserError);
    EXPECT_THROW(tables.Items(0)->Attributes().Items(1), EDirtyXMLParserError);
    try {
        r->GetChildrenByName("none").Items(0);
        FAIL();
    } catch (const EDirtyXMLParserError &e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (0)");
    }
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
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(attributes.Items(i)->Name(), names[i]);
        EXPECT_EQ(attributes.Items(i)->Value(), values[i]);
        EXPECT_EQ(attributes.Items(i)->Owner(), &attributes);
    }
    // Look-up ignores case and finds the first of duplicates.
    EXPECT_EQ(attributes.Find("y"), attributes.Items(1));
    EXPECT_EQ(attributes.Find("X"), attributes.Items(0));
    EXPECT_EQ(attributes.Find("w"), nullptr);
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
    // Text between children is the parent's; text outside the root is dropped.
    ASSERT_TRUE(parser.ParseXml(QStringLiteral("lead &bogus <a>\r\n  <b>in b</b>\r\n  <c/>\r\n</a> tail &x")));
    EXPECT_EQ(parser.Root()->Text(), "\r\n  \r\n  \r\n");
    EXPECT_EQ(parser.Root()->Children().Items(0)->Text(), "in b");
}

// Repeated names, values and texts are shared between elements; sharing
// must not change what any of them reads, an empty value included.
TEST(XmlParser, RepeatedStringsReadAsWritten)
{
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.ParseXml(QStringLiteral(
        "<r><p name='n' e=''>Y</p><p name='n' e=\"\">Y</p><p NAME='N'>y&amp;</p><q/><q><![CDATA[]]></q>"
        "<q>a<b/>Y</q></r>")));
    const TXMLChildElementList &children = parser.Root()->Children();
    ASSERT_EQ(children.Count(), 6);
    for (int i : {0, 1}) {
        const TXMLElement *p = children.Items(i);
        EXPECT_EQ(p->Name(), "p");
        EXPECT_EQ(*p->GetAttribute("name"), "n");
        const QString empty = *p->GetAttribute("e");
        EXPECT_TRUE(empty.isEmpty() && !empty.isNull()) << i;
        EXPECT_EQ(p->Text(), "Y");
    }
    EXPECT_EQ(*children.Items(2)->GetAttribute("name"), "N");
    EXPECT_EQ(children.Items(2)->Text(), "y&");
    // No text at all, and an empty CDATA section, leave the text null.
    EXPECT_TRUE(children.Items(3)->Text().isNull());
    EXPECT_TRUE(children.Items(4)->Text().isNull());
    EXPECT_EQ(children.Items(5)->Text(), "aY");
    // These two values clash in the table's hash, and one begins the other.
    ASSERT_TRUE(
        parser.LoadFromBytes("<r><c n='table_name_XkSrRbck'/><c n='table_name'/><c n='table_name_XkSrRbck'/></r>"));
    QStringList values;
    for (const TXMLElement *c : parser.Root()->Children())
        values << *c->GetAttribute("n");
    EXPECT_EQ(values, QStringList({"table_name_XkSrRbck", "table_name", "table_name_XkSrRbck"}));
}

TEST(XmlParser, ReadsFileAsLatin1WithCrLfLines)
{
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.LoadFromFile(testDataPath("xml/diagram_sample.xml"))) << parser.ErrorMessage().toStdString();
    TXMLElement *root = parser.Root();
    EXPECT_EQ(root->Name(), "marrowtide_diagram");
    EXPECT_EQ(*root->GetAttribute("version"), "1.1");
    EXPECT_EQ(root->GetChildrenByName("property").Items(1)->Text(), "a ]]> b");
    EXPECT_EQ(root->FindChild("tables")->FindChild("table")->Children().Items(2)->Text(),
              QString::fromUtf16(u"x & y <> \u0142A"));
    EXPECT_EQ(parser.SourceText().toLatin1(), readTestFile("xml/diagram_sample.xml"));
    // A text parsed next, or refused, leaves nothing of the file's.
    ASSERT_TRUE(parser.LoadFromFile(testDataPath("xml/diagram_sample.xml")));
    ASSERT_TRUE(parser.LoadFromBytes("<d/>"));
    EXPECT_EQ(parser.SourceText(), "<d/>\r\n");
    ASSERT_TRUE(parser.LoadFromFile(testDataPath("xml/diagram_sample.xml")));
    EXPECT_FALSE(parser.ParseXml(QStringLiteral("<d>")));
    EXPECT_TRUE(parser.SourceText().isEmpty());

    // A pipe gives what its bytes give, whatever ends its lines, and its refusal.
    QTemporaryDir dir;
    const QString pipe = dir.filePath(QStringLiteral("pipe"));
    for (const QByteArray &bytes : {QByteArray("<a>\n<b/>\n</a>\n"), QByteArray("<a>\r\n</b>\r\n")}) {
        QFile::remove(pipe);
        ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        std::thread writer([&] {
            QFile file(pipe);
            if (file.open(QIODevice::WriteOnly))
                file.write(bytes);
        });
        TDirtyXMLParser fromBytes;
        const bool parsed = parser.LoadFromFile(pipe);
        writer.join();
        EXPECT_EQ(parsed, fromBytes.LoadFromBytes(bytes));
        EXPECT_EQ(parser.ErrorMessage(), fromBytes.ErrorMessage());
        EXPECT_EQ(parser.Root() != nullptr, fromBytes.Root() != nullptr);
        EXPECT_EQ(parser.SourceText(), fromBytes.SourceText());
    }

    // A file that cannot be read fails like a refused text.
    const QString missing = QDir::temp().filePath("marrowtide-no-such-dir/missing.xml");
    EXPECT_FALSE(parser.LoadFromFile(missing));
    EXPECT_TRUE(parser.ErrorMessage().startsWith("Cannot open file \"" + missing + "\". "))
        << parser.ErrorMessage().toStdString();
    EXPECT_EQ(parser.Root(), nullptr);
}

TEST(XmlParser, EntitiesAndBytesAreLatin1LinesEndingInCrLf)
{
    TDirtyXMLParser parser;
    for (const QStringList &c : readTestTable("model/xml_texts.txt")) {
        if (c[0] == "entity") {
            EXPECT_EQ(DecodeXmlEntities(c[1]), c[2]) << c[1].toStdString();
            continue;
        }
        ASSERT_TRUE(parser.LoadFromBytes(c[1].toLatin1())) << c[1].toStdString();
        EXPECT_EQ(parser.SourceText(), c[2]) << c[1].toStdString();
    }
    EXPECT_THROW(DecodeXmlEntities(u"&nbsp;"), EDirtyXMLParserError);
    // Positions count the bytes, whatever their line ends were made.
    EXPECT_FALSE(parser.LoadFromBytes("<a>\n</b>"));
    EXPECT_EQ(parser.ErrorMessage(), "Closing tag </b> (at position 7) does not match any opening tag <a>");
    // Also for a line end that reaches no text of the tree.
    EXPECT_FALSE(parser.LoadFromBytes("<a\n></b>"));
    EXPECT_EQ(parser.ErrorMessage(), "Closing tag </b> (at position 7) does not match any opening tag <a>");
    EXPECT_TRUE(parser.LoadFromBytes(QByteArray()));
    EXPECT_EQ(parser.Root(), nullptr);
    // ISO-8859-1 whatever the declaration says.
    ASSERT_TRUE(parser.LoadFromBytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a n='\xc3\xa9'>\xff</a>"));
    EXPECT_EQ(*parser.Root()->GetAttribute("n"), QString::fromUtf16(u"\u00c3\u00a9"));
    EXPECT_EQ(parser.Root()->Text(), QString::fromUtf16(u"\u00ff"));
    // A stream is read from its start.
    QByteArray bytes("<a>x</a>");
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly) && buffer.seek(5));
    ASSERT_TRUE(parser.LoadFromStream(buffer));
    EXPECT_EQ(parser.Root()->Text(), "x");
}

// A position in a message is the byte of the file it names, whatever the
// line ends before it, and never lies past the file's end.
TEST(XmlParser, PositionsLieInTheFile)
{
    TDirtyXMLParser parser;
    const std::pair<QByteArray, QString> cases[] = {
        {"<a>\r\n</b>", "Closing tag </b> (at position 8) does not match any opening tag <a>"},
        {"<a>\r</b>", "Closing tag </b> (at position 7) does not match any opening tag <a>"},
        {"<a>\n\r\n<b x='1\n", "Unterminated attribute value starting at position 12"},
        // The line end added after the last line is no byte of the file.
        {"<a>\r\n\n<b/", "Invalid character in tag at position 9"},
    };
    for (const auto &[bytes, message] : cases) {
        EXPECT_FALSE(parser.LoadFromBytes(bytes));
        EXPECT_EQ(parser.ErrorMessage(), message) << bytes.toStdString();
    }
    // A 20,000-byte file of lines ended by LF, cut inside a tag.
    QByteArray cut = "<rows>\n";
    while (cut.size() < 20000)
        cut += "<row value='012345678'/>\n";
    cut.truncate(20000);
    QTemporaryDir dir;
    const QString path = dir.filePath("cut.xml");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(cut) == cut.size());
    file.close();
    EXPECT_FALSE(parser.LoadFromFile(path));
    const auto match = QRegularExpression("position (\\d+)").match(parser.ErrorMessage());
    ASSERT_TRUE(match.hasMatch()) << parser.ErrorMessage().toStdString();
    const int position = match.captured(1).toInt();
    ASSERT_LE(position, cut.size());
    EXPECT_TRUE(cut[position - 1] == '<' || cut[position - 1] == '\'') << parser.ErrorMessage().toStdString();
}

// Hostile shapes: each must end in a result or a message, not a crash.
TEST(XmlParser, DeepNestingNeedsNoRecursion)
{
    const int depth = 300000;
    QString text = QStringLiteral("<d>").repeated(depth);
    TDirtyXMLParser parser;
    EXPECT_FALSE(parser.ParseXml(text));
    EXPECT_EQ(parser.ErrorMessage(), "Unclosed element <d>");
    ASSERT_TRUE(parser.ParseXml(text + QStringLiteral("</d>").repeated(depth)));
    int levels = 1;
    for (const TXMLElement *e = parser.Root(); e->Children().Count() == 1; e = e->Children().Items(0))
        ++levels;
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

// Every input kept from fuzzing is replayed, as bytes and as text: parsing
// ends in a tree or a message, never both, and every element knows its parent.
TEST(XmlParser, FuzzCorpusReplays)
{
    const QStringList files = QDir(testDataPath("xml/fuzz-corpus")).entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = readTestFile("xml/fuzz-corpus/" + name);
        TDirtyXMLParser parser;
        const bool parsed = parser.LoadFromBytes(bytes);
        EXPECT_EQ(parsed, parser.ErrorMessage().isEmpty());
        EXPECT_TRUE(parsed || !parser.Root());
        std::vector<TXMLElement *> pending;
        if (parser.Root())
            pending.push_back(parser.Root());
        while (!pending.empty()) {
            TXMLElement *e = pending.back();
            pending.pop_back();
            for (TXMLElement *child : e->Children()) {
                EXPECT_EQ(child->GetParent(), e);
                pending.push_back(child);
            }
        }
        const bool parsedText = parser.ParseXml(QString::fromUtf8(bytes));
        EXPECT_EQ(parsedText, parser.ErrorMessage().isEmpty());
    }
}

} // namespace

namespace {

QString dumpTree(const TXMLElement *element)
{
    if (!element)
        return QStringLiteral("-");
    QString out = element->Name();
    for (const TXMLAttribute *attribute : element->Attributes())
        out += u' ' + attribute->Name() + u'=' + attribute->Value();
    out += u'[' + element->Text() + u']';
    if (element->Text().isNull())
        out += QStringLiteral("null");
    for (const TXMLElement *child : element->Children())
        out += u'(' + dumpTree(child) + u')';
    return out;
}

} // namespace

// A file's bytes are scanned as they are: whatever ends their lines, the tree
// is the one their text with CR LF line ends gives.
TEST(XmlParser, BytesGiveTheTreeOfTheirCrLfText)
{
    const QList<QByteArray> cases = {
        "<a>\r\n  <b x='1'>t</b>\r\n  <c/>\r\n</a>\r\n",
        "<a>\n  <b x='1\n2'>t\nu</b>\n</a>",
        "<a>\r<b><![CDATA[x\ny]]></b>\r\n</a>",
        "<a>one<b/>two &amp; three<c/><![CDATA[four]]>five<![CDATA[]]></a>",
        "<a><b>&lt;\r\n</b>tail\r</a>\r\n",
        "<a\n  x='1'><!-- \n --><?p \r?>\r\n<b/></a>",
        "<a><![CDATA[x\n]]><![CDATA[\r]]></a>",
    };
    for (const QByteArray &bytes : cases) {
        TDirtyXMLParser fromBytes, fromText;
        ASSERT_TRUE(fromBytes.LoadFromBytes(bytes)) << bytes.toStdString();
        ASSERT_TRUE(fromText.ParseXml(fromBytes.SourceText())) << bytes.toStdString();
        EXPECT_EQ(dumpTree(fromBytes.Root()), dumpTree(fromText.Root())) << bytes.toStdString();
    }
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.LoadFromBytes(cases[3]));
    EXPECT_EQ(parser.Root()->Text(), "onetwo & threefourfive");
    ASSERT_TRUE(parser.LoadFromBytes(cases[1]));
    EXPECT_EQ(dumpTree(parser.Root()), "a[\r\n  \r\n](b x=1\r\n2[t\r\nu])");
}

// Wide lists of children beside small ones keep every child in its place.
TEST(XmlParser, WideListsKeepEveryChildInOrder)
{
    const std::vector<int> widths{3, 3000, 5, 9000, 2, 700};
    QByteArray text = "<r>";
    for (int width : widths) {
        text += "<l>";
        for (int i = 0; i < width; ++i)
            text += "<c n='" + QByteArray::number(i) + "'/>";
        text += "</l>";
    }
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.LoadFromBytes(text + "</r>"));
    ASSERT_EQ(parser.Root()->Children().Count(), int(widths.size()));
    for (size_t l = 0; l < widths.size(); ++l) {
        const TXMLElement *list = parser.Root()->Children().Items(int(l));
        ASSERT_EQ(list->Children().Count(), widths[l]);
        int expected = 0;
        for (const TXMLElement *child : list->Children()) {
            EXPECT_EQ(child->GetParent(), list);
            ASSERT_EQ(*child->GetAttribute("n"), QString::number(expected++));
        }
    }
}

// Children and attributes added after the parse follow the parsed ones,
// whether the element had some or none.
TEST(XmlParser, AddedChildrenAndAttributesFollowTheParsedOnes)
{
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.LoadFromBytes("<r a='1'><c/><d b='2'/></r>"));
    TXMLElement *r = parser.Root();
    TXMLElement *c = r->Children().Items(0);
    const QString e = "e", f = "f", x = "x", y = "y", three = "3";
    TXMLElement added[] = {TXMLElement(&e), TXMLElement(&f), TXMLElement(&e)};
    TXMLAttribute toR(&x, &three), toC(&y, &three);
    r->Children().Add(&added[0]);
    r->Children().Add(&added[1]);
    c->Children().Add(&added[2]);
    r->Attributes().Add(&toR);
    c->Attributes().Add(&toC);
    EXPECT_EQ(dumpTree(r), "r a=1 x=3[]null(c y=3[]null(e[]null))(d b=2[]null)(e[]null)(f[]null)");
    EXPECT_EQ(added[1].GetParent(), r);
    EXPECT_EQ(added[1].OwnerList(), &r->Children());
    EXPECT_EQ(added[2].GetParent(), c);
    EXPECT_EQ(toR.Owner(), &r->Attributes());
    EXPECT_EQ(r->Attributes().Find("X"), &toR);
}

// The same piece of text between children is noted once with a count: the
// text still joins every piece in its order, whether pieces repeat, differ
// only in their characters, or are broken by decoded text or CDATA.
TEST(XmlParser, RepeatedTextBetweenChildrenJoinsInOrder)
{
    const QList<QStringList> cases = {
        {"<a>x<b/>  <b/>  <b/>  <b/>\r\n</a>", "x      \r\n"},
        {"<a>x<b/>  <b/>\t\t<b/>  <b/>  </a>", "x  \t\t    "},
        {"<a>x<b/> <b/>  <b/>   <b/>  </a>", "x        "},
        {"<a>x<b/>  <b/>&amp;<b/>  <b/>  </a>", "x  &    "},
        {"<a>x<b/>  <![CDATA[  ]]><b/>  </a>", "x      "},
        {"<a><b/>  <b/>  <b/></a>", "    "},
        {"<a>x<b/>  <b/> \t<b/></a>", "x   \t"},
        {"<a>x<b/><![CDATA[y]]><b/>y]]><b/></a>", "xyy]]>"},
    };
    for (const QStringList &c : cases) {
        TDirtyXMLParser text, bytes;
        ASSERT_TRUE(text.ParseXml(c[0])) << c[0].toStdString();
        EXPECT_EQ(text.Root()->Text(), c[1]) << c[0].toStdString();
        ASSERT_TRUE(bytes.LoadFromBytes(c[0].toLatin1())) << c[0].toStdString();
        EXPECT_EQ(bytes.Root()->Text(), c[1]) << c[0].toStdString();
    }
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.ParseXml(QStringLiteral("<a>x<b/>  <b/>  </a>")));
    parser.Root()->AppendText(u"y", false);
    EXPECT_EQ(parser.Root()->Text(), "x    y");
}

// A large file gives the tree, source text and messages its bytes give,
// keeps them when the file is replaced, and a parser can be reused for other texts.
TEST(XmlParser, LargeFileReadsAsItsBytes)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("large.xml"));
    const auto write = [&](const QByteArray &bytes) {
        const QString next = fileName + QStringLiteral(".new");
        QFile file(next);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
        file.close();
        QFile::remove(fileName);
        ASSERT_TRUE(QFile::rename(next, fileName));
    };
    QByteArray body;
    for (int i = 0; body.size() < 3 * 512 * 1024; ++i)
        body += "  <p n='" + QByteArray::number(i) + "'>v &amp; \xe9</p>\r\n";
    const QList<QByteArray> cases = {
        "<a>\r\n" + body + "</a>\r\n",
        QByteArray("<a>\r\n" + body + "</a>").replace("\r\n", "\n"),
        "<a>\r\n" + body + "  <p>&bad;</p>\r\n</a>\r\n",
        "<a>\r\n" + body + "</b>\r\n",
    };
    for (const QByteArray &bytes : cases) {
        write(bytes);
        TDirtyXMLParser fromFile, fromBytes;
        EXPECT_EQ(fromFile.LoadFromFile(fileName), fromBytes.LoadFromBytes(bytes));
        EXPECT_EQ(fromFile.ErrorMessage(), fromBytes.ErrorMessage());
        EXPECT_EQ(dumpTree(fromFile.Root()), dumpTree(fromBytes.Root()));
        EXPECT_EQ(fromFile.SourceText(), fromBytes.SourceText());
    }
    write(cases[0]);
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.LoadFromFile(fileName));
    write("<b/>");
    EXPECT_EQ(parser.Root()->Children().Count(), parser.Root()->Text().size() / 4);
    EXPECT_TRUE(parser.Root()->Text().startsWith("\r\n  \r\n  "));
    ASSERT_TRUE(parser.LoadFromFile(fileName));
    EXPECT_EQ(parser.Root()->Name(), "b");
    EXPECT_EQ(parser.SourceText(), "<b/>\r\n");
    write(cases[1]);
    ASSERT_TRUE(parser.LoadFromFile(fileName));
    ASSERT_TRUE(parser.ParseXml(QStringLiteral("<c>t</c>")));
    EXPECT_EQ(dumpTree(parser.Root()), "c[t]");
}

// A file is read a window at a time. Whatever construct a window's end cuts,
// wherever it cuts it and however long the construct is, the file gives the
// tree and message its bytes give.
TEST(XmlParser, ConstructsCutByTheReadingWindowParseAsTheirBytes)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("cut.xml"));
    constexpr qsizetype windowEnd = 1 << 20;
    // A document whose Construct starts Before bytes ahead of the first window's end.
    const auto document = [&](const QByteArray &construct, qsizetype before) {
        const QByteArray start = "<a>\r\n<b/><!--";
        return start + QByteArray(windowEnd - before - start.size() - 3, ' ') + "-->" + construct + "\r\n</a>\r\n";
    };
    const auto check = [&](const QByteArray &bytes, const QByteArray &what) {
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
        file.close();
        TDirtyXMLParser fromFile, fromBytes;
        ASSERT_EQ(fromFile.LoadFromFile(fileName), fromBytes.LoadFromBytes(bytes)) << what.toStdString();
        EXPECT_EQ(fromFile.ErrorMessage(), fromBytes.ErrorMessage()) << what.toStdString();
        EXPECT_EQ(dumpTree(fromFile.Root()), dumpTree(fromBytes.Root())) << what.toStdString();
    };
    const QList<QByteArray> shortOnes = {
        "<p n='a>b' m=\"c'd\">v &amp; w</p>", "<!-- a > b -- c -->", "<q><![CDATA[x\r\n]]>y]]></q>",
        "<?pi a > b ?>",  "<r\r\n x='1'\r\n/>", "<t>\r\n</t >", "<u>&bad;</u>", "<v w='1'>",
        "<table\r\n/>",
    };
    for (const QByteArray &construct : shortOnes)
        for (qsizetype before = 0; before <= construct.size() + 1; ++before)
            check(document(construct, before), construct + " cut at " + QByteArray::number(before));
    // Longer than what is looked at ahead of a window's end, and than a window.
    const QByteArray big(100 * 1024, 'x');
    const QList<QByteArray> longOnes = {"<p v='" + big + "'/>", "<!--" + big + "-->",
                                        "<q><![CDATA[" + big + "]]></q>", "<q>" + big + "</q>"};
    for (const QByteArray &construct : longOnes)
        for (qsizetype before : {qsizetype(1), qsizetype(9), qsizetype(70 * 1024), construct.size() - 3})
            check(document(construct, before), construct.left(12) + " cut at " + QByteArray::number(before));
    const QByteArray huge = "<q><![CDATA[" + QByteArray(3 * windowEnd, 'y') + "]]></q>";
    check(document(huge, 100), "3 MB of CDATA");
    check(document("<q>" + QByteArray(3 * windowEnd, 'z') + "</q>", 100), "3 MB of text");
}

namespace {

// Frees every element it is told of but those named "keep", and notes what it was told.
class TKeepingSink : public IXMLElementSink
{
public:
    void RootStarted(const TXMLElement &root) override
    {
        Told << root.Name() + u' ' + root.GetAttribute("a").value_or("-");
    }
    bool ElementEnded(const TXMLElement &element, int depth) override
    {
        if (depth == 1) {
            QStringList children;
            for (const TXMLElement *child : element.Children())
                children << child->Name() + u'=' + child->Text();
            Told << element.Name() + u':' + children.join(u',');
            TopPlaces.push_back(&element);
        } else if (element.Name() == QLatin1String("i")) {
            ItemPlaces.insert(&element);
        } else {
            Told << element.Name() + u'@' + QString::number(depth);
        }
        return element.Name() != QLatin1String("keep");
    }
    QStringList Told;
    std::set<const TXMLElement *> ItemPlaces;
    std::vector<const TXMLElement *> TopPlaces;
};

} // namespace

// A file streamed to a sink: the root when its start tag ends, then the
// elements one and two levels down as each ends, with all they hold; one
// the sink frees leaves its parent's children, and the next takes its room,
// however many there are. A refused text, lines not ended by CR LF and a
// pipe are not streamed.
TEST(XmlParser, AStreamedFileTellsItsSinkAndReusesWhatItFrees)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("streamed.xml"));
    const auto stream = [&](const QByteArray &bytes, TKeepingSink &sink) {
        QFile file(fileName);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        TDirtyXMLParser parser;
        const bool streamed = parser.StreamFile(fileName, sink);
        EXPECT_EQ(parser.Root(), nullptr);
        return streamed;
    };
    QByteArray items;
    for (int i = 0; i < 3000; ++i) {
        items += "<i n='" + QByteArray::number(i) + "'><s>&amp;</s></i>\r\n";
        if (i == 1000 || i == 2000)
            items += "<keep>" + QByteArray::number(i) + "</keep>";
    }
    TKeepingSink sink;
    ASSERT_TRUE(stream("<r a='1'>\r\n<l>" + items + "</l><keep>k</keep><d><e><f/></e></d>\r\n</r>\r\n", sink));
    EXPECT_EQ(sink.Told, (QStringList{"r 1", "keep@2", "keep@2", "l:keep=1000,keep=2000", "keep:", "e@2", "d:"}));
    EXPECT_LE(sink.ItemPlaces.size(), 3u) << "an item takes the room of the one freed before it";
    ASSERT_EQ(sink.TopPlaces.size(), 3u);
    EXPECT_EQ(sink.TopPlaces[1], sink.TopPlaces[0]) << "the list went with the children it kept";

    for (const QByteArray &refused : {QByteArray("<r>\r\n<l><i/></l>\r\n</x>\r\n"), QByteArray("<r>\n<l/>\n</r>\n")}) {
        TKeepingSink told;
        EXPECT_FALSE(stream(refused, told)) << refused.toStdString();
    }
    const QString pipe = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // Not even opened (a writer would wait for it for good): the whole read reads it once.
    TDirtyXMLParser parser;
    TKeepingSink none;
    EXPECT_FALSE(parser.StreamFile(pipe, none)) << "a pipe could not be read again";
    EXPECT_TRUE(none.Told.isEmpty());
}

// What is made after a mark is destroyed when the mark is released, once,
// and its room is handed out again, wherever the mark falls in a block.
TEST(XmlParser, BlocksReleasedToAMarkAreFreedOnceAndReused)
{
    struct TCounted
    {
        explicit TCounted(int &live) : Live(live) { ++Live; }
        ~TCounted() { --Live; }
        int &Live;
    };
    for (const int before : {0, 100, 1024}) {
        int live = 0;
        {
            TXMLNodeBlocks<TCounted> blocks;
            for (int i = 0; i < before; ++i)
                blocks.New(live);
            const auto mark = blocks.Mark();
            const TCounted *first = blocks.New(live);
            for (int round = 0; round < 3; ++round) {
                for (int i = 0; i < 2500; ++i)
                    blocks.New(live);
                blocks.Release(mark);
                EXPECT_EQ(live, before) << before;
                EXPECT_EQ(blocks.New(live), first) << before;
            }
        }
        EXPECT_EQ(live, 0) << before;
    }
    // A store goes back to its mark in every kind of node it keeps.
    const auto places = [](const TXMLNodeStore::TMark &m) {
        return std::vector<std::size_t>{m.ChildArrays.Block, m.ChildArrays.Used, m.ChildArrays.Large,
                                        m.TextPieces.Block,  m.TextPieces.Used,  m.TextPieces.Large,
                                        m.Elements.Block,    m.Elements.Used,    m.Attributes.Block,
                                        m.Attributes.Used};
    };
    const QString name = "n";
    TXMLNodeStore store;
    store.ChildArrays.New(100);
    const TXMLNodeStore::TMark mark = store.Mark();
    const auto *first = store.ChildArrays.New(10);
    for (int i = 0; i < 20; ++i)
        store.ChildArrays.New(1000);
    store.ChildArrays.New(5000);
    store.TextPieces.New(1);
    store.Elements.New(&name);
    store.Attributes.New(&name, &name);
    store.Release(mark);
    EXPECT_EQ(places(store.Mark()), places(mark));
    EXPECT_EQ(store.ChildArrays.New(10), first);
}

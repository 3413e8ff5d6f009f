// The drawing style's element in the files: its lines, and each property
// read back from text.
#include "model/schema_style.h"
#include "model/xml_parser.h"
#include "model/xml_property_reader.h"
#include "test_data.h"

#include <gtest/gtest.h>

namespace {

TEST(SchemaStyleXml, DefaultStyleLines)
{
    QStringList list;
    TOSSchemaStyle().WriteXML(list, 2);
    expectGolden("schema_style_default.xml", (list.join("\r\n") + "\r\n").toLatin1());
}

// Each property, read from a text that differs from its default, is written
// back as that text under its own name: reading and writing agree on every field.
TEST(SchemaStyleXml, EveryPropertyReadsAndWritesTheSameField)
{
    const QList<QStringList> properties = readTestTable("model/style_properties.txt");
    QString document = "<diagram_style>";
    for (const QStringList &p : properties)
        document += "<property name=\"" + p[0].toUpper() + "\">" + p[1] + "</property>";
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.ParseXml(document + "</diagram_style>"));
    TOSSchemaStyle style;
    TXmlPropertyReader::Read(*parser.Root(), [&](const QString &name, const QString &value) {
        EXPECT_TRUE(style.SetProperty(name, value)) << name.toStdString();
    });
    QStringList list;
    style.WriteXML(list, 0);
    ASSERT_EQ(list.size(), properties.size() + 2);
    for (int i = 0; i < properties.size(); ++i)
        EXPECT_EQ(list[i + 1],
                  QString("  <property name=\"%1\">%2</property>").arg(properties[i][0], properties[i][1]));
}

TEST(SchemaStyleXml, NamesSwitchesAndSizes)
{
    TOSSchemaStyle style;
    EXPECT_FALSE(style.SetProperty("no_such_property", "1"));
    EXPECT_FALSE(style.SetProperty("Font_Name", "X")) << "names arrive lower-cased";
    for (const char *text : {"y", "yes", "1"}) {
        ASSERT_TRUE(style.SetProperty("low_graphics_1", text));
        EXPECT_EQ(style.LowGraphics, text == std::string("y")) << "only Y or y switch a style flag on";
    }
    // Colours by the common colour rule (names in any case, decimal too).
    for (const auto &[text, value] : {std::pair<const char *, TColor>{"clred", clRed}, {"12648430", 0x00C0FFEE}}) {
        ASSERT_TRUE(style.SetProperty("background_colour", text));
        EXPECT_EQ(style.BackgroundColour, value);
    }
    EXPECT_THROW(style.SetProperty("background_colour", "red"), EConvertError);
    EXPECT_TRUE(style.SetProperty("header_font_size", "$10"));
    EXPECT_EQ(style.HeaderFontSize, 16);
    EXPECT_THROW(style.SetProperty("link_font_size", "8pt"), EConvertError);
    EXPECT_EQ(style.LinkFontSize, 8);
}

} // namespace

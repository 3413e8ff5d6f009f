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
    const QList<std::pair<QString, QString>> properties = {
        {"font_name", "Courier &amp; Sons"}, {"font_size", "11"}, {"font_colour", "$00123456"},
        {"header_font_name", "Arial"}, {"header_font_size", "-3"}, {"header_font_colour", "clHighlightText"},
        {"header_band_colour", "clNone"}, {"detail_band_colour", "clDefault"}, {"background_colour", "clCream"},
        {"cascade_del_Colour", "$000A0B0C"}, {"set_null_del_colour", "clWindow"},
        {"no_action_colour", "clMoneyGreen"}, {"show_link_description", "N"}, {"show_link_name", "Y"},
        {"show_link_tablename", "N"}, {"show_link_columns", "N"}, {"show_owner_in_title", "Y"},
        {"link_font_name", "Liberation Mono"}, {"link_font_size", "14"}, {"link_font_colour", "clTeal"},
        {"low_graphics_1", "Y"}, {"two_tone_header", "Y"}};
    QString document = "<diagram_style>";
    for (const auto &[name, text] : properties)
        document += "<property name=\"" + name.toUpper() + "\">" + text + "</property>";
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
                  QString("  <property name=\"%1\">%2</property>").arg(properties[i].first, properties[i].second));
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

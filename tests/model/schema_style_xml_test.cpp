// The drawing style's element in the files: its lines, and each property
// read back from text.
#include "model/schema_style.h"
#include "model/xml_parser.h"
#include "model/xml_property_reader.h"
#include "test_data.h"

#include <gtest/gtest.h>

namespace {

QByteArray Lines(const QStringList &list) { return list.join("\r\n").toLatin1() + "\r\n"; }

TEST(SchemaStyleXml, DefaultStyleLines)
{
    QStringList list;
    TOSSchemaStyle().WriteXML(list, 2);
    expectGolden("schema_style_default.xml", Lines(list));
    ASSERT_EQ(list.size(), 24);
    EXPECT_EQ(list.front(), "  <diagram_style>");
    EXPECT_EQ(list[10], "    <property name=\"cascade_del_Colour\">clRed</property>");
    EXPECT_EQ(list.back(), "  </diagram_style>");
}

TEST(SchemaStyleXml, IndentMovesEveryLine)
{
    QStringList list;
    TOSSchemaStyle(TOSSchemaStyle::NoDefaults).WriteXML(list, 0);
    EXPECT_EQ(list[0], "<diagram_style>");
    EXPECT_EQ(list[1], "  <property name=\"font_name\"></property>");
    EXPECT_EQ(list[2], "  <property name=\"font_size\">0</property>");
    EXPECT_EQ(list[3], "  <property name=\"font_colour\">clBlack</property>");
    EXPECT_EQ(list[13], "  <property name=\"show_link_description\">N</property>");
}

TEST(SchemaStyleXml, EveryFieldRoundTrips)
{
    TOSSchemaStyle style;
    style.FontName = "Courier & Sons";
    style.FontSize = 11;
    style.FontColour = 0x123456;
    style.HeaderFontColour = clHighlightText;
    style.HeaderFontName = "Arial";
    style.HeaderFontSize = -3;
    style.HeaderBandColour = clNone;
    style.DetailBandColour = clDefault;
    style.BackgroundColour = clCream;
    style.ShowLinkDescription = false;
    style.ShowOwnerInTitle = true;
    style.ShowLinkTableName = false;
    style.ShowLinkName = true;
    style.ShowLinkColumns = false;
    style.CascadeDelColour = 0x00ABCDEF;
    style.SetNullDelColour = clWindow;
    style.NoActionColour = clMoneyGreen;
    style.LinkFontColour = clTeal;
    style.LinkFontName = "Liberation Mono";
    style.LinkFontSize = 14;
    style.LowGraphics = true;
    style.TwoToneHeader = true;
    QStringList list;
    style.WriteXML(list, 0);

    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.ParseXml(list.join("\r\n"))) << parser.ErrorMessage().toStdString();
    TOSSchemaStyle read(TOSSchemaStyle::NoDefaults);
    TXmlPropertyReader::Read(*parser.Root(), [&](const QString &name, const QString &value) {
        EXPECT_TRUE(read.SetProperty(name, value)) << name.toStdString();
    });
    QStringList again;
    read.WriteXML(again, 0);
    EXPECT_EQ(again, list);
    EXPECT_EQ(read.FontName, "Courier & Sons");
    EXPECT_EQ(read.HeaderBandColour, clNone);
}

struct ColourCase {
    const char *Text;
    TColor Value;
};

TEST(SchemaStyleXml, ColourTexts)
{
    // Names in any case, "$" and hexadecimal digits with or without leading
    // zeros, and signed decimals all give the colour.
    const ColourCase cases[] = {
        {"clRed", 0x0000FF},        {"clred", 0x0000FF},       {"CLRED", 0x0000FF},
        {"clBtnFace", clBtnFace},   {"clnone", clNone},        {"clDefault", clDefault},
        {"$00C0FFEE", 0x00C0FFEE},  {"$C0FFEE", 0x00C0FFEE},   {"12648430", 0x00C0FFEE},
        {"$FF00000F", clBtnFace},   {"-16777201", clBtnFace},  {"+255", 0x0000FF},
        {"0", clBlack},
    };
    for (const ColourCase &c : cases) {
        TOSSchemaStyle style;
        ASSERT_TRUE(style.SetProperty("background_colour", c.Text));
        EXPECT_EQ(style.BackgroundColour, c.Value) << c.Text;
    }
    for (const char *bad : {"", "red", "cl Red", "$", "$GG", "12 ", "4294967296", "#FF0000"}) {
        TOSSchemaStyle style;
        EXPECT_THROW(style.SetProperty("background_colour", bad), EConvertError) << bad;
        EXPECT_EQ(style.BackgroundColour, clWhite) << "a failed value leaves the field";
    }
}

TEST(SchemaStyleXml, UnnamedColourIsWrittenAsEightHexDigits)
{
    TOSSchemaStyle style;
    style.FontColour = 0x000A0B0C;
    style.BackgroundColour = clSkyBlue;
    QStringList list;
    style.WriteXML(list, 2);
    EXPECT_EQ(list[3], "    <property name=\"font_colour\">$000A0B0C</property>");
    EXPECT_EQ(list[9], "    <property name=\"background_colour\">clSkyBlue</property>");
}

TEST(SchemaStyleXml, PropertyNamesSwitchesAndSizes)
{
    TOSSchemaStyle style;
    EXPECT_FALSE(style.SetProperty("no_such_property", "1"));
    EXPECT_FALSE(style.SetProperty("Font_Name", "X")) << "names arrive lower-cased";
    EXPECT_EQ(style.FontName, "Tahoma");
    EXPECT_TRUE(style.SetProperty("cascade_del_colour", "clBlue"));
    EXPECT_EQ(style.CascadeDelColour, clBlue);

    EXPECT_TRUE(style.SetProperty("low_graphics_1", "y"));
    EXPECT_TRUE(style.LowGraphics);
    EXPECT_TRUE(style.SetProperty("low_graphics_1", "yes"));
    EXPECT_FALSE(style.LowGraphics) << "only Y or y switch a style flag on";
    EXPECT_TRUE(style.SetProperty("show_link_columns", "1"));
    EXPECT_FALSE(style.ShowLinkColumns);

    EXPECT_TRUE(style.SetProperty("header_font_size", "$10"));
    EXPECT_EQ(style.HeaderFontSize, 16);
    EXPECT_THROW(style.SetProperty("link_font_size", "8pt"), EConvertError);
    EXPECT_EQ(style.LinkFontSize, 8);
}

} // namespace

// The drawing style's defaults and copies.
#include "model/schema_style.h"

#include <gtest/gtest.h>

namespace {

TEST(SchemaStyle, DefaultsAsTheyAreDocumented)
{
    TOSSchemaStyle style;
    EXPECT_EQ(style.FontName, "Tahoma");
    EXPECT_EQ(style.FontSize, 8);
    EXPECT_EQ(style.FontColour, 0x000000);
    EXPECT_EQ(style.HeaderFontColour, 0xFFFFFF);
    EXPECT_EQ(style.HeaderFontName, "Tahoma");
    EXPECT_EQ(style.HeaderFontSize, 8);
    EXPECT_EQ(style.HeaderBandColour, 0x808080);
    EXPECT_EQ(style.DetailBandColour, 0xFFFFFF);
    EXPECT_EQ(style.BackgroundColour, 0xFFFFFF);
    EXPECT_TRUE(style.ShowLinkDescription);
    EXPECT_FALSE(style.ShowOwnerInTitle);
    EXPECT_TRUE(style.ShowLinkTableName);
    EXPECT_FALSE(style.ShowLinkName);
    EXPECT_TRUE(style.ShowLinkColumns);
    EXPECT_EQ(style.CascadeDelColour, 0x0000FF);
    EXPECT_EQ(style.SetNullDelColour, 0x000080);
    EXPECT_EQ(style.NoActionColour, 0x000000);
    EXPECT_EQ(style.LinkFontColour, 0x008000);
    EXPECT_EQ(style.LinkFontName, "Tahoma");
    EXPECT_EQ(style.LinkFontSize, 8);
    EXPECT_FALSE(style.LowGraphics);
    EXPECT_FALSE(style.TwoToneHeader);
}

TEST(SchemaStyle, PageStyleIsEmptyUntilAssigned)
{
    TOSSchemaStyle page(TOSSchemaStyle::NoDefaults);
    EXPECT_EQ(page.FontName, "");
    EXPECT_EQ(page.FontSize, 0);
    EXPECT_FALSE(page.ShowLinkDescription);
    TOSSchemaStyle defaults;
    defaults.LinkFontName = "Arial";
    defaults.TwoToneHeader = true;
    page.Assign(defaults);
    EXPECT_EQ(page.LinkFontName, "Arial");
    EXPECT_TRUE(page.TwoToneHeader);
    defaults.LinkFontName = "Courier New";
    EXPECT_EQ(page.LinkFontName, "Arial") << "strings are copied by value";
}

} // namespace

// The drawing style's copies; its defaults are checked through the golden
// file its writer produces.
#include "model/schema_style.h"

#include <gtest/gtest.h>

namespace {

TEST(SchemaStyle, PageStyleIsEmptyUntilAssignedAndCopiesByValue)
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
    EXPECT_EQ(page.HeaderBandColour, 0x808080);
    defaults.LinkFontName = "Courier New";
    EXPECT_EQ(page.LinkFontName, "Arial");
}

} // namespace

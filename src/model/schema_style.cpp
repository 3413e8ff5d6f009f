#include "model/schema_style.h"

void TOSSchemaStyle::SetDefaultStyle()
{
    FontName = QStringLiteral("Tahoma");
    FontSize = 8;
    FontColour = 0x000000;
    HeaderFontColour = 0xFFFFFF;
    HeaderFontName = QStringLiteral("Tahoma");
    HeaderFontSize = 8;
    HeaderBandColour = 0x808080;
    DetailBandColour = 0xFFFFFF;
    BackgroundColour = 0xFFFFFF;
    ShowLinkDescription = true;
    ShowOwnerInTitle = false;
    ShowLinkTableName = true;
    ShowLinkName = false;
    ShowLinkColumns = true;
    CascadeDelColour = 0x0000FF;
    SetNullDelColour = 0x000080;
    NoActionColour = 0x000000;
    LinkFontColour = 0x008000;
    LinkFontName = QStringLiteral("Tahoma");
    LinkFontSize = 8;
    LowGraphics = false;
    TwoToneHeader = false;
}

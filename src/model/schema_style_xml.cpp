// The drawing style as the "diagram_style" element of diagram and
// preferences files.
#include "model/helpers.h"
#include "model/model_errors.h"
#include "model/schema_style.h"
#include "model/xml_text.h"

void TOSSchemaStyle::WriteXML(QStringList &list, int indent) const
{
    const int inner = indent + 2;
    const auto text = [&](const char *name, const QString &value) {
        list << TXmlText::Property(inner, QLatin1String(name), TXmlText::Escape(value));
    };
    const auto number = [&](const char *name, int value) { text(name, QString::number(value)); };
    const auto colour = [&](const char *name, TColor value) { text(name, ColorToString(value)); };
    const auto flag = [&](const char *name, bool value) { text(name, THelpers::BoolToYN(value)); };

    list << THelpers::Indent(indent) + QLatin1String("<diagram_style>");
    text("font_name", FontName);
    number("font_size", FontSize);
    colour("font_colour", FontColour);
    text("header_font_name", HeaderFontName);
    number("header_font_size", HeaderFontSize);
    colour("header_font_colour", HeaderFontColour);
    colour("header_band_colour", HeaderBandColour);
    colour("detail_band_colour", DetailBandColour);
    colour("background_colour", BackgroundColour);
    colour("cascade_del_Colour", CascadeDelColour);
    colour("set_null_del_colour", SetNullDelColour);
    colour("no_action_colour", NoActionColour);
    flag("show_link_description", ShowLinkDescription);
    flag("show_link_name", ShowLinkName);
    flag("show_link_tablename", ShowLinkTableName);
    flag("show_link_columns", ShowLinkColumns);
    flag("show_owner_in_title", ShowOwnerInTitle);
    text("link_font_name", LinkFontName);
    number("link_font_size", LinkFontSize);
    colour("link_font_colour", LinkFontColour);
    flag("low_graphics_1", LowGraphics);
    flag("two_tone_header", TwoToneHeader);
    list << THelpers::Indent(indent) + QLatin1String("</diagram_style>");
}

bool TOSSchemaStyle::SetProperty(const QString &lowerCaseName, const QString &value)
{
    struct Field {
        const char *Name;
        enum { Text, Number, Colour, Flag } Kind;
        void *Target;
    };
    const Field fields[] = {
        {"font_name", Field::Text, &FontName},
        {"font_size", Field::Number, &FontSize},
        {"font_colour", Field::Colour, &FontColour},
        {"header_font_colour", Field::Colour, &HeaderFontColour},
        {"header_font_name", Field::Text, &HeaderFontName},
        {"header_font_size", Field::Number, &HeaderFontSize},
        {"header_band_colour", Field::Colour, &HeaderBandColour},
        {"detail_band_colour", Field::Colour, &DetailBandColour},
        {"background_colour", Field::Colour, &BackgroundColour},
        {"show_link_description", Field::Flag, &ShowLinkDescription},
        {"show_owner_in_title", Field::Flag, &ShowOwnerInTitle},
        {"show_link_tablename", Field::Flag, &ShowLinkTableName},
        {"show_link_name", Field::Flag, &ShowLinkName},
        {"show_link_columns", Field::Flag, &ShowLinkColumns},
        {"cascade_del_colour", Field::Colour, &CascadeDelColour},
        {"set_null_del_colour", Field::Colour, &SetNullDelColour},
        {"no_action_colour", Field::Colour, &NoActionColour},
        {"link_font_colour", Field::Colour, &LinkFontColour},
        {"link_font_name", Field::Text, &LinkFontName},
        {"link_font_size", Field::Number, &LinkFontSize},
        {"low_graphics_1", Field::Flag, &LowGraphics},
        {"two_tone_header", Field::Flag, &TwoToneHeader},
    };
    for (const Field &field : fields) {
        if (lowerCaseName != QLatin1String(field.Name))
            continue;
        switch (field.Kind) {
        case Field::Text:
            *static_cast<QString *>(field.Target) = value;
            break;
        case Field::Number:
            *static_cast<int *>(field.Target) = StrToInt(value);
            break;
        case Field::Colour:
            *static_cast<TColor *>(field.Target) = StringToColor(value);
            break;
        case Field::Flag:
            // Style switches are strict: only Y or y means on.
            *static_cast<bool *>(field.Target) = THelpers::YNToBool(value);
            break;
        }
        return true;
    }
    return false;
}

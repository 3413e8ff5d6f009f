#pragma once
// TOSSchemaStyle: the fonts, colours and link-caption switches of a page.
#include "platform/color.h"

#include <QString>
#include <QStringList>

class TOSSchemaStyle {
public:
    enum NoDefaultsTag { NoDefaults };
    // A style at its defaults, as the preferences keep it.
    TOSSchemaStyle() { SetDefaultStyle(); }
    // A page's style: all zero, false or empty until assigned.
    explicit TOSSchemaStyle(NoDefaultsTag) {}

    void SetDefaultStyle();
    void Assign(const TOSSchemaStyle &source) { *this = source; }
    void WriteXML(QStringList &list, int indent) const;
    // Stores one property read from a file; false when the name is unknown.
    // A value that does not convert raises EConvertError.
    bool SetProperty(const QString &lowerCaseName, const QString &value);

    QString FontName;
    int FontSize = 0;
    TColor FontColour = 0;
    TColor HeaderFontColour = 0;
    QString HeaderFontName;
    int HeaderFontSize = 0;
    TColor HeaderBandColour = 0;
    TColor DetailBandColour = 0;
    TColor BackgroundColour = 0;
    bool ShowLinkDescription = false;
    bool ShowOwnerInTitle = false;
    bool ShowLinkTableName = false;
    bool ShowLinkName = false;
    bool ShowLinkColumns = false;
    TColor CascadeDelColour = 0;
    TColor SetNullDelColour = 0;
    TColor NoActionColour = 0;
    TColor LinkFontColour = 0;
    QString LinkFontName;
    int LinkFontSize = 0;
    bool LowGraphics = false;
    bool TwoToneHeader = false;
};

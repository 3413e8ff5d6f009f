#include "model/xml_property_reader.h"

QStringList TXmlPropertyReader::ReadTextList(const TXMLElement &element, const QString &listName,
                                             const QString &itemName)
{
    QStringList items;
    const TXMLElement *list = element.FindChild(listName);
    if (!list)
        return items;
    Read(*list, [&](const QString &name, const QString &value) {
        if (name == itemName)
            items << value;
    });
    return items;
}

QString TXmlPropertyReader::LowerCaseName(const QString &name)
{
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u >= 0x80 || (u >= u'A' && u <= u'Z'))
            return name.toLower();
    }
    return name;
}

QString TXmlPropertyReader::LoadErrorMessage(const QString &fileName, const QString &parserMessage)
{
    return QStringLiteral("Error loading XML file ") + fileName + QLatin1Char('\n') + parserMessage;
}

QString TXmlPropertyReader::MissingNameMessage()
{
    return QStringLiteral("Invalid XML structure - <property> element must have a 'name' attribute");
}

QString TXmlPropertyReader::IncorrectDatatypeMessage(const QString &nameAsWritten)
{
    return QStringLiteral("Invalid XML structure - <property name=\"") + nameAsWritten
           + QStringLiteral("\"> has an incorrect datatype");
}

QString TXmlPropertyReader::RootIsNotMessage(const QString &rootName)
{
    return QStringLiteral("Invalid XML structure - root is not <") + rootName + QLatin1Char('>');
}

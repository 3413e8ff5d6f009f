#pragma once
// TXmlPropertyReader: the property-by-property reading that the diagram and
// preferences readers share, with the errors both report.
#include "model/model_errors.h"
#include "model/xml_parser.h"

#include <QStringList>

#include <exception>

// A file that does not parse or does not have the expected structure.
class EXMLFileError : public EModelError {
public:
    using EModelError::EModelError;
};

class TXmlPropertyReader {
public:
    TXmlPropertyReader() = delete;

    // Visits the "property" children of Element in document order and calls
    // Store(lower-case name, text) for each. A property without a "name"
    // attribute, and any failure of Store (a value that does not convert or
    // cannot be stored), end the reading with the file's error message.
    template <class Store>
    static void Read(const TXMLElement &element, Store store)
    {
        for (const TXMLElement *child : element.Children()) {
            if (child->Name() == QLatin1String("property"))
                ReadOne(*child, store);
        }
    }

    // The same for one "property" element.
    template <class Store>
    static void ReadOne(const TXMLElement &property, Store &store)
    {
        // Looked up in place: a copy of the name would cost a
        // reference-count update for each of the many properties.
        const TXMLAttribute *name = property.Attributes().Find(QStringLiteral("name"));
        if (!name)
            throw EXMLFileError(MissingNameMessage());
        try {
            store(LowerCaseName(name->Value()), property.Text());
        } catch (const std::exception &) {
            throw EXMLFileError(IncorrectDatatypeMessage(name->Value()));
        }
    }

    // The name in lower case. Our files write every name in lower case, and
    // those are handed back as they are, without a pass through the Unicode
    // case tables for each of the many properties of a file.
    static QString LowerCaseName(const QString &name);

    // The texts of the properties named ItemName (any letter case) under the
    // first child named ListName; empty when there is no such child.
    static QStringList ReadTextList(const TXMLElement &element, const QString &listName,
                                    const QString &itemName);

    static QString LoadErrorMessage(const QString &fileName, const QString &parserMessage);
    static QString MissingNameMessage();
    static QString IncorrectDatatypeMessage(const QString &nameAsWritten);
    static QString RootIsNotMessage(const QString &rootName);
};

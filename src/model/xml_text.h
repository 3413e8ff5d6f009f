#pragma once
// TXmlText: how the diagram and preferences writers put text into their XML
// lines (markup escaped, characters beyond ISO-8859-1 as numeric character
// references, CDATA sections, property lines) and how the lines reach a file.
#include "model/model_errors.h"

#include <QString>
#include <QStringList>

// A file that could not be written; the old file, if any, is left whole.
class EFileSaveError : public EModelError {
public:
    using EModelError::EModelError;
};

class TXmlText {
public:
    TXmlText() = delete;

    // Element text: "&", "<" and ">" as entities; characters above U+00FF as
    // "&#n;" so that the text survives the ISO-8859-1 file.
    static QString Escape(const QString &text);
    // The same, and '"' as "&quot;", for a value in double quotation marks.
    static QString EscapeAttribute(const QString &text);
    // A CDATA section of the text ("]]>" split across two sections); each
    // run of characters above U+00FF stands between sections as references.
    static QString CData(const QString &text);
    // One line: Indent blanks, the start tag of "property" named Name, the
    // value as given (already encoded) and the end tag.
    static QString Property(int indent, const QString &name, const QString &encodedValue);
    // The same for a name given in Latin-1, as the writers name their
    // properties, which then needs no string of its own.
    static QString Property(int indent, QLatin1String name, const QString &encodedValue);
    // The first line of every file we write.
    static QString Declaration();

    // The lines as ISO-8859-1, each ended by CR LF (the last one too).
    static QByteArray ToFileBytes(const QStringList &lines);
    // Replaces the file by the lines in one step: the new text goes to a
    // temporary file that takes the file's place only when fully written.
    // Raises EFileSaveError "Cannot create file "<name>". <reason>".
    static void SaveLines(const QStringList &lines, const QString &fileName);
};

#include "model/xml_text.h"

#include "platform/atomic_file.h"

#include <algorithm>

namespace {

void appendReference(QString &out, char32_t codePoint)
{
    out += QLatin1String("&#");
    out += QString::number(static_cast<uint>(codePoint));
    out += QLatin1Char(';');
}

// The code point starting at index i (a lone surrogate half gives U+FFFD,
// which is what a reader would make of it anyway); advances i past it.
char32_t codePointAt(QStringView text, qsizetype &i)
{
    const QChar c = text[i++];
    if (c.isHighSurrogate() && i < text.size() && text[i].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[i++]);
    if (c.isSurrogate())
        return 0xFFFD;
    return c.unicode();
}

bool needsEscaping(char16_t u, bool attribute)
{
    return u > 0xFF || u == u'&' || u == u'<' || u == u'>' || (attribute && u == u'"');
}

// Index of the first character that escaping changes; the size when none.
qsizetype firstToEscape(QStringView text, qsizetype from, bool attribute)
{
    while (from < text.size() && !needsEscaping(text[from].unicode(), attribute))
        ++from;
    return from;
}

QString escape(const QString &text, bool attribute)
{
    // Names, types and most values need no escaping at all: those are
    // handed back as they are, without a copy. (A null text still comes back
    // as an empty, not a null, string.)
    qsizetype plain = firstToEscape(text, 0, attribute);
    if (plain == text.size() && !text.isNull())
        return text;
    QString out;
    out.reserve(text.size() + 8);
    qsizetype i = 0;
    for (;;) {
        out.append(QStringView(text).sliced(i, plain - i));
        i = plain;
        if (i == text.size())
            break;
        const char16_t u = text[i].unicode();
        if (u > 0xFF) {
            appendReference(out, codePointAt(text, i));
        } else {
            ++i;
            if (u == u'&')
                out += QLatin1String("&amp;");
            else if (u == u'<')
                out += QLatin1String("&lt;");
            else if (u == u'>')
                out += QLatin1String("&gt;");
            else
                out += QLatin1String("&quot;");
        }
        plain = firstToEscape(text, i, attribute);
    }
    return out;
}

// A run of Latin-1 characters inside a CDATA section; a "]]>" in it would
// end the section, so it is split across two sections.
void appendCDataRun(QString &out, QStringView run)
{
    static const QLatin1String close("]]>");
    qsizetype from = 0;
    for (qsizetype at = run.indexOf(close); at >= 0; at = run.indexOf(close, from)) {
        out.append(run.sliced(from, at - from));
        out += QLatin1String("]]]]><![CDATA[>");
        from = at + close.size();
    }
    out.append(run.sliced(from));
}

// Copies Text to Out and returns the position after it.
QChar *put(QChar *out, QLatin1String text)
{
    for (const char c : text)
        *out++ = QLatin1Char(c);
    return out;
}

QChar *put(QChar *out, QStringView text)
{
    return std::copy(text.begin(), text.end(), out);
}

// Indent blanks, the property's start tag, the value and the end tag, in
// one string of exactly its size: a diagram file is mostly such lines, and
// appending their pieces one by one cost as much as all the rest.
template <class Name>
QString propertyLine(int indent, Name escapedName, QStringView encodedValue)
{
    static const QLatin1String open("<property name=\"");
    static const QLatin1String middle("\">");
    static const QLatin1String close("</property>");
    const qsizetype blanks = qMax(0, indent);
    QString line(blanks + open.size() + escapedName.size() + middle.size() + encodedValue.size() + close.size(),
                 Qt::Uninitialized);
    QChar *out = std::fill_n(line.data(), blanks, QLatin1Char(' '));
    out = put(out, open);
    out = put(out, escapedName);
    out = put(out, middle);
    out = put(out, encodedValue);
    put(out, close);
    return line;
}

} // namespace

QString TXmlText::Escape(const QString &text) { return escape(text, false); }

QString TXmlText::EscapeAttribute(const QString &text) { return escape(text, true); }

QString TXmlText::CData(const QString &text)
{
    static const QLatin1String open("<![CDATA[");
    static const QLatin1String close("]]>");
    // Sections of Latin-1 characters, with the references for each run of
    // other characters standing between them.
    QString out;
    out.reserve(open.size() + text.size() + close.size());
    out += open;
    qsizetype i = 0;
    for (;;) {
        const qsizetype runStart = i;
        while (i < text.size() && text[i].unicode() <= 0xFF)
            ++i;
        appendCDataRun(out, QStringView(text).sliced(runStart, i - runStart));
        if (i == text.size())
            break;
        out += close;
        while (i < text.size() && text[i].unicode() > 0xFF)
            appendReference(out, codePointAt(text, i));
        out += open;
    }
    out += close;
    return out;
}

QString TXmlText::Property(int indent, const QString &name, const QString &encodedValue)
{
    return propertyLine(indent, EscapeAttribute(name), encodedValue);
}

QString TXmlText::Property(int indent, QLatin1String name, const QString &encodedValue)
{
    for (const char c : name) {
        if (needsEscaping(uchar(c), true))
            return propertyLine(indent, EscapeAttribute(QString(name)), encodedValue);
    }
    return propertyLine(indent, name, encodedValue);
}

QString TXmlText::Declaration()
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
}

QByteArray TXmlText::ToFileBytes(const QStringList &lines)
{
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    // Written straight into the result, without a converted copy of each
    // line; a character beyond Latin-1 becomes '?', as QString::toLatin1
    // makes it.
    QByteArray bytes(size, Qt::Uninitialized);
    char *out = bytes.data();
    for (const QString &line : lines) {
        for (const QChar c : line)
            *out++ = c.unicode() > 0xFF ? '?' : char(c.unicode());
        *out++ = '\r';
        *out++ = '\n';
    }
    return bytes;
}

void TXmlText::SaveLines(const QStringList &lines, const QString &fileName)
{
    const QString reason = TAtomicFile::Write(fileName, ToFileBytes(lines));
    if (!reason.isEmpty())
        throw EFileSaveError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason));
}

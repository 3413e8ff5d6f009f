#include "model/xml_text.h"

#include <QSaveFile>

namespace {

void appendReference(QString &out, char32_t codePoint)
{
    out += QLatin1String("&#");
    out += QString::number(static_cast<uint>(codePoint));
    out += QLatin1Char(';');
}

// The code point starting at index i (a lone surrogate half gives U+FFFD,
// which is what a reader would make of it anyway); advances i past it.
char32_t codePointAt(const QString &text, qsizetype &i)
{
    const QChar c = text[i++];
    if (c.isHighSurrogate() && i < text.size() && text[i].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[i++]);
    if (c.isSurrogate())
        return 0xFFFD;
    return c.unicode();
}

QString escape(const QString &text, bool attribute)
{
    QString out;
    out.reserve(text.size() + 8);
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c.unicode() > 0xFF) {
            appendReference(out, codePointAt(text, i));
            continue;
        }
        ++i;
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            if (attribute)
                out += QLatin1String("&quot;");
            else
                out += c;
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

QString TXmlText::Escape(const QString &text) { return escape(text, false); }

QString TXmlText::EscapeAttribute(const QString &text) { return escape(text, true); }

QString TXmlText::CData(const QString &text)
{
    static const QLatin1String open("<![CDATA[");
    static const QLatin1String close("]]>");
    QString out = open;
    QString run;
    bool inSection = true;
    const auto flushRun = [&] {
        run.replace(QLatin1String("]]>"), QLatin1String("]]]]><![CDATA[>"));
        out += run;
        run.clear();
    };
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i].unicode() <= 0xFF) {
            if (!inSection) {
                out += open;
                inSection = true;
            }
            run += text[i++];
            continue;
        }
        if (inSection) {
            flushRun();
            out += close;
            inSection = false;
        }
        appendReference(out, codePointAt(text, i));
    }
    if (!inSection)
        out += open;
    flushRun();
    out += close;
    return out;
}

QString TXmlText::Property(int indent, const QString &name, const QString &encodedValue)
{
    return QString(qMax(0, indent), QLatin1Char(' ')) + QLatin1String("<property name=\"")
           + EscapeAttribute(name) + QLatin1String("\">") + encodedValue + QLatin1String("</property>");
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
    QByteArray bytes;
    bytes.reserve(size);
    for (const QString &line : lines) {
        bytes += line.toLatin1();
        bytes += "\r\n";
    }
    return bytes;
}

void TXmlText::SaveLines(const QStringList &lines, const QString &fileName)
{
    const auto fail = [&](const QString &reason) {
        throw EFileSaveError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason));
    };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    const QByteArray bytes = ToFileBytes(lines);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        fail(reason);
    }
    if (!file.commit())
        fail(file.errorString());
}

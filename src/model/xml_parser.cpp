#include "model/xml_parser.h"

#include "model/model_errors.h"
#include "platform/read_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <functional>
#include <limits>
#include <type_traits>

namespace {

[[noreturn]] void fail(const QString &message)
{
    throw EDirtyXMLParserError(message);
}

[[noreturn]] void failListIndex(int index)
{
    fail(QStringLiteral("List index out of bounds (%1)").arg(index));
}

// Where the character at Index of a file's text (its lines ended by CR LF,
// see linesText) stands in the file's bytes: a line end counts as the one
// or two bytes it was, and the line end added after a last line without one
// as that line's last byte, so a position never lies past the file's end.
qsizetype byteIndex(const QByteArray &bytes, qsizetype index)
{
    const char *const begin = bytes.constData();
    const char *const end = begin + bytes.size();
    const char *from = begin;
    qsizetype text = 0;
    while (from < end) {
        const char *lineEnd = std::find_if(from, end, [](char c) { return c == '\r' || c == '\n'; });
        if (index < text + (lineEnd - from))
            return (from - begin) + (index - text);
        text += lineEnd - from;
        if (lineEnd == end)
            break;
        const bool crLf = *lineEnd == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n';
        if (index < text + 2)
            return (lineEnd - begin) + (crLf ? index - text : 0);
        text += 2;
        from = lineEnd + (crLf ? 2 : 1);
    }
    return std::max<qsizetype>(bytes.size() - 1, 0);
}

bool isLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

bool isNameStart(QChar c)
{
    return isLetter(c) || c == u'_';
}

bool isNameChar(QChar c)
{
    const char16_t u = c.unicode();
    return isNameStart(c) || (u >= u'0' && u <= u'9') || u == u'-' || u == u'.' || u == u':';
}

bool isWhite(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r';
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// A numeric reference is taken as a full code point, so characters beyond
// Latin-1 survive a save and reload. A decimal number is converted as every
// number of our files is, and fails with the same message when it does not
// convert; numbers that are no character at all (0, negative, surrogates,
// beyond U+10FFFF) and hexadecimal ones with other characters are refused
// rather than turned into something else.
void appendCharacterReference(QString &out, QStringView name)
{
    const auto invalid = [&] {
        fail(QStringLiteral("Invalid character reference &") + name.toString() + u';');
    };
    const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
    const QStringView digits = name.sliced(hex ? 2 : 1);
    qint64 code = 0;
    if (hex) {
        if (digits.isEmpty())
            invalid();
        for (QChar c : digits) {
            const int d = hexDigit(c);
            if (d < 0)
                invalid();
            code = code * 16 + d;
            if (code > 0x10FFFF)
                invalid();
        }
    } else {
        int value = 0;
        if (!TryStrToInt(digits.toString(), value))
            fail(QStringLiteral("'%1' is not a valid integer value").arg(digits.toString()));
        code = value;
    }
    if (code <= 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        invalid();
    const auto point = char32_t(code);
    if (QChar::requiresSurrogates(point)) {
        out.append(QChar(QChar::highSurrogate(point)));
        out.append(QChar(QChar::lowSurrogate(point)));
    } else {
        out.append(QChar(char16_t(point)));
    }
}

void appendEntity(QString &out, QStringView name)
{
    if (name == u"amp")
        out.append(u'&');
    else if (name == u"lt")
        out.append(u'<');
    else if (name == u"gt")
        out.append(u'>');
    else if (name == u"apos")
        out.append(u'\'');
    else if (name == u"quot")
        out.append(u'"');
    else if (name.startsWith(u'#'))
        appendCharacterReference(out, name);
    else
        fail(QStringLiteral("Unknown entity &") + name.toString() + u';');
}

// Turns file bytes into the text a file is parsed as: ISO-8859-1, every
// line (CR LF, LF or a lone CR) ended by CR LF, the last one included.
// Each line goes over in one piece, straight from the bytes into the text:
// copying byte by byte dominated loading large files. The next CR and the
// next LF are each looked up once and kept until passed, so a file with only
// one kind of line end is not searched to its end for every line.
QString linesText(const QByteArray &bytes)
{
    const char *const end = bytes.constData() + bytes.size();
    const auto next = [end](const char *from, char c) {
        const void *found = std::memchr(from, c, size_t(end - from));
        return found ? static_cast<const char *>(found) : end;
    };
    QString text;
    // Our own files already end their lines with CR LF, so the text is as
    // long as the bytes, plus a line end when the last one has none.
    text.reserve(bytes.size() + 2);
    const char *from = bytes.constData();
    const char *nextCr = next(from, '\r');
    const char *nextLf = next(from, '\n');
    while (from < end) {
        if (nextCr < from)
            nextCr = next(from, '\r');
        if (nextLf < from)
            nextLf = next(from, '\n');
        const char *lineEnd = std::min(nextCr, nextLf);
        text.append(QLatin1String(from, lineEnd - from));
        text.append(u"\r\n");
        if (lineEnd == end)
            break;
        from = lineEnd + (lineEnd == nextCr && lineEnd + 1 == nextLf ? 2 : 1);
    }
    return text;
}

QString toQString(QStringView text)
{
    return text.toString();
}

QString toQString(QLatin1String text)
{
    return QString(text);
}

// A file's bytes are scanned as they are, without turning them into a text
// first (that copy was twice the size of the file, and made and freed on
// every load). The positions of messages and the text the tree keeps refer
// to the bytes with every line ended by CR LF; as long as the bytes already
// are, both are the same. The scan of the bytes gives up with this as soon as
// a line end that is not CR LF would reach the tree, and a failed scan of
// them is repeated on the proper text for its message.
struct TNotCrLf
{
};

// A document repeats a handful of element and attribute names ("property",
// "name") and, in our files, attribute values (the names of properties)
// hundreds of thousands of times. A string found in this small table of
// strings met so far is shared with every element and attribute that carries
// it, which spares an allocation and a free each time. The table keeps one
// string per slot, picked by a cheap hash of the characters; a string that
// lands in an occupied slot takes it over, so a rare clash costs no more than
// the allocation the table is there to save.
class TSharedStrings
{
public:
    explicit TSharedStrings(TXMLNodeBlocks<QString> &strings) : m_strings(strings) {}

    template <class View>
    const QString *Shared(View text)
    {
        const quint32 hash = hashOf(text);
        TSlot &slot = m_slots[hash % m_slots.size()];
        const auto *data = reinterpret_cast<const char *>(text.data());
        const std::size_t bytes = std::size_t(text.size()) * sizeof(*text.data());
        // A short string's characters are kept in its slot, so the slots
        // alone, which stay in the cache, settle nearly every look-up; a
        // long one is compared with the string, as it is rarely met again.
        if (slot.String && slot.Hash == hash && slot.Size == text.size()
            && (bytes <= sizeof(slot.Bytes) ? std::memcmp(slot.Bytes, data, bytes) == 0 : *slot.String == text))
            return slot.String;
        slot.String = m_strings.New(toQString(text));
        slot.Hash = hash;
        slot.Size = text.size();
        if (bytes <= sizeof(slot.Bytes))
            std::memcpy(slot.Bytes, data, bytes);
        return slot.String;
    }

private:
    struct TSlot
    {
        const QString *String = nullptr;
        qsizetype Size = 0;
        quint32 Hash = 0;
        char Bytes[44];
    };

    // Short strings are hashed whole; a long one by its length and its first
    // and last eight characters, as the many texts of a file are short, and a
    // long one that misses costs only its allocation. Bytes go eight at a time.
    static quint32 hashOf(QLatin1String text)
    {
        const char *d = text.data();
        const std::size_t n = std::size_t(text.size());
        std::uint64_t a = 0, b = 0;
        if (n >= 8) {
            std::memcpy(&a, d, 8);
            std::memcpy(&b, d + n - 8, 8);
        } else if (n >= 4) {
            std::uint32_t x, y;
            std::memcpy(&x, d, 4);
            std::memcpy(&y, d + n - 4, 4);
            a = x;
            b = y;
        } else if (n > 0) {
            a = std::uint64_t(std::uint8_t(d[0])) << 16 | std::uint64_t(std::uint8_t(d[n / 2])) << 8
                | std::uint8_t(d[n - 1]);
        }
        std::uint64_t h = (a ^ (std::uint64_t(n) << 56)) * 0x9E3779B97F4A7C15ull;
        h = (h ^ (h >> 29) ^ b) * 0xBF58476D1CE4E5B9ull;
        return quint32(h >> 32);
    }

    static quint32 hashOf(QStringView text)
    {
        const qsizetype size = text.size();
        quint32 hash = 2166136261u ^ quint32(size); // FNV-1a
        const auto mix = [&](qsizetype from, qsizetype to) {
            for (qsizetype i = from; i < to; ++i)
                hash = (hash ^ text[i].unicode()) * 16777619u;
        };
        if (size <= 16) {
            mix(0, size);
        } else {
            mix(0, 8);
            mix(size - 8, size);
        }
        return hash;
    }

    TXMLNodeBlocks<QString> &m_strings;
    std::array<TSlot, 1024> m_slots{};
};

std::function<void()> &readHook()
{
    static std::function<void()> hook;
    return hook;
}

// The start of a file in which a "<" must stand for the file to be taken as
// XML: a file without end (a device, a sparse file of zeros) is refused after
// this much rather than read until memory runs out.
constexpr qsizetype XmlProbe = 64 * 1024;

// Why the file that starts with Start (all of it when shorter) cannot be XML;
// an empty text when it may be.
QString notXmlReason(QLatin1String start)
{
    if (start.isEmpty())
        return QStringLiteral("The file is empty.");
    if (start.first(std::min(start.size(), XmlProbe)).contains(QLatin1Char('<')))
        return {};
    return start.size() < XmlProbe ? QStringLiteral("The file holds no XML: there is no \"<\" in it.")
                                   : QStringLiteral("The file holds no XML: there is no \"<\" in its first 64 KB.");
}

QString tooLargeReason(qint64 size)
{
    const auto megabytes = [](qint64 bytes) { return QString::number(bytes / (1024 * 1024)); };
    if (size < 0)
        return QStringLiteral("More came through the pipe than the memory of this computer can hold (%1 MB).")
            .arg(megabytes(TReadFile::MemoryLimit()));
    return QStringLiteral("The file is too large to open: %1 MB, where the memory of this computer allows %2 MB.")
        .arg(megabytes(size), megabytes(TReadFile::MemoryLimit()));
}

// A file read a window at a time. Held whole, a large file took as much
// fresh memory as the tree made from it, and the first load of a program
// paid for every page of it. The scanner asks for the next window when the
// text before the next "<", or the tag it starts, does not end in this one;
// nothing of the tree points into a window.
class TFileWindow
{
public:
    explicit TFileWindow(QIODevice &file) : m_file(file) {}

    // Keeps the bytes from Keep on (counted from the start of the last
    // window), reads more after them and returns the new window. A window
    // ends only where the file does or after a byte other than CR, so a
    // CR LF is never cut in two.
    QLatin1String Next(qsizetype keep)
    {
        if (keep > 0) {
            std::memmove(m_buffer.data(), m_buffer.data() + keep, std::size_t(m_filled - keep));
            m_filled -= keep;
        }
        if (m_buffer.empty() || m_buffer.size() - std::size_t(m_filled) < m_buffer.size() / 2)
            m_buffer.resize(std::max<std::size_t>(InitialSize, m_buffer.size() * 2));
        while (!m_atEnd && std::size_t(m_filled) < m_buffer.size()) {
            const qint64 read = m_file.read(m_buffer.data() + m_filled, qint64(m_buffer.size()) - m_filled);
            // A failed read ends the text as it did when the file was read whole.
            if (read <= 0)
                m_atEnd = true;
            else
                m_filled += qsizetype(read);
        }
        if (readHook())
            readHook()();
        m_window = m_filled;
        if (!m_atEnd && m_window > 0 && m_buffer[std::size_t(m_window - 1)] == '\r')
            --m_window;
        return QLatin1String(m_buffer.data(), m_window);
    }

    // The last window reaches the end of the file.
    bool AtEnd() const { return m_atEnd && m_window == m_filled; }

private:
    static constexpr std::size_t InitialSize = 1 << 20;
    QIODevice &m_file;
    std::vector<char> m_buffer;
    qsizetype m_filled = 0;
    qsizetype m_window = 0;
    bool m_atEnd = false;
};

} // namespace

// One pass over the text. Open elements are followed through their parent
// links instead of recursion, so any nesting depth is fine. View is
// QStringView for a text, QLatin1String for the bytes of a file.
template <class View>
class TXMLDocumentScanner
{
    // The bytes of a file, which may end lines other than by CR LF.
    static constexpr bool Bytes = std::is_same_v<View, QLatin1String>;

public:
    // Text is the whole text, or the first window of a file. FileBytes are
    // the bytes a whole text was made of (see linesText), so that messages
    // give positions in them.
    TXMLDocumentScanner(View text, std::unique_ptr<TXMLNodeStore> store, TFileWindow *window = nullptr,
                        IXMLElementSink *sink = nullptr, const QByteArray *fileBytes = nullptr)
        : s(text), n(text.size()), nodes(std::move(store)), window(window), sink(sink), fileBytes(fileBytes)
    {
    }

    std::unique_ptr<TXMLNodeStore> run()
    {
        qsizetype textStart = 0;
        for (;;) {
            bool hasEntities = false;
            p = find(u'<', textStart, hasEntities);
            if constexpr (Bytes) {
                if (window && !window->AtEnd() && (p == n || (n - p < TagMargin && !tagEndsInWindow(p)))) {
                    s = window->Next(textStart);
                    n = s.size();
                    textStart = 0;
                    continue;
                }
            }
            if (p == n)
                break;
            if (textStart < p && current)
                addText(s.sliced(textStart, p - textStart), hasEntities);
            tagStart = p;
            ++p;
            if (p >= n)
                unterminatedTag();
            const QChar c = s[p];
            if (c == u'!')
                markup();
            else if (c == u'?')
                processingInstruction();
            else if (c == u'/')
                endTag();
            else if (isNameStart(c))
                startTag();
            else
                fail(QStringLiteral("Unkown tag type at position ") + position(p));
            textStart = p;
        }
        if (current)
            fail(QStringLiteral("Unclosed element <") + current->Name() + u'>');
        return std::move(nodes);
    }

private:
    // The index of the first Stop at or after From, n when there is none.
    // HasEntities tells whether an "&" came before it.
    qsizetype find(char16_t stop, qsizetype from, bool &hasEntities) const
    {
        for (; from < n; ++from) {
            const char16_t u = s[from].unicode();
            if (u == stop)
                return from;
            if (u == u'&')
                hasEntities = true;
            else if constexpr (Bytes)
                if (u == u'\r' || u == u'\n')
                    requireCrLf(from);
        }
        return n;
    }

    // Whether the tag starting with the "<" at Open ends in the window, so
    // that the scan of it will not reach the window's end. It may say no
    // for a tag the scan would refuse (a stray quotation mark); the next
    // windows then bring the file's end, where the scan refuses it.
    //
    // Only tags that start near the window's end are looked at, as looking
    // at every tag twice took a sixth of the load. A longer tag that runs
    // past the end is refused by the scan, as a scan that reaches the end
    // of its text always refuses it, and the file is parsed whole instead.
    static constexpr qsizetype TagMargin = 64 * 1024;
    bool tagEndsInWindow(qsizetype open) const
    {
        const qsizetype at = open + 1;
        if (at >= n)
            return false;
        const char16_t c = s[at].unicode();
        if (c == u'!') {
            // Room for "<![CDATA[" tells a comment, a CDATA section and a
            // declaration apart.
            if (open + 9 > n)
                return false;
            if (lookingAt(at + 1, QLatin1String("--")))
                return s.indexOf(QLatin1String("-->"), at + 3) >= 0;
            if (lookingAt(at + 1, QLatin1String("[CDATA[")))
                return s.indexOf(QLatin1String("]]>"), at + 8) >= 0;
            return true;
        }
        if (c == u'?')
            return s.indexOf(QLatin1String("?>"), at + 1) >= 0;
        if (c != u'/' && !isNameStart(s[at]))
            return true;
        char16_t quote = 0;
        for (qsizetype i = at + 1; i < n; ++i) {
            const char16_t u = s[i].unicode();
            if (quote) {
                if (u == quote)
                    quote = 0;
            } else if (u == u'>') {
                return true;
            } else if (c != u'/' && (u == u'"' || u == u'\'')) {
                quote = u;
            }
        }
        return false;
    }

    // Throws TNotCrLf when the line-end byte at Index is not part of a CR LF.
    void requireCrLf(qsizetype index) const
    {
        if (s[index].unicode() == u'\r' ? index + 1 >= n || s[index + 1].unicode() != u'\n'
                                        : index == 0 || s[index - 1].unicode() != u'\r')
            throw TNotCrLf();
    }

    // Messages count characters from 1.
    QString position(qsizetype index) const
    {
        return QString::number((fileBytes ? byteIndex(*fileBytes, index) : index) + 1);
    }

    [[noreturn]] void unterminatedTag()
    {
        fail(QStringLiteral("Unterminated tag starting at position ") + position(tagStart));
    }

    bool lookingAt(qsizetype at, QLatin1String what) const
    {
        return s.sliced(at).startsWith(what);
    }

    // After "<!": a comment, a CDATA section, or a declaration we refuse.
    void markup()
    {
        if (lookingAt(p + 1, QLatin1String("--"))) {
            const qsizetype end = s.indexOf(QLatin1String("-->"), p + 3);
            if (end < 0)
                fail(QStringLiteral("Unterminated comment starting at position ") + position(tagStart));
            p = end + 3;
        } else if (lookingAt(p + 1, QLatin1String("[CDATA["))) {
            if (!current)
                refuseDocType();
            const qsizetype from = p + 8;
            const qsizetype end = s.indexOf(QLatin1String("]]>"), from);
            if (end < 0)
                fail(QStringLiteral("Unterminated CDATA section starting at position ") + position(tagStart));
            if constexpr (Bytes)
                for (qsizetype i = from; i < end; ++i)
                    if (s[i].unicode() == u'\r' || s[i].unicode() == u'\n')
                        requireCrLf(i);
            addText(s.sliced(from, end - from), false);
            p = end + 3;
        } else {
            refuseDocType();
        }
    }

    [[noreturn]] void refuseDocType()
    {
        fail(QStringLiteral("DocTypes (DTDs) not currently supported (position ") + position(p) + u')');
    }

    // Its content, the XML declaration's encoding among it, is not examined.
    void processingInstruction()
    {
        const qsizetype end = s.indexOf(QLatin1String("?>"), p + 1);
        if (end < 0)
            fail(QStringLiteral("Unterminated processing instruction starting at position ")
                 + position(tagStart));
        p = end + 2;
    }

    View readName()
    {
        const qsizetype from = p;
        while (p < n && isNameChar(s[p]))
            ++p;
        return s.sliced(from, p - from);
    }

    void endTag()
    {
        ++p;
        if (p >= n)
            unterminatedTag();
        if (!isNameStart(s[p]))
            fail(QStringLiteral("Invalid character in closing tag at position ") + position(p));
        const qsizetype namePos = p;
        endElement(readName(), namePos);
        while (p < n && s[p] != u'>') {
            if (!isWhite(s[p]))
                fail(QStringLiteral("Invalid character in tag at position ") + position(p));
            ++p;
        }
        if (p >= n)
            unterminatedTag();
        ++p;
    }

    void startTag()
    {
        startElement(names.Shared(readName()));
        for (;;) {
            if (p >= n)
                unterminatedTag();
            const QChar c = s[p];
            if (c == u'>') {
                ++p;
                startTagEnded();
                return;
            }
            if (c == u'/') {
                if (p + 1 >= n)
                    unterminatedTag();
                if (s[p + 1] != u'>')
                    fail(QStringLiteral("Invalid character in tag at position ") + position(p + 1));
                p += 2;
                startTagEnded();
                closeCurrent();
                return;
            }
            if (isNameStart(c))
                attribute();
            else if (isWhite(c))
                ++p;
            else
                fail(QStringLiteral("Invalid character in tag at position ") + position(p));
        }
    }

    void attribute()
    {
        const QString *name = names.Shared(readName());
        bool sawEquals = false;
        QChar quote;
        for (;;) {
            if (p >= n)
                unterminatedTag();
            const QChar c = s[p];
            if (c == u'"' || c == u'\'') {
                quote = c;
                ++p;
                if (!sawEquals)
                    fail(QStringLiteral("Invalid character in tag at position ") + position(p));
                break;
            }
            if (c == u'=')
                sawEquals = true;
            else if (!isWhite(c))
                fail(QStringLiteral("Invalid character in tag at position ") + position(p));
            ++p;
        }
        bool hasEntities = false;
        const qsizetype end = find(quote.unicode(), p, hasEntities);
        if (end == n)
            fail(QStringLiteral("Unterminated attribute value starting at position ") + position(p - 1));
        const View raw = s.sliced(p, end - p);
        const QString *value = hasEntities ? nodes->Strings.New(decode(raw)) : values.Shared(raw);
        TXMLAttributeList &attributes = current->m_attributes;
        if (attributes.Count() == 0)
            attributes.AddOwn(name, value);
        else
            attributes.Add(nodes->Attributes.New(name, value));
        p = end + 1;
    }

    // A piece of the current element's text; HasEntities when it holds an
    // "&" to decode. CDATA and text without "&" go over as they are.
    //
    // Values repeat all through a file too (flags, numbers, data types,
    // column names): an element's first piece of text, when it needs no
    // decoding, is shared in the same way as names, and the model that
    // keeps the value shares it as well.
    //
    // Later pieces that need no decoding are only noted: they are what
    // stands between the children of an element, line breaks and
    // indentation that nobody reads, and joining them was an allocation or
    // two for every element that has children. Pieces with entities are
    // decoded at once, so a bad one fails the parse as it always did.
    void addText(View piece, bool hasEntities)
    {
        TXMLElement &element = *current;
        if (hasEntities) {
            element.OwnText().append(decode(piece));
        } else if (!element.m_text) {
            // An empty CDATA section leaves no text.
            if (!piece.isEmpty())
                element.m_text = texts.Shared(piece);
        } else if (!piece.isEmpty()) {
            const QString *text = texts.Shared(piece);
            auto *last = const_cast<TXMLTextPiece *>(element.m_pieces);
            if (last && last->Text == text && last->Repeats < std::numeric_limits<quint32>::max()) {
                ++last->Repeats;
                return;
            }
            TXMLTextPiece *note = nodes->TextPieces.New(1);
            *note = {text, 0, last};
            element.m_pieces = note;
        }
    }

    static QString decode(View raw)
    {
        if constexpr (Bytes)
            return DecodeXmlEntities(QString(raw));
        else
            return DecodeXmlEntities(raw);
    }

    void startTagEnded()
    {
        if (sink && current == nodes->Root)
            sink->RootStarted(*current);
    }

    void startElement(const QString *name)
    {
        if (!current && nodes->Root)
            fail(QStringLiteral("Document may have only one root element"));
        // What a sink may free starts with the element itself.
        if (sink && (childrenStart.size() == 1 || childrenStart.size() == 2))
            marks.push_back(nodes->Mark());
        TXMLElement *element = nodes->Elements.New(name);
        if (current) {
            element->m_parent = current;
            children.push_back(element);
        } else {
            nodes->Root = element;
        }
        childrenStart.push_back(children.size());
        current = element;
    }

    // The current element has ended: its children go over to it together.
    void closeCurrent()
    {
        const std::size_t start = childrenStart.back();
        childrenStart.pop_back();
        if (const std::size_t count = children.size() - start) {
            TXMLElement **items = nodes->ChildArrays.New(count);
            std::copy(children.begin() + qsizetype(start), children.end(), items);
            current->m_children.Adopt(items, int(count));
            children.resize(start);
        }
        TXMLElement *ended = current;
        current = current->GetParent();
        if (const std::size_t depth = childrenStart.size(); sink && (depth == 1 || depth == 2)) {
            const TXMLNodeStore::TMark mark = marks.back();
            marks.pop_back();
            if (sink->ElementEnded(*ended, int(depth))) {
                children.pop_back();
                nodes->Release(mark);
            }
        }
    }

    void endElement(View name, qsizetype namePos)
    {
        if (!current)
            fail(QStringLiteral("Closing tag does not match any opening tag at position ") + position(namePos));
        if (name != current->Name())
            fail(QStringLiteral("Closing tag </") + toQString(name) + QStringLiteral("> (at position ") + position(namePos)
                 + QStringLiteral(") does not match any opening tag <") + current->Name() + u'>');
        closeCurrent();
    }

    View s;
    qsizetype n;
    qsizetype p = 0;
    qsizetype tagStart = 0;
    std::unique_ptr<TXMLNodeStore> nodes;
    TFileWindow *window;
    IXMLElementSink *sink;
    const QByteArray *fileBytes;
    // Where the open elements one and two levels below the root start, while a sink is told.
    std::vector<TXMLNodeStore::TMark> marks;
    TXMLElement *current = nullptr;
    // The children of the open elements, outermost first; each open element's
    // own start in it.
    std::vector<TXMLElement *> children;
    std::vector<std::size_t> childrenStart;
    TSharedStrings names{nodes->Strings};
    TSharedStrings values{nodes->Strings};
    TSharedStrings texts{nodes->Strings};
};

EDirtyXMLParserError::EDirtyXMLParserError(const QString &message)
    : std::runtime_error(message.toStdString())
{
}


struct TXMLElementExtras
{
    QString OwnText;
    // All children, once one is added after the parse.
    std::vector<TXMLElement *> Children;
    // The attributes that do not fit into the element's own room.
    std::vector<TXMLAttribute *> MoreAttributes;
};

// Both lists stand at a fixed place inside their element.
static_assert(std::is_standard_layout_v<TXMLElement>);

TXMLElement *TXMLAttributeList::Owner() const
{
    return reinterpret_cast<TXMLElement *>(reinterpret_cast<quintptr>(this) - offsetof(TXMLElement, m_attributes));
}

const std::vector<TXMLAttribute *> *TXMLAttributeList::More() const
{
    const TXMLElementExtras *extras = Owner()->m_extras;
    return extras && !extras->MoreAttributes.empty() ? &extras->MoreAttributes : nullptr;
}

int TXMLAttributeList::Count() const
{
    const int own = m_own.m_name ? 1 : 0;
    if (!Owner()->m_extras)
        return own;
    return own + int(Owner()->m_extras->MoreAttributes.size());
}

TXMLAttribute *TXMLAttributeList::At(int index) const
{
    if (m_own.m_name) {
        if (index == 0)
            return const_cast<TXMLAttribute *>(&m_own);
        --index;
    }
    return (*More())[std::size_t(index)];
}

TXMLAttribute *TXMLAttributeList::AddOwn(const QString *name, const QString *value)
{
    m_own.m_owner = this;
    m_own.m_name = name;
    m_own.m_value = value;
    return &m_own;
}

TXMLAttribute *TXMLAttributeList::Add(TXMLAttribute *attribute)
{
    attribute->m_owner = this;
    Owner()->Extras().MoreAttributes.push_back(attribute);
    return attribute;
}

TXMLAttribute *TXMLAttributeList::Find(const QString &name) const
{
    // Names are nearly always written as they are asked for; the exact
    // comparison settles those without folding case letter by letter.
    for (TXMLAttribute *attribute : *this)
        if (attribute->Name() == name || attribute->Name().compare(name, Qt::CaseInsensitive) == 0)
            return attribute;
    return nullptr;
}

TXMLAttribute *TXMLAttributeList::Items(int index) const
{
    if (index < 0 || index >= Count())
        failListIndex(index);
    return At(index);
}

TXMLElement *TXMLChildElementList::Owner() const
{
    return reinterpret_cast<TXMLElement *>(reinterpret_cast<quintptr>(this) - offsetof(TXMLElement, m_children));
}

TXMLElement *TXMLChildElementList::Add(TXMLElement *element)
{
    TXMLElement *owner = Owner();
    element->m_parent = owner;
    std::vector<TXMLElement *> &children = owner->Extras().Children;
    if (m_count > 0 && m_items != children.data())
        children.assign(m_items, m_items + m_count);
    children.push_back(element);
    m_items = children.data();
    m_count = int(children.size());
    return element;
}

void TXMLChildElementList::Adopt(TXMLElement *const *items, int count)
{
    m_items = items;
    m_count = count;
}

TXMLElement *TXMLChildElementList::Items(int index) const
{
    if (index < 0 || index >= Count())
        failListIndex(index);
    return m_items[size_t(index)];
}

TXMLElement *TXMLElementList::Items(int index) const
{
    if (index < 0 || index >= Count())
        failListIndex(index);
    return m_items[size_t(index)];
}

TXMLElementExtras &TXMLElement::Extras() const
{
    if (!m_extras)
        m_extras = new TXMLElementExtras;
    return *m_extras;
}

void TXMLElement::DeleteExtras()
{
    delete m_extras;
    m_extras = nullptr;
}

const QString &TXMLElement::NoText()
{
    static const QString none;
    return none;
}

QString &TXMLElement::OwnText() const
{
    if (m_pieces)
        JoinPieces();
    TXMLElementExtras &extras = Extras();
    if (m_text != &extras.OwnText) {
        extras.OwnText = m_text ? *m_text : QString();
        m_text = &extras.OwnText;
    }
    return extras.OwnText;
}

TXMLElementList TXMLElement::GetChildrenByName(const QString &name) const
{
    TXMLElementList found;
    for (TXMLElement *child : m_children)
        if (child->Name() == name)
            found.Add(child);
    return found;
}

TXMLElement *TXMLElement::FindChild(const QString &name) const
{
    for (TXMLElement *child : m_children)
        if (child->Name() == name)
            return child;
    return nullptr;
}

std::optional<QString> TXMLElement::GetAttribute(const QString &name) const
{
    if (const TXMLAttribute *attribute = m_attributes.Find(name))
        return attribute->Value();
    return std::nullopt;
}

void TXMLElement::JoinPieces() const
{
    std::vector<const TXMLTextPiece *> pieces;
    qsizetype size = m_text ? m_text->size() : 0;
    for (const TXMLTextPiece *piece = m_pieces; piece; piece = piece->Previous) {
        pieces.push_back(piece);
        size += piece->Text->size() * (qsizetype(piece->Repeats) + 1);
    }
    m_pieces = nullptr;
    QString &text = OwnText();
    text.reserve(size);
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
        const TXMLTextPiece &piece = **it;
        for (qsizetype time = 0; time <= qsizetype(piece.Repeats); ++time)
            text.append(*piece.Text);
    }
}

void TXMLElement::AppendText(QStringView text, bool isCData)
{
    if (!isCData && text.contains(u'&')) {
        OwnText().append(DecodeXmlEntities(text));
    } else if (!m_text) {
        // An empty CDATA section leaves no text, as appending nothing never did.
        if (!isCData || !text.isEmpty())
            OwnText() = text.toString();
    } else {
        OwnText().append(text);
    }
}

QString DecodeXmlEntities(QStringView text)
{
    qsizetype amp = text.indexOf(u'&');
    if (amp < 0)
        return text.toString();
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    while (amp >= 0) {
        out.append(text.sliced(from, amp - from));
        const qsizetype semicolon = text.indexOf(u';', amp + 1);
        if (semicolon < 0)
            fail(QStringLiteral("Unterminated entity reference (\"&\" without \";\")"));
        appendEntity(out, text.sliced(amp + 1, semicolon - amp - 1));
        from = semicolon + 1;
        amp = text.indexOf(u'&', from);
    }
    out.append(text.sliced(from));
    return out;
}

TDirtyXMLParser::TDirtyXMLParser() = default;
TDirtyXMLParser::~TDirtyXMLParser() = default;

void TDirtyXMLParser::SetReadHook(std::function<void()> hook)
{
    readHook() = std::move(hook);
}

bool TDirtyXMLParser::LoadFromFile(const QString &fileName)
{
    // Another program may rewrite the file in place while it is read, and the
    // text would then be part old, part new: it is read again until it stays
    // the same from the first byte to the last.
    for (int attempt = 0; attempt < 3; ++attempt) {
        // The last document goes before the next file comes in.
        clear();
        TReadFile file;
        if (const QString error = file.Open(fileName); !error.isEmpty()) {
            m_errorMessage = QStringLiteral("Cannot open file \"") + fileName + QStringLiteral("\". ") + error;
            return false;
        }
        // A pipe cannot be read twice, nor known to have changed.
        if (file.Kind() == TFileKind::Pipe)
            return loadPipe(file);
        const bool loaded = loadRegular(file, fileName);
        if (file.Now() == file.Opened())
            return loaded;
    }
    clear();
    m_errorMessage = QStringLiteral("The file kept changing while it was read: another program is writing it.");
    return false;
}

bool TDirtyXMLParser::loadRegular(TReadFile &file, const QString &fileName)
{
    if (file.Opened().Size > TReadFile::MemoryLimit()) {
        m_errorMessage = tooLargeReason(file.Opened().Size);
        return false;
    }
    // The file is read, not mapped: a mapped file that another program
    // shortens while its bytes are in use ends the program with a bus error.
    try {
        TFileWindow window(file.File());
        const QLatin1String first = window.Next(0);
        if (const QString reason = notXmlReason(first); !reason.isEmpty()) {
            m_errorMessage = reason;
            return false;
        }
        m_nodes = TXMLDocumentScanner<QLatin1String>(first, std::make_unique<TXMLNodeStore>(), &window).run();
        m_sourceFile = fileName;
        return true;
    } catch (const TNotCrLf &) {
    } catch (const EDirtyXMLParserError &) {
    }
    // Lines ended otherwise than by CR LF, or a refused text, whose message
    // counts positions in the text with CR LF line ends: that text is parsed.
    // It is read through the same handle, so a file replaced meanwhile is
    // not mixed with the one begun.
    file.File().seek(0);
    return parseLines(file.File().readAll());
}

bool TDirtyXMLParser::loadPipe(TReadFile &pipe)
{
    // What comes through a pipe is read as it comes, as long as it may be
    // XML and fits in memory.
    QByteArray bytes;
    const qint64 limit = TReadFile::MemoryLimit();
    const qint64 piece = 1 << 20;
    bool probed = false;
    for (;;) {
        const qsizetype had = bytes.size();
        bytes.resize(had + piece);
        const qint64 read = pipe.ReadPipe(bytes.data() + had, piece);
        bytes.resize(had + std::max<qint64>(read, 0));
        if (read == -2) {
            m_errorMessage = QStringLiteral("Nothing came through the pipe for %1 seconds: no program writes to it.")
                                 .arg(TReadFile::PipeWait() / 1000.0);
            return false;
        }
        if (read <= 0)
            break;
        if (bytes.size() > limit) {
            m_errorMessage = tooLargeReason(-1);
            return false;
        }
        if (!probed && bytes.size() >= XmlProbe) {
            probed = true;
            if (const QString reason = notXmlReason(QLatin1String(bytes)); !reason.isEmpty()) {
                m_errorMessage = reason;
                return false;
            }
        }
    }
    if (const QString reason = notXmlReason(QLatin1String(bytes)); !reason.isEmpty()) {
        m_errorMessage = reason;
        return false;
    }
    return LoadFromBytes(bytes);
}

bool TDirtyXMLParser::StreamFile(const QString &fileName, IXMLElementSink &sink)
{
    clear();
    // Anything but a file is read whole, and must not be opened here first.
    if (TFileIdentity::OfPath(fileName).Kind != TFileKind::Regular)
        return false;
    TReadFile file;
    if (!file.Open(fileName).isEmpty() || file.Kind() != TFileKind::Regular
        || file.Opened().Size > TReadFile::MemoryLimit())
        return false;
    try {
        TFileWindow window(file.File());
        const QLatin1String first = window.Next(0);
        if (!notXmlReason(first).isEmpty())
            return false;
        TXMLDocumentScanner<QLatin1String>(first, std::make_unique<TXMLNodeStore>(), &window, &sink).run();
        // A file rewritten while it was read gave a mixture: the whole read
        // reads it again.
        return file.Now() == file.Opened();
    } catch (const TNotCrLf &) {
    } catch (const EDirtyXMLParserError &) {
    }
    return false;
}

bool TDirtyXMLParser::LoadFromStream(QIODevice &stream)
{
    if (!stream.isSequential())
        stream.seek(0);
    // Pasted text comes in a buffer: its bytes are shared, not copied.
    if (auto *buffer = qobject_cast<QBuffer *>(&stream); buffer && buffer->isReadable()) {
        const QByteArray bytes = buffer->data().sliced(buffer->pos());
        buffer->seek(buffer->size());
        return LoadFromBytes(bytes);
    }
    return LoadFromBytes(stream.readAll());
}

void TDirtyXMLParser::clear()
{
    m_nodes.reset();
    m_errorMessage.clear();
    m_sourceText.clear();
    m_sourceBytes.clear();
    m_sourceFile.clear();
}

bool TDirtyXMLParser::LoadFromBytes(const QByteArray &bytes)
{
    clear();
    try {
        auto store = std::make_unique<TXMLNodeStore>();
        const QLatin1String text(bytes.constData(), bytes.size());
        m_nodes = TXMLDocumentScanner<QLatin1String>(text, std::move(store)).run();
    } catch (const TNotCrLf &) {
        // Lines ended otherwise than by CR LF: the text with its line ends
        // made CR LF is parsed instead.
        return parseLines(bytes);
    } catch (const EDirtyXMLParserError &) {
        // The message must count positions in the text with CR LF line ends.
        return parseLines(bytes);
    }
    m_sourceBytes = bytes;
    return true;
}

bool TDirtyXMLParser::ParseXml(const QString &text)
{
    return parse(text, nullptr);
}

bool TDirtyXMLParser::parseLines(const QByteArray &bytes)
{
    return parse(linesText(bytes), &bytes);
}

bool TDirtyXMLParser::parse(const QString &text, const QByteArray *fileBytes)
{
    clear();
    try {
        auto store = std::make_unique<TXMLNodeStore>();
        const QStringView view(text);
        m_nodes = TXMLDocumentScanner<QStringView>(view, std::move(store), nullptr, nullptr, fileBytes).run();
    } catch (const EDirtyXMLParserError &e) {
        m_errorMessage = QString::fromStdString(e.what());
        return false;
    }
    m_sourceText = text;
    return true;
}

const QString &TDirtyXMLParser::SourceText() const
{
    // Made only when asked for: loads never need it.
    if (!m_sourceFile.isEmpty()) {
        QFile file(m_sourceFile);
        m_sourceFile.clear();
        if (file.open(QIODevice::ReadOnly))
            m_sourceBytes = file.readAll();
    }
    if (m_sourceText.isEmpty() && !m_sourceBytes.isEmpty()) {
        m_sourceText = linesText(m_sourceBytes);
        m_sourceBytes.clear();
    }
    return m_sourceText;
}

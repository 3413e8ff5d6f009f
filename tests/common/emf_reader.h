#pragma once
// TEmfReader: splits an Enhanced Metafile into its records for tests and checks the file's
// structure (header, sizes, counts, end record, object handles) on the way.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QtEndian>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

// Record types and constants as the public format documentation numbers them; kept apart
// from the writer's own so that a wrong number there shows up here.
#define MARROWTIDE_EMF_RECORDS(X) \
    X(HEADER, 1) X(POLYLINE, 4) X(EOF, 14) X(SETPIXELV, 15) X(SETBKMODE, 18) X(SETPOLYFILLMODE, 19) \
    X(SETROP2, 20) X(SETSTRETCHBLTMODE, 21) X(SETTEXTALIGN, 22) X(SETTEXTCOLOR, 24) X(SETBKCOLOR, 25) \
    X(MOVETOEX, 27) X(INTERSECTCLIPRECT, 30) X(SAVEDC, 33) X(RESTOREDC, 34) X(SELECTOBJECT, 37) \
    X(CREATEPEN, 38) X(CREATEBRUSHINDIRECT, 39) X(DELETEOBJECT, 40) X(ELLIPSE, 42) X(RECTANGLE, 43) \
    X(ROUNDRECT, 44) X(ARC, 45) X(LINETO, 54) X(SETARCDIRECTION, 57) X(BITBLT, 76) X(STRETCHDIBITS, 81) \
    X(EXTCREATEFONTINDIRECTW, 82) X(EXTTEXTOUTW, 84) X(POLYGON16, 86) X(POLYLINE16, 87) X(ALPHABLEND, 114)
namespace emf {
enum RecordType : std::uint32_t {
#define X(name, number) EMR_##name = number,
    MARROWTIDE_EMF_RECORDS(X)
#undef X
};
inline QByteArray RecordName(std::uint32_t type)
{
    switch (type) {
#define X(name, number) case number: return #name;
        MARROWTIDE_EMF_RECORDS(X)
#undef X
    }
    return QByteArray::number(type);
}
constexpr std::uint32_t StockObject = 0x80000000u;
} // namespace emf

// One record: its type, its size (header included) and the bytes after the 8-byte header.
struct TEmfReadRecord {
    std::uint32_t Type = 0;
    std::uint32_t Size = 0;
    QByteArray Payload;

    // Fields by their offset from the record's first byte, the way the format's offset
    // fields (offString, offBmiSrc, ...) count. Out of range reads give 0.
    std::uint32_t U32(int offset) const { return Read<std::uint32_t>(offset); }
    std::int32_t I32(int offset) const { return Read<std::int32_t>(offset); }
    std::uint16_t U16(int offset) const { return Read<std::uint16_t>(offset); }
    // left, top, right, bottom
    std::array<std::int32_t, 4> RectL(int offset) const
    {
        return {I32(offset), I32(offset + 4), I32(offset + 8), I32(offset + 12)};
    }
    // count UTF-16 units; with stopAtNul, up to the first NUL (fixed-size name fields).
    QString Utf16(int offset, int count, bool stopAtNul = false) const
    {
        QString text;
        for (int i = 0; i < count; ++i) {
            const char16_t unit = U16(offset + 2 * i);
            if (stopAtNul && unit == 0)
                break;
            text.append(QChar(unit));
        }
        return text;
    }
    // length bytes from an offset counted from the record's first byte.
    QByteArray Bytes(int offset, int length) const { return Payload.mid(offset - 8, length); }

private:
    template <typename T>
    T Read(int offset) const
    {
        const qsizetype at = offset - 8;
        if (at < 0 || at + static_cast<qsizetype>(sizeof(T)) > Payload.size())
            return T{};
        std::uint64_t value = 0;
        for (qsizetype i = 0; i < static_cast<qsizetype>(sizeof(T)); ++i)
            value |= std::uint64_t(static_cast<unsigned char>(Payload.at(at + i))) << (8 * i);
        return static_cast<T>(value);
    }
};

class TEmfReader {
public:
    explicit TEmfReader(const QByteArray &bytes) { Parse(bytes); }

    bool IsValid() const { return Error_.isEmpty(); }
    // The first structural fault found, empty for a sound file.
    const QString &Error() const { return Error_; }
    // One line per record: its type and its fields as signed 32-bit words.
    QByteArray Listing() const
    {
        QByteArray text;
        for (const TEmfReadRecord &r : Records_) {
            text += emf::RecordName(r.Type);
            for (int at = 8; at + 4 <= static_cast<int>(r.Size); at += 4)
                text += ' ' + QByteArray::number(r.I32(at));
            text += '\n';
        }
        return text;
    }
    const TEmfReadRecord &Header() const { return Records_.front(); }

    std::vector<std::uint32_t> Types() const
    {
        std::vector<std::uint32_t> types;
        for (const TEmfReadRecord &r : Records_)
            types.push_back(r.Type);
        return types;
    }
    QList<TEmfReadRecord> OfType(std::uint32_t type) const
    {
        QList<TEmfReadRecord> found;
        for (const TEmfReadRecord &r : Records_)
            if (r.Type == type)
                found.append(r);
        return found;
    }
    int Count(std::uint32_t type) const { return static_cast<int>(OfType(type).size()); }
    // Objects created and never deleted by the end of the file.
    int ObjectsLeftAtEnd() const { return ObjectsLeft_; }
    // The highest handle index any record used.
    std::uint32_t HighestHandle() const { return HighestHandle_; }

private:
    void Fail(const QString &message)
    {
        if (Error_.isEmpty())
            Error_ = message;
    }

    void Parse(const QByteArray &bytes)
    {
        qsizetype at = 0;
        while (at < bytes.size()) {
            if (bytes.size() - at < 8)
                return Fail(QStringLiteral("truncated record header at %1").arg(at));
            TEmfReadRecord r;
            r.Type = qFromLittleEndian<std::uint32_t>(bytes.constData() + at);
            r.Size = qFromLittleEndian<std::uint32_t>(bytes.constData() + at + 4);
            if (r.Size < 8 || r.Size % 4 != 0)
                return Fail(QStringLiteral("record %1 (type %2) has size %3").arg(Records_.size()).arg(r.Type).arg(r.Size));
            if (r.Size > bytes.size() - at)
                return Fail(QStringLiteral("record %1 (type %2) runs past the end").arg(Records_.size()).arg(r.Type));
            r.Payload = bytes.mid(at + 8, r.Size - 8);
            if (!Records_.isEmpty() && Records_.back().Type == emf::EMR_EOF)
                return Fail(QStringLiteral("records after EMR_EOF"));
            Records_.append(r);
            at += r.Size;
        }
        if (Records_.isEmpty())
            return Fail(QStringLiteral("no records"));
        const TEmfReadRecord &h = Records_.front();
        if (h.Type != emf::EMR_HEADER)
            return Fail(QStringLiteral("the first record is not EMR_HEADER"));
        if (h.Size < 88)
            return Fail(QStringLiteral("the header record is too short"));
        if (h.U32(40) != 0x464D4520)
            return Fail(QStringLiteral("bad signature"));
        if (h.U32(44) != 0x10000)
            return Fail(QStringLiteral("bad version"));
        if (h.U32(48) != static_cast<std::uint32_t>(bytes.size()))
            return Fail(QStringLiteral("nBytes %1, file size %2").arg(h.U32(48)).arg(bytes.size()));
        if (h.U32(52) != static_cast<std::uint32_t>(Records_.size()))
            return Fail(QStringLiteral("nRecords %1, records %2").arg(h.U32(52)).arg(Records_.size()));
        const std::uint32_t handles = h.U16(56);
        if (handles < 1)
            return Fail(QStringLiteral("nHandles is 0"));
        if (h.U16(58) != 0)
            return Fail(QStringLiteral("reserved header field is not 0"));
        const std::uint32_t descriptionChars = h.U32(60);
        const std::uint32_t descriptionOffset = h.U32(64);
        if (descriptionChars != 0
            && (descriptionOffset < 88 || descriptionOffset + 2 * descriptionChars > h.Size))
            return Fail(QStringLiteral("the description lies outside the header"));
        if (Records_.back().Type != emf::EMR_EOF)
            return Fail(QStringLiteral("the last record is not EMR_EOF"));
        if (Records_.back().Size < 20 || Records_.back().U32(Records_.back().Size - 4) != Records_.back().Size)
            return Fail(QStringLiteral("EMR_EOF does not end with its own size"));
        CheckObjects(handles);
    }

    // The kind of object a record creates: 0 pen, 1 brush, 2 font; -1 for none.
    static int KindOf(std::uint32_t type)
    {
        return type == emf::EMR_CREATEPEN ? 0 : type == emf::EMR_CREATEBRUSHINDIRECT ? 1
               : type == emf::EMR_EXTCREATEFONTINDIRECTW ? 2 : -1;
    }

    // Handles are created into free slots below nHandles, used only while they exist, and
    // deleted once and never while the device context, or a state it saved, selects them;
    // saves and restores balance.
    void CheckObjects(std::uint32_t handles)
    {
        std::map<std::uint32_t, int> live; // handle -> kind
        using Selection = std::array<std::uint32_t, 4>;
        std::vector<Selection> states(1, Selection{}); // the current state last
        for (int i = 0; i < Records_.size(); ++i) {
            const TEmfReadRecord &r = Records_[i];
            const std::uint32_t handle = r.U32(8);
            if (KindOf(r.Type) >= 0) {
                HighestHandle_ = std::max(HighestHandle_, handle);
                if (handle == 0 || handle >= handles)
                    return Fail(QStringLiteral("record %1 creates object %2 outside 1..nHandles-1").arg(i).arg(handle));
                if (!live.emplace(handle, KindOf(r.Type)).second)
                    return Fail(QStringLiteral("record %1 creates object %2 over a live one").arg(i).arg(handle));
            } else if (r.Type == emf::EMR_SELECTOBJECT) {
                if (handle & emf::StockObject) {
                    // Stock pens are 6..8 and DC_PEN 19, fonts 10..17 except the palette 15,
                    // brushes the rest (0..5 and DC_BRUSH 18).
                    const std::uint32_t index = handle & ~emf::StockObject;
                    const int kind = (index >= 6 && index <= 8) || index == 19 ? 0
                                     : index == 15                             ? 3
                                     : index >= 10 && index <= 17              ? 2
                                                                               : 1;
                    states.back()[static_cast<std::size_t>(kind)] = 0;
                } else {
                    const auto it = live.find(handle);
                    if (it == live.end())
                        return Fail(QStringLiteral("record %1 selects missing object %2").arg(i).arg(handle));
                    states.back()[static_cast<std::size_t>(it->second)] = handle;
                }
            } else if (r.Type == emf::EMR_DELETEOBJECT) {
                for (const Selection &s : states)
                    for (std::uint32_t selected : s)
                        if (selected == handle)
                            return Fail(QStringLiteral("record %1 deletes object %2 while it is selected").arg(i).arg(handle));
                if (!live.erase(handle))
                    return Fail(QStringLiteral("record %1 deletes missing object %2").arg(i).arg(handle));
            } else if (r.Type == emf::EMR_SAVEDC) {
                states.push_back(states.back());
            } else if (r.Type == emf::EMR_RESTOREDC) {
                const std::int32_t which = r.I32(8);
                if (which >= 0 || -static_cast<qint64>(which) >= static_cast<qint64>(states.size()))
                    return Fail(QStringLiteral("record %1 restores a state never saved").arg(i));
                states.resize(states.size() + static_cast<std::size_t>(which)); // the saved state becomes current
            }
        }
        ObjectsLeft_ = static_cast<int>(live.size());
    }

    QList<TEmfReadRecord> Records_;
    QString Error_;
    int ObjectsLeft_ = 0;
    std::uint32_t HighestHandle_ = 0;
};

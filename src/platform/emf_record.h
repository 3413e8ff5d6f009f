#pragma once
// TEmfRecord: one Enhanced Metafile record being assembled, little-endian, its size
// (header included) filled in and padded to four bytes when it is taken.
#include "platform/rect.h"
#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QtEndian>
#include <cstdint>
#include <cstring>

class TEmfRecord {
public:
    explicit TEmfRecord(std::uint32_t type)
    {
        U32(type);
        U32(0);
    }

    TEmfRecord &U8(std::uint8_t value)
    {
        Bytes_.append(static_cast<char>(value));
        return *this;
    }
    TEmfRecord &U16(std::uint16_t value) { return Raw(qToLittleEndian(value)); }
    TEmfRecord &I16(std::int16_t value) { return Raw(qToLittleEndian(value)); }
    TEmfRecord &U32(std::uint32_t value) { return Raw(qToLittleEndian(value)); }
    TEmfRecord &I32(std::int32_t value) { return Raw(qToLittleEndian(value)); }
    TEmfRecord &F32(float value)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return U32(bits);
    }
    TEmfRecord &Point(QPoint p) { return I32(p.x()).I32(p.y()); }
    TEmfRecord &RectL(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
    {
        return I32(left).I32(top).I32(right).I32(bottom);
    }
    TEmfRecord &RectL(const TRect &r) { return RectL(r.Left, r.Top, r.Right, r.Bottom); }
    // The rectangle's pixels as an inclusive box, the form of every record's Bounds.
    TEmfRecord &Bounds(const TRect &r)
    {
        return r.IsEmpty() ? RectL(0, 0, -1, -1) : RectL(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
    }
    // UTF-16LE code units, no terminator.
    TEmfRecord &Utf16(const QString &text)
    {
        for (QChar c : text)
            U16(c.unicode());
        return *this;
    }
    // Exactly count UTF-16 units: text cut or padded with zeros (fixed-size name fields).
    TEmfRecord &Utf16Field(const QString &text, int count)
    {
        for (int i = 0; i < count; ++i)
            U16(i < text.size() ? text.at(i).unicode() : 0);
        return *this;
    }
    TEmfRecord &Zeros(int count)
    {
        Bytes_.append(count, '\0');
        return *this;
    }
    TEmfRecord &Append(const QByteArray &bytes)
    {
        Bytes_.append(bytes);
        return *this;
    }
    TEmfRecord &Align4()
    {
        while (Bytes_.size() % 4 != 0)
            Bytes_.append('\0');
        return *this;
    }

    // Bytes written so far, record header included: the offset of the next field.
    qsizetype Size() const { return Bytes_.size(); }

    // The finished record.
    const QByteArray &Take()
    {
        Align4();
        qToLittleEndian(static_cast<std::uint32_t>(Bytes_.size()), Bytes_.data() + 4);
        return Bytes_;
    }

private:
    template <typename T>
    TEmfRecord &Raw(T littleEndian)
    {
        Bytes_.append(reinterpret_cast<const char *>(&littleEndian), sizeof littleEndian);
        return *this;
    }

    QByteArray Bytes_;
};

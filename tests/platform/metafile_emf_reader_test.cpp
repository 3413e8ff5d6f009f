// The test reader of metafiles: the picture tests trust it to notice broken files.
#include "emf_reader.h"
#include "platform/canvas.h"
#include "platform/emf_record.h"
#include "platform/metafile_canvas_device.h"
#include <gtest/gtest.h>

using namespace emf;

namespace {

// A minimal metafile around the given records, with a correct header and end.
QByteArray Assemble(QList<QByteArray> records, bool withEnd = true)
{
    TEmfRecord header(EMR_HEADER);
    header.RectL(0, 0, 9, 9).RectL(0, 0, 264, 264).U32(0x464D4520).U32(0x10000).U32(0).U32(0);
    header.U16(4).U16(0).U32(0).U32(0).U32(0).I32(1920).I32(1440).I32(508).I32(381);
    records.prepend(header.Take());
    TEmfRecord eof(EMR_EOF);
    eof.U32(0).U32(16).U32(20);
    if (withEnd)
        records.append(eof.Take());
    QByteArray bytes = records.join();
    qToLittleEndian(static_cast<std::uint32_t>(bytes.size()), bytes.data() + 48);
    qToLittleEndian(static_cast<std::uint32_t>(records.size()), bytes.data() + 52);
    return bytes;
}

QByteArray Object(std::uint32_t type, std::uint32_t handle)
{
    TEmfRecord record(type);
    record.U32(handle);
    if (type == EMR_CREATEPEN)
        record.U32(0).I32(1).I32(0).U32(0);
    return record.Take();
}

} // namespace

TEST(MetafileEmfReader, FindsEachKindOfBrokenFile)
{
    TCanvas canvas(std::make_unique<TMetafileCanvasDevice>(20, 20));
    canvas.Rectangle(0, 0, 10, 10);
    const QByteArray good = static_cast<TMetafileCanvasDevice *>(canvas.Device())->Finish();
    ASSERT_TRUE(TEmfReader(good).IsValid());

    QByteArray shortFile = good.left(good.size() - 4);
    QByteArray wrongBytes = good;
    qToLittleEndian<std::uint32_t>(good.size() + 4, wrongBytes.data() + 48);
    QByteArray wrongCount = good;
    qToLittleEndian<std::uint32_t>(TEmfReader(good).Records().size() + 1, wrongCount.data() + 52);
    QByteArray oddSize = good;
    qToLittleEndian<std::uint32_t>(106, oddSize.data() + 4);
    QByteArray badSignature = good;
    badSignature[40] = 'X';

    const QByteArray pen1 = Object(EMR_CREATEPEN, 1);
    const QByteArray noEnd = Assemble({pen1}, false);
    struct Broken {
        QByteArray Bytes;
        const char *Reason;
    };
    const Broken broken[] = {
        {shortFile, "runs past the end"},
        {wrongBytes, "nBytes"},
        {wrongCount, "nRecords"},
        {oddSize, "has size 106"},
        {badSignature, "signature"},
        {noEnd, "not EMR_EOF"},
        {Assemble({Object(EMR_CREATEPEN, 4)}), "outside 1..nHandles-1"},
        {Assemble({pen1, pen1}), "over a live one"},
        {Assemble({Object(EMR_SELECTOBJECT, 2)}), "selects missing object 2"},
        {Assemble({pen1, Object(EMR_SELECTOBJECT, 1), Object(EMR_DELETEOBJECT, 1)}), "while it is selected"},
        // The saved state still selects pen 1 although the current one selects pen 2.
        {Assemble({pen1, Object(EMR_SELECTOBJECT, 1), TEmfRecord(EMR_SAVEDC).Take(), Object(EMR_CREATEPEN, 2),
                   Object(EMR_SELECTOBJECT, 2), Object(EMR_DELETEOBJECT, 1)}),
         "deletes object 1 while it is selected"},
        {Assemble({TEmfRecord(EMR_RESTOREDC).I32(-1).Take()}), "never saved"},
    };
    for (const Broken &b : broken) {
        const TEmfReader reader(b.Bytes);
        EXPECT_FALSE(reader.IsValid()) << b.Reason;
        EXPECT_TRUE(reader.Error().contains(QLatin1String(b.Reason))) << reader.Error().toStdString();
    }
}

TEST(MetafileEmfReader, CountsObjectsLeftAtTheEnd)
{
    const QByteArray pen1 = Object(EMR_CREATEPEN, 1);
    const TEmfReader left(Assemble({pen1, Object(EMR_SELECTOBJECT, 1), Object(EMR_SELECTOBJECT, StockObject | 7),
                                    Object(EMR_DELETEOBJECT, 1), Object(EMR_CREATEPEN, 1)}));
    EXPECT_TRUE(left.IsValid()) << left.Error().toStdString();
    EXPECT_EQ(left.ObjectsLeftAtEnd(), 1);
}

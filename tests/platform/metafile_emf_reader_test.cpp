// The test reader of metafiles: the picture tests trust it to notice broken files.
#include "emf_reader.h"
#include "platform/emf_record.h"
#include "platform/metafile_canvas_device.h"
#include <gtest/gtest.h>

using namespace emf;

namespace {

// A minimal metafile with four handle slots around the given records.
QByteArray Assemble(QList<QByteArray> records, bool withEnd = true)
{
    TEmfRecord header(EMR_HEADER);
    header.RectL(0, 0, 9, 9).RectL(0, 0, 264, 264).U32(0x464D4520).U32(0x10000).U32(0).U32(0);
    header.U16(4).U16(0).U32(0).U32(0).U32(0).I32(1920).I32(1440).I32(508).I32(381);
    records.prepend(header.Take());
    if (withEnd)
        records.append(TEmfRecord(EMR_EOF).U32(0).U32(16).U32(20).Take());
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

TEST(MetafileEmfReader, FindsEachKindOfBrokenFileAndCountsObjectsLeft)
{
    TMetafileCanvasDevice device(20, 20);
    const QByteArray good = device.Finish();
    ASSERT_TRUE(TEmfReader(good).IsValid());
    const auto patched = [&](int offset, std::uint32_t value) {
        QByteArray bytes = good;
        qToLittleEndian(value, bytes.data() + offset);
        return bytes;
    };
    const QByteArray pen1 = Object(EMR_CREATEPEN, 1);
    const QByteArray select1 = Object(EMR_SELECTOBJECT, 1);
    const std::pair<QByteArray, const char *> broken[] = {
        {good.left(good.size() - 4), "runs past the end"},
        {patched(48, good.size() + 4), "nBytes"},
        {patched(52, 3), "nRecords"},
        {patched(4, 106), "has size 106"},
        {patched(40, 0x464D4521), "signature"},
        {Assemble({pen1}, false), "not EMR_EOF"},
        {Assemble({Object(EMR_CREATEPEN, 4)}), "outside 1..nHandles-1"},
        {Assemble({pen1, pen1}), "over a live one"},
        {Assemble({Object(EMR_SELECTOBJECT, 2)}), "selects missing object 2"},
        {Assemble({pen1, select1, Object(EMR_DELETEOBJECT, 1)}), "while it is selected"},
        // The saved state still selects pen 1 although the current one selects pen 2.
        {Assemble({pen1, select1, TEmfRecord(EMR_SAVEDC).Take(), Object(EMR_CREATEPEN, 2), Object(EMR_SELECTOBJECT, 2),
                   Object(EMR_DELETEOBJECT, 1)}),
         "deletes object 1 while it is selected"},
        {Assemble({TEmfRecord(EMR_RESTOREDC).I32(-1).Take()}), "never saved"},
    };
    for (const auto &[bytes, reason] : broken) {
        const TEmfReader reader(bytes);
        EXPECT_FALSE(reader.IsValid()) << reason;
        EXPECT_TRUE(reader.Error().contains(QLatin1String(reason))) << reader.Error().toStdString();
    }

    // A stock pen (or the DC pen) takes the place of ours, which may then go.
    for (const std::uint32_t stock : {StockObject | 7, StockObject | 19}) {
        const TEmfReader left(Assemble({pen1, select1, Object(EMR_SELECTOBJECT, stock), Object(EMR_DELETEOBJECT, 1),
                                        Object(EMR_CREATEPEN, 1)}));
        EXPECT_TRUE(left.IsValid()) << left.Error().toStdString();
        EXPECT_EQ(left.ObjectsLeftAtEnd(), 1);
    }
}

// Replays the fuzzing corpus (seeds and the inputs the fuzzer kept for new coverage)
// through the fuzz target itself: each must end normally or in GIFException.
#include "../../fuzz/fuzz_gif_decoder.cpp"

#include "test_data.h"

#include <QDir>
#include <gtest/gtest.h>

TEST(FuzzCorpus, EveryInputEndsNormallyOrInGIFException)
{
    const QDir dir(testDataPath("gif/fuzz-corpus"));
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 20) << "corpus missing at " << dir.path().toStdString();
    for (const QString &name : names) {
        const QByteArray data = readTestFile("gif/fuzz-corpus/" + name);
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(data.constData()),
                                         std::size_t(data.size())), 0);
    }
}

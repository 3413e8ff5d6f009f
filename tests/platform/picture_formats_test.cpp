// The picture registry: kinds replace one of the same extension, and save dialogs list them
// by their place, then all files.
#include "platform/picture_formats.h"
#include <gtest/gtest.h>

TEST(PictureFormats, SaveFilterListsTheKindsInTheirPlaceThenAllFiles)
{
    TPictureFormats::Register({"ZZB", "Second", "TSecond", "Second files", 91});
    TPictureFormats::Register({"ZZA", "First", "TFirst", "First files", 90});
    TPictureFormats::Register({"zza", "First again", "TFirst", "First pictures", 90});
    EXPECT_TRUE(TPictureFormats::SaveFilter().endsWith(
        "|First pictures (*.zza)|*.zza|Second files (*.zzb)|*.zzb|All files (*.*)|*.*"))
        << TPictureFormats::SaveFilter().toStdString();
    TPictureFormats::Unregister("Zzb");
    TPictureFormats::Unregister("ZZA");
    EXPECT_FALSE(TPictureFormats::SaveFilter().contains("zz"));
}

// Inputs the fuzz targets once tripped over, kept so the faults stay fixed. Every file
// in tests/fixtures/fuzz goes through the result loader and, when it loads, through a
// save and a second load that must give the same bytes again.
#include "file/VmErg.h"
#include "io/VmImport.h"
#include "model/VmVorg.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vm {

TEST(FuzzRegression, EveryFindingLoadsOrFailsCleanlyAndSavesBackUnchanged) {
    InstallImporters();
    TMessageCapture quiet;
    const std::filesystem::path dir =
        std::filesystem::path(VELMORA_SOURCE_DIR) / "tests/fixtures/fuzz";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        ++files;
        const std::string bytes = vmtest::ReadFileBytes(entry.path().string());
        // The same bytes as participant imports never fault either.
        for (int preset : {1001, 1002}) {
            auto c = NewCompetition();
            ApplyPreset(*c, preset, 2004);
            TMemoryStream t(bytes), b(bytes);
            ImportText(t, *c);
            ImportBinary(b, *c);
        }
        TMemoryStream in(bytes);
        TWettkampf first;
        if (!ReadResultStream(in, first)) continue;
        TMemoryStream saved;
        WriteNative(saved, first);
        TMemoryStream again(saved.Data());
        TWettkampf second;
        ASSERT_TRUE(ReadResultStream(again, second)) << entry.path();
        TMemoryStream resaved;
        WriteNative(resaved, second);
        EXPECT_TRUE(resaved.Data() == saved.Data()) << entry.path();
    }
    EXPECT_GT(files, 0);
}

} // namespace vm

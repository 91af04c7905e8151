#include "sheet/sheetSettingsFile.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vellora {
namespace {

TEST(SheetSettings, RoundTripKeepsEveryFieldAndAMissingFileChangesNothing) {
    test::TempDir dir;
    DesignSettings written;
    written.tileLinePath = "/lines/glass, blue.tiles";
    written.tileWidthMm = 12.5;
    written.tileHeightMm = 25;
    written.groutMm = 0;
    written.sparePercent = 7.5;
    written.packSize = 250;
    written.paper = Paper::Letter;
    ASSERT_TRUE(writeSheetSettings(dir / "vellora.sheet", written));
    DesignSettings read;
    read.excluded = {3}; // not a sheet field: stays
    std::string error;
    ASSERT_TRUE(readSheetSettings(dir / "vellora.sheet", read, error)) << error;
    EXPECT_EQ(read.tileLinePath, written.tileLinePath);
    EXPECT_EQ(read.tileWidthMm, 12.5);
    EXPECT_EQ(read.tileHeightMm, 25);
    EXPECT_EQ(read.groutMm, 0);
    EXPECT_EQ(read.sparePercent, 7.5);
    EXPECT_EQ(read.packSize, 250);
    EXPECT_EQ(read.paper, Paper::Letter);
    EXPECT_EQ(read.excluded, std::vector<int>{3});

    DesignSettings untouched;
    EXPECT_TRUE(readSheetSettings(dir / "none.sheet", untouched, error));
    EXPECT_EQ(untouched.tileWidthMm, 20);
}

TEST(SheetSettings, ABadLineIsNamedAndNothingChanges) {
    test::TempDir dir;
    std::ofstream(dir / "vellora.sheet") << "# settings\nlater-field=1\nspare=5\npaper=a5\n";
    DesignSettings settings;
    std::string error;
    EXPECT_FALSE(readSheetSettings(dir / "vellora.sheet", settings, error));
    EXPECT_EQ(error, "sheet settings \"" + (dir / "vellora.sheet").string() +
                         "\": line 4: paper needs a4 or letter, got \"a5\"");
    EXPECT_EQ(settings.sparePercent, 10);
    std::ofstream(dir / "vellora.sheet") << "spare=5x\n"; // a number with more after it
    EXPECT_FALSE(readSheetSettings(dir / "vellora.sheet", settings, error));
    EXPECT_NE(error.find("line 1: spare"), std::string::npos) << error;
    EXPECT_FALSE(readSheetSettings(dir.path(), settings, error));
    EXPECT_EQ(error, "sheet settings \"" + dir.path().string() + "\": is not a file");
    EXPECT_EQ(settings.sparePercent, 10);
}

} // namespace
} // namespace vellora

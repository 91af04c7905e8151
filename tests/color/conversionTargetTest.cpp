#include "color/conversionTarget.h"
#include "color/basicColors.h"
#include "color/colorTestImages.h"
#include "color/conversionCode.h"
#include "color/evenPaletteFile.h"
#include "color/paletteFolderGuard.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class ConversionTargetStep : public testing::Test {
  protected:
    ConversionTargetStep() : session(frontend), guard(builtPresetFolder(), folder.path()) {}
    int prepare(int code, const UserPalette* user = nullptr) {
        return prepareConversionTarget(session, target, source, user, record, code);
    }
    TempDir folder;
    RecordingFrontend frontend;
    Session session;
    PaletteFolderGuard guard;
    DibImage source = noiseImage(5, 3, 24, 1, 256);
    DibImage target;
    EvenPaletteRecord record;
};

TEST_F(ConversionTargetStep, DepthColoursAndHeaderForEveryPaletteCode) {
    const struct {
        int code, bits;
        std::uint32_t colors;
    } cases[] = {
        {0, 1, 2},     {1, 4, 4},     {2, 4, 8},     {3, 4, 16},    {4, 8, 32},   {5, 8, 64},
        {6, 8, 128},   {7, 8, 256},   {256, 4, 16},  {257, 8, 147}, {512, 1, 2},  {513, 1, 2},
        {514, 1, 2},   {515, 4, 16},  {516, 8, 32},  {517, 8, 48},  {518, 8, 60}, {519, 8, 96},
        {520, 8, 140}, {521, 8, 216}, {522, 8, 240}, {768, 24, 0},  {769, 32, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_EQ(prepare(c.code), 0);
        EXPECT_EQ(target.bitsPerPixel, c.bits);
        EXPECT_EQ(target.colorsUsed, c.colors);
        EXPECT_EQ(target.width, 5);
        EXPECT_EQ(target.height, 3);
        EXPECT_EQ(readLe32(target.data.data() + 46), c.colors);
        EXPECT_EQ(readLe16(target.data.data() + 28), c.bits);
        EXPECT_EQ(target.data.size(), target.fileSize);
    }
    EXPECT_TRUE(frontend.messages.empty());
}

TEST_F(ConversionTargetStep, PresetPalettesAndTheirRecord) {
    ASSERT_EQ(prepare(257), 0);
    const Bytes extended = basicPaletteFileBytes(extendedColorKeywords());
    EXPECT_EQ(Bytes(target.paletteEntry(0), target.paletteEntry(147)), extended);
    ASSERT_EQ(prepare(512), 0);
    EXPECT_EQ(Bytes(target.paletteEntry(0), target.paletteEntry(2)),
              (Bytes{16, 16, 0, 0, 16, 16, 255, 0}));
    EXPECT_EQ(record.colorCount, 2u);
    EXPECT_EQ(record.divisions[2], 2);
}

TEST_F(ConversionTargetStep, UserPaletteDepthFollowsItsColourCount) {
    const struct {
        std::uint32_t colors;
        int bits;
    } cases[] = {{1, 1}, {2, 1}, {3, 4}, {16, 4}, {17, 8}, {256, 8}};
    for (const auto& c : cases) {
        UserPalette user;
        for (std::size_t i = 0; i < user.buffer.size(); ++i)
            user.buffer[i] = std::uint8_t(i);
        user.record.colorCount = c.colors;
        ASSERT_EQ(prepare(kCodeUserCsv, &user), 0) << c.colors;
        EXPECT_EQ(target.bitsPerPixel, c.bits) << c.colors;
        EXPECT_EQ(target.colorsUsed, c.colors);
        // Only the colours in use are copied; the rest of the table stays zero.
        EXPECT_EQ(Bytes(target.paletteEntry(0), target.paletteEntry(int(c.colors))),
                  Bytes(user.buffer.begin(), user.buffer.begin() + 4 * c.colors));
        if (c.colors < target.paletteEntries) {
            EXPECT_EQ(target.paletteEntry(int(c.colors))[0], 0);
        }
        EXPECT_EQ(record.colorCount, c.colors);
    }
}

TEST_F(ConversionTargetStep, FailuresReleaseTheTarget) {
    UserPalette empty; // count 0
    const struct {
        const char* what;
        int code;
        const UserPalette* user;
        std::string message;
        std::filesystem::path presets;
    } cases[] = {
        {"code outside the table", 8, nullptr, "illegal color conversion code",
         builtPresetFolder()},
        {"class 5", 1280, nullptr, "illegal color conversion code", builtPresetFolder()},
        {"user code without a palette", kCodeUserEven, nullptr, "illegal color conversion code",
         builtPresetFolder()},
        {"user palette of no colours", kCodeUserCsv, &empty, "illegal color conversion code",
         builtPresetFolder()},
        {"missing basic preset", 256, nullptr, "failed to open the file", folder.path()},
        {"missing even preset", 521, nullptr, "failed to open the file", folder.path()},
    };
    for (const auto& c : cases) {
        PaletteFolderGuard presets(c.presets, folder.path());
        frontend.clear();
        target = noiseImage(2, 2, 24, 1, 256);
        EXPECT_EQ(prepare(c.code, c.user), 1) << c.what;
        EXPECT_TRUE(target.data.empty()) << c.what;
        EXPECT_EQ(frontend.withoutCauses(), (std::vector<Message>{{"error", c.message}})) << c.what;
    }
}

} // namespace
} // namespace vellora::test

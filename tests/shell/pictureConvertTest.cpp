// The encoder chosen by extension and the all-or-nothing picture write.
#include "shell/pictureConvert.h"
#include "imageio/pictureLibrary.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

struct ExtensionCase {
    std::string destination;
    std::string mime;
};

class EncoderChoice : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(EncoderChoice, ExactLowerCaseExtensionsOnly) {
    EXPECT_EQ(encoderMimeType(GetParam().destination), GetParam().mime);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EncoderChoice,
    ::testing::Values(ExtensionCase{"/p/a.bmp", "image/bmp"}, ExtensionCase{"a.dib", "image/bmp"},
                      ExtensionCase{"a.jpg", "image/jpeg"}, ExtensionCase{"a.jpeg", "image/jpeg"},
                      ExtensionCase{"a.gif", "image/gif"}, ExtensionCase{"a.png", "image/png"},
                      ExtensionCase{"a.tiff", "image/tiff"}, ExtensionCase{"a.JPG", ""},
                      ExtensionCase{"a.Png", ""}, ExtensionCase{"a.tif", ""},
                      ExtensionCase{"a.png.txt", ""}, ExtensionCase{"a.", ""},
                      ExtensionCase{"noExtension", ""}, ExtensionCase{"/dir.png/file", ""},
                      ExtensionCase{"", ""}));

TEST(PicturePath, LimitIs259Characters) {
    EXPECT_TRUE(isUsablePicturePath(std::string(259, 'a')));
    EXPECT_FALSE(isUsablePicturePath(std::string(260, 'a')));
    EXPECT_FALSE(isUsablePicturePath(""));
}

TEST(ConvertPicture, FailureLeavesAnExistingDestinationAsItWas) {
    TempDir folder;
    const fs::path destination = folder / "out.png";
    writeFileBytes(destination, {'o', 'l', 'd'});
    writeFileBytes(folder / "broken.bmp", {'B', 'M', 0, 0});
    std::string reason;
    EXPECT_EQ(
        convertPicture(destination.string(), (folder / "broken.bmp").string(), 24, 90, &reason), 1);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(readFileBytes(destination), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);
}

TEST(ConvertPicture, UnknownEncoderOrMissingSourceFail) {
    TempDir folder;
    const DibImage image = makeTrueColorImage(2, 2, [](int, int) { return 0x102030; });
    const fs::path source = folder / "in.bmp";
    std::string error;
    ASSERT_TRUE(imageio::savePicture(source, image, "image/bmp", 100, 24, error)) << error;
    std::string reason;
    EXPECT_EQ(convertPicture((folder / "out.TIFF").string(), source.string(), 24, 90, &reason), 1);
    EXPECT_EQ(convertPicture((folder / "out.png").string(), (folder / "none.bmp").string(), 24, 90,
                             &reason),
              1);
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(fs::exists(folder / "out.TIFF"));
    EXPECT_FALSE(fs::exists(folder / "out.png"));
    EXPECT_EQ(convertPicture((folder / "out.png").string(), source.string(), 24, 90), 0);
    DibImage back;
    ASSERT_TRUE(imageio::loadPicture(folder / "out.png", back, error)) << error;
    EXPECT_EQ(rgbAt(back, 1, 1), 0x102030u);
}

} // namespace
} // namespace vellora::test

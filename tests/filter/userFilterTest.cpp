#include "filter/userFilter.h"
#include "core/intermediateFiles.h"
#include "core/parameterBlock.h"
#include "filterReference.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vellora {
namespace {

using test::gray;
using test::rgbAt;

class UserFilter : public ::testing::Test {
  protected:
    test::RecordingFrontend frontend;
    Session session{frontend};
    ParameterBlock settings = defaultParameterBlock();

    void clearGrid() {
        std::fill(std::begin(settings.userFilterMask), std::end(settings.userFilterMask), 0);
    }

    DibImage run(const DibImage& picture) {
        test::setCurrentPicture(session, picture);
        EXPECT_EQ(nextIntermediatePath(session, session.nextPath), 0);
        EXPECT_EQ(userFilterImage(session, settings), 0);
        EXPECT_TRUE(session.sourceImage.data.empty());
        EXPECT_TRUE(session.targetImage.data.empty());
        return test::readImage(session.nextPath);
    }
};

TEST_F(UserFilter, DefaultSettingsGiveThePictureBackAsTrueColour) {
    const DibImage source = test::randomPicture(11, 7, 8, 4);
    const DibImage result = run(source);
    EXPECT_EQ(result.bitsPerPixel, 24);
    EXPECT_TRUE(test::samePixels(source, result));
}

TEST_F(UserFilter, SmallSizeIgnoresTheOuterRing) {
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 5; ++column)
            if (row == 0 || row == 4 || column == 0 || column == 4)
                settings.userFilterMask[5 * row + column] = 9;
    const DibImage source = test::randomPicture(6, 6, 24, 8);
    EXPECT_TRUE(test::samePixels(source, run(source)));
}

TEST_F(UserFilter, TopCentreCellIsOutsideTheSmallMask) {
    clearGrid();
    settings.userFilterMask[2] = 1;
    const DibImage result = run(test::randomPicture(5, 6, 24, 9));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(rgbAt(result, x, y), 0u);
}

TEST_F(UserFilter, TopCentreCellOfTheLargeMaskReadsTwoRowsBefore) {
    clearGrid();
    settings.userFilterMask[2] = 1;
    settings.userFilterSizeIndex = 1;
    const DibImage source = test::randomPicture(5, 6, 24, 10);
    const DibImage result = run(source);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(rgbAt(result, x, y), rgbAt(source, x, std::max(0, y - 2))) << x << "," << y;
}

TEST_F(UserFilter, DivisorZeroLeavesSumsUndivided) {
    clearGrid();
    for (int row = 1; row <= 3; ++row)
        for (int column = 1; column <= 3; ++column)
            settings.userFilterMask[5 * row + column] = 1;
    settings.userFilterValue = 0;
    const DibImage source =
        test::makeTrueColorImage(6, 3, [](int x, int) { return gray(x < 3 ? 20 : 30); });
    const DibImage result = run(source);
    EXPECT_EQ(rgbAt(result, 0, 1), gray(180)); // nine times 20
    EXPECT_EQ(rgbAt(result, 5, 1), gray(255)); // nine times 30 = 270, clamped
    EXPECT_EQ(rgbAt(result, 3, 1), gray(240)); // 3 x 20 + 6 x 30
}

TEST_F(UserFilter, NegativeDivisorTurnsEverythingBlack) {
    settings.userFilterValue = -1;
    const DibImage result = run(test::randomPicture(7, 4, 24, 12));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(rgbAt(result, x, y), 0u);
}

TEST_F(UserFilter, AnyCellsAndDivisorMatchThePlainFilter) {
    const int grids[][25] = {
        {1,  -2, 3,   -4, 5,  6,  -7,  8,  -9, 10, 11, 12, -13,
         14, 15, -16, 17, 18, 19, -20, 21, 22, 23, 24, -25},
        {2000000000, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,          1,
         0,          0,  0, 0, 0, 0, 0, 0, 0, 0, 0, -2000000000},
        {0, 0, 0, 0, 0, 0, 3, 1, 3, 0, 0, 1, 7, 1, 0, 0, 3, 1, 3, 0, 0, 0, 0, 0, 0},
    };
    for (const auto& grid : grids)
        for (int sizeIndex : {0, 1})
            for (int k : {7, -3, 0, 1, 64, 2147483647}) {
                std::copy(std::begin(grid), std::end(grid), settings.userFilterMask);
                settings.userFilterSizeIndex = std::uint32_t(sizeIndex);
                settings.userFilterValue = k;
                FilterMask mask;
                ASSERT_TRUE(makeUserMask(mask, grid, sizeIndex, k));
                const DibImage source = test::randomPicture(9, 8, 24, unsigned(k) + unsigned(sizeIndex));
                ASSERT_TRUE(test::samePixels(test::referenceConvolve(source, mask), run(source)))
                    << "k " << k << " size " << sizeIndex;
            }
}

TEST(UserMask, CentreBlockOfTheGrid) {
    int grid[25];
    for (int q = 0; q < 25; ++q)
        grid[q] = q;
    FilterMask mask;
    ASSERT_TRUE(makeUserMask(mask, grid, 0, 5));
    EXPECT_EQ(mask.size, 3);
    EXPECT_EQ(mask.half, 1);
    EXPECT_EQ(mask.k, 5);
    EXPECT_EQ(std::vector<double>(mask.coefficients.begin(), mask.coefficients.begin() + 9),
              (std::vector<double>{6, 7, 8, 11, 12, 13, 16, 17, 18}));
    ASSERT_TRUE(makeUserMask(mask, grid, 1, -2));
    EXPECT_EQ(mask.size, 5);
    EXPECT_EQ(mask.coefficients[24], 24);
    EXPECT_FALSE(makeUserMask(mask, grid, 2, 1));
    EXPECT_EQ(mask.size, 5);
}

TEST_F(UserFilter, SizeIndexOutsideTheListFails) {
    settings.userFilterSizeIndex = 2;
    test::setCurrentPicture(session, test::randomPicture(3, 3, 24, 1));
    EXPECT_EQ(nextIntermediatePath(session, session.nextPath), 0);
    EXPECT_EQ(userFilterImage(session, settings), 1);
    EXPECT_FALSE(std::filesystem::exists(session.nextPath));
}

} // namespace
} // namespace vellora

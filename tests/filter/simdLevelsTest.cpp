// The filters with vector kernels give the same bytes at every vector level, and on one thread
// as on two.
#include "support/simdLevels.h"
#include "filter/convolve.h"
#include "filter/deNoise.h"
#include "filter/edgeMask.h"
#include "filterReference.h"

#include <cstdlib>

namespace vellora {
namespace {

// Convolution summed in float and (fractions no float sum holds) in double, every de-noise
// window and every edge-preserving criterion.
std::vector<test::Pass> passes() {
    double fractions[25];
    for (int i = 0; i < 25; ++i)
        fractions[i] = 0.1 * (i % 7) - 0.25;
    FilterMask masks[5];
    EXPECT_TRUE(makeMask(masks[0], 0, 0) && makeMask(masks[1], 0, 2) && makeMask(masks[2], 1, 1) &&
                makeEdgeMask(masks[3], 1, 8));
    setMaskCoefficients(masks[4], 5, 3.7, fractions);
    std::vector<test::Pass> list;
    for (const FilterMask& m : masks)
        list.push_back(
            [=](Session& s, DibImage& t, const DibImage& src) { convolve(s, t, src, m); });
    for (int n : {3, 5, 7})
        list.push_back(
            [=](Session& s, DibImage& t, const DibImage& src) { deNoisePass(s, t, src, n); });
    for (int c : {0, 1, 2})
        list.push_back([=](Session& s, DibImage& t, const DibImage& src) {
            edgePreservingPass(s, t, src, c);
        });
    return list;
}

// 37 columns leave a remainder after every vector width; 97 rows are split into bands.
TEST(FilterPasses, SameBytesAtEveryLevelAndOnOneThreadAsOnTwo) {
    const DibImage source = test::randomPicture(37, 97, 24, 99, 6);
    const std::vector<test::Pass> list = passes();
    for (std::size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(i);
        test::expectSameAtEveryLevel([&] { return test::runPass(source, list[i]).data; });
        setenv("VELLORA_THREADS", "1", 1);
        const PictureBytes one = test::runPass(source, list[i]).data;
        setenv("VELLORA_THREADS", "2", 1);
        EXPECT_EQ(one, test::runPass(source, list[i]).data);
        unsetenv("VELLORA_THREADS");
    }
}

} // namespace
} // namespace vellora

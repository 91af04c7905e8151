// The filters with vector kernels give the same bytes at every vector level, and on one thread
// as on two.
#include "filter/convolve.h"
#include "filter/deNoise.h"
#include "filter/edgeMask.h"
#include "filterReference.h"
#include "support/simdLevels.h"

#include <cstdlib>

namespace vellora {
namespace {

struct PassCase {
    const char* name;
    test::Pass pass;
};

test::Pass convolveWith(int family, int index, bool edge = false) {
    FilterMask mask;
    EXPECT_TRUE(edge ? makeEdgeMask(mask, family, index) : makeMask(mask, family, index));
    return [=](Session& s, DibImage& t, const DibImage& src) { convolve(s, t, src, mask); };
}

// Coefficients no float sum holds exactly, so the rows are summed in double.
test::Pass fractional() {
    double coefficients[25];
    for (int i = 0; i < 25; ++i)
        coefficients[i] = 0.1 * (i % 7) - 0.25;
    FilterMask mask;
    setMaskCoefficients(mask, 5, 3.7, coefficients);
    return [=](Session& s, DibImage& t, const DibImage& src) { convolve(s, t, src, mask); };
}

test::Pass deNoiseOf(int size) {
    return [=](Session& s, DibImage& t, const DibImage& src) { deNoisePass(s, t, src, size); };
}

test::Pass edgePreservingBy(int criterion) {
    return [=](Session& s, DibImage& t, const DibImage& src) {
        edgePreservingPass(s, t, src, criterion);
    };
}

std::vector<PassCase> passes() {
    return {
    {"gaussian3", convolveWith(0, 0)}, {"gaussian7", convolveWith(0, 2)},
    {"highPass", convolveWith(1, 1)},  {"ripple", convolveWith(1, 8, true)},
    {"fractional", fractional()},      {"deNoise3", deNoiseOf(3)},
    {"deNoise5", deNoiseOf(5)},        {"deNoise7", deNoiseOf(7)},
    {"range", edgePreservingBy(0)},    {"variance", edgePreservingBy(1)},
    {"deviation", edgePreservingBy(2)},
    };
}

// 37 columns leave a remainder after every vector width.
TEST(FilterPasses, SameBytesAtEveryLevel) {
    const DibImage source = test::randomPicture(37, 23, 24, 3);
    for (const PassCase& c : passes()) {
        SCOPED_TRACE(c.name);
        test::expectSameAtEveryLevel([&] { return test::runPass(source, c.pass).data; });
    }
}

// A picture tall enough to be split into bands.
TEST(FilterPasses, SameBytesOnOneThreadAndOnTwo) {
    const DibImage source = test::randomPicture(45, 97, 24, 99, 6);
    for (const PassCase& c : passes()) {
        setenv("VELLORA_THREADS", "1", 1);
        const PictureBytes one = test::runPass(source, c.pass).data;
        setenv("VELLORA_THREADS", "2", 1);
        EXPECT_EQ(one, test::runPass(source, c.pass).data) << c.name;
    }
    unsetenv("VELLORA_THREADS");
}

} // namespace
} // namespace vellora

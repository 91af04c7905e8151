// The filters with vector kernels give the same bytes at every level.
#include "support/simdLevels.h"
#include "filter/convolve.h"
#include "filter/deNoise.h"
#include "filter/edgePreserving.h"
#include "filterReference.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace vellora::test {
namespace {

using Pass = std::function<void(Session&, DibImage&, const DibImage&)>;

struct PassCase {
    const char* name;
    Pass pass;
};

void PrintTo(const PassCase& c, std::ostream* out) {
    *out << c.name;
}

class FilterAtEveryLevel : public ::testing::TestWithParam<PassCase> {};

// 37 columns leave a remainder after every vector width.
TEST_P(FilterAtEveryLevel, SameBytesAsTheBaseline) {
    const DibImage source = randomPicture(37, 23, 24, 3);
    expectSameAtEveryLevel([&] { return runPass(source, GetParam().pass).data; });
}

Pass convolveWith(const FilterMask& mask) {
    return [=](Session& s, DibImage& target, const DibImage& source) {
        EXPECT_EQ(convolve(s, target, source, mask), 0);
    };
}

FilterMask fixedMask(int family, int index) {
    FilterMask mask;
    EXPECT_TRUE(makeMask(mask, family, index));
    return mask;
}

// Coefficients no float sum holds exactly, so the rows are summed in double.
FilterMask fractionalMask() {
    double coefficients[25];
    for (int i = 0; i < 25; ++i)
        coefficients[i] = 0.1 * (i % 7) - 0.25;
    FilterMask mask;
    setMaskCoefficients(mask, 5, 3.7, coefficients);
    return mask;
}

Pass deNoiseOf(int size) {
    return [=](Session& s, DibImage& target, const DibImage& source) {
        deNoisePass(s, target, source, size);
    };
}

Pass edgePreservingBy(int criterion) {
    return [=](Session& s, DibImage& target, const DibImage& source) {
        edgePreservingPass(s, target, source, criterion);
    };
}

INSTANTIATE_TEST_SUITE_P(Passes, FilterAtEveryLevel,
                         ::testing::Values(PassCase{"gaussian3", convolveWith(fixedMask(0, 0))},
                                           PassCase{"gaussian7", convolveWith(fixedMask(0, 2))},
                                           PassCase{"highPass", convolveWith(fixedMask(1, 1))},
                                           PassCase{"fractional", convolveWith(fractionalMask())},
                                           PassCase{"deNoise3", deNoiseOf(3)},
                                           PassCase{"deNoise7", deNoiseOf(7)},
                                           PassCase{"range", edgePreservingBy(0)},
                                           PassCase{"variance", edgePreservingBy(1)},
                                           PassCase{"deviation", edgePreservingBy(2)}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vellora::test

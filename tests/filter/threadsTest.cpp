// Results never depend on the number of threads: every filter once on one thread and once on
// two, on a picture tall enough to be split into bands.
#include "filter/convolve.h"
#include "filter/deNoise.h"
#include "filter/edgeMask.h"
#include "filter/edgePreserving.h"
#include "filterReference.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace vellora {
namespace {

using Pass = std::function<void(Session&, DibImage&, const DibImage&)>;

class ThreadCount : public ::testing::Test {
  protected:
    void TearDown() override { unsetenv("VELLORA_THREADS"); }

    DibImage runWith(const char* threads, const DibImage& source, const Pass& pass) {
        setenv("VELLORA_THREADS", threads, 1);
        return test::runPass(source, pass);
    }

    void expectSameOnOneAndTwo(const Pass& pass) {
        const DibImage source = test::randomPicture(45, 97, 24, 99, 6);
        const DibImage one = runWith("1", source, pass);
        const DibImage two = runWith("2", source, pass);
        EXPECT_EQ(one.data, two.data);
    }
};

TEST_F(ThreadCount, Convolution) {
    FilterMask gaussian;
    makeMask(gaussian, kSmoothingFamily, 2);
    FilterMask ripple;
    makeEdgeMask(ripple, kNonDirectionFamily, 8);
    for (const FilterMask* mask : {&gaussian, &ripple})
        expectSameOnOneAndTwo(
            [&](Session& s, DibImage& t, const DibImage& src) { convolve(s, t, src, *mask); });
}

TEST_F(ThreadCount, EdgePreserving) {
    for (int criterion : {0, 1, 2})
        expectSameOnOneAndTwo([&](Session& s, DibImage& t, const DibImage& src) {
            edgePreservingPass(s, t, src, criterion);
        });
}

TEST_F(ThreadCount, DeNoise) {
    for (int size : {3, 5, 7})
        expectSameOnOneAndTwo(
            [&](Session& s, DibImage& t, const DibImage& src) { deNoisePass(s, t, src, size); });
}

} // namespace
} // namespace vellora

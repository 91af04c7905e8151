#include "core/progress.h"
#include "support/recordingFrontend.h"

#include <gtest/gtest.h>

namespace vellora {
namespace {

struct ProgressCase {
    double units;
    int advances;
    int position;
};

class ProgressPosition : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(ProgressPosition, ShowsTheTruncatedPercentage) {
    const ProgressCase c = GetParam();
    test::RecordingFrontend frontend;
    Session session(frontend);
    progressBegin(session, c.units);
    for (int i = 0; i < c.advances; ++i) progressAdvance(session);
    ASSERT_FALSE(frontend.progressPositions.empty());
    EXPECT_EQ(frontend.progressPositions.back(), c.position);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressPosition,
                         ::testing::Values(ProgressCase{200, 100, 50}, ProgressCase{200, 200, 100},
                                           ProgressCase{200, 1, 0}, ProgressCase{200, 3, 1},
                                           ProgressCase{3, 1, 33}, ProgressCase{3, 2, 66},
                                           ProgressCase{3, 3, 100}, ProgressCase{7, 1, 14},
                                           ProgressCase{1, 1, 100}));

TEST(Progress, PositionsOnlyRise) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    progressBegin(session, 200);
    for (int i = 0; i < 200; ++i) progressAdvance(session);
    const auto& p = frontend.progressPositions;
    for (std::size_t i = 1; i < p.size(); ++i) ASSERT_LT(p[i - 1], p[i]);
    EXPECT_EQ(p.front(), 0);
    EXPECT_EQ(p.back(), 100);
}

TEST(Progress, AdvanceByCountsLikeSingleSteps) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    progressBegin(session, 200);
    progressAdvanceBy(session, 100);
    EXPECT_EQ(frontend.progressPositions.back(), 50);
    EXPECT_EQ(session.progress.progressNow, 100.0);
    progressAdvanceBy(session, 100);
    EXPECT_EQ(frontend.progressPositions.back(), 100);
}

TEST(Progress, BeginRestartsTheCount) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    progressBegin(session, 4);
    for (int i = 0; i < 4; ++i) progressAdvance(session);
    progressBegin(session, 2);
    progressAdvance(session);
    EXPECT_EQ(frontend.progressPositions.back(), 50);
}

struct StatusCase {
    int flag;
    int state;
    const char* text;
};

class StatusText : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusText, NeedsTheFlagAndALaidOutPicture) {
    const StatusCase c = GetParam();
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.currentInfo.width = 640;
    session.currentInfo.height = 480;
    session.currentInfo.bitsPerPixel = 8;
    session.currentInfo.state = c.state;
    updateStatusText(session, c.flag);
    EXPECT_EQ(frontend.statusTexts, std::vector<std::string>{c.text});
}

constexpr const char* kShown = "    width x height : 640 x 480, bits per pixel : 8";

INSTANTIATE_TEST_SUITE_P(Cases, StatusText,
                         ::testing::Values(StatusCase{1, 514, kShown}, StatusCase{1, 258, kShown},
                                           StatusCase{1, 1026, kShown}, StatusCase{1, 2, ""},
                                           StatusCase{1, 1, ""}, StatusCase{0, 514, ""}));

} // namespace
} // namespace vellora

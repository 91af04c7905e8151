#include "core/history.h"
#include "support/recordingFrontend.h"

#include <gtest/gtest.h>

namespace vellora {
namespace {

std::string stepName(int i) { return "step" + std::to_string(i); }

// Runs n successful operations: step0 is the opened picture, step i the i-th result.
void runOperations(Session& session, int n) {
    if (session.currentPath.empty()) session.currentPath = stepName(0);
    const int done = std::stoi(session.currentPath.substr(4));
    for (int i = done + 1; i <= done + n; ++i) {
        session.nextPath = stepName(i);
        pushHistory(session);
    }
}

struct RingCase {
    int pushes;
    int depth, wraps;
};

class HistoryRing : public ::testing::TestWithParam<RingCase> {};

TEST_P(HistoryRing, DepthAndWrapsAfterPushes) {
    const RingCase c = GetParam();
    test::RecordingFrontend frontend;
    Session session(frontend);
    runOperations(session, c.pushes);
    EXPECT_EQ(session.history.historyDepth, c.depth);
    EXPECT_EQ(session.history.historyWraps, c.wraps);
    EXPECT_EQ(session.currentPath, stepName(c.pushes));
    EXPECT_EQ(session.modified(), c.pushes > 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, HistoryRing,
                         ::testing::Values(RingCase{0, 0, 0}, RingCase{1, 1, 0},
                                           RingCase{98, 98, 0}, RingCase{99, 99, 0},
                                           RingCase{100, 1, 1}, RingCase{101, 2, 1},
                                           RingCase{198, 99, 1}, RingCase{199, 1, 2}));

TEST(History, UndoWalksBackThroughTheSteps) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    runOperations(session, 3);
    EXPECT_EQ(session.history.historyPaths[1], stepName(0));
    EXPECT_EQ(session.history.historyPaths[3], stepName(2));
    for (int expected = 2; expected >= 0; --expected) {
        ASSERT_TRUE(undo(session));
        EXPECT_EQ(session.currentPath, stepName(expected));
        EXPECT_EQ(session.history.historyDepth, expected);
    }
    EXPECT_FALSE(session.modified());
}

TEST(History, UndoAtDepthZeroChangesNothing) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.currentPath = "current";
    EXPECT_FALSE(undo(session));
    EXPECT_EQ(session.currentPath, "current");
    EXPECT_EQ(session.history.historyDepth, 0);
    EXPECT_EQ(session.history.historyWraps, 0);
}

TEST(History, UndoAfterAWrapGoesBackToSlot99) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    runOperations(session, 100);
    ASSERT_TRUE(undo(session));
    EXPECT_EQ(session.currentPath, stepName(99)); // stored in slot 1 by the 100th push
    EXPECT_EQ(session.history.historyDepth, 99);
    EXPECT_EQ(session.history.historyWraps, 0);
    ASSERT_TRUE(undo(session));
    EXPECT_EQ(session.currentPath, stepName(98));
    EXPECT_EQ(session.history.historyDepth, 98);
}

TEST(History, ClearForgetsEveryStep) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    runOperations(session, 120);
    clearHistory(session);
    EXPECT_FALSE(session.modified());
    EXPECT_FALSE(undo(session));
    EXPECT_EQ(session.currentPath, stepName(120));
}

} // namespace
} // namespace vellora

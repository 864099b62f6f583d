// The barrier between the phases of the density pass: two barriers used in turn,
// the step of the last to arrive seen by all before they go on.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "barrier.h"

namespace {

TEST(Barrier, TwoBarriersInTurnKeepEveryThreadInStep) {
    for (const int threads : {1, 2, 4}) {
        SCOPED_TRACE(threads);
        constexpr int kRounds = 2000;
        std::atomic<int> arrived{0};
        int phases = 0;
        bool inStep = true;
        orlex::TBarrier first(threads, orlex::TNoCompletion{});
        orlex::TBarrier second(threads, [&]() noexcept {
            // Every thread has passed the first barrier of this round, none the next.
            inStep = inStep && arrived.load() == (phases + 1) * threads;
            ++phases;
        });
        const auto work = [&](int) {
            for (int round = 0; round < kRounds; ++round) {
                arrived.fetch_add(1);
                first.arrive_and_wait();
                second.arrive_and_wait();
            }
        };
        {
            std::vector<std::jthread> helpers;
            for (int t = 1; t < threads; ++t) helpers.emplace_back(work, t);
            work(0);
        }
        EXPECT_EQ(phases, kRounds);
        EXPECT_TRUE(inStep);
    }
}

}  // namespace

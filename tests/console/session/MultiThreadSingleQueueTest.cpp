// The queue between the session's threads: every value comes out once, in order,
// and the count never runs ahead of or behind what Pop can hand out.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

#include "console/session/MultiThreadSingleQueue.h"

namespace {

TEST(MultiThreadSingleQueueTest, ValuesComeOutOnceInOrderAndClearCountsThem) {
  CMultiThreadSingleQueue<std::string> queue;
  std::string value;
  EXPECT_FALSE(queue.Pop(value));
  queue.Push("a");
  queue.Push("b");
  queue.Push("c");
  EXPECT_EQ(queue.Count(), 3u);
  ASSERT_TRUE(queue.Pop(value));
  EXPECT_EQ(value, "a");
  EXPECT_EQ(queue.Clear(), 2u);
  EXPECT_EQ(queue.Count(), 0u);
  EXPECT_FALSE(queue.Pop(value));
}

TEST(MultiThreadSingleQueueTest, CountStaysWithinWhatIsQueuedWhileThreadsPushAndPop) {
  // Two threads each push one value and take one back, over and over: at most
  // two values are ever queued, and never fewer than none.
  CMultiThreadSingleQueue<int> queue;
  constexpr int kRounds = 20000;
  std::atomic<int> finished{0};
  std::atomic<long> taken{0};
  auto pushAndPop = [&] {
    for (int i = 0; i < kRounds; ++i) {
      queue.Push(i);
      int value;
      while (!queue.Pop(value)) std::this_thread::yield();
      ++taken;
    }
    ++finished;
  };
  std::thread first(pushAndPop);
  std::thread second(pushAndPop);
  long lowest = 0;
  long highest = 0;
  while (finished < 2) {
    const long count = static_cast<long>(queue.Count());
    lowest = std::min(lowest, count);
    highest = std::max(highest, count);
  }
  first.join();
  second.join();
  EXPECT_EQ(lowest, 0);
  EXPECT_LE(highest, 2);
  EXPECT_EQ(taken, 2L * kRounds);
  EXPECT_EQ(queue.Count(), 0u);
}

}  // namespace

// Work off the GUI thread: the loop goes on (timers, painting) while it runs, its end runs on
// the GUI thread once posted, a second start waits its turn, a failure comes out of the loop as
// a handler's does, and work destroyed before its end is posted is waited for and never ends.
#include "form/background_work.h"

#include <latch>
#include <stdexcept>
#include <thread>

#include "form/form_timer.h"
#include "headless_fixture.h"

namespace tolmeo::testing {
namespace {

class BackgroundWorkTest : public HeadlessTest {
 protected:
  std::latch release{1};
  std::thread::id gui = std::this_thread::get_id();
};

TEST_F(BackgroundWorkTest, TheLoopGoesOnWhileTheWorkRunsAndItsEndRunsOnTheGuiThread) {
  BackgroundWork background;
  int ticks = 0;
  FormTimer timer("tick_Timer", [&] { ++ticks; }, 100);
  timer.SetEnabled(true);
  std::thread::id worker;
  std::thread::id ended_on;
  int result = 0;
  ASSERT_TRUE(background.Start(
      [&] {
        worker = std::this_thread::get_id();
        release.wait();
        result = 42;
      },
      [&] { ended_on = std::this_thread::get_id(); }));
  EXPECT_FALSE(background.Start([] {}, [] {}));  // one at a time
  Advance(100);
  Advance(100);
  EXPECT_EQ(ticks, 2);
  EXPECT_TRUE(background.running());
  EXPECT_EQ(ended_on, std::thread::id());
  release.count_down();
  screen->WaitForWake();
  Pump();
  EXPECT_FALSE(background.running());
  EXPECT_EQ(ended_on, gui);
  EXPECT_NE(worker, gui);
  EXPECT_EQ(result, 42);
  EXPECT_TRUE(background.Start([] {}, [] {}));  // its turn now
  screen->WaitForWake();
  Pump();
}

// Run waits for input with nothing else to do; the posted end still reaches it.
TEST_F(BackgroundWorkTest, AWaitingLoopWakesForTheEnd) {
  BackgroundWork background;
  bool ended = false;
  background.Start([&] { release.wait(); }, [&] {
    ended = true;
    app->Terminate();
  });
  screen->on_wait = [&] {
    release.count_down();
    screen->WaitForWake();
    screen->on_wait = nullptr;
  };
  app->Run();
  EXPECT_TRUE(ended);
  EXPECT_TRUE(screen->error_messages.empty());
}

TEST_F(BackgroundWorkTest, AFailureOfTheWorkLeavesTheLoopAsAHandlersDoes) {
  BackgroundWork background;
  background.Start([] { throw std::runtime_error("no port"); }, [] { ADD_FAILURE() << "ended"; });
  screen->WaitForWake();
  EXPECT_THROW(Pump(), EscapedException);
  ASSERT_EQ(screen->error_messages.size(), 1u);
  EXPECT_NE(screen->error_messages[0].find("no port"), std::string::npos);
  EXPECT_FALSE(background.running());
}

TEST_F(BackgroundWorkTest, WorkGoneBeforeItsEndIsWaitedForAndNeverEnds) {
  bool worked = false;
  bool ended = false;
  {
    BackgroundWork background;
    background.Start([&] {
      release.wait();
      worked = true;
    }, [&] { ended = true; });
    release.count_down();
  }
  EXPECT_TRUE(worked);  // the destructor waited for it
  Pump();
  EXPECT_FALSE(ended);
}

}  // namespace
}  // namespace tolmeo::testing

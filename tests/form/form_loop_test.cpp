// The message loop: timers on the virtual clock, pending messages run once, modal showing that
// blocks its caller while timers and painting go on, closing and quitting.
#include <algorithm>
#include <stdexcept>

#include "base/cp949.h"
#include "form/form_timer.h"
#include "headless_fixture.h"

namespace tolmeo::testing {
namespace {

class FormLoopTest : public HeadlessTest {};

TEST_F(FormLoopTest, ATimerFiresWhenItsIntervalHasPassedAndOnceForALateLoop) {
  int ticks = 0;
  FormTimer timer("caret_Timer", [&] { ++ticks; }, 250);
  timer.SetEnabled(true);
  Advance(249);
  EXPECT_EQ(ticks, 0);
  Advance(1);
  EXPECT_EQ(ticks, 1);
  Advance(1000);
  EXPECT_EQ(ticks, 2);
  timer.SetEnabled(false);
  Advance(1000);
  EXPECT_EQ(ticks, 2);
}

TEST_F(FormLoopTest, ReenablingOrChangingTheIntervalRestartsTheCount) {
  int ticks = 0;
  FormTimer timer("balloon_Timer", [&] { ++ticks; });
  timer.SetEnabled(true);
  Advance(900);
  timer.SetEnabled(true);
  Advance(900);
  EXPECT_EQ(ticks, 0);
  timer.SetInterval(100);
  Advance(100);
  EXPECT_EQ(ticks, 1);
}

TEST_F(FormLoopTest, ATimerMayStopOrDestroyAnotherFromItsHandler) {
  int second_ticks = 0;
  auto second = std::make_unique<FormTimer>("second", [&] { ++second_ticks; }, 10);
  FormTimer first("first", [&] { second.reset(); }, 10);
  first.SetEnabled(true);
  second->SetEnabled(true);
  Advance(10);
  EXPECT_EQ(second, nullptr);
}

TEST_F(FormLoopTest, RunPendingMessagesHandlesWhatWaitsWithoutWaiting) {
  MakeWindow();
  Pump();
  log.clear();
  screen->Click(150, 150);
  std::int64_t before = screen->NowMs();
  app->RunPendingMessages();
  EXPECT_EQ(screen->NowMs(), before);
  EXPECT_EQ(log.back(), "window up 50,50");
  log.clear();
  app->RunPendingMessages();
  EXPECT_TRUE(log.empty());
}

class ModalBox : public ProbeForm {
 public:
  ModalBox(std::vector<std::string>& log) : ProbeForm("box", log, 0x00FF00) {
    SetBounds(Rect{400, 300, 100, 50});
  }
};

TEST_F(FormLoopTest, ShowModalBlocksTheCallerWhileTimersAndPaintingGoOn) {
  ProbeForm& window = MakeWindow();
  ModalBox& box = Make<ModalBox>(log);
  int ticks = 0;
  bool painted_while_modal = false;
  FormTimer timer("tick", [&] {
    painted_while_modal = screen->Find(box.window_handle())->pixels.Pixel(5, 5) == 0x00FF00;
    if (++ticks == 3) box.SetModalResult(kModalOk);
  }, 100);
  timer.SetEnabled(true);
  ModalResult result = box.ShowModal();
  EXPECT_EQ(result, kModalOk);
  EXPECT_EQ(ticks, 3);
  EXPECT_TRUE(painted_while_modal);
  EXPECT_FALSE(box.visible());
  EXPECT_TRUE(window.visible());
}

TEST_F(FormLoopTest, InsideAModalLoopOnlyTheModalWindowTakesInput) {
  MakeWindow();
  ModalBox& box = Make<ModalBox>(log);
  box.on_up = [&](int, int) { box.SetModalResult(kModalCancel); };
  screen->on_wait = [&] {
    screen->Click(150, 150);  // on the window behind: ignored
    screen->Click(410, 310);  // on the box
    screen->on_wait = nullptr;
  };
  EXPECT_EQ(box.ShowModal(), kModalCancel);
  for (const std::string& entry : log) EXPECT_EQ(entry.find("window down"), std::string::npos) << entry;
  EXPECT_NE(std::find(log.begin(), log.end(), "box up 10,10"), log.end());
  EXPECT_EQ(log.back(), "box unfocus");  // hidden at the end of its loop
}

TEST_F(FormLoopTest, ClicksQueuedBeforeShowModalReachTheModalWindow) {
  MakeWindow();
  ModalBox& box = Make<ModalBox>(log);
  box.on_up = [&](int, int) { box.SetModalResult(kModalOk); };
  screen->Click(450, 320);  // where the box will be
  EXPECT_EQ(box.ShowModal(), kModalOk);
  EXPECT_NE(std::find(log.begin(), log.end(), "box up 50,20"), log.end());
}

TEST_F(FormLoopTest, AfterAModalLoopTheFocusReturnsToWhereItWas) {
  ProbeForm& window = MakeWindow();
  ProbeForm& field = Make<ProbeForm>("field", log, 0x0000FF, &window);
  field.SetBounds(Rect{10, 10, 20, 20});
  field.Show();
  field.SetFocus();
  ModalBox& box = Make<ModalBox>(log);
  screen->on_wait = [&] {
    EXPECT_TRUE(box.Focused());
    box.SetModalResult(kModalOk);
  };
  box.ShowModal();
  EXPECT_TRUE(field.Focused());
}

TEST_F(FormLoopTest, AnExceptionFromAClickHandlerIsShownAndEndsTheLoop) {
  ProbeForm& window = MakeWindow();
  window.on_up = [](int, int) { throw std::runtime_error("broken"); };
  screen->Click(150, 150);
  try {
    app->Run();
    ADD_FAILURE() << "Run returned";
  } catch (const std::exception& error) {
    EXPECT_NE(dynamic_cast<const EscapedException*>(&error), nullptr);
    EXPECT_STREQ(error.what(), "broken");
    app->ShowException(error);  // as an entry that catches everything does: not shown twice
  }
  ASSERT_EQ(screen->error_messages.size(), 1u);
  EXPECT_EQ(screen->error_messages[0], "Tolmeo: broken");
  EXPECT_TRUE(app->terminated());
}

TEST_F(FormLoopTest, AnExceptionInsideAModalLoopIsShownOnceAndLeavesEveryLoop) {
  MakeWindow();
  ModalBox& box = Make<ModalBox>(log);
  box.on_up = [](int, int) { throw std::out_of_range("\xC5\xE4"); };  // a CP949 message
  ProbeForm& opener = MakeWindow("opener");
  opener.on_up = [&](int, int) { box.ShowModal(); };
  screen->Click(150, 150);  // opens the box
  screen->Click(450, 320);  // into the box
  EXPECT_THROW(app->Run(), EscapedException);
  ASSERT_EQ(screen->error_messages.size(), 1u);
  EXPECT_EQ(screen->error_messages[0], "Tolmeo: " + Utf8FromCp949("\xC5\xE4"));
}

TEST_F(FormLoopTest, AnExceptionFromATimerOrPendingMessagesIsShownToo) {
  int fired = 0;
  FormTimer timer("broken_Timer", [&] {
    ++fired;
    throw std::logic_error("timer");
  }, 10);
  timer.SetEnabled(true);
  screen->AdvanceClock(10);
  EXPECT_THROW(app->RunPendingMessages(), EscapedException);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(screen->error_messages.size(), 1u);
}

TEST_F(FormLoopTest, ClosingAModalFormEndsItsLoopWithCancel) {
  ModalBox& box = Make<ModalBox>(log);
  screen->on_wait = [&] { screen->RequestClose(box.window_handle()); };
  EXPECT_EQ(box.ShowModal(), kModalCancel);
  EXPECT_FALSE(box.visible());
}

TEST_F(FormLoopTest, AModalLoopWithNothingLeftToHappenEndsInsteadOfHanging) {
  ModalBox& box = Make<ModalBox>(log);
  EXPECT_EQ(box.ShowModal(), kModalCancel);
  EXPECT_TRUE(app->terminated());
}

TEST_F(FormLoopTest, AFormAlreadyInItsModalLoopIsNotShownModallyAgain) {
  ModalBox& box = Make<ModalBox>(log);
  ModalResult inner = kModalNone;
  screen->on_wait = [&] {
    inner = box.ShowModal();
    box.SetModalResult(kModalOk);
  };
  EXPECT_EQ(box.ShowModal(), kModalOk);
  EXPECT_EQ(inner, kModalCancel);
}

TEST_F(FormLoopTest, ClosingTheMainFormEndsRun) {
  ProbeForm& window = MakeWindow();
  app->SetMainForm(&window);
  screen->on_wait = [&] { screen->RequestClose(window.window_handle()); };
  app->Run();
  EXPECT_TRUE(app->terminated());
  EXPECT_FALSE(window.visible());
}

class ClosingWindow : public ProbeForm {
 public:
  using ProbeForm::ProbeForm;
  int closes = 0;

 protected:
  void FormClose(CloseAction&) override { ++closes; }
};

// A signal or the session's end reaches the loop as a quit request: even from inside a modal
// box, the main form closes through its own close handler, which keeps what it must.
TEST_F(FormLoopTest, AQuitRequestClosesTheMainFormAsItsCloseBoxDoes) {
  ClosingWindow& window = Make<ClosingWindow>("main", log, 0xFFFFFF);
  window.SetBounds(Rect{0, 0, 100, 100});
  window.Show();
  app->SetMainForm(&window);
  ModalBox& box = Make<ModalBox>(log);
  screen->on_wait = [&] { screen->RequestQuit(); };
  box.ShowModal();
  EXPECT_EQ(window.closes, 1);
  EXPECT_FALSE(window.visible());
  EXPECT_TRUE(app->terminated());
}

}  // namespace
}  // namespace tolmeo::testing

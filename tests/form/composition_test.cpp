// The input method's composition reaches the focused form in steps, in order, with CP949
// texts; text typed without the input method still arrives as key presses.
#include "form/composition_tracker.h"

#include "base/cp949.h"
#include "headless_fixture.h"

namespace tolmeo::testing {
namespace {

using Kind = CompositionEvent::Kind;

std::string Name(Kind kind) {
  switch (kind) {
    case Kind::Start: return "start";
    case Kind::Update: return "update";
    case Kind::Commit: return "commit";
    default: return "end";
  }
}

std::vector<std::string> Names(const std::vector<CompositionTracker::Step>& steps) {
  std::vector<std::string> names;
  for (const auto& step : steps) names.push_back(Name(step.kind) + (step.utf8_text.empty() ? "" : " " + step.utf8_text));
  return names;
}

TEST(CompositionTrackerTest, ASyllableIsStartedUpdatedCommittedAndEnded) {
  CompositionTracker tracker;
  EXPECT_THAT(Names(tracker.Editing("ㅎ")), ::testing::ElementsAre("start", "update ㅎ"));
  EXPECT_THAT(Names(tracker.Editing("하")), ::testing::ElementsAre("update 하"));
  EXPECT_THAT(Names(tracker.Editing("한")), ::testing::ElementsAre("update 한"));
  EXPECT_TRUE(tracker.composing());
  EXPECT_THAT(Names(tracker.Finished("한")), ::testing::ElementsAre("commit 한", "end"));
  EXPECT_FALSE(tracker.composing());
}

TEST(CompositionTrackerTest, RepeatsAndEmptyNoticesOutsideACompositionAddNothing) {
  CompositionTracker tracker;
  EXPECT_TRUE(tracker.Editing("").empty());     // sent after every commit by some input methods
  EXPECT_TRUE(tracker.Finished("a").empty());   // typed text, not a composition's result
  tracker.Editing("ㄱ");
  EXPECT_TRUE(tracker.Editing("ㄱ").empty());  // only the input method's cursor moved
}

TEST(CompositionTrackerTest, AGivenUpCompositionEndsWithoutACommit) {
  CompositionTracker tracker;
  tracker.Editing("ㄱ");
  EXPECT_THAT(Names(tracker.Editing("")), ::testing::ElementsAre("end"));
  // The next syllable starts a new composition.
  EXPECT_THAT(Names(tracker.Editing("ㄴ")), ::testing::ElementsAre("start", "update ㄴ"));
}

class ComposingForm : public ProbeForm {
 public:
  using ProbeForm::ProbeForm;
  std::vector<CompositionEvent> steps;

 protected:
  bool FormComposition(const CompositionEvent& event) override {
    steps.push_back(event);
    return true;
  }
};

class CompositionDispatchTest : public HeadlessTest {};

TEST_F(CompositionDispatchTest, StepsReachTheFocusedFormInOrderWithCp949Texts) {
  ProbeForm& window = MakeWindow();
  ComposingForm& field = Make<ComposingForm>("field", log, 0xFFFFFF, &window);
  field.SetBounds(Rect{10, 10, 50, 20});
  field.Show();
  screen->Click(120, 120);
  screen->Compose(Kind::Start);
  screen->Compose(Kind::Update, "가");
  screen->Compose(Kind::Update, "각");
  screen->Compose(Kind::Commit, "각");
  screen->Compose(Kind::End);
  Pump();
  ASSERT_EQ(field.steps.size(), 5u);
  std::vector<Kind> kinds;
  for (const CompositionEvent& step : field.steps) kinds.push_back(step.kind);
  EXPECT_THAT(kinds, ::testing::ElementsAre(Kind::Start, Kind::Update, Kind::Update, Kind::Commit, Kind::End));
  EXPECT_EQ(field.steps[1].cp949_text, "\xB0\xA1");  // 가
  EXPECT_EQ(field.steps[3].cp949_text, Cp949FromUtf8("각"));
  EXPECT_TRUE(field.steps[4].cp949_text.empty());
  // The committed syllable is not typed a second time as a key press.
  for (const std::string& entry : log) EXPECT_EQ(entry.find("char"), std::string::npos) << entry;
}

TEST_F(CompositionDispatchTest, AFormThatIgnoresCompositionPassesItToItsParent) {
  ComposingForm& window = Make<ComposingForm>("window", log, 0xFFFFFF);
  window.SetBounds(Rect{100, 100, 200, 100});
  window.Show();
  ProbeForm& label = Make<ProbeForm>("label", log, 0xFFFFFF, &window);
  label.SetBounds(Rect{10, 10, 50, 20});
  label.Show();
  screen->Click(120, 120);
  screen->Compose(Kind::Start);
  Pump();
  ASSERT_TRUE(label.Focused());
  ASSERT_EQ(window.steps.size(), 1u);
  EXPECT_EQ(window.steps[0].kind, Kind::Start);
}

}  // namespace
}  // namespace tolmeo::testing

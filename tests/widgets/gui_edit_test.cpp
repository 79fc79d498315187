// The text field: keys on an empty field, typing into a selection, moves over syllables and
// letters, scrolling, the text limit on every way in, line breaks, selection drawing, the
// mouse, focus and the quick list.
#include "widgets/gui_edit.h"

#include "base/cp949.h"
#include "gfx/colors.h"
#include "gfx/text_drawing.h"
#include "support/fake_desktop.h"
#include "widget_fixture.h"

namespace tolmeo::testing {
namespace {


// Stands in for the shell's quick list: records where it opened and picks on request.
class FakeQuickList : public QuickList {
 public:
  void SetItems(std::vector<std::string> items, std::function<void(int)> on_pick) override {
    this->items = std::move(items);
    pick = std::move(on_pick);
  }
  void PopupAt(int x, int y) override {
    opened_at = Point{x, y};
    open = true;
  }
  bool showing() const override { return open; }
  void Pick(int index) {
    open = false;
    pick(index);
  }
  std::vector<std::string> items;
  std::function<void(int)> pick;
  std::optional<Point> opened_at;
  bool open = false;
};

class EditTest : public WidgetTest {
 protected:
  EditTest() {
    auto list = std::make_unique<FakeQuickList>();
    quick_list = list.get();
    edit = &Make<Tgui_edit_Form>(&window, options, std::move(list));
    edit->SetParent(&window);
    edit->SetBounds(Rect{10, 10, 26, 16});
    edit->Show();
    edit->SetFocus();
    Pump();
  }
  void Key(tolmeo::Key key, int times = 1) {
    for (int i = 0; i < times; ++i) {
      screen->PressKey(key);
      screen->ReleaseKey(key);
    }
    Pump();
  }
  void ShiftKey(tolmeo::Key key, int times) {
    screen->PressKey(kKeyShift);
    for (int i = 0; i < times; ++i) {
      screen->PressKey(key);
      screen->ReleaseKey(key);
    }
    screen->ReleaseKey(kKeyShift);
    Pump();
  }
  void Type(const std::string& utf8) {
    screen->TypeText(utf8);
    Pump();
  }
  // text drawn as the field draws it, on white, from pen (x, y).
  Bitmap Expected(std::string_view cp949, int x, int y, Color back = kWhite, Color ink = kBlack,
                  int mode = kTransparent) {
    TextStyle plain;
    InitTextStyle(plain);
    Bitmap expected(edit->width(), edit->height(), kWhite);
    DrawText(expected, plain, x, cp949, mode, back, ink, y);
    return expected;
  }
  bool SameInside(const Bitmap& expected) {
    for (int y = 1; y + 1 < expected.height(); ++y) {
      for (int x = 1; x + 1 < expected.width(); ++x) {
        if (edit->bitmap().Pixel(x, y) != expected.Pixel(x, y)) return false;
      }
    }
    return true;
  }

  FakeDesktop* desktop = &AttachFakeDesktop(*app);
  Tgui_edit_Form* edit = nullptr;
  FakeQuickList* quick_list = nullptr;
};

TEST_F(EditTest, OnAnEmptyFieldTheEditingAndMovingKeysChangeNothing) {
  for (tolmeo::Key key : {kKeyBackspace, kKeyDelete, kKeyLeft, kKeyRight, kKeyHome, kKeyEnd}) {
    Key(key);
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(edit->cursor(), 0u);
    EXPECT_EQ(edit->scroll(), 0);
    EXPECT_EQ(edit->caret().left(), 1);
    EXPECT_EQ(edit->caret().top(), 2);
  }
  EXPECT_EQ(edit->line_count(), 1);
}

TEST_F(EditTest, TypingIntoASelectionReplacesIt) {
  edit->SetText("abc");
  edit->SelectAll();
  Type("x");
  EXPECT_EQ(edit->text(), "x");
  EXPECT_EQ(edit->cursor(), 1u);
  EXPECT_FALSE(edit->HasSelection());
}

TEST_F(EditTest, OnlyPrintableCharactersAreTyped) {
  Type("a\tb\x7F");
  EXPECT_EQ(edit->text(), "ab");
}

TEST_F(EditTest, LeftStepsTwoBytesAndTwelvePixelsOverASyllableOneAndEightOverALetter) {
  edit->SetFieldWidth(80);
  edit->SetText(std::string("a") + Ktext(u8"가"));
  Key(kKeyEnd);
  ASSERT_EQ(edit->cursor(), 3u);
  EXPECT_EQ(edit->caret_position().x, 20);
  Key(kKeyLeft);
  EXPECT_EQ(edit->cursor(), 1u);
  EXPECT_EQ(edit->caret_position().x, 8);
  Key(kKeyLeft);
  EXPECT_EQ(edit->cursor(), 0u);
  EXPECT_EQ(edit->caret_position().x, 0);
  Key(kKeyLeft);
  EXPECT_EQ(edit->cursor(), 0u);
}

TEST_F(EditTest, TypingPastTheRightEdgeScrollsAndHomeBringsTheFirstLetterBackToXOne) {
  Type("abcdefgh");
  EXPECT_GT(edit->scroll(), 0);
  int caret_x = edit->caret().left();
  EXPECT_GE(caret_x, 0);
  EXPECT_LT(caret_x + kCaretBarWidth, edit->width());
  Key(kKeyHome);
  EXPECT_EQ(edit->scroll(), 0);
  EXPECT_EQ(edit->caret().left(), 1);
  EXPECT_TRUE(SameInside(Expected("abcdefgh", 1, 2)));
}

TEST_F(EditTest, RightAtTheEdgeScrollsOneCellAndEndShowsTheLineEnd) {
  edit->SetText("abcdefgh");
  Key(kKeyRight, 3);
  EXPECT_EQ(edit->scroll(), 1);  // the third letter's cell would touch the right edge
  Key(kKeyEnd);
  int end_x = edit->text_origin_x() + edit->caret_position().x;
  EXPECT_GE(end_x, 0);
  EXPECT_LE(end_x + 8, edit->width());
}

TEST_F(EditTest, APastedLineBreakMakesASecondLineTwelvePixelsLower) {
  edit->SetBounds(Rect{10, 10, 60, 30});
  desktop->clipboard = "ab\r\ncd";
  edit->Paste();
  EXPECT_EQ(edit->line_count(), 2);
  EXPECT_EQ(edit->cursor(), 0u);  // the cursor stays before the pasted text
  Bitmap expected = Expected("ab", 1, 2);
  TextStyle plain;
  InitTextStyle(plain);
  DrawText(expected, plain, 1, "cd", kTransparent, kWhite, kBlack, 2 + 12);
  EXPECT_TRUE(SameInside(expected));
}

TEST_F(EditTest, ShiftRightThreeTimesSelectsTheLettersShownWhiteOnBlack) {
  edit->SetFieldWidth(60);
  edit->SetText("abcd");
  ShiftKey(kKeyRight, 3);
  EXPECT_EQ(edit->Selection(), std::make_pair(std::size_t{0}, std::size_t{3}));
  Bitmap expected = Expected("abc", 1, 2, kBlack, kWhite, kOpaque);
  TextStyle plain;
  InitTextStyle(plain);
  DrawText(expected, plain, 1 + 24, "d", kTransparent, kWhite, kBlack, 2);
  EXPECT_TRUE(SameInside(expected));
  // A move without Shift ends the selection.
  Key(kKeyLeft);
  EXPECT_FALSE(edit->HasSelection());
  EXPECT_TRUE(SameInside(Expected("abcd", 1, 2)));
}

TEST_F(EditTest, BackspaceAtALineStartRemovesTheWholeLineBreak) {
  edit->SetText("ab\r\ncd");
  edit->SelectAll();
  Key(kKeyHome);  // the cursor's line is the second one
  ASSERT_EQ(edit->cursor(), 4u);
  Key(kKeyBackspace);
  EXPECT_EQ(edit->text(), "abcd");
  EXPECT_EQ(edit->cursor(), 2u);
  EXPECT_EQ(edit->line_count(), 1);
}

TEST_F(EditTest, BackspaceAndDeleteTakeWholeSyllables) {
  edit->SetFieldWidth(80);
  std::string ga = Ktext(u8"가");
  edit->SetText(ga + ga + "x");
  Key(kKeyRight);
  Key(kKeyDelete);
  EXPECT_EQ(edit->text(), ga + "x");
  Key(kKeyBackspace);
  EXPECT_EQ(edit->text(), "x");
  EXPECT_EQ(edit->cursor(), 0u);
}

TEST_F(EditTest, NoWayInGrowsTheTextPastItsLimitOrSplitsACharacter) {
  std::string ga = Ktext(u8"가");
  edit->SetText(std::string(kEditTextLimit - 1, 'a') + ga);
  EXPECT_EQ(edit->text().size(), kEditTextLimit - 1);  // the syllable does not fit whole
  Key(kKeyEnd);
  Type("b");
  EXPECT_EQ(edit->text().size(), kEditTextLimit);
  Type("c");
  EXPECT_EQ(edit->text().size(), kEditTextLimit);
  EXPECT_EQ(edit->text().back(), 'b');

  edit->SetText(std::string(kEditTextLimit - 3, 'a'));
  desktop->clipboard = ga + ga;
  edit->Paste();
  EXPECT_EQ(edit->text().size(), kEditTextLimit - 1);
  desktop->clipboard = "\r\n";
  edit->SetText(std::string(kEditTextLimit - 1, 'a'));
  edit->Paste();
  EXPECT_EQ(edit->text().size(), kEditTextLimit - 1);  // half a line break is no line break

  edit->SetText(std::string(2000, 'z'));
  EXPECT_EQ(edit->text().size(), kEditTextLimit);
}

TEST_F(EditTest, ClickingPlacesTheCursorAtTheNearerEdgeOfALetter) {
  edit->SetFieldWidth(60);
  edit->SetText("abcd");
  MoveTo(10 + 1 + 8 + 3, 15);  // in the second letter, nearer its left edge
  Press();
  Release();
  EXPECT_EQ(edit->cursor(), 1u);
  MoveTo(10 + 1 + 8 + 4, 15);  // the middle: a tie goes after
  Press();
  Release();
  EXPECT_EQ(edit->cursor(), 2u);
  MoveTo(10 + 55, 15);  // beyond the line's end
  Press();
  Release();
  EXPECT_EQ(edit->cursor(), 4u);
  EXPECT_FALSE(edit->HasSelection());
}

TEST_F(EditTest, DraggingSelectsAndShiftClickKeepsTheSelection) {
  edit->SetFieldWidth(60);
  edit->SetText("abcd");
  MoveTo(10 + 1, 15);
  Press();
  MoveTo(10 + 1 + 16, 15);
  Release();
  EXPECT_EQ(edit->Selection(), std::make_pair(std::size_t{0}, std::size_t{2}));
  screen->PressKey(kKeyShift);
  MoveTo(10 + 1 + 24, 15);
  Press();
  Release();
  screen->ReleaseKey(kKeyShift);
  EXPECT_TRUE(edit->HasSelection());
  MoveTo(10 + 1 + 24, 15);
  Press();
  Release();
  EXPECT_FALSE(edit->HasSelection());
}

TEST_F(EditTest, LosingTheFocusGoesToTheLineStartDropsTheSelectionAndHidesTheCaret) {
  edit->SetText("abcdefgh");
  Key(kKeyEnd);
  ShiftKey(kKeyLeft, 2);
  ASSERT_TRUE(edit->HasSelection());
  EXPECT_TRUE(edit->caret().visible());
  window.SetFocus();
  Pump();
  EXPECT_EQ(edit->cursor(), 0u);
  EXPECT_EQ(edit->scroll(), 0);
  EXPECT_FALSE(edit->HasSelection());
  EXPECT_FALSE(edit->caret().visible());
}

TEST_F(EditTest, RightClickOpensTheFiveItemListAtThePointerAndSelectAllSelectsEverything) {
  edit->SetText("ab\r\ncd");
  MoveTo(10 + 5, 10 + 6);
  Press(MouseButton::Right);
  Release(MouseButton::Right);
  ASSERT_TRUE(quick_list->opened_at.has_value());
  EXPECT_EQ(*quick_list->opened_at, (Point{window.left() + 15, window.top() + 16}));
  EXPECT_EQ(quick_list->items, Tgui_edit_Form::QuickListItems());
  ASSERT_EQ(quick_list->items.size(), 5u);
  EXPECT_EQ(quick_list->items[4], Ktext(u8" 모두선택 "));
  quick_list->Pick(4);
  EXPECT_EQ(edit->Selection(), std::make_pair(std::size_t{0}, std::size_t{6}));
  EXPECT_EQ(edit->caret_position(), (Point{16, 12}));
}

TEST_F(EditTest, CutAndPasteMoveTheSelectionThroughTheClipboard) {
  edit->SetFieldWidth(80);
  edit->SetText("abcd");
  ShiftKey(kKeyRight, 2);
  edit->Cut();
  EXPECT_EQ(edit->text(), "cd");
  Key(kKeyEnd);
  edit->Paste();
  EXPECT_EQ(edit->text(), "cdab");
  EXPECT_EQ(desktop->clipboard, "ab");
  edit->Copy();  // nothing selected: the clipboard keeps its text
  EXPECT_EQ(desktop->clipboard, "ab");
}

TEST_F(EditTest, TheSyllableBeingComposedShowsInTheCaretBoxAndTheResultIsInserted) {
  edit->SetFieldWidth(80);
  edit->SetText("ab");
  Key(kKeyEnd);
  screen->Compose(CompositionEvent::Kind::Start);
  screen->Compose(CompositionEvent::Kind::Update, "ㄱ");
  screen->Compose(CompositionEvent::Kind::Update, "가");
  Pump();
  EXPECT_EQ(edit->text(), "ab");  // nothing is inserted while composing
  EXPECT_TRUE(edit->caret().composing());
  EXPECT_EQ(edit->caret().width(), kCaretBoxSize);
  EXPECT_EQ(edit->caret().left(), 1 + 16);
  Advance(4 * kCaretBlinkMs);
  EXPECT_TRUE(edit->caret().visible());  // steady while composing
  Type("z");  // keys the input method passes on meanwhile are not typed
  screen->Compose(CompositionEvent::Kind::Commit, "각");
  screen->Compose(CompositionEvent::Kind::End);
  Pump();
  EXPECT_EQ(edit->text(), "ab" + Ktext(u8"각"));
  EXPECT_EQ(edit->cursor(), 4u);
  EXPECT_FALSE(edit->caret().composing());
  EXPECT_EQ(edit->caret().width(), kCaretBarWidth);
  EXPECT_EQ(edit->caret().left(), 1 + 16 + 12);
  Type("c");
  EXPECT_EQ(edit->text(), "ab" + Ktext(u8"각") + "c");
}

TEST_F(EditTest, AComposedResultReplacesTheSelectionAndACancelledOneInsertsNothing) {
  edit->SetText("abc");
  edit->SelectAll();
  screen->Compose(CompositionEvent::Kind::Start);
  screen->Compose(CompositionEvent::Kind::Update, "하");
  screen->Compose(CompositionEvent::Kind::End);
  Pump();
  EXPECT_EQ(edit->text(), "abc");
  screen->Compose(CompositionEvent::Kind::Start);
  screen->Compose(CompositionEvent::Kind::Update, "한");
  screen->Compose(CompositionEvent::Kind::Commit, "한");
  screen->Compose(CompositionEvent::Kind::End);
  Pump();
  EXPECT_EQ(edit->text(), Ktext(u8"한"));
}

TEST_F(EditTest, AComposedSyllableThatDoesNotFitIsRefused) {
  edit->SetText(std::string(kEditTextLimit - 1, 'a'));
  Key(kKeyEnd);
  screen->Compose(CompositionEvent::Kind::Start);
  screen->Compose(CompositionEvent::Kind::Commit, "한");
  screen->Compose(CompositionEvent::Kind::End);
  Pump();
  EXPECT_EQ(edit->text(), std::string(kEditTextLimit - 1, 'a'));
}

TEST_F(EditTest, TheInputMethodsCandidateWindowGoesToTheCaret) {
  Type("ab");
  Point caret = edit->caret().ClientToScreen(Point{0, 0});
  EXPECT_EQ(desktop->text_input_rect.left, caret.x);
  EXPECT_EQ(desktop->text_input_rect.top, caret.y);
}

TEST(EditTokens, LinesAreCutIntoBlanksWordsMarksAndSymbolRuns) {
  std::string line = "ab_1  \"x\\\"y// #+=";
  std::vector<std::string> pieces;
  for (const EditRun& run : SplitTokens(line, 0, line.size())) {
    pieces.push_back(line.substr(run.start, run.length));
  }
  EXPECT_EQ(pieces, (std::vector<std::string>{"ab_1", "  ", "\"", "x", "\\\"", "y", "//", " ",
                                               "#", "+="}));
  std::string hangul = Ktext(u8"한글") + "+-//";
  auto runs = SplitTokens(hangul, 0, hangul.size());
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].length, 4u);
  EXPECT_EQ(runs[1].length, 2u);  // "+-" ends where "//" begins
}

}  // namespace
}  // namespace tolmeo::testing

#pragma once
// The text entry field: a CP949 text of at most kEditTextLimit bytes, drawn with the bitmap
// fonts and edited with the keyboard, the mouse, the Korean input method and the clipboard.
// Editing works on the cursor's line: the text may hold CR LF breaks (a pasted text), the
// further lines are drawn below the first, the cursor keys never leave the cursor's line and
// the mouse places the cursor in the first line. Its caret is its own (Tgui_caret_Form); its
// right-button menu is a quick list with copy, cut, paste, delete and select all.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "widgets/gui_caret.h"
#include "widgets/quick_list.h"
#include "widgets/widget_base.h"

namespace tolmeo {

inline constexpr std::size_t kEditTextLimit = 1023;

// One token of a line: where it starts, its length, and how it is drawn.
struct EditRun {
  std::size_t start = 0;
  std::size_t length = 0;
  Color foreground = 0x000000;
  Color background = 0xFFFFFF;
  int mode = 1;    // transparent
  int weight = 0;  // regular
  bool operator==(const EditRun&) const = default;
};
// Cuts text[start, end) into blanks, words (letters, digits, underscore, double-byte
// characters), single quotes and "#", the comment mark "//", the escapes \" and \', and
// runs of other symbols (ending where one of those marks begins).
std::vector<EditRun> SplitTokens(std::string_view text, std::size_t start, std::size_t end);

// The longest start of text that fits in room bytes without cutting a double-byte character
// or a CR LF pair in half.
std::string_view FitText(std::string_view text, std::size_t room);

class Tgui_edit_Form : public WidgetBase {
 public:
  // quick_list: the right-button menu; without one a right click does nothing.
  Tgui_edit_Form(Form* owner, const IdeOptions& options,
                 std::unique_ptr<QuickList> quick_list = nullptr);

  // Replaces the text (what does not fit in kEditTextLimit bytes is left out) and puts the
  // cursor home.
  void SetText(std::string_view cp949_text);
  void Clear();
  void SetFieldWidth(int width);

  void Copy();
  void Cut();
  void Paste();
  void DeleteSelection();
  void SelectAll();

  const std::string& text() const { return text_; }
  std::size_t cursor() const { return cursor_; }
  int line_count() const;
  int scroll() const { return scroll_; }
  int text_origin_x() const { return 1 - scroll_ * single_width_; }
  int text_origin_y() const { return kTextOriginY; }
  Point caret_position() const { return CaretAt(cursor_); }
  bool HasSelection() const { return anchor_ >= 0 && active_ >= 0; }
  // The selected bytes [first, second); empty when there is no selection.
  std::pair<std::size_t, std::size_t> Selection() const;
  const Tgui_caret_Form& caret() const { return caret_; }
  int line_height() const { return line_height_; }

  // The quick list's items, in order.
  static const std::vector<std::string>& QuickListItems();

 protected:
  void Render(Bitmap& bitmap) override;
  bool FormKeyDown(Key key, ShiftState shift) override;
  bool FormKeyUp(Key key, ShiftState shift) override;
  bool FormKeyPress(const std::string& cp949_char) override;
  bool FormComposition(const CompositionEvent& event) override;
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override;
  void FormMouseMove(ShiftState shift, int x, int y) override;
  void FormMouseUp(MouseButton button, ShiftState shift, int x, int y) override;
  void FormEnter() override;
  void FormExit() override;

 private:
  static constexpr int kTextOriginY = 2;

  // Input method.
  void CompositionStart();
  void CompositionUpdate(const std::string& cp949_text);
  void CompositionCommit(const std::string& cp949_text);
  void CompositionEnd();

  // Text and cursor.
  // Replaces the selection, if any, with as much of the text as fits; the cursor ends after
  // it. Returns the bytes inserted.
  std::size_t Insert(std::string_view cp949_text);
  // Typed or composed text: inserted, then scrolled into view.
  void TypeIn(std::string_view cp949_text);
  void RemoveBytes(std::size_t from, std::size_t count);
  void DeleteAtCursor();
  void Backspace();
  std::size_t CharLength(std::size_t offset) const;
  std::size_t LineStart(std::size_t offset) const;
  std::size_t LineEnd(std::size_t offset) const;
  std::size_t PreviousChar(std::size_t offset) const;
  int CellWidth(std::size_t offset) const;
  Point CaretAt(std::size_t offset) const;

  // Moves by key and by mouse.
  void MoveCursor(Key key, bool extend);
  void MoveTo(std::size_t offset, bool extend);
  void ClearSelection();
  std::size_t OffsetAtX(int x) const;

  // Scrolling and the caret.
  // Scrolls, without drawing, so that the caret lies inside the field.
  void KeepCaretInView();
  void ScrollAfterMove(Key key, std::size_t old_cursor);
  void SetScroll(int scroll);
  void PlaceCaret();
  void Refresh();

  void OpenQuickList(int x, int y);
  void RunQuickListItem(int index);
  void DrawLine(Bitmap& bitmap, std::size_t start, std::size_t end, int y);

  std::string text_;
  std::size_t cursor_ = 0;
  int scroll_ = 0;
  long anchor_ = -1;
  long active_ = -1;
  bool shift_held_ = false;
  bool mouse_pressed_ = false;
  bool mouse_selecting_ = false;
  bool composing_ = false;
  int line_height_ = 12;
  int double_width_ = 12;
  int single_width_ = 8;
  Tgui_caret_Form caret_;
  std::unique_ptr<QuickList> quick_list_;
};

}  // namespace tolmeo

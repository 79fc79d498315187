#include "widgets/gui_edit.h"

#include <algorithm>

#include "base/cp949.h"
#include "form/application.h"
#include "gfx/colors.h"
#include "gfx/text_drawing.h"

namespace tolmeo {
namespace {

constexpr Color kInverted = 0xFFFFFF;
constexpr std::uint16_t kHangulSample = 0xB1E8;  // a syllable, to measure the double-byte cell
constexpr std::uint16_t kLatinSample = 0x41;

enum QuickListItem { kCopyItem, kCutItem, kPasteItem, kDeleteItem, kSelectAllItem };

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsWordByte(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         IsLeadByte(c);
}
// The marks a symbol run stops at: quotes, "#", "//" and the escaped quotes; their length.
std::size_t MarkLength(std::string_view text, std::size_t at, std::size_t end) {
  char c = text[at];
  if (c == '"' || c == '\'' || c == '#') return 1;
  if (at + 1 >= end) return 0;
  char next = text[at + 1];
  if (c == '/' && next == '/') return 2;
  if (c == '\\' && (next == '"' || next == '\'')) return 2;
  return 0;
}
std::size_t RunEnd(std::string_view text, std::size_t at, std::size_t end) {
  unsigned char c = static_cast<unsigned char>(text[at]);
  std::size_t i = at;
  if (IsBlank(c)) {
    while (i < end && IsBlank(text[i])) ++i;
  } else if (IsWordByte(c)) {
    while (i < end && IsWordByte(static_cast<unsigned char>(text[i]))) {
      i += IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < end ? 2 : 1;
    }
  } else if (std::size_t mark = MarkLength(text, at, end)) {
    i += mark;
  } else {
    do {
      ++i;
    } while (i < end && !IsBlank(text[i]) && !IsWordByte(static_cast<unsigned char>(text[i])) &&
             MarkLength(text, i, end) == 0);
  }
  return i;
}

std::uint16_t CodeAt(std::string_view text, std::size_t at, std::size_t length) {
  auto byte = [&](std::size_t i) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(text[i]));
  };
  return length == 2 ? static_cast<std::uint16_t>(byte(at) << 8 | byte(at + 1)) : byte(at);
}

std::size_t CountLineBreaks(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string_view::npos;
       at = text.find("\r\n", at + 2)) {
    ++count;
  }
  return count;
}

}  // namespace

std::vector<EditRun> SplitTokens(std::string_view text, std::size_t start, std::size_t end) {
  std::vector<EditRun> runs;
  end = std::min(end, text.size());
  for (std::size_t at = start; at < end;) {
    std::size_t next = RunEnd(text, at, end);
    EditRun run;
    run.start = at;
    run.length = next - at;
    runs.push_back(run);
    at = next;
  }
  return runs;
}

std::string_view FitText(std::string_view text, std::size_t room) {
  std::string_view fit = CutAtCharBoundary(text, room);
  if (fit.size() < text.size() && !fit.empty() && fit.back() == '\r' && text[fit.size()] == '\n') {
    fit.remove_suffix(1);
  }
  return fit;
}

const std::vector<std::string>& Tgui_edit_Form::QuickListItems() {
  static const std::vector<std::string> items = {Ktext(u8" 복사 "), Ktext(u8" 잘라내기 "),
                                                 Ktext(u8" 붙이기 "), Ktext(u8" 삭제 "),
                                                 Ktext(u8" 모두선택 ")};
  return items;
}

Tgui_edit_Form::Tgui_edit_Form(Form* owner, const IdeOptions& options,
                               std::unique_ptr<QuickList> quick_list)
    : WidgetBase(owner, options), caret_(*this, options), quick_list_(std::move(quick_list)) {
  SetCursor(CursorShape::IBeam);
  text_style().xOffset = 1;
  if (auto cell = MeasureGlyph(text_style(), kHangulSample)) double_width_ = cell->advance;
  if (auto cell = MeasureGlyph(text_style(), kLatinSample)) {
    single_width_ = std::max(1, cell->advance);
    line_height_ = std::max(1, cell->lineHeight);
  }
  // Clicks on the caret belong to the field.
  caret_.SetEnabled(false);
  if (quick_list_) {
    quick_list_->SetItems(QuickListItems(), [this](int index) { RunQuickListItem(index); });
  }
  SetBounds(Rect{0, 0, 26, 16});
  PlaceCaret();
}

// --- Text and cursor -------------------------------------------------------------------------

int Tgui_edit_Form::line_count() const { return 1 + static_cast<int>(CountLineBreaks(text_)); }

std::pair<std::size_t, std::size_t> Tgui_edit_Form::Selection() const {
  if (!HasSelection()) return {cursor_, cursor_};
  auto [first, second] = std::minmax(anchor_, active_);
  return {static_cast<std::size_t>(first), static_cast<std::size_t>(second)};
}

std::size_t Tgui_edit_Form::CharLength(std::size_t offset) const {
  if (offset >= text_.size()) return 0;
  bool pair_follows = offset + 1 < text_.size();
  if (text_[offset] == '\r' && pair_follows && text_[offset + 1] == '\n') return 2;
  return IsLeadByte(static_cast<unsigned char>(text_[offset])) && pair_follows ? 2 : 1;
}

std::size_t Tgui_edit_Form::LineStart(std::size_t offset) const {
  if (offset < 2) return 0;
  std::size_t at = text_.rfind("\r\n", offset - 2);
  return at == std::string::npos ? 0 : at + 2;
}

std::size_t Tgui_edit_Form::LineEnd(std::size_t offset) const {
  std::size_t at = text_.find("\r\n", offset);
  return at == std::string::npos ? text_.size() : at;
}

std::size_t Tgui_edit_Form::PreviousChar(std::size_t offset) const {
  std::size_t at = LineStart(offset);
  while (at + CharLength(at) < offset) at += CharLength(at);
  return at;
}

int Tgui_edit_Form::CellWidth(std::size_t offset) const {
  return CharLength(offset) == 2 ? double_width_ : single_width_;
}

Point Tgui_edit_Form::CaretAt(std::size_t offset) const {
  std::size_t start = LineStart(offset);
  int x = 0;
  for (std::size_t at = start; at < offset; at += CharLength(at)) x += CellWidth(at);
  int line = static_cast<int>(CountLineBreaks(std::string_view(text_).substr(0, start)));
  return Point{x, line * line_height_};
}

std::size_t Tgui_edit_Form::Insert(std::string_view cp949_text) {
  if (HasSelection()) {
    auto [first, second] = Selection();
    RemoveBytes(first, second - first);
    cursor_ = first;
  }
  ClearSelection();
  std::string_view fit = FitText(cp949_text, kEditTextLimit - text_.size());
  text_.insert(cursor_, fit);
  cursor_ += fit.size();
  return fit.size();
}

void Tgui_edit_Form::RemoveBytes(std::size_t from, std::size_t count) {
  text_.erase(from, count);
}

void Tgui_edit_Form::DeleteAtCursor() { RemoveBytes(cursor_, CharLength(cursor_)); }

void Tgui_edit_Form::Backspace() {
  if (cursor_ == 0) return;
  // Before a line's start stands its CR LF: both go, and the cursor ends where the previous
  // line did.
  std::size_t start = cursor_ >= 2 && text_.compare(cursor_ - 2, 2, "\r\n") == 0
                          ? cursor_ - 2
                          : PreviousChar(cursor_);
  RemoveBytes(start, cursor_ - start);
  cursor_ = start;
}

// --- Keys and typed characters ---------------------------------------------------------------

bool Tgui_edit_Form::FormKeyDown(Key key, ShiftState shift) {
  bool ctrl = (shift & kCtrlKey) != 0;
  switch (key) {
    case kKeyBackspace:
    case kKeyDelete:
      if (HasSelection()) {
        DeleteSelection();
        return true;
      }
      key == kKeyBackspace ? Backspace() : DeleteAtCursor();
      KeepCaretInView();
      Refresh();
      return true;
    case kKeyHome:
    case kKeyEnd:
      if (!ctrl) MoveCursor(key, shift & kShiftKey);
      return true;
    case kKeyLeft:
    case kKeyRight:
      MoveCursor(key, shift & kShiftKey);
      return true;
    case 'C':
    case 'X':
    case 'V':
      if (!ctrl || (shift & kAltKey)) return false;
      key == 'C' ? Copy() : key == 'X' ? Cut() : Paste();
      return true;
    case kKeyTab:
    case kKeyUp:
    case kKeyDown:
    case kKeyPageUp:
    case kKeyPageDown:
    case kKeyInsert:
      return true;  // the field keeps these keys, doing nothing with them
    default:
      return false;
  }
}

bool Tgui_edit_Form::FormKeyUp(Key key, ShiftState) {
  return key == kKeyLeft || key == kKeyRight || key == kKeyHome || key == kKeyEnd;
}

bool Tgui_edit_Form::FormKeyPress(const std::string& cp949_char) {
  if (composing_ || cp949_char.empty()) return composing_;
  unsigned char first = static_cast<unsigned char>(cp949_char[0]);
  bool printable = cp949_char.size() == 1 ? first >= 32 && first <= 126
                                          : cp949_char.size() == 2 && IsLeadByte(first);
  if (!printable) return false;
  TypeIn(cp949_char);
  return true;
}

void Tgui_edit_Form::TypeIn(std::string_view cp949_text) {
  Insert(cp949_text);
  KeepCaretInView();
  Refresh();
}

// --- Input method ----------------------------------------------------------------------------

bool Tgui_edit_Form::FormComposition(const CompositionEvent& event) {
  switch (event.kind) {
    case CompositionEvent::Kind::Start: CompositionStart(); break;
    case CompositionEvent::Kind::Update: CompositionUpdate(event.cp949_text); break;
    case CompositionEvent::Kind::Commit: CompositionCommit(event.cp949_text); break;
    case CompositionEvent::Kind::End: CompositionEnd(); break;
  }
  return true;
}

void Tgui_edit_Form::CompositionStart() { composing_ = true; }

void Tgui_edit_Form::CompositionUpdate(const std::string& cp949_text) {
  if (cp949_text.empty()) {
    caret_.Bar();  // the syllable was taken back to nothing
    return;
  }
  bool double_byte =
      IsLeadByte(static_cast<unsigned char>(cp949_text[0])) && cp949_text.size() > 1;
  caret_.Compose(CodeAt(cp949_text, 0, double_byte ? 2 : 1));
}

void Tgui_edit_Form::CompositionCommit(const std::string& cp949_text) { TypeIn(cp949_text); }

void Tgui_edit_Form::CompositionEnd() {
  composing_ = false;
  caret_.Bar();
  PlaceCaret();
}

// --- Moving the cursor -----------------------------------------------------------------------

void Tgui_edit_Form::MoveCursor(Key key, bool extend) {
  KeepCaretInView();
  std::size_t old = cursor_;
  std::size_t target = cursor_;
  if (key == kKeyLeft && cursor_ > LineStart(cursor_)) target = PreviousChar(cursor_);
  if (key == kKeyRight && cursor_ < LineEnd(cursor_)) target = cursor_ + CharLength(cursor_);
  if (key == kKeyHome) target = LineStart(cursor_);
  if (key == kKeyEnd) target = LineEnd(cursor_);
  MoveTo(target, extend);
  ScrollAfterMove(key, old);
  Refresh();
}

void Tgui_edit_Form::MoveTo(std::size_t offset, bool extend) {
  if (extend) {
    if (anchor_ < 0) anchor_ = static_cast<long>(cursor_);
    active_ = static_cast<long>(offset);
  } else if (!mouse_pressed_) {
    ClearSelection();
  }
  cursor_ = offset;
}

void Tgui_edit_Form::ClearSelection() {
  anchor_ = -1;
  active_ = -1;
}

std::size_t Tgui_edit_Form::OffsetAtX(int x) const {
  x = std::clamp(x, 0, width()) - text_origin_x();
  std::size_t end = LineEnd(0);
  int left = 0;
  for (std::size_t at = 0; at < end; at += CharLength(at)) {
    int right = left + CellWidth(at);
    if (right >= x) return x - left < right - x ? at : at + CharLength(at);
    left = right;
  }
  return end;
}

// --- Scrolling and the caret -----------------------------------------------------------------

void Tgui_edit_Form::KeepCaretInView() {
  int p = text_origin_x() + caret_position().x + 1;
  if (p < 0) SetScroll(scroll_ - (-p / single_width_ + 2));
  if (p > width()) SetScroll(scroll_ + (p - width()) / single_width_ + 2);
}

void Tgui_edit_Form::ScrollAfterMove(Key key, std::size_t old_cursor) {
  int x = text_origin_x() + caret_position().x;
  int cells_of_passed = CharLength(std::min(old_cursor, cursor_)) == 2 ? 2 : 1;
  switch (key) {
    case kKeyLeft:
      if (x < 0) SetScroll(scroll_ - (CharLength(cursor_) == 2 ? 2 : 1));
      break;
    case kKeyRight:
      if (x + single_width_ > width()) SetScroll(scroll_ + cells_of_passed);
      break;
    case kKeyEnd:
      if (x + single_width_ > width()) {
        SetScroll((x + single_width_ - width()) / single_width_ + scroll_ + 1);
      }
      break;
    case kKeyHome:
      SetScroll(0);
      break;
    default:
      break;
  }
}

void Tgui_edit_Form::SetScroll(int scroll) { scroll_ = std::max(0, scroll); }

void Tgui_edit_Form::PlaceCaret() {
  Point caret = caret_position();
  int x = text_origin_x() + caret.x;
  if (x < 0) {
    caret_.HideCaret();
    return;
  }
  caret_.MoveTo(x, text_origin_y() + caret.y);
  // The input method's candidate window opens beside the caret.
  if (Focused()) {
    Point screen = ClientToScreen(Point{x, text_origin_y() + caret.y});
    Application::Current().desktop().SetTextInputRect(
        Rect{screen.x, screen.y, kCaretBoxSize, kCaretBoxSize});
  }
}

void Tgui_edit_Form::Refresh() {
  Draw();
  PlaceCaret();
}

// --- Whole-text operations -------------------------------------------------------------------

void Tgui_edit_Form::SetText(std::string_view cp949_text) {
  Clear();
  text_ = FitText(cp949_text, kEditTextLimit);
  Refresh();
}

void Tgui_edit_Form::Clear() {
  text_.clear();
  cursor_ = 0;
  scroll_ = 0;
  ClearSelection();
  mouse_pressed_ = false;
  mouse_selecting_ = false;
  if (composing_) CompositionEnd();
  Refresh();
}

void Tgui_edit_Form::SetFieldWidth(int width) {
  SetWidth(width);
  Refresh();
}

void Tgui_edit_Form::Copy() {
  if (!HasSelection()) return;
  auto [first, second] = Selection();
  Application::Current().desktop().SetClipboardText(text_.substr(first, second - first));
}

void Tgui_edit_Form::Cut() {
  if (!HasSelection()) return;
  Copy();
  DeleteSelection();
}

void Tgui_edit_Form::Paste() {
  std::string pasted = Application::Current().desktop().ClipboardText();
  if (pasted.empty()) return;
  cursor_ -= Insert(pasted);  // the cursor stays before the pasted text
  KeepCaretInView();
  Refresh();
}

void Tgui_edit_Form::DeleteSelection() {
  if (!HasSelection()) return;
  auto [first, second] = Selection();
  RemoveBytes(first, second - first);
  cursor_ = first;
  ClearSelection();
  KeepCaretInView();
  Refresh();
}

void Tgui_edit_Form::SelectAll() {
  anchor_ = 0;
  active_ = static_cast<long>(text_.size());
  cursor_ = text_.size();
  Refresh();
}

// --- Mouse, focus and the quick list ---------------------------------------------------------

void Tgui_edit_Form::FormMouseDown(MouseButton button, ShiftState shift, int x, int) {
  if (button != MouseButton::Left) return;
  mouse_pressed_ = true;
  SetFocus();
  bool keep = HasSelection() && (shift & kShiftKey);
  cursor_ = OffsetAtX(x);
  mouse_selecting_ = true;
  if (!keep) {
    ClearSelection();
    anchor_ = static_cast<long>(cursor_);
  }
  Refresh();
}

void Tgui_edit_Form::FormMouseMove(ShiftState shift, int x, int y) {
  WidgetBase::FormMouseMove(shift, x, y);
  SetCursor(x == 0 ? CursorShape::Default : CursorShape::IBeam);
  if (!(shift & kLeftButton) || !mouse_selecting_) return;
  int old_scroll = scroll_;
  int cells = CharLength(cursor_) == 2 ? 2 : 1;
  if (x < 0) SetScroll(scroll_ - cells);
  // Scrolling right stops once the line's end is in view.
  int line_end_x = text_origin_x() + CaretAt(LineEnd(0)).x;
  if (x > width() && line_end_x + single_width_ > width()) SetScroll(scroll_ + cells);
  std::size_t offset = OffsetAtX(x);
  if (offset == cursor_ && scroll_ == old_scroll) return;
  cursor_ = offset;
  active_ = static_cast<long>(offset);
  Refresh();
}

void Tgui_edit_Form::FormMouseUp(MouseButton button, ShiftState, int x, int y) {
  if (button == MouseButton::Left) {
    mouse_pressed_ = false;
    mouse_selecting_ = false;
  } else if (button == MouseButton::Right) {
    OpenQuickList(x, y);
  }
}

void Tgui_edit_Form::FormEnter() {
  caret_.ShowCaret();
  PlaceCaret();
}

void Tgui_edit_Form::FormExit() {
  caret_.HideCaret();
  // The quick list borrows the focus to work on the selection: keep it for the list's command.
  if (quick_list_ && quick_list_->showing()) return;
  cursor_ = LineStart(cursor_);
  SetScroll(0);
  ClearSelection();
  mouse_pressed_ = false;
  mouse_selecting_ = false;
  Draw();
}

void Tgui_edit_Form::OpenQuickList(int x, int y) {
  if (!quick_list_) return;
  Point at = ClientToScreen(Point{x, y});
  quick_list_->PopupAt(at.x, at.y);
}

void Tgui_edit_Form::RunQuickListItem(int index) {
  HideBalloon();
  SetFocus();
  switch (index) {
    case kCopyItem: Copy(); break;
    case kCutItem: Cut(); break;
    case kPasteItem: Paste(); break;
    case kDeleteItem: DeleteSelection(); break;
    case kSelectAllItem: SelectAll(); break;
    default: break;
  }
}

// --- Painting --------------------------------------------------------------------------------

void Tgui_edit_Form::Render(Bitmap& bitmap) {
  bitmap.Fill(kWhite);
  text_style().xOffset = text_origin_x();
  int max_lines = (bitmap.height() - text_origin_y() + 2) / line_height_ + 1;
  std::size_t start = 0;
  int y = text_origin_y();
  for (int line = 0; line < max_lines && y < bitmap.height(); ++line) {
    std::size_t end = LineEnd(start);
    DrawLine(bitmap, start, end, y);
    if (end >= text_.size()) break;
    start = end + 2;
    y += line_height_;
  }
  bitmap.FrameRect(Rect{0, 0, bitmap.width(), bitmap.height()}, options().overallColor);
}

void Tgui_edit_Form::DrawLine(Bitmap& bitmap, std::size_t start, std::size_t end, int y) {
  auto [first, second] = Selection();
  int x = 0;
  for (const EditRun& run : SplitTokens(text_, start, end)) {
    for (std::size_t at = run.start; at < run.start + run.length;) {
      std::size_t length = std::min(CharLength(at), run.start + run.length - at);
      std::uint16_t code = text_[at] == '\t' ? kSpaceCode : CodeAt(text_, at, length);
      bool selected = at >= first && at < second;
      GlyphMetrics cell = DrawGlyphStyled(
          bitmap, text_style(), x, Underline{}, code, run.weight,
          selected ? kOpaque : run.mode, selected ? run.background ^ kInverted : run.background,
          selected ? run.foreground ^ kInverted : run.foreground, y);
      x += cell.advance;
      at += length;
    }
  }
}

}  // namespace tolmeo

#include "views/memory_viewer.h"

#include <algorithm>

#include "base/cp949.h"
#include "base/file_system.h"
#include "base/run_folders.h"
#include "form/application.h"
#include "gfx/colors.h"
#include "gfx/palette.h"
#include "gfx/picture.h"
#include "gfx/text_drawing.h"

namespace tolmeo {
namespace {

constexpr int kHeaderTextY = 2;
constexpr int kAddressTextX = 4;
constexpr int kItemsPerRow = 16;

constexpr char kFlashHeader[] =
    "  +0   +1   +2   +3   +4   +5   +6   +7   +8   +9   +A   +B   +C   +D   +E   +F";
constexpr char kEepromHeader[] = "+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F";

// The picture in use: the path if a file is there, else the default picture, else none.
std::string ChoosePicture(const std::string& cp949_path) {
  if (!cp949_path.empty() && FileExists(cp949_path)) return cp949_path;
  std::string fallback = DataFolder() + Ktext(u8"image/대한민국.jpg");
  return FileExists(fallback) ? fallback : std::string();
}

// Rows a dump text can hold whole, leaving room for the terminating zero.
int RowsThatFitTheBuffer(int mode) {
  int row_bytes = mode == kEepromView ? Tmemory_Viewer_Form::kEepromRowBytes
                                      : Tmemory_Viewer_Form::kFlashRowBytes;
  return static_cast<int>((Tmemory_Viewer_Form::kDumpTextCapacity - 1) / row_bytes);
}

}  // namespace

Tmemory_Viewer_Form::Tmemory_Viewer_Form(Form& parent, const IdeOptions& options,
                                         const ChipImage& image, int top_edge)
    : WidgetBase(&parent, options), image_(image) {
  Rect screen = Application::Current().ScreenRect();
  KeepBitmapSize(screen.width, screen.height);
  TextStyle& style = text_style();
  style.xOffset = kDumpX;
  style.padLeft = style.padRight = style.padTop = style.padBottom = 0;
  GlyphMetrics cell = MeasureGlyph(style, kLineBreakCode).value_or(GlyphMetrics{});
  // Without fonts the cell is empty; one pixel keeps every row count finite.
  row_height_ = std::max(1, cell.lineHeight);
  column_width_ = std::max(1, cell.advance);
  for (std::string& text : dump_text_) text.reserve(kDumpTextCapacity);
  LoadBackground(options.backgroundPicturePath, options.brightness);
  PrepareStrips();
  SetParent(&parent);
  SetBounds(Rect{0, top_edge - 1, parent.width(), parent.height() - (top_edge - 1)});
}

void Tmemory_Viewer_Form::AttachScrollBars(Tgui_scroll_v_Form* vertical,
                                           Tgui_scroll_h_Form* horizontal, int block_tabs_height) {
  vertical_ = vertical;
  horizontal_ = horizontal;
  block_tabs_height_ = block_tabs_height;
}

void Tmemory_Viewer_Form::LoadBackground(const std::string& cp949_path, int brightness) {
  Rect screen = Application::Current().ScreenRect();
  picture_path_ = ChoosePicture(cp949_path);
  bool loaded = !picture_path_.empty() &&
                LoadTiledPicture(background_, picture_path_, screen.width, kTilePicture,
                                 screen.height)
                    .ok();
  // A file that is there but does not decode shows white, as a missing one does.
  if (!loaded) {
    background_.Resize(screen.width, screen.height, kWhite);
    picture_path_.clear();
  }
  LightenBitmap(background_, brightness);
}

void Tmemory_Viewer_Form::PrepareStrips() {
  Rect screen = Application::Current().ScreenRect();
  Color overall = options().overallColor;
  Color strip = PaletteOf(overall).strip;
  address_strip_.Resize(kAddressWidth, screen.height, strip);
  address_strip_.Line(kAddressWidth - 1, kHeaderHeight - 1, kAddressWidth - 1, screen.height - 1,
                      overall);
  header_strip_.Resize(screen.width, kHeaderHeight, strip);
  header_strip_.Line(kAddressWidth - 1, kHeaderHeight - 1, screen.width - 1, kHeaderHeight - 1,
                     overall);
}

int Tmemory_Viewer_Form::TopRow() const { return vertical_ ? vertical_->position() : 0; }

int Tmemory_Viewer_Form::LeftColumn() const { return horizontal_ ? horizontal_->position() : 0; }

void Tmemory_Viewer_Form::Refresh(int mode) {
  shown_mode_ = mode == kEepromView ? kEepromView : kFlashView;
  Draw();
}

void Tmemory_Viewer_Form::Render(Bitmap& bitmap) {
  const int mode = shown_mode_;
  bitmap.CopyFrom(background_, 0, 0, bitmap.width(), bitmap.height(), kAddressWidth,
                  kHeaderHeight);
  const int top_row = std::max(0, TopRow());
  const int left_column = LeftColumn();
  // One row more than fits, but never more than the fixed buffer holds.
  const int rows = std::min(bitmap.height() / row_height_ + 1, RowsThatFitTheBuffer(mode));
  const std::int64_t start = std::int64_t{top_row} * kItemsPerRow;
  const std::int64_t end = start + std::int64_t{rows} * kItemsPerRow;
  auto to_index = [](std::int64_t value) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, INT32_MAX));
  };
  std::string& text = dump_text_[mode];
  if (mode == kEepromView) {
    image_.EepromDumpText(to_index(start), to_index(end), text);
  } else {
    image_.FlashDumpText(to_index(start), to_index(end), text);
  }
  TextStyle& style = text_style();
  style.xOffset = kDumpX - left_column * column_width_;
  DrawText(bitmap, style, 0, text, kTransparent, kWhite, kBlack, kDumpY);
  DrawHeaderAndAddresses(bitmap, top_row, left_column);
}

void Tmemory_Viewer_Form::DrawHeaderAndAddresses(Bitmap& bitmap, int top_row, int left_column) {
  TextStyle& style = text_style();
  style.xOffset = kDumpX - left_column * column_width_;
  bitmap.CopyFrom(header_strip_, 0, 0, bitmap.width(), kHeaderHeight, 0, 0);
  const char* header = shown_mode_ == kEepromView ? kEepromHeader : kFlashHeader;
  DrawText(bitmap, style, 0, header, kTransparent, kWhite, kBlack, kHeaderTextY);
  bitmap.CopyFrom(address_strip_, 0, 0, kAddressWidth, bitmap.height(), 0, 0);
  const int saved_offset = style.xOffset;
  style.xOffset = kAddressTextX;
  const int address_rows = address_strip_.height() / row_height_;
  char address[9];
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int k = 0; k < address_rows; ++k) {
    std::uint32_t value = static_cast<std::uint32_t>(top_row + k) * kItemsPerRow;
    for (int d = 0; d < 8; ++d) address[d] = kDigits[(value >> (4 * (7 - d))) & 0xF];
    address[8] = '\0';
    DrawText(bitmap, style, 0, address, kTransparent, kWhite, kBlack, row_height_ * k + kDumpY);
  }
  style.xOffset = saved_offset;
}

void Tmemory_Viewer_Form::UpdateScrollRange() {
  if (!parent() || !vertical_) return;
  // A viewer too low for a single row shows none, rather than a negative count that would
  // let the range run past the memory's end.
  const int visible = std::max(0, (height() - block_tabs_height_ - kHeaderHeight) / row_height_);
  const std::uint32_t total_rows = view_mode_ == kEepromView
                                       ? image_.eepromSize / kItemsPerRow
                                       : image_.flashSize / 2 / kItemsPerRow;
  const std::int64_t maximum = std::max<std::int64_t>(0, std::int64_t{total_rows} - visible);
  vertical_->SetPage(static_cast<int>(total_rows / 4));
  vertical_->SetMax(static_cast<int>(maximum));
}

void Tmemory_Viewer_Form::FitToParent() {
  if (!parent()) return;
  SetBounds(Rect{left(), top(), parent()->width(), parent()->height() - top()});
}

void Tmemory_Viewer_Form::SetBackgroundBrightness(int amount) {
  LoadBackground(options().backgroundPicturePath, amount);
  Refresh(view_mode_);
}

void Tmemory_Viewer_Form::SetBackgroundPicture(const std::string& cp949_path) {
  LoadBackground(cp949_path, options().brightness);
  Refresh(view_mode_);
}

void Tmemory_Viewer_Form::Wheel(int notches) {
  if (notches == 0 || !vertical_) return;
  int step = notches > 0 ? -kWheelStep : kWheelStep;
  vertical_->SetPosition(vertical_->position() + step);
}

void Tmemory_Viewer_Form::FormMouseDown(MouseButton, ShiftState, int, int) {
  if (!Focused()) SetFocus();
}

bool Tmemory_Viewer_Form::FormMouseWheel(ShiftState, int notches, Point) {
  Wheel(notches);
  return true;
}

}  // namespace tolmeo

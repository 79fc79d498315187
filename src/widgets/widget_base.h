#pragma once
// The common pattern of every self-drawn control and shell window.
//
// A control is a borderless form, white, created with an owner and then given a parent by its
// creator, who places it with SetLeft/SetTop/SetWidth/SetHeight and shows or hides it. It owns
// an off-screen bitmap the size of its window (resized with it) and draws only there:
//   Draw()    = Render(bitmap) then Present();
//   Present() = copy the whole bitmap to the window at (0, 0).
// The window's erase-background request is answered by Present, so a control never flickers
// and is repainted from its bitmap without drawing again.
//
// How to write a control:
//   - derive from WidgetBase (or ClickableWidget for press-and-release controls);
//   - keep its state as private members with their defaults;
//   - implement Render(Bitmap&) to draw the whole control from that state;
//   - give it setters that store and then call Draw();
//   - expose callbacks as std::function members that the creator sets;
//   - end the constructor by setting the control's first bounds (SetBounds), which sizes the
//     bitmap and draws it once; the base constructor cannot, since Render is not there yet.
// Handlers a control overrides must call the base class's handler: the base one does the
// balloon help (mouse enter: RequestBalloon when enabled; leave: WithdrawBalloon when enabled;
// move: TrackBalloon always) and keeps the bitmap sized with the window.
#include <optional>
#include <string>
#include <string_view>

#include "formats/ide_options.h"
#include "gfx/bitmap.h"
#include "form/form.h"
#include "gfx/font_store.h"

namespace tolmeo {

class WidgetBase : public Form {
 public:
  // options is read whenever the control draws (its overall colour above all).
  WidgetBase(Form* owner, const IdeOptions& options);

  void SetBalloonEnabled(bool enabled) { balloon_enabled_ = enabled; }
  void SetBalloonText(std::string_view cp949_text) { balloon_text_ = cp949_text; }
  bool balloon_enabled() const { return balloon_enabled_; }
  const std::string& balloon_text() const { return balloon_text_; }

  void Draw();
  void Present();
  const Bitmap& bitmap() const { return bitmap_; }

 protected:
  virtual void Render(Bitmap& bitmap) = 0;

  const IdeOptions& options() const { return options_; }
  // A colour the creator may choose, and otherwise the overall colour as it is when the
  // control draws: so a control follows the overall colour without being told.
  Color ChosenOrOverall(const std::optional<Color>& chosen) const {
    return chosen.value_or(options_.overallColor);
  }
  // Filled from the loaded fonts at construction; controls set their offset and paddings.
  TextStyle& text_style() { return text_style_; }
  const TextStyle& text_style() const { return text_style_; }
  // For controls whose bitmap is made once as wide or high as the screen: the bitmap keeps
  // this size and only the window's part of it is presented.
  void KeepBitmapSize(int width, int height);
  // Hides a balloon this control may have asked for (only when its balloon help is enabled).
  void HideBalloon();

  void FormEraseBackground() override { Present(); }
  void FormResize() override;
  void FormMouseEnter() override;
  void FormMouseLeave() override;
  void FormMouseMove(ShiftState shift, int x, int y) override;

 private:
  const IdeOptions& options_;
  Bitmap bitmap_;
  bool bitmap_size_kept_ = false;
  TextStyle text_style_;
  bool balloon_enabled_ = false;
  std::string balloon_text_;
};

}  // namespace tolmeo

#pragma once
// The bar that shows how far a long programming operation has come: a frame along the edge,
// a track inset from it, the done part of the track filled in the bar colour.
#include <cstdint>

#include "gfx/colors.h"
#include "widgets/widget_base.h"

namespace tolmeo {

// How many pixels of a track track_width wide are done at position of minimum..maximum.
// An empty range (maximum == minimum) gives 0; a position outside the range, as after a
// later SetMin or SetMax, gives an empty or a full track. Computed wide, so large address
// ranges on a wide bar never overflow.
int ProgressBarLength(std::int32_t position, std::int32_t minimum, std::int32_t maximum,
                      int track_width);

class Tgui_Progress_Form : public WidgetBase {
 public:
  Tgui_Progress_Form(Form* owner, const IdeOptions& options);

  void SetBackColor(Color color);
  void SetBarColor(Color color);
  void SetInset(std::int32_t inset);
  // The stored position is not re-clamped to a new range; only the next SetPosition clamps.
  void SetMin(std::int32_t minimum);
  void SetMax(std::int32_t maximum);
  // Stores the value clamped to minimum..maximum; redraws only when the done part changes.
  void SetPosition(std::int32_t position);

  std::int32_t minimum() const { return minimum_; }
  std::int32_t maximum() const { return maximum_; }
  std::int32_t position() const { return position_; }

 protected:
  void Render(Bitmap& bitmap) override;

 private:
  // The track and its done part in a bitmap of that size.
  Rect Track(int width, int height) const;
  Rect Bar(int width, int height) const;

  Color back_color_ = kWhite;
  // The overall colour unless chosen.
  std::optional<Color> outer_frame_color_;
  std::optional<Color> inner_frame_color_;
  Color track_color_ = kWhite;
  std::optional<Color> bar_color_;
  std::int32_t inset_ = 2;
  std::int32_t minimum_ = 0;
  std::int32_t maximum_ = 100;
  std::int32_t position_ = 50;
};

}  // namespace tolmeo

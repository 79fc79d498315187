#pragma once
// The push button with a text caption: white with a black caption, the caption white on the
// overall colour while pressed, a 1-pixel frame in the overall colour. Clicks follow the
// press-and-release pattern (ClickableWidget).
#include <string>
#include <string_view>

#include "widgets/clickable_widget.h"

namespace tolmeo {

class Tgui_button_Form : public ClickableWidget {
 public:
  // A caption holds at most this many bytes; longer ones are cut at a character boundary.
  static constexpr std::size_t kCaptionBytes = 63;

  Tgui_button_Form(Form* owner, const IdeOptions& options);

  void SetCaption(std::string_view cp949_caption);
  // Centred: the caption's place is recomputed on every drawing; else it stays where it was.
  void SetCentered(bool centered);

  const std::string& caption() const { return caption_; }
  Point text_origin() const { return text_origin_; }

 protected:
  void Render(Bitmap& bitmap) override;

 private:
  std::string caption_;
  Point text_origin_{1, 1};
  bool centered_ = true;
};

}  // namespace tolmeo

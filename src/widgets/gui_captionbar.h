#pragma once
// The caption bar: a 16-pixel band across the top of its parent that names a view, white text
// on a filled band with a frame. It follows its parent's width only when told (FitToParent).
#include <string>
#include <string_view>

#include "widgets/widget_base.h"

namespace tolmeo {

class Tgui_captionbar_Form : public WidgetBase {
 public:
  static constexpr int kHeight = 16;

  // The bar becomes a child of parent at its top-left corner, as wide as parent is now.
  Tgui_captionbar_Form(Form& parent, const IdeOptions& options);

  // Cut like a label's text (kLabelTextLimit bytes).
  void SetCaption(std::string_view cp949_caption);
  void SetFillColor(Color color);
  void FitToParent();

  const std::string& caption() const { return caption_; }

 protected:
  void Render(Bitmap& bitmap) override;

 private:
  std::string caption_;
  // The overall colour unless chosen.
  std::optional<Color> border_color_;
  std::optional<Color> fill_color_;
};

}  // namespace tolmeo

#include "widgets/widget_base.h"

#include "form/application.h"
#include "gfx/colors.h"
#include "widgets/balloon_host.h"

namespace tolmeo {

WidgetBase::WidgetBase(Form* owner, const IdeOptions& options) : Form(owner), options_(options) {
  SetColor(kWhite);
  InitTextStyle(text_style_);
}

void WidgetBase::Draw() {
  Render(bitmap_);
  Present();
}

void WidgetBase::Present() { CopyToWindow(bitmap_, 0, 0, width(), height(), 0, 0); }

void WidgetBase::KeepBitmapSize(int width, int height) {
  bitmap_size_kept_ = true;
  bitmap_.Resize(width, height, kWhite);
}

void WidgetBase::FormResize() {
  if (!bitmap_size_kept_) bitmap_.Resize(width(), height(), kWhite);
  Draw();
}

void WidgetBase::HideBalloon() {
  BalloonHost* host = TheBalloonHost();
  if (balloon_enabled_ && host) host->WithdrawBalloon();
}

void WidgetBase::FormMouseEnter() {
  BalloonHost* host = TheBalloonHost();
  if (!balloon_enabled_ || !host) return;
  Point cursor = Application::Current().CursorPosition();
  host->RequestBalloon(cursor.x, cursor.y, balloon_text_, 1);
}

void WidgetBase::FormMouseLeave() { HideBalloon(); }

void WidgetBase::FormMouseMove(ShiftState, int x, int y) {
  if (BalloonHost* host = TheBalloonHost()) {
    Point cursor = ClientToScreen(Point{x, y});
    host->TrackBalloon(cursor.x, cursor.y);
  }
}

}  // namespace tolmeo

#include "shell/ide_balloonbox.h"

#include <algorithm>
#include <array>

#include "base/cp949.h"
#include "form/application.h"
#include "gfx/colors.h"
#include "gfx/palette.h"
#include "gfx/text_drawing.h"

namespace tolmeo {
namespace {


bool InDragBand(int x, int y) {
  return x >= kBalloonTailWidth && x < 2 * kBalloonTailWidth && y >= 0 && y < kBalloonBandHeight;
}

}  // namespace

BalloonSize BalloonSizeFor(int text_width, int text_height) {
  return BalloonSize{std::max(text_width + 2 * kBalloonTextLeft, 2 * kBalloonTailWidth),
                     text_height + kBalloonBandHeight + kBalloonCutHeight};
}

Region BalloonShape(int width, int height) {
  Region shape = Region::FromRect(Rect{0, 0, width, height});
  shape.SubtractRect(Rect{0, 0, width, kBalloonCutHeight});
  const std::array<Point, 3> tail{Point{kBalloonTailTip, kBalloonCutHeight},
                                  Point{kBalloonTailTip, 0},
                                  Point{kBalloonTailTip + kBalloonTailWidth, kBalloonCutHeight}};
  shape.AddPolygon(tail, PolygonFill::Alternate);
  return shape;
}

Rect BalloonBounds(Point tip, BalloonSize size, const Rect& work_area) {
  Rect bounds{tip.x - kBalloonTailTip, tip.y, size.width, size.height};
  if (bounds.bottom() > work_area.bottom()) bounds.top = tip.y - size.height;
  return MovedInside(bounds, work_area);
}

Tide_BalloonBox_Form::Tide_BalloonBox_Form(const IdeOptions& options)
    : WidgetBase(nullptr, options),
      balloon_Timer("balloon_Timer", [this] { balloon_TimerTimer(); }, kBalloonDelayMs),
      background_(PaletteOf(options.overallColor).balloon) {
  TextStyle& style = text_style();
  style.xOffset = kBalloonTextLeft;
  style.padBottom = 1;
  SetWindowRole(WindowRole::Tooltip);
  SetStayOnTop(true);
  ApplyTranslucency();
  BalloonSize empty = BalloonSizeFor(0, 0);
  SetBounds(Rect{0, 0, empty.width, empty.height});
  SetBalloonHost(this);
}

Tide_BalloonBox_Form::~Tide_BalloonBox_Form() {
  if (TheBalloonHost() == this) SetBalloonHost(nullptr);
}

void Tide_BalloonBox_Form::ApplyTranslucency() {
  SetAlphaBlend(options().balloonTransparentOn != 0, kBalloonOpacity);
}

void Tide_BalloonBox_Form::MoveTo(int x, int y) {
  tip_ = Point{x, y};
  SetBounds(BalloonBounds(tip_, BalloonSize{width(), height()}, Application::Current().WorkArea()));
}

void Tide_BalloonBox_Form::RequestBalloon(int x, int y, const std::string& cp949_text,
                                          int delayed) {
  MoveTo(x, y);
  text_ = CutAtCharBoundary(cp949_text, kBalloonTextLimit);
  if (delayed != 1) {
    balloon_Timer.SetEnabled(false);
    ShowBalloon();
    return;
  }
  if (!options().balloonHelpOn) return;
  balloon_Timer.SetEnabled(true);  // a waiting balloon starts its full delay again
}

void Tide_BalloonBox_Form::TrackBalloon(int x, int y) {
  if (!visible()) MoveTo(x, y);
}

void Tide_BalloonBox_Form::WithdrawBalloon() {
  // A balloon that comes up under the pointer (where the display cannot cut its shape) makes
  // its control see the pointer leave; hiding then would bring it back a second later, over
  // and over. It stays until the pointer leaves the balloon as well.
  if (visible() && PointerOnBalloon()) return;
  Dismiss();
}

void Tide_BalloonBox_Form::Dismiss() {
  balloon_Timer.SetEnabled(false);
  drag_.End();
  popup_.Close();
}

bool Tide_BalloonBox_Form::PointerOnBalloon() const {
  Point pointer = ScreenToClient(Application::Current().CursorPosition());
  const Region* shape = EffectiveShape();
  return ClientRect().Contains(pointer.x, pointer.y) &&
         (!shape || shape->Contains(pointer.x, pointer.y));
}

bool Tide_BalloonBox_Form::RequesterBehindModal() const {
  Application& app = Application::Current();
  if (!app.modal_form()) return false;
  const Form* requester = app.hovered();
  return !requester || !app.AcceptsInput(requester->TopLevel());
}

void Tide_BalloonBox_Form::balloon_TimerTimer() {
  // With balloon help switched off meanwhile the balloon keeps waiting: switched on again while
  // the pointer still rests on the control, it comes up at the next tick.
  if (!options().balloonHelpOn) return;
  balloon_Timer.SetEnabled(false);
  ShowBalloon();
}

void Tide_BalloonBox_Form::ShowBalloon() {
  // A control behind a modal window takes no input: explaining it would only hide the window
  // that waits for an answer.
  if (RequesterBehindModal()) {
    Dismiss();
    return;
  }
  // Fonts lacking even the replacement block measure nothing; the balloon keeps its smallest size.
  TextSize text = MeasureOrNothing(text_style(), text_);
  BalloonSize size = BalloonSizeFor(text.width, text.height);
  SetBounds(BalloonBounds(tip_, size, Application::Current().WorkArea()));
  SetShape(BalloonShape(size.width, size.height));
  Draw();
  // Keys belong to a modal window while it is up (Return answers it): the balloon only shows.
  if (Application::Current().modal_form()) {
    Show();
  } else {
    popup_.Open();
  }
}

void Tide_BalloonBox_Form::Render(Bitmap& bitmap) {
  int w = bitmap.width();
  int h = bitmap.height();
  bitmap.Fill(background_);
  DrawTextUnderlined(bitmap, text_style(), 0, Underline{}, text_, kTransparent, background_,
                     kBlack, kBalloonTextTop);
  const int tip = kBalloonTailTip;
  const int cut = kBalloonCutHeight;
  const int tail_end = tip + kBalloonTailWidth;
  bitmap.Line(0, 2, 0, h, kBlack);
  bitmap.Line(w - 1, 0, w - 1, h, kBlack);
  bitmap.Line(0, h - 1, w - 1, h - 1, kBlack);
  bitmap.Line(0, cut, tip + 1, cut, kBlack);
  bitmap.Line(tail_end, cut, w - 1, cut, kBlack);
  bitmap.Line(tip, 0, tip, cut, kBlack);
  bitmap.Line(tip - 1, 0, tail_end, cut, kBlack);
}

// The focus went elsewhere: the balloon hides and leaves the focus where the user put it.
void Tide_BalloonBox_Form::FormExit() { Dismiss(); }

void Tide_BalloonBox_Form::FormMouseLeave() {
  WidgetBase::FormMouseLeave();
  Dismiss();
}

void Tide_BalloonBox_Form::FormMouseDown(MouseButton button, ShiftState, int x, int y) {
  if (button == MouseButton::Left && InDragBand(x, y)) drag_.Begin(*this, x, y);
}

void Tide_BalloonBox_Form::FormMouseMove(ShiftState shift, int x, int y) {
  WidgetBase::FormMouseMove(shift, x, y);
  drag_.Follow(*this, shift, x, y);
}

void Tide_BalloonBox_Form::FormMouseUp(MouseButton button, ShiftState, int, int) {
  if (button == MouseButton::Left) drag_.End();
}

}  // namespace tolmeo

#include "views/ide_avr.h"

#include "base/cp949.h"
#include "gfx/colors.h"
#include "gfx/palette.h"

namespace tolmeo {
namespace {

constexpr int kRightInset = 4;      // page control and vertical bar from the right edge
constexpr int kEdgeBoxInset = 3;
constexpr int kHorizontalPage = 100;
constexpr int kHorizontalMaximum = 400;

const std::string& CaptionOf(int view) {
  switch (view) {
    case kEepromTab:
      return Ktext(u8" EEprom 보기 ");
    case kAvrSettingsTab:
      return Ktext(u8" AVR 설정 보기 ");
    default:
      return Ktext(u8" Flash 보기 ");
  }
}

// Makes the control a shown child of parent.
template <typename Control>
Control& Shown(std::unique_ptr<Control>& control, Form& parent) {
  control->SetParent(&parent);
  control->Show();
  return *control;
}

}  // namespace

Tide_AVR_Form::Tide_AVR_Form(Form& main_window, const IdeOptions& options, ChipImage& image,
                             int menu_bar_left)
    : Form(&main_window), main_window_(main_window), options_(options) {
  const int top = main_window.height() - kBottomRows;
  SetParent(&main_window);
  SetColor(kWhite);
  SetBounds(Rect{menu_bar_left, top, main_window.width() - 6, main_window.height() - top - 3});

  caption_ = std::make_unique<Tgui_captionbar_Form>(*this, options);
  caption_->Show();
  caption_->SetCaption(CaptionOf(kFlashTab));
  caption_->SetFillColor(PaletteOf(options.overallColor).caption);

  viewer_ = std::make_unique<Tmemory_Viewer_Form>(*this, options, image,
                                                  caption_->top() + caption_->height());
  viewer_->Show();
  viewer_->SendToBack();

  tabs_ = std::make_unique<Tgui_BlockTabs_Form>(*this, options);
  Shown(tabs_, *this);
  tabs_->SetTabs(Ktext(u8" Flash \r\n EEprom \r\n AVR 설정 "));
  tabs_->on_change = [this] { TabChanged(); };
  tabs_->FitWidth();
  tabs_->SetSelectedBackColor(PaletteOf(options.overallColor).selected_tab);
  tabs_->SetSelectedTextColor(kWhite);
  tabs_->SetTabTextColor(kBlack);

  page_ = std::make_unique<Tgui_page_Form>(this, options);
  Shown(page_, *this);
  page_->on_up = [this] { Page(-1); };
  page_->on_down = [this] { Page(+1); };

  edge_ = std::make_unique<Tgui_edgebox_Form>(this, options);
  Shown(edge_, *this);

  vertical_ = std::make_unique<Tgui_scroll_v_Form>(this, options);
  Shown(vertical_, *this);
  horizontal_ = std::make_unique<Tgui_scroll_h_Form>(this, options);
  Shown(horizontal_, *this);
  LayOutRightEdge();
  vertical_->SetPage(0);
  vertical_->SetMax(0);
  viewer_->AttachScrollBars(vertical_.get(), horizontal_.get(), tabs_->height());
  viewer_->UpdateScrollRange();
  vertical_->on_change = [this] { ScrollChanged(); };
  vertical_->on_press = [this] { FocusViewer(); };
  horizontal_->SetPage(kHorizontalPage);
  horizontal_->SetMax(kHorizontalMaximum);
  horizontal_->on_change = [this] { ScrollChanged(); };
  horizontal_->on_press = [this] { FocusViewer(); };

  bit_editor_ = std::make_unique<LockFuseEditor>(*this, options, image);

  edge_->BringToFront();
  tabs_->BringToFront();
  caption_->BringToFront();
  viewer_->Refresh(kFlashView);
}

Tide_AVR_Form::~Tide_AVR_Form() {
  // The bit editor's controls go first: they are children of this window too.
  bit_editor_.reset();
  caption_.reset();
  page_.reset();
  vertical_.reset();
  horizontal_.reset();
  tabs_.reset();
  edge_.reset();
  viewer_.reset();
}

void Tide_AVR_Form::FitToMainWindow() {
  SetBounds(Rect{left(), top(), main_window_.width() - 6, main_window_.height() - top() - 3});
}

// Page control, edge box and both scroll bars, from the window's size. The own left enters
// the right-edge rules, so with the menu bar at 3 the controls end flush with the right edge.
void Tide_AVR_Form::LayOutRightEdge() {
  const int l0 = left();
  const int w = width();
  const int h = height();
  page_->SetBounds(Rect{l0 + w - page_->width() - kRightInset, caption_->top() + caption_->height(),
                        page_->width(), page_->height()});
  edge_->SetBounds(Rect{l0 + w - edge_->width() - kEdgeBoxInset, h - edge_->height(),
                        edge_->width(), edge_->height()});
  const int vertical_top = page_->top() + page_->height();
  vertical_->SetBounds(Rect{l0 + w - vertical_->width() - kRightInset, vertical_top,
                            vertical_->width(), h - vertical_top - edge_->height()});
  const int horizontal_left = l0 + tabs_->left() + tabs_->width() - 3;
  horizontal_->SetBounds(Rect{horizontal_left, edge_->top(), w - horizontal_left - edge_->width(),
                              horizontal_->height()});
}

void Tide_AVR_Form::FormResize() {
  if (!caption_ || !viewer_ || !tabs_ || !page_ || !edge_ || !vertical_ || !horizontal_) return;
  caption_->FitToParent();
  viewer_->FitToParent();
  tabs_->SetTop(height() - tabs_->height());
  LayOutRightEdge();
  viewer_->UpdateScrollRange();
}

void Tide_AVR_Form::ShowViewerGroup(bool visible) {
  page_->SetVisible(visible);
  vertical_->SetVisible(visible);
  horizontal_->SetVisible(visible);
  edge_->SetVisible(visible);
  viewer_->SetVisible(visible);
}

void Tide_AVR_Form::ShowBitEditorGroup(bool visible) { bit_editor_->SetVisible(visible); }

void Tide_AVR_Form::TabChanged() {
  Tmemory_Viewer_Form& viewer = *viewer_;
  const int old_mode = viewer.view_mode();
  viewer.saved_top_row[old_mode] = vertical_->position();
  viewer.saved_left_column[old_mode] = horizontal_->position();
  const int tab = tabs_->selected();
  if (tab == kAvrSettingsTab) {
    caption_->SetCaption(CaptionOf(tab));
    ShowViewerGroup(false);
    ShowBitEditorGroup(true);
    return;
  }
  if (tab != kFlashTab && tab != kEepromTab) return;
  caption_->SetCaption(CaptionOf(tab));
  const int mode = tab == kEepromTab ? kEepromView : kFlashView;
  ShowBitEditorGroup(false);
  ShowViewerGroup(true);
  viewer.SetViewMode(mode);
  vertical_->RestorePosition(viewer.saved_top_row[mode]);
  horizontal_->RestorePosition(viewer.saved_left_column[mode]);
  viewer.UpdateScrollRange();
  viewer.Refresh(mode);
}

void Tide_AVR_Form::FocusViewer() {
  if (!viewer_->Focused()) viewer_->SetFocus();
}

void Tide_AVR_Form::ScrollChanged() {
  FocusViewer();
  viewer_->Refresh(viewer_->view_mode());
}

void Tide_AVR_Form::Page(int direction) {
  const int rows = (viewer_->height() - tabs_->height()) / viewer_->row_height();
  vertical_->SetPosition(vertical_->position() + direction * rows);
  viewer_->Refresh(viewer_->view_mode());
}

bool Tide_AVR_Form::OfferWheel(int notches) {
  if (!viewer_->Focused() || !viewer_->IsShowing()) return false;
  viewer_->Wheel(notches);
  return true;
}

bool Tide_AVR_Form::FormMouseWheel(ShiftState, int notches, Point) { return OfferWheel(notches); }

}  // namespace tolmeo

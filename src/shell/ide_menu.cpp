#include "shell/ide_menu.h"

#include <algorithm>
#include <array>
#include <utility>

#include "base/cp949.h"
#include "base/file_system.h"
#include "base/run_folders.h"
#include "form/application.h"
#include "gfx/colors.h"
#include "form/desktop.h"
#include "gfx/text_drawing.h"
#include "isp/device_description.h"
#include "isp/hex_documents.h"
#include "shell/ide_caption.h"
#include "shell/ide_submenu.h"

namespace tolmeo {
namespace {

constexpr int kButtonSize = 12;
constexpr int kButtonTop = 3;
constexpr int kCloseMargin = 3;
constexpr int kButtonGap = 2;
// The bar is 7 pixels narrower than the main window: 3 at the left, 4 at the right border.
constexpr int kBarWidthLoss = 7;

std::string Trimmed(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

const std::string& AboutText() {
  return Ktext(u8" Tolmeo 1.0 판 \r\n"
               u8" AVR 마이크로컨트롤러 프로그래머 \r\n"
               u8" 만든이: Darimsol (www.darimsol.com) \r\n"
               u8" 만든 도구: C++20, g++, CMake, Ninja, SDL2, libjpeg, \r\n"
               u8" libieee1284, GoogleTest, zenity ");
}

const std::string& PledgeText() {
  return Ktext(u8" 나는 자랑스런 태극기 앞에 \r\n 조국과 민족의 무궁한 영광을 위하여 \r\n"
               u8" 몸과 마음을 바쳐 충성을 다할 것을 \r\n 굳게 다짐 합니다.");
}

// The same address the EEPROM line shows while no document is open.
std::string MakerAddress() { return "http://" + Trimmed(NoDocumentText(Memory::Eeprom)); }

std::vector<std::string> DeviceItems(const std::vector<std::string>& names) {
  if (names.empty()) return {" AVR "};
  std::vector<std::string> items;
  items.reserve(names.size());
  for (const std::string& name : names) items.push_back(" " + name + " ");
  return items;
}

int SlotAt(const std::array<MenuSlot, kMenuSlotCount>& slots, int x) {
  int found = -1;
  for (int i = 0; i < kMenuSlotCount; ++i) {
    const MenuSlot& slot = slots[i];
    if (!slot.title.empty() && x >= slot.left && x <= slot.right) found = i;
  }
  return found;
}

Tide_menu_Form::Tide_menu_Form(Form& main, const IdeOptions& options, MenuActions actions)
    : WidgetBase(&main, options),
      main_(main),
      actions_(std::move(actions)),
      minimize_(this, options),
      maximize_(this, options),
      close_(this, options) {
  KeepBitmapSize(Application::Current().ScreenRect().width, kMenuBarHeight);
  text_style().padTop = 3;
  text_style().padBottom = 3;
  BuildSlots();
  SetUpButton(close_, "close.bmp");
  SetUpButton(maximize_, "max.bmp");
  SetUpButton(minimize_, "min.bmp");
  close_.on_click = [this] {
    HideBalloon();
    main_.Close();
  };
  maximize_.on_click = [this] {
    HideBalloon();
    ToggleMaximized();
  };
  minimize_.on_click = [this] {
    HideBalloon();
    Application::Current().Minimize();
  };
  SetBounds(Rect{kMenuBarLeft, kCaptionHeight, main.width() - kBarWidthLoss, kMenuBarHeight});
  Relayout();
  Redraw();
}

Tide_menu_Form::~Tide_menu_Form() {
  if (!submenu_) return;
  submenu_->AttachBar(nullptr);
  submenu_->Close();
}

void Tide_menu_Form::AttachSubmenu(Tide_submenu_Form& submenu) {
  submenu_ = &submenu;
  submenu.AttachBar(this);
}

void Tide_menu_Form::SetUpButton(Tgui_bmpbutton_Form& button, const char* picture) {
  button.SetParent(this);
  button.SetBounds(Rect{0, kButtonTop, kButtonSize, kButtonSize});
  button.SetFramed(true);
  button.SetImageWidth(kButtonSize);
  button.SetImageHeight(kButtonSize);
  // A missing picture leaves a blank framed button that still works.
  button.LoadImage(DataFolder() + "sysbmp/control/" + picture);
  button.Show();
}

void Tide_menu_Form::BuildSlots() {
  bar_hit_height_ = MeasureOrNothing(text_style(), " ").height;
  slots_[0].title = Ktext(u8" 문서 ");
  slots_[0].items = {Ktext(u8" Flash 열기 "), Ktext(u8" EEprom 열기 "), Ktext(u8" Flash 저장 "),
                     Ktext(u8" EEprom 저장 ")};
  slots_[1].title = Ktext(u8" 설정 ");
  slots_[1].items = {Ktext(u8" 개발환경 설정 대화상자 "), Ktext(u8" 케이블 설정 대화상자 ")};
  slots_[2].title = Ktext(u8" 도움말 ");
  slots_[2].items = {Ktext(u8" 도움말 "), " Darimsol ", Ktext(u8" 제작정보 "),
                     Ktext(u8" 나의다짐 ")};
  slots_[kDeviceSlot].title = " ATmegaXXXX ";
  int x = 0;
  for (int i : {0, 1, 2, kDeviceSlot}) {
    MenuSlot& slot = slots_[i];
    slot.left = x;
    slot.top = 0;
    slot.right = x + MeasureOrNothing(text_style(), slot.title).width;
    slot.bottom = bar_hit_height_ - 1;
    x = slot.right;
  }
  slots_[kDeviceSlot].items = DeviceItems(ListDescriptions());
  SetDeviceTitle(slots_[kDeviceSlot].items.front());
  open_slot_ = -1;
}

void Tide_menu_Form::SetDeviceTitle(const std::string& title) {
  MenuSlot& device = slots_[kDeviceSlot];
  device.title = title;
  device.right = device.left + MeasureOrNothing(text_style(), title).width;
  bar_hit_width_ = device.right + 1;
}

std::string Tide_menu_Form::DeviceName() const { return Trimmed(slots_[kDeviceSlot].title); }

bool Tide_menu_Form::SelectDevice(const std::string& name) {
  const std::vector<std::string>& items = slots_[kDeviceSlot].items;
  auto item = std::find_if(items.begin(), items.end(),
                           [&name](const std::string& text) { return Trimmed(text) == name; });
  if (item == items.end()) return false;
  SetDeviceTitle(*item);
  return true;
}

void Tide_menu_Form::Render(Bitmap& bitmap) {
  bitmap.Fill(kWhite);
  DrawTitles(bitmap);
}

void Tide_menu_Form::DrawTitles(Bitmap& bitmap) {
  Color overall = options().overallColor;
  for (int i = 0; i < kMenuSlotCount; ++i) {
    const MenuSlot& slot = slots_[i];
    if (slot.title.empty()) continue;
    bool open = i == open_slot_;
    DrawText(bitmap, text_style(), slot.left, slot.title, kOpaque, open ? overall : kWhite,
             open ? kWhite : kBlack, slot.top);
  }
}

void Tide_menu_Form::Redraw() { Draw(); }

// Drawing the strip whole costs no more than the titles alone and never leaves a trace of an
// older, longer device title.
void Tide_menu_Form::RedrawTitles() { Draw(); }

void Tide_menu_Form::CloseMenu() {
  open_slot_ = -1;
  if (submenu_) submenu_->Close();
}

void Tide_menu_Form::CloseMenuAndRedraw() {
  CloseMenu();
  RedrawTitles();
}

void Tide_menu_Form::MenuClosed() {
  open_slot_ = -1;
  RedrawTitles();
}

void Tide_menu_Form::OpenSlot(int slot) {
  if (!submenu_) return;
  const MenuSlot& opened = slots_[slot];
  Point at = ClientToScreen(Point{opened.left, bar_hit_height_});
  Rect work = Application::Current().WorkArea();
  submenu_->SetItems(opened.items, opened.hot_item, work.bottom() - at.y);
  submenu_->DrawItems();
  submenu_->Open(at);
}

void Tide_menu_Form::FormMouseDown(MouseButton button, ShiftState, int x, int y) {
  if (button != MouseButton::Left || x < 0 || x >= bar_hit_width_ || y < 0 ||
      y >= bar_hit_height_) {
    return;
  }
  int slot = SlotAt(slots_, x);
  if (slot < 0) return;
  if (slot == open_slot_) {
    CloseMenuAndRedraw();
    return;
  }
  open_slot_ = slot;
  RedrawTitles();
  OpenSlot(slot);
}

void Tide_menu_Form::FormMouseMove(ShiftState shift, int x, int y) {
  if (x < 0 || x > bar_hit_width_) {
    LeaveTitles();
  } else {
    pointer_over_titles_ = true;
  }
  WidgetBase::FormMouseMove(shift, x, y);
}

void Tide_menu_Form::FormMouseLeave() {
  LeaveTitles();
  WidgetBase::FormMouseLeave();
}

// Off the titles the drop-down holds the focus, so that a click elsewhere closes it.
void Tide_menu_Form::LeaveTitles() {
  if (submenu_) submenu_->TakeFocus();
  pointer_over_titles_ = false;
}

void Tide_menu_Form::RunItem(int slot, int item) {
  HideBalloon();
  auto run = [](const std::function<void()>& action) {
    if (action) action();
  };
  switch (slot) {
    case 0: {
      const std::array<const std::function<void()>*, 4> documents = {
          &actions_.open_flash_document, &actions_.open_eeprom_document, &actions_.save_flash_image,
          &actions_.save_eeprom_image};
      run(*documents.at(item));
      break;
    }
    case 1: run(item == 0 ? actions_.show_settings : actions_.show_cable_settings); break;
    case 2: RunHelpItem(item); break;
    case kDeviceSlot: {
      if (actions_.may_change_device && !actions_.may_change_device()) return;
      SetDeviceTitle(slots_[kDeviceSlot].items.at(item));
      Redraw();
      if (actions_.load_device) actions_.load_device(DeviceName());
      break;
    }
    default: break;
  }
}

// A help page or web page the desktop cannot open is not reported.
void Tide_menu_Form::RunHelpItem(int item) {
  Desktop& desktop = Application::Current().desktop();
  switch (item) {
    case 0: desktop.OpenInBrowser(DataFolder() + "help/help.html"); break;
    case 1: desktop.OpenInBrowser(MakerAddress()); break;
    default:
      if (actions_.show_notice) actions_.show_notice(0, item == 2 ? AboutText() : PledgeText());
  }
}

void Tide_menu_Form::ToggleMaximized() {
  if (main_.window_state() == WindowState::Normal) {
    main_.SetWindowState(WindowState::Maximized);
  } else if (main_.window_state() == WindowState::Maximized) {
    main_.SetWindowState(WindowState::Normal);
  }
}

void Tide_menu_Form::Relayout() {
  SetWidth(main_.width() - kBarWidthLoss);
  close_.SetLeft(width() - close_.width() - kCloseMargin);
  maximize_.SetLeft(close_.left() - maximize_.width() - kButtonGap);
  minimize_.SetLeft(maximize_.left() - minimize_.width() - kButtonGap);
}

}  // namespace tolmeo

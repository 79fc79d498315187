#include "views/lock_fuse_editor.h"

#include "base/cp949.h"
#include "gfx/colors.h"

namespace tolmeo {
namespace {

constexpr int kColumnTitleLeft = 4;
constexpr int kTitleTop = 20;
constexpr int kTitleHeight = 14;
constexpr int kColumnTitleWidth = 42;
constexpr int kNameWidth = 113;
constexpr int kByteButtonsTop = 185;
constexpr int kDescriptionButtonsTop = 210;

struct GroupText {
  const char8_t* title;
  int title_width;
  const char8_t* write_balloon;
  const char8_t* read_balloon;
};

// In the order of FuseGroup: lock, extended, high, low.
constexpr GroupText kGroupTexts[] = {
    {u8"[보안]", 50, u8"보안 설정을 AVR 에 기록합니다.",
     u8"보안 설정을 AVR 로 부터 읽어들입니다."},
    {u8"[설정확장]", 80, u8"확장 설정값을 AVR 에 기록합니다.",
     u8"확장 설정값을 AVR 로 부터 읽어들입니다."},
    {u8"[설정상위]", 80, u8"상위 설정값을 AVR 에 기록합니다.",
     u8"상위 설정값을 AVR 로 부터 읽어들입니다."},
    {u8"[설정하위]", 80, u8"하위 설정값을 AVR 에 기록합니다.",
     u8"하위 설정값을 AVR 로 부터 읽어들입니다."},
};

std::string Cp949(const char8_t* utf8) {
  return Cp949FromUtf8(reinterpret_cast<const char*>(utf8));
}

// Bit 7 on top, rows 18 apart below the titles.
int RowTop(int bit) { return kTitleTop + kTitleHeight + (7 - bit) * LockFuseEditor::kRowSpacing; }
int BoxTop(int bit) { return RowTop(bit) + 4; }

}  // namespace

LockFuseEditor::LockFuseEditor(Form& window, const IdeOptions& options, ChipImage& image)
    : window_(window), options_(options), image_(image) {
  const Color overall = options.overallColor;
  AddLabel(Rect{kColumnTitleLeft, kTitleTop, kColumnTitleWidth, kTitleHeight}, Ktext(u8"[비트]"),
           overall);
  for (int bit = 0; bit < 8; ++bit) {
    AddLabel(Rect{20, RowTop(bit) + 2, 10, 16}, std::to_string(bit), overall);
  }
  const int lock_left = kColumnTitleLeft + kColumnTitleWidth + 4;
  for (FuseGroup group : kFuseGroups) {
    const int index = Index(group);
    BuildGroup(group, lock_left + index * kGroupSpacing, kGroupTexts[index].title_width);
  }
  reset_ = &AddButton(Rect{lock_left, kDescriptionButtonsTop, 259, 18},
                      Ktext(u8"명세 문서값으로 설정 초기화"),
                      Ktext(u8"AVR 명세 문서로 다시 설정합니다."),
                      [this] { if (on_reset) on_reset(); });
  save_ = &AddButton(Rect{lock_left + 2 * kGroupSpacing, kDescriptionButtonsTop, 259, 18},
                     Ktext(u8"현재 설정을 명세문서에 저장"),
                     Ktext(u8"현재 설정 내용을 AVR 명세 문서에 저장합니다."),
                     [this] { if (on_save) on_save(); });
}

void LockFuseEditor::BuildGroup(FuseGroup group, int left, int title_width) {
  const GroupText& texts = kGroupTexts[Index(group)];
  Group& built = groups_[Index(group)];
  built.title = &AddLabel(Rect{left, kTitleTop, title_width, kTitleHeight},
                          Cp949(texts.title), options_.overallColor);
  for (int bit = 0; bit < 8; ++bit) {
    auto& box = Add(std::make_unique<Tgui_check_button_Form>(&window_, options_),
                    Rect{left, BoxTop(bit), 12, 12});
    box.on_change = [this, group, bit] { TakeBox(group, bit); };
    built.boxes[bit] = &box;
    built.names[bit] = &AddLabel(Rect{left + 16, BoxTop(bit) - 1, kNameWidth, 16},
                                 Ktext(u8"비트문자열"), kBlack);
  }
  built.write = &AddButton(Rect{left, kByteButtonsTop, 60, 18}, Ktext(u8"쓰기"),
                           Cp949(texts.write_balloon), [this, group] {
                             if (on_write) on_write(group);
                           });
  built.read = &AddButton(Rect{left + 64, kByteButtonsTop, 60, 18}, Ktext(u8"읽기"),
                          Cp949(texts.read_balloon), [this, group] {
                            if (on_read) on_read(group);
                          });
}

template <typename Control>
Control& LockFuseEditor::Add(std::unique_ptr<Control> control, const Rect& bounds) {
  Control& added = *control;
  added.SetParent(&window_);
  added.SetBounds(bounds);
  added.Hide();
  controls_.push_back(std::move(control));
  return added;
}

Tgui_Label_Form& LockFuseEditor::AddLabel(const Rect& bounds, const std::string& cp949_text,
                                          Color color) {
  auto& label = Add(std::make_unique<Tgui_Label_Form>(&window_, options_), bounds);
  label.SetText(cp949_text);
  label.SetTextColor(color);
  label.SetTextPosition(0, 1);
  return label;
}

Tgui_button_Form& LockFuseEditor::AddButton(const Rect& bounds, const std::string& caption,
                                            const std::string& balloon,
                                            std::function<void()> action) {
  auto& button = Add(std::make_unique<Tgui_button_Form>(&window_, options_), bounds);
  button.SetCaption(caption);
  button.SetCentered(true);
  button.SetBalloonEnabled(true);
  button.SetBalloonText(balloon);
  button.on_click = std::move(action);
  return button;
}

void LockFuseEditor::SetVisible(bool visible) {
  for (auto& control : controls_) control->SetVisible(visible);
}

void LockFuseEditor::TakeBox(FuseGroup group, int bit) {
  image_.bits.Box(group, bit).checked = box(group, bit).checked();
  image_.CollectBits(group);
}

void LockFuseEditor::ShowBits() {
  for (FuseGroup group : kFuseGroups) {
    for (int bit = 0; bit < 8; ++bit) {
      const BitBox& shown = image_.bits.Box(group, bit);
      box(group, bit).SetChecked(shown.checked);
      box(group, bit).SetEnabled(!shown.fixed);
      name(group, bit).SetText(shown.name);
    }
  }
}

}  // namespace tolmeo

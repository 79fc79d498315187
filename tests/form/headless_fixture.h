#pragma once
// A headless application per test, and a probe form that logs what the library tells it and
// shows one solid colour the way self-drawn controls do (its own bitmap, copied on erase).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "form/application.h"
#include "form/form.h"
#include "form/headless_backend.h"

namespace tolmeo::testing {

class ProbeForm : public Form {
 public:
  ProbeForm(std::string name, std::vector<std::string>& log, Color fill, Form* parent = nullptr)
      : name_(std::move(name)), log_(log), fill_(fill) {
    if (parent) SetParent(parent);
  }

  void Present() {
    Bitmap picture(width(), height(), fill_);
    CopyToWindow(picture, 0, 0, width(), height(), 0, 0);
  }

  std::function<void(MouseButton, int, int)> on_down;
  std::function<void(int, int)> on_up;
  bool takes_wheel = false;
  bool takes_keys = false;

 protected:
  void FormEraseBackground() override { Present(); }
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override {
    Log("down", button, x, y, shift);
    if (on_down) on_down(button, x, y);
  }
  void FormMouseMove(ShiftState, int x, int y) override { Log("move", MouseButton::Left, x, y, 0); }
  void FormMouseUp(MouseButton button, ShiftState, int x, int y) override {
    Log("up", button, x, y, 0);
    if (on_up) on_up(x, y);
  }
  void FormDblClick() override { log_.push_back(name_ + " dblclick"); }
  void FormMouseEnter() override { log_.push_back(name_ + " enter"); }
  void FormMouseLeave() override { log_.push_back(name_ + " leave"); }
  void FormEnter() override { log_.push_back(name_ + " focus"); }
  void FormExit() override { log_.push_back(name_ + " unfocus"); }
  bool FormMouseWheel(ShiftState, int notches, Point) override {
    log_.push_back(name_ + " wheel " + std::to_string(notches));
    return takes_wheel;
  }
  bool FormKeyDown(Key key, ShiftState shift) override {
    log_.push_back(name_ + " key " + std::to_string(key) + ((shift & kShiftKey) ? " shift" : ""));
    return takes_keys;
  }
  bool FormKeyPress(const std::string& character) override {
    log_.push_back(name_ + " char " + std::to_string(character.size()) + " bytes");
    return takes_keys;
  }

 private:
  void Log(const char* what, MouseButton button, int x, int y, ShiftState shift) {
    std::string entry = name_ + " " + what;
    if (button == MouseButton::Right) entry += " right";
    entry += " " + std::to_string(x) + "," + std::to_string(y);
    if (shift & kDoubleClick) entry += " double";
    log_.push_back(entry);
  }

  std::string name_;
  std::vector<std::string>& log_;
  Color fill_;
};

class HeadlessTest : public ::testing::Test {
 protected:
  explicit HeadlessTest(
      std::unique_ptr<HeadlessBackend> backend = std::make_unique<HeadlessBackend>())
      : screen(backend.get()), app(std::make_unique<Application>(std::move(backend))) {}
  ~HeadlessTest() override { DestroyForms(); }

  // Forms must go before the application; tests keep theirs here.
  template <typename T, typename... Args>
  T& Make(Args&&... args) {
    auto form = std::make_unique<T>(std::forward<Args>(args)...);
    T& result = *form;
    forms.push_back(std::move(form));
    return result;
  }
  void DestroyForms() {
    while (!forms.empty()) forms.pop_back();  // children first: they were made later
  }

  // A shown top-level window at (100, 100), 200 x 100, white.
  ProbeForm& MakeWindow(const std::string& name = "window") {
    ProbeForm& window = Make<ProbeForm>(name, log, 0xFFFFFF);
    window.SetBounds(Rect{100, 100, 200, 100});
    window.Show();
    return window;
  }

  Color ScreenPixel(const Form& window, int x, int y) const {
    return screen->Find(window.window_handle())->pixels.Pixel(x, y);
  }

  void Pump() { app->RunPendingMessages(); }
  void Advance(int ms) {
    screen->AdvanceClock(ms);
    Pump();
  }

  HeadlessBackend* screen;
  std::unique_ptr<Application> app;
  std::vector<std::unique_ptr<Form>> forms;
  std::vector<std::string> log;
};

}  // namespace tolmeo::testing

// The SDL backend under SDL's display-less "dummy" driver: a window with a child comes up,
// is composited and presented, and the loop runs; SDL's own events (input method, keys, the
// window manager's notices) come out as Tolmeo's. Without a display a person sees, it refuses.
#include <SDL.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "form/application.h"
#include "form/form.h"
#include "form/form_timer.h"
#include "form/sdl_backend.h"

namespace tolmeo {
namespace {

class Panel : public Form {
 public:
  explicit Panel(Color fill) : picture_(1, 1, fill) {}
  int presents = 0;

 protected:
  void FormResize() override { picture_.Resize(width(), height(), picture_.Pixel(0, 0)); }
  void FormEraseBackground() override {
    CopyToWindow(picture_, 0, 0, width(), height(), 0, 0);
    ++presents;
  }

 private:
  Bitmap picture_;
};

TEST(SdlBackendTest, AWindowWithAChildIsPresentedUnderTheDummyDriver) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  auto backend = StartSdlBackend();
  if (!backend) GTEST_SKIP() << backend.reason();
  Application app(std::move(*backend));
  {
    Panel window(0xFFFFFF);
    window.SetBounds(Rect{10, 10, 320, 200});
    Panel child(0x0000FF);
    child.SetParent(&window);
    child.SetBounds(Rect{20, 20, 100, 40});
    child.Show();
    window.Show();
    EXPECT_NE(window.window_handle(), kNoWindow);
    EXPECT_EQ(child.window_handle(), kNoWindow);

    // Shapes need a shaping driver; without one the window stays rectangular and works on.
    window.SetShape(Region::FromRect(Rect{0, 0, 300, 200}));
    window.SetAlphaBlend(true, 200);
    int ticks = 0;
    FormTimer timer("tick", [&] { ++ticks; }, 1);
    timer.SetEnabled(true);
    for (int pass = 0; pass < 1000000 && ticks == 0; ++pass) app.RunPendingMessages();
    child.SetLeft(40);
    app.RunPendingMessages();
    EXPECT_GE(child.presents, 2);
    // Treated as rectangular: the part the shape would cut away shows the form, not black.
    EXPECT_EQ(window.EffectiveShape(), nullptr);
    EXPECT_EQ(window.WindowPicture()->Pixel(310, 100), 0xFFFFFFu);
    EXPECT_GT(app.ScreenRect().width, 0);
    EXPECT_GT(app.WorkArea().height, 0);
  }
}

TEST(SdlBackendTest, OnlyDriversThatShowWindowsOrThatWereAskedForAreUsable) {
  EXPECT_TRUE(IsUsableVideoDriver("x11", ""));
  EXPECT_TRUE(IsUsableVideoDriver("wayland", ""));
  EXPECT_FALSE(IsUsableVideoDriver("offscreen", ""));  // SDL's fallback without a display
  EXPECT_FALSE(IsUsableVideoDriver("dummy", ""));
  EXPECT_TRUE(IsUsableVideoDriver("dummy", "dummy"));
  EXPECT_TRUE(IsUsableVideoDriver("offscreen", "x11,offscreen"));
  EXPECT_FALSE(IsUsableVideoDriver("offscreen", "offscreenx"));
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SdlBackendTest, WithoutADisplayItSaysSoInsteadOfRunningInvisibly) {
  ScopedEnv display("DISPLAY", nullptr), wayland("WAYLAND_DISPLAY", nullptr), driver("SDL_VIDEODRIVER", nullptr);
  auto backend = StartSdlBackend();
  ASSERT_FALSE(backend.ok());
  EXPECT_FALSE(backend.reason().empty());
}

class SdlEventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    auto started = StartSdlBackend();
    if (!started) GTEST_SKIP() << started.reason();
    backend = std::move(*started);
  }

  std::vector<BackendEvent> Drain() {
    std::vector<BackendEvent> events;
    while (auto event = backend->PollEvent()) events.push_back(*event);
    return events;
  }
  void PushEditing(const char* utf8) {
    SDL_Event event{};
    event.type = SDL_TEXTEDITING;
    std::strncpy(event.edit.text, utf8, sizeof event.edit.text - 1);
    SDL_PushEvent(&event);
  }
  void PushText(const char* utf8) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
    SDL_PushEvent(&event);
  }
  void PushKey(SDL_Keycode code, SDL_Scancode scancode, Uint16 mod) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = code;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = mod;
    SDL_PushEvent(&event);
  }
  void PushWindowEvent(Uint32 window_id, SDL_WindowEventID id, int data1 = 0, int data2 = 0) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = window_id;
    event.window.event = id;
    event.window.data1 = data1;
    event.window.data2 = data2;
    SDL_PushEvent(&event);
  }
  // The SDL window behind a backend window, found by its title.
  Uint32 SdlIdOf(const char* title) {
    for (Uint32 id = 1; id < 1000; ++id) {
      SDL_Window* window = SDL_GetWindowFromID(id);
      if (window && std::strcmp(SDL_GetWindowTitle(window), title) == 0) return id;
    }
    return 0;
  }

  std::unique_ptr<Backend> backend;
};

TEST_F(SdlEventsTest, InputMethodNoticesBecomeCompositionStepsInOrder) {
  Drain();
  PushEditing("ㅎ");
  PushEditing("한");
  PushText("한");   // the result
  PushText("a");    // typed directly afterwards
  PushEditing("ㄱ");
  PushEditing("");  // given up
  std::vector<std::string> seen;
  for (const BackendEvent& event : Drain()) {
    if (event.kind == EventKind::Text) seen.push_back("text " + event.text);
    if (event.kind != EventKind::Composition) continue;
    const char* names[] = {"start", "update", "commit", "end"};
    seen.push_back(names[static_cast<int>(event.composition)] + (event.text.empty() ? "" : " " + event.text));
  }
  EXPECT_THAT(seen, ::testing::ElementsAre("start", "update ㅎ", "update 한", "commit 한", "end", "text a",
                                           "start", "update ㄱ", "end"));
}

TEST_F(SdlEventsTest, KeypadFollowsNumLockAndTheKoreanKeysHaveTheirCodes) {
  Drain();
  PushKey(SDLK_KP_8, SDL_SCANCODE_KP_8, KMOD_NUM);
  PushKey(SDLK_KP_8, SDL_SCANCODE_KP_8, KMOD_NONE);
  PushKey(SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, KMOD_NONE);
  PushKey(SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, KMOD_NONE);
  PushKey(SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, KMOD_NUM);
  PushKey(SDL_SCANCODE_TO_KEYCODE(SDL_SCANCODE_LANG1), SDL_SCANCODE_LANG1, KMOD_NONE);
  PushKey(SDL_SCANCODE_TO_KEYCODE(SDL_SCANCODE_LANG2), SDL_SCANCODE_LANG2, KMOD_NONE);
  std::vector<Key> keys;
  for (const BackendEvent& event : Drain()) {
    if (event.kind == EventKind::KeyDown) keys.push_back(event.key);
  }
  EXPECT_THAT(keys, ::testing::ElementsAre(kKeyNumpad0 + 8, kKeyUp, kKeyDelete, kKeyAdd, kKeyReturn,
                                           kKeyHangul, kKeyHanja));
}

TEST_F(SdlEventsTest, WindowManagerChangesComeThroughAndLateEchoesOfRequestsDoNot) {
  WindowSettings settings;
  settings.bounds = Rect{10, 10, 100, 80};
  settings.title = "probe window";
  WindowHandle handle = backend->CreateWindow(settings);
  Uint32 id = SdlIdOf("probe window");
  ASSERT_NE(id, 0u);
  backend->SetWindowBounds(handle, Rect{20, 20, 100, 80});
  backend->SetWindowBounds(handle, Rect{30, 30, 120, 90});
  Drain();
  PushWindowEvent(id, SDL_WINDOWEVENT_MOVED, 20, 20);      // the older request, late
  PushWindowEvent(id, SDL_WINDOWEVENT_MOVED, 30, 30);      // the newer one
  PushWindowEvent(id, SDL_WINDOWEVENT_RESIZED, 120, 90);
  PushWindowEvent(id, SDL_WINDOWEVENT_MOVED, 400, 300);    // dragged by the window manager
  PushWindowEvent(id, SDL_WINDOWEVENT_RESIZED, 640, 480);
  PushWindowEvent(id, SDL_WINDOWEVENT_MAXIMIZED);
  PushWindowEvent(id, SDL_WINDOWEVENT_RESTORED);
  PushWindowEvent(id, SDL_WINDOWEVENT_RESTORED);           // nothing to restore any more
  std::vector<std::string> seen;
  for (const BackendEvent& event : Drain()) {
    if (event.window != handle) continue;
    std::string at = " " + std::to_string(event.x) + "," + std::to_string(event.y);
    if (event.kind == EventKind::Moved) seen.push_back("moved" + at);
    if (event.kind == EventKind::Resized) seen.push_back("resized" + at);
    if (event.kind == EventKind::Maximized) seen.push_back("maximized");
    if (event.kind == EventKind::Restored) seen.push_back("restored");
  }
  EXPECT_THAT(seen, ::testing::ElementsAre("moved 400,300", "resized 640,480", "maximized", "restored"));
  backend->DestroyWindow(handle);
}

}  // namespace
}  // namespace tolmeo

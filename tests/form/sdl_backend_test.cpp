// The SDL backend under SDL's display-less "dummy" driver: a window with a child comes up,
// is composited and presented, and the loop runs.
#include <gtest/gtest.h>

#include <cstdlib>

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

}  // namespace
}  // namespace tolmeo

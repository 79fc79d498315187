// An application never given a desktop: a dialog or the browser asked for fails and says why,
// rather than answering as if the user had cancelled; the clipboard still works in the program.
#include "form/detached_desktop.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/cp949.h"
#include "headless_fixture.h"

namespace tolmeo::testing {
namespace {

using ::testing::HasSubstr;

TEST_F(HeadlessTest, WithoutADesktopDialogsAndTheBrowserFailSayingSo) {
  Desktop& desktop = app->desktop();
  const std::string& no_desktop = Ktext(u8"데스크톱이 연결되지 않아");
  const FileDialog dialog{Ktext(u8"열 파일"), "", "*.hex|*.hex"};
  for (const auto& answer : {desktop.ChooseFileToOpen(dialog), desktop.ChooseFileToSave(dialog)}) {
    ASSERT_FALSE(answer.ok());
    EXPECT_THAT(answer.reason(), HasSubstr(no_desktop));
    EXPECT_THAT(answer.reason(), HasSubstr(dialog.title));
  }
  const auto color = desktop.ChooseColor(0x123456);
  ASSERT_FALSE(color.ok());
  EXPECT_THAT(color.reason(), HasSubstr(no_desktop));
  const Status browser = desktop.OpenInBrowser("help/index.html");
  ASSERT_FALSE(browser.ok());
  EXPECT_THAT(browser.reason(), HasSubstr("help/index.html"));

  desktop.SetClipboardText(Ktext(u8"복사한 글"));
  EXPECT_EQ(desktop.ClipboardText(), Ktext(u8"복사한 글"));
}

}  // namespace
}  // namespace tolmeo::testing

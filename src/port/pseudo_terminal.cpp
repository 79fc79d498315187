#include "port/pseudo_terminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include "base/cp949.h"

namespace tolmeo {

PseudoTerminal::~PseudoTerminal() {
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
}

// Raw from the start: a terminal's echo would hand the programmer's answers back to it.
Status PseudoTerminal::Open() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
    if (const char* name = ptsname(master_)) slave_path_ = name;
  }
  if (!slave_path_.empty()) slave_ = open(slave_path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios mode{};
  if (slave_ < 0 || tcgetattr(slave_, &mode) != 0) {
    return Failure{Ktext(u8"가상 시리얼 포트(의사 터미널)를 만들지 못했습니다.")};
  }
  cfmakeraw(&mode);
  tcsetattr(slave_, TCSANOW, &mode);
  return Success();
}

}  // namespace tolmeo

#include "port/sim_cable.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "base/cp949.h"
#include "port/isp_lines.h"

namespace tolmeo {
namespace {

std::string FileHeading(const std::string& cp949_path) {
  return Ktext(u8"가상 AVR 파일 ") + cp949_path + ": ";
}

}  // namespace

SimCable::SimCable(const ChipModel& model, std::string cp949_path) : chip_(model), path_(std::move(cp949_path)) {
  if (!path_.empty()) load_status_ = LockAndLoad();
}

SimCable::~SimCable() {
  if (save_on_close_ && keeps_file()) Save();  // nobody is left to tell of a failure
  if (lock_fd_ >= 0) ::close(lock_fd_);
}

// The file itself carries the lock: a second run fails at once instead of waiting, and since
// saving is a run's last step, a run that opens the file after another's save sees that save.
// A save replaces the file by a new one, so a lock taken on the file a path named a moment ago
// may guard nothing: it counts only while the path still names the locked file.
Status SimCable::LockAndLoad() {
  const std::string left_alone = Ktext(u8"\r\n칩을 건드리지 않았고 파일은 그대로 둡니다.");
  if (Status locked = LockPath(); !locked) return Failure{FileHeading(path_) + locked.reason() + left_alone};
  Status loaded = chip_.Load(path_);
  if (!loaded) return Failure{FileHeading(path_) + loaded.reason() + left_alone};
  return Success();
}

Status SimCable::LockPath() {
  for (;;) {
    if (lock_fd_ >= 0) ::close(lock_fd_);
    lock_fd_ = ::open(Utf8FromCp949(path_).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock_fd_ < 0) return Failure{Ktext(u8"열지 못했습니다 (") + std::strerror(errno) + ")."};
    if (::flock(lock_fd_, LOCK_EX | LOCK_NB) != 0) {
      return Failure{Ktext(u8"다른 실행이 이 파일의 칩을 쓰고 있습니다. 그 실행이 끝난 뒤에 다시 해 주세요.")};
    }
    struct stat locked {}, named {};
    if (::fstat(lock_fd_, &locked) == 0 && ::stat(Utf8FromCp949(path_).c_str(), &named) == 0 &&
        locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
      return Success();
    }
  }
}

Status SimCable::Open() {
  if (absent) return Failure{Ktext(u8"시뮬레이션 케이블이 연결되어 있지 않습니다.")};
  return load_status_;
}

// Counted as a parallel port counts: a write that changes no line never reaches the port.
void SimCable::WriteData(std::uint8_t value) {
  if (value != data_ || !written_) CountAccess();
  written_ = true;
  data_ = value;
  if (absent) return;
  chip_.Drive({LineIsHigh(value, kResetLine), LineIsHigh(value, kSckLine), LineIsHigh(value, kMosiLine)},
              clock_.NowNs());
}

void SimCable::CountAccess() {
  ++stats_.accesses;
  clock_.SpinNs(access_ns);
}

std::uint8_t SimCable::ReadStatus() {
  CountAccess();
  return StatusWithMiso(absent || chip_.Miso());
}

CableStats SimCable::Stats() const {
  // On ppdev every access is one ioctl carrying one byte.
  return {stats_.accesses, stats_.accesses, stats_.accesses};
}

Status SimCable::Save() {
  if (path_.empty()) return Success();
  if (!load_status_.ok()) return load_status_;
  Status saved = chip_.Save(path_);
  if (!saved) return Failure{FileHeading(path_) + Ktext(u8"저장하지 못했습니다: ") + saved.reason()};
  // The save put a new file under the path; the lock moves to it, so that no other run takes
  // the chip while this one may still change it.
  if (Status locked = LockPath(); !locked) load_status_ = Failure{FileHeading(path_) + locked.reason()};
  return Success();
}

}  // namespace tolmeo

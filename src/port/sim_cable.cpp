#include "port/sim_cable.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "base/cp949.h"

namespace tolmeo {
namespace {

constexpr std::uint8_t kResetBit = 0x01;
constexpr std::uint8_t kSckBit = 0x02;
constexpr std::uint8_t kMosiBit = 0x04;
constexpr std::uint8_t kBusyBit = 0x80;
// The other status inputs (error, select, paper out, acknowledge) idle high on a real port.
constexpr std::uint8_t kIdleStatusBits = 0x78;

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

void SimCable::WriteData(std::uint8_t value) {
  data_ = value;
  if (absent) return;
  chip_.Drive({(value & kResetBit) != 0, (value & kSckBit) != 0, (value & kMosiBit) != 0}, clock_.NowNs());
}

std::uint8_t SimCable::ReadStatus() {
  const bool miso = absent || chip_.Miso();
  return miso ? kIdleStatusBits : kIdleStatusBits | kBusyBit;
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

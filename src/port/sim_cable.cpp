#include "port/sim_cable.h"

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

}  // namespace

SimCable::SimCable(const ChipModel& model, std::string cp949_path) : chip_(model), path_(std::move(cp949_path)) {
  if (!path_.empty()) load_status_ = chip_.Load(path_);
}

SimCable::~SimCable() {
  // Saving over a file that could not be read would throw away what the user had in it.
  if (load_status_.ok()) Save();
}

Status SimCable::Open() {
  if (absent) return Failure{Ktext(u8"시뮬레이션 케이블이 연결되어 있지 않습니다.")};
  return Success();
}

void SimCable::WriteData(std::uint8_t value) {
  data_ = value;
  if (absent) return;
  chip_.Drive({(value & kResetBit) != 0, (value & kSckBit) != 0, (value & kMosiBit) != 0}, clock_.NowUs());
}

std::uint8_t SimCable::ReadStatus() {
  const bool miso = absent || chip_.Miso();
  return miso ? kIdleStatusBits : kIdleStatusBits | kBusyBit;
}

Status SimCable::Save() {
  if (path_.empty()) return Success();
  return chip_.Save(path_);
}

}  // namespace tolmeo

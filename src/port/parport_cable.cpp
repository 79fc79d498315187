#include "port/parport_cable.h"

#include <ieee1284.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <utility>

#include "base/cp949.h"

namespace tolmeo {
namespace {

constexpr std::uint8_t kMisoHighStatus = 0x00;

// The ports the library finds, or an empty list when it finds none.
ParportList FindPorts() {
  ParportList list(new parport_list{});
  if (ieee1284_find_ports(list.get(), 0) != E1284_OK) *list = parport_list{};
  return list;
}

std::string PortName(const parport* port) { return port->name ? port->name : ""; }

parport* FindPort(const parport_list& list, const std::string& name) {
  for (int i = 0; i < list.portc; ++i) {
    if (name.empty() || name == PortName(list.portv[i])) return list.portv[i];
  }
  return nullptr;
}

// How long a shared claim may wait for the port's other user (the printer driver lets go as
// soon as it has printed; another program holding the port may never).
constexpr int kClaimWaitSeconds = 3;

void IgnoreAlarm(int) {}

// ppdev blocks a claim until the port is free: an alarm interrupts the wait, so a port held
// for good gives a message instead of a hang.
int ClaimWithin(parport* port, int seconds) {
  struct sigaction quiet {}, before {};
  quiet.sa_handler = IgnoreAlarm;  // no SA_RESTART: the blocked claim returns
  sigemptyset(&quiet.sa_mask);
  sigaction(SIGALRM, &quiet, &before);
  itimerval timer{}, stopped{};
  timer.it_value.tv_sec = seconds;
  setitimer(ITIMER_REAL, &timer, nullptr);
  const int claimed = ieee1284_claim(port);
  setitimer(ITIMER_REAL, &stopped, nullptr);
  sigaction(SIGALRM, &before, nullptr);
  return claimed;
}

std::string DeviceName(const parport* port) { return port->filename ? port->filename : PortName(port); }

// Why the port's device file cannot be used, as an errno value; 0 when it can, or when the
// port has no device file to look at.
int DeviceFileError(const parport* port) {
  if (!port->filename || ::access(port->filename, R_OK | W_OK) == 0) return 0;
  return errno;
}

Failure OpenFailure(const parport* port) {
  const std::string device = Cp949FromUtf8(DeviceName(port));
  switch (DeviceFileError(port)) {
    case EACCES:
      return Failure{device + Ktext(u8" 에 접근할 권한이 없습니다. 사용자를 \"lp\" 그룹에 넣거나 ") + device +
                     Ktext(u8" 의 접근 권한을 주세요.")};
    case ENOENT:
      return Failure{device + Ktext(u8" 장치 파일이 없습니다. ppdev 모듈이 올라와 있는지 확인해 주세요.")};
    default:
      return Failure{device + Ktext(u8" 병렬 포트를 열지 못했습니다.")};
  }
}

}  // namespace

std::vector<std::string> ParallelPortNames() {
  ParportList list = FindPorts();
  std::vector<std::string> names;
  for (int i = 0; i < list->portc; ++i) names.push_back(PortName(list->portv[i]));
  return names;
}

void ParportListDeleter::operator()(parport_list* list) const {
  ieee1284_free_ports(list);
  delete list;
}

ParportCable::ParportCable(std::string port_name, ParportWiring wiring)
    : name_(std::move(port_name)), wiring_(std::move(wiring)), uses_control_(UsesControlPins(wiring_)) {}

ParportCable::~ParportCable() { Close(); }

Status ParportCable::Open() {
  if (port_) return Success();
  Close();
  ParportList found = FindPorts();
  parport* port = FindPort(*found, name_);
  if (!port) {
    if (name_.empty()) return Failure{Ktext(u8"병렬 포트를 찾지 못했습니다.")};
    return Failure{Ktext(u8"병렬 포트를 찾지 못했습니다: ") + Cp949FromUtf8(name_)};
  }
  ports_ = std::move(found);
  return OpenPort(port);
}

// The port is opened for Tolmeo alone when it can be; where another driver (lp) has it
// registered, it is shared, and claimed as soon as that driver lets go.
Status ParportCable::OpenPort(parport* port) {
  int capabilities = 0;
  if (ieee1284_open(port, F1284_EXCL, &capabilities) != E1284_OK &&
      ieee1284_open(port, 0, &capabilities) != E1284_OK) {
    return OpenFailure(port);
  }
  if (!(capabilities & CAP1284_RAW)) {
    ieee1284_close(port);
    return Failure{Cp949FromUtf8(DeviceName(port)) + Ktext(u8" 병렬 포트는 핀 단위 제어를 지원하지 않습니다.")};
  }
  if (ClaimWithin(port, kClaimWaitSeconds) != E1284_OK) {
    ieee1284_close(port);
    return Failure{Cp949FromUtf8(DeviceName(port)) +
                   Ktext(u8" 병렬 포트를 다른 프로그램이 쥐고 놓지 않습니다. 인쇄 중이면 끝난 뒤에 다시 해 보고, "
                         u8"그래도 안 되면 그 프로그램을 끝내거나 프린터 드라이버를 내려 주세요 (sudo rmmod lp).")};
  }
  port_ = port;
  const int control = ieee1284_read_control(port);
  control_base_ = control < 0 ? 0 : static_cast<std::uint8_t>(control);
  return Success();
}

void ParportCable::Close() {
  if (port_) {
    ieee1284_release(port_);
    ieee1284_close(port_);
    port_ = nullptr;
  }
  written_.reset();
  ports_.reset();
}

void ParportCable::WriteData(std::uint8_t value) {
  if (!port_) return;
  // One port access per line change: only the group whose pins change is written.
  const PinLevels pins = PinsFor(wiring_, value, control_base_);
  if (!written_ || pins.data != written_->data) {
    ieee1284_write_data(port_, pins.data);
    ++accesses_;
  }
  if (uses_control_ && (!written_ || pins.control != written_->control)) {
    ieee1284_write_control(port_, pins.control);
    ++accesses_;
  }
  written_ = pins;
}

std::uint8_t ParportCable::ReadStatus() {
  if (!port_) return kMisoHighStatus;
  const int status = ieee1284_read_status(port_);
  ++accesses_;
  if (status < 0) return kMisoHighStatus;
  return StatusFor(wiring_, static_cast<std::uint8_t>(status));
}

}  // namespace tolmeo

// stk500_twin DEVICE [SIM]: a virtual Arduino running ArduinoISP, answering STK500 version 1
// on a pseudo-terminal with a virtual AVR of the description DEVICE behind it, as the cable
// text SIM ("sim[:FILE][,KNOB]...", plain "sim" when not given) makes it. It prints the serial port's path on one line, then answers any
// number of hosts in turn until it is sent SIGTERM or SIGINT.
#include <csignal>
#include <cstdio>
#include <string>

#include "base/cp949.h"
#include "isp/cable_choice.h"
#include "isp/device_description.h"
#include "isp/null_seam.h"
#include "isp/stk500_responder.h"

namespace {

std::atomic<bool> stop = false;

void Stop(int) { stop = true; }

int Refuse(const std::string& cp949_reason) {
  std::fprintf(stderr, "stk500_twin: %s\n", tolmeo::Utf8FromCp949(cp949_reason).c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tolmeo;
  if (argc < 2 || argc > 3) {
    std::fputs("usage: stk500_twin DEVICE [sim[:FILE][,KNOB]...]\n", stderr);
    return 2;
  }
  auto image = std::make_unique<ChipImage>();
  NullSeam seam;
  if (Status loaded = LoadDescription(DescriptionPath(argv[1]), *image, seam); !loaded) return Refuse(loaded.reason());
  const std::string sim = argc == 3 ? Cp949FromUtf8(argv[2]) : "sim";
  Result<CableSetting> setting = ParseCableText(sim);
  if (!setting) return Refuse(setting.reason());
  if (!setting->simulated || setting->kind != CableKind::ParallelPort) return Refuse(Ktext(u8"두 번째 인수는 sim 케이블이어야 합니다."));
  CableRig rig = MakeCable(sim, *image);
  PseudoTerminal pty;
  if (Status opened = pty.Open(); !opened) return Refuse(opened.reason());
  Stk500Responder responder(*rig.sim);
  std::signal(SIGTERM, Stop);
  std::signal(SIGINT, Stop);
  std::printf("%s\n", pty.slave_path().c_str());
  std::fflush(stdout);
  responder.Serve(pty.master(), stop);
  return 0;
}

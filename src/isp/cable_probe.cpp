#include "isp/cable_probe.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "base/cp949.h"
#include "isp/engine_session.h"
#include "isp/null_seam.h"

namespace tolmeo {
namespace {

// A Raspberry Pi's SPI0 pins on its header (GPIO 10, 11, 9) with GPIO 25 for RESET, as
// line offsets of its first gpiochip: RESET, SCK, MOSI, MISO.
constexpr const char* kHeaderLines = "25,11,10,9";

constexpr std::int32_t kSpeeds[] = {0, 1, 2, 4, 8, 0x10, 0x20, 0x40, 0x80, 0x100, 0x200};

struct UsbProgrammer {
  const char* vendor;
  const char* product;
  const char* text;
  const char* name;
};
constexpr UsbProgrammer kUsbProgrammers[] = {
    {"16c0", "05dc", "usbasp", "USBasp"},
    {"0403", "6001", "ftdi", "FTDI FT232R"},
    {"0403", "6010", "ftdi", "FTDI FT2232H"},
    {"0403", "6010", "ftdi-mpsse", "FTDI FT2232H MPSSE"},
};

// The entries of folder whose names start with prefix, in name order.
std::vector<std::string> NamesStartingWith(const std::filesystem::path& folder, std::string_view prefix) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    std::string name = entry.path().filename().string();
    if (name.starts_with(prefix)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string FirstLineOf(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

std::filesystem::path Dev(const std::string& root) { return std::filesystem::path(root) / "dev"; }

// The signature the chip gives at this speed, read twice alike; nullopt when it does not.
std::optional<std::array<std::uint8_t, 3>> SignatureAt(EngineSession& session, std::int32_t& speed,
                                                       std::int32_t at) {
  speed = at;
  IspInstructions& isp = session.instructions();
  if (!isp.EnterProgrammingMode()) return std::nullopt;
  const std::array<std::uint8_t, 3> first = isp.ReadSignature();
  const std::array<std::uint8_t, 3> second = isp.ReadSignature();
  if (!isp.ConfirmContact() || first != second) return std::nullopt;
  if (first == std::array<std::uint8_t, 3>{} || first == std::array<std::uint8_t, 3>{0xFF, 0xFF, 0xFF}) {
    return std::nullopt;
  }
  return first;
}

std::string HexByte(std::uint8_t value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02x", value);
  return text;
}

}  // namespace

std::string SpeedText(std::int32_t isp_speed) {
  const SckTiming timing = SckTimingOf(isp_speed);
  char text[64];
  if (timing.shortest_phase_us <= 0) {
    std::snprintf(text, sizeof text, "0x%x (", static_cast<unsigned>(isp_speed));
    return text + Ktext(u8"기다림 없음)");
  }
  std::snprintf(text, sizeof text, "0x%x (%.3f MHz ", static_cast<unsigned>(isp_speed), timing.slowest_target_mhz);
  return text + Ktext(u8"이상의 칩)");
}

std::vector<CableCandidate> ParallelPortCandidates(const std::string& root) {
  std::vector<CableCandidate> found;
  for (const std::string& name : NamesStartingWith(Dev(root), "parport")) {
    found.push_back({name, Ktext(u8"병렬 포트 /dev/") + name});
  }
  return found;
}

std::vector<CableCandidate> SerialPortCandidates(const std::string& root) {
  std::vector<CableCandidate> found;
  for (const char* prefix : {"ttyACM", "ttyUSB"}) {
    for (const std::string& name : NamesStartingWith(Dev(root), prefix)) {
      found.push_back({"arduino:/dev/" + name, Ktext(u8"시리얼 포트 /dev/") + name});
    }
  }
  return found;
}

std::vector<CableCandidate> GpioChipCandidates(const std::string& root) {
  std::vector<CableCandidate> found;
  for (const std::string& name : NamesStartingWith(Dev(root), "gpiochip")) {
    found.push_back({"gpio:" + name + ":" + kHeaderLines, "GPIO /dev/" + name});
  }
  return found;
}

std::vector<CableCandidate> UsbCandidates(const std::string& root) {
  const std::filesystem::path devices = std::filesystem::path(root) / "sys/bus/usb/devices";
  std::vector<CableCandidate> found;
  for (const std::string& name : NamesStartingWith(devices, "")) {
    const std::filesystem::path device = devices / name;
    const std::string vendor = FirstLineOf(device / "idVendor");
    const std::string product = FirstLineOf(device / "idProduct");
    for (const UsbProgrammer& programmer : kUsbProgrammers) {
      if (vendor != programmer.vendor || product != programmer.product) continue;
      const std::string serial = FirstLineOf(device / "serial");
      const std::string text = std::string(programmer.text) + (serial.empty() ? "" : ":" + serial);
      found.push_back({text, std::string(programmer.name) + " " + vendor + ":" + product + " (USB " + name + ")"});
    }
  }
  return found;
}

std::vector<CableCandidate> AttachedCables(const std::string& root) {
  std::vector<CableCandidate> all;
  for (CandidateLister lister : {ParallelPortCandidates, SerialPortCandidates, GpioChipCandidates, UsbCandidates}) {
    std::vector<CableCandidate> found = lister(root);
    all.insert(all.end(), found.begin(), found.end());
  }
  return all;
}

std::span<const std::int32_t> ProbeSpeeds() { return kSpeeds; }

// The slowest speed gives the signature every chip that answers at all gives; the speeds from
// the fastest down are then tried until one reads the same.
ProbeResult ProbeCable(const CableCandidate& cable, const ChipGeometry& device) {
  ProbeResult result;
  result.cable = cable;
  auto image = std::make_unique<ChipImage>();
  static_cast<ChipGeometry&>(*image) = device;
  NullSeam seam;  // a probe shows nothing; its result says it all
  std::int32_t speed = ProbeSpeeds().back();
  EngineSession session(cable.text, *image, seam, speed);
  if (SimCable* sim = session.rig().sim) sim->set_save_on_close(false);  // a probe changes no chip
  if (Status opened = session.OpenPort(); !opened) {
    result.problem = FirstLine(opened.reason());
    return result;
  }
  const std::optional<std::array<std::uint8_t, 3>> reference = SignatureAt(session, speed, ProbeSpeeds().back());
  result.chip_answers = reference.has_value();
  if (reference) {
    result.signature = *reference;
    const LinkCapabilities capabilities = session.instructions().link().Capabilities();
    const bool speed_counts = capabilities.engine_clocks_sck || capabilities.sck_khz > 0;
    const std::span<const std::int32_t> speeds = ProbeSpeeds();
    for (std::size_t i = 0; speed_counts && i < speeds.size(); ++i) {
      if (SignatureAt(session, speed, speeds[i]) != reference) continue;
      result.fastest_speed = speeds[i];
      result.suggested_speed = speeds[std::min(i + 1, speeds.size() - 1)];
      break;
    }
  }
  session.instructions().ReleaseTarget();
  return result;
}

std::string ProbeLine(const ProbeResult& result) {
  std::string line = result.cable.text + " (" + result.cable.found + "): ";
  if (!result.problem.empty()) return line + Ktext(u8"열지 못했습니다: ") + result.problem;
  if (!result.chip_answers) return line + Ktext(u8"칩이 대답하지 않습니다");
  line += Ktext(u8"칩 시그너처 ") + HexByte(result.signature[0]) + " " + HexByte(result.signature[1]) + " " +
          HexByte(result.signature[2]);
  if (!result.fastest_speed) return line + Ktext(u8", SCK 는 프로그래머가 정합니다");
  return line + Ktext(u8", 가장 빠른 ISP 속도 ") + SpeedText(*result.fastest_speed) + Ktext(u8", 여유 있게 ") +
         SpeedText(*result.suggested_speed);
}

}  // namespace tolmeo

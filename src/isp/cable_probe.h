#pragma once
// What is attached, and what each cable can do: the cables found by kind (parallel ports,
// serial ports that may carry an Arduino as ISP, gpiochips, USBasp and FTDI devices by their
// USB ids), each as the cable text that selects it; then, for one cable, whether a chip
// answers, its signature, and the fastest ISP speed at which the signature still reads right.
// tolmeo-cli's probe and the cable dialog both use it.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/chip_geometry.h"

namespace tolmeo {

struct CableCandidate {
  std::string text;   // the cable text that selects it (CP949)
  std::string found;  // what was found, for the list (CP949)
};

// The cables of one kind under root ("/" on the machine; a folder of stand-ins in tests), in
// name order.
using CandidateLister = std::vector<CableCandidate> (*)(const std::string& root);
std::vector<CableCandidate> ParallelPortCandidates(const std::string& root);
std::vector<CableCandidate> SerialPortCandidates(const std::string& root);
std::vector<CableCandidate> GpioChipCandidates(const std::string& root);
std::vector<CableCandidate> UsbCandidates(const std::string& root);
// Every kind, one after the other.
std::vector<CableCandidate> AttachedCables(const std::string& root = "/");

// The ISP speeds a probe tries, fastest first.
std::span<const std::int32_t> ProbeSpeeds();

struct ProbeResult {
  CableCandidate cable;
  std::string problem;  // why the cable did not open (its first line); empty when it did
  bool chip_answers = false;
  std::array<std::uint8_t, 3> signature{};
  // The fastest of ProbeSpeeds at which the signature reads as at the slowest; nullopt when
  // the programmer clocks SCK at a rate of its own that the ISP speed does not set.
  std::optional<std::int32_t> fastest_speed;
  // The next slower speed, twice the phase: the margin Tolmeo keeps for a chip (its default
  // for a 1 MHz chip is what a 1 MHz chip reads at with none).
  std::optional<std::int32_t> suggested_speed;
};

// device sizes a virtual chip and is what an Arduino as ISP is told; the probe reads only the
// signature, so any loaded description will do. Bounded in time: a silent serial port gives
// up after its sync tries.
ProbeResult ProbeCable(const CableCandidate& cable, const ChipGeometry& device);

// "0x10 (1.000 MHz 이상의 칩)": an ISP speed with the slowest target clock it suits (CP949).
std::string SpeedText(std::int32_t isp_speed);

// What is told the results of a probe of several cables when it ends.
using ProbeDone = std::function<void(std::vector<ProbeResult>)>;

// One line (CP949) saying what the probe found.
std::string ProbeLine(const ProbeResult& result);

}  // namespace tolmeo

#pragma once
// A cable for engine tests: it keeps every data-register write and answers status reads from
// a script, so a test can check the exact line changes and feed any MISO pattern.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "base/result.h"
#include "port/cable.h"
#include "port/isp_lines.h"

namespace tolmeo {

class RecordingCable : public Cable {
 public:
  Status Open() override;
  void WriteData(std::uint8_t value) override;
  // The next scripted status byte, or the idle status once the script has run out.
  std::uint8_t ReadStatus() override;

  void FailOpen(std::string reason) { open_failure_ = std::move(reason); }
  void ScriptStatus(std::uint8_t status) { script_.push_back(status); }
  // Eight status reads that give the byte's bits on MISO, most significant first.
  void ScriptMisoByte(std::uint8_t value);
  // The status read once the script is empty; by default MISO reads 1, as with no chip.
  void set_idle_status(std::uint8_t status) { idle_status_ = status; }

  const std::vector<std::uint8_t>& writes() const { return writes_; }
  int status_reads() const { return status_reads_; }
  int open_calls() const { return open_calls_; }

 private:
  std::string open_failure_;
  std::deque<std::uint8_t> script_;
  std::uint8_t idle_status_ = kIdleStatusBits;
  std::vector<std::uint8_t> writes_;
  int status_reads_ = 0;
  int open_calls_ = 0;
};

}  // namespace tolmeo

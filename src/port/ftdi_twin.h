#pragma once
// A fake FTDI FT232R at the libftdi boundary, for tolmeo-cli's ftdi:sim and the tests: in
// synchronous bit-bang mode every byte written sets the output pins for one period of its
// clock (on the simulated cable's virtual clock) and queues the pins as they were just
// before, to be read back. The wiring's RESET, SCK and MOSI pins drive a virtual AVR on a
// simulated cable (with its file and knobs); its MISO pin reads the chip's MISO, and the
// unused inputs read high as the chip's pull-ups make them.
//
// It is as strict as the chip: more bytes written than its buffers hold before they are read
// back stall the chip, and the write fails as a real one times out.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "port/chip_model.h"
#include "port/ftdi_cable.h"
#include "port/sim_cable.h"

namespace tolmeo {

// What the twin's buffers hold, written and not yet read back: 128 bytes to send and 256 received.
inline constexpr int kFtdiTwinBufferBytes = 384;

class FtdiTwin : public FtdiDevice {
 public:
  FtdiTwin(const ChipModel& model, std::string cp949_path, FtdiWiring wiring);

  int Open(int vendor, int product, const std::string& serial) override;
  FtdiChip Chip() const override { return FtdiChip::kFt232r; }
  int SetBitmode(std::uint8_t outputs, std::uint8_t mode) override;
  int SetBaudrate(int rate) override;
  int SetLatencyTimer(std::uint8_t) override { return opened_ ? 0 : -1; }
  int Purge() override;
  int Write(const std::uint8_t* data, int size) override;
  int Read(std::uint8_t* data, int size) override;
  void Close() override { opened_ = false; }
  std::string ErrorText() const override { return error_; }

  SimCable& sim() { return sim_; }
  int rate() const { return rate_; }

  static constexpr const char* kSerial = "TOLMEO-TWIN";

  // Knobs. After this many transfers (writes and reads) every transfer fails, as with the
  // chip unplugged.
  std::optional<int> fail_after_transfers;
  // After this many writes each write takes only half of its bytes.
  std::optional<int> short_writes_after;
  // A read hands back at most this many bytes (0: all there are), as USB packets split them.
  int read_limit = 0;
  // After this many reads the bytes read back are lost: reads bring nothing.
  std::optional<int> lose_reads_after;

 private:
  bool Fails(const char* what);
  void PutOut(std::uint8_t byte);

  SimCable sim_;
  FtdiWiring wiring_;
  bool opened_ = false;
  bool synchronous_ = false;
  std::uint8_t outputs_ = 0;
  std::uint8_t pins_ = 0;
  int rate_ = 9600;
  int transfers_ = 0;
  int writes_ = 0;
  int reads_ = 0;
  std::deque<std::uint8_t> received_;
  std::string error_;
};

}  // namespace tolmeo

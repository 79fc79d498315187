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

// libftdi's code when the USB transfer itself fails.
inline constexpr int kFtdiTransferFailed = -666;

// What every fake FTDI chip shares: found on its USB id (and serial) while the simulated
// cable is there, transfers that fail after a knob's count, writes cut short.
class FtdiTwinChip : public FtdiDevice {
 public:
  FtdiTwinChip(const ChipModel& model, std::string cp949_path, int product, std::string serial);

  // An absent cable is a USB bus without the chip on it.
  int Open(int vendor, int product, const std::string& serial) override;
  int SetBaudrate(int rate) override;
  int SetLatencyTimer(std::uint8_t) override { return opened_ ? 0 : -1; }
  int Purge() override;
  void Close() override { opened_ = false; }
  std::string ErrorText() const override { return error_; }

  SimCable& sim() { return sim_; }
  const std::string& serial() const { return serial_; }

  // Knobs. After this many transfers (writes and reads) every transfer fails, as with the
  // chip unplugged.
  std::optional<int> fail_after_transfers;
  // After this many writes each write takes only half of its bytes.
  std::optional<int> short_writes_after;

 protected:
  // Counts a transfer: true (with the error text) when it fails.
  bool Fails(const char* what);
  // Counts a write that did not fail: the bytes of it the chip takes.
  int WriteSize(int size);
  // A fresh start at Open, and what Purge drops.
  virtual void Restart() = 0;
  virtual void DropReceived() = 0;

  SimCable sim_;
  bool opened_ = false;
  int rate_ = 9600;
  std::string error_;

 private:
  int product_;
  std::string serial_;
  int transfers_ = 0;
  int writes_ = 0;
};

class FtdiTwin : public FtdiTwinChip {
 public:
  FtdiTwin(const ChipModel& model, std::string cp949_path, FtdiWiring wiring);

  FtdiChip Chip() const override { return FtdiChip::kFt232r; }
  int SetBitmode(std::uint8_t outputs, std::uint8_t mode) override;
  int Write(const std::uint8_t* data, int size) override;
  int Read(std::uint8_t* data, int size) override;

  int rate() const { return rate_; }

  static constexpr const char* kSerial = "TOLMEO-TWIN";

  // Knobs. A read hands back at most this many bytes (0: all there are), as USB packets split
  // them.
  int read_limit = 0;
  // After this many reads the bytes read back are lost: reads bring nothing.
  std::optional<int> lose_reads_after;

 private:
  void Restart() override;
  void DropReceived() override { received_.clear(); }
  void PutOut(std::uint8_t byte);

  FtdiWiring wiring_;
  bool synchronous_ = false;
  std::uint8_t outputs_ = 0;
  std::uint8_t pins_ = 0;
  int reads_ = 0;
  std::deque<std::uint8_t> received_;
};

}  // namespace tolmeo

#pragma once
// The ISP cable on an FTDI FT232R (0403:6001) or FT2232H (0403:6010, interface A) in
// synchronous bit-bang mode, through libftdi1. Every byte written is one state of the eight
// pins, held for one period of the chip's bit-bang clock, and brings one byte back: the pins
// as they were just before that byte went out. A batch of line changes (a whole instruction,
// a page of loads or reads) becomes one buffer, written and read back in pieces the chip's
// buffers hold, so it costs a few USB transfers instead of one per line change.
//
// The chip keeps its own pace: the bit-bang clock is set at every programming-mode entry so
// that each line change lasts at least the SCK phase the ISP speed asks, and the engine's
// busy-waits are not added on top. A line change that changes no pin is not sent.
//
// Default wiring, by the FT232R's pin names (D0..D7 on an FT2232H's ADBUS):
//   MOSI = TXD (D0)   MISO = RXD (D1)   SCK = RTS (D2)   RESET = DTR (D4)
//
// The calls into libftdi go through FtdiDevice, so a fake chip with a virtual AVR behind it
// (port/ftdi_twin.h) runs this same cable code in the tests and behind tolmeo-cli's ftdi:sim.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "port/cable.h"

namespace tolmeo {

inline constexpr int kFtdiVendor = 0x0403;
inline constexpr int kFt232rProduct = 0x6001;
inline constexpr int kFt2232hProduct = 0x6010;

// Pins as bit numbers 0..7 of the bit-bang byte.
struct FtdiWiring {
  std::string serial;  // CP949; empty takes the first chip found
  int reset = 4;       // DTR
  int sck = 2;         // RTS
  int mosi = 0;        // TXD
  int miso = 1;        // RXD
};

// "[SERIAL][:PINS]" after "ftdi:", PINS as "RESET=DTR,SCK=RTS,MOSI=TXD,MISO=RXD" (any of the
// four, in any order; the pins as TXD RXD RTS CTS DTR DSR DCD RI or D0..D7), the others as in
// defaults, or what is wrong with it (CP949).
Result<FtdiWiring> ParseFtdiWiring(std::string_view text, const FtdiWiring& defaults = {});

enum class FtdiChip { kFt232r, kFt2232h, kOther };

// The libftdi calls the cable makes, on one context. Each returns what libftdi returns: 0 or
// a count of bytes on success, a negative code on failure.
class FtdiDevice {
 public:
  virtual ~FtdiDevice() = default;
  // ftdi_new, interface A, ftdi_usb_open_desc with the serial (empty: any).
  virtual int Open(int vendor, int product, const std::string& serial) = 0;
  virtual FtdiChip Chip() const = 0;
  virtual int SetBitmode(std::uint8_t outputs, std::uint8_t mode) = 0;
  virtual int SetBaudrate(int rate) = 0;
  virtual int SetLatencyTimer(std::uint8_t milliseconds) = 0;
  // ftdi_tcioflush: what waits in the chip's buffers is dropped.
  virtual int Purge() = 0;
  virtual int Write(const std::uint8_t* data, int size) = 0;
  virtual int Read(std::uint8_t* data, int size) = 0;
  // Reads until size bytes came, a read failed or timeout_ms passed: the bytes read, or the
  // failed read's code.
  virtual int ReadAll(std::uint8_t* data, int size, int timeout_ms);
  // ftdi_usb_close and ftdi_free; nothing when not open.
  virtual void Close() = 0;
  virtual std::string ErrorText() const = 0;
};

// libftdi itself.
std::unique_ptr<FtdiDevice> Libftdi();

// Opens the first of these chips found (the one with this serial, CP949, when it is not
// empty); on failure closes the device again and says why and what mends it: not found, no
// permission, held by another program. products_tried names the chips, for the message.
Status OpenFtdiChip(FtdiDevice& device, std::span<const int> products, const std::string& serial,
                    const std::string& products_tried);

class FtdiCable : public Cable {
 public:
  FtdiCable(std::unique_ptr<FtdiDevice> device, FtdiWiring wiring);
  ~FtdiCable() override;
  FtdiCable(const FtdiCable&) = delete;
  FtdiCable& operator=(const FtdiCable&) = delete;

  // Finds and opens the chip (FT232R first) and switches it to synchronous bit-bang, or says
  // why not and what mends it: no chip found, no permission, held by another program.
  Status Open() override;
  void WriteData(std::uint8_t value) override;
  std::uint8_t ReadStatus() override;
  // Waits no longer than a period of the chip's clock pass in it; longer ones hold the pins
  // for more periods.
  void Exchange(const LineBatch& batch, Clock& clock, std::vector<std::uint8_t>& miso) override;
  // accesses: pin states clocked out; transfers: libftdi writes and reads; bytes: both ways.
  CableStats Stats() const override { return stats_; }
  bool KeepsOwnPace() const override { return true; }
  void StartSession(std::int64_t phase_ns) override;
  bool Lost() const override { return lost_; }

  // The bit-bang clock (pin states a second) and the bytes written at once.
  int rate() const { return rate_; }
  int chunk_bytes() const { return chunk_bytes_; }
  FtdiDevice& device() { return *device_; }

 private:
  void SetRate(std::int64_t phase_ns);
  std::uint8_t PinsOf(std::uint8_t data_register) const;
  int WaitBytes(std::int64_t wait_ns) const;
  void Run(const LineBatch& batch, std::vector<std::uint8_t>& miso);
  bool Transfer(const std::vector<std::uint8_t>& out, std::vector<std::uint8_t>& in);
  bool ReadBack(std::uint8_t* data, int size);

  std::unique_ptr<FtdiDevice> device_;
  FtdiWiring wiring_;
  bool opened_ = false;
  bool lost_ = false;
  std::uint8_t pins_ = 0;  // the state last clocked out
  int rate_ = 0;
  std::int64_t period_ns_ = 0;
  int chunk_bytes_ = 128;
  std::int64_t phase_ns_;
  CableStats stats_;
};

}  // namespace tolmeo

#pragma once
// An FTDI device that hands every call on to a twin, for tests that log or alter a few of
// them: each such test overrides only those.
#include <cstdint>
#include <string>

#include "port/ftdi_cable.h"

namespace tolmeo::testing {

class ForwardingFtdi : public FtdiDevice {
 public:
  explicit ForwardingFtdi(FtdiDevice& twin) : twin_(twin) {}
  int Open(int vendor, int product, const std::string& serial) override { return twin_.Open(vendor, product, serial); }
  FtdiChip Chip() const override { return twin_.Chip(); }
  int SetBitmode(std::uint8_t outputs, std::uint8_t mode) override { return twin_.SetBitmode(outputs, mode); }
  int SetBaudrate(int rate) override { return twin_.SetBaudrate(rate); }
  int SetLatencyTimer(std::uint8_t ms) override { return twin_.SetLatencyTimer(ms); }
  int Purge() override { return twin_.Purge(); }
  int Write(const std::uint8_t* data, int size) override { return twin_.Write(data, size); }
  int Read(std::uint8_t* data, int size) override { return twin_.Read(data, size); }
  int ReadAll(std::uint8_t* data, int size, int timeout_ms) override { return twin_.ReadAll(data, size, timeout_ms); }
  void Close() override { twin_.Close(); }
  std::string ErrorText() const override { return twin_.ErrorText(); }

 private:
  FtdiDevice& twin_;
};

}  // namespace tolmeo::testing

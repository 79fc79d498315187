#pragma once
// What a cable did, so speed can be compared across cables: accesses are line writes and reads
// that reached the port's pins (one that would change nothing is not sent, so not counted);
// transfers are the exchanges with the driver or the bus (one ioctl on ppdev, one USB
// transfer, one serial write or read); bytes are what those transfers carried.
#include <cstdint>

namespace tolmeo {

struct CableStats {
  std::int64_t accesses = 0;
  std::int64_t transfers = 0;
  std::int64_t bytes = 0;
};

}  // namespace tolmeo

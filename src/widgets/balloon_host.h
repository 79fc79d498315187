#pragma once
// Where controls send their balloon help requests. The balloon window of the shell registers
// itself here at start-up; until then (and in tests that do not set one) there is no host and
// controls simply show no balloons.
#include <string>

namespace tolmeo {

class BalloonHost {
 public:
  virtual ~BalloonHost() = default;
  // x, y: the pointer's screen position. delayed = 1: show after the balloon's own delay, and
  // only if balloon help is switched on.
  virtual void RequestBalloon(int x, int y, const std::string& cp949_text, int delayed) = 0;
  // Moves a waiting balloon to the pointer's screen position.
  virtual void TrackBalloon(int x, int y) = 0;
  virtual void WithdrawBalloon() = 0;
};

// Null when no balloon window exists.
BalloonHost* TheBalloonHost();
void SetBalloonHost(BalloonHost* host);

}  // namespace tolmeo

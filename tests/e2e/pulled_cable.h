#pragma once
// A cable pulled at every point of a run, through tolmeo-cli: a run pulled before it has done
// its work never exits 0 and never changes the chip's stored file or the documents.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cli_rig.h"

namespace tolmeo::testing {

inline std::string PullAfter(std::int64_t changes) { return ",pull-after=" + std::to_string(changes); }

struct PullCase {
  const char* name;
  std::vector<std::string> actions;
  // Whether a run that exited 0 left what a whole run leaves.
  std::function<bool(const CliRig&)> whole;
};

// The fewest line changes after which pulling the cable no longer fails the run: everything
// the run needed was done by then.
inline std::int64_t ChangesTheRunNeeds(const CliRig& rig, const PullCase& c) {
  std::int64_t failing = 0, passing = 1;
  while (rig.Run(c.actions, PullAfter(passing)).status != 0) {
    failing = passing;
    passing *= 2;
  }
  while (passing - failing > 1) {
    const std::int64_t middle = failing + (passing - failing) / 2;
    (rig.Run(c.actions, PullAfter(middle)).status == 0 ? passing : failing) = middle;
  }
  return passing;
}

inline void ExpectPullsNeverSucceed(CliRig& rig, const PullCase& c) {
  const std::string flash_document = FileBytes(FirmwarePath("blink.hex"));
  const std::int64_t needed = ChangesTheRunNeeds(rig, c);
  ASSERT_GT(needed, 1000) << c.name;
  // Whatever the search took as success did the whole work.
  ASSERT_EQ(rig.Run(c.actions, PullAfter(needed)).status, 0) << c.name;
  EXPECT_TRUE(c.whole(rig)) << c.name;
  const std::string chip_before = FileBytes(rig.chip_path());
  // Pulled anywhere before that point, at odd offsets so bytes are cut in every place.
  for (std::int64_t at = 0; at < needed; at += needed / 37 + 11) {
    CliResult result = rig.Run(c.actions, PullAfter(at));
    EXPECT_NE(result.status, 0) << c.name << " pulled after " << at;
    EXPECT_TRUE(FileBytes(rig.chip_path()) == chip_before) << c.name << " pulled after " << at;
  }
  EXPECT_TRUE(FileBytes(FirmwarePath("blink.hex")) == flash_document);
}

}  // namespace tolmeo::testing

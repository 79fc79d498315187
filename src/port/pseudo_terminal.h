#pragma once
// A pseudo-terminal in raw mode: the master side for a virtual programmer to answer on, the
// slave side a path any serial cable code opens as it would a real port. The master keeps the
// slave open itself, so a host closing its side between runs does not hang the master up.
#include <string>

#include "base/result.h"

namespace tolmeo {

class PseudoTerminal {
 public:
  PseudoTerminal() = default;
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // Makes the pair, or says why it cannot.
  Status Open();
  int master() const { return master_; }
  const std::string& slave_path() const { return slave_path_; }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slave_path_;
};

}  // namespace tolmeo

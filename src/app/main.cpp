// Tolmeo's entry. Until the windows exist it says so.
#include <cstdio>

int main() {
  std::puts("Tolmeo: the windows are not built yet; use tolmeo-cli to program a chip.");
  return 0;
}

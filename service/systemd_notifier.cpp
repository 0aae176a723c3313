#include <systemd/sd-daemon.h>

#include <cstdint>

#include "service/service_notifier.h"

namespace relaybird {

void TSystemdNotifier::Ready() { sd_notify(0, "READY=1"); }

void TSystemdNotifier::Stopping() { sd_notify(0, "STOPPING=1"); }

void TSystemdNotifier::Status(const std::string& Text) {
  // One line: a line break would end the assignment.
  std::string Line = Text;
  for (char& C : Line) {
    if (C == '\n' || C == '\r') C = ' ';
  }
  sd_notify(0, ("STATUS=" + Line).c_str());
}

void TSystemdNotifier::Watchdog() { sd_notify(0, "WATCHDOG=1"); }

std::chrono::microseconds TSystemdNotifier::WatchdogPeriod() {
  std::uint64_t Usec = 0;
  if (sd_watchdog_enabled(0, &Usec) <= 0) return std::chrono::microseconds(0);
  return std::chrono::microseconds(Usec);
}

}  // namespace relaybird

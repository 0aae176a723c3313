#pragma once
// What the service tells the service manager about itself. The program uses
// systemd's notification socket; the tests record the calls.
#include <chrono>
#include <string>

namespace relaybird {

class TServiceNotifier {
 public:
  virtual ~TServiceNotifier() = default;
  virtual void Ready() = 0;
  virtual void Stopping() = 0;
  virtual void Status(const std::string& Text) = 0;
  virtual void Watchdog() = 0;
  // The keep-alive period the manager asks for; zero when it asks for none.
  virtual std::chrono::microseconds WatchdogPeriod() = 0;
};

// sd_notify to $NOTIFY_SOCKET; does nothing where the variable is not set.
// Thread-safe (each call is one datagram).
class TSystemdNotifier : public TServiceNotifier {
 public:
  void Ready() override;
  void Stopping() override;
  void Status(const std::string& Text) override;
  void Watchdog() override;
  std::chrono::microseconds WatchdogPeriod() override;
};

}  // namespace relaybird

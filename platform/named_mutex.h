#pragma once
// A machine-wide named lock held by one process at a time: flock on a file
// named after the lock in $XDG_RUNTIME_DIR (else /tmp). Released when the
// object is destroyed or the process ends; not inherited by started programs.
#include "relaybird/export.h"
#include <string>

namespace relaybird {

inline constexpr int ErrorAlreadyExists = 183;

class RELAYBIRD_API TNamedMutex {
 public:
  explicit TNamedMutex(const std::string& Name);
  ~TNamedMutex();
  TNamedMutex(const TNamedMutex&) = delete;
  TNamedMutex& operator=(const TNamedMutex&) = delete;

  bool Held() const { return FFd >= 0; }
  // 0 when held; ErrorAlreadyExists when another process holds it; else errno.
  int LastError() const { return FError; }
  static std::string LockFileName(const std::string& Name);

 private:
  int FFd = -1;
  int FError = 0;
};

}  // namespace relaybird

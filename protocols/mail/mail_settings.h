#pragma once
// The settings of the e-mail service: section "MAIL" of the settings file,
// read afresh for every dispatch and edited on the module's settings page. A
// value that does not parse, or lies outside its range, gives the default.
#include <cstdint>
#include <limits>
#include <string>

namespace relaybird::mail {

// The ranges a stored value must lie in; the settings page offers the same.
constexpr int MinPort = 1;
constexpr int MaxPort = 65535;
constexpr int MaxPeriod = std::numeric_limits<int>::max();
constexpr int MaxBroadcast = 10000;
constexpr int MaxTimeout = 3600;  // seconds

enum class TMailSecurity { msNone = 0, msStartTls = 1, msTls = 2 };

struct TMailSettings {
  std::string Host = "127.0.0.1";
  int Port = 25;
  TMailSecurity Security = TMailSecurity::msNone;
  bool VerifyCertificate = true;
  std::string CaFile;  // empty: the system's certificate authorities
  std::string User;    // empty: no authentication
  std::string Password;  // plain; scrambled in the file
  std::string SenderAddress = "relaybird@localhost";
  std::string SenderName = "Relaybird";
  int Period = 1;
  bool PeriodInMinutes = true;
  int Broadcast = 50;  // most recipients per message
  bool Logging = true;
  bool ReadReceipt = false;
  int ConnectTimeout = 30;  // seconds
  int CommandTimeout = 60;  // seconds
  std::string ResultStatement;  // empty: outcomes are not recorded

  // The period as GetInterval reports it.
  std::int32_t IntervalSeconds() const;
};

extern const char* const MailSection;

// The service writes a missing key back with its default at once, so that an
// administrator finds every key in the file; the settings page only reads.
enum class TMissingKeys { mkWriteDefault, mkLeave };

// Raises EIniFileError when a missing key cannot be written back.
TMailSettings LoadMailSettings(const std::string& FileName, TMissingKeys Missing = TMissingKeys::mkWriteDefault);

// Writes every key, the password scrambled. Raises EIniFileError.
void SaveMailSettings(const std::string& FileName, const TMailSettings& Settings);

}  // namespace relaybird::mail

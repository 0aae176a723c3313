#pragma once
// The settings of the e-mail service: section "MAIL" of the settings file,
// read afresh for every dispatch. A missing key is written back with its
// default at once; a value that does not parse gives the default.
#include <cstdint>
#include <string>

namespace relaybird::mail {

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

// Raises EIniFileError when a missing key cannot be written back.
TMailSettings LoadMailSettings(const std::string& FileName);

}  // namespace relaybird::mail

#include "mail_settings.h"

#include <algorithm>
#include <limits>

#include "relaybird/ini_file.h"
#include "relaybird/scrambler.h"

namespace relaybird::mail {

const char* const MailSection = "MAIL";

namespace {

std::string LoadString(TIniFile& Ini, const std::string& Key, const std::string& Default) {
  if (Ini.ValueExists(MailSection, Key)) return Ini.ReadString(MailSection, Key, Default);
  Ini.WriteString(MailSection, Key, Default);
  return Default;
}

int LoadInteger(TIniFile& Ini, const std::string& Key, int Default, int Least, int Most) {
  int Value = Default;
  if (Ini.ValueExists(MailSection, Key)) {
    Value = Ini.ReadInteger(MailSection, Key, Default);
  } else {
    Ini.WriteInteger(MailSection, Key, Default);
  }
  return Value < Least || Value > Most ? Default : Value;
}

bool LoadBool(TIniFile& Ini, const std::string& Key, bool Default) {
  if (Ini.ValueExists(MailSection, Key)) return Ini.ReadBool(MailSection, Key, Default);
  Ini.WriteBool(MailSection, Key, Default);
  return Default;
}

}  // namespace

std::int32_t TMailSettings::IntervalSeconds() const {
  const std::int64_t Seconds = static_cast<std::int64_t>(Period) * (PeriodInMinutes ? 60 : 1);
  return static_cast<std::int32_t>(std::min<std::int64_t>(Seconds, std::numeric_limits<std::int32_t>::max()));
}

TMailSettings LoadMailSettings(const std::string& FileName) {
  TIniFile Ini(FileName);
  const TMailSettings Defaults;
  TMailSettings Settings;
  Settings.Host = LoadString(Ini, "SmtpHost", Defaults.Host);
  Settings.Port = LoadInteger(Ini, "SmtpPort", Defaults.Port, 1, 65535);
  Settings.Security = static_cast<TMailSecurity>(
      LoadInteger(Ini, "SmtpSecurity", static_cast<int>(Defaults.Security), 0, 2));
  Settings.VerifyCertificate = LoadBool(Ini, "VerifyCertificate", Defaults.VerifyCertificate);
  Settings.CaFile = LoadString(Ini, "CAFile", Defaults.CaFile);
  Settings.User = LoadString(Ini, "SmtpUser", Defaults.User);
  const std::string Scrambled = LoadString(Ini, "SmtpPassword", ScrambleText("", ScrambleKey));
  if (!Scrambled.empty()) Settings.Password = UnscrambleText(Scrambled, ScrambleKey);
  Settings.SenderAddress = LoadString(Ini, "SenderAddress", Defaults.SenderAddress);
  Settings.SenderName = LoadString(Ini, "SenderName", Defaults.SenderName);
  Settings.Period = LoadInteger(Ini, "Period", Defaults.Period, 0, std::numeric_limits<int>::max());
  Settings.PeriodInMinutes = LoadInteger(Ini, "PeriodType", 1, 0, 1) == 1;
  Settings.Broadcast = LoadInteger(Ini, "Broadcast", Defaults.Broadcast, 1, 10000);
  Settings.Logging = LoadBool(Ini, "Logging", Defaults.Logging);
  Settings.ReadReceipt = LoadBool(Ini, "ReadReceipt", Defaults.ReadReceipt);
  Settings.ConnectTimeout = LoadInteger(Ini, "ConnectTimeout", Defaults.ConnectTimeout, 1, 3600);
  Settings.CommandTimeout = LoadInteger(Ini, "CommandTimeout", Defaults.CommandTimeout, 1, 3600);
  Settings.ResultStatement = LoadString(Ini, "ResultStatement", Defaults.ResultStatement);
  return Settings;
}

}  // namespace relaybird::mail

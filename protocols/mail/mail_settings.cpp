#include "mail_settings.h"

#include <algorithm>
#include <limits>

#include "relaybird/ini_file.h"
#include "relaybird/scrambler.h"

namespace relaybird::mail {

const char* const MailSection = "MAIL";

namespace {

// Reads section "MAIL", writing a missing key's default back when asked to.
class TMailSectionReader {
 public:
  TMailSectionReader(const std::string& FileName, TMissingKeys Missing) : FIni(FileName), FMissing(Missing) {}

  std::string String(const std::string& Key, const std::string& Default) {
    if (FIni.ValueExists(MailSection, Key)) return FIni.ReadString(MailSection, Key, Default);
    if (FMissing == TMissingKeys::mkWriteDefault) FIni.WriteString(MailSection, Key, Default);
    return Default;
  }

  int Integer(const std::string& Key, int Default, int Least, int Most) {
    int Value = Default;
    if (FIni.ValueExists(MailSection, Key)) {
      Value = FIni.ReadInteger(MailSection, Key, Default);
    } else if (FMissing == TMissingKeys::mkWriteDefault) {
      FIni.WriteInteger(MailSection, Key, Default);
    }
    return Value < Least || Value > Most ? Default : Value;
  }

  bool Bool(const std::string& Key, bool Default) {
    if (FIni.ValueExists(MailSection, Key)) return FIni.ReadBool(MailSection, Key, Default);
    if (FMissing == TMissingKeys::mkWriteDefault) FIni.WriteBool(MailSection, Key, Default);
    return Default;
  }

 private:
  TIniFile FIni;
  TMissingKeys FMissing;
};

}  // namespace

std::int32_t TMailSettings::IntervalSeconds() const {
  const std::int64_t Seconds = static_cast<std::int64_t>(Period) * (PeriodInMinutes ? 60 : 1);
  return static_cast<std::int32_t>(std::min<std::int64_t>(Seconds, std::numeric_limits<std::int32_t>::max()));
}

TMailSettings LoadMailSettings(const std::string& FileName, TMissingKeys Missing) {
  TMailSectionReader Ini(FileName, Missing);
  const TMailSettings Defaults;
  TMailSettings Settings;
  Settings.Host = Ini.String("SmtpHost", Defaults.Host);
  Settings.Port = Ini.Integer("SmtpPort", Defaults.Port, MinPort, MaxPort);
  Settings.Security =
      static_cast<TMailSecurity>(Ini.Integer("SmtpSecurity", static_cast<int>(Defaults.Security), 0, 2));
  Settings.VerifyCertificate = Ini.Bool("VerifyCertificate", Defaults.VerifyCertificate);
  Settings.CaFile = Ini.String("CAFile", Defaults.CaFile);
  Settings.User = Ini.String("SmtpUser", Defaults.User);
  const std::string Scrambled = Ini.String("SmtpPassword", ScrambleText("", ScrambleKey));
  if (!Scrambled.empty()) Settings.Password = UnscrambleText(Scrambled, ScrambleKey);
  Settings.SenderAddress = Ini.String("SenderAddress", Defaults.SenderAddress);
  Settings.SenderName = Ini.String("SenderName", Defaults.SenderName);
  Settings.Period = Ini.Integer("Period", Defaults.Period, 0, MaxPeriod);
  Settings.PeriodInMinutes = Ini.Integer("PeriodType", 1, 0, 1) == 1;
  Settings.Broadcast = Ini.Integer("Broadcast", Defaults.Broadcast, 1, MaxBroadcast);
  Settings.Logging = Ini.Bool("Logging", Defaults.Logging);
  Settings.ReadReceipt = Ini.Bool("ReadReceipt", Defaults.ReadReceipt);
  Settings.ConnectTimeout = Ini.Integer("ConnectTimeout", Defaults.ConnectTimeout, 1, MaxTimeout);
  Settings.CommandTimeout = Ini.Integer("CommandTimeout", Defaults.CommandTimeout, 1, MaxTimeout);
  Settings.ResultStatement = Ini.String("ResultStatement", Defaults.ResultStatement);
  return Settings;
}

void SaveMailSettings(const std::string& FileName, const TMailSettings& Settings) {
  TIniFile Ini(FileName);
  Ini.WriteString(MailSection, "SmtpHost", Settings.Host);
  Ini.WriteInteger(MailSection, "SmtpPort", Settings.Port);
  Ini.WriteInteger(MailSection, "SmtpSecurity", static_cast<int>(Settings.Security));
  Ini.WriteBool(MailSection, "VerifyCertificate", Settings.VerifyCertificate);
  Ini.WriteString(MailSection, "CAFile", Settings.CaFile);
  Ini.WriteString(MailSection, "SmtpUser", Settings.User);
  Ini.WriteString(MailSection, "SmtpPassword", ScrambleText(Settings.Password, ScrambleKey));
  Ini.WriteString(MailSection, "SenderAddress", Settings.SenderAddress);
  Ini.WriteString(MailSection, "SenderName", Settings.SenderName);
  Ini.WriteInteger(MailSection, "Period", Settings.Period);
  Ini.WriteInteger(MailSection, "PeriodType", Settings.PeriodInMinutes ? 1 : 0);
  Ini.WriteInteger(MailSection, "Broadcast", Settings.Broadcast);
  Ini.WriteBool(MailSection, "Logging", Settings.Logging);
  Ini.WriteBool(MailSection, "ReadReceipt", Settings.ReadReceipt);
  Ini.WriteInteger(MailSection, "ConnectTimeout", Settings.ConnectTimeout);
  Ini.WriteInteger(MailSection, "CommandTimeout", Settings.CommandTimeout);
  Ini.WriteString(MailSection, "ResultStatement", Settings.ResultStatement);
}

}  // namespace relaybird::mail

#include "service/unit_file.h"

#include <cstdlib>

#include "platform/exe_path.h"
#include "relaybird/catalogue.h"

namespace relaybird {

namespace {

// systemd splits ExecStart= at blanks unless the word is quoted.
std::string QuotedWord(const std::string& Text) {
  if (Text.find_first_of(" \t\"\\") == std::string::npos) return Text;
  std::string Quoted = "\"";
  for (char C : Text) {
    if (C == '"' || C == '\\') Quoted += '\\';
    Quoted += C;
  }
  return Quoted + "\"";
}

}  // namespace

std::string UnitDirectory() {
  const char* Dir = std::getenv("RELAYBIRD_UNIT_DIR");
  return IncludeTrailingPathDelimiter(Dir && *Dir ? Dir : "/etc/systemd/system");
}

std::string UnitFileName() { return UnitDirectory() + ServiceSysName + ".service"; }

std::string AccountUser(const std::string& Account) {
  const std::size_t Slash = Account.rfind('\\');
  return Slash == std::string::npos ? Account : Account.substr(Slash + 1);
}

bool SystemdRunning() { return DirectoryExists("/run/systemd/system"); }

std::string UnitText(const TUnitOptions& Options) {
  std::string Text = "[Unit]\n";
  Text += "Description=" + Options.Description + "\n";
  Text += "Wants=network-online.target\nAfter=network-online.target\n\n";
  Text += "[Service]\n";
  Text += "Type=notify\n";
  Text += "ExecStart=" + QuotedWord(Options.ExecStart) + "\n";
  if (!Options.User.empty()) Text += "User=" + Options.User + "\n";
  Text += "WorkingDirectory=" + QuotedWord(ExcludeTrailingPathDelimiters(ExtractFilePath(Options.ExecStart))) + "\n";
  Text += "Restart=on-failure\nRestartSec=10\n";
  // A supervision tick waits for connects: the keep-alive allows for it.
  Text += "WatchdogSec=300\nTimeoutStopSec=120\n";
  Text += "NoNewPrivileges=yes\nProtectSystem=full\nProtectKernelTunables=yes\n";
  Text += "ProtectKernelModules=yes\nProtectControlGroups=yes\nRestrictSUIDSGID=yes\nLockPersonality=yes\n";
  // "-": a folder that does not exist yet is no reason to refuse the start.
  for (const std::string& Path : Options.WritablePaths) {
    if (!Path.empty()) Text += "ReadWritePaths=" + QuotedWord("-" + ExcludeTrailingPathDelimiters(Path)) + "\n";
  }
  Text += "\n[Install]\nWantedBy=multi-user.target\n";
  return Text;
}

}  // namespace relaybird

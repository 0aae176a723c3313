#include "core/system_helpers.h"

#include <dirent.h>
#include <security/pam_appl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

#include "platform/exe_path.h"
#include "platform/text_encoding.h"

namespace relaybird {

namespace {

struct TDirCloser {
  void operator()(DIR* Handle) const { closedir(Handle); }
};

bool IsProcessId(const char* Name, pid_t& Pid) {
  int Value = 0;
  if (!TryStrToInt(Name, Value) || Value <= 0) return false;
  Pid = Value;
  return true;
}

std::string ProcessComm(const std::string& ProcDir) {
  std::ifstream In(ProcDir + "comm");
  std::string Comm;
  std::getline(In, Comm);
  return Comm;
}

std::string ProcessExe(const std::string& ProcDir) {
  char Target[4096];
  const ssize_t Length = readlink((ProcDir + "exe").c_str(), Target, sizeof Target);
  if (Length <= 0 || static_cast<std::size_t>(Length) >= sizeof Target) return "";
  return std::string(Target, static_cast<std::size_t>(Length));
}

bool ImageNameMatches(const std::string& ProcDir, const std::string& UpperName) {
  if (AsciiUpperCase(ProcessComm(ProcDir)) == UpperName) return true;
  const std::string Exe = ProcessExe(ProcDir);
  if (Exe.empty()) return false;
  const std::string UpperExe = AsciiUpperCase(Exe);
  return UpperExe == UpperName || AsciiUpperCase(ExtractFileName(Exe)) == UpperName;
}

struct TCredentials {
  const char* User;
  const char* Password;
};

// Answers the prompts of the authentication stack without a terminal.
int AnswerPrompts(int Count, const pam_message** Messages, pam_response** Responses, void* Data) {
  if (Count <= 0) return PAM_CONV_ERR;
  const auto* Credentials = static_cast<const TCredentials*>(Data);
  auto* Answers = static_cast<pam_response*>(std::calloc(static_cast<std::size_t>(Count), sizeof(pam_response)));
  if (!Answers) return PAM_BUF_ERR;
  for (int i = 0; i < Count; ++i) {
    const char* Answer = nullptr;
    if (Messages[i]->msg_style == PAM_PROMPT_ECHO_OFF) Answer = Credentials->Password;
    if (Messages[i]->msg_style == PAM_PROMPT_ECHO_ON) Answer = Credentials->User;
    if (!Answer) continue;
    Answers[i].resp = strdup(Answer);
    if (!Answers[i].resp) {
      for (int j = 0; j < i; ++j) std::free(Answers[j].resp);
      std::free(Answers);
      return PAM_BUF_ERR;
    }
  }
  *Responses = Answers;
  return PAM_SUCCESS;
}

}  // namespace

bool KillProcessesByName(const std::string& ExeName) noexcept {
  bool Result = false;
  try {
    const std::string UpperName = AsciiUpperCase(ExeName);
    const std::unique_ptr<DIR, TDirCloser> Proc(opendir("/proc"));
    if (!Proc) return false;
    const pid_t Self = getpid();
    while (const dirent* Entry = readdir(Proc.get())) {
      pid_t Pid = 0;
      if (!IsProcessId(Entry->d_name, Pid) || Pid == Self) continue;
      if (!ImageNameMatches(std::string("/proc/") + Entry->d_name + "/", UpperName)) continue;
      Result = kill(Pid, SIGTERM) == 0;
    }
  } catch (...) {
    // The walk ends; what was terminated so far stands.
  }
  return Result;
}

int GrantServiceLogonRight(const std::string& Account, const std::string& Password) noexcept {
  const std::size_t Backslash = Account.find('\\');
  if (Backslash == std::string::npos) return 254;
  try {
    const std::string User = Account.substr(Backslash + 1);
    TCredentials Credentials{User.c_str(), Password.c_str()};
    const pam_conv Conversation{AnswerPrompts, &Credentials};
    pam_handle_t* Handle = nullptr;
    if (pam_start("login", User.c_str(), &Conversation, &Handle) != PAM_SUCCESS) return 0;
    const int Status = pam_authenticate(Handle, PAM_SILENT);
    pam_end(Handle, Status);
    return Status == PAM_SUCCESS ? 1 : 253;
  } catch (...) {
    return 0;
  }
}

}  // namespace relaybird

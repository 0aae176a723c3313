#include "relaybird/base_thread.h"

#include <unistd.h>

#include "core/file_helpers.h"
#include "relaybird/process_log.h"
#include "relaybird/catalogue.h"
#include "platform/exe_path.h"
#include "platform/text_encoding.h"
#include "relaybird/text_format.h"

namespace relaybird {

void TBaseThread::Log(const std::string& Msg, bool ToEventLog) {
  WriteProcessLog(this, "(" + ThreadName + ") " + Msg, Settings.AccessLogPath, ServiceName,
                  ToEventLog && Settings.AccessSysLog);
}

void TBaseThread::FillMessageStatus() { Statuses = DefaultMessageStatuses(); }

void TBaseThread::Execute() {
  try {
    Run();
  } catch (...) {
    // The error ends the run; what is worth reporting the descendant logs.
  }
  if (OnFinish) OnFinish(*this, ThreadName);
  Terminate();
}

void TBaseThread::Run() {
  if (Terminated()) return;
  LoadMessages();
  if (!Table.Active() || Table.RecordCount() == 0 || !Context) {
    Log(cstNotSendedMessage, false);
    return;
  }
  SentCount = 0;
  Outcome1 = 0;
  Outcome2 = 0;
  RunStrings.clear();
  FillMessageStatus();
  ProcessMessages();
  if (SentCount == 0 && Outcome1 != 0 && Outcome2 != 0) {
    Log(cstNotSendedMessage, false);
  } else {
    Log(Format(cstSendedMessages, SentCount, Table.RecordCount()), false);
  }
  DeleteTempFiles();
}

// Files only, folders stay. Without a temporary directory or a service name
// the folder would be a root folder or the whole temporary directory, which
// are not the worker's to empty.
void TBaseThread::DeleteTempFiles() const {
  if (Trim(Settings.TempDir).empty() || Trim(ServiceName).empty()) return;
  std::string Folder = Settings.TempDir + "/" + ServiceName;
  while (Folder.find("//") != std::string::npos) Folder = ReplaceAll(Folder, "//", "/");
  if (!DirectoryExists(Folder)) return;
  const std::string List = FindFiles(Folder, "*.*");
  std::size_t Start = 0;
  while (Start < List.size()) {
    std::size_t End = List.find("\r\n", Start);
    if (End == std::string::npos) End = List.size();
    const std::string FileName = List.substr(Start, End - Start);
    if (!Trim(FileName).empty()) ::unlink(FileName.c_str());
    Start = End + 2;
  }
}

}  // namespace relaybird

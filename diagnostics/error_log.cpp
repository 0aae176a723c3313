#include "diagnostics/error_log.h"

#include <chrono>

#include "diagnostics/append_file.h"
#include "diagnostics/time_stamp.h"
#include "platform/exe_path.h"

namespace relaybird {

std::string ErrorLogFileName() { return ExecutableDir() + "Relaybird_Errors.log"; }

std::mutex& ErrorLogLock() {
  static std::mutex Lock;
  return Lock;
}

void WriteErrorLog(const std::string& Message, const std::string& SourceFile, int LineNumber,
                   const void* /*ErrorAddress*/) {
  const std::lock_guard<std::mutex> Guard(ErrorLogLock());
  const std::string FileName = ErrorLogFileName();
  const std::string Directory = ExtractFilePath(FileName);
  if (!DirectoryExists(Directory)) ForceDirectories(Directory);
  const std::string Entry = "[" + FormatLogTimeStamp(std::chrono::system_clock::now()) +
                            "]\r\n" + SourceFile + "\t" + std::to_string(LineNumber) + "\t" +
                            Message + "\r\n\r\n";
  TAppendFile File(FileName, TAppendFile::TOpenMode::CreateMissing);
  File.Write(Entry);
  File.Close();
}

}  // namespace relaybird

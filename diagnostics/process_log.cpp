#include "relaybird/process_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include "diagnostics/append_file.h"
#include "diagnostics/assertion.h"
#include "diagnostics/time_stamp.h"
#include "relaybird/catalogue.h"
#include "i18n/translator.h"
#include "platform/event_log.h"
#include "platform/exe_path.h"
#include "platform/text_encoding.h"
#include "relaybird/text_format.h"

namespace relaybird {

namespace {

std::atomic<std::recursive_mutex*> LogLock{nullptr};
std::atomic<TLogClock> LogClock{nullptr};

std::chrono::system_clock::time_point LogNow() {
  const TLogClock Clock = LogClock.load();
  return Clock ? Clock() : std::chrono::system_clock::now();
}

std::string LogDirectory(const std::string& LogPath) {
  std::string Directory = ExcludeTrailingPathDelimiters(LogPath);
  // A path of delimiters only names no directory: the executable's is meant.
  if (Trim(Directory).empty()) Directory = ExcludeTrailingPathDelimiters(ExecutableDir());
  return Directory;
}

std::string WriterLogName(const TObject* Sender, const std::string& LogName) {
  if (const auto* Worker = dynamic_cast<const TWorkerLogSender*>(Sender)) {
    return Worker->LogServiceName();
  }
  return Trim(LogName).empty() ? std::string() : LogName;
}

std::string LogFileName(const TObject* Sender, const std::string& LogPath,
                        const std::string& LogName, std::chrono::system_clock::time_point Date) {
  return LogDirectory(LogPath) + "/" + ServiceTitle + WriterLogName(Sender, LogName) + "_" +
         FormatLogFileDate(Date) + ".log";
}

// Neither step is an error by itself: when it fails, the append does.
void PrepareLogFile(const std::string& FileName) {
  const std::string Directory = ExtractFilePath(FileName);
  if (!DirectoryExists(Directory)) ForceDirectories(Directory);
  struct stat Status {};
  if (::stat(FileName.c_str(), &Status) == 0) {
    if ((Status.st_mode & S_IWUSR) == 0) ::chmod(FileName.c_str(), Status.st_mode | S_IWUSR);
    return;
  }
  // Without O_TRUNC a file another writer created meanwhile keeps its lines.
  const int Handle = ::open(FileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (Handle >= 0) ::close(Handle);
}

void AppendLine(const std::string& FileName, const std::string& Line) {
  TAppendFile File(FileName, TAppendFile::TOpenMode::ExistingOnly);
  File.LockAgainstWriters();
  File.Write(Line + "\r\n");
  File.Close();
}

void CopyToEventLog(const TObject* Sender, const std::string& Line) {
  if (const auto* Worker = dynamic_cast<const TWorkerLogSender*>(Sender)) {
    ReportEvent(ServiceSysName, 3, "[" + Worker->LogServiceName() + "] " + Line);
  } else if (Sender->ClassName() == "TRelaybirdSrv") {
    ReportEvent(ServiceSysName, 2, Line);
  } else {
    ReportEvent(ServiceSysName, 1, Line);
  }
}

}  // namespace

std::string ProcessLogFileName(const TObject* Sender, const std::string& LogPath,
                               const std::string& LogName) {
  return LogFileName(Sender, LogPath, LogName, LogNow());
}

void SetLogLock(std::recursive_mutex* Lock) {
  if (Lock) LogLock.store(Lock);
}

std::recursive_mutex* GetLogLock() { return LogLock.load(); }

void SetLogClock(TLogClock Clock) { LogClock.store(Clock); }

void WriteProcessLog(const TObject* Sender, const std::string& Msg, const std::string& LogPath,
                     const std::string& LogName, bool ToEventLog) {
  std::recursive_mutex* const Lock = LogLock.load();
  if (!Sender || !Lock) return;
  // The day of the file is fixed before waiting for the lock.
  const std::string FileName = ProcessLogFileName(Sender, LogPath, LogName);
  PrepareLogFile(FileName);

  std::unique_lock<std::recursive_mutex> Guard(*Lock, std::defer_lock);
  try {
    Guard.lock();
    const std::string Line =
        "[" + FormatLogTimeStamp(LogNow()) + "]  " + ReplaceAll(Msg, "\r\n", " ");
    AppendLine(FileName, Line);
    if (ToEventLog) CopyToEventLog(Sender, Line);
  } catch (const std::exception&) {
    // The line is lost; the error log says so. A failure of the error log
    // itself leaves this call, the guard releasing the lock.
    AssertFailed(Format(TranslatePhrase("WORDS", "cstLogerErrorOfFileName",
                                        cstLogerErrorOfFileName),
                        Msg),
                 "CommonUtils", 216);
  }
}

}  // namespace relaybird

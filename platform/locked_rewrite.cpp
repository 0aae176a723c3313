#include "platform/locked_rewrite.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <tuple>

#include "platform/exe_path.h"

namespace relaybird {

namespace {

// A rename by another writer between our open and our lock sends us round
// again; this many rounds in a row means something is badly wrong.
constexpr int MaxLockRounds = 1000;

class TFileDescriptor {
 public:
  explicit TFileDescriptor(int Fd) : FFd(Fd) {}
  ~TFileDescriptor() {
    if (FFd >= 0) close(FFd);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  int Get() const { return FFd; }
  bool Valid() const { return FFd >= 0; }
  // Closes now, reporting whether the kernel accepted the close.
  bool Close() {
    const int Fd = FFd;
    FFd = -1;
    return close(Fd) == 0;
  }

 private:
  int FFd;
};

bool ReadAll(int Fd, std::string& Bytes) {
  Bytes.clear();
  char Buffer[65536];
  off_t Offset = 0;
  while (true) {
    const ssize_t Count = pread(Fd, Buffer, sizeof Buffer, Offset);
    if (Count < 0 && errno == EINTR) continue;
    if (Count < 0) return false;
    if (Count == 0) return true;
    Bytes.append(Buffer, static_cast<std::size_t>(Count));
    Offset += Count;
  }
}

bool WriteAll(int Fd, const std::string& Bytes) {
  std::size_t Done = 0;
  while (Done < Bytes.size()) {
    const ssize_t Count = write(Fd, Bytes.data() + Done, Bytes.size() - Done);
    if (Count < 0 && errno == EINTR) continue;
    if (Count <= 0) return false;
    Done += static_cast<std::size_t>(Count);
  }
  return true;
}

bool LockExclusive(int Fd) {
  while (flock(Fd, LOCK_EX) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// A link is followed, so that the rename replaces its target, not the link.
std::string ResolvedPath(const std::string& FileName) {
  char Resolved[PATH_MAX];
  return realpath(FileName.c_str(), Resolved) ? std::string(Resolved) : FileName;
}

bool MayWrite(const std::string& Path, const struct stat& Info) {
  // Root passes access() on any file; the missing write bits still mark the
  // file read-only, as the read-only attribute does on Windows.
  return S_ISREG(Info.st_mode) && (Info.st_mode & 0222) != 0 && access(Path.c_str(), W_OK) == 0;
}

// The system's text for errno, for a failure whose reason is errno.
bool Fail(std::string& Reason, const char* Step) {
  Reason = std::string(Step) + ": " + std::strerror(errno);
  return false;
}

bool ReplaceWith(const std::string& Path, const struct stat& Original, const std::string& Bytes,
                 std::string& Reason) {
  std::string Temporary = ExtractFilePath(Path) + "." + ExtractFileName(Path) + ".XXXXXX";
  TFileDescriptor Fd(mkostemp(Temporary.data(), O_CLOEXEC));
  if (!Fd.Valid()) return Fail(Reason, "cannot create a temporary file");
  // A user may rewrite a file it does not own; the copy is then its own.
  if (Original.st_uid != geteuid() || Original.st_gid != getegid()) {
    std::ignore = fchown(Fd.Get(), Original.st_uid, Original.st_gid);
  }
  const bool Written = fchmod(Fd.Get(), Original.st_mode & 07777) == 0 && WriteAll(Fd.Get(), Bytes) &&
                       fsync(Fd.Get()) == 0 && Fd.Close() && rename(Temporary.c_str(), Path.c_str()) == 0;
  if (Written) return true;
  Fail(Reason, "cannot write the new contents");
  unlink(Temporary.c_str());
  return false;
}

}  // namespace

bool RewriteFileLocked(const std::string& FileName, bool CreateMissing, const TFileChange& Change,
                       std::string* Reason) {
  std::string Ignored;
  std::string& Why = Reason ? *Reason : Ignored;
  Why.clear();
  const std::string Path = ResolvedPath(FileName);
  const std::string Directory = ExtractFilePath(Path).empty() ? std::string(".") : ExtractFilePath(Path);
  if (!DirectoryExists(Directory)) {
    Why = "the folder " + Directory + " does not exist";
    return false;
  }
  if (access(Directory.c_str(), W_OK | X_OK) != 0) return Fail(Why, "the folder is not writable");
  for (int Round = 0; Round < MaxLockRounds; ++Round) {
    TFileDescriptor Fd(open(Path.c_str(), O_RDONLY | O_CLOEXEC | (CreateMissing ? O_CREAT : 0), 0666));
    if (!Fd.Valid()) return errno == ENOENT && !CreateMissing ? true : Fail(Why, "cannot open the file");
    if (!LockExclusive(Fd.Get())) return Fail(Why, "cannot lock the file");
    struct stat Locked {};
    struct stat Current {};
    if (fstat(Fd.Get(), &Locked) != 0) return Fail(Why, "cannot examine the file");
    if (stat(Path.c_str(), &Current) != 0 || Current.st_ino != Locked.st_ino || Current.st_dev != Locked.st_dev) {
      continue;
    }
    if (!MayWrite(Path, Locked)) {
      Why = "the file is read-only";
      return false;
    }
    std::string Bytes;
    if (!ReadAll(Fd.Get(), Bytes)) return Fail(Why, "cannot read the file");
    if (!Change(Bytes)) return true;
    return ReplaceWith(Path, Locked, Bytes, Why);
  }
  Why = "the file kept being replaced by another writer";
  return false;
}

std::string ReadWholeFile(const std::string& FileName) {
  TFileDescriptor Fd(open(FileName.c_str(), O_RDONLY | O_CLOEXEC));
  std::string Bytes;
  if (!Fd.Valid() || !ReadAll(Fd.Get(), Bytes)) return std::string();
  return Bytes;
}

}  // namespace relaybird

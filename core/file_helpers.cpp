#include "core/file_helpers.h"

#include <dirent.h>
#include <sys/random.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "platform/exe_path.h"
#include "platform/text_encoding.h"

namespace relaybird {

namespace {

bool MatchesPattern(const std::u16string& Name, const std::u16string& Mask) {
  std::size_t N = 0;
  std::size_t M = 0;
  std::size_t StarMask = std::u16string::npos;
  std::size_t StarName = 0;
  while (N < Name.size()) {
    if (M < Mask.size() && (Mask[M] == u'?' || Mask[M] == Name[N])) {
      ++N;
      ++M;
    } else if (M < Mask.size() && Mask[M] == u'*') {
      StarMask = M++;
      StarName = N;
    } else if (StarMask != std::u16string::npos) {
      M = StarMask + 1;
      N = ++StarName;
    } else {
      return false;
    }
  }
  while (M < Mask.size() && Mask[M] == u'*') ++M;
  return M == Mask.size();
}

using TDirId = std::pair<dev_t, ino_t>;

struct TDirCloser {
  void operator()(DIR* Handle) const { closedir(Handle); }
};

void CollectFiles(const std::string& Dir, const std::string& Mask, std::vector<TDirId>& Ancestors,
                  std::string& Result) {
  const std::unique_ptr<DIR, TDirCloser> Handle(opendir(Dir.c_str()));
  if (!Handle) return;
  struct stat DirInfo {};
  fstat(dirfd(Handle.get()), &DirInfo);
  Ancestors.emplace_back(DirInfo.st_dev, DirInfo.st_ino);
  while (const dirent* Entry = readdir(Handle.get())) {
    const std::string Name = Entry->d_name;
    if (Name == "." || Name == ".." || !MatchesMask(Name, Mask)) continue;
    const std::string FullName = Dir + Name;
    struct stat Info {};
    if (stat(FullName.c_str(), &Info) == 0 && S_ISDIR(Info.st_mode)) {
      // A link back to a folder being listed would never end.
      bool Cycle = false;
      for (const TDirId& Id : Ancestors) Cycle = Cycle || Id == TDirId(Info.st_dev, Info.st_ino);
      if (!Cycle) CollectFiles(FullName + "/", Mask, Ancestors, Result);
      continue;
    }
    if (!Result.empty()) Result += "\r\n";
    Result += FullName;
  }
  Ancestors.pop_back();
}

}  // namespace

bool MatchesMask(const std::string& Name, const std::string& Mask) {
  const std::u16string UpperName = Utf8ToUtf16(AnsiUpperCase(Name));
  const std::u16string UpperMask = Utf8ToUtf16(AnsiUpperCase(Mask));
  if (MatchesPattern(UpperName, UpperMask)) return true;
  // A mask ending in ".*" also takes a name without an extension, so "*.*"
  // means every name.
  return UpperMask.size() >= 2 && UpperMask.ends_with(u".*") &&
         MatchesPattern(UpperName, UpperMask.substr(0, UpperMask.size() - 2));
}

std::string FindFiles(const std::string& Dir, const std::string& Mask) noexcept {
  try {
    std::string Result;
    if (Trim(Dir).empty()) return Result;
    std::vector<TDirId> Ancestors;
    CollectFiles(IncludeTrailingPathDelimiter(Dir), Mask, Ancestors, Result);
    return Result;
  } catch (...) {
    return "";
  }
}

std::string GuidToPlainText(const TGuid& Guid) {
  static constexpr char HexDigits[] = "0123456789ABCDEF";
  std::string Text;
  Text.reserve(2 * Guid.size());
  for (const std::uint8_t Byte : Guid) {
    Text += HexDigits[Byte >> 4];
    Text += HexDigits[Byte & 0x0F];
  }
  return Text;
}

std::string NewGuidText() {
  TGuid Guid{};
  std::size_t Filled = 0;
  while (Filled < Guid.size()) {
    const ssize_t Got = getrandom(Guid.data() + Filled, Guid.size() - Filled, 0);
    if (Got < 0) {
      if (errno == EINTR) continue;
      return "";
    }
    Filled += static_cast<std::size_t>(Got);
  }
  Guid[6] = static_cast<std::uint8_t>((Guid[6] & 0x0F) | 0x40);
  Guid[8] = static_cast<std::uint8_t>((Guid[8] & 0x3F) | 0x80);
  return GuidToPlainText(Guid);
}

}  // namespace relaybird


#pragma once
// A shared object opened at run time (dlopen / dlsym / dlclose): how the host
// opens modules, and how a module may open a part of its own only when it is
// needed. Not thread-safe: one owner thread.
#include <string>

#include "relaybird/export.h"

namespace relaybird {

class RELAYBIRD_API TDynamicLibrary {
 public:
  TDynamicLibrary() = default;
  ~TDynamicLibrary() { Close(); }
  TDynamicLibrary(const TDynamicLibrary&) = delete;
  TDynamicLibrary& operator=(const TDynamicLibrary&) = delete;

  // Closes what was open, then opens FileName with every symbol bound now;
  // false when it is no loadable library, with the loader's reason in
  // LastError.
  bool Open(const std::string& FileName);
  // Why the last Open failed; "" after one that succeeded.
  const std::string& LastError() const { return FLastError; }
  void Close();
  bool IsOpen() const { return FHandle != nullptr; }
  void* Handle() const { return FHandle; }

  // The address of Name when the library itself defines it. A name that only
  // a library it depends on defines gives null: that function would belong
  // to someone else.
  void* OwnSymbol(const char* Name) const;

 private:
  void* FHandle = nullptr;
  std::string FLastError;
};

}  // namespace relaybird

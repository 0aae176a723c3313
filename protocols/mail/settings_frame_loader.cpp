#include "settings_frame_loader.h"

#include <filesystem>
#include <stdexcept>

namespace relaybird::mail {

const char* const FrameEntryName = "MailSettingsFrame";

const TSettingsFrameClass* TSettingsFrameLoader::FrameClass() {
  if (FClass) return FClass;
  if (!FLibrary.Open(FFileName))
    throw std::runtime_error("The e-mail settings page cannot be opened: " + FLibrary.LastError());
  const auto Entry = reinterpret_cast<TFrameEntryProc>(FLibrary.OwnSymbol(FrameEntryName));
  if (!Entry) {
    FLibrary.Close();
    throw std::runtime_error("The e-mail settings page cannot be opened: " + FFileName + " has no " +
                             FrameEntryName);
  }
  FClass = Entry();
  return FClass;
}

std::string TSettingsFrameLoader::LibraryBesideModule(const std::string& ModulePath) {
  const std::filesystem::path Module(ModulePath);
  return (Module.parent_path().parent_path() / "librelaybird_mail_frame.so").string();
}

}  // namespace relaybird::mail

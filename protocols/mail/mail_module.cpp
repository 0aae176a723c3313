// The e-mail protocol module: service "MAIL" delivers the host's letters
// over SMTP. Built only on the public module contract.
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <strings.h>

#include "relaybird/catalogue.h"
#include "relaybird/module_abi.h"
#include "mail_service.h"
#include "settings_frame_loader.h"

using namespace relaybird;

namespace {

const unsigned char IconBytes[] = {
#include "mail_icon.inc"
};

// Its destructor, at unload, ends the workers.
mail::TMailService Service;

// The path this library was opened under.
std::string OwnPath() {
  Dl_info Info{};
  return dladdr(reinterpret_cast<void*>(&OwnPath), &Info) != 0 && Info.dli_fname ? Info.dli_fname : "";
}

// Closes the settings page's library at unload, after the window has ended
// its frames.
mail::TSettingsFrameLoader FrameLoader(mail::TSettingsFrameLoader::LibraryBesideModule(OwnPath()));

bool IsMail(const char* Name) { return Name != nullptr && strcasecmp(Name, mail::MailServiceName) == 0; }

}  // namespace

RELAYBIRD_MODULE_EXPORT void GetModuleInfo(TModuleInfo* Info) {
  Info->Name = AllocModuleText(cstMailServiceCaption.c_str());
  Info->ID = mail::MailServiceName;
  Info->Description = AllocModuleText(cstMailServiceDesc.c_str());
  Info->Icon = CreateModuleIcon(IconBytes, sizeof IconBytes);
  Info->Reserved = 0;
}

RELAYBIRD_MODULE_EXPORT const char* const* GetServicesList() {
  static const char* const Services[] = {mail::MailServiceName, nullptr};
  return Services;
}

RELAYBIRD_MODULE_EXPORT void Initialize(const char* Service_, const char* ProcessID) {
  if (IsMail(Service_)) Service.Initialize(ProcessID);
}

RELAYBIRD_MODULE_EXPORT void SetData(const char* Service_, std::int32_t Kind, const char* ProcessID, void* Data,
                                     std::int32_t Size) {
  if (IsMail(Service_)) Service.SetData(Kind, ProcessID, Data, Size);
}

RELAYBIRD_MODULE_EXPORT void Execute(const char* Service_, const char* ProcessID) {
  if (IsMail(Service_)) Service.Execute(Service_, ProcessID);
}

RELAYBIRD_MODULE_EXPORT bool AccessNewProcess() { return Service.AccessNewProcess(); }

RELAYBIRD_MODULE_EXPORT std::int32_t GetInterval(const char*) { return Service.GetInterval(); }

RELAYBIRD_MODULE_EXPORT const char* GetFailedMessages() { return Service.FailedMessages(); }

RELAYBIRD_MODULE_EXPORT const TSettingsFrameClass* GetSettingsFrame(const char* Service_) {
  return IsMail(Service_) ? FrameLoader.FrameClass() : nullptr;
}

RELAYBIRD_MODULE_EXPORT void Terminate(const char* Service_, const char* ProcessID) {
  if (IsMail(Service_)) Service.Terminate(ProcessID);
}

RELAYBIRD_MODULE_EXPORT std::int32_t GetActiveThreads(const char* Service_) {
  return IsMail(Service_) ? Service.ActiveThreads() : 0;
}

RELAYBIRD_MODULE_EXPORT void SetSession(const char*, const char*, void*) {}

#include "db/connection_list.h"

#include <algorithm>
#include <exception>
#include <string>

#include "relaybird/scrambler.h"
#include "db/ora_client_homes.h"
#include "db/ora_session_list.h"
#include "relaybird/ini_file.h"
#include "platform/text_encoding.h"

namespace relaybird {

namespace {

const char* const ConnectionSection = "Connection";
const char* const DefaultServer = "KOBALTIX";
const char* const DefaultUser = "KOBALTIX5";
const char* const DefaultSchema = "KOBALTIX5";
constexpr std::int32_t AttemptLimit = 5;

std::vector<std::string> SplitFields(const std::string& Value) {
  std::vector<std::string> Fields(1);
  for (char C : Value) {
    if (C == '#') {
      Fields.emplace_back();
    } else {
      Fields.back() += C;
    }
  }
  return Fields;
}

void CheckStorable(int Index, const char* Field, const std::string& Value) {
  if (Value.find_first_of("#\r\n") != std::string::npos) {
    throw EConnectionListError("Connection " + std::to_string(Index) + ": the " + Field +
                               " \"" + Value + "\" cannot be saved (\"#\" or a line break)");
  }
}

[[noreturn]] void IndexError(int Index) {
  throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
}

}  // namespace

TConnectionList::TConnectionList(bool WithSessions) : FWithSessions(WithSessions) {
  if (FWithSessions) FSessions = std::make_unique<TOraSessionList>();
}

TConnectionList::~TConnectionList() {
  try {
    Clear();
  } catch (...) {
    // Everything is freed whatever a driver answered.
  }
}

void TConnectionList::LoadConnections() {
  Clear();
  TIniFile Ini(SettingsFileName);
  for (const auto& [Key, Value] : Ini.ReadSectionValues(ConnectionSection)) {
    std::vector<std::string> Fields = SplitFields(Value);
    if (Fields.size() != 5) continue;
    TConnectionSettings Settings;
    if (!TryStrToInt(Fields[0], Settings.OraHome)) Settings.OraHome = 0;
    Settings.OraServer = Trim(Fields[1]);
    Settings.OraUser = Trim(Fields[2]);
    std::string Password = Trim(Fields[3]);
    Settings.OraPassword = Password.empty() ? DefaultOraPassword : UnscrambleText(Password, ScrambleKey);
    Settings.OraSchema = Trim(Fields[4]);
    if (Settings.OraServer.empty()) Settings.OraServer = DefaultServer;
    if (Settings.OraUser.empty()) Settings.OraUser = DefaultUser;
    if (Settings.OraSchema.empty()) Settings.OraSchema = DefaultSchema;
    Add(Settings);
  }
}

void TConnectionList::SaveConnections() const {
  for (int I = 0; I < Count(); ++I) {
    CheckStorable(I, "server", FItems[I]->OraServer);
    CheckStorable(I, "user", FItems[I]->OraUser);
    CheckStorable(I, "schema", FItems[I]->OraSchema);
  }
  TIniFile Ini(SettingsFileName);
  Ini.EraseSection(ConnectionSection);
  for (int I = 0; I < Count(); ++I) {
    const TConnectionSettings& Item = *FItems[I];
    std::string Password = Trim(Item.OraPassword).empty() ? DefaultOraPassword : Item.OraPassword;
    Ini.WriteString(ConnectionSection, "Item_" + std::to_string(I),
                    std::to_string(Item.OraHome) + "#" + Item.OraServer + "#" + Item.OraUser + "#" +
                        ScrambleText(Password, ScrambleKey) + "#" + Item.OraSchema);
  }
}

int TConnectionList::Add(const TConnectionSettings& Settings) {
  FItems.push_back(std::make_unique<TConnectionSettings>(Settings));
  int Index = Count() - 1;
  if (FWithSessions) {
    FSessions->LockList().Add();
    FAttempts.push_back(0);
    ApplySettings(Index);
  }
  return Index;
}

void TConnectionList::Update(int Index, const TConnectionSettings& Settings) {
  if (!InRange(Index)) return;
  *FItems[Index] = Settings;
  if (FWithSessions) ApplySettings(Index);
}

void TConnectionList::Delete(int Index) {
  if (!InRange(Index)) IndexError(Index);
  Remove(Index);
}

void TConnectionList::Clear() {
  std::exception_ptr Failure;
  while (!FItems.empty()) {
    try {
      Remove(Count() - 1);
    } catch (...) {
      if (!Failure) Failure = std::current_exception();
    }
  }
  if (Failure) std::rethrow_exception(Failure);
}

void TConnectionList::Remove(int Index) {
  std::unique_ptr<TConnectionSettings> Item = std::move(FItems[Index]);
  FItems.erase(FItems.begin() + Index);
  if (FWithSessions) {
    // The counter goes with its item, so positions stay paired.
    FAttempts.erase(FAttempts.begin() + Index);
    FSessions->LockList().Delete(Index);
  }
}

int TConnectionList::IndexOf(const TConnectionSettings* Item) const {
  auto Found = std::find_if(FItems.begin(), FItems.end(),
                            [Item](const std::unique_ptr<TConnectionSettings>& P) { return P.get() == Item; });
  return Found == FItems.end() ? -1 : static_cast<int>(Found - FItems.begin());
}

TConnectionSettings* TConnectionList::Items(int Index) const {
  if (!InRange(Index)) IndexError(Index);
  return FItems[Index].get();
}

TOraSession* TConnectionList::Sessions(int Index) const {
  if (!FWithSessions) return nullptr;
  return FSessions->LockList().Get(Index);
}

std::int32_t TConnectionList::Attempts(int Index) const {
  if (!FWithSessions || !InRange(Index)) return 0;
  return FAttempts[Index];
}

void TConnectionList::IncAttempts(int Index) {
  if (FWithSessions && InRange(Index)) ++FAttempts[Index];
}

void TConnectionList::ResetAttempts() { std::fill(FAttempts.begin(), FAttempts.end(), 0); }

bool TConnectionList::AttemptsExhausted() const {
  for (int I = 0; I < Count(); ++I) {
    if (Attempts(I) < AttemptLimit) return false;
  }
  return true;
}

void TConnectionList::ApplySettings(int Index) {
  if (!FWithSessions || !InRange(Index)) return;
  const TConnectionSettings& Item = *FItems[Index];
  const TOraClientHomes& Homes = OraClientHomes();
  std::exception_ptr Failure;
  {
    auto Sessions = FSessions->LockList();
    TOraSession* Session = Sessions.Get(Index);
    try {
      Session->Disconnect();
    } catch (...) {
      // The connection is closed anyway; configure the session before
      // reporting the failure.
      Failure = std::current_exception();
    }
    bool KnownHome = Item.OraHome >= 0 && Item.OraHome < static_cast<int>(Homes.Names.size());
    Session->SetHomeName(KnownHome ? Homes.Names[Item.OraHome] : std::string());
    Session->SetServer(Item.OraServer);
    Session->SetUsername(Item.OraUser);
    Session->SetPassword(Item.OraPassword);
    Session->SetSchema(Item.OraSchema);
  }
  FAttempts[Index] = 0;
  if (Failure) std::rethrow_exception(Failure);
}

}  // namespace relaybird

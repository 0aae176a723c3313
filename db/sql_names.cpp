#include "db/sql_names.h"

#include "relaybird/database_error.h"

namespace relaybird {

namespace {

bool IsAsciiLetter(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); }
bool IsAsciiDigit(char C) { return C >= '0' && C <= '9'; }

}  // namespace

bool IsPlainIdentifier(std::string_view Name) {
  if (Name.empty() || Name.size() > 128 || !IsAsciiLetter(Name.front())) return false;
  for (char C : Name) {
    if (!IsAsciiLetter(C) && !IsAsciiDigit(C) && C != '_' && C != '$' && C != '#') return false;
  }
  return true;
}

bool IsQualifiedName(std::string_view Name) {
  while (true) {
    std::size_t Dot = Name.find('.');
    if (!IsPlainIdentifier(Name.substr(0, Dot))) return false;
    if (Dot == std::string_view::npos) return true;
    Name.remove_prefix(Dot + 1);
  }
}

void CheckSchemaName(const std::string& Schema) {
  if (!IsPlainIdentifier(Schema)) {
    throw EDatabaseError("ORA-00911: invalid schema name \"" + Schema + "\"", 911);
  }
}

void CheckObjectName(const std::string& Name) {
  if (!IsQualifiedName(Name)) {
    throw EDatabaseError("ORA-00911: invalid object name \"" + Name + "\"", 911);
  }
}

}  // namespace relaybird

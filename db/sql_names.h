#pragma once
// Names that go into SQL text unquoted. Only plain identifiers are accepted,
// so a name taken from the settings can never change the statement it is put
// into.
#include <string>
#include <string_view>

namespace relaybird {

// A letter, then letters, digits, "_", "$" or "#"; at most 128 characters;
// ASCII only.
bool IsPlainIdentifier(std::string_view Name);
// Plain identifiers joined by single dots ("kobaltix5.orvanta5_bd.preparation_letter").
bool IsQualifiedName(std::string_view Name);

// Raise EDatabaseError (Oracle error 911, invalid character) otherwise.
void CheckSchemaName(const std::string& Schema);
void CheckObjectName(const std::string& Name);

}  // namespace relaybird

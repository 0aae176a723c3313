#pragma once
// Message boxes of the core library. The window installs a handler that shows
// a real box; without one the text goes to standard error.
#include <string>

#include "relaybird/export.h"

namespace relaybird {

enum class TMessageKind { Information, Warning, Error };

using TMessageBoxHandler = void (*)(TMessageKind Kind, const std::string& Caption,
                                    const std::string& Text);

// A null handler brings back the standard-error one.
RELAYBIRD_API void SetMessageBoxHandler(TMessageBoxHandler Handler);
RELAYBIRD_API void ShowMessageBox(TMessageKind Kind, const std::string& Caption, const std::string& Text);

}  // namespace relaybird

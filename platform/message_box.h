#pragma once
// Message boxes of the core library. The window installs a handler that shows
// a real box; without one the text goes to standard error.
#include <string>

namespace relaybird {

enum class TMessageKind { Information, Warning, Error };

using TMessageBoxHandler = void (*)(TMessageKind Kind, const std::string& Caption,
                                    const std::string& Text);

// A null handler brings back the standard-error one.
void SetMessageBoxHandler(TMessageBoxHandler Handler);
void ShowMessageBox(TMessageKind Kind, const std::string& Caption, const std::string& Text);

}  // namespace relaybird

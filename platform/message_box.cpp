#include "platform/message_box.h"

#include <atomic>
#include <cstdio>

namespace relaybird {

namespace {

void WriteToStandardError(TMessageKind, const std::string& Caption, const std::string& Text) {
  // One write per box, so that boxes from several threads never interleave.
  const std::string Line = Caption + ": " + Text + "\n";
  std::fwrite(Line.data(), 1, Line.size(), stderr);
  std::fflush(stderr);
}

std::atomic<TMessageBoxHandler> Handler{&WriteToStandardError};

}  // namespace

void SetMessageBoxHandler(TMessageBoxHandler NewHandler) {
  Handler.store(NewHandler ? NewHandler : &WriteToStandardError);
}

void ShowMessageBox(TMessageKind Kind, const std::string& Caption, const std::string& Text) {
  Handler.load()(Kind, Caption, Text);
}

}  // namespace relaybird

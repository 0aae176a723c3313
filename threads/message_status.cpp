#include "relaybird/message_status.h"

namespace relaybird {

std::vector<TMessageStatusRec> DefaultMessageStatuses() {
  return {
      {0, "INORDER", false},   {1, "SENDED", false}, {2, "STOP", true},        {3, "ERRGATE", true},
      {4, "INPROC", false},    {5, "INPROC", true},  {6, "FORMATERROR", true}, {7, "SRVERROR", true},
  };
}

}  // namespace relaybird

#pragma once
// The Oracle error number of a failure reported by a driver other than
// Oracle's: from its SQLSTATE and, where one SQLSTATE covers several causes,
// a fragment of its message.
#include <string_view>

namespace relaybird {

// 0 when the table has no entry.
int MapSqlStateToOracle(std::string_view SqlState, std::string_view Message);

}  // namespace relaybird

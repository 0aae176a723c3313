#include "db/sql_params.h"

#include <gtest/gtest.h>

namespace relaybird::test {
namespace {

struct TMarkerCase {
  const char* Sql;
  const char* Text;
  std::vector<std::string> Names;
};

TEST(SqlParamsTest, MarkersBecomePositionalOutsideQuotesAndComments) {
  const TMarkerCase Cases[] = {
      {"update t set a = :ID where b = :id_type", "update t set a = ? where b = ?", {"ID", "id_type"}},
      {"select :A, :A", "select ?, ?", {"A", "A"}},
      {"select ':NOT', \"x:Y\" from t where c = :C", "select ':NOT', \"x:Y\" from t where c = ?", {"C"}},
      {"select 'it''s :X' || :Y", "select 'it''s :X' || ?", {"Y"}},
      {"select x::text, :P_1 -- :COMMENT\n, 1", "select x::text, ? -- :COMMENT\n, 1", {"P_1"}},
      {"select /* :C */ :_b2 from t", "select /* :C */ ? from t", {"_b2"}},
      {"begin x := :V; end;", "begin x := ?; end;", {"V"}},
      {"select :9, 'open :Q", "select :9, 'open :Q", {}},
      {"select :Ошибка", "select :Ошибка", {}},
      {"", "", {}},
  };
  for (const TMarkerCase& Case : Cases) {
    const TParamMarkers Markers = ParseParamMarkers(Case.Sql);
    EXPECT_EQ(Markers.Text, Case.Text) << Case.Sql;
    EXPECT_EQ(Markers.Names, Case.Names) << Case.Sql;
  }
}

}  // namespace
}  // namespace relaybird::test

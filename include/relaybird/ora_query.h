#pragma once
// A query on a session: SQL text with named parameters, open, first/next/end,
// fields of the current row by name. Not thread-safe: a query and its session
// are used by one thread at a time.
#include <memory>
#include <string>
#include <vector>

#include "relaybird/field_value.h"

#include "relaybird/export.h"

namespace relaybird {

class TOraSession;
class TOdbcStatement;

class RELAYBIRD_API TOraQuery {
 public:
  TOraQuery();
  ~TOraQuery();
  TOraQuery(const TOraQuery&) = delete;
  TOraQuery& operator=(const TOraQuery&) = delete;

  // Changing the session or the text closes and unprepares the query; the
  // same session again only closes it.
  void SetSession(TOraSession* Session);
  TOraSession* Session() const { return FSession; }
  // A parameter is written ":NAME" in the text (a letter or '_', then
  // letters, digits or '_'), outside quoted texts, quoted names and
  // comments; "::" is no parameter. The driver receives the value apart
  // from the text, never pasted into it. A new text forgets the values.
  void SetSQL(const std::string& Sql);
  const std::string& SQL() const { return FSql; }

  // The parameter names of the text, each once, in order of appearance.
  const std::vector<std::string>& ParamNames() const { return FParamNames; }
  // The value every marker of that name sends (names compared without regard
  // to case); NULL until set. Raises EDatabaseError for a name the text does
  // not hold.
  void SetParam(const std::string& Name, const TFieldValue& Value);

  // Prepares the text on the session's connection; Open prepares when
  // needed, and again after the session reconnected. Raises EDatabaseError.
  void Prepare();
  bool Prepared() const { return FPrepared; }
  void Unprepare();

  // Runs the query and reads its first row. Raises EDatabaseError; the query
  // is then closed.
  void Open();
  void Close();
  bool Active() const { return FActive; }
  // Runs a statement that returns no rows (insert, update, delete, DDL).
  // Raises EDatabaseError.
  void ExecSQL();
  // Rows the last ExecSQL changed; -1 when the driver cannot tell.
  long RowsAffected() const { return FRowsAffected; }

  // First runs the query again unless it stands on its first row.
  void First();
  // Raises EDatabaseError (the query is then closed).
  void Next();
  // True past the last row and for a query that is not open.
  bool Eof() const { return !FActive || FEof; }

  int FieldCount() const { return static_cast<int>(FFieldNames.size()); }
  const std::vector<std::string>& FieldNames() const { return FFieldNames; }
  // Names compared without regard to case. Raises EDatabaseError for an
  // unknown field or when there is no current row.
  TField FieldByName(const std::string& Name) const;

 private:
  TOraSession& CheckSession() const;
  void Describe();
  void Execute();
  void Fetch();
  void ReadColumn(int Column, TFieldValue& Value);
  void BindParams();

  TOraSession* FSession = nullptr;
  std::string FSql;
  std::string FDriverSql;                // FSql with "?" for each marker
  std::vector<std::size_t> FMarkerParams;  // per marker: index into FParamNames
  std::vector<std::string> FParamNames;
  std::vector<TFieldValue> FParamValues;
  struct TParamBuffers;
  std::unique_ptr<TParamBuffers> FParamBuffers;
  std::unique_ptr<TOdbcStatement> FStatement;
  bool FPrepared = false;
  bool FDescribed = false;
  bool FActive = false;
  bool FEof = true;
  int FRowNumber = 0;
  long FRowsAffected = -1;
  std::vector<std::string> FFieldNames;
  std::vector<TFieldValue> FRow;
  mutable std::size_t FLastField = 0;
  std::vector<char> FBuffer;
};

}  // namespace relaybird

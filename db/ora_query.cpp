#include "relaybird/ora_query.h"

#include <algorithm>
#include <deque>

#include "relaybird/database_error.h"
#include "db/field_name.h"
#include "db/odbc_statement.h"
#include "relaybird/ora_session.h"
#include "db/sql_params.h"

namespace relaybird {

namespace {

constexpr std::size_t InitialBufferSize = 512;

}  // namespace

// The driver reads these during SQLExecute; their addresses stay fixed from
// the binding on.
struct TOraQuery::TParamBuffers {
  struct TBuffer {
    std::string Text;
    SQLBIGINT Integer = 0;
    double Float = 0;
    SQLLEN Indicator = 0;
  };
  std::deque<TBuffer> Buffers;
};

TOraQuery::TOraQuery()
    : FParamBuffers(std::make_unique<TParamBuffers>()),
      FStatement(std::make_unique<TOdbcStatement>()),
      FBuffer(InitialBufferSize) {}

TOraQuery::~TOraQuery() = default;

void TOraQuery::SetSession(TOraSession* Session) {
  // The same session keeps the prepared statement: a read repeated on a
  // timer then costs no new parse on the server.
  if (Session == FSession) {
    Close();
    return;
  }
  Unprepare();
  FSession = Session;
}

void TOraQuery::SetSQL(const std::string& Sql) {
  Unprepare();
  FSql = Sql;
  TParamMarkers Markers = ParseParamMarkers(Sql);
  FDriverSql = std::move(Markers.Text);
  FParamNames.clear();
  FMarkerParams.clear();
  for (const std::string& Name : Markers.Names) {
    std::size_t Index = 0;
    while (Index < FParamNames.size() && !SameFieldName(FParamNames[Index], Name)) ++Index;
    if (Index == FParamNames.size()) FParamNames.push_back(Name);
    FMarkerParams.push_back(Index);
  }
  FParamValues.assign(FParamNames.size(), TFieldValue::Null());
}

void TOraQuery::SetParam(const std::string& Name, const TFieldValue& Value) {
  for (std::size_t I = 0; I < FParamNames.size(); ++I) {
    if (SameFieldName(FParamNames[I], Name)) {
      FParamValues[I] = Value;
      return;
    }
  }
  throw EDatabaseError("Parameter '" + Name + "' not found");
}

void TOraQuery::BindParams() {
  // The driver lets go of the old buffers before they are replaced.
  SQLFreeStmt(FStatement->Handle(), SQL_RESET_PARAMS);
  auto& Buffers = FParamBuffers->Buffers;
  Buffers.clear();
  for (std::size_t Marker = 0; Marker < FMarkerParams.size(); ++Marker) {
    const TFieldValue& Value = FParamValues[FMarkerParams[Marker]];
    auto& Buffer = Buffers.emplace_back();
    SQLSMALLINT CType = SQL_C_CHAR;
    SQLSMALLINT SqlType = SQL_VARCHAR;
    SQLULEN ColumnSize = 1;
    SQLPOINTER Data = nullptr;
    if (Value.IsNull()) {
      Buffer.Indicator = SQL_NULL_DATA;
    } else if (const std::int64_t* Integer = Value.IfInteger()) {
      CType = SQL_C_SBIGINT;
      SqlType = SQL_BIGINT;
      Buffer.Integer = *Integer;
      Data = &Buffer.Integer;
    } else if (const double* Float = Value.IfFloat()) {
      CType = SQL_C_DOUBLE;
      SqlType = SQL_DOUBLE;
      Buffer.Float = *Float;
      Data = &Buffer.Float;
    } else {
      Buffer.Text = Value.AsString();
      ColumnSize = std::max<SQLULEN>(1, Buffer.Text.size());
      Data = Buffer.Text.data();
      Buffer.Indicator = static_cast<SQLLEN>(Buffer.Text.size());
    }
    FStatement->Check(SQLBindParameter(FStatement->Handle(), static_cast<SQLUSMALLINT>(Marker + 1),
                                       SQL_PARAM_INPUT, CType, SqlType, ColumnSize, 0, Data,
                                       static_cast<SQLLEN>(Buffer.Text.size()), &Buffer.Indicator),
                      "Cannot bind a parameter");
  }
}

TOraSession& TOraQuery::CheckSession() const {
  if (FSession == nullptr) throw EDatabaseError("The query has no session");
  return *FSession;
}

void TOraQuery::Prepare() {
  TOraSession& Session = CheckSession();
  if (FPrepared && !FStatement->Acquire(Session)) return;
  Close();
  FPrepared = false;
  FDescribed = false;
  FStatement->Acquire(Session);
  FStatement->Check(SQLPrepare(FStatement->Handle(),
                               reinterpret_cast<SQLCHAR*>(const_cast<char*>(FDriverSql.c_str())),
                               static_cast<SQLINTEGER>(FDriverSql.size())),
                    "Cannot prepare the query");
  FPrepared = true;
}

void TOraQuery::Describe() {
  // Asked after the first execution, when the driver holds the result's
  // columns; before it, a driver may have to ask the server.
  SQLSMALLINT Columns = 0;
  FStatement->Check(SQLNumResultCols(FStatement->Handle(), &Columns), "Cannot describe the query");
  FFieldNames.clear();
  for (SQLUSMALLINT Column = 1; Column <= Columns; ++Column) {
    SQLCHAR Name[512] = {0};
    SQLSMALLINT NameLength = 0;
    FStatement->Check(SQLColAttribute(FStatement->Handle(), Column, SQL_DESC_LABEL, Name, sizeof Name,
                                      &NameLength, nullptr),
                      "Cannot describe the query");
    FFieldNames.emplace_back(reinterpret_cast<const char*>(Name));
  }
  FRow.assign(FFieldNames.size(), TFieldValue());
  FDescribed = true;
}

void TOraQuery::Unprepare() {
  Close();
  FStatement->Release();
  FPrepared = false;
  FDescribed = false;
  FFieldNames.clear();
  FRow.clear();
}

void TOraQuery::Open() {
  Close();
  Prepare();
  try {
    Execute();
  } catch (...) {
    Close();
    throw;
  }
}

void TOraQuery::Execute() {
  BindParams();
  FStatement->Check(SQLExecute(FStatement->Handle()), "Cannot open the query");
  FActive = true;
  if (!FDescribed) Describe();
  FEof = FFieldNames.empty();
  FRowNumber = -1;
  if (!FEof) Fetch();
}

void TOraQuery::ExecSQL() {
  Close();
  Prepare();
  BindParams();
  SQLRETURN Rc = SQLExecute(FStatement->Handle());
  if (Rc != SQL_NO_DATA) FStatement->Check(Rc, "Cannot execute the statement");
  SQLLEN Rows = -1;
  if (!SQL_SUCCEEDED(SQLRowCount(FStatement->Handle(), &Rows))) Rows = -1;
  FRowsAffected = static_cast<long>(Rows);
  FStatement->CloseCursor();
}

void TOraQuery::Close() {
  if (FActive) FStatement->CloseCursor();
  FActive = false;
  FEof = true;
}

void TOraQuery::First() {
  if (FActive && FRowNumber == 0) return;
  Open();
}

void TOraQuery::Next() {
  if (!FActive || FEof) return;
  try {
    Fetch();
  } catch (...) {
    Close();
    throw;
  }
}

void TOraQuery::Fetch() {
  SQLRETURN Rc = SQLFetch(FStatement->Handle());
  if (Rc == SQL_NO_DATA) {
    FEof = true;
    return;
  }
  FStatement->Check(Rc, "Cannot fetch a row");
  ++FRowNumber;
  for (int Column = 0; Column < FieldCount(); ++Column) ReadColumn(Column, FRow[Column]);
}

void TOraQuery::ReadColumn(int Column, TFieldValue& Value) {
  // A long value comes in pieces, each but the last filling the buffer up to
  // its terminating zero.
  std::string Pieces;
  while (true) {
    SQLLEN Indicator = 0;
    SQLRETURN Rc = SQLGetData(FStatement->Handle(), static_cast<SQLUSMALLINT>(Column + 1), SQL_C_CHAR,
                              FBuffer.data(), static_cast<SQLLEN>(FBuffer.size()), &Indicator);
    if (Rc == SQL_NO_DATA) break;
    if (!SQL_SUCCEEDED(Rc)) FStatement->Fail("Cannot read field '" + FFieldNames[Column] + "'");
    if (Indicator == SQL_NULL_DATA) {
      Value = TFieldValue::Null();
      return;
    }
    const std::size_t Room = FBuffer.size() - 1;
    if (Indicator != SQL_NO_TOTAL && static_cast<std::size_t>(Indicator) <= Room) {
      std::string_view Last(FBuffer.data(), static_cast<std::size_t>(Indicator));
      if (Pieces.empty()) {
        Value.AssignText(Last);
        return;
      }
      Pieces.append(Last);
      break;
    }
    Pieces.append(FBuffer.data(), Room);
    std::size_t Needed = Indicator == SQL_NO_TOTAL ? FBuffer.size() * 2
                                                   : static_cast<std::size_t>(Indicator) - Room + 1;
    if (Needed > FBuffer.size()) FBuffer.resize(Needed);
  }
  Value.AssignText(Pieces);
}

TField TOraQuery::FieldByName(const std::string& Name) const {
  // Fields are mostly read in column order: the search starts after the one
  // found last.
  const std::size_t Count = FFieldNames.size();
  for (std::size_t Step = 0; Step < Count; ++Step) {
    std::size_t I = (FLastField + 1 + Step) % Count;
    if (SameFieldName(FFieldNames[I], Name)) {
      if (Eof()) throw EDatabaseError("Field '" + Name + "': no current row");
      FLastField = I;
      return TField(FFieldNames[I], FRow[I]);
    }
  }
  throw EDatabaseError("Field '" + Name + "' not found");
}

}  // namespace relaybird

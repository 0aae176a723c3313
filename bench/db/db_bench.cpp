// Time per call of the letter preparation and of a 20-row select, through the
// data-access layer and through plain ODBC calls doing the same work, on the
// test database of scripts/postgres.sh (ODBCSYSINI and ODBCINI set).
//
//   db_bench [calls of each kind, default 4000]
//
// Both run over one connection; a run is still subject to the machine's load,
// so compare figures of one run only.
#include <sql.h>
#include <sqlext.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "relaybird/settings.h"
#include "db/odbc_connection.h"
#include "relaybird/ora_query.h"
#include "relaybird/ora_session.h"
#include "db/ora_stored_proc.h"

namespace {

using namespace relaybird;

const char* const Server = "KOBALTIX";
const char* const User = "kobaltix5";
const char* const Schema = "kobaltix5";
const char* const ProcName = "kobaltix5.orvanta5_bd.preparation_letter";
const char* const NoticeGuid = "E08300000000000000000000000T0001";
// The first source's query over the 20 notices already taken.
const char* const SelectText =
    "select t.trn_guid,\n"
    "       0 as flag,\n"
    "       t.id_prinadl,\n"
    "       t.id_klienta,\n"
    "       t.notice_type,\n"
    "       t.notice_email\n"
    "from   ecfil083 t\n"
    "where  t.flag_activnosti = 1\n"
    "and    t.notice_automatically = 1\n"
    "and    t.notice_send_email = 1";
// Calls are timed in short blocks that alternate between the layer and plain
// ODBC, so that a change in the machine's load falls on both alike; the
// median block stands for each.
constexpr int BlockCalls = 20;

// What one call hands on: the letter, or the six values of every row.
struct TSink {
  std::size_t Bytes = 0;
  std::int64_t Numbers = 0;
};

class TLayerBench {
 public:
  TLayerBench() {
    Session.SetServer(Server);
    Session.SetUsername(User);
    Session.SetPassword(DefaultOraPassword);
    Session.SetSchema(Schema);
    Session.Connect();
    Proc.SetSession(&Session);
    Proc.SetStoredProcName(ProcName);
    Proc.AddParam("P_NOTICE_GUID", TParamDirection::pdInput, TFieldType::ftString, 32);
    Proc.AddParam("P_NOTICE_TYPE", TParamDirection::pdInput, TFieldType::ftInteger);
    Proc.AddParam("P_LETTER_TEMPLATE", TParamDirection::pdOutput, TFieldType::ftString, 4000);
    Proc.AddParam("P_LETTER_TYPLE", TParamDirection::pdOutput, TFieldType::ftString, 40);
    Proc.Prepare();
    Query.SetSession(&Session);
    Query.SetSQL(SelectText);
    Query.Prepare();
  }

  SQLHDBC Connection() const { return Session.Connection()->Handle(); }

  void Letter(TSink& Sink) {
    Proc.Close();
    Proc.ParamByName("P_NOTICE_GUID").SetValue(NoticeGuid);
    Proc.ParamByName("P_NOTICE_TYPE").SetValue(0);
    Proc.ExecProc();
    Sink.Bytes += Proc.ParamByName("P_LETTER_TEMPLATE").AsField().AsString().size();
    Sink.Bytes += Proc.ParamByName("P_LETTER_TYPLE").AsField().AsString().size();
  }

  void Select(TSink& Sink) {
    Query.Close();
    Query.Open();
    for (; !Query.Eof(); Query.Next()) {
      Sink.Bytes += Query.FieldByName("trn_guid").AsString().size();
      Sink.Numbers += Query.FieldByName("flag").AsInteger();
      Sink.Numbers += Query.FieldByName("id_prinadl").AsInteger();
      Sink.Numbers += Query.FieldByName("id_klienta").AsInteger();
      Sink.Numbers += Query.FieldByName("notice_type").AsInteger();
      Sink.Bytes += Query.FieldByName("notice_email").AsString().size();
    }
    Query.Close();
  }

 private:
  TOraSession Session;
  TOraStoredProc Proc;
  TOraQuery Query;
};

void Check(SQLRETURN Rc, SQLSMALLINT Type, SQLHANDLE Handle, const char* What) {
  if (SQL_SUCCEEDED(Rc) || Rc == SQL_NO_DATA) return;
  SQLCHAR State[6] = {0};
  SQLCHAR Text[1024] = {0};
  SQLINTEGER Native = 0;
  SQLSMALLINT Length = 0;
  SQLGetDiagRec(Type, Handle, 1, State, &Native, Text, sizeof Text, &Length);
  throw std::runtime_error(std::string(What) + ": " + reinterpret_cast<char*>(Text));
}

// Plain ODBC statements on the layer's own connection: both then talk to the
// same server process over the same socket, and only the client side differs.
class TPlainBench {
 public:
  explicit TPlainBench(SQLHDBC Connection) : Dbc(Connection) {
    SQLAllocHandle(SQL_HANDLE_STMT, Dbc, &Call);
    std::string CallText = std::string("{call ") + ProcName + "(?, ?, ?, ?)}";
    Check(SQLPrepare(Call, reinterpret_cast<SQLCHAR*>(CallText.data()), SQL_NTS), SQL_HANDLE_STMT, Call,
          "prepare call");
    SQLBindParameter(Call, 1, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 32, 0, Guid, sizeof Guid, &GuidLength);
    SQLBindParameter(Call, 2, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &Source, 0, &SourceLength);
    SQLBindParameter(Call, 3, SQL_PARAM_OUTPUT, SQL_C_CHAR, SQL_VARCHAR, 4000, 0, Body, sizeof Body,
                     &BodyLength);
    SQLBindParameter(Call, 4, SQL_PARAM_OUTPUT, SQL_C_CHAR, SQL_VARCHAR, 40, 0, Subject, sizeof Subject,
                     &SubjectLength);

    SQLAllocHandle(SQL_HANDLE_STMT, Dbc, &Rows);
    Check(SQLPrepare(Rows, reinterpret_cast<SQLCHAR*>(const_cast<char*>(SelectText)), SQL_NTS),
          SQL_HANDLE_STMT, Rows, "prepare select");
  }

  ~TPlainBench() {
    SQLFreeHandle(SQL_HANDLE_STMT, Call);
    SQLFreeHandle(SQL_HANDLE_STMT, Rows);
  }

  void Letter(TSink& Sink) {
    std::string Id = NoticeGuid;
    Id.copy(Guid, Id.size());
    Guid[Id.size()] = '\0';
    GuidLength = static_cast<SQLLEN>(Id.size());
    Source = 0;
    SourceLength = 0;
    BodyLength = 0;
    SubjectLength = 0;
    Check(SQLExecute(Call), SQL_HANDLE_STMT, Call, "call");
    std::string Letter(Body, static_cast<std::size_t>(BodyLength));
    std::string Title(Subject, static_cast<std::size_t>(SubjectLength));
    Sink.Bytes += Letter.size() + Title.size();
    SQLFreeStmt(Call, SQL_CLOSE);
  }

  void Select(TSink& Sink) {
    Check(SQLExecute(Rows), SQL_HANDLE_STMT, Rows, "select");
    while (SQLFetch(Rows) == SQL_SUCCESS) {
      for (SQLUSMALLINT Column = 1; Column <= 6; ++Column) {
        char Value[512];
        SQLLEN Length = 0;
        SQLGetData(Rows, Column, SQL_C_CHAR, Value, sizeof Value, &Length);
        std::string Text(Value, Length > 0 ? static_cast<std::size_t>(Length) : 0);
        if (Column == 1 || Column == 6) {
          Sink.Bytes += Text.size();
        } else {
          Sink.Numbers += std::strtoll(Text.c_str(), nullptr, 10);
        }
      }
    }
    SQLFreeStmt(Rows, SQL_CLOSE);
  }

 private:
  SQLHDBC Dbc;
  SQLHSTMT Call = SQL_NULL_HSTMT;
  SQLHSTMT Rows = SQL_NULL_HSTMT;
  char Guid[33 * 4] = {0};
  SQLLEN GuidLength = 0;
  SQLINTEGER Source = 0;
  SQLLEN SourceLength = 0;
  char Body[4000 * 4 + 1] = {0};
  SQLLEN BodyLength = 0;
  char Subject[40 * 4 + 1] = {0};
  SQLLEN SubjectLength = 0;
};

struct TBlockTime {
  double Wall = 0;  // microseconds per call
  double Cpu = 0;   // of this process, microseconds per call
};

double CpuMicroseconds() {
  timespec Now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &Now);
  return static_cast<double>(Now.tv_sec) * 1e6 + static_cast<double>(Now.tv_nsec) / 1e3;
}

TBlockTime TimeBlock(const std::function<void(TSink&)>& Work, int Calls, TSink& Sink) {
  double CpuStart = CpuMicroseconds();
  auto Start = std::chrono::steady_clock::now();
  for (int I = 0; I < Calls; ++I) Work(Sink);
  std::chrono::duration<double, std::micro> Elapsed = std::chrono::steady_clock::now() - Start;
  return {Elapsed.count() / Calls, (CpuMicroseconds() - CpuStart) / Calls};
}

double Median(std::vector<double> Times) {
  std::sort(Times.begin(), Times.end());
  return Times[Times.size() / 2];
}

void Compare(const char* Name, const std::function<void(TSink&)>& Layer,
             const std::function<void(TSink&)>& Plain, int Calls) {
  TSink LayerSink, PlainSink;
  TimeBlock(Layer, BlockCalls, LayerSink);
  TimeBlock(Plain, BlockCalls, PlainSink);
  std::vector<double> LayerWall, PlainWall, LayerCpu, PlainCpu;
  for (int Done = 0; Done < Calls; Done += BlockCalls) {
    // Neither always goes first.
    bool LayerFirst = (Done / BlockCalls) % 2 == 0;
    TBlockTime L, P;
    if (LayerFirst) L = TimeBlock(Layer, BlockCalls, LayerSink);
    P = TimeBlock(Plain, BlockCalls, PlainSink);
    if (!LayerFirst) L = TimeBlock(Layer, BlockCalls, LayerSink);
    LayerWall.push_back(L.Wall);
    LayerCpu.push_back(L.Cpu);
    PlainWall.push_back(P.Wall);
    PlainCpu.push_back(P.Cpu);
  }
  if (LayerSink.Bytes != PlainSink.Bytes || LayerSink.Numbers != PlainSink.Numbers) {
    throw std::runtime_error(std::string(Name) + ": the layer and plain ODBC read different data");
  }
  double Lw = Median(LayerWall), Pw = Median(PlainWall);
  double Lc = Median(LayerCpu), Pc = Median(PlainCpu);
  std::printf("%-20s time per call: layer %7.1f us, plain ODBC %7.1f us, ratio %.3f (%+.1f %%)\n", Name, Lw,
              Pw, Lw / Pw, (Lw / Pw - 1) * 100);
  std::printf("%-20s client CPU:    layer %7.1f us, plain ODBC %7.1f us, ratio %.3f (%+.1f %%)\n", "", Lc, Pc,
              Lc / Pc, (Lc / Pc - 1) * 100);
}

}  // namespace

int main(int argc, char** argv) {
  int Calls = argc > 1 ? std::atoi(argv[1]) : 4000;
  if (Calls <= 0) {
    std::fprintf(stderr, "usage: db_bench [calls of each kind]\n");
    return 2;
  }
  try {
    TLayerBench Layer;
    TPlainBench Plain(Layer.Connection());
    std::printf("%d calls of each kind in blocks of %d, median block\n", Calls, BlockCalls);
    Compare("preparation_letter", [&](TSink& S) { Layer.Letter(S); }, [&](TSink& S) { Plain.Letter(S); },
            Calls);
    Compare("20-row select", [&](TSink& S) { Layer.Select(S); }, [&](TSink& S) { Plain.Select(S); }, Calls);
  } catch (const std::exception& Error) {
    std::fprintf(stderr, "db_bench: %s\n", Error.what());
    return 1;
  }
  return 0;
}

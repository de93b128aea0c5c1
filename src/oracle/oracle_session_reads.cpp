// OracleSession: the readers that go beyond one string per column (LONG values in pieces, the
// DBMS_OUTPUT buffer) and the SQL literal of a value.
#include <algorithm>
#include <cstring>
#include <vector>

#include "base/comparison_options.h"
#include "base/report_text.h"
#include "oracle/oracle_session.h"
#include "oracle/oracle_statement.h"
#include "oracle/oracle_text.h"

namespace velmora {

namespace {

constexpr ub4 kLongPieceSize = 10240;
constexpr sb4 kLongMaximum = 2147483647;

bool delivered(sword status) {
  return status == OCI_SUCCESS || status == OCI_SUCCESS_WITH_INFO || status == OCI_NEED_DATA;
}

std::string doubledQuotes(const std::string& value) {
  std::string out;
  out.reserve(value.size() + 2);
  for (char c : value) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

// A quoted literal that a line-based script can hold: a control character (a line break above
// all, which would end the statement in SQL*Plus) is joined in as CHR(n), so the literal never
// spans lines: "a" LF "b" gives 'a' || CHR(10) || 'b'.
std::string quotedLiteral(const std::string& value) {
  std::string out;
  std::string run;
  const auto flush = [&] {
    if (run.empty()) return;
    if (!out.empty()) out += " || ";
    out += "'" + doubledQuotes(run) + "'";
    run.clear();
  };
  for (char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      run += c;
      continue;
    }
    flush();
    if (!out.empty()) out += " || ";
    out += "CHR(" + std::to_string(byte) + ")";
  }
  flush();
  return out;
}

}  // namespace

std::string quotedSqlLiteral(const std::string& value) { return quotedLiteral(value); }

std::string OracleSession::readLong(const std::string& sql, const std::string& bind1,
                                    const std::string& bind2, std::string* error) {
  if (error != nullptr) error->clear();
  // Shown, or handed back quietly (a lost connection is not reconnected in the middle of a read).
  const auto fail = [&] {
    std::string message;
    int code = 0;
    reportError(true, error != nullptr, &code, &message);
    if (error == nullptr || code == 1403 || code == 24344) return;
    *error = message.empty() ? "the value could not be read" : message;
  };
  // Each call has its own statement and define handles, so readers never share them.
  OracleStatement statement(*this);
  statement.prepare(sql);
  if (!bind1.empty()) statement.bindText(":bind1", bind1);
  if (!bind2.empty()) statement.bindText(":bind2", bind2);
  OCIError* err = errorHandle();
  sword status = guardedCall([&] {
    return library_.stmtExecute(serviceContext(), statement.handle(), err, 0, 0, OCI_DEFAULT);
  });
  if (status == OCI_NO_DATA) return "";
  if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
    fail();
    return "";
  }
  OCIDefine* define = nullptr;
  sb2 indicator = 0;  // a NULL LONG is then no error
  library_.defineByPos(statement.handle(), &define, err, 1, nullptr, kLongMaximum, SQLT_LNG,
                       &indicator, nullptr, nullptr, OCI_DYNAMIC_FETCH);

  std::string result;
  std::vector<char> piece(kLongPieceSize);
  const auto fetchPiece = [&] {
    return guardedCall([&] {
      return library_.stmtFetch(statement.handle(), err, 1, OCI_FETCH_NEXT, OCI_DEFAULT);
    });
  };
  status = fetchPiece();
  if (!delivered(status) && status != OCI_NO_DATA) {
    fail();  // not silently empty: the fetch itself failed
    return "";
  }
  while (status == OCI_NEED_DATA || status == OCI_SUCCESS_WITH_INFO) {
    dvoid* handle = nullptr;
    ub4 handleType = 0, iteration = 0, index = 0;
    ub1 inOut = 0, pieceKind = OCI_ONE_PIECE;
    library_.stmtGetPieceInfo(statement.handle(), err, &handle, &handleType, &inOut, &iteration,
                              &index, &pieceKind);
    ub4 length = kLongPieceSize;
    library_.stmtSetPieceInfo(handle, OCI_HTYPE_DEFINE, err, piece.data(), &length, pieceKind,
                              &indicator, nullptr);
    status = fetchPiece();
    if (!delivered(status)) {
      fail();
      break;
    }
    length = std::min(length, kLongPieceSize);
    result.append(piece.data(), length);
    if (length == 0 && status != OCI_NEED_DATA) break;  // nothing more will come
  }
  return trimTrailingSpace(std::move(result));
}

std::string OracleSession::readServerOutput() {
  OracleStatement statement(*this);
  statement.prepare(
      "declare line varchar2(4000); begin dbms_output.get_line( line, :more); :line := "
      "nvl(line,' '); end;");
  std::vector<char> line(4001, '\0');
  int32_t more = 1;
  statement.bindString(":line", line.data(), 4000);
  statement.bindInt(":more", &more);
  std::string result;
  for (;;) {
    more = 1;  // a server that does not answer ends the loop
    line[0] = '\0';
    if (!statement.execute()) {
      reportError(true, false);
      return "";
    }
    std::string text = trimTrailingSpace(std::string(line.data(), strnlen(line.data(), 4001)));
    if (!text.empty()) result += text + "\r\n";
    if (more == 1) break;
  }
  return result;
}

std::string OracleSession::sqlLiteral(const std::string& value, int typeCode) const {
  if (value.empty()) return "NULL";
  switch (typeCode) {
    case SQLT_CHR:
    case SQLT_STR:
    case SQLT_VCS:
    case SQLT_RID:
    case SQLT_LVC:
    case SQLT_AFC:
    case SQLT_AVC:
    case SQLT_CLOB:
    case SQLT_VST: {
      bool script = environment_.options != nullptr && environment_.options->i_DoingUpgradeScript;
      return script ? quotedLiteral(value) : escapeControls(doubledQuotes(value));
    }
    case SQLT_LNG:
      return quotedLiteral(value);
    case SQLT_DAT:
    case SQLT_ODT:
    case SQLT_DATE:
      return "to_date('" + doubledQuotes(value) + "','" + doubledQuotes(dateFormat()) + "')";
    default:
      return value;
  }
}

}  // namespace velmora

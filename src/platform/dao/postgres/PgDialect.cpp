#include "platform/dao/postgres/PgDialect.h"

#include <cstddef>
#include <set>
#include <string_view>
#include <vector>

#include "platform/dao/ColumnType.h"

namespace tarvo::dao::postgres {
namespace {

struct Token {
  enum class Kind { Blank, String, Quoted, Word, Param, Other } kind;
  std::string text;  // as written; for Quoted the name inside the quotes
};

bool WordStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

bool WordPart(unsigned char c) {
  return WordStart(c) || (c >= '0' && c <= '9') || c == '$';
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::vector<Token> Tokens(const std::string& sql) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  const std::size_t n = sql.size();
  auto quoted = [&](char close, Token::Kind kind) {
    std::string inner;
    for (++i; i < n; ++i) {
      if (sql[i] == close) {
        if (close != ']' && i + 1 < n && sql[i + 1] == close) {
          inner += close;
          ++i;
          continue;
        }
        ++i;
        break;
      }
      inner += sql[i];
    }
    tokens.push_back({kind, inner});
  };
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(sql[i]);
    const std::size_t start = i;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      while (i < n && (sql[i] == ' ' || sql[i] == '\t' || sql[i] == '\r' || sql[i] == '\n')) ++i;
      tokens.push_back({Token::Kind::Blank, sql.substr(start, i - start)});
    } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
      while (i < n && sql[i] != '\n') ++i;
      tokens.push_back({Token::Kind::Blank, sql.substr(start, i - start)});
    } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
      std::size_t end = sql.find("*/", i + 2);
      i = end == std::string::npos ? n : end + 2;
      tokens.push_back({Token::Kind::Blank, sql.substr(start, i - start)});
    } else if (c == '\'') {
      for (++i; i < n; ++i)
        if (sql[i] == '\'') {
          if (i + 1 < n && sql[i + 1] == '\'') {
            ++i;
            continue;
          }
          ++i;
          break;
        }
      tokens.push_back({Token::Kind::String, sql.substr(start, i - start)});
    } else if (c == '"') {
      quoted('"', Token::Kind::Quoted);
    } else if (c == '`') {
      quoted('`', Token::Kind::Quoted);
    } else if (c == '[') {
      quoted(']', Token::Kind::Quoted);
    } else if (c == '?') {
      ++i;
      while (i < n && sql[i] >= '0' && sql[i] <= '9') ++i;
      tokens.push_back({Token::Kind::Param, sql.substr(start, i - start)});
    } else if (c >= '0' && c <= '9') {
      // A number with its exponent and fraction, so that "1e5" is not read as a word.
      while (i < n && (WordPart(static_cast<unsigned char>(sql[i])) || sql[i] == '.')) ++i;
      tokens.push_back({Token::Kind::Other, sql.substr(start, i - start)});
    } else if (WordStart(c)) {
      while (i < n && WordPart(static_cast<unsigned char>(sql[i]))) ++i;
      tokens.push_back({Token::Kind::Word, sql.substr(start, i - start)});
    } else {
      ++i;
      tokens.push_back({Token::Kind::Other, sql.substr(start, 1)});
    }
  }
  return tokens;
}

std::string QuotedName(const std::string& name) {
  std::string result = "\"";
  for (char c : Lower(name)) {
    if (c == '"') result += '"';
    result += c;
  }
  return result + "\"";
}

std::string Literal(const std::string& text) {
  std::string result = "'";
  for (char c : text) {
    if (c == '\'') result += '\'';
    result += c;
  }
  return result + "'";
}

// Writes the tokens of one statement in the server's dialect.
class Writer {
 public:
  explicit Writer(int& parameters) : parameters_(parameters) {}

  void Put(const Token& token) {
    switch (token.kind) {
      case Token::Kind::Quoted:
        out_ += QuotedName(token.text);
        break;
      case Token::Kind::Param:
        out_ += "$" + std::to_string(++parameters_);
        break;
      case Token::Kind::Word: {
        const std::string upper = Upper(token.text);
        if (upper == "TRUE")
          out_ += "1";
        else if (upper == "FALSE")
          out_ += "0";
        else if (upper == "LIKE")
          out_ += "ILIKE";
        else if (upper == "IFNULL")
          out_ += "COALESCE";
        else if (upper == "AUTOINCREMENT")
          ;
        else
          out_ += token.text;
        break;
      }
      default:
        out_ += token.text;
    }
  }
  void Raw(const std::string& text) { out_ += text; }
  std::string& Text() { return out_; }

 private:
  int& parameters_;
  std::string out_;
};

const std::set<std::string> kConstraintWords = {
    "CONSTRAINT", "PRIMARY", "NOT",       "NULL", "DEFAULT",       "REFERENCES", "UNIQUE",
    "CHECK",      "COLLATE", "GENERATED", "AS",   "AUTOINCREMENT", "ON"};
const std::set<std::string> kTableConstraints = {"CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK",
                                                 "FOREIGN"};

// The server's type for a column declared `declared` (upper case, without arguments) with
// `arguments` ("(50)" or empty).
std::string ServerType(const std::string& declared, const std::string& arguments) {
  if (declared.empty()) return "text";
  const auto has = [&](const char* part) { return declared.find(part) != std::string::npos; };
  switch (KindOfDeclaredType(declared.c_str())) {
    case ColumnKind::Boolean:
      return kBooleanDomain;
    case ColumnKind::Long:
      return has("SMALL") || has("SHORT") || has("BYTE") || has("TINY") ? "smallint" : "bigint";
    case ColumnKind::Double:
      if (has("NUMERIC") || has("DECIMAL")) return declared + arguments;
      return "double precision";
    case ColumnKind::Date:
      if (declared == "DATE") return "date";
      if (declared == "TIME") return "time";
      return "timestamp(0)";
    case ColumnKind::Text:
      if (has("CHAR") && !arguments.empty()) return "varchar" + arguments;
      return "text";
    case ColumnKind::Any:
      break;
  }
  return declared + arguments;
}

std::size_t SkipBlanks(const std::vector<Token>& t, std::size_t i, std::size_t end) {
  while (i < end && t[i].kind == Token::Kind::Blank) ++i;
  return i;
}

bool IsWord(const Token& token, const char* upper) {
  return token.kind == Token::Kind::Word && Upper(token.text) == upper;
}

struct Statement {
  std::string sql;
  bool usesBooleanDomain = false;
  std::string rowidColumn;  // an INTEGER PRIMARY KEY column, numbered as SQLite numbers it
};

// The key of a new row that names none: the highest key of the table plus one.
constexpr const char* kKeyFunction =
    "CREATE OR REPLACE FUNCTION tarvo_naechster_schluessel() RETURNS trigger LANGUAGE plpgsql "
    "AS $f$ DECLARE neu bigint; BEGIN "
    "IF (to_jsonb(NEW) ->> TG_ARGV[0]) IS NULL THEN "
    "EXECUTE format('SELECT coalesce(max(%I), 0) + 1 FROM %I.%I', TG_ARGV[0], TG_TABLE_SCHEMA, "
    "TG_TABLE_NAME) INTO neu; "
    "NEW := jsonb_populate_record(NEW, jsonb_build_object(TG_ARGV[0], neu)); "
    "END IF; RETURN NEW; END $f$;\n";

// One column definition of CREATE TABLE, tokens [begin, end).
void ColumnDefinition(const std::vector<Token>& t, std::size_t begin, std::size_t end, Writer& out,
                      Statement& statement, std::vector<std::string>& named) {
  std::size_t i = begin;
  while (i < end && t[i].kind == Token::Kind::Blank) out.Put(t[i++]);
  if (i >= end) return;
  if (t[i].kind == Token::Kind::Word && kTableConstraints.count(Upper(t[i].text))) {
    for (; i < end; ++i) out.Put(t[i]);
    return;
  }
  // The name, then the declared type: words up to a constraint, with "(n)" arguments.
  const Token& name = t[i];
  out.Put(t[i++]);
  if (name.kind == Token::Kind::Word || name.kind == Token::Kind::Quoted)
    named.push_back(name.text);
  std::string declared, arguments;
  std::size_t j = SkipBlanks(t, i, end);
  std::size_t after = i;  // the first token after the declared type
  while (j < end && t[j].kind == Token::Kind::Word && !kConstraintWords.count(Upper(t[j].text))) {
    declared += (declared.empty() ? "" : " ") + Upper(t[j].text);
    after = j + 1;
    j = SkipBlanks(t, j + 1, end);
  }
  if (!declared.empty() && j < end && t[j].text == "(") {
    int depth = 0;
    for (; j < end; ++j) {
      if (t[j].kind != Token::Kind::Blank) arguments += t[j].text;
      if (t[j].text == "(") ++depth;
      if (t[j].text == ")" && --depth == 0) {
        ++j;
        break;
      }
    }
    after = j;
  }
  const std::string type = ServerType(declared, arguments);
  if (type == kBooleanDomain) statement.usesBooleanDomain = true;
  if (declared == "INTEGER") {
    std::string rest;
    for (std::size_t k = after; k < end; ++k)
      if (t[k].kind == Token::Kind::Word) rest += Upper(t[k].text) + " ";
    if (rest.rfind("PRIMARY KEY", 0) == 0) statement.rowidColumn = QuotedName(name.text);
  }
  out.Raw(" " + type);
  for (j = after; j < end; ++j) out.Put(t[j]);
}

// CREATE [TEMP] TABLE name ( … ): the types of its columns, and comments naming them.
bool CreateTable(const std::vector<Token>& t, std::size_t begin, std::size_t end,
                 Statement& statement, int& parameters) {
  std::size_t i = SkipBlanks(t, begin, end);
  if (i >= end || !IsWord(t[i], "CREATE")) return false;
  i = SkipBlanks(t, i + 1, end);
  if (i < end && (IsWord(t[i], "TEMP") || IsWord(t[i], "TEMPORARY"))) i = SkipBlanks(t, i + 1, end);
  if (i >= end || !IsWord(t[i], "TABLE")) return false;
  std::size_t open = i;
  while (open < end && t[open].text != "(") ++open;
  if (open >= end) return false;
  // The table's name is the last name before the parenthesis.
  std::size_t nameAt = open;
  while (nameAt > i && t[nameAt - 1].kind != Token::Kind::Word &&
         t[nameAt - 1].kind != Token::Kind::Quoted)
    --nameAt;
  if (nameAt <= i + 1) return false;
  const Token& table = t[nameAt - 1];

  Writer out(parameters);
  for (std::size_t k = begin; k <= open; ++k) out.Put(t[k]);
  std::vector<std::string> named;
  int depth = 1;
  std::size_t element = open + 1, k = open + 1;
  for (; k < end && depth > 0; ++k) {
    if (t[k].text == "(" && t[k].kind == Token::Kind::Other) ++depth;
    if (t[k].text == ")" && t[k].kind == Token::Kind::Other) --depth;
    if ((depth == 1 && t[k].text == "," && t[k].kind == Token::Kind::Other) || depth == 0) {
      ColumnDefinition(t, element, k, out, statement, named);
      out.Put(t[k]);
      element = k + 1;
    }
  }
  // What follows the column list: SQLite's table options have no meaning on the server.
  for (; k < end; ++k)
    if (t[k].kind == Token::Kind::Blank || t[k].text == ";") out.Put(t[k]);
  std::string& sql = out.Text();
  const std::string tableName =
      table.kind == Token::Kind::Quoted ? QuotedName(table.text) : table.text;
  std::string comments;
  for (const std::string& column : named)
    if (Lower(column) != column)
      comments += "COMMENT ON COLUMN " + tableName + "." + QuotedName(column) + " IS " +
                  Literal(column) + ";\n";
  if (!statement.rowidColumn.empty()) {
    // SQLite gives a row without its key the highest key plus one; so does the trigger.
    const std::string unquoted = statement.rowidColumn.substr(1, statement.rowidColumn.size() - 2);
    comments += "CREATE TRIGGER tarvo_schluessel BEFORE INSERT ON " + tableName +
                " FOR EACH ROW EXECUTE FUNCTION tarvo_naechster_schluessel(" + Literal(unquoted) +
                ");\n";
  }
  if (!comments.empty()) {
    if (sql.empty() || sql.back() != ';') sql += ";";
    sql += "\n" + comments;
  }
  statement.sql = sql;
  return true;
}

}  // namespace

Translated Translate(const std::string& sql) {
  const std::vector<Token> tokens = Tokens(sql);
  Translated result;
  bool domainMade = false, keyFunctionMade = false;
  std::size_t begin = 0;
  while (begin < tokens.size()) {
    std::size_t end = begin;
    while (end < tokens.size() &&
           !(tokens[end].kind == Token::Kind::Other && tokens[end].text == ";"))
      ++end;
    if (end < tokens.size()) ++end;  // the statement keeps its ";"
    Statement statement;
    if (!CreateTable(tokens, begin, end, statement, result.parameters)) {
      Writer out(result.parameters);
      for (std::size_t k = begin; k < end; ++k) out.Put(tokens[k]);
      statement.sql = out.Text();
    }
    if (!statement.rowidColumn.empty() && !keyFunctionMade) {
      result.sql += kKeyFunction;
      keyFunctionMade = true;
    }
    if (statement.usesBooleanDomain && !domainMade) {
      result.sql += std::string("DO $$BEGIN CREATE DOMAIN ") + kBooleanDomain +
                    " AS smallint; EXCEPTION WHEN duplicate_object THEN NULL; END$$;\n";
      domainMade = true;
    }
    result.sql += statement.sql;
    begin = end;
  }
  return result;
}

bool ReturnsRows(const std::string& sql) {
  for (const Token& token : Tokens(sql)) {
    if (token.kind == Token::Kind::Blank) continue;
    if (token.kind == Token::Kind::Other) return token.text == "(";
    if (token.kind != Token::Kind::Word) return false;
    const std::string upper = Upper(token.text);
    return upper == "SELECT" || upper == "WITH" || upper == "VALUES" || upper == "TABLE";
  }
  return false;
}

}  // namespace tarvo::dao::postgres

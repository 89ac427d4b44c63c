#include "platform/dao/ServerAddress.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

namespace tarvo::dao {
namespace {

constexpr std::string_view kSchemes[] = {"postgresql://", "postgres://"};

// libpq's connection keywords that may begin a key/value string.
constexpr std::string_view kKeywords[] = {"host",
                                          "hostaddr",
                                          "port",
                                          "dbname",
                                          "user",
                                          "password",
                                          "passfile",
                                          "service",
                                          "sslmode",
                                          "sslcert",
                                          "sslkey",
                                          "sslrootcert",
                                          "sslcrl",
                                          "connect_timeout",
                                          "application_name",
                                          "options",
                                          "client_encoding",
                                          "target_session_attrs",
                                          "gssencmode",
                                          "channel_binding",
                                          "keepalives",
                                          "require_auth",
                                          "requiressl",
                                          "sslpassword",
                                          "krbsrvname"};

std::size_t SchemeLength(const std::string& name) {
  for (std::string_view scheme : kSchemes) {
    if (name.size() < scheme.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < scheme.size() && same; ++i)
      same = std::tolower(static_cast<unsigned char>(name[i])) == scheme[i];
    if (same) return scheme.size();
  }
  return 0;
}

// One "key = value" of the key/value form, with its place in the text.
struct Pair {
  std::string key, value;
  std::size_t begin = 0, end = 0;
};

// Reads the next pair from `pos`; false at the end or where the text is no such form.
bool NextPair(const std::string& text, std::size_t& pos, Pair& pair) {
  while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
  if (pos >= text.size()) return false;
  pair = Pair{};
  pair.begin = pos;
  while (pos < text.size() &&
         (std::isalnum(static_cast<unsigned char>(text[pos])) || text[pos] == '_'))
    pair.key += text[pos++];
  while (pos < text.size() && text[pos] == ' ') ++pos;
  if (pair.key.empty() || pos >= text.size() || text[pos] != '=') return false;
  ++pos;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  if (pos < text.size() && text[pos] == '\'') {
    for (++pos; pos < text.size() && text[pos] != '\''; ++pos) {
      if (text[pos] == '\\' && pos + 1 < text.size()) ++pos;
      pair.value += text[pos];
    }
    if (pos < text.size()) ++pos;
  } else {
    for (; pos < text.size() && !std::isspace(static_cast<unsigned char>(text[pos])); ++pos) {
      if (text[pos] == '\\' && pos + 1 < text.size()) ++pos;
      pair.value += text[pos];
    }
  }
  pair.end = pos;
  return true;
}

std::string PercentDecoded(std::string_view text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() + 0 &&
        std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      result += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      result += text[i];
    }
  }
  return result;
}

// The parts of a URI that may hold a password: the authority's user information and the query.
struct UriParts {
  std::size_t userBegin = 0, userEnd = 0;  // "user:password" before the last '@'
  std::size_t queryBegin = std::string::npos;
};

UriParts Parts(const std::string& name, std::size_t scheme) {
  UriParts parts;
  std::size_t authorityEnd = name.find_first_of("/?", scheme);
  if (authorityEnd == std::string::npos) authorityEnd = name.size();
  std::size_t at = name.rfind('@', authorityEnd == 0 ? 0 : authorityEnd - 1);
  if (at != std::string::npos && at >= scheme) {
    parts.userBegin = scheme;
    parts.userEnd = at;
  }
  parts.queryBegin = name.find('?', scheme);
  return parts;
}

}  // namespace

bool IsServerAddress(const std::string& name) {
  if (SchemeLength(name)) return true;
  std::size_t pos = 0;
  Pair pair;
  if (!NextPair(name, pos, pair)) return false;
  for (std::string_view keyword : kKeywords)
    if (pair.key == keyword) return true;
  return false;
}

std::string WithoutPassword(const std::string& name) {
  if (!IsServerAddress(name)) return name;
  if (std::size_t scheme = SchemeLength(name)) {
    UriParts parts = Parts(name, scheme);
    std::string result = name.substr(0, parts.userBegin ? parts.userBegin : scheme);
    if (parts.userEnd > parts.userBegin) {
      std::string user = name.substr(parts.userBegin, parts.userEnd - parts.userBegin);
      result += user.substr(0, user.find(':')) + "@";
      result +=
          name.substr(parts.userEnd + 1,
                      (parts.queryBegin == std::string::npos ? name.size() : parts.queryBegin) -
                          parts.userEnd - 1);
    } else {
      result =
          name.substr(0, parts.queryBegin == std::string::npos ? name.size() : parts.queryBegin);
    }
    if (parts.queryBegin != std::string::npos) {
      std::string query;
      std::size_t pos = parts.queryBegin + 1;
      while (pos <= name.size()) {
        std::size_t end = name.find('&', pos);
        if (end == std::string::npos) end = name.size();
        std::string item = name.substr(pos, end - pos);
        if (!item.empty() && item.rfind("password=", 0) != 0)
          query += (query.empty() ? "?" : "&") + item;
        pos = end + 1;
      }
      result += query;
    }
    return result;
  }
  std::string result;
  std::size_t pos = 0;
  Pair pair;
  while (NextPair(name, pos, pair))
    if (pair.key != "password" && pair.key != "sslpassword")
      result += (result.empty() ? "" : " ") + name.substr(pair.begin, pair.end - pair.begin);
  return result;
}

std::string PasswordOf(const std::string& name) {
  if (!IsServerAddress(name)) return {};
  if (std::size_t scheme = SchemeLength(name)) {
    UriParts parts = Parts(name, scheme);
    std::string found;
    if (parts.userEnd > parts.userBegin) {
      std::string user = name.substr(parts.userBegin, parts.userEnd - parts.userBegin);
      if (user.find(':') != std::string::npos)
        found = PercentDecoded(user.substr(user.find(':') + 1));
    }
    if (parts.queryBegin != std::string::npos) {
      std::size_t pos = parts.queryBegin + 1;
      while (pos <= name.size()) {
        std::size_t end = name.find('&', pos);
        if (end == std::string::npos) end = name.size();
        std::string item = name.substr(pos, end - pos);
        if (item.rfind("password=", 0) == 0) found = PercentDecoded(item.substr(9));
        pos = end + 1;
      }
    }
    return found;
  }
  std::string found;
  std::size_t pos = 0;
  Pair pair;
  while (NextPair(name, pos, pair))
    if (pair.key == "password") found = pair.value;
  return found;
}

std::string PasswordToEnvironment(const std::string& name) {
  const std::string password = PasswordOf(name);
  if (password.empty()) return name;
  ::setenv("PGPASSWORD", password.c_str(), 1);
  return WithoutPassword(name);
}

}  // namespace tarvo::dao

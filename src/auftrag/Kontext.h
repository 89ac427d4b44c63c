// What the command is doing at the moment, for the message that names where input was unusable
// ("Datenbank »x«: ..."). The command sets it before each step; the command boundary prints it.
#pragma once

#include <string>

namespace tarvo::auftrag {

inline std::string& Kontext() {
  static std::string kontext;
  return kontext;
}

}  // namespace tarvo::auftrag

// Sets or removes an environment variable for the lifetime of the object and restores it
// afterwards. Tests use it for the variables that choose the log and settings folders.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace tarvo::test {

class Umgebung {
 public:
  Umgebung(const char* name, std::optional<std::string> wert) : name_(name) {
    if (const char* alt = std::getenv(name)) alt_ = alt;
    if (wert)
      ::setenv(name, wert->c_str(), 1);
    else
      ::unsetenv(name);
  }
  ~Umgebung() {
    if (alt_)
      ::setenv(name_, alt_->c_str(), 1);
    else
      ::unsetenv(name_);
  }
  Umgebung(const Umgebung&) = delete;
  Umgebung& operator=(const Umgebung&) = delete;

 private:
  const char* name_;
  std::optional<std::string> alt_;
};

}  // namespace tarvo::test

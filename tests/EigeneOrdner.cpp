// Every test program runs as many processes at once under CTest. Each process gets its own log
// and settings folder below the ones CTest names, so no test counts records or reads settings
// another process wrote. The folder is removed when the process ends.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

class EigeneOrdner {
 public:
  EigeneOrdner() {
    Umlenken("TARVO_LOG_DIR", log_);
    Umlenken("TARVO_CONFIG_DIR", einstellungen_);
  }
  ~EigeneOrdner() {
    std::error_code fehler;
    if (!log_.empty()) std::filesystem::remove_all(log_, fehler);
    if (!einstellungen_.empty()) std::filesystem::remove_all(einstellungen_, fehler);
  }
  EigeneOrdner(const EigeneOrdner&) = delete;
  EigeneOrdner& operator=(const EigeneOrdner&) = delete;

 private:
  static void Umlenken(const char* variable, std::filesystem::path& ordner) {
    const char* basis = std::getenv(variable);
    if (!basis || !*basis) return;
    ordner = std::filesystem::path(basis) / ("p" + std::to_string(::getpid()));
    std::error_code fehler;
    std::filesystem::create_directories(ordner, fehler);
    setenv(variable, ordner.c_str(), 1);
  }

  std::filesystem::path log_;
  std::filesystem::path einstellungen_;
};

const EigeneOrdner eigeneOrdner;

}  // namespace

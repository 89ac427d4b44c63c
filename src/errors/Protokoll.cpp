#include "errors/Protokoll.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "errors/Fehler.h"

namespace tarvo {

GO_Error& LetzterFehler() {
  static GO_Error fehler;
  return fehler;
}

AktuellerFehler& Err() {
  static AktuellerFehler err;
  return err;
}

namespace protokoll {
namespace {

std::function<std::tm()>& Uhr() {
  static std::function<std::tm()> uhr;
  return uhr;
}

std::int64_t& Zaehler() {
  static std::int64_t anzahl = 0;
  return anzahl;
}

std::tm Jetzt() {
  if (Uhr()) return Uhr()();
  std::time_t t = std::time(nullptr);
  std::tm ergebnis{};
  localtime_r(&t, &ergebnis);
  return ergebnis;
}

bool Beschreibbar(const std::filesystem::path& ordner) {
  std::error_code ec;
  if (!std::filesystem::is_directory(ordner, ec)) {
    if (!std::filesystem::create_directories(ordner, ec)) return false;
  }
  return ::access(ordner.c_str(), W_OK | X_OK) == 0;
}

std::filesystem::path& ErsatzBibliotheksOrdner() {
  static std::filesystem::path ordner;
  return ordner;
}

std::filesystem::path ZustandsOrdner() {
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg)
    return std::filesystem::path(xdg) / "tarvo";
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::filesystem::path(home) / ".local" / "state" / "tarvo";
  return {};
}

}  // namespace

std::filesystem::path BibliotheksOrdner() {
  if (!ErsatzBibliotheksOrdner().empty()) return ErsatzBibliotheksOrdner();
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&BibliotheksOrdner), &info) == 0 || !info.dli_fname) return {};
  std::error_code ec;
  auto pfad = std::filesystem::canonical(info.dli_fname, ec);
  if (ec) return {};
  return pfad.parent_path();
}

std::filesystem::path Ordner() {
  if (const char* eigener = std::getenv("TARVO_LOG_DIR"); eigener && *eigener) {
    std::filesystem::path ordner(eigener);
    return Beschreibbar(ordner) ? ordner : std::filesystem::path();
  }
  for (const auto& ordner : {BibliotheksOrdner(), ZustandsOrdner()}) {
    if (!ordner.empty() && Beschreibbar(ordner)) return ordner;
  }
  return {};
}

std::filesystem::path Datei() {
  auto ordner = Ordner();
  return ordner.empty() ? ordner : ordner / "Verw.log";
}

std::string Satz(const std::tm& zeit, std::int32_t nummer, std::string_view beschreibung,
                 std::int32_t zeile, std::string_view modul, std::string_view prozedur) {
  char stempel[64];
  std::snprintf(stempel, sizeof stempel, "%d.%d.%02d %02d:%02d   ", zeit.tm_mday, zeit.tm_mon + 1,
                (zeit.tm_year + 1900) % 100, zeit.tm_hour, zeit.tm_min);
  std::string satz = stempel;
  satz += "Error " + std::to_string(nummer) + ": \r\n";
  satz += std::string(beschreibung) + "\r\n";
  satz += "Zeile: " + std::to_string(zeile) + "\r\n";
  satz += "Ort  : " + std::string(modul) + "." + std::string(prozedur) + "\r\n";
  satz += "User : , \r\n";
  satz += "\r\n";
  return satz;
}

void SetzeUhr(std::function<std::tm()> uhr) {
  Uhr() = std::move(uhr);
}

void SetzeBibliotheksOrdner(std::filesystem::path ordner) {
  ErsatzBibliotheksOrdner() = std::move(ordner);
}

std::int64_t AnzahlGemeldet() {
  return Zaehler();
}

}  // namespace protokoll

void FehlerProtokollieren(std::string_view modul, std::string_view prozedur) noexcept {
  try {
    const AktuellerFehler& err = Err();
    ++protokoll::Zaehler();
    auto datei = protokoll::Datei();
    if (!datei.empty()) {
      std::string satz = protokoll::Satz(protokoll::Jetzt(), err.Number, err.Description, err.Erl,
                                         modul, prozedur);
      if (std::FILE* f = std::fopen(datei.c_str(), "ab")) {
        std::fwrite(satz.data(), 1, satz.size(), f);
        std::fclose(f);
      }
    }
    GO_Error& fehler = LetzterFehler();
    std::string name = std::string(modul) + std::string(prozedur);
    if (name != fehler.Funktionsname) {
      fehler.Funktionsname = name;
      fehler.strFehler = err.Description;
      fehler.strModul = std::string(modul);
      fehler.strFunktion = std::string(prozedur);
      fehler.strNr = std::to_string(err.Number);
      fehler.Hinweis = err.Erl;
    }
  } catch (...) {
    // The reporter must never raise: a record that cannot be written is lost.
  }
}

}  // namespace tarvo

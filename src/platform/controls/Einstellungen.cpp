#include "platform/controls/Einstellungen.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "errors/Laufzeitfehler.h"

namespace tarvo::controls {
namespace {

struct Abschnitt {
  std::string Name;
  std::vector<std::pair<std::string, std::string>> Werte;
};

bool Gleich(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto klein = [](char z) {
      return (z >= 'A' && z <= 'Z') ? static_cast<char>(z - 'A' + 'a') : z;
    };
    return klein(x) == klein(y);
  });
}

std::string Beschnitten(const std::string& text) {
  const auto anfang = text.find_first_not_of(" \t");
  if (anfang == std::string::npos) return {};
  const auto ende = text.find_last_not_of(" \t");
  return text.substr(anfang, ende - anfang + 1);
}

bool HatZeilenende(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

std::string AbschnittsName(const std::string& anwendung, const std::string& abschnitt) {
  return anwendung + "\\" + abschnitt;
}

// Every well-formed section and pair of the file; everything else is skipped.
std::vector<Abschnitt> Einlesen(const std::filesystem::path& datei) {
  std::vector<Abschnitt> abschnitte;
  if (datei.empty()) return abschnitte;
  std::ifstream ein(datei, std::ios::binary);
  std::string zeile;
  Abschnitt* aktuell = nullptr;
  while (ein && std::getline(ein, zeile)) {
    if (!zeile.empty() && zeile.back() == '\r') zeile.pop_back();
    const std::string text = Beschnitten(zeile);
    if (text.empty() || text[0] == ';' || text[0] == '#') continue;
    if (text[0] == '[') {
      if (text.back() != ']' || text.size() < 3) {
        aktuell = nullptr;  // a damaged heading: its pairs belong to no section
        continue;
      }
      abschnitte.push_back({text.substr(1, text.size() - 2), {}});
      aktuell = &abschnitte.back();
      continue;
    }
    const auto gleich = zeile.find('=');
    if (!aktuell || gleich == std::string::npos) continue;
    const std::string schluessel = Beschnitten(zeile.substr(0, gleich));
    if (schluessel.empty()) continue;
    aktuell->Werte.emplace_back(schluessel, zeile.substr(gleich + 1));
  }
  return abschnitte;
}

[[noreturn]] void Zugriffsfehler(const std::filesystem::path& datei, const std::string& grund) {
  throw Laufzeitfehler(fehlernummer::DateiZugriff, "Fehler beim Zugriff auf Pfad/Datei: " +
                                                       datei.string() + " (" + grund + ")");
}

void AtomarSchreiben(const std::filesystem::path& datei, const std::string& inhalt) {
  std::error_code ec;
  if (datei.has_parent_path()) {
    std::filesystem::create_directories(datei.parent_path(), ec);
    if (ec) Zugriffsfehler(datei, ec.message());
  }
  std::filesystem::path temp = datei;
  temp += ".tmp" + std::to_string(::getpid());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) Zugriffsfehler(datei, "nicht beschreibbar");
  std::size_t geschrieben = 0;
  bool gut = true;
  while (gut && geschrieben < inhalt.size()) {
    const ssize_t n = ::write(fd, inhalt.data() + geschrieben, inhalt.size() - geschrieben);
    if (n <= 0)
      gut = false;
    else
      geschrieben += static_cast<std::size_t>(n);
  }
  gut = gut && ::fsync(fd) == 0;
  gut = (::close(fd) == 0) && gut;
  if (gut) {
    std::filesystem::rename(temp, datei, ec);
    gut = !ec;
  }
  if (!gut) {
    std::filesystem::remove(temp, ec);
    Zugriffsfehler(datei, "Schreiben fehlgeschlagen");
  }
}

}  // namespace

Einstellungen::Einstellungen(std::filesystem::path datei) : datei_(std::move(datei)) {}

std::filesystem::path Einstellungen::StandardDatei() {
  const char* name = "einstellungen.ini";
  if (const char* eigener = std::getenv("TARVO_CONFIG_DIR"); eigener && *eigener)
    return std::filesystem::path(eigener) / name;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
    return std::filesystem::path(xdg) / "tarvo" / name;
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::filesystem::path(home) / ".config" / "tarvo" / name;
  return {};
}

std::optional<std::string> Einstellungen::Lesen(const std::string& anwendung,
                                                const std::string& abschnitt,
                                                const std::string& schluessel) const {
  const std::string name = AbschnittsName(anwendung, abschnitt);
  std::optional<std::string> wert;
  // A name that appears twice: the last value counts, as a reader from the top would leave it.
  for (const auto& eintrag : Einlesen(datei_)) {
    if (!Gleich(eintrag.Name, name)) continue;
    for (const auto& [s, w] : eintrag.Werte) {
      if (Gleich(s, schluessel)) wert = w;
    }
  }
  return wert;
}

void Einstellungen::Schreiben(const std::string& anwendung, const std::string& abschnitt,
                              const std::string& schluessel, const std::string& wert) {
  const std::string name = AbschnittsName(anwendung, abschnitt);
  if (HatZeilenende(name) || name.find(']') != std::string::npos || schluessel.empty() ||
      HatZeilenende(schluessel) || schluessel.find('=') != std::string::npos ||
      Beschnitten(schluessel) != schluessel || schluessel[0] == '[' || schluessel[0] == ';' ||
      schluessel[0] == '#' || HatZeilenende(wert))
    throw Laufzeitfehler(fehlernummer::UngueltigerAufruf);
  if (datei_.empty()) Zugriffsfehler(datei_, "kein Konfigurationsordner");

  auto abschnitte = Einlesen(datei_);
  // Duplicates of a section or key collapse into the first one, holding the new value.
  Abschnitt* ziel = nullptr;
  for (auto& eintrag : abschnitte) {
    if (!Gleich(eintrag.Name, name)) continue;
    if (!ziel) {
      ziel = &eintrag;
    } else {
      ziel->Werte.insert(ziel->Werte.end(), eintrag.Werte.begin(), eintrag.Werte.end());
      eintrag.Werte.clear();
      eintrag.Name.clear();
    }
  }
  std::erase_if(abschnitte, [](const Abschnitt& a) { return a.Name.empty(); });
  ziel = nullptr;
  for (auto& eintrag : abschnitte) {
    if (Gleich(eintrag.Name, name)) ziel = &eintrag;
  }
  if (!ziel) {
    abschnitte.push_back({name, {}});
    ziel = &abschnitte.back();
  }
  std::erase_if(ziel->Werte, [&](const auto& paar) { return Gleich(paar.first, schluessel); });
  ziel->Werte.emplace_back(schluessel, wert);

  std::ostringstream aus;
  for (const auto& eintrag : abschnitte) {
    aus << '[' << eintrag.Name << "]\n";
    for (const auto& [s, w] : eintrag.Werte) aus << s << '=' << w << '\n';
    aus << '\n';
  }
  AtomarSchreiben(datei_, aus.str());
}

}  // namespace tarvo::controls

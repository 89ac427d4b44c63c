#include "host/Wiederherstellung.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <sstream>

#include "errors/Laufzeitfehler.h"
#include "platform/controls/Einstellungen.h"
#include "platform/word/Document.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

constexpr const char* kBeschreibung = "stand.txt";
constexpr const char* kDokument = "stand.docx";
constexpr const char* kLebt = "lebt.sperre";
constexpr const char* kTrenner = "--\n";

[[noreturn]] void Schreibfehler(const fs::path& datei) {
  throw Laufzeitfehler(
      fehlernummer::DateiZugriff,
      "Die Wiederherstellungsdatei »" + datei.string() + "« kann nicht geschrieben werden.");
}

bool Sperren(int fd) {
  struct flock sperre {};
  sperre.l_type = F_WRLCK;
  sperre.l_whence = SEEK_SET;
  return ::fcntl(fd, F_OFD_SETLK, &sperre) == 0;
}

// Whether the entry's lock is free: its session is gone.
bool Verlassen(const fs::path& eintrag) {
  const int fd = ::open((eintrag / kLebt).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return true;
  const bool frei = Sperren(fd);
  ::close(fd);
  return frei;
}

void AtomarSchreiben(const fs::path& datei, const std::string& inhalt) {
  const fs::path temp = datei.string() + ".neu";
  {
    std::ofstream aus(temp, std::ios::binary | std::ios::trunc);
    aus << inhalt;
    aus.flush();
    if (!aus) Schreibfehler(datei);
  }
  std::error_code fehler;
  fs::rename(temp, datei, fehler);
  if (fehler) Schreibfehler(datei);
}

std::string Lesen(const fs::path& datei) {
  std::ifstream ein(datei, std::ios::binary);
  std::ostringstream inhalt;
  inhalt << ein.rdbuf();
  return inhalt.str();
}

std::string Text(const Satzwerte& werte, const std::string& name) {
  for (const auto& [feld, wert] : werte)
    if (feld == name && wert.Typ() == VarTyp::String) return wert.Text();
  return {};
}

}  // namespace

fs::path Wiederherstellung::StandardOrdner() {
  return controls::Einstellungen::StandardDatei().parent_path() / "wiederherstellung";
}

Wiederherstellung::Wiederherstellung(fs::path ordner) {
  std::error_code fehler;
  fs::create_directories(ordner, fehler);
  const auto jetzt = std::chrono::system_clock::now().time_since_epoch().count();
  for (int versuch = 0; versuch < 100 && fd_ < 0; ++versuch) {
    eintrag_ = ordner / (std::to_string(::getpid()) + "-" + std::to_string(jetzt) + "-" +
                         std::to_string(versuch));
    if (!fs::create_directory(eintrag_, fehler)) continue;
    fd_ = ::open((eintrag_ / kLebt).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0 && !Sperren(fd_)) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  if (fd_ < 0) Schreibfehler(ordner);
}

Wiederherstellung::~Wiederherstellung() {
  std::error_code fehler;
  // With work still pending (a window closed by a path that did not ask) the entry stays to be
  // offered at the next start; otherwise it goes.
  if (Leer()) fs::remove_all(eintrag_, fehler);
  ::close(fd_);
}

fs::path Wiederherstellung::Vorher(std::size_t schritt) const {
  return eintrag_ / ("vorher-" + std::to_string(schritt) + ".docx");
}

void Wiederherstellung::Schreiben(word::Document& dokument, const Wiederherstellungsstand& stand) {
  dokument.Save(eintrag_ / kDokument);
  Satzwerte kopf = {{"dokument", Variant(fs::absolute(stand.dokument).string())},
                    {"datenbank", Variant(fs::absolute(stand.datenbank).string())},
                    {"benutzer", Variant(stand.benutzer)},
                    {"rechnung", stand.rechnung ? Variant(*stand.rechnung) : Variant::Null()},
                    {"zeit", Variant(stand.zeit)}};
  AtomarSchreiben(eintrag_ / kBeschreibung, SatzwerteAlsText(kopf) + kTrenner +
                                                SatzwerteAlsText(stand.grundstand) + kTrenner +
                                                SatzwerteAlsText(stand.ausstehend));
}

void Wiederherstellung::Leeren() {
  std::error_code fehler;
  fs::remove(eintrag_ / kBeschreibung, fehler);
  for (const auto& datei : fs::directory_iterator(eintrag_, fehler))
    if (datei.path().extension() == ".docx") fs::remove(datei.path(), fehler);
}

bool Wiederherstellung::Leer() const {
  std::error_code fehler;
  return !fs::exists(eintrag_ / kBeschreibung, fehler);
}

std::vector<Wiederherstellungsstand> Wiederherstellung::Verwaist(const fs::path& ordner) {
  std::vector<Wiederherstellungsstand> liste;
  std::error_code fehler;
  for (const auto& eintrag : fs::directory_iterator(ordner, fehler)) {
    if (!eintrag.is_directory() || !Verlassen(eintrag.path())) continue;
    const fs::path beschreibung = eintrag.path() / kBeschreibung;
    if (!fs::exists(beschreibung) || !fs::exists(eintrag.path() / kDokument)) {
      fs::remove_all(eintrag.path(), fehler);
      continue;
    }
    const std::string text = Lesen(beschreibung);
    std::vector<std::string> teile;
    for (std::size_t von = 0;;) {
      const auto bis = text.find(kTrenner, von);
      teile.push_back(text.substr(von, bis == std::string::npos ? bis : bis - von));
      if (bis == std::string::npos) break;
      von = bis + std::string(kTrenner).size();
    }
    if (teile.size() != 3) continue;
    Wiederherstellungsstand stand;
    try {
      const Satzwerte kopf = SatzwerteAusText(teile[0]);
      stand.dokument = Text(kopf, "dokument");
      stand.datenbank = Text(kopf, "datenbank");
      stand.zeit = Text(kopf, "zeit");
      for (const auto& [feld, wert] : kopf) {
        if (feld == "benutzer") stand.benutzer = CLng(wert);
        if (feld == "rechnung" && !wert.IstNull()) stand.rechnung = CLng(wert);
      }
      stand.grundstand = SatzwerteAusText(teile[1]);
      stand.ausstehend = SatzwerteAusText(teile[2]);
    } catch (const Laufzeitfehler&) {
      continue;  // a damaged description: not offered, left for a person to look at
    }
    stand.stand = eintrag.path() / kDokument;
    stand.eintrag = eintrag.path();
    liste.push_back(std::move(stand));
  }
  std::sort(liste.begin(), liste.end(),
            [](const auto& a, const auto& b) { return a.zeit < b.zeit; });
  return liste;
}

void Wiederherstellung::Entfernen(const Wiederherstellungsstand& stand) {
  std::error_code fehler;
  if (!stand.eintrag.empty() && Verlassen(stand.eintrag)) fs::remove_all(stand.eintrag, fehler);
}

}  // namespace tarvo

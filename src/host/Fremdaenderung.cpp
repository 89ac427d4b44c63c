#include "host/Fremdaenderung.h"

#include <sys/stat.h>

#include <string>

#include "errors/Laufzeitfehler.h"
#include "platform/dao/ServerAddress.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void Geaendert(const std::string& was) {
  throw Laufzeitfehler(fehlernummer::UngueltigerAufruf, was);
}

bool Gleich(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

Fremdaenderung::Fremdaenderung(fs::path dokument, fs::path datenbank)
    : dokument_(std::move(dokument)), datenbank_(std::move(datenbank)) {
  dokumentStand_ = Lesen(dokument_);
  if (!dao::IsServerAddress(datenbank_.string())) datenbankStand_ = Lesen(datenbank_);
}

std::optional<Fremdaenderung::Stand> Fremdaenderung::Lesen(const fs::path& datei) {
  struct stat info {};
  if (::stat(datei.c_str(), &info) != 0) return std::nullopt;
  return Stand{info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

void Fremdaenderung::Erneuern() {
  dokumentStand_ = Lesen(dokument_);
}

void Fremdaenderung::Pruefen(const fs::path& ziel) const {
  for (const fs::path& datei : {dokument_, ziel}) {
    if (const fs::path sperre = Textverarbeitungssperre(datei); !sperre.empty())
      Geaendert("das Dokument »" + datei.string() +
                "« ist in einer Textverarbeitung geöffnet (Sperrdatei »" +
                sperre.filename().string() +
                "«); bitte dort schließen und den Auftrag wiederholen, sonst gingen die "
                "Änderungen des einen oder des anderen verloren.");
  }
  if (dokumentStand_) {
    const auto jetzt = Lesen(dokument_);
    if (!jetzt || jetzt->geraet != dokumentStand_->geraet ||
        jetzt->knoten != dokumentStand_->knoten || jetzt->groesse != dokumentStand_->groesse ||
        !Gleich(jetzt->geaendert, dokumentStand_->geaendert))
      Geaendert("das Dokument »" + dokument_.string() +
                "« wurde während des Auftrags von einem anderen Programm gespeichert oder "
                "ersetzt; es wird nicht überschrieben. Bitte den Auftrag wiederholen.");
  }
  if (datenbankStand_) {
    const auto jetzt = Lesen(datenbank_);
    if (!jetzt || jetzt->geraet != datenbankStand_->geraet ||
        jetzt->knoten != datenbankStand_->knoten)
      Geaendert("die Datenbankdatei »" + datenbank_.string() +
                "« wurde während des Auftrags ersetzt oder entfernt; die Rechnung würde in die "
                "alte Datei geschrieben. Bitte den Auftrag wiederholen.");
  }
}

fs::path Textverarbeitungssperre(const fs::path& datei) {
  const fs::path ordner = datei.has_parent_path() ? datei.parent_path() : fs::path(".");
  const std::string name = datei.filename().string();
  std::error_code fehler;
  const fs::path libre = ordner / (".~lock." + name + "#");
  if (fs::exists(libre, fehler)) return libre;
  for (const std::string& kandidat :
       {"~$" + name, name.size() > 2 ? "~$" + name.substr(2) : std::string()}) {
    if (kandidat.empty()) continue;
    const fs::path word = ordner / kandidat;
    if (fs::exists(word, fehler)) return word;
  }
  return {};
}

}  // namespace tarvo

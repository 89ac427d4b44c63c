// Einstellungen: the per-user settings store of the headless seam, an INI file with one section
// per application and section ("[LumoVerwaltung\G_frmTabelle]") and "key=value" lines. Names are
// compared without regard to ASCII case. The file is read afresh on every access, so several
// processes see each other's writes; a missing file is empty, and lines that are neither a
// section, a "key=value" pair, a comment nor blank are ignored (a damaged file never stops a
// read). Writes are atomic (a temporary file beside it, then renamed over it); a write that fails
// throws 75 and leaves the old file as it was. Names holding line breaks, "=" (keys) or "]"
// (sections) throw 5.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tarvo::controls {

class Einstellungen {
 public:
  explicit Einstellungen(std::filesystem::path datei);

  // $TARVO_CONFIG_DIR/einstellungen.ini when set, else $XDG_CONFIG_HOME/tarvo/einstellungen.ini,
  // else ~/.config/tarvo/einstellungen.ini (empty when there is no home either).
  static std::filesystem::path StandardDatei();

  const std::filesystem::path& Datei() const { return datei_; }

  // The stored value, or nullopt.
  std::optional<std::string> Lesen(const std::string& anwendung, const std::string& abschnitt,
                                   const std::string& schluessel) const;
  // Stores the value (creating the folder and the file as needed).
  void Schreiben(const std::string& anwendung, const std::string& abschnitt,
                 const std::string& schluessel, const std::string& wert);

 private:
  std::filesystem::path datei_;
};

}  // namespace tarvo::controls

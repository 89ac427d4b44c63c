// Wiederherstellung: the recovery copy of a job in progress on the desktop. After every "OK"
// the window's session writes the pending document and what restoring it needs (document path,
// database, user, invoice, the record as read at opening and as the totals wrote it) into an
// entry folder of its own beside the settings file ("wiederherstellung/"). The session holds an
// open-file lock in its entry while it lives; an entry whose lock is free and that still holds
// a pending document was left by a session that ended without saving or discarding (a crash,
// a kill): the next start offers it. A clean save, a discard or taking every "OK" back empties
// the entry; a session that ends with nothing pending removes it. Writing throws Laufzeitfehler
// 75 naming the file; reading a damaged entry skips it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/Satzwerte.h"

namespace tarvo {
namespace word {
class Document;
}

struct Wiederherstellungsstand {
  std::filesystem::path dokument;   // the invoice document the work belongs to
  std::filesystem::path datenbank;  // the job database
  std::int32_t benutzer = 0;
  std::optional<std::int32_t> rechnung;
  Satzwerte grundstand;  // the invoice record as read when the invoice was opened
  Satzwerte ausstehend;  // the record as the totals wrote it; empty: nothing to store
  std::string zeit;      // when the last "OK" was taken ("2026-12-07 01:23:45")
  // Filled when read: the pending document and the entry folder.
  std::filesystem::path stand;
  std::filesystem::path eintrag;
};

class Wiederherstellung {
 public:
  // "wiederherstellung" beside the settings file ($TARVO_CONFIG_DIR, else
  // $XDG_CONFIG_HOME/tarvo, else ~/.config/tarvo).
  static std::filesystem::path StandardOrdner();

  // Makes this session's entry in `ordner` (created as needed) and locks it. Throws 75.
  explicit Wiederherstellung(std::filesystem::path ordner);
  ~Wiederherstellung();
  Wiederherstellung(const Wiederherstellung&) = delete;
  Wiederherstellung& operator=(const Wiederherstellung&) = delete;

  const std::filesystem::path& Eintrag() const { return eintrag_; }
  // Where the document as it was before "OK" number `schritt` (from 1) is kept for Rückgängig.
  std::filesystem::path Vorher(std::size_t schritt) const;

  // Writes `dokument` as the pending document and `stand` beside it, each atomically; the
  // description last, so an entry that has one always has its document.
  void Schreiben(word::Document& dokument, const Wiederherstellungsstand& stand);
  // Nothing pending any more: the description and the documents go, the entry stays locked.
  void Leeren();
  bool Leer() const;

  // The entries in `ordner` left with pending work by sessions that are gone, oldest first.
  // Gone entries without pending work are removed on the way.
  static std::vector<Wiederherstellungsstand> Verwaist(const std::filesystem::path& ordner);
  // Removes an entry that is not locked (restored or declined).
  static void Entfernen(const Wiederherstellungsstand& stand);

 private:
  std::filesystem::path eintrag_;
  int fd_ = -1;
};

}  // namespace tarvo

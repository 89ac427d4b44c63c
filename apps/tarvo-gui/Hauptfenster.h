// Hauptfenster: the host window of tarvo-gui. An MDI area for the category forms, the dock
// "Auftrag" (invoice document, job database, user, invoice record, GO's job properties, one
// button per category form), the dock "Vorschau" (the invoice's pages), a status bar and the
// menus (Datei, Datenbank, Kategorie, Protokoll, Hilfe). The window is the desktop seam's host:
// forms opened from it become its MDI children. After a form's "OK" the document counts as
// changed (title marker), the status bar says what was written and how many errors were logged,
// and the preview follows. Closing with unsaved changes asks first. Errors of the host's own
// steps (a file that cannot be opened or saved) are shown in a German message, never thrown.
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <map>
#include <memory>

#include "Auftragsfuehrung.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMenu;

namespace tarvo::qt {
class QtBildschirm;
}

namespace tarvo::gui {

class Vorschau;

class Hauptfenster : public QMainWindow {
  Q_OBJECT
 public:
  // The handle GO::Show receives for this window's MDI area.
  static constexpr std::int32_t Fensternummer = 1;

  explicit Hauptfenster(std::shared_ptr<qt::QtBildschirm> bildschirm, QWidget* parent = nullptr);
  ~Hauptfenster() override;

  // Opens document and database (first user, first invoice); false when it failed (shown).
  bool Oeffnen(const std::filesystem::path& dokument, const std::filesystem::path& datenbank);
  // Opens category form `kategorie`; nullptr when it failed (shown).
  controls::Form* KategorieOeffnen(std::int16_t kategorie);
  // Saves to the document's own path; false when it failed (shown).
  bool Speichern();

  Auftragsfuehrung& Auftrag() { return auftrag_; }
  QMdiArea* Bereich() const { return bereich_; }
  Vorschau* VorschauDock() const { return vorschau_; }
  bool Geaendert() const { return isWindowModified(); }
  // The job property field of `name` in the panel.
  QLineEdit* Eigenschaft(const std::string& name) const;

 protected:
  void closeEvent(QCloseEvent* ereignis) override;

 private:
  void MenusAnlegen();
  QWidget* PanelAnlegen();
  void PanelFuellen();
  void Zuletzt(const std::filesystem::path& datei);
  void ZuletztMenue();
  bool Weiter();  // asks about unsaved changes: true when the caller may go on
  void Abgeschlossen(controls::Form& form);
  void Fehler(const std::string& was, const std::string& meldung);
  void ProtokollZeigen();
  void DokumentWaehlen();
  void DatenbankWaehlen(bool neu);
  void AuftragWechseln();

  std::shared_ptr<qt::QtBildschirm> bildschirm_;
  Auftragsfuehrung auftrag_;
  QMdiArea* bereich_;
  Vorschau* vorschau_;
  QLabel* dokumentLabel_ = nullptr;
  QLabel* datenbankLabel_ = nullptr;
  QLabel* standLabel_ = nullptr;
  QComboBox* benutzer_ = nullptr;
  QComboBox* rechnung_ = nullptr;
  std::map<std::string, QLineEdit*> eigenschaften_;
  QMenu* zuletzt_ = nullptr;
  // Forms opened from here whose "OK" was pressed, until they are unloaded.
  std::map<const controls::Form*, bool> offen_;
  std::int64_t fehlerVorher_ = 0;
  bool fuellen_ = false;
};

// The category forms that exist (index, caption), in index order.
std::vector<std::pair<std::int16_t, std::string>> Kategorien();

}  // namespace tarvo::gui

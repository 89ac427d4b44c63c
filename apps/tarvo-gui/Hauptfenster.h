// Hauptfenster: the host window of tarvo-gui. An MDI area for the category forms, the dock
// "Auftrag" (invoice document, job database, user, invoice record, GO's job properties, one
// button per category form), the dock "Vorschau" (the invoice's pages), a status bar and the
// menus (Datei, Bearbeiten, Datenbank, Kategorie, Fenster, Protokoll, Hilfe). The window is the
// desktop seam's host: forms opened from it become its MDI children.
//
// No work is lost without a question: after every "OK" the document counts as changed ("*" in
// the title) until it is saved; closing, opening another document or invoice and quitting ask
// "Speichern / Verwerfen / Abbrechen"; a form still open asks before it is closed; Ctrl+Z takes
// the last "OK" back; work a crash left behind is offered at the next start. Opening asks for
// the invoice record first (remembered per document) and never waits for a lock: a refusal
// names who holds it and offers to open read-only. The window's geometry, dock layout and the
// grid column widths a user dragged are kept in the settings file ([tarvo-gui\…] sections).
// Errors of the host's own steps are shown in a German message, never thrown.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "Auftragsfuehrung.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMenu;
class QTableView;

namespace tarvo::qt {
class QtBildschirm;
}
namespace tarvo::controls {
class CommandButton;
class Control;
}  // namespace tarvo::controls

namespace tarvo::gui {

class Vorschau;

class Hauptfenster : public QMainWindow {
  Q_OBJECT
 public:
  // The handle GO::Show receives for this window's MDI area.
  static constexpr std::int32_t Fensternummer = 1;

  explicit Hauptfenster(std::shared_ptr<qt::QtBildschirm> bildschirm, QWidget* parent = nullptr);
  ~Hauptfenster() override;

  // Opens document and database with invoice `rechnung`; without one, the chooser asks (the
  // record remembered for the document marked). False when it was cancelled or failed (shown).
  bool Oeffnen(const std::filesystem::path& dokument, const std::filesystem::path& datenbank,
               std::optional<std::int32_t> rechnung = std::nullopt);
  // Opens category form `kategorie`; nullptr when it failed (shown).
  controls::Form* KategorieOeffnen(std::int16_t kategorie);
  // Saves document and pending record to the document's own path; false when it failed or the
  // user kept the other workstation's record (shown).
  bool Speichern();
  // Takes the last "OK" back; false when there was none or a form is open (shown).
  bool Rueckgaengig();
  // Offers the work crashed sessions left behind, one question each.
  void WiederherstellungAnbieten();

  Auftragsfuehrung& Auftrag() { return auftrag_; }
  QMdiArea* Bereich() const { return bereich_; }
  Vorschau* VorschauDock() const { return vorschau_; }
  bool Geaendert() const { return auftrag_.Geaendert(); }
  // The job property field of `name` in the panel.
  QLineEdit* Eigenschaft(const std::string& name) const;

 protected:
  void closeEvent(QCloseEvent* ereignis) override;
  void changeEvent(QEvent* ereignis) override;
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  void MenusAnlegen();
  QWidget* PanelAnlegen();
  void PanelFuellen();
  void TitelSetzen();
  void Zuletzt(const std::filesystem::path& datei);
  void ZuletztMenue();
  bool Weiter();               // asks about unsaved changes: true when the caller may go on
  bool FormulareSchliessen();  // asks for each form with input; true when all are closed
  bool EigenschaftenSetzen();  // lets the panel's fields into GO; false when one was refused
  bool EigenschaftSetzen(const std::string& name);
  void Abgeschlossen(controls::Form& form);
  void OkVerarbeitet();
  void Fehler(const std::string& was, const std::string& meldung);
  void ProtokollZeigen();
  void DokumentWaehlen();
  void RechnungWechseln();
  void DatenbankWaehlen(bool neu);
  // The job database on a PostgreSQL server, its address asked for in a dialog.
  void ServerWaehlen();
  // "E-Rechnung erzeugen …": saves first when there are changes, then shows the dialog.
  void ERechnungZeigen();
  // Opens the chosen database (a file or a server address) with the open document, or asks
  // for the document first.
  void DatenbankGewaehlt(const std::string& datenbank);
  void AuftragWechseln();
  void ArbeitsplatzLaden();
  void ArbeitsplatzSichern();
  void SpaltenLaden(controls::Form& form);
  void SpaltenSichern(const controls::Form& form);

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
  // Forms opened from here: their "OK" button and the listener marking its click, until they
  // are unloaded; and the grids whose column widths are kept.
  struct OffenesFormular {
    controls::CommandButton* ok = nullptr;
    std::size_t hoerer = 0;
    bool okGedrueckt = false;
    std::set<std::string> gezogen;  // the grids whose column widths the user dragged
    // Whether anything in the form changed since it opened (then closing it asks), and the
    // listeners that notice it.
    bool bearbeitet = false;
    std::vector<std::pair<controls::Control*, std::size_t>> beobachtet;
  };
  std::map<const controls::Form*, OffenesFormular> offen_;
  void Loesen(OffenesFormular& offen);  // takes the listeners off the form
  std::string okFormular_;              // the caption of the form whose "OK" is being dealt with
  std::int64_t fehlerVorher_ = 0;
  bool fuellen_ = false;
  bool schliessen_ = false;  // the window closes: the forms were asked about already
};

// The category forms that exist (index, caption), in index order.
std::vector<std::pair<std::int16_t, std::string>> Kategorien();

}  // namespace tarvo::gui

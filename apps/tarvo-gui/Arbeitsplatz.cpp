// The host window's workspace kept across restarts (geometry, dock layout, the grid column
// widths a user dragged) and the offer of work a crashed window left behind.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>
#include <cmath>

#include "Fensterhilfen.h"
#include "Hauptfenster.h"
#include "Vorschau.h"
#include "errors/Falle.h"
#include "errors/Laufzeitfehler.h"
#include "host/Wiederherstellung.h"
#include "platform/controls/Form.h"
#include "platform/controls/Grid.h"
#include "platform/qt/Formularansicht.h"
#include "platform/qt/Masse.h"
#include "platform/qt/QtBildschirm.h"

namespace tarvo::gui {

void Hauptfenster::WiederherstellungAnbieten() {
  for (const Wiederherstellungsstand& stand :
       Wiederherstellung::Verwaist(auftrag_.Wiederherstellungsordner())) {
    const std::string was =
        "»" + stand.dokument.filename().string() + "«" +
        (stand.rechnung ? " (Rechnung " + std::to_string(*stand.rechnung) + ")" : "");
    const int wahl = Fragen(
        this, "Wiederherstellung",
        Q("tarvo wurde beendet, ohne die Änderungen an " + was + " vom " + stand.zeit +
          " zu speichern.\n\nSollen sie wiederhergestellt werden? Gespeichert werden sie erst "
          "mit »Speichern«."),
        {"&Wiederherstellen", "&Verwerfen", "&Später"}, 0, 2);
    if (wahl == 1) Wiederherstellung::Entfernen(stand);
    if (wahl != 0) continue;
    if (!Oeffnen(stand.dokument, stand.datenbank, stand.rechnung)) continue;
    try {
      auftrag_.Wiederherstellen(stand);
    } catch (const Laufzeitfehler& fehler) {
      Fehler("Die Änderungen ließen sich nicht wiederherstellen.", fehler.Beschreibung());
      continue;
    }
    TitelSetzen();
    standLabel_->setText(Q(auftrag_.Rechnungsstand()));
    statusBar()->showMessage(Q("Wiederhergestellt: " + was + " (noch nicht gespeichert)."));
    vorschau_->Zeigen(auftrag_.Dokument());
    return;  // one job at a time; the others are offered at the next start
  }
}

void Hauptfenster::ArbeitsplatzLaden() {
  const QByteArray geometrie =
      QByteArray::fromBase64(QByteArray::fromStdString(Einstellung("Fenster", "Geometrie")));
  const QByteArray zustand =
      QByteArray::fromBase64(QByteArray::fromStdString(Einstellung("Fenster", "Zustand")));
  if (!geometrie.isEmpty()) restoreGeometry(geometrie);
  if (!zustand.isEmpty()) restoreState(zustand);
}

void Hauptfenster::ArbeitsplatzSichern() {
  EinstellungSichern("Fenster", "Geometrie", saveGeometry().toBase64().toStdString());
  EinstellungSichern("Fenster", "Zustand", saveState().toBase64().toStdString());
  for (const auto& [form, offen] : offen_) SpaltenSichern(*form);
}

// The grids of a form get the column widths the user dragged last time. The view shows the
// widths its grid model holds, so a width restored or dragged goes into the model (where the
// floating combo boxes also read it); only a drag (a mouse button down) is remembered, the
// form's own widths are the designed ones.
void Hauptfenster::SpaltenLaden(controls::Form& form) {
  QWidget* ansicht = bildschirm_->Ansicht(form);
  if (!ansicht) return;
  for (QTableView* raster : ansicht->findChildren<QTableView*>()) {
    const std::string name = raster->objectName().toStdString();
    auto* grid = dynamic_cast<controls::Grid*>(form.Steuerelement(name));
    if (!grid) continue;
    const QStringList breiten =
        Q(Einstellung("Spalten", form.Name() + "." + name)).split(',', Qt::SkipEmptyParts);
    Falle falle("Hauptfenster", "SpaltenLaden");
    for (int i = 0; i < breiten.size() && i < grid->Cols(); ++i)
      if (breiten[i].toFloat() > 0) falle([&] { grid->SetColWidth(i + 1, breiten[i].toFloat()); });
    QHeaderView* kopf = raster->horizontalHeader();
    kopf->setSectionResizeMode(QHeaderView::Interactive);
    connect(kopf, &QHeaderView::sectionResized, this,
            [this, f = &form, grid, raster, name](int spalte, int, int neu) {
              if (QApplication::mouseButtons() == Qt::NoButton) return;
              const auto it = offen_.find(f);
              if (it == offen_.end() || !f->Loaded()) return;
              Falle falle("Hauptfenster", "SpaltenZiehen");
              falle([&] { grid->SetColWidth(spalte + 1, qt::Twips(neu, raster)); });
              it->second.gezogen.insert(name);
            });
  }
}

void Hauptfenster::SpaltenSichern(const controls::Form& form) {
  const auto it = offen_.find(&form);
  if (it == offen_.end()) return;
  for (const std::string& name : it->second.gezogen) {
    const auto* grid = dynamic_cast<const controls::Grid*>(form.Steuerelement(name));
    if (!grid) continue;
    std::string text;
    for (std::int32_t spalte = 1; spalte <= grid->Cols(); ++spalte)
      text += (text.empty() ? "" : ",") +
              std::to_string(static_cast<long>(std::lround(grid->ColWidth(spalte))));
    EinstellungSichern("Spalten", form.Name() + "." + name, text);
  }
}

}  // namespace tarvo::gui

// The host window's workspace kept across restarts (geometry, dock layout, the grid column
// widths a user dragged) and the offer of work a crashed window left behind.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>

#include "Fensterhilfen.h"
#include "Hauptfenster.h"
#include "Vorschau.h"
#include "errors/Laufzeitfehler.h"
#include "host/Wiederherstellung.h"
#include "platform/controls/Form.h"
#include "platform/qt/Formularansicht.h"
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

// The grids of a form get the column widths the user dragged last time; dragging them again
// is noted (only while a mouse button is down: the form's own widths are the designed ones).
void Hauptfenster::SpaltenLaden(controls::Form& form) {
  QWidget* ansicht = bildschirm_->Ansicht(form);
  if (!ansicht) return;
  OffenesFormular& offen = offen_[&form];
  for (QTableView* raster : ansicht->findChildren<QTableView*>()) {
    offen.raster.emplace_back(raster);
    const QString gemerkt =
        Q(Einstellung("Spalten", form.Name() + "." + raster->objectName().toStdString()));
    QHeaderView* kopf = raster->horizontalHeader();
    const QStringList breiten = gemerkt.split(',', Qt::SkipEmptyParts);
    for (int i = 0; i < breiten.size() && i < kopf->count(); ++i)
      if (breiten[i].toInt() > 0) kopf->resizeSection(i, breiten[i].toInt());
    connect(kopf, &QHeaderView::sectionResized, this, [this, f = &form, raster] {
      if (QApplication::mouseButtons() == Qt::NoButton) return;
      const auto it = offen_.find(f);
      if (it == offen_.end()) return;
      std::vector<int> breiten;
      for (int i = 0; i < raster->horizontalHeader()->count(); ++i)
        breiten.push_back(raster->horizontalHeader()->sectionSize(i));
      it->second.breiten[raster] = breiten;
    });
  }
}

void Hauptfenster::SpaltenSichern(const controls::Form& form) {
  const auto it = offen_.find(&form);
  if (it == offen_.end()) return;
  for (const QPointer<QTableView>& raster : it->second.raster) {
    if (!raster) continue;
    const auto breiten = it->second.breiten.find(raster.data());
    if (breiten == it->second.breiten.end()) continue;
    std::string text;
    for (int breite : breiten->second) text += (text.empty() ? "" : ",") + std::to_string(breite);
    EinstellungSichern("Spalten", form.Name() + "." + raster->objectName().toStdString(), text);
  }
}

}  // namespace tarvo::gui

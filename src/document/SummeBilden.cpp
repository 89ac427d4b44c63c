#include <memory>
#include <string>

#include "common/Datensatz.h"
#include "common/Funktionen.h"
#include "common/Variant.h"
#include "document/Dokumenthilfen.h"
#include "document/G_modSumme.h"
#include "document/Rechnungssummen.h"
#include "document/Summentabelle.h"
#include "errors/Falle.h"
#include "errors/Pruefen.h"
#include "fees/modStatus.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"

namespace tarvo {

namespace {

constexpr std::int32_t kSchlussrechnung = 4;
constexpr std::int32_t kAbschlagsrechnung = 5;
constexpr std::int32_t kGutschrift = 7;

dao::Database& Abfrage() {
  if (!Status().NeueAbfrage) throw Laufzeitfehler(fehlernummer::ObjektNichtFestgelegt);
  return *Status().NeueAbfrage;
}

// Step 1: every amount of column 5 of every table but the totals table, with its VAT rate.
// Failures are skipped: a short table or a cell that cannot be read contributes nothing.
void TabellenLesen(Rechnungssummen& summen, Falle& falle) {
  std::int32_t anzahl = 0;
  falle.Still([&] { anzahl = Dokument().Tables().Count(); });
  for (std::int32_t i = 1; i <= anzahl; ++i) {
    word::Table tabelle;
    if (!falle.Still([&] { tabelle = Dokument().Tables().Item(i); })) continue;
    bool summentabelle = false;
    falle.Still([&] { summentabelle = IstSummentabelle(tabelle); });
    if (summentabelle) continue;
    std::int32_t zeilen = 0;
    falle.Still([&] { zeilen = tabelle.Rows().Count(); });
    for (std::int32_t r = 1; r <= zeilen; ++r) {
      std::string text;
      if (!falle.Still([&] { text = ZellText(tabelle, r, 5); }) || text.empty()) continue;
      const double betrag = CVal(Tausche(text, "\r", ""));
      double satz = Status().Mehrwertsteuersatz;
      falle.Still([&] {
        auto kommentare = tabelle.Cell(r, 5).Range().Comments();
        if (kommentare.Count() > 0) satz = CVal(KommentarText(kommentare.Item(1)));
      });
      summen.BetragHinzufuegen(betrag, satz);
    }
  }
}

double Feld(dao::Recordset& satz, const char* name) {
  return CDbl(satz.Fields(name).Value());
}

// Step 6: the deduction of the job's earlier partial invoices for a final invoice. Returns the
// number of earlier invoices written (0 when there is none: nothing is changed then).
std::int32_t FruehereRechnungenAbziehen(const word::Table& tabelle, Rechnungssummen& summen,
                                        Falle& falle) {
  auto& rechnung = *Status().Rechnung;
  double rn = summen.X, rv = summen.V, rg = summen.X + summen.V;

  std::shared_ptr<dao::Recordset> frueher;
  falle([&] {
    frueher = Abfrage().OpenRecordset(
        "SELECT * FROM Rechnung WHERE ID_Auftragsnummer = ? AND Rechnungsart = ?",
        dao::dbOpenDynaset,
        {Schluessel(rechnung.Fields("ID_Auftragsnummer").Value()),
         Variant(std::int32_t{kAbschlagsrechnung})});
  });
  if (!frueher || (frueher->BOF() && frueher->EOF())) return 0;
  falle([&] { frueher->MoveFirst(); });

  // This invoice's own line: its net, its VAT and its gross at the rates it actually carries,
  // so that it agrees with the subtotal above and the remainder below.
  Abzugszeilen zeilen(tabelle, summen.Zeilenzahl(), falle);
  zeilen.Kopf(summen.X, summen.V, summen.X + summen.V);

  while (!frueher->EOF()) {
    std::string bezeichnung;
    falle(
        [&] { bezeichnung = "Rechnung Nr. " + CStr(frueher->Fields("Rechnungsnummer").Value()); });
    falle([&] {
      auto termin = Abfrage().OpenRecordset(
          "SELECT * FROM Termine WHERE ID_Rechnungsnummer = ? AND ID_Terminart = 8",
          dao::dbOpenDynaset, {Schluessel(frueher->Fields("ID_Rechnungsnummer").Value())});
      bezeichnung += " vom " + CStr(termin->Fields("Datum").Value());
    });
    double netto = 0, steuer = 0, brutto = 0;
    falle([&] {
      netto =
          (Feld(*frueher, "NettoRechnung") + Feld(*frueher, "MehrwertsteuerFreierbetrag")) / 100;
    });
    falle([&] {
      steuer = (Feld(*frueher, "Brutto") - Feld(*frueher, "NettoRechnung") -
                Feld(*frueher, "MehrwertsteuerFreierbetrag")) /
               100;
    });
    falle([&] { brutto = Feld(*frueher, "Brutto") / 100; });
    zeilen.Rechnung(bezeichnung, netto, steuer, brutto);
    rn -= netto;
    rv -= steuer;
    rg -= brutto;
    if (!falle([&] { frueher->MoveNext(); })) break;
  }
  zeilen.Rest(rn, rv, rg);
  summen.N = rn;
  summen.V = rv;
  summen.X = rg - rv;
  return zeilen.AnzahlRechnungen();
}

// Step 8: the totals into the invoice record, negated for a credit note.
void RechnungSpeichern(const Rechnungssummen& summen, Falle& falle) {
  auto& rechnung = *Status().Rechnung;
  falle([&] { rechnung.Edit(); });
  double s = 1;
  falle([&] {
    if (CLng(rechnung.Fields("Rechnungsart").Value()) == kGutschrift) s = -1;
  });
  falle([&] { rechnung.Fields("NettoRechnung") = Variant(s * summen.N * 100); });
  falle([&] { rechnung.Fields("Brutto") = Variant(s * (summen.X + summen.V) * 100); });
  falle([&] {
    rechnung.Fields("MehrwertsteuerFreierbetrag") = Variant(s * (summen.X - summen.N) * 100);
  });
  falle([&] {
    rechnung.Fields("Mehrwertsteuersatz") =
        Variant(IntegerMal(Status().Mehrwertsteuersatz, std::int16_t{10}));
  });
  falle([&] { rechnung.Update(); });
}

}  // namespace

void SummeBilden(bool Zahlungsziel) {
  Falle falle("GebührenTabelle", "SummeBilden");
  const auto& status = Status();

  Rechnungssummen summen;
  TabellenLesen(summen, falle);
  SummentabellenEntfernen(falle);

  summen.Berechnen(status.AbschlagAbsolut, status.AbschlagProzent, falle);
  const word::Table tabelle = SummentabelleSchreiben(summen, falle);

  BetragsfelderErsetzen("lumoGesamt", summen.X + summen.V, falle);
  if (!(status.AbschlagAbsolut <= 0 && status.AbschlagProzent == 100)) {
    AbschlagszeileSchreiben(tabelle, summen, status.AbschlagProzent, falle);
  }
  // One pass for the three fields of the net, the VAT and the gross.
  std::int32_t anzahl = 0;
  falle([&] { anzahl = Dokument().Comments().Count(); });
  for (std::int32_t i = 1; i <= anzahl; ++i) {
    word::Comment kommentar;
    std::string text;
    falle([&] {
      kommentar = Dokument().Comments().Item(i);
      text = KommentarText(kommentar);
    });
    if (text == "lumoNetto") BetragsfeldErsetzen(kommentar, summen.X, falle);
    if (text == "lumoMwSt") BetragsfeldErsetzen(kommentar, summen.V, falle);
    if (text == "lumoBrutto") BetragsfeldErsetzen(kommentar, summen.X + summen.V, falle);
  }
  BetragsfelderErsetzen("lumoAuslagen", summen.X - summen.N, falle);

  std::int32_t abzuege = 0;
  bool schlussrechnung = false;
  if (status.Rechnung) {
    falle([&] {
      schlussrechnung = CLng(status.Rechnung->Fields("Rechnungsart").Value()) == kSchlussrechnung;
    });
  }
  if (schlussrechnung) abzuege = FruehereRechnungenAbziehen(tabelle, summen, falle);

  SummentabelleFormatieren(tabelle, summen.Zeilenzahl(), abzuege, falle);
  if (status.Rechnung) RechnungSpeichern(summen, falle);

  falle([&] { ZahlungsZiel(Dokument(), Zahlungsziel); });
  falle([&] {
    auto anfang = Dokument().Content();
    anfang.Collapse(word::wdCollapseStart);
    anfang.Select();
  });
}

}  // namespace tarvo

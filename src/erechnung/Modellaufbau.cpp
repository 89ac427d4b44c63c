#include "erechnung/Modellaufbau.h"

#include <cmath>

#include "common/Datensatz.h"
#include "common/Funktionen.h"
#include "common/Variant.h"
#include "document/Dokumenthilfen.h"
#include "document/Rechnungssummen.h"
#include "errors/Falle.h"
#include "platform/dao/Recordset.h"

namespace tarvo::erechnung {

namespace {

constexpr std::int32_t kSchlussrechnung = 4;
constexpr std::int32_t kAbschlagsrechnung = 5;
constexpr std::int32_t kGutschrift = 7;

// An amount as the printed invoice shows it, in cents: the value formatted as the totals table
// formats it and read back.
Cent Gedruckt(double betrag) {
  return std::llround(CVal(BetragText(betrag)) * 100);
}

std::string Bereinigt(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\a' || c == '\n' || c == '\t' || c == '\v') c = ' ';
  std::string aus;
  for (char c : text)
    if (!(c == ' ' && (aus.empty() || aus.back() == ' '))) aus += c;
  while (!aus.empty() && aus.back() == ' ') aus.pop_back();
  return aus;
}

std::string EuroText(Cent betrag) {
  return Bereinigt(BetragText(static_cast<double>(betrag) / 100));
}

bool IstBetrag(const std::string& text) {
  return text.find("€") != std::string::npos;
}

// A rate as the XML writes it: the single-precision value the totals compare, shortest form.
std::string SatzXml(float satz) {
  std::string text = SatzText(satz);
  for (char& c : text)
    if (c == ',') c = '.';
  return text;
}

std::optional<Tag> TagAus(const Variant& wert) {
  if (wert.IstNull() || wert.IstEmpty()) return std::nullopt;
  Tag tag;
  CDate(wert).Tag(tag.jahr, tag.monat, tag.tag);
  if (!tag.Gesetzt()) return std::nullopt;
  return tag;
}

std::optional<Tag> Rechnungsdatum(dao::Database& db, const Variant& id) {
  auto termin =
      db.OpenRecordset("SELECT * FROM Termine WHERE ID_Rechnungsnummer = ? AND ID_Terminart = 8",
                       dao::dbOpenSnapshot, {Schluessel(id)});
  if (termin->EOF()) return std::nullopt;
  return TagAus(termin->Fields("Datum").Value());
}

double Zahl(dao::Recordset& satz, const char* feld) {
  const Variant wert = satz.Fields(feld).Value();
  return wert.IstNull() || wert.IstEmpty() ? 0 : CDbl(wert);
}

struct Zeile {
  std::string name;
  double betrag = 0;
  double satz = 0;
  bool position = false;  // an amount row, which becomes an invoice line
};

// Every row of column 5 of every table but the totals table, as the totals read them.
// A cell that cannot be read (a short or merged row) is skipped, as the totals skip it.
std::vector<Zeile> ZeilenLesen(const word::Document& dokument, double standardsatz) {
  Falle falle("ERechnung", "ZeilenLesen");
  std::vector<Zeile> zeilen;
  std::int32_t anzahl = 0;
  falle.Still([&] { anzahl = dokument.Tables().Count(); });
  for (std::int32_t i = 1; i <= anzahl; ++i) {
    word::Table tabelle;
    if (!falle.Still([&] { tabelle = dokument.Tables().Item(i); })) continue;
    bool summentabelle = false;
    falle.Still([&] { summentabelle = IstSummentabelle(tabelle); });
    if (summentabelle) continue;
    std::string titel;
    std::vector<std::string> kopf(4);
    std::int32_t anzahlZeilen = 0;
    falle.Still([&] { anzahlZeilen = tabelle.Rows().Count(); });
    for (std::int32_t r = 1; r <= anzahlZeilen; ++r) {
      std::vector<std::string> zellen(4);
      for (int s = 1; s <= 4; ++s) falle.Still([&] { zellen[s - 1] = ZellText(tabelle, r, s); });
      if (r == 1) titel = Bereinigt(zellen[0].substr(0, zellen[0].find('\r')));
      std::string text;
      if (!falle.Still([&] { text = ZellText(tabelle, r, 5); }) || text.empty()) continue;
      Zeile zeile;
      zeile.betrag = CVal(Tausche(text, "\r", ""));
      zeile.satz = standardsatz;
      falle.Still([&] {
        auto kommentare = tabelle.Cell(r, 5).Range().Comments();
        if (kommentare.Count() > 0) zeile.satz = CVal(KommentarText(kommentare.Item(1)));
      });
      zeile.position = IstBetrag(text) || zeile.betrag != 0;
      if (zeile.position) {
        zeile.name = Positionsname(titel, kopf, zellen);
      } else {
        kopf = zellen;  // a heading row: its labels name the cells of the rows below
        if (r == 1) kopf[0].clear();
      }
      zeilen.push_back(std::move(zeile));
    }
  }
  return zeilen;
}

// The printed amounts of the totals table: column 4 by the label in column 2 (or column 1).
struct Gedrucktes {
  bool vorhanden = false;
  std::optional<Cent> summe, abschlag, rechnungsbetrag, rest;
  std::vector<Cent> steuern;
};

Gedrucktes SummentabelleLesen(const word::Document& dokument) {
  Falle falle("ERechnung", "SummentabelleLesen");
  Gedrucktes g;
  std::int32_t anzahl = 0;
  falle.Still([&] { anzahl = dokument.Tables().Count(); });
  for (std::int32_t i = 1; i <= anzahl && !g.vorhanden; ++i) {
    word::Table tabelle;
    bool summentabelle = false;
    falle.Still([&] {
      tabelle = dokument.Tables().Item(i);
      summentabelle = IstSummentabelle(tabelle);
    });
    if (!summentabelle) continue;
    g.vorhanden = true;
    std::int32_t zeilen = 0;
    falle.Still([&] { zeilen = tabelle.Rows().Count(); });
    for (std::int32_t r = 1; r <= zeilen; ++r) {
      std::string eins, zwei, vier;
      falle.Still([&] { eins = Bereinigt(ZellText(tabelle, r, 1)); });
      falle.Still([&] { zwei = Bereinigt(ZellText(tabelle, r, 2)); });
      falle.Still([&] { vier = ZellText(tabelle, r, 4); });
      const Cent betrag = std::llround(CVal(Tausche(vier, "\r", "")) * 100);
      if (zwei == "Summe" && r == 1)
        g.summe = betrag;
      else if (zwei.rfind("Abschlagszahlung", 0) == 0)
        g.abschlag = betrag;
      else if (zwei.rfind("Mehrwertsteuer", 0) == 0)
        g.steuern.push_back(betrag);
      else if (zwei == "Rechnungsbetrag" || zwei == "Zwischensumme")
        g.rechnungsbetrag = betrag;
      else if (eins == "verbl. Restbetrag")
        g.rest = betrag;
    }
  }
  return g;
}

void Vergleichen(std::vector<std::string>& fehler, const char* was, std::optional<Cent> gedruckt,
                 Cent berechnet) {
  if (!gedruckt) {
    fehler.push_back(std::string("In der Summentabelle des Dokuments fehlt die Zeile »") + was +
                     "«.");
  } else if (*gedruckt != berechnet) {
    fehler.push_back(std::string("»") + was + "« der Summentabelle (" + EuroText(*gedruckt) +
                     ") weicht von dem Betrag ab, den die E-Rechnung tragen müsste (" +
                     EuroText(berechnet) + ").");
  }
}

}  // namespace

std::string Positionsname(const std::string& titel, const std::vector<std::string>& kopf,
                          const std::vector<std::string>& zellen) {
  std::vector<std::string> teile;
  if (!kopf.empty() && !Bereinigt(kopf[0]).empty()) teile.push_back(Bereinigt(kopf[0]));
  for (std::size_t i = 0; i < zellen.size(); ++i) {
    const std::string wert = Bereinigt(zellen[i]);
    if (wert.empty() || IstBetrag(wert)) continue;
    const std::string beschriftung = i > 0 && i < kopf.size() ? Bereinigt(kopf[i]) : "";
    teile.push_back(beschriftung.empty() || IstBetrag(beschriftung) ? wert
                                                                    : beschriftung + " " + wert);
  }
  std::string name = titel.empty() ? "Position" : titel;
  for (std::size_t i = 0; i < teile.size(); ++i) name += (i == 0 ? ": " : ", ") + teile[i];
  return name;
}

Aufbau ModellAufbauen(const Quelle& q) {
  Aufbau aufbau;
  auto& fehler = aufbau.fehler;
  auto& db = *q.datenbank;
  Rechnungsmodell m;
  m.verkaeufer = q.stammdaten.verkaeufer;
  m.kaeufer = q.stammdaten.kaeufer;
  const std::string id = std::to_string(q.rechnung);

  auto rechnung = db.OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = ?",
                                   dao::dbOpenSnapshot, {Variant(q.rechnung)});
  if (rechnung->EOF()) {
    fehler.push_back("Die Rechnung " + id + " gibt es in der Datenbank nicht.");
    return aufbau;
  }
  const std::int32_t art = CLng(rechnung->Fields("Rechnungsart").Value());
  m.gutschrift = art == kGutschrift;
  const Variant nummer = rechnung->Fields("Rechnungsnummer").Value();
  m.nummer = nummer.IstNull() || nummer.IstEmpty() ? "" : Bereinigt(CStr(nummer));
  if (m.nummer.empty()) fehler.push_back("Für die E-Rechnung fehlt: Rechnungsnummer (BT-1)");
  if (auto datum = Rechnungsdatum(db, Variant(q.rechnung)))
    m.datum = *datum;
  else
    fehler.push_back(
        "Für die E-Rechnung fehlt: Rechnungsdatum (BT-2), der Termin der Art 8 der Rechnung " + id +
        ".");

  // The settings the totals were computed with.
  const double standardsatz = Zahl(*rechnung, "Mehrwertsteuersatz") / 10;
  double abschlagAbsolut = 0;
  std::int16_t abschlagProzent = 100;
  auto temp = db.OpenRecordset("SELECT * FROM TempDoc WHERE ID_Benutzer = ?", dao::dbOpenSnapshot,
                               {Variant(q.benutzer)});
  if (temp->EOF()) {
    fehler.push_back("Den Benutzer " + std::to_string(q.benutzer) +
                     " (Tabelle TempDoc) gibt es in der Datenbank nicht.");
    return aufbau;
  }
  abschlagAbsolut = Zahl(*temp, "AbschlagAbsolut");
  abschlagProzent = static_cast<std::int16_t>(CLng(temp->Fields("AbschlagProzent").Value()));

  // The amounts, as the totals read them.
  Rechnungssummen summen;
  std::vector<Zeile> zeilen = ZeilenLesen(*q.dokument, standardsatz);
  for (const Zeile& z : zeilen) summen.BetragHinzufuegen(z.betrag, z.satz);
  Falle falle("ERechnung", "ModellAufbauen");
  summen.Berechnen(abschlagAbsolut, abschlagProzent, falle);

  for (const Zeile& z : zeilen) {
    if (!z.position) continue;
    Position p;
    p.name = z.name;
    p.netto = std::llround(z.betrag * 100);
    if (z.satz > 0)
      p.steuer = {Steuerkategorie::S, SatzXml(static_cast<float>(z.satz))};
    else
      p.steuer = {Steuerkategorie::E, "0"};
    m.positionen.push_back(std::move(p));
  }
  auto summeVon = [&](const Steuer& steuer) {
    Cent summe = 0;
    for (const Position& p : m.positionen)
      if (p.steuer == steuer) summe += p.netto;
    return summe;
  };
  Cent positionen = 0;
  for (const Position& p : m.positionen) positionen += p.netto;
  m.summen.positionen = positionen;

  // The VAT breakdown: one line per rate of the totals table, then the VAT-free amounts.
  m.abschlag = summen.Art() != Abschlagsfall::KeinAbschlag;
  const std::string abschlagsgrund =
      summen.Art() == Abschlagsfall::AbschlagProzent
          ? "Abschlagszahlung von " + std::to_string(abschlagProzent) + " %: nicht berechneter Teil"
          : "Abschlagszahlung über " + EuroText(Gedruckt(abschlagAbsolut)) +
                ": nicht berechneter Teil";
  Cent basisS = 0;
  std::vector<Cent> gedruckteSteuern;
  for (std::size_t k = 0; k < summen.Saetze().size(); ++k) {
    const Steuer steuer{Steuerkategorie::S, SatzXml(summen.Saetze()[k].Satz)};
    const Cent voll = summeVon(steuer);
    const Cent basis = Gedruckt(summen.Zeilenbasis(k));
    const Cent betrag = Gedruckt(summen.Zeilensteuer(k));
    gedruckteSteuern.push_back(betrag);
    if (voll == 0 && basis == 0 && betrag == 0) continue;  // a rate only headings carried
    if (voll != basis) m.nachlaesse.push_back({voll - basis, abschlagsgrund, steuer});
    m.steuern.push_back({steuer, basis, betrag});
    basisS += basis;
  }
  const Steuer frei{Steuerkategorie::E, "0"};
  const Cent freiVoll = summeVon(frei);
  const Cent netto = Gedruckt(summen.X);
  if (freiVoll != 0) {
    const Cent basis = m.abschlag ? netto - basisS : freiVoll;
    if (basis != freiVoll) m.nachlaesse.push_back({freiVoll - basis, abschlagsgrund, frei});
    m.steuern.push_back({frei, basis, 0});
  }
  for (const Nachlass& n : m.nachlaesse) m.summen.nachlaesse += n.betrag;
  m.summen.netto = m.summen.positionen - m.summen.nachlaesse;
  for (const auto& s : m.steuern) m.summen.steuer += s.betrag;
  m.summen.brutto = m.summen.netto + m.summen.steuer;
  const Cent rechnungsbetrag = Gedruckt(summen.X + summen.V);

  // What the printed invoice says must be what the e-invoice says.
  if (m.summen.netto != netto)
    fehler.push_back("Die Nettobeträge der Steuersätze (" + EuroText(m.summen.netto) +
                     ") ergeben gerundet nicht den gedruckten Nettobetrag (" + EuroText(netto) +
                     "); eine E-Rechnung mit denselben Beträgen ist nicht möglich.");

  // A final invoice deducts the job's earlier partial invoices as paid amounts.
  Cent rest = rechnungsbetrag;
  if (art == kSchlussrechnung) {
    auto frueher =
        db.OpenRecordset("SELECT * FROM Rechnung WHERE ID_Auftragsnummer = ? AND Rechnungsart = ?",
                         dao::dbOpenSnapshot,
                         {Schluessel(rechnung->Fields("ID_Auftragsnummer").Value()),
                          Variant(std::int32_t{kAbschlagsrechnung})});
    double rg = summen.X + summen.V;
    for (; !frueher->EOF(); frueher->MoveNext()) {
      FruehereRechnung f;
      const Variant n = frueher->Fields("Rechnungsnummer").Value();
      f.nummer = n.IstNull() ? "" : CStr(n);
      const double brutto = Zahl(*frueher, "Brutto") / 100;
      f.brutto = Gedruckt(brutto);
      rg -= brutto;
      if (auto datum = Rechnungsdatum(db, frueher->Fields("ID_Rechnungsnummer").Value()))
        f.datum = *datum;
      m.summen.bezahlt += f.brutto;
      m.hinweise.push_back("Abzüglich Abschlagsrechnung Nr. " + f.nummer +
                           (f.datum.Gesetzt() ? " vom " + f.datum.Deutsch() : "") + " über " +
                           EuroText(f.brutto) + " brutto");
      m.frueher.push_back(std::move(f));
    }
    if (!m.frueher.empty()) rest = Gedruckt(rg);
  }
  m.summen.faellig = rest;
  m.summen.rundung = m.summen.faellig - (m.summen.brutto - m.summen.bezahlt);
  if (m.abschlag)
    m.hinweise.insert(m.hinweise.begin(), "Abschlagsrechnung über " + EuroText(netto) +
                                              " netto; Gesamtbetrag der Leistungen " +
                                              EuroText(positionen) + " netto");

  const Gedrucktes g = SummentabelleLesen(*q.dokument);
  if (!g.vorhanden) {
    fehler.push_back(
        "Das Dokument hat keine Summentabelle (RE_Summe): die Rechnung ist noch nicht "
        "berechnet.");
  } else {
    Vergleichen(fehler, "Summe", g.summe, positionen);
    if (m.abschlag) Vergleichen(fehler, "Abschlagszahlung", g.abschlag, netto);
    Vergleichen(fehler, "Rechnungsbetrag", g.rechnungsbetrag, rechnungsbetrag);
    if (!m.frueher.empty()) Vergleichen(fehler, "verbl. Restbetrag", g.rest, rest);
    if (g.steuern != gedruckteSteuern)
      fehler.push_back(
          "Die Mehrwertsteuerzeilen der Summentabelle passen nicht zu den Beträgen der "
          "Abrechnungstabellen.");
  }
  // The record holds the amount due, negated for a credit note.
  const Cent gespeichert = std::llround(Zahl(*rechnung, "Brutto"));
  const Cent erwartet = m.gutschrift ? -m.summen.faellig : m.summen.faellig;
  if (gespeichert != erwartet)
    fehler.push_back("Der Rechnungsdatensatz " + id + " hält brutto " + EuroText(gespeichert) +
                     ", das Dokument " + EuroText(erwartet) +
                     ": Dokument und Datensatz passen nicht zusammen.");
  // Each printed VAT row and the printed gross round on their own: at most a cent each apart,
  // as long as the invoice charges no more than the job. More is no rounding any more.
  const Cent grenze = static_cast<Cent>(m.steuern.size()) + 1;
  if (m.summen.rundung > grenze || m.summen.rundung < -grenze) {
    std::string text =
        "Die Mehrwertsteuerzeilen der Summentabelle und der gedruckte "
        "Rechnungsbetrag weichen um " +
        EuroText(m.summen.rundung) +
        " voneinander ab; eine E-Rechnung mit denselben Beträgen ist nicht möglich.";
    if (summen.F > 1)
      text += " Der Abschlag (" + EuroText(netto) + ") ist höher als die Summe der Leistungen (" +
              EuroText(positionen) + ").";
    fehler.push_back(text);
  }

  // Terms: the office's text with the due date in place of its placeholder.
  auto version = db.OpenRecordset("SELECT * FROM Version", dao::dbOpenSnapshot);
  if (!version->EOF()) {
    const Variant text = version->Fields("Zahlungsziel").Value();
    std::string t = text.IstNull() || text.IstEmpty() ? "" : CStr(text);
    const auto a = t.find('<');
    const auto b = t.find('>');
    if (a != std::string::npos && b != std::string::npos && b > a && m.datum.Gesetzt()) {
      const int tage = static_cast<int>(CVal(t.substr(a + 1, 3)));
      m.faelligAm = m.datum.PlusTage(tage);
      t = t.substr(0, a) + " " + m.faelligAm.Deutsch() + " " + t.substr(b + 1);
    }
    m.zahlungsbedingungen = Bereinigt(t);
  }
  if (m.summen.faellig > 0 && !m.faelligAm.Gesetzt() && m.zahlungsbedingungen.empty())
    fehler.push_back(
        "Für die E-Rechnung fehlt: Fälligkeitsdatum (BT-9) oder Zahlungsbedingungen (BT-20) "
        "(Tabelle Version, Feld Zahlungsziel)");

  if (fehler.empty()) aufbau.modell = std::move(m);
  return aufbau;
}

}  // namespace tarvo::erechnung

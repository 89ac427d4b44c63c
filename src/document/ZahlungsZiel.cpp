#include <algorithm>
#include <cmath>
#include <ctime>
#include <memory>
#include <string>

#include "common/Datensatz.h"
#include "common/Funktionen.h"
#include "common/Variant.h"
#include "document/Dokumenthilfen.h"
#include "document/G_modSumme.h"
#include "errors/Falle.h"
#include "fees/modStatus.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"

namespace tarvo {

namespace {

constexpr const char* kName = "Zahlungsziel";

// The object, or 91 when it is not set: a recordset that failed to open was logged where it
// failed, and every later use fails on its own instead of reaching through nothing.
template <typename T>
T& Festgelegt(const std::shared_ptr<T>& objekt) {
  if (!objekt) throw Laufzeitfehler(fehlernummer::ObjektNichtFestgelegt);
  return *objekt;
}

Datum Heute() {
  const std::time_t jetzt = std::time(nullptr);
  std::tm tag{};
  localtime_r(&jetzt, &tag);
  return Datum::AusTag(tag.tm_year + 1900, tag.tm_mon + 1, tag.tm_mday);
}

Datum PlusTage(Datum datum, double tage) {
  return Datum{std::floor(datum.Seriell) + tage};
}

}  // namespace

void ZahlungsZiel(word::Document& Dokument, bool Anzeigen) {
  Falle falle("GebührenTabelle", "ZahlungsZiel");
  falle([&] {
    for (std::int32_t i = Dokument.Shapes().Count(); i >= 1; --i) {
      auto form = Dokument.Shapes().Item(i);
      if (form.Name() == kName) form.Delete();
    }
  });
  if (!Anzeigen) return;

  std::shared_ptr<dao::Recordset> version;
  falle([&] {
    version = Festgelegt(Status().NeueAbfrage).OpenRecordset("Version", dao::dbOpenDynaset);
  });
  falle([&] { Festgelegt(version).MoveFirst(); });

  auto anwendung_ = Dokument.Application();
  auto anwendung = [&]() -> word::Application& {
    if (!anwendung_) throw Laufzeitfehler(fehlernummer::ObjektNichtFestgelegt);
    return *anwendung_;
  };
  falle([&] {
    auto ende = Dokument.Content();
    ende.Collapse(word::wdCollapseEnd);
    ende.Select();
  });
  word::Shape feld;
  falle([&] {
    feld = Dokument.Shapes().AddTextbox(word::msoTextOrientationHorizontal, 70.5f, 766.5f, 450.75f,
                                        54.0f);
  });
  falle([&] { feld.Select(); });
  falle([&] { feld.SetName(kName); });
  falle([&] { feld.TextFrame().TextRange().Select(); });
  falle([&] { feld.Fill().SetVisible(false); });
  falle([&] { feld.Fill().SetTransparency(1.0f); });
  falle([&] { feld.Line().SetVisible(false); });
  falle([&] { feld.SetRelativeVerticalPosition(word::wdRelativeVerticalPositionPage); });
  falle([&] {
    feld.SetTop(anwendung().CentimetersToPoints(
        static_cast<float>(CDbl(Festgelegt(version).Fields("AbstandZahlungsziel").Value()))));
  });
  falle([&] {
    anwendung().Selection().ParagraphFormat().SetAlignment(word::wdAlignParagraphCenter);
  });

  // The terms text names the days in a placeholder "<14>".
  std::string text;
  falle([&] { text = CStr(Festgelegt(version).Fields("Zahlungsziel").Value()); });
  const std::size_t a = text.find('<') == std::string::npos ? 0 : text.find('<') + 1;
  const std::size_t b = text.find('>') == std::string::npos ? 0 : text.find('>') + 1;
  double tage = 0;
  falle([&] { tage = werte::FuehrendeZahl(text.substr(std::min(a, text.size()), 3)); });

  Datum faellig = PlusTage(Heute(), tage);
  if (Status().Rechnung) {
    falle([&] {
      auto termin = Festgelegt(Status().NeueAbfrage)
                        .OpenRecordset(
                            "SELECT ID_Terminart, ID_Rechnungsnummer, Datum From Termine WHERE "
                            "(((ID_Terminart)=8) "
                            "AND ((ID_Rechnungsnummer)=?));",
                            dao::dbOpenDynaset,
                            {Schluessel(Status().Rechnung->Fields("ID_Rechnungsnummer").Value())});
      if (!termin->EOF()) faellig = PlusTage(CDate(termin->Fields("Datum").Value()), tage);
    });
  }
  // Without a placeholder the terms text is written as it stands.
  falle([&] {
    if (a == 0) throw Laufzeitfehler(fehlernummer::UngueltigerAufruf);
    text = text.substr(0, a - 1) + " " + zahltext::DatumText(faellig) + " " + text.substr(b);
  });

  std::int32_t bund = 0;
  falle([&] { bund = CLng(Festgelegt(version).Fields("BundZahlungsziel").Value()); });
  falle([&] {
    anwendung().Selection().ParagraphFormat().SetAlignment(bund == 0 ? word::wdAlignParagraphLeft
                                                           : bund == 1
                                                               ? word::wdAlignParagraphCenter
                                                               : word::wdAlignParagraphRight);
  });
  falle([&] { anwendung().Selection().TypeText(text); });
}

}  // namespace tarvo

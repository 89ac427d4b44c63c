// GO::Show: the host's entry into the fee forms. Loads the user's invoice settings from table
// TempDoc into the job state, keeps the invoice recordset and the host window, and opens the
// category form chosen by Index, modeless. Every step runs under one trap (module "Rechnung",
// procedure "Show"): a step that fails is logged and the next one runs, so a missing settings
// row or database still opens the form; nothing reaches the host.
#include <memory>
#include <string>

#include "common/Datensatz.h"
#include "errors/Falle.h"
#include "errors/Pruefen.h"
#include "fees/modStatus.h"
#include "forms/Formulare.h"
#include "host/GO.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"
#include "platform/dao/Workspace.h"

namespace tarvo {
namespace {

// The value of field `name` in the current row; 91 when the recordset could not be opened.
Variant Feld(const std::shared_ptr<dao::Recordset>& recordset, const char* name) {
  if (!recordset) throw Laufzeitfehler(fehlernummer::ObjektNichtFestgelegt);
  return recordset->Fields(name).Value();
}

// A rate held in tenths of a percent, as whole percent (half to even).
std::int16_t Zehntel(const Variant& wert) {
  return NachInteger(CDbl(wert) / 10);
}

}  // namespace

void GO::Show(std::int16_t Index, std::shared_ptr<dao::Recordset> Rechnung, std::int32_t hWndMDI) {
  Falle falle("Rechnung", "Show");
  JobStatus& s = Status();
  std::shared_ptr<dao::Database> db;
  std::shared_ptr<dao::Recordset> rs;

  falle([&] { s.hWndMDI = hWndMDI; });
  falle([&] {
    if (!s.LumoWorkspace) throw Laufzeitfehler(fehlernummer::ObjektNichtFestgelegt);
    db = s.LumoWorkspace->OpenDatabase(s.DatenbankPfad);
  });
  falle([&] {
    if (!db) throw Laufzeitfehler(fehlernummer::ObjektNichtFestgelegt);
    rs = db->OpenRecordset("SELECT * FROM TempDoc WHERE ID_Benutzer = ?", dao::dbOpenDynaset,
                           {Variant(s.ID_Benutzer)});
  });

  // The settings, each read on its own: a field that fails leaves its variable as it was.
  falle([&] { s.ID_Auftragsnummer = CLng(Feld(rs, "ID_Auftragsnummer")); });
  falle([&] { s.MeßtruppZusammenfassen = CBool(Feld(rs, "MeßtruppZusammenfassen")); });
  falle([&] { s.ID_Lieferschein = CLng(ZahlDatensatzLesen(Feld(rs, "ID_Lieferschein"))); });
  falle([&] { s.AbschlagAbsolut = CDbl(ZahlDatensatzLesen(Feld(rs, "AbschlagAbsolut"))); });
  falle([&] { s.AbschlagProzent = CInt(ZahlDatensatzLesen(Feld(rs, "AbschlagProzent"))); });
  falle([&] { s.Zahlungsziel = CBool(BoolDatensatzLesen(Feld(rs, "Zahlungsziel"))); });
  falle(
      [&] { s.Mehrwertsteuersatz = Zehntel(ZahlDatensatzLesen(Feld(rs, "Mehrwertsteuersatz"))); });
  falle([&] { s.Preisgruppe1 = CInt(ZahlDatensatzLesen(Feld(rs, "Preisgruppe1"))); });
  falle([&] { s.Preisgruppe2 = CInt(ZahlDatensatzLesen(Feld(rs, "Preisgruppe2"))); });
  falle([&] { s.Preisgruppe3 = CInt(ZahlDatensatzLesen(Feld(rs, "Preisgruppe3"))); });
  falle([&] { s.Preisgruppe4 = CInt(ZahlDatensatzLesen(Feld(rs, "Preisgruppe4"))); });
  falle([&] { s.Mehrwertsteuer = Zehntel(Feld(rs, "Mehrwertsteuer")); });
  falle([&] { s.MwStErmäßigt = Zehntel(Feld(rs, "MwStErmäßigt")); });
  falle([&] { s.Rabatt = CInt(ZahlDatensatzLesen(Feld(rs, "Rabatt"))); });

  falle([&] { s.Rechnung = Rechnung; });

  // The form of this index: its one instance, loaded if need be, shown modeless.
  falle([&] {
    formulare::FormulareRegistrieren();
    if (auto formular = formulare::Formular(Index)) formular->Show(false);
  });
  // db and rs are released here, not closed: the host's recordset may share the connection.
}

}  // namespace tarvo

// A small form with one control of each kind and handlers shaped like the category forms': a
// fee grid whose last column is computed and read-only, a category combo box floating over
// column 2, Tab at the end of the last row adding a row, a masked field selecting all on focus,
// a check box whose handler refuses the tick while the field is empty, two options in a frame
// and an "&OK" button. The view tests drive it through the widgets.
#pragma once

#include <string>

#include "common/Funktionen.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Form.h"
#include "platform/controls/Grid.h"
#include "platform/controls/MaskEdBox.h"
#include "platform/controls/Oberflaeche.h"

namespace tarvo::qt::test {

class ProbeFormular : public controls::Form {
 public:
  ProbeFormular()
      : Form("frmProbe", "Probe"),
        Titel(*this, "Titel"),
        Raster(*this, "Raster"),
        Kategorie(*this, "Kategorie"),
        mskAnzahl(*this, "mskAnzahl", 3),
        chkVeto(*this, "chkVeto"),
        Rahmen(*this, "Rahmen"),
        optA(*this, "optA"),
        optB(*this, "optB"),
        CommandOK(*this, "CommandOK") {
    Titel.SetCaption("Probe");
    chkVeto.SetCaption("nur mit Anzahl");
    Rahmen.SetCaption("Wahl");
    optA.SetCaption("A");
    optB.SetCaption("B");
    optA.SetContainer(&Rahmen);
    optB.SetContainer(&Rahmen);
    CommandOK.SetCaption("&OK");
    Raster.Move(120, 480, 6000, 2400);
    Kategorie.SetVisible(false);
    for (const char* k : {"I", "II", "III"}) Kategorie.AddItem(k);
    Raster.SetCols(4);
    Raster.SetRows(1);
    const char* koepfe[] = {" Text", " Kat", " Fläche", " Gebühr"};
    for (int s = 1; s <= 4; ++s) {
      Raster.SetColHeading(s, koepfe[s - 1]);
      Raster.SetColWidth(s, s == 1 ? 2400 : 1000);
    }
    Raster.SetColSetting(4, "Bearbeitbar", 0);
    Raster.SetColSetting(4, "Ausrichtung", 2);
    Raster.SetRow(1);
    Raster.SetCol(1);

    Raster.CellClick.Connect([this](std::int32_t r, std::int32_t c) { Schweben(r, c); });
    Raster.ColChange.Connect([this](std::int32_t c) { Schweben(Raster.Row(), c); });
    Raster.RowChange.Connect([this](std::int32_t r) { Schweben(r, Raster.Col()); });
    Raster.CellIsDirty.Connect([this](std::int16_t& f) {
      Berechnen(Raster.Row());
      f = 0;
    });
    Raster.KeyDown.Connect([this](std::int16_t& taste, std::int16_t umschalt) {
      if (taste != controls::taste::Tab || umschalt || Raster.Col() != 3) return;
      if (Raster.Row() == Raster.Rows()) Raster.InsertRow(Raster.Rows() + 1);
      Raster.SetRow(Raster.Row() + 1);
      Raster.SetCol(1);
      taste = 0;
    });
    Kategorie.LostFocus.Connect([this] { Zuruecknehmen(); });
    mskAnzahl.GotFocus.Connect([this] { TextMarkieren(mskAnzahl); });
    chkVeto.Click.Connect([this] {
      if (chkVeto.Value() == 1 && mskAnzahl.Text().find_first_not_of(' ') == std::string::npos)
        chkVeto.SetValue(0);
    });
    CommandOK.Click.Connect([this] { ++ok; });
  }

  controls::Label Titel;
  controls::Grid Raster;
  controls::ComboBox Kategorie;
  controls::MaskEdBox mskAnzahl;
  controls::CheckBox chkVeto;
  controls::Frame Rahmen;
  controls::OptionButton optA;
  controls::OptionButton optB;
  controls::CommandButton CommandOK;
  int ok = 0;

 private:
  void Schweben(std::int32_t r, std::int32_t c) {
    if (c == 2) {
      Kategorie.Move(Raster.Left() + Raster.CellLeft(r, c), Raster.Top() + Raster.CellTop(r, c),
                     Raster.ColWidth(c), Kategorie.Height());
      Kategorie.SetVisible(true);
    } else {
      Zuruecknehmen();
    }
  }
  void Zuruecknehmen() {
    if (!Kategorie.Visible()) return;
    Raster.SetTextMatrix(Raster.Row(), 2, Kategorie.Text());
    Kategorie.SetVisible(false);
  }
  void Berechnen(std::int32_t r) {
    const std::string flaeche = Raster.TextMatrix(r, 3);
    Raster.SetTextMatrix(r, 4, flaeche.empty() ? "" : std::to_string(2 * std::stoi(flaeche)));
  }
};

}  // namespace tarvo::qt::test

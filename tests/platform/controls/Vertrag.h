// Vertrag: the contract checker for the control models. It rides along in a test, watching a form
// (all its registered controls) or single controls, and fails the test when a model breaks its
// contract: a StateChanged or a typed event (RowChange, ColChange, Change, Click) without a real
// change, a change of state without its notification, or inconsistent counts (current cell
// outside the grid, selected rows out of range, a masked text of the wrong length, two selected
// options in one group, focus events out of order). Its listeners run before the form's handlers,
// so it sees each event's state as announced. Call Pruefen() after each user action; the
// destructor checks once more and disconnects.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/controls/Buttons.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Control.h"
#include "platform/controls/Form.h"
#include "platform/controls/Grid.h"
#include "platform/controls/MaskEdBox.h"

namespace tarvo::controls::vertrag {

class Vertrag {
 public:
  Vertrag() = default;
  explicit Vertrag(Form& form) { Beobachten(form); }
  ~Vertrag() {
    Pruefen();
    for (auto& trennen : trennen_) trennen();
  }
  Vertrag(const Vertrag&) = delete;
  Vertrag& operator=(const Vertrag&) = delete;

  // Watches every control registered with the form now, and the form's focus.
  void Beobachten(Form& form) {
    form_ = &form;
    fokus_ = form.ActiveControl();
    for (Control* control : form.Steuerelemente()) Beobachten(*control);
  }

  // Watches one control (its kind is found out).
  void Beobachten(Control& control) {
    auto& eintrag = eintraege_.emplace_back();
    eintrag.control = &control;
    eintrag.zustand = [&control] { return Zustand(control); };
    eintrag.letzter = eintrag.zustand();
    const std::size_t index = eintraege_.size() - 1;
    Verbinden(control.StateChanged, [this, index] { Gemeldet(index); });
    Verbinden(control.GotFocus, [this, &control] { Fokus(control, true); });
    Verbinden(control.LostFocus, [this, &control] { Fokus(control, false); });
    if (auto* grid = dynamic_cast<Grid*>(&control)) GridBeobachten(*grid);
    if (auto* feld = dynamic_cast<MaskEdBox*>(&control)) FeldBeobachten(*feld);
    if (auto* box = dynamic_cast<CheckBox*>(&control)) CheckBeobachten(*box);
    if (auto* option = dynamic_cast<OptionButton*>(&control)) OptionBeobachten(*option);
    if (auto* combo = dynamic_cast<ComboBox*>(&control)) ComboBeobachten(*combo);
  }

  // Checks that no state changed silently since the last notification, and the invariants.
  void Pruefen() {
    for (auto& eintrag : eintraege_) {
      if (eintrag.zustand() != eintrag.letzter)
        ADD_FAILURE() << eintrag.control->Name() << ": Zustand geändert ohne StateChanged";
      Invarianten(*eintrag.control);
    }
    for (auto& [grid, zelle] : zellen_) {
      if (grid->Row() != zelle.first)
        ADD_FAILURE() << grid->Name() << ": Zeile " << grid->Row() << " ohne RowChange";
      if (grid->Col() != zelle.second)
        ADD_FAILURE() << grid->Name() << ": Spalte " << grid->Col() << " ohne ColChange";
    }
    for (auto& [feld, text] : texte_) {
      if (feld->Text() != text) ADD_FAILURE() << feld->Name() << ": Text geändert ohne Change";
    }
    for (auto& [box, wert] : haken_) {
      if (box->Value() != wert) ADD_FAILURE() << box->Name() << ": Wert geändert ohne Click";
    }
    for (auto& [option, wert] : optionen_) {
      if (option->Value() && !wert) ADD_FAILURE() << option->Name() << ": gewählt ohne Click";
      wert = option->Value();  // clearing an option raises no Click
    }
    for (auto& [combo, index] : indizes_) {
      if (combo->ListIndex() != index && combo->ListIndex() != -1)
        ADD_FAILURE() << combo->Name() << ": Auswahl geändert ohne Click";
      index = combo->ListIndex();
    }
    if (form_ && form_->ActiveControl() != fokus_)
      ADD_FAILURE() << form_->Name() << ": Fokus gewechselt ohne GotFocus/LostFocus";
  }

  // Number of notifications seen, by kind ("StateChanged", "RowChange", "CellIsDirty", ...) and
  // control name.
  int Anzahl(const std::string& ereignis, const std::string& name) const {
    auto it = zaehler_.find(ereignis + ":" + name);
    return it == zaehler_.end() ? 0 : it->second;
  }

 private:
  struct Eintrag {
    Control* control = nullptr;
    std::function<std::string()> zustand;
    std::string letzter;
  };

  template <class... Args, class F>
  void Verbinden(Event<Args...>& ereignis, F listener) {
    const std::size_t id = ereignis.ConnectFront(std::move(listener));
    trennen_.push_back([&ereignis, id] { ereignis.Disconnect(id); });
  }

  void Zaehlen(const std::string& ereignis, const Control& control) {
    ++zaehler_[ereignis + ":" + control.Name()];
  }

  void Gemeldet(std::size_t index) {
    auto& eintrag = eintraege_[index];
    Zaehlen("StateChanged", *eintrag.control);
    std::string jetzt = eintrag.zustand();
    if (jetzt == eintrag.letzter)
      ADD_FAILURE() << eintrag.control->Name() << ": StateChanged ohne Änderung";
    eintrag.letzter = std::move(jetzt);
    Invarianten(*eintrag.control);
  }

  void Fokus(Control& control, bool bekommen) {
    Zaehlen(bekommen ? "GotFocus" : "LostFocus", control);
    if (!form_ || control.Besitzer() != form_) return;
    if (bekommen) {
      if (form_->ActiveControl() != &control)
        ADD_FAILURE() << control.Name() << ": GotFocus, aber nicht aktiv";
      if (fokus_ && fokus_ != &control)
        ADD_FAILURE() << control.Name() << ": GotFocus vor LostFocus von " << fokus_->Name();
      fokus_ = &control;
    } else {
      if (fokus_ != &control) ADD_FAILURE() << control.Name() << ": LostFocus ohne Fokus";
      fokus_ = nullptr;
    }
  }

  void GridBeobachten(Grid& grid) {
    zellen_[&grid] = {grid.Row(), grid.Col()};
    Verbinden(grid.RowChange, [this, &grid](std::int32_t row) {
      Zaehlen("RowChange", grid);
      auto& zelle = zellen_[&grid];
      if (row == zelle.first) ADD_FAILURE() << grid.Name() << ": RowChange ohne Änderung";
      if (row != grid.Row()) ADD_FAILURE() << grid.Name() << ": RowChange(" << row << ") falsch";
      zelle.first = row;
    });
    Verbinden(grid.ColChange, [this, &grid](std::int32_t col) {
      Zaehlen("ColChange", grid);
      auto& zelle = zellen_[&grid];
      if (col == zelle.second) ADD_FAILURE() << grid.Name() << ": ColChange ohne Änderung";
      if (col != grid.Col()) ADD_FAILURE() << grid.Name() << ": ColChange(" << col << ") falsch";
      zelle.second = col;
    });
    Verbinden(grid.CellClick, [this, &grid](std::int32_t row, std::int32_t col) {
      Zaehlen("CellClick", grid);
      if (row != grid.Row() || col != grid.Col())
        ADD_FAILURE() << grid.Name() << ": CellClick nicht auf der aktuellen Zelle";
    });
    Verbinden(grid.CellIsDirty, [this, &grid](std::int16_t& flag) {
      Zaehlen("CellIsDirty", grid);
      if (flag != -1) ADD_FAILURE() << grid.Name() << ": CellIsDirty mit Flag " << flag;
    });
    Verbinden(grid.KeyDown,
              [this, &grid](std::int16_t&, std::int16_t) { Zaehlen("KeyDown", grid); });
  }

  void FeldBeobachten(MaskEdBox& feld) {
    texte_[&feld] = feld.Text();
    Verbinden(feld.Change, [this, &feld] {
      Zaehlen("Change", feld);
      auto& text = texte_[&feld];
      if (feld.Text() == text) ADD_FAILURE() << feld.Name() << ": Change ohne Änderung";
      text = feld.Text();
    });
  }

  void CheckBeobachten(CheckBox& box) {
    haken_[&box] = box.Value();
    Verbinden(box.Click, [this, &box] {
      Zaehlen("Click", box);
      auto& wert = haken_[&box];
      if (box.Value() == wert) ADD_FAILURE() << box.Name() << ": Click ohne Änderung";
      wert = box.Value();
    });
  }

  void OptionBeobachten(OptionButton& option) {
    optionen_[&option] = option.Value();
    Verbinden(option.Click, [this, &option] {
      Zaehlen("Click", option);
      auto& wert = optionen_[&option];
      if (!option.Value() || wert) ADD_FAILURE() << option.Name() << ": Click ohne Wahl";
      wert = option.Value();
    });
  }

  void ComboBeobachten(ComboBox& combo) {
    indizes_[&combo] = combo.ListIndex();
    Verbinden(combo.Click, [this, &combo] {
      Zaehlen("Click", combo);
      auto& index = indizes_[&combo];
      if (combo.ListIndex() == index || combo.ListIndex() < 0)
        ADD_FAILURE() << combo.Name() << ": Click ohne neue Auswahl";
      else if (combo.Text() != combo.List(combo.ListIndex()))
        ADD_FAILURE() << combo.Name() << ": Text passt nicht zur Auswahl";
      index = combo.ListIndex();
    });
  }

  void Invarianten(Control& control) {
    if (auto* grid = dynamic_cast<Grid*>(&control)) {
      const auto rows = grid->Rows(), cols = grid->Cols();
      if (rows < 0 || cols < 0) ADD_FAILURE() << grid->Name() << ": negative Anzahl";
      if (rows == 0 ? grid->Row() != 0 : (grid->Row() < 1 || grid->Row() > rows))
        ADD_FAILURE() << grid->Name() << ": Row " << grid->Row() << " bei " << rows << " Zeilen";
      if (cols == 0 ? grid->Col() != 0 : (grid->Col() < 1 || grid->Col() > cols))
        ADD_FAILURE() << grid->Name() << ": Col " << grid->Col() << " bei " << cols << " Spalten";
      const auto& sel = grid->SelectedRows();
      if (!std::is_sorted(sel.begin(), sel.end()) ||
          std::adjacent_find(sel.begin(), sel.end()) != sel.end() ||
          (!sel.empty() && (sel.front() < 1 || sel.back() > rows)))
        ADD_FAILURE() << grid->Name() << ": Auswahl außerhalb der Zeilen";
      if (cols > 0) {
        grid->TextMatrix(rows, cols);  // the extent matches the counts (throws otherwise)
        grid->RowHeight(rows);
      }
    } else if (auto* feld = dynamic_cast<MaskEdBox*>(&control)) {
      const auto& text = feld->Text();
      if (static_cast<std::int32_t>(text.size()) != feld->Stellen() ||
          text.find_first_not_of(" 0123456789") != std::string::npos)
        ADD_FAILURE() << feld->Name() << ": Text '" << text << "' passt nicht zur Maske";
      if (feld->SelStart() + feld->SelLength() > feld->Stellen())
        ADD_FAILURE() << feld->Name() << ": Auswahl über das Feldende";
    } else if (auto* combo = dynamic_cast<ComboBox*>(&control)) {
      if (combo->ListIndex() < -1 || combo->ListIndex() >= combo->ListCount())
        ADD_FAILURE() << combo->Name() << ": ListIndex außerhalb der Liste";
    } else if (auto* option = dynamic_cast<OptionButton*>(&control); option && form_) {
      int gewaehlt = 0;
      for (Control* andere : form_->Steuerelemente()) {
        auto* o = dynamic_cast<OptionButton*>(andere);
        if (o && o->Container() == option->Container() && o->Value()) ++gewaehlt;
      }
      if (gewaehlt > 1) ADD_FAILURE() << option->Name() << ": mehrere Optionen der Gruppe gewählt";
    }
  }

  static std::string Zustand(const Control& control) {
    std::ostringstream aus;
    aus << control.Visible() << control.Enabled() << '|' << control.Left() << ',' << control.Top()
        << ',' << control.Width() << ',' << control.Height() << '|' << control.Container() << '|';
    if (auto* label = dynamic_cast<const Label*>(&control)) aus << label->Caption();
    if (auto* frame = dynamic_cast<const Frame*>(&control)) aus << frame->Caption();
    if (auto* knopf = dynamic_cast<const CommandButton*>(&control))
      aus << knopf->Caption() << '|' << knopf->Picture();
    if (auto* box = dynamic_cast<const CheckBox*>(&control))
      aus << box->Caption() << '|' << box->Value();
    if (auto* option = dynamic_cast<const OptionButton*>(&control))
      aus << option->Caption() << '|' << option->Value();
    if (auto* combo = dynamic_cast<const ComboBox*>(&control)) {
      for (std::int32_t i = 0; i < combo->ListCount(); ++i) aus << combo->List(i) << '\x1f';
      aus << '|' << combo->ListIndex() << '|' << combo->Text();
    }
    if (auto* feld = dynamic_cast<const MaskEdBox*>(&control))
      aus << feld->Stellen() << '|' << feld->Text() << '|' << feld->SelStart() << ','
          << feld->SelLength();
    if (auto* grid = dynamic_cast<const Grid*>(&control)) {
      aus << grid->Rows() << 'x' << grid->Cols() << '@' << grid->Row() << ',' << grid->Col();
      for (std::int32_t r = 0; r <= grid->Rows(); ++r) {
        aus << "\n" << grid->RowHeight(r) << ':';
        for (std::int32_t c = 1; c <= grid->Cols(); ++c) aus << grid->TextMatrix(r, c) << '\x1f';
      }
      for (std::int32_t c = 1; c <= grid->Cols(); ++c) {
        aus << "\nw" << grid->ColWidth(c);
        for (const auto& [k, v] : grid->ColSettings(c)) aus << ' ' << k << '=' << v;
      }
      for (const auto& [k, v] : grid->Settings()) aus << "\ns " << k << '=' << v;
      aus << "\nsel";
      for (auto r : grid->SelectedRows()) aus << ' ' << r;
    }
    return aus.str();
  }

  Form* form_ = nullptr;
  Control* fokus_ = nullptr;
  std::vector<Eintrag> eintraege_;
  std::vector<std::function<void()>> trennen_;
  std::map<std::string, int> zaehler_;
  std::map<const Grid*, std::pair<std::int32_t, std::int32_t>> zellen_;
  std::map<const MaskEdBox*, std::string> texte_;
  std::map<const CheckBox*, std::int16_t> haken_;
  std::map<const OptionButton*, bool> optionen_;
  std::map<const ComboBox*, std::int32_t> indizes_;
};

}  // namespace tarvo::controls::vertrag

// The contract between a form view and its models: after any user action every widget shows
// what its model holds. Abweichungen lists every difference (empty when view and models agree):
// visibility and availability, texts and captions, check and option states, the combo box's
// items and choice, the masked edit's text and selection, and the grid's size, cells, headings,
// current cell and column widths.
#pragma once

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTableView>

#include "platform/controls/Buttons.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Grid.h"
#include "platform/controls/MaskEdBox.h"
#include "platform/qt/Bindung.h"
#include "platform/qt/Formularansicht.h"
#include "platform/qt/Masse.h"

namespace tarvo::qt::test {

inline QStringList Abweichungen(const Formularansicht& ansicht) {
  QStringList liste;
  auto pruefe = [&](bool gleich, const std::string& name, const QString& was) {
    if (!gleich) liste << QString::fromStdString(name) + ": " + was;
  };
  auto q = [](const std::string& s) { return QString::fromStdString(s); };
  for (Bindung* bindung : ansicht.Ansichten()) {
    const controls::Control& c = bindung->Steuerelement();
    QWidget& w = bindung->Widget();
    const std::string& n = c.Name();
    pruefe(w.isEnabled() == c.Enabled(), n, "Enabled");
    if (!bindung->Schwebt) pruefe(!w.isHidden() == c.Visible(), n, "Visible");
    if (auto* m = dynamic_cast<const controls::MaskEdBox*>(&c)) {
      auto& e = static_cast<QLineEdit&>(w);
      pruefe(e.text() == q(m->Text()), n, "Text »" + e.text() + "« statt »" + q(m->Text()) + "«");
      const int start = e.hasSelectedText() ? e.selectionStart() : e.cursorPosition();
      const int laenge = e.hasSelectedText() ? int(e.selectedText().size()) : 0;
      pruefe(start == m->SelStart() && laenge == m->SelLength(), n, "Auswahl");
    } else if (auto* k = dynamic_cast<const controls::CheckBox*>(&c)) {
      auto& b = static_cast<QCheckBox&>(w);
      pruefe(b.isChecked() == (k->Value() == 1), n, "Value");
      // The view may add an accelerator ("&") of its own.
      pruefe(QString(b.text()).remove('&') == q(k->Caption()).remove('&'), n, "Caption");
    } else if (auto* o = dynamic_cast<const controls::OptionButton*>(&c)) {
      auto& b = static_cast<QRadioButton&>(w);
      pruefe(b.isChecked() == o->Value(), n, "Value");
    } else if (auto* cb = dynamic_cast<const controls::ComboBox*>(&c)) {
      auto& b = static_cast<QComboBox&>(w);
      pruefe(b.count() == cb->ListCount(), n, "ListCount");
      pruefe(b.currentIndex() == cb->ListIndex(), n, "ListIndex");
      if (bindung->Schwebt)
        pruefe(b.isVisible() == (c.Visible() && ansicht.isVisible()), n, "schwebend sichtbar");
    } else if (auto* cmd = dynamic_cast<const controls::CommandButton*>(&c)) {
      pruefe(static_cast<QPushButton&>(w).text() == q(cmd->Caption()), n, "Caption");
    } else if (auto* l = dynamic_cast<const controls::Label*>(&c)) {
      pruefe(static_cast<QLabel&>(w).text() == q(l->Caption()), n, "Caption");
    } else if (auto* g = dynamic_cast<const controls::Grid*>(&c)) {
      auto& t = static_cast<QTableView&>(w);
      const QAbstractItemModel* m = t.model();
      pruefe(m->rowCount() == g->Rows() && m->columnCount() == g->Cols(), n, "Größe");
      for (int r = 1; r <= std::min(g->Rows(), m->rowCount()); ++r)
        for (int s = 1; s <= std::min(g->Cols(), m->columnCount()); ++s)
          pruefe(m->index(r - 1, s - 1).data().toString() == q(g->TextMatrix(r, s)), n,
                 QString("Zelle (%1, %2)").arg(r).arg(s));
      for (int s = 1; s <= std::min(g->Cols(), m->columnCount()); ++s) {
        pruefe(m->headerData(s - 1, Qt::Horizontal).toString() == q(g->ColHeading(s)).trimmed(), n,
               QString("Überschrift %1").arg(s));
        // At least the model's width; wider only where the heading needs it.
        const int breite = t.horizontalHeader()->sectionSize(s - 1);
        const int kopf =
            t.horizontalHeader()->fontMetrics().horizontalAdvance(q(g->ColHeading(s)).trimmed());
        pruefe(breite == Pixel(g->ColWidth(s), &t) ||
                   (breite > Pixel(g->ColWidth(s), &t) && breite <= kopf + 40),
               n, QString("Breite %1").arg(s));
      }
      if (g->Row() > 0 && g->Col() > 0)
        pruefe(t.currentIndex() == m->index(g->Row() - 1, g->Col() - 1), n, "aktuelle Zelle");
    }
  }
  return liste;
}

}  // namespace tarvo::qt::test

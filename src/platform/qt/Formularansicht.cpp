#include "platform/qt/Formularansicht.h"

#include <QAbstractButton>
#include <QFont>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "platform/controls/Grid.h"
#include "platform/qt/Ansichten.h"
#include "platform/qt/Masse.h"
#include "platform/qt/RasterAnsicht.h"

namespace tarvo::qt {
namespace {

bool InnerhalbVon(const controls::Control& innen, const controls::Grid& grid) {
  return innen.Left() >= grid.Left() && innen.Left() < grid.Left() + grid.Width() &&
         innen.Top() >= grid.Top() && innen.Top() < grid.Top() + grid.Height();
}

// The cell of `grid` at the form position (left, top) in twips: the current cell when it lies
// there (the usual case), else the one found by walking the columns and rows; (0, 0) for none.
std::pair<std::int32_t, std::int32_t> ZelleBei(const controls::Grid& grid, float left, float top) {
  auto passt = [](float a, float b) { return std::fabs(a - b) < 1.0f; };
  if (grid.Row() > 0 && grid.Col() > 0 && passt(grid.Left() + grid.CellLeft(), left) &&
      passt(grid.Top() + grid.CellTop(), top))
    return {grid.Row(), grid.Col()};
  std::int32_t spalte = 0;
  float x = grid.Left();
  for (std::int32_t c = 1; c <= grid.Cols() && !spalte; ++c) {
    if (passt(x, left) || (left >= x && left < x + grid.ColWidth(c))) spalte = c;
    x += grid.ColWidth(c);
  }
  std::int32_t zeile = 0;
  float y = grid.Top() + grid.RowHeight(0);
  for (std::int32_t r = 1; r <= grid.Rows() && !zeile; ++r) {
    if (passt(y, top) || (top >= y && top < y + grid.RowHeight(r))) zeile = r;
    y += grid.RowHeight(r);
  }
  return zeile && spalte ? std::pair{zeile, spalte} : std::pair{0, 0};
}

}  // namespace

QString Formularansicht::FeldBeschriftung(const std::string& name) {
  QString text = QString::fromStdString(name);
  for (const char* vorsilbe : {"MaskEdBox", "msk", "cbo", "Combo"}) {
    if (text.startsWith(QLatin1String(vorsilbe)) && text.size() > int(std::strlen(vorsilbe))) {
      text = text.mid(int(std::strlen(vorsilbe)));
      break;
    }
  }
  return text + ":";
}

// Whether the form places its controls itself: it has a size and every control but the combo
// boxes floating over a grid has a place. Such a form is shown as designed; one without (a
// dialog laid out nowhere) gets a generic layout.
bool Entworfen(const controls::Form& form) {
  if (form.Width <= 0 || form.Height <= 0) return false;
  for (const controls::Control* c : form.Steuerelemente()) {
    if (dynamic_cast<const controls::ComboBox*>(c) && !c->Visible()) continue;
    if (c->Width() <= 0 || c->Height() <= 0) return false;
  }
  return true;
}

Formularansicht::Formularansicht(controls::Form& form, QWidget* parent)
    : QWidget(parent), form_(form) {
  setObjectName(QString::fromStdString(form.Name()));
  setWindowTitle(QString::fromStdString(form.Caption));
  const bool entworfen = Entworfen(form);
  // A control's widget at its designed place (twips at the screen's logical DPI); placed once
  // all widgets exist, see below.
  std::vector<std::pair<QWidget*, const controls::Control*>> plaetze;
  auto platzieren = [&plaetze](QWidget* widget, const controls::Control& c) {
    plaetze.emplace_back(widget, &c);
  };
  auto* aussen = entworfen ? new QVBoxLayout : new QVBoxLayout(this);
  auto* mitte = new QHBoxLayout;
  auto* felder = new QFormLayout;
  auto* seite = new QVBoxLayout;
  auto* knoepfe = new QHBoxLayout;
  knoepfe->addStretch(1);
  std::map<const controls::Frame*, QVBoxLayout*> rahmen;
  std::vector<QWidget*> reihenfolge;
  bool ueberschrift = false;

  auto binden = [&](Bindung* bindung) {
    bindung->NachAktion = [this] { NachAktion(); };
    ansichten_.push_back(bindung);
    reihenfolge.push_back(&bindung->Widget());
  };

  // Frames first, so the option buttons registered before their frame find its box.
  for (controls::Control* control : form.Steuerelemente()) {
    if (auto* frame = dynamic_cast<controls::Frame*>(control)) {
      auto* ansicht = new Rahmen(*frame, this);
      if (entworfen) {
        platzieren(ansicht, *frame);
      } else {
        rahmen[frame] = new QVBoxLayout(ansicht);
        seite->addWidget(ansicht);
      }
      ansicht->NachAktion = [this] { NachAktion(); };
      ansichten_.push_back(ansicht);
    }
  }
  for (controls::Control* control : form.Steuerelemente()) {
    if (auto* grid = dynamic_cast<controls::Grid*>(control)) {
      auto* ansicht = new RasterAnsicht(*grid, this);
      raster_.push_back(ansicht);
      if (entworfen) {
        platzieren(ansicht, *grid);
      } else {
        ansicht->setMinimumSize(Pixel(std::max(grid->Width(), 1500.0f)),
                                Pixel(grid->Height() > 0 ? grid->Height() : 2000));
        aussen->addWidget(ansicht, 1);
      }
      binden(ansicht);
    } else if (auto* label = dynamic_cast<controls::Label*>(control)) {
      auto* ansicht = new Beschriftung(*label, this);
      if (!ueberschrift) {
        QFont schrift = ansicht->font();
        schrift.setBold(true);
        schrift.setPointSizeF(schrift.pointSizeF() * 1.2);
        ansicht->setFont(schrift);
        if (!entworfen) aussen->addWidget(ansicht);
        ueberschrift = true;
      } else if (!entworfen) {
        seite->addWidget(ansicht);
      }
      if (entworfen) platzieren(ansicht, *label);
      ansicht->NachAktion = [this] { NachAktion(); };
      ansichten_.push_back(ansicht);
    } else if (auto* feld = dynamic_cast<controls::MaskEdBox*>(control)) {
      auto* ansicht = new Maskenfeld(*feld, this);
      if (entworfen)
        platzieren(ansicht, *feld);  // the form's own labels name the field
      else
        felder->addRow(FeldBeschriftung(feld->Name()), ansicht);
      binden(ansicht);
    } else if (auto* combo = dynamic_cast<controls::ComboBox*>(control)) {
      bool ueberRaster = !combo->Visible();
      for (controls::Control* anderes : form.Steuerelemente())
        if (auto* g = dynamic_cast<controls::Grid*>(anderes))
          ueberRaster |= InnerhalbVon(*combo, *g);
      auto* ansicht = new Auswahlfeld(*combo, this);
      if (ueberRaster) {
        ansicht->Schwebt = true;
        schwebend_.push_back(ansicht);
      } else if (entworfen)
        platzieren(ansicht, *combo);
      else
        felder->addRow(FeldBeschriftung(combo->Name()), ansicht);
      binden(ansicht);
    } else if (auto* box = dynamic_cast<controls::CheckBox*>(control)) {
      auto* ansicht = new Kontrollkaestchen(*box, this);
      if (entworfen)
        platzieren(ansicht, *box);
      else
        seite->addWidget(ansicht);
      binden(ansicht);
    } else if (auto* option = dynamic_cast<controls::OptionButton*>(control)) {
      auto* ansicht = new Optionsfeld(*option, this);
      const auto platz = rahmen.find(option->Container());
      if (entworfen) {
        platzieren(ansicht, *option);  // above its frame, which was made first
        ansicht->raise();
      } else if (platz != rahmen.end())
        platz->second->addWidget(ansicht);
      else
        seite->addWidget(ansicht);
      binden(ansicht);
    } else if (auto* button = dynamic_cast<controls::CommandButton*>(control)) {
      auto* ansicht = new Schaltflaeche(*button, this);
      if (entworfen)
        platzieren(ansicht, *button);
      else
        knoepfe->addWidget(ansicht);
      binden(ansicht);
    }
  }
  if (!ueberschrift && !form.Caption.empty()) setWindowTitle(QString::fromStdString(form.Caption));
  mitte->addLayout(felder);
  mitte->addSpacing(16);
  seite->addStretch(1);
  mitte->addLayout(seite, 1);
  aussen->addLayout(mitte);
  aussen->addLayout(knoepfe);
  for (std::size_t i = 1; i < reihenfolge.size(); ++i)
    QWidget::setTabOrder(reihenfolge[i - 1], reihenfolge[i]);
  for (RasterAnsicht* raster : raster_) {
    auto nachziehen = [this] { Schwebende(); };
    connect(raster->verticalScrollBar(), &QScrollBar::valueChanged, this, nachziehen);
    connect(raster->horizontalScrollBar(), &QScrollBar::valueChanged, this, nachziehen);
  }
  Abgleichen();
  if (entworfen) {
    delete aussen;  // the widgets stand at their places; the layouts were unused
    // (After Abgleichen: the captions are known now.) The places were designed for a narrower
    // screen font than this one: the form is widened as far as the widest caption needs (at most by
    // half), keeping every place's proportions.
    double faktor = 1.0;
    for (const auto& [widget, c] : plaetze) {
      const bool beschriftet =
          qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget);
      if (beschriftet && c->Width() > 0)
        faktor = std::max(faktor, widget->sizeHint().width() / double(Pixel(c->Width())));
    }
    faktor = std::min(faktor, 1.5);
    auto x = [&](float twips) { return static_cast<int>(std::lround(Pixel(twips) * faktor)); };
    for (const auto& [widget, c] : plaetze)
      widget->setGeometry(x(c->Left()), Pixel(c->Top()), x(c->Left() + c->Width()) - x(c->Left()),
                          Pixel(c->Height()));
    setMinimumSize(x(form.Width), Pixel(form.Height));
  }
}

int Formularansicht::Pixel(float twips) const {
  return qt::Pixel(twips, this);
}

Formularansicht::~Formularansicht() {
  Loesen();
}

void Formularansicht::Abgleichen() {
  if (!gebunden_) return;
  for (Bindung* ansicht : ansichten_) ansicht->Abgleichen();
  Schwebende();
  setCursor(form_.Pointer == controls::MousePointer::Hourglass ? Qt::WaitCursor : Qt::ArrowCursor);
}

void Formularansicht::Loesen() {
  if (!gebunden_) return;
  gebunden_ = false;
  for (Bindung* ansicht : ansichten_) ansicht->Loesen();
}

void Formularansicht::NachAktion() {
  if (!gebunden_) return;
  Schwebende();
  setCursor(form_.Pointer == controls::MousePointer::Hourglass ? Qt::WaitCursor : Qt::ArrowCursor);
  emit Bedient();
}

void Formularansicht::Schwebende() {
  if (!gebunden_) return;
  for (Auswahlfeld* combo : schwebend_) {
    const controls::ComboBox& modell = combo->Modell();
    RasterAnsicht* ziel = nullptr;
    std::pair<std::int32_t, std::int32_t> zelle{0, 0};
    for (RasterAnsicht* raster : raster_) {
      if (!modell.Visible() || !InnerhalbVon(modell, raster->Raster())) continue;
      zelle = ZelleBei(raster->Raster(), modell.Left(), modell.Top());
      if (zelle.first) {
        ziel = raster;
        break;
      }
    }
    for (RasterAnsicht* raster : raster_) raster->Schwebend(raster == ziel ? combo : nullptr);
    if (!ziel) {
      combo->hide();
      continue;
    }
    const QRect rechteck =
        ziel->visualRect(ziel->model()->index(zelle.first - 1, zelle.second - 1));
    if (combo->parentWidget() != ziel->viewport()) combo->setParent(ziel->viewport());
    combo->setGeometry(rechteck.x(), rechteck.y(), rechteck.width(),
                       std::max(rechteck.height(), combo->sizeHint().height()));
    combo->setVisible(ziel->viewport()->rect().intersects(rechteck));
    combo->raise();
  }
}

}  // namespace tarvo::qt

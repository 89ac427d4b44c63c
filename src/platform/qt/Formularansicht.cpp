#include "platform/qt/Formularansicht.h"

#include <QAbstractButton>
#include <QFont>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "errors/Falle.h"
#include "errors/Protokoll.h"

#include "platform/controls/Grid.h"
#include "platform/qt/Ansichten.h"
#include "platform/qt/Masse.h"
#include "platform/qt/Protokollsaetze.h"
#include "platform/qt/RasterAnsicht.h"
#include "platform/qt/RasterModell.h"

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

// The button of the form whose caption is `caption` ("&OK", "&Abbruch"), or nullptr.
Schaltflaeche* Knopf(const std::vector<Bindung*>& ansichten, const char* caption) {
  for (Bindung* b : ansichten)
    if (auto* knopf = dynamic_cast<Schaltflaeche*>(b);
        knopf && knopf->Modell().Caption() == caption && knopf->isVisible() && knopf->isEnabled())
      return knopf;
  return nullptr;
}

// A yes/no question of the form view itself (not of the form), "Nein" the default.
bool Frage(QWidget* eltern, const QString& titel, const QString& text) {
  QMessageBox box(QMessageBox::Question, titel, text, QMessageBox::NoButton, eltern);
  box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                     Qt::WindowCloseButtonHint);
  QPushButton* ja = box.addButton("&Ja", QMessageBox::YesRole);
  QPushButton* nein = box.addButton("&Nein", QMessageBox::NoRole);
  box.setDefaultButton(nein);
  box.setEscapeButton(nein);
  box.exec();
  return box.clickedButton() == ja;
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
        ansicht->Zurueck = [this, ansicht](bool rueckwaerts) {
          ZurueckInsRaster(ansicht, rueckwaerts);
        };
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
  meldung_ = new QLabel(this);
  meldung_->setObjectName("Meldungszeile");
  meldung_->setWordWrap(true);
  meldung_->setStyleSheet("QLabel { color: #a00000; }");
  meldung_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  meldung_->hide();
  if (!entworfen) aussen->addWidget(meldung_);
  fehlerStand_ = protokoll::AnzahlGemeldet();
  for (Bindung* b : ansichten_)
    if (auto* knopf = dynamic_cast<Schaltflaeche*>(b); knopf && knopf->Modell().Caption() == "&OK")
      knopf->Rueckfrage = [this] { return HinweiseBestaetigen(); };
  Kuerzel();
  Abgleichen();
  entworfen_ = entworfen;
  if (entworfen) {
    delete aussen;  // the widgets stand at their places; the layouts were unused
    // (After Abgleichen: the captions are known now.) The places were designed for another
    // screen font than this one: the form grows evenly, across and down, until every caption,
    // heading and field shows whole, keeping every place's proportions.
    double breit = 1.0, hoch = 1.0;
    for (const auto& [widget, c] : plaetze) {
      if (c->Width() <= 0 || c->Height() <= 0) continue;
      if (auto* raster = qobject_cast<RasterAnsicht*>(widget)) {
        int noetig = 2 * raster->frameWidth() + raster->verticalHeader()->sizeHint().width() +
                     raster->verticalScrollBar()->sizeHint().width();
        for (std::int32_t s = 1; s <= raster->Raster().Cols(); ++s)
          noetig += raster->Spaltenbreite(s);
        breit = std::max(breit, noetig / double(Pixel(c->Width())));
        continue;
      }
      const bool beschriftet = qobject_cast<QLabel*>(widget) ||
                               qobject_cast<QAbstractButton*>(widget) ||
                               qobject_cast<QLineEdit*>(widget);
      if (!beschriftet) continue;
      const QSize noetig =
          qobject_cast<QLineEdit*>(widget) ? widget->minimumSizeHint() : widget->sizeHint();
      const int w = std::max(noetig.width(), widget->minimumWidth());
      breit = std::max(breit, w / double(Pixel(c->Width())));
      hoch = std::max(hoch, noetig.height() / double(Pixel(c->Height())));
    }
    breit = std::min(breit, 3.0);
    hoch = std::min(hoch, 2.0);
    auto x = [&](float twips) { return static_cast<int>(std::lround(Pixel(twips) * breit)); };
    auto y = [&](float twips) { return static_cast<int>(std::lround(Pixel(twips) * hoch)); };
    for (const auto& [widget, c] : plaetze) {
      const QRect basis(x(c->Left()), y(c->Top()), x(c->Left() + c->Width()) - x(c->Left()),
                        y(c->Top() + c->Height()) - y(c->Top()));
      const bool raster = qobject_cast<RasterAnsicht*>(widget) != nullptr;
      if (raster && rasterBasis_.isNull()) rasterBasis_ = basis;
      plaetze_.push_back({widget, basis, raster});
      widget->setGeometry(basis);
    }
    const int zeile = meldung_->fontMetrics().height();
    setMinimumSize(x(form.Width), y(form.Height) + 2 * zeile + 8);
    resize(minimumSize());
    Anordnen();
  }
}

void Formularansicht::resizeEvent(QResizeEvent* ereignis) {
  QWidget::resizeEvent(ereignis);
  if (entworfen_) Anordnen();
}

void Formularansicht::Anordnen() {
  const int dx = std::max(0, width() - minimumWidth());
  const int dy = std::max(0, height() - minimumHeight());
  for (const Platz& platz : plaetze_) {
    QRect r = platz.basis;
    if (platz.raster) {
      r.adjust(0, 0, dx, dy);
    } else if (!rasterBasis_.isNull()) {
      if (r.top() >= rasterBasis_.bottom()) r.translate(0, dy);
      if (r.left() >= rasterBasis_.right()) r.translate(dx, 0);
    }
    platz.widget->setGeometry(r);
  }
  const int zeile = meldung_->fontMetrics().height();
  const int rand = plaetze_.empty() ? 8 : std::max(4, plaetze_.front().basis.left());
  meldung_->setGeometry(rand, height() - 2 * zeile - 6, width() - 2 * rand, 2 * zeile + 4);
  Schwebende();
}

void Formularansicht::Kuerzel() {
  // Letters already taken by an "&" in a caption, then one for each check box and option
  // button without one: the first free letter of its caption, for a caption without letters
  // ("3.1") its last free digit.
  QSet<QChar> belegt;
  auto caption = [](Bindung* b) -> QString {
    if (auto* k = dynamic_cast<Kontrollkaestchen*>(b)) return k->text();
    if (auto* o = dynamic_cast<Optionsfeld*>(b)) return o->text();
    if (auto* s = dynamic_cast<Schaltflaeche*>(b)) return s->text();
    return {};
  };
  for (Bindung* b : ansichten_) b->Abgleichen();
  for (Bindung* b : ansichten_) {
    const QString text = caption(b);
    const qsizetype i = text.indexOf('&');
    if (i >= 0 && i + 1 < text.size()) belegt.insert(text.at(i + 1).toLower());
  }
  for (Bindung* b : ansichten_) {
    auto* knopf = dynamic_cast<QAbstractButton*>(&b->Widget());
    if (!knopf || dynamic_cast<Schaltflaeche*>(b)) continue;
    const QString text = caption(b);
    if (text.contains('&')) continue;
    bool buchstaben = false;
    for (QChar c : text) buchstaben |= c.isLetter();
    std::vector<qsizetype> reihe;
    for (qsizetype i = 0; i < text.size(); ++i)
      reihe.push_back(buchstaben ? i : text.size() - 1 - i);
    for (qsizetype i : reihe) {
      const QChar c = text.at(i).toLower();
      if (!(buchstaben ? c.isLetter() : c.isDigit()) || belegt.contains(c) || c.unicode() > 127)
        continue;
      belegt.insert(c);
      b->Kuerzel = i;
      break;
    }
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
  HinweiseZeigen();
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
  HinweiseZeigen();
  FehlerZeigen();
  setCursor(form_.Pointer == controls::MousePointer::Hourglass ? Qt::WaitCursor : Qt::ArrowCursor);
  emit Bedient();
}

void Formularansicht::Schwebende() {
  if (!gebunden_) return;
  // Each grid learns the one combo box floating over it, whichever of them comes last.
  std::map<RasterAnsicht*, Auswahlfeld*> ueber;
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
    if (!ziel) {
      combo->hide();
      continue;
    }
    ueber[ziel] = combo;
    const QRect rechteck =
        ziel->visualRect(ziel->model()->index(zelle.first - 1, zelle.second - 1));
    if (combo->parentWidget() != ziel->viewport()) combo->setParent(ziel->viewport());
    // The closed box shows its whole item, even where the column is narrower.
    const int breite = std::max(rechteck.width(), combo->sizeHint().width());
    const int links = std::max(0, std::min(rechteck.x(), ziel->viewport()->width() - breite));
    combo->setGeometry(links, rechteck.y(), breite,
                       std::max(rechteck.height(), combo->sizeHint().height()));
    combo->setVisible(ziel->viewport()->rect().intersects(rechteck));
    combo->raise();
  }
  for (RasterAnsicht* raster : raster_) {
    const auto combo = ueber.find(raster);
    raster->Schwebend(combo == ueber.end() ? nullptr : combo->second);
  }
}

void Formularansicht::ZurueckInsRaster(Auswahlfeld* combo, bool rueckwaerts) {
  for (RasterAnsicht* raster : raster_) {
    if (raster->Schwebend() != combo) continue;
    const auto zelle = ZelleBei(raster->Raster(), combo->Modell().Left(), combo->Modell().Top());
    // The grid takes the focus back: the form takes the combo's choice and moves on by one
    // column, which is Tab's step; Shift+Tab goes to the column before the combo box instead.
    raster->setFocus(Qt::TabFocusReason);
    if (rueckwaerts && zelle.first > 0 && zelle.second > 1)
      raster->ZelleAnklicken(zelle.first, zelle.second - 1);
    return;
  }
}

void Formularansicht::HinweiseZeigen() {
  std::vector<controls::Eingabehinweis> hinweise;
  Falle falle("Ansicht", "Eingabehinweise " + form_.Name());
  falle([&] { hinweise = form_.Eingabehinweise(); });
  for (RasterAnsicht* raster : raster_) {
    std::map<std::pair<std::int32_t, std::int32_t>, QString> zellen;
    for (const auto& h : hinweise)
      if (h.steuerelement == raster->Raster().Name() && h.zeile > 0)
        zellen[{h.zeile, h.spalte}] +=
            (zellen[{h.zeile, h.spalte}].isEmpty() ? "" : "\n") + QString::fromStdString(h.text);
    raster->Modell().Hinweise(std::move(zellen));
  }
  for (Bindung* b : ansichten_) {
    auto* feld = dynamic_cast<Maskenfeld*>(b);
    if (!feld) continue;
    QString text;
    for (const auto& h : hinweise)
      if (h.steuerelement == b->Steuerelement().Name())
        text += (text.isEmpty() ? "" : "\n") + QString::fromStdString(h.text);
    if (feld->toolTip() == text) continue;
    feld->setToolTip(text);
    feld->setStyleSheet(text.isEmpty() ? QString()
                                       : QString("QLineEdit { background-color: #ffd6d6; }"));
  }
  hinweise_ = std::move(hinweise);
}

std::string Formularansicht::Fingerabdruck() const {
  std::string abdruck;
  for (const controls::Control* c : form_.Steuerelemente()) {
    if (auto* m = dynamic_cast<const controls::MaskEdBox*>(c)) abdruck += m->Text() + '\x1f';
    if (auto* g = dynamic_cast<const controls::Grid*>(c))
      for (std::int32_t r = 1; r <= g->Rows(); ++r)
        for (std::int32_t s = 1; s <= g->Cols(); ++s) abdruck += g->TextMatrix(r, s) + '\x1f';
  }
  return abdruck;
}

void Formularansicht::FehlerZeigen() {
  const std::int64_t stand = protokoll::AnzahlGemeldet();
  if (stand == fehlerStand_) {
    // The message stays until the form's values change.
    if (meldung_->isVisible() && Fingerabdruck() != meldungsStand_) meldung_->hide();
    return;
  }
  const std::int64_t neu = stand - fehlerStand_;
  fehlerStand_ = stand;
  // The records this action wrote, with the cell the grid stands on.
  std::vector<Protokollsatz> saetze = ProtokollLesen(protokoll::Datei());
  if (static_cast<std::int64_t>(saetze.size()) > neu)
    saetze.erase(saetze.begin(), saetze.end() - neu);
  QString ort;
  for (RasterAnsicht* raster : raster_) {
    const controls::Grid& g = raster->Raster();
    if (g.HasFocus() && g.Row() > 0 && g.Col() > 0)
      ort = QString("Zeile %1, %2 »%3«: ")
                .arg(g.Row())
                .arg(QString::fromStdString(g.ColHeading(g.Col())).trimmed())
                .arg(QString::fromStdString(g.TextMatrix(g.Row(), g.Col())).trimmed());
  }
  QStringList zeilen;
  for (const Protokollsatz& satz : saetze)
    zeilen << ort + satz.meldung + QString(" (Fehler %1 in %2)").arg(satz.nummer).arg(satz.ort);
  if (zeilen.isEmpty())
    zeilen << ort + QString("%1 Fehler protokolliert (Protokoll ▸ Verw.log anzeigen).").arg(neu);
  meldung_->setText("ACHTUNG: " + zeilen.join("; "));
  meldung_->show();
  meldung_->raise();
  meldungsStand_ = Fingerabdruck();
}

QString Formularansicht::Meldung() const {
  return meldung_->isVisible() ? meldung_->text() : QString();
}

bool Formularansicht::HinweiseBestaetigen() {
  for (RasterAnsicht* raster : raster_) raster->EditorUebernehmen();
  HinweiseZeigen();
  if (hinweise_.empty()) return true;
  QString liste;
  for (const auto& h : hinweise_) liste += "• " + QString::fromStdString(h.text) + "\n";
  return Frage(this, windowTitle(),
               "Diese Eingaben sind auffällig:\n\n" + liste + "\nTrotzdem übernehmen?");
}

bool Formularansicht::AbbruchFragen() {
  Schaltflaeche* abbruch = Knopf(ansichten_, "&Abbruch");
  if (!abbruch) return false;
  if (!Frage(this, windowTitle(),
             "Die Eingaben verwerfen und das Formular schließen? Es wird nichts geschrieben."))
    return false;
  abbruch->click();
  return true;
}

void Formularansicht::keyPressEvent(QKeyEvent* ereignis) {
  const bool strg = ereignis->modifiers() & Qt::ControlModifier;
  if (ereignis->key() == Qt::Key_Escape && gebunden_ && Knopf(ansichten_, "&Abbruch")) {
    AbbruchFragen();
    return;
  }
  if ((ereignis->key() == Qt::Key_Return || ereignis->key() == Qt::Key_Enter) && strg &&
      gebunden_) {
    if (Schaltflaeche* ok = Knopf(ansichten_, "&OK")) {
      ok->setFocus(Qt::ShortcutFocusReason);
      ok->click();
      return;
    }
  }
  QWidget::keyPressEvent(ereignis);
}

}  // namespace tarvo::qt

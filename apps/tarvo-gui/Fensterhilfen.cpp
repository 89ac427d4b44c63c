#include "Fensterhilfen.h"

#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "errors/Falle.h"
#include "platform/controls/Bildschirm.h"
#include "platform/qt/QtBildschirm.h"

namespace tarvo::gui {
namespace {

constexpr const char* kAnwendung = "tarvo-gui";

}  // namespace

std::string Einstellung(const std::string& abschnitt, const std::string& schluessel) {
  return controls::Bildschirm::Aktuell().GetSetting(kAnwendung, abschnitt, schluessel, "");
}

void EinstellungSichern(const std::string& abschnitt, const std::string& schluessel,
                        const std::string& wert) {
  Falle falle("Hauptfenster", "EinstellungSichern");
  falle([&] {
    controls::Bildschirm::Aktuell().SaveSetting(kAnwendung, abschnitt, schluessel, wert);
  });
}

int Fragen(QWidget* eltern, const QString& titel, const QString& text, const QStringList& knoepfe,
           int vorgabe, int abbruch) {
  QMessageBox frage(QMessageBox::Question, titel, text, QMessageBox::NoButton, eltern);
  frage.setWindowFlags(qt::kDialogRahmen);
  frage.setObjectName("Frage");
  std::vector<QPushButton*> liste;
  for (const QString& k : knoepfe) liste.push_back(frage.addButton(k, QMessageBox::ActionRole));
  frage.setDefaultButton(liste[vorgabe]);
  frage.setEscapeButton(liste[abbruch]);
  frage.exec();
  for (std::size_t i = 0; i < liste.size(); ++i)
    if (frage.clickedButton() == liste[i]) return static_cast<int>(i);
  return abbruch;
}

}  // namespace tarvo::gui

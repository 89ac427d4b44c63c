// Fensterhilfen: small helpers the host window's units share: German text into Qt, the host's
// own sections of the settings file ([tarvo-gui\…]), and a question with buttons of its own.
// Writing a setting that fails is logged, never thrown.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

class QWidget;

namespace tarvo::gui {

inline QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The value under [tarvo-gui\<abschnitt>] in the settings file; "" when there is none.
std::string Einstellung(const std::string& abschnitt, const std::string& schluessel);
void EinstellungSichern(const std::string& abschnitt, const std::string& schluessel,
                        const std::string& wert);

// Asks `text` with the buttons `knoepfe` (window title `titel`); returns the index of the
// button pressed, `abbruch` for Escape or the window's close button.
int Fragen(QWidget* eltern, const QString& titel, const QString& text, const QStringList& knoepfe,
           int vorgabe, int abbruch);

}  // namespace tarvo::gui

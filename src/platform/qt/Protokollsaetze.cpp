#include "platform/qt/Protokollsaetze.h"

#include <QRegularExpression>
#include <QStringList>
#include <fstream>
#include <sstream>

namespace tarvo::qt {

std::vector<Protokollsatz> ProtokollsaetzeLesen(const QString& text) {
  static const QRegularExpression kopf("^(\\S+ \\d\\d:\\d\\d)\\s+Error (-?\\d+):");
  static const QRegularExpression zeile("^Zeile: *(-?\\d+)");
  QStringList zeilen = QString(text).remove('\r').split('\n');
  std::vector<Protokollsatz> saetze;
  for (qsizetype i = 0; i + 3 < zeilen.size(); ++i) {
    const QRegularExpressionMatch k = kopf.match(zeilen[i]);
    if (!k.hasMatch() || !zeilen[i + 3].startsWith("Ort")) continue;
    Protokollsatz satz;
    satz.zeit = k.captured(1);
    satz.nummer = k.captured(2).toInt();
    satz.meldung = zeilen[i + 1].trimmed();
    if (const auto z = zeile.match(zeilen[i + 2]); z.hasMatch()) satz.zeile = z.captured(1).toInt();
    satz.ort = zeilen[i + 3].section(':', 1).trimmed();
    if (i + 4 < zeilen.size() && zeilen[i + 4].startsWith("User")) {
      satz.benutzer = zeilen[i + 4].section(':', 1).trimmed();
      if (satz.benutzer.remove(',').trimmed().isEmpty()) satz.benutzer.clear();
    }
    saetze.push_back(satz);
    i += 4;
  }
  return saetze;
}

std::vector<Protokollsatz> ProtokollLesen(const std::filesystem::path& datei) {
  std::ifstream ein(datei, std::ios::binary);
  if (!ein) return {};
  std::ostringstream inhalt;
  inhalt << ein.rdbuf();
  return ProtokollsaetzeLesen(QString::fromStdString(inhalt.str()));
}

}  // namespace tarvo::qt

#include "fees/GebuehrTabellen.h"

#include <array>
#include <cmath>

#include "errors/Falle.h"
#include "errors/Pruefen.h"

namespace tarvo {
namespace {

constexpr std::array<std::int32_t, 11> kTabelle1 = {0,    235,  470,  685,  890, 1079,
                                                    1258, 1421, 1570, 1697, 1815};
constexpr std::array<std::int32_t, 11> kTabelle4 = {0,    327,  588,  849,  1094, 1324,
                                                    1539, 1744, 1938, 2122, 2301};

// Columns "I", "II", "III", other; rows are the four area bands.
constexpr std::int32_t kTabelle2[4][4] = {
    {256, 435, 537, 307},
    {409, 639, 741, 460},
    {562, 844, 946, 665},
    {716, 997, 1202, 844},
};

// Fee for a count: the table's entry for 0…10, otherwise the last entry plus `schritt` for
// every point beyond ten, in 32-bit arithmetic (throws 6 on overflow).
double NachAnzahl(const std::array<std::int32_t, 11>& tabelle, std::int32_t schritt,
                  std::int32_t anzahl) {
  if (anzahl >= 0 && anzahl <= 10) return tabelle[anzahl];
  return LongPlus(tabelle[10], LongMal(schritt, LongMinus(anzahl, 10)));
}

int Spalte(const std::string& kategorie) {
  if (kategorie == "I") return 0;
  if (kategorie == "II") return 1;
  if (kategorie == "III") return 2;
  return 3;
}

}  // namespace

double GebührAusTabelle1(std::int32_t Anzahl) {
  Falle falle("modStatus", "GebührAusTabelle1");
  double gebuehr = 0;
  falle([&] { gebuehr = NachAnzahl(kTabelle1, 118, Anzahl); });
  return gebuehr;
}

double GebührAusTabelle4(std::int32_t Anzahl) {
  Falle falle("modStatus", "GebührAusTabelle4");
  double gebuehr = 0;
  falle([&] { gebuehr = NachAnzahl(kTabelle4, 179, Anzahl); });
  return gebuehr;
}

double GebührAusTabelle2(std::int32_t Quadratmeter, const std::string& Kategorie) {
  Falle falle("modStatus", "GebührAusTabelle2");
  double gebuehr = 0;
  falle([&] {
    const std::int32_t m = Quadratmeter;
    const int spalte = Spalte(Kategorie);
    if (m >= 0 && m <= 150) {
      gebuehr = kTabelle2[0][spalte];
    } else if (m >= 151 && m <= 1400) {
      gebuehr = kTabelle2[1][spalte];
    } else if (m >= 1401 && m <= 5000) {
      gebuehr = kTabelle2[2][spalte];
    } else if (m >= 5001 && m <= 10000) {
      gebuehr = kTabelle2[3][spalte];
    } else {
      // Each started further 10000 m² adds 51 euro; the division is a Double division.
      double angefangen = std::floor(LongMinus(m, 1) / 10000.0);
      gebuehr = kTabelle2[3][spalte] + 51 * angefangen;
    }
  });
  return gebuehr;
}

}  // namespace tarvo

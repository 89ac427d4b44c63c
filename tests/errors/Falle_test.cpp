#include "errors/Falle.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "errors/Fehler.h"

namespace tarvo {
namespace {

TEST(Falle, ContinuesWithNextStatementAfterAFailure) {
  Falle falle("Test", "Weiter");
  int schritte = 0;
  EXPECT_FALSE(falle([&] { throw Laufzeitfehler(fehlernummer::Ueberlauf); }));
  EXPECT_TRUE(falle([&] { ++schritte; }));
  EXPECT_EQ(schritte, 1);
  EXPECT_EQ(falle.Fehlschlaege(), 1);
  EXPECT_EQ(Err().Number, 6);
  EXPECT_EQ(Err().Description, "Überlauf");
}

TEST(Falle, ForeignExceptionsAreReportedAsInternalErrors) {
  LetzterFehler() = GO_Error();
  Falle falle("Test", "Fremd");
  EXPECT_FALSE(falle([] { throw std::runtime_error("kaputt"); }));
  EXPECT_EQ(LetzterFehler().strNr, "51");
  EXPECT_EQ(LetzterFehler().strFehler, "Interner Fehler: kaputt");
  EXPECT_FALSE(falle([] { throw 42; }));
  EXPECT_FALSE(falle([] { throw std::bad_alloc(); }));
  EXPECT_EQ(Err().Number, 7);
  EXPECT_EQ(falle.Fehlschlaege(), 3);
  LetzterFehler() = GO_Error();
}

TEST(Falle, StillSkipsWithoutReporting) {
  LetzterFehler() = GO_Error();
  auto vorher = protokoll::AnzahlGemeldet();
  Falle falle("Test", "Still");
  EXPECT_FALSE(falle.Still([] { throw Laufzeitfehler(fehlernummer::ElementFehlt); }));
  EXPECT_TRUE(falle.Still([] {}));
  EXPECT_EQ(protokoll::AnzahlGemeldet(), vorher);
  EXPECT_EQ(LetzterFehler().Funktionsname, "");
  EXPECT_EQ(Err().Number, 5941);
}

}  // namespace
}  // namespace tarvo

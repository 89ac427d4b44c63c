#include "errors/Falle.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tarvo

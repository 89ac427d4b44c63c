// Where the corpus of real-world documents lies, and what a test that needs it does without it.
// The corpus is read in place: $TARVO_KORPUS names its folder, otherwise the folder beside the
// checkout the build was configured with. A clone without it skips the corpus tests and says
// why; with $TARVO_KORPUS_PFLICHT=1 (continuous integration) a missing corpus fails them.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tarvo::test {

inline std::filesystem::path KorpusOrdner() {
  if (const char* ordner = std::getenv("TARVO_KORPUS"); ordner && *ordner) return ordner;
  return TARVO_CORPUS_DIR;
}

inline bool KorpusDa() {
  std::error_code fehler;
  return std::filesystem::is_regular_file(KorpusOrdner() / "SOURCES.md", fehler);
}

inline bool KorpusPflicht() {
  const char* pflicht = std::getenv("TARVO_KORPUS_PFLICHT");
  return pflicht && std::string(pflicht) == "1";
}

inline std::string KorpusFehlt() {
  return "Korpus nicht gefunden in " + KorpusOrdner().string() +
         " (ohne ../shared/corpus/docx neben dem Checkout; TARVO_KORPUS=ORDNER nennt einen "
         "anderen)";
}

}  // namespace tarvo::test

// Opens a test (or its SetUp) that reads the corpus: skipped with the reason when it is missing,
// failed instead when the corpus is required.
#define TARVO_KORPUS_NOETIG()                                                     \
  do {                                                                            \
    if (!::tarvo::test::KorpusDa()) {                                             \
      if (::tarvo::test::KorpusPflicht()) FAIL() << ::tarvo::test::KorpusFehlt(); \
      GTEST_SKIP() << ::tarvo::test::KorpusFehlt();                               \
    }                                                                             \
  } while (false)

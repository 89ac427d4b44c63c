// The preview after "OK": from Vorschau::Zeigen with the changed invoice until its pages are
// rendered at the dock's width (offscreen platform), for the demo's one-page letter and its
// two-page invoice. "warm": the LibreOffice kept running between conversions (started by an
// untimed first conversion, as opening the invoice does in the desktop, and up when the next one
// is asked for, as after a while of reading); "einzeln": each conversion starts LibreOffice
// itself with the kept profile. Target: 1.5 s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "QtBenchmark.h"
#include "Vorschau.h"
#include "platform/word/Document.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Ordner() {
  static const fs::path ordner =
      fs::temp_directory_path() / ("tarvo-vorschau-bench-" + std::to_string(::getpid()));
  return ordner;
}

// The demo's template (one page) or its invoice with all four statements (two pages).
std::shared_ptr<tarvo::word::Document> Dokument(bool rechnung) {
  const fs::path demo = Ordner() / "demo";
  if (!fs::exists(demo / "Rechnung.docx")) {
    const std::string befehl =
        std::string("\"") + TARVO_EXE + "\" demo \"" + demo.string() + "\" > /dev/null 2>&1";
    if (std::system(befehl.c_str()) != 0 && !fs::exists(demo / "Rechnung.docx")) return nullptr;
  }
  return tarvo::word::Document::Open(demo / (rechnung ? "Rechnung.docx" : "Vorlage.docx"));
}

bool Warten(tarvo::gui::Vorschau& vorschau) {
  QSignalSpy fertig(&vorschau, &tarvo::gui::Vorschau::Fertig);
  return fertig.wait(120000);
}

void Vorschau(benchmark::State& state) {
  const bool warm = state.range(0) == 1;
  const bool rechnung = state.range(1) == 2;
  if (QStandardPaths::findExecutable("soffice").isEmpty())
    return state.SkipWithError("LibreOffice ist nicht installiert");
  auto dokument = Dokument(rechnung);
  if (!dokument) return state.SkipWithError("tarvo demo ist fehlgeschlagen");
  tarvo::gui::Vorschau vorschau;
  vorschau.SetzeDienst(warm);
  vorschau.resize(460, 760);
  vorschau.show();
  // The first conversion (the document opened) starts LibreOffice and makes the profile.
  vorschau.Zeigen(dokument);
  if (!Warten(vorschau)) return state.SkipWithError("die erste Umwandlung endete nicht");
  for (auto _ : state) {
    state.PauseTiming();
    // As after a while of reading: the LibreOffice started after the last conversion is up.
    QElapsedTimer frist;
    frist.start();
    while (warm && !vorschau.Bereit() && frist.elapsed() < 30000) QTest::qWait(50);
    if (warm && !vorschau.Bereit()) {
      state.SkipWithError("es wartete kein LibreOffice");
      break;
    }
    QTest::qWait(1000);
    state.ResumeTiming();
    vorschau.Zeigen(dokument);
    if (!Warten(vorschau) || vorschau.Seitenzahl() < 1 || vorschau.UeberDienst() != warm) {
      state.SkipWithError(vorschau.Hinweis().toStdString().c_str());
      break;
    }
  }
  state.counters["Seiten"] = vorschau.Seitenzahl();
}
BENCHMARK(Vorschau)
    ->ArgNames({"warm", "seiten"})
    ->Args({1, 1})
    ->Args({1, 2})
    ->Args({0, 1})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return QtBenchmarksLaufen(argc, argv, Ordner());
}

// `tarvo run` of a category-1 statement with N parcels, from the job file to the saved invoice:
// the program is started once per iteration on a job that enters every parcel through the
// form's grid (text, category through the combo box, area; a new row with Tab), presses "OK"
// and saves the invoice. Target: N = 1000 under 0.5 s, N = 5000 at most 6 times that.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/dao/Database.h"
#include "platform/dao/JobSchema.h"
#include "platform/dao/Workspace.h"
#include "platform/word/Document.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Ordner() {
  static const fs::path ordner = [] {
    const fs::path o =
        fs::temp_directory_path() / ("tarvo-kat1-bench-" + std::to_string(::getpid()));
    fs::create_directories(o);
    auto dokument = tarvo::word::Document::New();
    dokument->Range(0, 0).InsertAfter("Wir berechnen:\rZusammenfassung\r");
    dokument->Comments().Add(dokument->Range(15, 30), "lumoStart");
    dokument->Save(o / "Vorlage.docx");
    tarvo::dao::Workspace arbeitsbereich;
    auto datenbank = arbeitsbereich.CreateDatabase((o / "Auftraege.db").string());
    datenbank->Execute(std::string(tarvo::dao::JobDatabaseSchema()));
    datenbank->Execute(std::string(tarvo::dao::JobDatabaseSample()));
    datenbank->Close();
    return o;
  }();
  return ordner;
}

// The job file of N parcels in all four categories, areas across the bands.
fs::path Auftrag(int parzellen) {
  const fs::path datei = Ordner() / ("Auftrag" + std::to_string(parzellen) + ".json");
  if (fs::exists(datei)) return datei;
  nlohmann::ordered_json zeilen = nlohmann::ordered_json::array();
  const char* kategorien[] = {"I", "II", "III", "IV"};
  for (int i = 1; i <= parzellen; ++i)
    zeilen.push_back(
        {"Flst.Nr. " + std::to_string(i), kategorien[i % 4], std::to_string(100 + 7 * i)});
  nlohmann::ordered_json auftrag = {
      {"dokument", "Vorlage.docx"},
      {"ausgabe", "Rechnung" + std::to_string(parzellen) + ".docx"},
      {"datenbank", "Auftraege.db"},
      {"benutzer", 1},
      {"rechnung", 1},
      {"kategorie", 0},
      {"eingaben",
       {{"zeilen", zeilen}, {"mskAnzahl", "12"}, {"mskGP", "3"}, {"mskAnteil", "500"}}}};
  std::ofstream(datei) << auftrag.dump();
  return datei;
}

void Kat1Lauf(benchmark::State& state) {
  const fs::path datei = Auftrag(static_cast<int>(state.range(0)));
  const std::string befehl = "TARVO_LOG_DIR='" + Ordner().string() + "' TARVO_CONFIG_DIR='" +
                             Ordner().string() + "' '" + TARVO_EXE + "' run '" + datei.string() +
                             "' >/dev/null";
  // CPU time of the started program (user + system), apart from the wall time, which on a
  // shared machine also counts waiting for the processor and the disk.
  auto kindCpu = [] {
    rusage nutzung{};
    ::getrusage(RUSAGE_CHILDREN, &nutzung);
    return nutzung.ru_utime.tv_sec + nutzung.ru_stime.tv_sec +
           (nutzung.ru_utime.tv_usec + nutzung.ru_stime.tv_usec) / 1e6;
  };
  const double cpuVorher = kindCpu();
  for (auto _ : state) {
    const int status = std::system(befehl.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("tarvo run ist fehlgeschlagen");
      break;
    }
  }
  state.counters["Parzellen"] = static_cast<double>(state.range(0));
  state.counters["CPU_s"] = benchmark::Counter((kindCpu() - cpuVorher) / state.iterations());
}
BENCHMARK(Kat1Lauf)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code egal;
  fs::remove_all(Ordner(), egal);
  return 0;
}

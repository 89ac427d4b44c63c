// Benchmarks of the document model: writing a statement table of N rows into a new document and
// saving it (cost must grow with the rows, not with the document), and loading and saving the
// largest document of the corpus.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "platform/word/Document.h"

namespace {

namespace fs = std::filesystem;
using namespace tarvo::word;

fs::path Ziel(const char* name) {
  return fs::temp_directory_path() / name;
}

// One 5-column table of N rows; four cells of text per row, as a fee statement is written.
void BM_TabelleSchreiben(benchmark::State& state) {
  const auto zeilen = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    auto doc = Document::New();
    Range ende = doc->Content();
    ende.Collapse(wdCollapseEnd);
    Table t = doc->Tables().Add(ende, zeilen, 5);
    for (std::int32_t r = 1; r <= zeilen; ++r) {
      t.Cell(r, 1).Range().InsertAfter("Flurstück " + std::to_string(r));
      t.Cell(r, 2).Range().InsertAfter("III");
      t.Cell(r, 3).Range().InsertAfter(std::to_string(100 + r) + " m²");
      t.Cell(r, 5).Range().InsertAfter("   1.234,50 €");
    }
    doc->Save(Ziel("tarvo_bench_tabelle.docx"));
  }
  state.SetItemsProcessed(state.iterations() * zeilen);
}
BENCHMARK(BM_TabelleSchreiben)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// The same table grown row by row with Rows.Add, as the totals table is.
void BM_TabelleZeilenweise(benchmark::State& state) {
  const auto zeilen = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    auto doc = Document::New();
    Range ende = doc->Content();
    ende.Collapse(wdCollapseEnd);
    Table t = doc->Tables().Add(ende, 1, 5);
    for (std::int32_t r = 1; r <= zeilen; ++r) {
      if (r > 1) t.Rows().Add();
      for (std::int32_t c : {1, 2, 3, 5})
        t.Cell(r, c).Range().InsertAfter("Text " + std::to_string(r));
    }
    doc->Save(Ziel("tarvo_bench_zeilen.docx"));
  }
  state.SetItemsProcessed(state.iterations() * zeilen);
}
BENCHMARK(BM_TabelleZeilenweise)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// Load and save of the largest corpus document (12.6 MB main part), with and without an edit.
void BM_GrossesDokument(benchmark::State& state) {
  fs::path quelle = fs::path(TARVO_CORPUS_DIR) / "poi__bug65649.docx";
  if (!fs::exists(quelle)) {
    state.SkipWithError("Korpusdatei fehlt");
    return;
  }
  const bool bearbeiten = state.range(0) != 0;
  for (auto _ : state) {
    auto doc = Document::Open(quelle);
    if (bearbeiten) doc->Range(0, 0).InsertAfter("x");
    doc->Save(Ziel("tarvo_bench_gross.docx"));
  }
}
BENCHMARK(BM_GrossesDokument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

// A letter with N comment markers, each comment looked at by index through the document's
// comments as the amount fields are searched: the list is asked for again at every step.
void BM_KommentareDurchsuchen(benchmark::State& state) {
  const auto anzahl = static_cast<std::int32_t>(state.range(0));
  auto doc = Document::New();
  for (std::int32_t i = 0; i < anzahl; ++i) {
    Range ende = doc->Content();
    ende.Collapse(wdCollapseEnd);
    ende.InsertAfter("Absatz " + std::to_string(i) + "\r");
    doc->Comments().Add(doc->Range(ende.Start(), ende.Start() + 6), "Notiz");
  }
  for (auto _ : state) {
    std::int32_t treffer = 0;
    for (std::int32_t i = 1; i <= doc->Comments().Count(); ++i)
      treffer += doc->Comments().Item(i).Range().Text() == "Summe\r";
    benchmark::DoNotOptimize(treffer);
  }
  state.SetItemsProcessed(state.iterations() * anzahl);
}
BENCHMARK(BM_KommentareDurchsuchen)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

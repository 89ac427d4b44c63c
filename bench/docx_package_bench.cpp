// Load and save of the largest corpus document (a 12.6 MB main part): through the package as
// bytes only, with the main part parsed into a DOM and serialised again, and through the
// document model. Reports the process's peak memory against the size of the main part's XML.
// Run: build/bench/docx_package_bench [--benchmark_filter=...] (one filter per run gives the
// peak memory of that case alone).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "platform/word/Core.h"
#include "platform/word/Document.h"
#include "platform/word/docx/Package.h"

namespace {

namespace fs = std::filesystem;
using tarvo::word::docx::Package;

const fs::path kGross = fs::path(TARVO_CORPUS_DIR) / "poi__bug65649.docx";

struct StringWriter : pugi::xml_writer {
  std::string text;
  void write(const void* data, std::size_t size) override {
    text.append(static_cast<const char*>(data), size);
  }
};

fs::path Ziel() {
  return fs::temp_directory_path() / "tarvo-docx-package-bench.docx";
}

void PeakMemory(benchmark::State& state, std::size_t xmlBytes) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  double peak = static_cast<double>(usage.ru_maxrss) * 1024.0;
  state.counters["peak_MB"] = peak / 1e6;
  state.counters["peak_per_xml"] = peak / static_cast<double>(xmlBytes);
  state.counters["xml_MB"] = static_cast<double>(xmlBytes) / 1e6;
}

// Open and save; every part is copied with its compressed data.
void BM_PackageOpenSave(benchmark::State& state) {
  std::size_t xmlBytes = 0;
  for (auto _ : state) {
    Package package = Package::Open(kGross);
    xmlBytes = package.PartBytes(package.MainPartName()).size();
    package.Save(Ziel());
  }
  PeakMemory(state, xmlBytes);
}
BENCHMARK(BM_PackageOpenSave)->Unit(benchmark::kMillisecond);

// Open, parse the main part into a DOM, serialise it, put it back and save (packed anew).
void BM_PackageOpenParseSerialiseSave(benchmark::State& state) {
  std::size_t xmlBytes = 0;
  for (auto _ : state) {
    Package package = Package::Open(kGross);
    const std::string main = package.MainPartName();
    xmlBytes = package.PartBytes(main).size();
    pugi::xml_document doc;
    package.ParseXml(main, doc);
    StringWriter out;
    out.text.reserve(xmlBytes + xmlBytes / 8);
    doc.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    package.SetPart(main, std::move(out.text));
    package.Save(Ziel());
  }
  PeakMemory(state, xmlBytes);
}
BENCHMARK(BM_PackageOpenParseSerialiseSave)->Unit(benchmark::kMillisecond);

// Through the document model: open (main part parsed, story indexed), write the DOM back as an
// edit would, save.
void BM_DocumentOpenSave(benchmark::State& state) {
  std::size_t xmlBytes = 0;
  for (auto _ : state) {
    auto dokument = tarvo::word::Document::Open(kGross);
    dokument->Core()->mainDirty = true;
    dokument->Save(Ziel());
    xmlBytes = dokument->MainXml().size();
  }
  PeakMemory(state, xmlBytes);
}
BENCHMARK(BM_DocumentOpenSave)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

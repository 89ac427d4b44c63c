// The category-1 form on screen (offscreen platform) over an invoice whose statement has N
// parcels: opening the form until it is shown (the table choice dialog answered "1. vorhandener
// Eintrag" through its widgets, the grid view built and painted), and one edit of an area cell
// committed through the grid view's model, fee recalculated and the view repainted. Targets:
// opening under 0.3 s for N = 1000, one edit under 20 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "Auftragsfuehrung.h"
#include "QtBenchmark.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Form.h"
#include "platform/controls/Grid.h"
#include "platform/dao/Database.h"
#include "platform/dao/JobSchema.h"
#include "platform/dao/Workspace.h"
#include "platform/qt/Formularansicht.h"
#include "platform/qt/QtBildschirm.h"
#include "platform/word/Document.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Ordner() {
  static const fs::path ordner =
      fs::temp_directory_path() / ("tarvo-gui-bench-" + std::to_string(::getpid()));
  return ordner;
}

// An invoice with a statement of N parcels, written by `tarvo run`.
fs::path Rechnung(int parzellen) {
  const fs::path o = Ordner() / std::to_string(parzellen);
  if (fs::exists(o / "Rechnung.docx")) return o / "Rechnung.docx";
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
  nlohmann::ordered_json zeilen = nlohmann::ordered_json::array();
  const char* kategorien[] = {"I", "II", "III", "IV"};
  for (int i = 1; i <= parzellen; ++i)
    zeilen.push_back(
        {"Flst.Nr. " + std::to_string(i), kategorien[i % 4], std::to_string(100 + 7 * i)});
  nlohmann::ordered_json auftrag = {
      {"dokument", "Vorlage.docx"},
      {"ausgabe", "Rechnung.docx"},
      {"datenbank", "Auftraege.db"},
      {"benutzer", 1},
      {"rechnung", 1},
      {"kategorie", 0},
      {"eingaben", {{"zeilen", zeilen}, {"mskAnzahl", "12"}, {"mskAnteil", "500"}}}};
  std::ofstream(o / "Auftrag.json") << auftrag.dump();
  const std::string befehl = "TARVO_LOG_DIR='" + o.string() + "' TARVO_CONFIG_DIR='" + o.string() +
                             "' '" + TARVO_EXE + "' run '" + (o / "Auftrag.json").string() +
                             "' >/dev/null";
  if (std::system(befehl.c_str()) != 0) return {};
  return o / "Rechnung.docx";
}

// Answers the table choice dialog with its first entry and "OK", through the widgets.
void TabellenwahlBeantworten() {
  QTimer::singleShot(0, [] {
    QWidget* dialog = QApplication::activeModalWidget();
    for (int versuch = 0; !dialog && versuch < 100; ++versuch) {
      QCoreApplication::processEvents();
      dialog = QApplication::activeModalWidget();
    }
    if (!dialog) return;
    if (auto* eintrag = dialog->findChild<QRadioButton*>("optTabelle(0)")) eintrag->click();
    if (auto* ok = dialog->findChild<QPushButton*>("cmdEnde")) ok->click();
  });
}

struct Sitzung {
  std::shared_ptr<tarvo::qt::QtBildschirm> bildschirm = std::make_shared<tarvo::qt::QtBildschirm>();
  tarvo::gui::Auftragsfuehrung auftrag;
  Sitzung(const fs::path& rechnung) {
    tarvo::controls::Bildschirm::Setzen(bildschirm);
    auftrag.Oeffnen(rechnung, rechnung.parent_path() / "Auftraege.db", 1, 1);
  }
  tarvo::controls::Form& Oeffnen() {
    TabellenwahlBeantworten();
    tarvo::controls::Form& form = auftrag.FormularZeigen(0, 0, {});
    QCoreApplication::processEvents();  // shown and painted
    return form;
  }
  ~Sitzung() { tarvo::controls::Bildschirm::Setzen(nullptr); }
};

void FormularOeffnen(benchmark::State& state) {
  const fs::path rechnung = Rechnung(static_cast<int>(state.range(0)));
  if (rechnung.empty()) return state.SkipWithError("tarvo run ist fehlgeschlagen");
  Sitzung sitzung(rechnung);
  std::int32_t zeilen = 0;
  for (auto _ : state) {
    tarvo::controls::Form& form = sitzung.Oeffnen();
    state.PauseTiming();
    zeilen = form.Steuerelement<tarvo::controls::Grid>("GridGebühren1").Rows();
    form.Steuerelement<tarvo::controls::CommandButton>("CommandAbbruch").UserPress();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
  state.counters["Parzellen"] = static_cast<double>(state.range(0));
  state.counters["Rasterzeilen"] = zeilen;  // the statement read back: as many as parcels
}
BENCHMARK(FormularOeffnen)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void ZelleBearbeiten(benchmark::State& state) {
  const int parzellen = static_cast<int>(state.range(0));
  const fs::path rechnung = Rechnung(parzellen);
  if (rechnung.empty()) return state.SkipWithError("tarvo run ist fehlgeschlagen");
  Sitzung sitzung(rechnung);
  tarvo::controls::Form& form = sitzung.Oeffnen();
  auto* raster = sitzung.bildschirm->Ansicht(form)->findChild<QTableView*>("GridGebühren1");
  const QModelIndex zelle = raster->model()->index(parzellen / 2, 2);
  int i = 0;
  for (auto _ : state) {
    raster->model()->setData(zelle, QString::number(1200 + (++i % 2) * 100), Qt::EditRole);
    QCoreApplication::processEvents();
  }
  form.Steuerelement<tarvo::controls::CommandButton>("CommandAbbruch").UserPress();
  state.counters["Parzellen"] = static_cast<double>(parzellen);
}
BENCHMARK(ZelleBearbeiten)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return QtBenchmarksLaufen(argc, argv, Ordner());
}

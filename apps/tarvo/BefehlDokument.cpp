// tarvo roundtrip: loads a document and saves it unchanged (main document and comments written
// from the model, the other parts copied), so an office can check that its template survives. tarvo
// inspect: lists the tables (with their tag, the text of their first comment), the comments and the
// shapes of a document, as text or as JSON. A file that cannot be read gives its German message and
// exit status 2; nothing is written.
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "Befehle.h"
#include "errors/Falle.h"
#include "errors/Laufzeitfehler.h"
#include "platform/word/Core.h"
#include "platform/word/Document.h"

namespace tarvo::cli {

namespace {

using nlohmann::json;

// The text without its final mark: "\r\a" of a cell, "\r" of a paragraph.
std::string OhneEndmarke(std::string text) {
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\a") == 0)
    text.resize(text.size() - 2);
  else if (!text.empty() && text.back() == '\r')
    text.pop_back();
  return text;
}

// What inspect lists, read from the document.
struct Bestand {
  struct Tabelle {
    int index = 0;
    std::optional<std::string> kennung;
    int zeilen = 0;
    int spalten = 0;
    std::vector<std::vector<std::optional<std::string>>> zellen;  // nullopt: merged away
  };
  struct Kommentar {
    int index = 0;
    std::string text;
    std::string anker;
  };
  struct Form {
    std::string name;
    std::string text;
  };
  std::vector<Tabelle> tabellen;
  std::vector<Kommentar> kommentare;
  std::vector<Form> formen;
};

Bestand Erfassen(const word::Document& dokument) {
  Bestand bestand;
  word::Tables tabellen = dokument.Tables();
  for (int t = 1; t <= tabellen.Count(); ++t) {
    word::Table tabelle = tabellen.Item(t);
    Bestand::Tabelle eintrag;
    eintrag.index = t;
    word::Comments eigene = tabelle.Range().Comments();
    if (eigene.Count() > 0) eintrag.kennung = OhneEndmarke(eigene.Item(1).Range().Text());
    eintrag.zeilen = tabelle.Rows().Count();
    eintrag.spalten = tabelle.Columns().Count();
    // A cell merged into its neighbour does not exist: it is listed as null. The row's own
    // cells are counted first, so that a merged-away cell is not an error to trap (a large
    // document holds tens of thousands of them).
    Falle falle("BefehlDokument", "Erfassen");
    const std::vector<pugi::xml_node>& zeilen = tabelle.State()->Zeilen();
    const word::detail::Wml& wml = tabelle.State()->story->wml;
    for (int r = 1; r <= eintrag.zeilen; ++r) {
      int vorhanden = 0;
      if (r <= static_cast<int>(zeilen.size()))
        for (pugi::xml_node c : zeilen[r - 1].children()) vorhanden += wml.Ist(c, "tc");
      std::vector<std::optional<std::string>> zeile;
      for (int c = 1; c <= eintrag.spalten; ++c) {
        std::optional<std::string> text;
        if (c <= vorhanden)
          falle.Still([&] { text = OhneEndmarke(tabelle.Cell(r, c).Range().Text()); });
        zeile.push_back(text);
      }
      eintrag.zellen.push_back(std::move(zeile));
    }
    bestand.tabellen.push_back(std::move(eintrag));
  }
  word::Comments kommentare = dokument.Comments();
  for (int k = 1; k <= kommentare.Count(); ++k) {
    word::Comment kommentar = kommentare.Item(k);
    bestand.kommentare.push_back(
        {k, OhneEndmarke(kommentar.Range().Text()), kommentar.Scope().Text()});
  }
  word::Shapes formen = dokument.Shapes();
  for (int s = 1; s <= formen.Count(); ++s) {
    word::Shape form = formen.Item(s);
    std::string text;
    if (form.TextFrame().HasText()) text = OhneEndmarke(form.TextFrame().TextRange().Text());
    bestand.formen.push_back({form.Name(), text});
  }
  return bestand;
}

json AlsJson(const Bestand& bestand) {
  json tabellen = json::array();
  for (const auto& tabelle : bestand.tabellen) {
    json zellen = json::array();
    for (const auto& zeile : tabelle.zellen) {
      json werte = json::array();
      for (const auto& zelle : zeile) werte.push_back(zelle ? json(*zelle) : json(nullptr));
      zellen.push_back(std::move(werte));
    }
    tabellen.push_back({{"index", tabelle.index},
                        {"tag", tabelle.kennung ? json(*tabelle.kennung) : json(nullptr)},
                        {"rows", tabelle.zeilen},
                        {"columns", tabelle.spalten},
                        {"cells", std::move(zellen)}});
  }
  json kommentare = json::array();
  for (const auto& kommentar : bestand.kommentare)
    kommentare.push_back(
        {{"index", kommentar.index}, {"text", kommentar.text}, {"anchor", kommentar.anker}});
  json formen = json::array();
  for (const auto& form : bestand.formen)
    formen.push_back({{"name", form.name}, {"text", form.text}});
  return {{"tables", std::move(tabellen)},
          {"comments", std::move(kommentare)},
          {"shapes", std::move(formen)}};
}

// Paragraph marks and cell marks shown as "¶" so that each entry stays on one line.
std::string Zeigen(const std::string& text) {
  std::string gezeigt;
  for (char c : text) {
    if (c == '\r')
      gezeigt += "¶";
    else if (c == '\a')
      continue;
    else if (c == '\v')
      gezeigt += "↵";
    else
      gezeigt += c;
  }
  return "»" + gezeigt + "«";
}

void AlsText(const Bestand& bestand, std::ostream& aus) {
  aus << "Tabellen: " << bestand.tabellen.size() << "\n";
  for (const auto& tabelle : bestand.tabellen) {
    aus << "  Tabelle " << tabelle.index << ": "
        << (tabelle.kennung ? "Kennung " + Zeigen(*tabelle.kennung) : "ohne Kennung") << ", "
        << tabelle.zeilen << " Zeilen, " << tabelle.spalten << " Spalten\n";
    for (std::size_t r = 0; r < tabelle.zellen.size(); ++r) {
      aus << "    Zeile " << r + 1 << ":";
      for (const auto& zelle : tabelle.zellen[r]) aus << " " << (zelle ? Zeigen(*zelle) : "–");
      aus << "\n";
    }
  }
  aus << "Kommentare: " << bestand.kommentare.size() << "\n";
  for (const auto& kommentar : bestand.kommentare)
    aus << "  Kommentar " << kommentar.index << ": " << Zeigen(kommentar.text) << " an "
        << Zeigen(kommentar.anker) << "\n";
  aus << "Formen: " << bestand.formen.size() << "\n";
  for (const auto& form : bestand.formen)
    aus << "  Form " << Zeigen(form.name) << ": " << Zeigen(form.text) << "\n";
}

int Inspect(const std::string& datei, bool alsJson) {
  Bestand bestand;
  try {
    bestand = Erfassen(*word::Document::Open(datei));
  } catch (const Laufzeitfehler& fehler) {
    std::cerr << "Fehler: " << fehler.Beschreibung() << "\n";
    return kUnbrauchbar;
  }
  if (alsJson)
    std::cout << AlsJson(bestand).dump(2, ' ', false, json::error_handler_t::replace) << "\n";
  else
    AlsText(bestand, std::cout);
  return kErfolg;
}

int Roundtrip(const std::string& ein, const std::string& aus) {
  try {
    std::shared_ptr<word::Document> dokument = word::Document::Open(ein);
    // The main document and the comments are written from the model, as after an edit, so the
    // check covers what a job writes; every other part is copied as it is.
    dokument->Core()->mainDirty = true;
    dokument->Core()->commentsDirty = true;
    dokument->Save(aus);
  } catch (const Laufzeitfehler& fehler) {
    std::cerr << "Fehler: " << fehler.Beschreibung() << "\n";
    return kUnbrauchbar;
  }
  return kErfolg;
}

}  // namespace

void DokumentBefehle(CLI::App& app, int& status) {
  struct Argumente {
    std::string ein;
    std::string aus;
    std::string dokument;
    bool json = false;
  };
  auto argumente = std::make_shared<Argumente>();

  CLI::App* roundtrip = app.add_subcommand(
      "roundtrip", "Ein Dokument laden und unverändert unter neuem Namen speichern");
  roundtrip->add_option("EIN", argumente->ein, "Das zu ladende Dokument (.docx)")->required();
  roundtrip->add_option("AUS", argumente->aus, "Wohin die Kopie gespeichert wird")->required();
  roundtrip->callback([argumente, &status] { status = Roundtrip(argumente->ein, argumente->aus); });

  CLI::App* inspect =
      app.add_subcommand("inspect", "Tabellen, Kommentare und Formen eines Dokuments auflisten");
  inspect->add_option("DOKUMENT", argumente->dokument, "Das Dokument (.docx)")->required();
  inspect->add_flag("--json", argumente->json, "Als JSON ausgeben");
  inspect->callback(
      [argumente, &status] { status = Inspect(argumente->dokument, argumente->json); });
}

}  // namespace tarvo::cli

// Any bytes as an invoice document: loading either refuses them with Laufzeitfehler or gives a
// model whose tables, cells, comments, shapes and text can be read and written back, as
// `tarvo inspect` and `tarvo roundtrip` do.
#include <cstddef>
#include <cstdint>
#include <string>

#include "errors/Laufzeitfehler.h"
#include "platform/word/Comment.h"
#include "platform/word/Document.h"
#include "platform/word/Range.h"
#include "platform/word/Shape.h"
#include "platform/word/Table.h"
#include "platform/word/docx/Package.h"

namespace {

// Runs one step; an error the model raises is an answer, not a fault.
template <class F>
void Schritt(F&& schritt) {
  try {
    schritt();
  } catch (const tarvo::Laufzeitfehler&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
  using namespace tarvo::word;
  std::shared_ptr<Document> dokument;
  Schritt([&] {
    dokument = Document::FromPackage(docx::Package::FromBytes(
        std::string(reinterpret_cast<const char*>(daten), groesse), "x.docx"));
  });
  if (!dokument) return 0;
  Schritt([&] { dokument->Content().Text(); });
  Schritt([&] {
    Tables tabellen = dokument->Tables();
    for (int t = 1; t <= tabellen.Count() && t <= 8; ++t) {
      Table tabelle = tabellen.Item(t);
      const int zeilen = tabelle.Rows().Count(), spalten = tabelle.Columns().Count();
      for (int r = 1; r <= zeilen && r <= 16; ++r)
        for (int c = 1; c <= spalten && c <= 16; ++c)
          Schritt([&] { tabelle.Cell(r, c).Range().Text(); });
      Schritt([&] { tabelle.Range().Comments().Count(); });
    }
  });
  Schritt([&] {
    Comments kommentare = dokument->Comments();
    for (int k = 1; k <= kommentare.Count() && k <= 16; ++k) {
      Schritt([&] { kommentare.Item(k).Range().Text(); });
      Schritt([&] { kommentare.Item(k).Scope().Text(); });
    }
  });
  Schritt([&] {
    Shapes formen = dokument->Shapes();
    for (int s = 1; s <= formen.Count() && s <= 16; ++s)
      Schritt([&] {
        Shape form = formen.Item(s);
        form.Name();
        if (form.TextFrame().HasText()) form.TextFrame().TextRange().Text();
      });
  });
  Schritt([&] {
    dokument->Content().InsertAfter("Summe");
    dokument->Comments().Add(dokument->Range(0, 1), "lumoStart");
  });
  Schritt([&] { dokument->MainXml(); });
  Schritt([&] { dokument->CommentsXml(); });
  return 0;
}

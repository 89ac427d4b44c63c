// Core: the inside of one document, shared by every handle on it. It owns the package, the DOMs
// of the main part, the comments part and the styles part, the stories (main text, each
// comment's text, each text box's text) with their position indexes and live ranges, and the
// states behind table, comment and shape handles (marked deleted when their XML goes). Story
// does the character-level work: text, insertion, deletion, run and paragraph splits, word
// moves, and shifting the live ranges as the word processor does. Failures throw Laufzeitfehler
// (Xml.h: Fehler) before the DOM is touched where the check is possible.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

#include "platform/word/PieceIndex.h"
#include "platform/word/Xml.h"
#include "platform/word/docx/Package.h"

namespace tarvo::word {
class Application;
}

namespace tarvo::word::detail {

class Core;
class Story;

struct RangeState {
  std::shared_ptr<Core> core;
  std::shared_ptr<Story> story;
  std::int32_t start = 0;
  std::int32_t end = 0;
};

struct TableState {
  std::shared_ptr<Core> core;
  std::shared_ptr<Story> story;
  pugi::xml_node tbl;
  bool deleted = false;
  std::vector<pugi::xml_node> rows;
  bool rowsValid = false;
  std::vector<std::vector<pugi::xml_node>> zellen;  // the cells of each row, once asked for
  // No cell of the table has borders of its own (known after a look at every cell; only
  // Border::SetLineStyle on some cells gives them some).
  bool ohneZellraender = false;
  // The last piece of the cell read last, its position and the state of the positions then:
  // the next cell read in the same table is usually a few pieces further on.
  Piece* zuletztGelesen = nullptr;
  std::int32_t zuletztPosition = 0;
  std::uint64_t zuletztStand = 0;

  // Throws 5825 when deleted.
  void Pruefen() const;
  const std::vector<pugi::xml_node>& Zeilen();
  // The w:tc of cell (row, column), 1-based; throws 5941 when there is none.
  pugi::xml_node Zelle(std::int32_t row, std::int32_t column);
};

struct CommentState {
  std::shared_ptr<Core> core;
  std::string id;
  bool deleted = false;
};

struct ShapeState {
  std::shared_ptr<Core> core;
  pugi::xml_node element;  // the w:drawing or w:pict
  bool deleted = false;
};

// Where new inline content or a marker goes in the DOM for one position: before `before` in
// `parent` (appended when `before` is empty), or appended to the text of `anhaengen` / put in
// front of the text of `voran`. `vorlage` is the run whose formatting new runs take.
struct Gap {
  pugi::xml_node parent;
  pugi::xml_node before;
  Piece* anhaengen = nullptr;
  Piece* voran = nullptr;
  pugi::xml_node vorlage;
  pugi::xml_node paragraph;
};

class Story : public std::enable_shared_from_this<Story> {
 public:
  Story(Core& core, pugi::xml_node root, const Wml& wml, std::int32_t type);

  Core& core;
  pugi::xml_node root;
  const Wml& wml;
  const std::int32_t type;
  bool alive = true;

  PieceIndex& Index() {
    if (!built_) Build();
    return index_;
  }
  std::int32_t Length() { return Index().Length(); }
  // Throws 5 unless 0 <= start <= end <= Length.
  void Pruefen(std::int32_t start, std::int32_t end);
  // Throws 5825 when the story's XML is gone (a deleted comment or text box).
  void Lebt() const;

  std::shared_ptr<RangeState> NewRange(std::int32_t start, std::int32_t end);
  void ShiftInsert(std::int32_t at, std::int32_t n);
  void ShiftDelete(std::int32_t from, std::int32_t to);
  // Positions in [from, to) move to `from`, positions from `to` on by (breite - (to - from)).
  void ShiftReplace(std::int32_t from, std::int32_t to, std::int32_t breite);

  std::string Text(std::int32_t start, std::int32_t end);
  // The character at `position` ('\r' for a paragraph mark, 7 for cell and row marks), 0 at
  // the end.
  char32_t CharAt(std::int32_t position);
  // The piece covering `position` (nullptr at the end).
  Piece* PieceAt(std::int32_t position, std::int32_t* start = nullptr) {
    return Index().AtPosition(position, start);
  }

  // Inserts `text` at `position` (see Range::SetText for the characters); returns its width.
  std::int32_t Insert(std::int32_t position, std::string_view text);
  // Deletes the characters of [start, end) except cell and row marks (and paragraph marks that
  // cannot join the next paragraph).
  void Delete(std::int32_t start, std::int32_t end);
  // Makes `position` a piece boundary (splitting a run).
  void SplitAt(std::int32_t position);
  // Splits the paragraph at `position` (a new paragraph mark there); returns the new
  // paragraph, which holds the text before `position`.
  pugi::xml_node SplitParagraph(std::int32_t position);
  // The DOM point for new content at the start of piece `cur`.
  Gap GapAt(Piece* cur, bool textAnhaengen);
  // The DOM point for a marker at `position` (after end markers there, before start markers).
  Gap MarkerGap(std::int32_t position);
  // Inserts `node` (created by the caller at `gap`) as DOM content; helper for markers.
  static pugi::xml_node Einfuegen(const Gap& gap, const char* name);

  // The paragraphs the range [start, end] touches, in order.
  std::vector<pugi::xml_node> Paragraphs(std::int32_t start, std::int32_t end);
  pugi::xml_node ParagraphOf(const Piece* piece) const;
  pugi::xml_node RunOf(const Piece* piece, pugi::xml_node paragraph) const;

  // First and last piece of a subtree in story order (nullptr when it has none).
  // Whether `node` is of a kind that stands for characters.
  bool Stueckart(pugi::xml_node node) const;
  Piece* FirstPiece(pugi::xml_node node);
  Piece* LastPiece(pugi::xml_node node);
  // The position of a zero-width node (a marker): that of the next piece after it.
  std::int32_t PositionOfMarker(pugi::xml_node node);
  // The first piece after the subtree of `node` (nullptr at the end of the story).
  Piece* NaechstesNach(pugi::xml_node node);
  // Indexes a subtree just added to the DOM and shifts the ranges after it.
  void Eingefuegt(pugi::xml_node node);
  // Removes a subtree from the DOM and its pieces from the index, shifting the ranges.
  void Entfernen(pugi::xml_node node);
  // Replaces the subtree `alt` by `neu` (already in the DOM, right before `alt`): positions
  // inside `alt` move to the start of `neu`, positions after it shift by the difference. A
  // range that stood at the start of `alt` therefore stands at the start of `neu`, and one at
  // the start of what follows stays there.
  void Ersetzen(pugi::xml_node alt, pugi::xml_node neu);
  bool IstZellenende(pugi::xml_node paragraph) const;
  // Makes sure the story ends with a paragraph mark (a story may end with a table or be empty;
  // the word processor adds the paragraph then as well).
  void AbsatzAmEnde();

  // Moves `position` by `count` units (wdCharacter, wdWord); `moved` gets the units moved.
  std::int32_t Move(std::int32_t position, std::int32_t unit, std::int32_t count,
                    std::int32_t* moved);
  bool InTable(std::int32_t position);

  void Geaendert();

 private:
  void Build();
  void Besuchen(pugi::xml_node node, std::vector<Piece*>& out);
  void Knoten(pugi::xml_node node, std::vector<Piece*>& out);
  void SplitRunAt(Piece* text, std::int32_t offset);
  std::int32_t InsertInline(std::int32_t position, char art, std::string_view text);
  std::int32_t WortVor(std::int32_t position);
  std::int32_t WortZurueck(std::int32_t position);
  bool Ueberspringen(pugi::xml_node node) const;

  PieceIndex index_;
  bool built_ = false;
  std::vector<std::weak_ptr<RangeState>> ranges_;
};

struct CommentMarks {
  pugi::xml_node start, end, reference;
};

class Core : public std::enable_shared_from_this<Core> {
 public:
  static std::shared_ptr<Core> Laden(docx::Package package);

  std::unique_ptr<docx::Package> paket;
  std::string mainPart, commentsPart, stylesPart;
  // The parts' text, parsed in place: the DOMs point into them.
  std::string mainPuffer, commentsPuffer;
  pugi::xml_document mainDom, commentsDom, stylesDom;
  Wml mainWml, commentsWml, stylesWml;
  bool hatKommentare = false;
  bool stylesGeladen = false;
  bool mainDirty = false, commentsDirty = false;
  std::shared_ptr<Story> main;
  std::weak_ptr<word::Application> application;
  // Changes whenever comment or bookmark markers or shapes come or go (and when a table goes,
  // with what is in it). Edits move markers and shapes but keep their nodes, so nothing else
  // changes it.
  std::uint64_t generation = 1;

  pugi::xml_node Body() const;
  Story& Main() { return *main; }
  word::Application& App();

  // Writes the changed DOMs into the package.
  void Flush();
  std::string Serialisieren(const pugi::xml_document& dom) const;
  // The same, packed while it is written (at the fastest level when `gross`).
  docx::DeflatedPart SerialisierenGepackt(const pugi::xml_document& dom, bool gross) const;

  // Comments.
  pugi::xml_node KommentareWurzel(bool anlegen);
  const std::vector<std::string>& KommentarReihenfolge();
  // The ids of the comments that have both their element and their reference, in document
  // order; kept until markers come or go.
  std::shared_ptr<const std::vector<std::string>> KommentarListe();
  CommentMarks Marken(const std::string& id);
  // Each comment with its reference's position in the main story, in document order. Kept
  // while neither the markers nor the main story's positions change: a loop over the rows of a
  // long table asks for the comments of every cell.
  const std::vector<std::pair<std::string, std::int32_t>>& KommentarPositionen();
  pugi::xml_node KommentarElement(const std::string& id);
  std::shared_ptr<Story> KommentarStory(const std::string& id);
  std::shared_ptr<CommentState> KommentarHandle(const std::string& id);
  // Removes a comment's element, markers and story; marks its handles deleted.
  void KommentarEntfernen(const std::string& id);
  std::string NeueKommentarId();
  // Records a comment just added: its element in the comments part and its markers in the body.
  void KommentarAngelegt(const std::string& id, pugi::xml_node element, CommentMarks marken);

  // Bookmarks: name → bookmarkStart.
  const std::map<std::string, pugi::xml_node>& Textmarken();
  pugi::xml_node TextmarkenEnde(const std::string& id);

  // Tables.
  std::shared_ptr<TableState> TableHandle(pugi::xml_node tbl, const std::shared_ptr<Story>& story);
  std::vector<pugi::xml_node> TopTables(Story& story);
  void GitterVeraltet(const std::shared_ptr<TableState>& t) { gitterVeraltet_.push_back(t); }
  // Drops the pending grid rebuilds; the document that could save them is gone. The list holds
  // table states, which hold the core: without this the two keep each other alive.
  void GitterVergessen() { gitterVeraltet_.clear(); }
  // Marks the states of `tbl` and of tables nested in it deleted.
  void TabellenGeloescht(pugi::xml_node tbl);

  // Shapes and text boxes.
  std::vector<pugi::xml_node> Zeichnungen();
  std::shared_ptr<ShapeState> ShapeHandle(pugi::xml_node element);
  std::shared_ptr<Story> TextboxStory(pugi::xml_node txbxContent);
  void ZeichnungEntfernt(pugi::xml_node element);
  std::uint32_t NeueZeichnungsId();

  // Styles (read only).
  pugi::xml_node Styles();
  pugi::xml_node Formatvorlage(const std::string& id);

  // The width of the text column in twips (page width less margins), 9638 by default.
  std::int32_t Textbreite();

  std::string Dateiname() const { return paket->DisplayName(); }

 private:
  // One walk over the body collects the comment and bookmark markers and the shapes; it runs
  // again when `generation` has changed.
  void MarkenSammeln();
  void ZeichnungsIdsSammeln(pugi::xml_node zeichnung);
  void GitterNeuBauen();

  std::uint64_t markenStand_ = 0;
  std::shared_ptr<const std::vector<std::string>> kommentarListe_;
  std::uint64_t listeStand_ = 0;
  std::vector<std::pair<std::string, std::int32_t>> kommentarPositionen_;
  std::uint64_t positionenStand_ = 0, positionenIndexStand_ = 0;
  std::vector<pugi::xml_node> zeichnungen_;
  std::uint32_t hoechsteZeichnungsId_ = 0;  // the last id handed out
  std::uint32_t hoechsteIdImText_ = 0;      // the highest drawing id the walk found
  std::vector<std::string> kommentarOrdnung_;
  std::unordered_map<std::string, CommentMarks> marken_;
  std::map<std::string, pugi::xml_node> textmarken_;
  std::unordered_map<std::string, pugi::xml_node> textmarkenEnden_;
  std::unordered_map<std::string, pugi::xml_node> kommentarElemente_;
  bool kommentarElementeGelesen_ = false;
  std::unordered_map<std::string, std::shared_ptr<Story>> kommentarStories_;
  std::unordered_map<std::string, std::weak_ptr<CommentState>> kommentarStates_;
  std::unordered_map<pugi::xml_node_struct*, std::weak_ptr<TableState>> tableStates_;
  std::unordered_map<pugi::xml_node_struct*, std::weak_ptr<ShapeState>> shapeStates_;
  std::unordered_map<pugi::xml_node_struct*, std::shared_ptr<Story>> boxStories_;
  std::unordered_map<std::string, pugi::xml_node> stilIndex_;
  std::vector<std::shared_ptr<TableState>> gitterVeraltet_;
};

}  // namespace tarvo::word::detail

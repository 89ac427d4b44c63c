#include "platform/word/Table.h"

#include <cmath>

#include "platform/word/Application.h"
#include "platform/word/Core.h"
#include "platform/word/Format.h"

namespace tarvo::word {

using detail::Fehler;
using detail::Piece;
using detail::Story;
using detail::TableState;

namespace {

TableState& T(const std::shared_ptr<TableState>& state) {
  if (!state) Fehler(fehlernummer::ObjektNichtFestgelegt);
  state->Pruefen();
  return *state;
}

// The position of `ziel`, counted on from `von` at `position` when `ziel` lies at most a few
// pieces further on; -1 otherwise.
std::int32_t Weitergezaehlt(const detail::PieceIndex& idx, const Piece* von, std::int32_t position,
                            const Piece* ziel) {
  for (int schritte = 0; von && schritte < 64; ++schritte) {
    if (von == ziel) return position;
    position += von->width;
    von = idx.Next(von);
  }
  return -1;
}

// The range of a cell: its first piece to after its end-of-cell mark. A cell read after another
// one in the same table while the positions stay as they are counts on from it a few pieces
// instead of climbing the index twice.
std::pair<std::int32_t, std::int32_t> Zellbereich(TableState& t, std::int32_t row,
                                                  std::int32_t column) {
  Story& st = *t.story;
  detail::PieceIndex& idx = st.Index();
  if (t.zuletztStand != idx.Stand()) t.zuletztGelesen = nullptr;
  pugi::xml_node tc = t.Zelle(row, column);
  Piece* erster = st.FirstPiece(tc);
  Piece* letzter = st.LastPiece(tc);
  if (!erster || !letzter) Fehler(fehlernummer::ElementFehlt, "Die Zelle hat keinen Absatz.");
  std::int32_t anfang = -1;
  if (t.zuletztGelesen) anfang = Weitergezaehlt(idx, t.zuletztGelesen, t.zuletztPosition, erster);
  if (anfang < 0) anfang = idx.PositionOf(erster);
  std::int32_t letzte = Weitergezaehlt(idx, erster, anfang, letzter);
  if (letzte < 0) letzte = idx.PositionOf(letzter);
  t.zuletztGelesen = letzter;
  t.zuletztPosition = letzte;
  t.zuletztStand = idx.Stand();
  return {anfang, letzte + letzter->width};
}

std::pair<std::int32_t, std::int32_t> Tabellenbereich(TableState& t) {
  Story& st = *t.story;
  detail::PieceIndex& idx = st.Index();
  Piece* erster = st.FirstPiece(t.tbl);
  Piece* letzter = st.LastPiece(t.tbl);
  if (!erster || !letzter) return {0, 0};
  return {idx.PositionOf(erster), idx.PositionOf(letzter) + letzter->width};
}

std::string Twips(float punkte) {
  if (!(punkte >= 0 && punkte <= 1584))
    Fehler(5, "Ungültige Breite " + std::to_string(punkte) + " pt.");
  return std::to_string(std::lround(punkte * 20));
}

void ZellbreiteSetzen(const detail::Wml& w, pugi::xml_node tc, const std::string& twips) {
  pugi::xml_node tcPr = w.Kind(tc, "tcPr");
  if (!tcPr) tcPr = tc.prepend_child(w.N("tcPr").c_str());
  pugi::xml_node tcW = w.KindGeordnet(tcPr, "tcW", detail::kTcPrOrder);
  w.Setze(tcW, "w", twips);
  w.Setze(tcW, "type", "dxa");
}

float Zellbreite(const detail::Wml& w, pugi::xml_node tc) {
  pugi::xml_node tcW = w.Kind(w.Kind(tc, "tcPr"), "tcW");
  return static_cast<float>(w.Attr(tcW, "w").as_double() / 20.0);
}

// A new table of rows × columns empty cells, as the DOM wants it.
void TabelleBauen(const detail::Wml& w, pugi::xml_node tbl, std::int32_t zeilen,
                  std::int32_t spalten, std::int32_t breite) {
  pugi::xml_node tblPr = tbl.append_child(w.N("tblPr").c_str());
  pugi::xml_node tblW = tblPr.append_child(w.N("tblW").c_str());
  w.Setze(tblW, "w", "0");
  w.Setze(tblW, "type", "auto");
  pugi::xml_node rand = tblPr.append_child(w.N("tblBorders").c_str());
  for (const char* seite : {"top", "left", "bottom", "right", "insideH", "insideV"})
    detail::RahmenSchreiben(w, rand, seite, wdLineStyleSingle);
  w.Setze(tblPr.append_child(w.N("tblLayout").c_str()), "type", "fixed");
  pugi::xml_node look = tblPr.append_child(w.N("tblLook").c_str());
  w.Setze(look, "val", "04A0");
  std::string spalte = std::to_string(breite / spalten);
  pugi::xml_node grid = tbl.append_child(w.N("tblGrid").c_str());
  for (std::int32_t c = 0; c < spalten; ++c)
    w.Setze(grid.append_child(w.N("gridCol").c_str()), "w", spalte);
  for (std::int32_t r = 0; r < zeilen; ++r) {
    pugi::xml_node tr = tbl.append_child(w.N("tr").c_str());
    for (std::int32_t c = 0; c < spalten; ++c) {
      pugi::xml_node tc = tr.append_child(w.N("tc").c_str());
      pugi::xml_node tcW = tc.append_child(w.N("tcPr").c_str()).append_child(w.N("tcW").c_str());
      w.Setze(tcW, "w", spalte);
      w.Setze(tcW, "type", "dxa");
      tc.append_child(w.N("p").c_str());
    }
  }
}

void KennungenEntfernen(pugi::xml_node n) {
  for (pugi::xml_node c = n; c;) {
    c.remove_attribute("w14:paraId");
    c.remove_attribute("w14:textId");
    if (c.first_child()) {
      c = c.first_child();
      continue;
    }
    while (c && c != n && !c.next_sibling()) c = c.parent();
    if (!c || c == n) break;
    c = c.next_sibling();
  }
}

// The block (paragraph, table or content control) before or after `node` among its siblings,
// passing over markers and other zero-width elements; empty when there is none.
pugi::xml_node Nachbarblock(const detail::Wml& w, pugi::xml_node node, bool davor) {
  for (pugi::xml_node n = davor ? node.previous_sibling() : node.next_sibling(); n;
       n = davor ? n.previous_sibling() : n.next_sibling()) {
    if (n.type() != pugi::node_element) continue;
    if (w.Ist(n, "p") || w.Ist(n, "tbl") || w.Ist(n, "sdt") || w.Ist(n, "customXml")) return n;
  }
  return {};
}

}  // namespace

// ---- Cell -------------------------------------------------------------------------------

Range Cell::Range() const {
  TableState& t = T(table_);
  auto [von, bis] = Zellbereich(t, row_, column_);
  return word::Range(t.story->NewRange(von, bis));
}

void Cell::Select() const {
  TableState& t = T(table_);
  t.core->App().Selection().SetRange(Range());
}

void Cell::SetWidth(float points, std::int32_t) {
  TableState& t = T(table_);
  ZellbreiteSetzen(t.story->wml, t.Zelle(row_, column_), Twips(points));
  t.core->GitterVeraltet(table_);
  t.story->Geaendert();
}

float Cell::Width() const {
  TableState& t = T(table_);
  return Zellbreite(t.story->wml, t.Zelle(row_, column_));
}

// ---- Rows, Columns ----------------------------------------------------------------------

std::int32_t Rows::Count() const {
  return static_cast<std::int32_t>(T(table_).Zeilen().size());
}

void Rows::Add() {
  TableState& t = T(table_);
  const detail::Wml& w = t.story->wml;
  const auto& zeilen = t.Zeilen();
  if (zeilen.empty()) Fehler(fehlernummer::ElementFehlt, "Die Tabelle hat keine Zeile.");
  pugi::xml_node letzte = zeilen.back();
  pugi::xml_node neu = t.tbl.insert_copy_after(letzte, letzte);
  KennungenEntfernen(neu);
  // Every cell keeps its properties and its last paragraph's properties, nothing else.
  for (pugi::xml_node tc : neu.children()) {
    if (!w.Ist(tc, "tc")) continue;
    pugi::xml_node absatz;
    for (pugi::xml_node c : tc.children())
      if (w.Ist(c, "p")) absatz = c;
    for (pugi::xml_node c = tc.first_child(); c;) {
      pugi::xml_node weiter = c.next_sibling();
      if (c != absatz && !w.Ist(c, "tcPr")) tc.remove_child(c);
      c = weiter;
    }
    if (!absatz) absatz = tc.append_child(w.N("p").c_str());
    for (pugi::xml_node c = absatz.first_child(); c;) {
      pugi::xml_node weiter = c.next_sibling();
      if (!w.Ist(c, "pPr")) absatz.remove_child(c);
      c = weiter;
    }
  }
  t.rows.push_back(neu);
  t.story->Eingefuegt(neu);
  t.story->Geaendert();
}

void Column::SetWidth(float points, std::int32_t) {
  TableState& t = T(table_);
  const detail::Wml& w = t.story->wml;
  std::string twips = Twips(points);
  if (index_ < 1) Fehler(fehlernummer::ElementFehlt, "Die Spalte ist nicht vorhanden.");
  bool gefunden = false;
  for (pugi::xml_node tr : t.Zeilen()) {
    std::int32_t i = 0;
    for (pugi::xml_node tc : tr.children())
      if (w.Ist(tc, "tc") && ++i == index_) {
        ZellbreiteSetzen(w, tc, twips);
        gefunden = true;
        break;
      }
  }
  if (!gefunden)
    Fehler(fehlernummer::ElementFehlt,
           "Die Spalte " + std::to_string(index_) + " ist in der Tabelle nicht vorhanden.");
  t.core->GitterVeraltet(table_);
  t.story->Geaendert();
}

float Column::Width() const {
  TableState& t = T(table_);
  return Zellbreite(t.story->wml, t.Zelle(1, index_));
}

void Column::Select() const {
  TableState& t = T(table_);
  std::vector<Cell> zellen;
  const auto& zeilen = t.Zeilen();
  for (std::size_t r = 0; r < zeilen.size(); ++r) {
    std::int32_t i = 0;
    for (pugi::xml_node tc : zeilen[r].children())
      if (t.story->wml.Ist(tc, "tc") && ++i == index_)
        zellen.emplace_back(table_, static_cast<std::int32_t>(r + 1), index_);
  }
  if (zellen.empty())
    Fehler(fehlernummer::ElementFehlt,
           "Die Spalte " + std::to_string(index_) + " ist in der Tabelle nicht vorhanden.");
  t.core->App().Selection().SetCells(std::move(zellen));
}

std::int32_t Columns::Count() const {
  TableState& t = T(table_);
  const detail::Wml& w = t.story->wml;
  std::int32_t n = 0;
  for (pugi::xml_node c : w.Kind(t.tbl, "tblGrid").children())
    if (w.Ist(c, "gridCol")) ++n;
  if (n > 0) return n;
  if (!t.Zeilen().empty())
    for (pugi::xml_node c : t.Zeilen().front().children())
      if (w.Ist(c, "tc")) ++n;
  return n;
}

Column Columns::Item(std::int32_t index) const {
  T(table_);
  if (index < 1 || index > Count())
    Fehler(fehlernummer::ElementFehlt,
           "Die Spalte " + std::to_string(index) + " ist in der Tabelle nicht vorhanden.");
  return Column(table_, index);
}

// ---- Table ------------------------------------------------------------------------------

const std::shared_ptr<TableState>& Table::Checked() const {
  T(state_);
  return state_;
}

word::Cell Table::Cell(std::int32_t row, std::int32_t column) const {
  TableState& t = T(state_);
  t.Zelle(row, column);
  return word::Cell(state_, row, column);
}

Range Table::Range() const {
  TableState& t = T(state_);
  auto [von, bis] = Tabellenbereich(t);
  return word::Range(t.story->NewRange(von, bis));
}

void Table::Select() const {
  TableState& t = T(state_);
  t.core->App().Selection().SetRange(Range());
}

void Table::Delete() {
  TableState& t = T(state_);
  detail::Core& core = *t.core;
  Story& st = *t.story;
  const detail::Wml& w = st.wml;
  // Comments anchored inside go with the table.
  std::vector<std::string> kommentare;
  for (pugi::xpath_node x : t.tbl.select_nodes(".//*")) {
    pugi::xml_node n = x.node();
    if (w.Ist(n, "commentReference") || w.Ist(n, "commentRangeStart"))
      kommentare.push_back(w.Attr(n, "id").value());
  }
  if (&st == core.main.get())
    for (const std::string& id : kommentare)
      if (core.Marken(id).reference || core.KommentarElement(id)) core.KommentarEntfernen(id);
  pugi::xml_node tbl = t.tbl;
  pugi::xml_node behaelter = tbl.parent();
  core.TabellenGeloescht(tbl);
  if (pugi::xml_node danach = Nachbarblock(w, tbl, false); danach && w.Ist(danach, "tbl")) {
    // A table follows: an empty paragraph takes the deleted one's place, so the place stays
    // between the two (a range held at the deleted table's start does not slide into the next
    // table) and no table is left touching another.
    pugi::xml_node p = behaelter.insert_child_before(w.N("p").c_str(), tbl);
    st.Ersetzen(tbl, p);
  } else {
    st.Entfernen(tbl);
  }
  // A cell must still end with a paragraph.
  if (w.Ist(behaelter, "tc")) {
    pugi::xml_node letztes = behaelter.last_child();
    if (!letztes || !w.Ist(letztes, "p")) st.Eingefuegt(behaelter.append_child(w.N("p").c_str()));
  }
}

bool Table::IsDeleted() const {
  return !state_ || state_->deleted;
}

bool Table::operator==(const Table& other) const {
  if (!state_ || !other.state_) return state_ == other.state_;
  return state_->tbl == other.state_->tbl && state_->core == other.state_->core;
}

// ---- Tables -----------------------------------------------------------------------------

Table Tables::Item(std::int32_t index) const {
  if (index < 1 || index > Count())
    Fehler(fehlernummer::ElementFehlt, "Die Tabelle " + std::to_string(index) +
                                           " ist nicht vorhanden (" + std::to_string(Count()) +
                                           " Tabellen).");
  return items_[index - 1];
}

Table Tables::Add(const word::Range& range, std::int32_t rows, std::int32_t columns) {
  if (rows < 1 || rows > 32767 || columns < 1 || columns > 63)
    Fehler(5, "Ungültige Tabellengröße " + std::to_string(rows) + " × " + std::to_string(columns) +
                  ".");
  auto& rs = *range.State();
  Story& st = *rs.story;
  const detail::Wml& w = st.wml;
  if (rs.start != rs.end) {
    st.Delete(rs.start, rs.end);
    rs.end = rs.start;
  }
  if (rs.start >= st.Length() - 1) st.AbsatzAmEnde();
  std::int32_t laenge = st.Length();
  std::int32_t q = rs.start >= laenge ? laenge - 1 : rs.start;
  std::int32_t anfang = 0;
  Piece* cur = st.PieceAt(q, &anfang);
  if (!cur || cur->kind == detail::PieceKind::RowMark)
    Fehler(detail::kNichtVerfuegbar, "Hier kann keine Tabelle eingefügt werden.");
  pugi::xml_node absatz = st.ParagraphOf(cur);
  Piece* erster = st.FirstPiece(absatz);
  bool amAnfang = erster && st.Index().PositionOf(erster) == q;
  bool amEnde = detail::IstMarke(cur->kind);
  if (!amAnfang && !amEnde) {
    st.SplitParagraph(q);
    amAnfang = true;
  }
  pugi::xml_node tbl = amAnfang ? absatz.parent().insert_child_before(w.N("tbl").c_str(), absatz)
                                : absatz.parent().insert_child_after(w.N("tbl").c_str(), absatz);
  TabelleBauen(w, tbl, rows, columns, rs.core->Textbreite());
  st.Eingefuegt(tbl);
  // Two tables that touch are one table to the word processors: a table right before the new
  // one keeps an empty paragraph between them.
  if (pugi::xml_node davor = Nachbarblock(w, tbl, true); davor && w.Ist(davor, "tbl")) {
    pugi::xml_node p = tbl.parent().insert_child_before(w.N("p").c_str(), tbl);
    if (pugi::xml_node pPr = w.Kind(absatz, "pPr")) {
      pugi::xml_node kopie = p.append_copy(pPr);
      if (pugi::xml_node sect = w.Kind(kopie, "sectPr")) kopie.remove_child(sect);
    }
    st.Eingefuegt(p);
  }
  pugi::xml_node danach = tbl.next_sibling();
  if (!danach || !w.Ist(danach, "p")) {
    pugi::xml_node p = tbl.parent().insert_child_after(w.N("p").c_str(), tbl);
    if (pugi::xml_node pPr = w.Kind(absatz, "pPr")) {
      pugi::xml_node kopie = p.append_copy(pPr);
      if (pugi::xml_node sect = w.Kind(kopie, "sectPr")) kopie.remove_child(sect);
    }
    st.Eingefuegt(p);
  }
  return Table(rs.core->TableHandle(tbl, rs.story));
}

// ---- Range::Tables ----------------------------------------------------------------------

Tables Range::Tables() const {
  auto& rs = *State();
  std::vector<Table> liste;
  for (pugi::xml_node tbl : rs.core->TopTables(*rs.story)) {
    auto state = rs.core->TableHandle(tbl, rs.story);
    auto [von, bis] = Tabellenbereich(*state);
    bool trifft =
        rs.start == rs.end ? (rs.start >= von && rs.start < bis) : (rs.start < bis && rs.end > von);
    if (trifft) liste.emplace_back(state);
  }
  return word::Tables(rs.core, std::move(liste));
}

}  // namespace tarvo::word

// Core: loading, saving and the per-document registries of the model.
#include "platform/word/Core.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <set>
#include <string_view>
#include <vector>

#include "platform/word/Application.h"
#include "platform/word/WdConstants.h"

namespace tarvo::word::detail {

namespace {
constexpr unsigned kParseOptionen =
    pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_declaration;
constexpr const char* kWNamespace = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kRelCommentsExtended =
    "http://schemas.microsoft.com/office/2011/relationships/commentsExtended";
constexpr const char* kRelCommentsIds =
    "http://schemas.microsoft.com/office/2016/09/relationships/commentsIds";

// Elements nested deeper than this are refused when a part is loaded: the model walks its stories
// recursively, and no real document comes near it (the deepest known nests 21 levels).
constexpr int kMaxTiefe = 1000;

// Throws 75 naming the file and the part when `dom` nests deeper than kMaxTiefe. Walks without
// recursion, so that any depth can be measured.
void TiefePruefen(const pugi::xml_document& dom, const std::string& datei,
                  const std::string& teil) {
  int tiefe = 0;
  pugi::xml_node n = dom.first_child();
  while (n) {
    if (pugi::xml_node kind = n.first_child()) {
      if (++tiefe > kMaxTiefe)
        Fehler(75, "Die Datei »" + datei + "« ist kein gültiges Word-Dokument (" + teil +
                       " ist tiefer als " + std::to_string(kMaxTiefe) + " Ebenen verschachtelt).");
      n = kind;
      continue;
    }
    while (n && !n.next_sibling()) {
      n = n.parent();
      --tiefe;
    }
    if (n) n = n.next_sibling();
  }
}

// From this size on a part is packed at the fastest level.
constexpr std::size_t kGrosserTeil = std::size_t{1} << 20;

// Writes a part's DOM as UTF-8, with a declaration when it has none (and the one it has saying
// UTF-8, whatever it said when read: the text is UTF-8 now).
void Schreiben(const pugi::xml_document& dom, pugi::xml_writer& schreiber) {
  pugi::xml_node erster = dom.first_child();
  if (erster.type() != pugi::node_declaration) {
    static constexpr std::string_view kDeklaration =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
    schreiber.write(kDeklaration.data(), kDeklaration.size());
    dom.save(schreiber, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return;
  }
  std::string deklaration = "<?xml";
  for (pugi::xml_attribute a : erster.attributes()) {
    const bool kodierung = std::string_view(a.name()) == "encoding";
    deklaration += std::string(" ") + a.name() + "=\"" + (kodierung ? "UTF-8" : a.value()) + "\"";
  }
  deklaration += "?>";
  schreiber.write(deklaration.data(), deklaration.size());
  for (pugi::xml_node n = erster.next_sibling(); n; n = n.next_sibling())
    n.print(schreiber, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
}

struct StringWriter : pugi::xml_writer {
  std::string& ziel;
  explicit StringWriter(std::string& z) : ziel(z) {}
  void write(const void* daten, std::size_t groesse) override {
    ziel.append(static_cast<const char*>(daten), groesse);
  }
};

bool LokalIst(pugi::xml_node n, const char* lokal) {
  const char* name = n.name();
  const char* doppel = std::strchr(name, ':');
  return std::strcmp(doppel ? doppel + 1 : name, lokal) == 0;
}

pugi::xml_attribute LokalAttr(pugi::xml_node n, const char* lokal) {
  for (pugi::xml_attribute a : n.attributes()) {
    const char* name = a.name();
    const char* doppel = std::strchr(name, ':');
    if (std::strcmp(doppel ? doppel + 1 : name, lokal) == 0) return a;
  }
  return {};
}

// Pre-order walk below `wurzel`, not entering subtrees for which `hinein` is false.
template <class F>
void Durchlaufen(pugi::xml_node wurzel, F&& besuche) {
  pugi::xml_node n = wurzel.first_child();
  while (n) {
    bool hinein = n.type() == pugi::node_element && besuche(n);
    if (hinein && n.first_child()) {
      n = n.first_child();
      continue;
    }
    while (n && n != wurzel && !n.next_sibling()) n = n.parent();
    if (!n || n == wurzel) break;
    n = n.next_sibling();
  }
}
}  // namespace

std::shared_ptr<Core> Core::Laden(docx::Package paketIn) {
  auto core = std::make_shared<Core>();
  core->paket = std::make_unique<docx::Package>(std::move(paketIn));
  core->mainPart = core->paket->MainPartName();
  core->paket->ParseXmlInPlace(core->mainPart, core->mainDom, core->mainPuffer, kParseOptionen);
  TiefePruefen(core->mainDom, core->Dateiname(), core->mainPart);
  pugi::xml_node wurzel = core->mainDom.document_element();
  core->mainWml.Init(wurzel);
  if (!core->Body())
    Fehler(75, "Die Datei »" + core->Dateiname() +
                   "« ist kein gültiges Word-Dokument (kein Dokumentkörper in " + core->mainPart +
                   ").");
  core->commentsPart = core->paket->RelatedPart(core->mainPart, docx::kRelComments);
  if (!core->commentsPart.empty() && core->paket->HasPart(core->commentsPart)) {
    core->paket->ParseXmlInPlace(core->commentsPart, core->commentsDom, core->commentsPuffer,
                                 kParseOptionen);
    TiefePruefen(core->commentsDom, core->Dateiname(), core->commentsPart);
    core->commentsWml.Init(core->commentsDom.document_element());
    core->hatKommentare = true;
  }
  core->stylesPart = core->paket->RelatedPart(core->mainPart, docx::kRelStyles);
  core->main = std::make_shared<Story>(*core, core->Body(), core->mainWml, wdMainTextStory);
  return core;
}

pugi::xml_node Core::Body() const {
  return mainWml.Kind(mainDom.document_element(), "body");
}

word::Application& Core::App() {
  std::shared_ptr<word::Application> app = application.lock();
  if (!app) Fehler(91);
  return *app;
}

std::string Core::Serialisieren(const pugi::xml_document& dom) const {
  std::string text;
  StringWriter schreiber(text);
  Schreiben(dom, schreiber);
  return text;
}

docx::DeflatedPart Core::SerialisierenGepackt(const pugi::xml_document& dom, bool gross) const {
  docx::DeflateWriter schreiber(gross);
  Schreiben(dom, schreiber);
  return schreiber.Finish();
}

void Core::Flush() {
  GitterNeuBauen();
  // The parts are packed as they are written, never held as text: a large main part would
  // otherwise exist twice at once, as DOM and as text. What was large when read is packed at
  // the fastest level.
  if (mainDirty) {
    paket->SetPart(mainPart, SerialisierenGepackt(mainDom, mainPuffer.size() > kGrosserTeil));
    mainDirty = false;
  }
  if (commentsDirty && hatKommentare) {
    paket->SetPart(commentsPart,
                   SerialisierenGepackt(commentsDom, commentsPuffer.size() > kGrosserTeil),
                   docx::kTypeComments);
    commentsDirty = false;
  }
}

// ---- comments ---------------------------------------------------------------------------

pugi::xml_node Core::KommentareWurzel(bool anlegen) {
  if (hatKommentare) return commentsDom.document_element();
  if (!anlegen) return {};
  commentsDom.reset();
  pugi::xml_node dekl = commentsDom.append_child(pugi::node_declaration);
  dekl.append_attribute("version") = "1.0";
  dekl.append_attribute("encoding") = "UTF-8";
  dekl.append_attribute("standalone") = "yes";
  std::string praefix = mainWml.Prefix();
  std::string ns = praefix.empty() ? "xmlns" : "xmlns:" + praefix.substr(0, praefix.size() - 1);
  pugi::xml_node wurzel = commentsDom.append_child((praefix + "comments").c_str());
  const char* uri = kWNamespace;
  for (pugi::xml_attribute a : mainDom.document_element().attributes())
    if (ns == a.name()) uri = a.value();
  wurzel.append_attribute(ns.c_str()) = uri;
  commentsWml.Init(wurzel);
  std::string name = "word/comments.xml";
  for (int i = 1; paket->HasPart(name); ++i) name = "word/comments" + std::to_string(i) + ".xml";
  commentsPart = name;
  paket->SetPart(commentsPart, Serialisieren(commentsDom), docx::kTypeComments);
  paket->AddRelationship(mainPart, docx::kRelComments, commentsPart);
  hatKommentare = true;
  commentsDirty = true;
  kommentarElementeGelesen_ = false;
  return wurzel;
}

// The drawing ids in a drawing or picture, those of text boxes within included.
void Core::ZeichnungsIdsSammeln(pugi::xml_node zeichnung) {
  Durchlaufen(zeichnung, [&](pugi::xml_node d) {
    if (LokalIst(d, "docPr"))
      hoechsteIdImText_ = std::max(hoechsteIdImText_, d.attribute("id").as_uint());
    return true;
  });
}

void Core::MarkenSammeln() {
  if (markenStand_ == generation) return;
  kommentarOrdnung_.clear();
  marken_.clear();
  textmarken_.clear();
  textmarkenEnden_.clear();
  zeichnungen_.clear();
  hoechsteIdImText_ = 0;
  const Wml& w = mainWml;
  Durchlaufen(Body(), [&](pugi::xml_node n) {
    const char* l = w.Lokal(n);
    if (!l) return !LokalIst(n, "Fallback");
    switch (l[0]) {
      case 'c':
        if (!std::strcmp(l, "commentRangeStart")) {
          auto& m = marken_[w.Attr(n, "id").value()];
          if (!m.start) m.start = n;
          return false;
        }
        if (!std::strcmp(l, "commentRangeEnd")) {
          auto& m = marken_[w.Attr(n, "id").value()];
          if (!m.end) m.end = n;
          return false;
        }
        if (!std::strcmp(l, "commentReference")) {
          std::string id = w.Attr(n, "id").value();
          auto& m = marken_[id];
          if (!m.reference) {
            m.reference = n;
            kommentarOrdnung_.push_back(id);
          }
          return false;
        }
        break;
      case 'b':
        if (!std::strcmp(l, "bookmarkStart")) {
          textmarken_.emplace(w.Attr(n, "name").value(), n);
          return false;
        }
        if (!std::strcmp(l, "bookmarkEnd")) {
          textmarkenEnden_.emplace(w.Attr(n, "id").value(), n);
          return false;
        }
        break;
      case 't':
        // Text and the properties of tables, rows and cells hold no markers.
        if (!std::strcmp(l, "txbxContent") || !std::strcmp(l, "t") || !std::strcmp(l, "tcPr") ||
            !std::strcmp(l, "trPr") || !std::strcmp(l, "tblPr") || !std::strcmp(l, "tblGrid"))
          return false;
        break;
      case 's':
        if (!std::strcmp(l, "sectPr")) return false;
        break;
      case 'd':
        if (!std::strcmp(l, "drawing")) {
          for (pugi::xml_node c : n.children())
            if (LokalIst(c, "anchor")) zeichnungen_.push_back(n);
          ZeichnungsIdsSammeln(n);
          return false;
        }
        break;
      case 'p':
        if (!std::strcmp(l, "pict")) {
          zeichnungen_.push_back(n);
          ZeichnungsIdsSammeln(n);
          return false;
        }
        if (!std::strcmp(l, "pPr")) return false;
        break;
      case 'r':
        if (!std::strcmp(l, "rPr")) return false;
        break;
    }
    return true;
  });
  markenStand_ = generation;
}

const std::vector<std::string>& Core::KommentarReihenfolge() {
  MarkenSammeln();
  return kommentarOrdnung_;
}

std::shared_ptr<const std::vector<std::string>> Core::KommentarListe() {
  MarkenSammeln();
  if (!kommentarListe_ || listeStand_ != generation) {
    auto liste = std::make_shared<std::vector<std::string>>();
    for (const std::string& id : kommentarOrdnung_)
      if (KommentarElement(id)) liste->push_back(id);
    kommentarListe_ = std::move(liste);
    listeStand_ = generation;
  }
  return kommentarListe_;
}

const std::vector<std::pair<std::string, std::int32_t>>& Core::KommentarPositionen() {
  MarkenSammeln();
  Story& st = Main();
  if (positionenStand_ != generation || positionenIndexStand_ != st.Index().Stand()) {
    kommentarPositionen_.clear();
    for (const std::string& id : kommentarOrdnung_)
      kommentarPositionen_.emplace_back(id, st.PositionOfMarker(marken_[id].reference));
    positionenStand_ = generation;
    positionenIndexStand_ = st.Index().Stand();
  }
  return kommentarPositionen_;
}

void Core::KommentarAngelegt(const std::string& id, pugi::xml_node element, CommentMarks marken) {
  KommentarElement(id);
  kommentarElemente_[id] = element;
  // The new reference takes its place among the others by its position, unless another one
  // stands at the same position: then only the walk knows the order.
  bool eingeordnet = false;
  if (markenStand_ == generation && marken.reference) {
    const std::int32_t neu = Main().PositionOfMarker(marken.reference);
    std::size_t stelle = 0;
    bool gleich = false;
    for (const auto& [andere, pos] : KommentarPositionen()) {
      if (pos < neu) ++stelle;
      if (pos == neu) gleich = true;
    }
    if (!gleich && !marken_.count(id)) {
      marken_[id] = marken;
      kommentarOrdnung_.insert(kommentarOrdnung_.begin() + static_cast<std::ptrdiff_t>(stelle), id);
      eingeordnet = true;
    }
  }
  ++generation;
  if (eingeordnet) markenStand_ = generation;
}

CommentMarks Core::Marken(const std::string& id) {
  MarkenSammeln();
  auto it = marken_.find(id);
  return it == marken_.end() ? CommentMarks{} : it->second;
}

pugi::xml_node Core::KommentarElement(const std::string& id) {
  if (!hatKommentare) return {};
  if (!kommentarElementeGelesen_) {
    kommentarElemente_.clear();
    for (pugi::xml_node c : commentsDom.document_element().children())
      if (commentsWml.Ist(c, "comment"))
        kommentarElemente_.emplace(commentsWml.Attr(c, "id").value(), c);
    kommentarElementeGelesen_ = true;
  }
  auto it = kommentarElemente_.find(id);
  return it == kommentarElemente_.end() ? pugi::xml_node() : it->second;
}

std::shared_ptr<Story> Core::KommentarStory(const std::string& id) {
  auto it = kommentarStories_.find(id);
  if (it != kommentarStories_.end()) return it->second;
  pugi::xml_node element = KommentarElement(id);
  if (!element) Fehler(kObjektGeloescht, "Der Kommentar wurde gelöscht.");
  auto story = std::make_shared<Story>(*this, element, commentsWml, wdCommentsStory);
  kommentarStories_.emplace(id, story);
  return story;
}

std::shared_ptr<CommentState> Core::KommentarHandle(const std::string& id) {
  auto& schwach = kommentarStates_[id];
  if (auto da = schwach.lock()) return da;
  auto neu = std::make_shared<CommentState>();
  neu->core = shared_from_this();
  neu->id = id;
  schwach = neu;
  return neu;
}

std::string Core::NeueKommentarId() {
  // Ids are 32-bit numbers to Word. Past the highest one in use, or, when that is the largest
  // there is (a letter from elsewhere may hold any digits), the smallest one free.
  constexpr long long kGroesste = INT32_MAX;
  long long hoechste = -1;
  std::vector<long long> vergeben;
  auto beachten = [&](const char* wert) {
    char* ende = nullptr;
    errno = 0;
    long long v = std::strtoll(wert, &ende, 10);
    if (ende == wert || v < 0) return;
    if (errno == ERANGE || v > kGroesste) v = kGroesste;
    hoechste = std::max(hoechste, v);
    vergeben.push_back(v);
  };
  if (hatKommentare)
    for (pugi::xml_node c : commentsDom.document_element().children())
      beachten(commentsWml.Attr(c, "id").value());
  MarkenSammeln();
  for (const auto& [id, m] : marken_) beachten(id.c_str());
  if (hoechste < kGroesste) return std::to_string(hoechste + 1);
  std::sort(vergeben.begin(), vergeben.end());
  long long frei = 0;
  for (long long v : vergeben) {
    if (v > frei) break;
    if (v == frei) ++frei;
  }
  return std::to_string(frei);
}

void Core::KommentarEntfernen(const std::string& id) {
  CommentMarks m = Marken(id);
  for (pugi::xml_node n : {m.start, m.end}) {
    if (n && n.parent()) n.parent().remove_child(n);
  }
  if (m.reference) {
    pugi::xml_node lauf = m.reference.parent();
    bool nurMarke = mainWml.Ist(lauf, "r");
    for (pugi::xml_node c = lauf.first_child(); c && nurMarke; c = c.next_sibling())
      if (c.type() == pugi::node_element && c != m.reference && !mainWml.Ist(c, "rPr"))
        nurMarke = false;
    if (nurMarke)
      lauf.parent().remove_child(lauf);
    else
      lauf.remove_child(m.reference);
  }
  if (pugi::xml_node element = KommentarElement(id)) {
    // Entries of the comment's paragraphs in the parts that keep replies and resolved state.
    std::set<std::string> absatzIds;
    for (pugi::xml_node p : element.children())
      if (pugi::xml_attribute a = LokalAttr(p, "paraId")) absatzIds.insert(a.value());
    for (const char* typ : {kRelCommentsExtended, kRelCommentsIds}) {
      std::string teil = paket->RelatedPart(mainPart, typ);
      if (teil.empty() || absatzIds.empty() || !paket->HasPart(teil)) continue;
      pugi::xml_document dom;
      paket->ParseXml(teil, dom, kParseOptionen);
      bool geaendert = false;
      pugi::xml_node wurzel = dom.document_element();
      for (pugi::xml_node c = wurzel.first_child(); c;) {
        pugi::xml_node weiter = c.next_sibling();
        pugi::xml_attribute a = LokalAttr(c, "paraId");
        if (a && absatzIds.count(a.value())) {
          wurzel.remove_child(c);
          geaendert = true;
        }
        c = weiter;
      }
      if (geaendert) paket->SetPart(teil, Serialisieren(dom));
    }
    element.parent().remove_child(element);
    kommentarElemente_.erase(id);
  }
  if (auto it = kommentarStories_.find(id); it != kommentarStories_.end()) {
    it->second->alive = false;
    kommentarStories_.erase(it);
  }
  if (auto it = kommentarStates_.find(id); it != kommentarStates_.end()) {
    if (auto s = it->second.lock()) s->deleted = true;
    kommentarStates_.erase(it);
  }
  ++generation;
  mainDirty = true;
  commentsDirty = true;
}

// ---- bookmarks --------------------------------------------------------------------------

const std::map<std::string, pugi::xml_node>& Core::Textmarken() {
  MarkenSammeln();
  return textmarken_;
}

pugi::xml_node Core::TextmarkenEnde(const std::string& id) {
  MarkenSammeln();
  auto it = textmarkenEnden_.find(id);
  return it == textmarkenEnden_.end() ? pugi::xml_node() : it->second;
}

// ---- tables -----------------------------------------------------------------------------

void TableState::Pruefen() const {
  if (deleted || !tbl) Fehler(kObjektGeloescht, "Die Tabelle wurde gelöscht.");
}

const std::vector<pugi::xml_node>& TableState::Zeilen() {
  Pruefen();
  if (!rowsValid) {
    rows.clear();
    zellen.clear();
    for (pugi::xml_node c : tbl.children())
      if (story->wml.Ist(c, "tr")) rows.push_back(c);
    rowsValid = true;
  }
  return rows;
}

pugi::xml_node TableState::Zelle(std::int32_t row, std::int32_t column) {
  const auto& zeilen = Zeilen();
  if (row >= 1 && row <= static_cast<std::int32_t>(zeilen.size()) && column >= 1) {
    // A row's cells are looked up once: rows come and go, but the model never adds or removes
    // a cell within a row.
    if (zellen.size() != zeilen.size()) zellen.resize(zeilen.size());
    auto& reihe = zellen[static_cast<std::size_t>(row - 1)];
    if (reihe.empty())
      for (pugi::xml_node c : zeilen[row - 1].children())
        if (story->wml.Ist(c, "tc")) reihe.push_back(c);
    if (column <= static_cast<std::int32_t>(reihe.size()))
      return reihe[static_cast<std::size_t>(column - 1)];
  }
  Fehler(fehlernummer::ElementFehlt, "Die Zelle (" + std::to_string(row) + ", " +
                                         std::to_string(column) +
                                         ") ist in der Tabelle nicht vorhanden.");
}

std::shared_ptr<TableState> Core::TableHandle(pugi::xml_node tbl,
                                              const std::shared_ptr<Story>& story) {
  auto& schwach = tableStates_[tbl.internal_object()];
  if (auto da = schwach.lock()) return da;
  auto neu = std::make_shared<TableState>();
  neu->core = shared_from_this();
  neu->story = story;
  neu->tbl = tbl;
  schwach = neu;
  return neu;
}

std::vector<pugi::xml_node> Core::TopTables(Story& story) {
  std::vector<pugi::xml_node> tabellen;
  const Wml& w = story.wml;
  std::vector<pugi::xml_node> offen{story.root};
  // Block-level children, looking into content controls and custom XML, not into tables.
  auto sammeln = [&](auto&& selbst, pugi::xml_node behaelter) -> void {
    for (pugi::xml_node c : behaelter.children()) {
      if (c.type() != pugi::node_element) continue;
      if (w.Ist(c, "tbl"))
        tabellen.push_back(c);
      else if (w.Ist(c, "sdt"))
        selbst(selbst, w.Kind(c, "sdtContent"));
      else if (w.Ist(c, "customXml"))
        selbst(selbst, c);
    }
  };
  sammeln(sammeln, story.root);
  return tabellen;
}

void Core::TabellenGeloescht(pugi::xml_node tbl) {
  for (auto it = tableStates_.begin(); it != tableStates_.end();) {
    auto s = it->second.lock();
    bool betroffen = false;
    if (s) {
      for (pugi::xml_node n = s->tbl; n; n = n.parent())
        if (n == tbl) betroffen = true;
    }
    if (!s || betroffen) {
      if (s) s->deleted = true;
      it = tableStates_.erase(it);
    } else {
      ++it;
    }
  }
  ++generation;
}

void Core::GitterNeuBauen() {
  std::vector<std::shared_ptr<TableState>> liste;
  liste.swap(gitterVeraltet_);
  std::set<TableState*> erledigt;
  for (const auto& t : liste) {
    if (t->deleted || !erledigt.insert(t.get()).second) continue;
    const Wml& w = t->story->wml;
    // Cell edges of every row from the cells' own widths.
    std::vector<std::vector<std::pair<pugi::xml_node, std::int64_t>>> zeilen;
    std::vector<std::int64_t> kanten{0};
    bool brauchbar = true;
    for (pugi::xml_node tr : t->Zeilen()) {
      std::vector<std::pair<pugi::xml_node, std::int64_t>> zellen;
      std::int64_t x = 0;
      for (pugi::xml_node tc : tr.children()) {
        if (!w.Ist(tc, "tc")) continue;
        pugi::xml_node tcW = w.Kind(w.Kind(tc, "tcPr"), "tcW");
        std::string_view typ = w.Attr(tcW, "type").value();
        if (!tcW || (typ != "dxa" && !typ.empty())) brauchbar = false;
        x += w.Attr(tcW, "w").as_llong();
        zellen.emplace_back(tc, x);
        kanten.push_back(x);
      }
      zeilen.push_back(std::move(zellen));
    }
    if (!brauchbar) continue;
    std::sort(kanten.begin(), kanten.end());
    // Edges closer than half a point are one edge (centimetre widths round differently).
    constexpr std::int64_t kToleranz = 10;
    std::vector<std::int64_t> gitter;
    for (std::int64_t k : kanten)
      if (gitter.empty() || k - gitter.back() > kToleranz) gitter.push_back(k);
    auto spalteVon = [&](std::int64_t x) {
      auto it = std::lower_bound(gitter.begin(), gitter.end(), x - kToleranz);
      return static_cast<std::int64_t>(it - gitter.begin());
    };
    for (const auto& zellen : zeilen) {
      std::int64_t links = 0;
      for (const auto& [tc, rechts] : zellen) {
        std::int64_t spanne = spalteVon(rechts) - links;
        links = spalteVon(rechts);
        pugi::xml_node tcPr = w.Kind(tc, "tcPr");
        if (spanne > 1) {
          pugi::xml_node gs = w.KindGeordnet(tcPr, "gridSpan", kTcPrOrder);
          w.Setze(gs, "val", std::to_string(spanne));
        } else if (pugi::xml_node gs = w.Kind(tcPr, "gridSpan")) {
          tcPr.remove_child(gs);
        }
      }
    }
    pugi::xml_node grid = w.Kind(t->tbl, "tblGrid");
    if (!grid) {
      pugi::xml_node tblPr = w.Kind(t->tbl, "tblPr");
      grid = tblPr ? t->tbl.insert_child_after(w.N("tblGrid").c_str(), tblPr)
                   : t->tbl.prepend_child(w.N("tblGrid").c_str());
    }
    while (pugi::xml_node c = grid.first_child()) grid.remove_child(c);
    for (std::size_t i = 1; i < gitter.size(); ++i) {
      pugi::xml_node col = grid.append_child(w.N("gridCol").c_str());
      w.Setze(col, "w", std::to_string(gitter[i] - gitter[i - 1]));
    }
    mainDirty = true;
  }
}

// ---- shapes -----------------------------------------------------------------------------

std::vector<pugi::xml_node> Core::Zeichnungen() {
  MarkenSammeln();
  return zeichnungen_;
}

std::shared_ptr<ShapeState> Core::ShapeHandle(pugi::xml_node element) {
  auto& schwach = shapeStates_[element.internal_object()];
  if (auto da = schwach.lock()) return da;
  auto neu = std::make_shared<ShapeState>();
  neu->core = shared_from_this();
  neu->element = element;
  schwach = neu;
  return neu;
}

std::shared_ptr<Story> Core::TextboxStory(pugi::xml_node txbx) {
  auto& story = boxStories_[txbx.internal_object()];
  if (!story) story = std::make_shared<Story>(*this, txbx, mainWml, wdTextFrameStory);
  return story;
}

void Core::ZeichnungEntfernt(pugi::xml_node element) {
  for (auto it = boxStories_.begin(); it != boxStories_.end();) {
    bool darin = false;
    for (pugi::xml_node n = it->second->root; n; n = n.parent())
      if (n == element) darin = true;
    if (darin) {
      it->second->alive = false;
      it = boxStories_.erase(it);
    } else {
      ++it;
    }
  }
  if (auto it = shapeStates_.find(element.internal_object()); it != shapeStates_.end()) {
    if (auto s = it->second.lock()) s->deleted = true;
    shapeStates_.erase(it);
  }
  ++generation;
  mainDirty = true;
}

std::uint32_t Core::NeueZeichnungsId() {
  // Above every id in the text and every id handed out before.
  MarkenSammeln();
  hoechsteZeichnungsId_ = std::max(hoechsteZeichnungsId_, hoechsteIdImText_);
  return ++hoechsteZeichnungsId_;
}

// ---- styles and page --------------------------------------------------------------------

pugi::xml_node Core::Styles() {
  if (!stylesGeladen) {
    stylesGeladen = true;
    if (!stylesPart.empty() && paket->HasPart(stylesPart)) {
      paket->ParseXml(stylesPart, stylesDom, kParseOptionen);
      stylesWml.Init(stylesDom.document_element());
      for (pugi::xml_node s : stylesDom.document_element().children())
        if (stylesWml.Ist(s, "style")) stilIndex_.emplace(stylesWml.Attr(s, "styleId").value(), s);
    }
  }
  return stylesDom.document_element();
}

pugi::xml_node Core::Formatvorlage(const std::string& id) {
  Styles();
  auto it = stilIndex_.find(id);
  return it == stilIndex_.end() ? pugi::xml_node() : it->second;
}

std::int32_t Core::Textbreite() {
  const Wml& w = mainWml;
  pugi::xml_node sect = w.Kind(Body(), "sectPr");
  pugi::xml_node pgSz = w.Kind(sect, "pgSz");
  pugi::xml_node pgMar = w.Kind(sect, "pgMar");
  std::int32_t breite = w.Attr(pgSz, "w").as_int(0) - w.Attr(pgMar, "left").as_int(0) -
                        w.Attr(pgMar, "right").as_int(0);
  return breite > 720 ? breite : 9638;
}

}  // namespace tarvo::word::detail

#include "platform/word/Shape.h"

#include <cmath>
#include <cstring>

#include "platform/word/Application.h"
#include "platform/word/Core.h"

namespace tarvo::word {

using detail::Fehler;
using detail::ShapeState;

namespace {

constexpr double kEmuJePunkt = 12700.0;

ShapeState& Z(const std::shared_ptr<ShapeState>& state) {
  if (!state) Fehler(fehlernummer::ObjektNichtFestgelegt);
  if (state->deleted) Fehler(detail::kObjektGeloescht, "Die Form wurde gelöscht.");
  return *state;
}

const char* Lokal(pugi::xml_node n) {
  const char* name = n.name();
  const char* doppel = std::strchr(name, ':');
  return doppel ? doppel + 1 : name;
}

pugi::xml_node KindLokal(pugi::xml_node n, const char* lokal) {
  for (pugi::xml_node c : n.children())
    if (c.type() == pugi::node_element && !std::strcmp(Lokal(c), lokal)) return c;
  return {};
}

pugi::xml_node Nachfahr(pugi::xml_node n, const char* lokal) {
  for (pugi::xml_node c : n.children()) {
    if (c.type() != pugi::node_element) continue;
    if (!std::strcmp(Lokal(c), lokal)) return c;
    if (pugi::xml_node d = Nachfahr(c, lokal)) return d;
  }
  return {};
}

// The prefix an element uses ("a:" for a:graphic), so new siblings match it.
std::string Praefix(pugi::xml_node n) {
  const char* name = n.name();
  const char* doppel = std::strchr(name, ':');
  return doppel ? std::string(name, doppel - name + 1) : std::string();
}

// The DrawingML prefix used below spPr ("a:" as a rule).
std::string Dml(pugi::xml_node spPr) {
  for (pugi::xml_node c : spPr.children())
    if (!std::strcmp(Lokal(c), "xfrm") || !std::strcmp(Lokal(c), "prstGeom") ||
        !std::strcmp(Lokal(c), "ln"))
      return Praefix(c);
  return "a:";
}

pugi::xml_node Anker(const ShapeState& s) {
  return KindLokal(s.element, "anchor");
}
pugi::xml_node VmlForm(const ShapeState& s) {
  for (pugi::xml_node c : s.element.children())
    if (c.type() == pugi::node_element && std::strncmp(c.name(), "o:", 2) &&
        std::strcmp(Lokal(c), "shapetype") && std::strcmp(Lokal(c), "control"))
      return c;
  return {};
}
pugi::xml_node SpPr(const ShapeState& s) {
  return Nachfahr(Anker(s), "spPr");
}

const std::initializer_list<const char*> kFuellungen = {"noFill",   "solidFill", "gradFill",
                                                        "blipFill", "pattFill",  "grpFill"};

pugi::xml_node Fuellung(pugi::xml_node spPr) {
  for (pugi::xml_node c : spPr.children())
    for (const char* f : kFuellungen)
      if (!std::strcmp(Lokal(c), f)) return c;
  return {};
}

// Replaces the fill of spPr (or of a:ln) by a new element `lokal`, at the fill's place.
pugi::xml_node FuellungErsetzen(pugi::xml_node behaelter, const char* lokal, bool inLinie) {
  std::string praefix = inLinie ? Praefix(behaelter) : Dml(behaelter);
  pugi::xml_node alt = Fuellung(behaelter);
  pugi::xml_node neu;
  if (alt) {
    neu = behaelter.insert_child_before((praefix + lokal).c_str(), alt);
    behaelter.remove_child(alt);
  } else if (inLinie) {
    neu = behaelter.prepend_child((praefix + lokal).c_str());
  } else {
    pugi::xml_node nach;
    for (pugi::xml_node c : behaelter.children())
      if (!std::strcmp(Lokal(c), "xfrm") || !std::strcmp(Lokal(c), "prstGeom") ||
          !std::strcmp(Lokal(c), "custGeom"))
        nach = c;
    neu = nach ? behaelter.insert_child_after((praefix + lokal).c_str(), nach)
               : behaelter.prepend_child((praefix + lokal).c_str());
  }
  return neu;
}

double StilWert(std::string_view stil, std::string_view name) {
  std::size_t pos = 0;
  while (pos < stil.size()) {
    std::size_t ende = stil.find(';', pos);
    std::string_view teil = stil.substr(pos, ende == std::string_view::npos ? ende : ende - pos);
    std::size_t doppel = teil.find(':');
    if (doppel != std::string_view::npos && teil.substr(0, doppel) == name) {
      std::string wert(teil.substr(doppel + 1));
      double zahl = std::atof(wert.c_str());
      if (wert.find("in") != std::string::npos)
        zahl *= 72;
      else if (wert.find("cm") != std::string::npos)
        zahl *= 72 / 2.54;
      else if (wert.find("mm") != std::string::npos)
        zahl *= 72 / 25.4;
      return zahl;
    }
    if (ende == std::string_view::npos) break;
    pos = ende + 1;
  }
  return 0;
}

}  // namespace

// ---- FillFormat, LineFormat, TextFrame --------------------------------------------------

bool FillFormat::Visible() const {
  ShapeState& s = Z(shape_);
  if (pugi::xml_node spPr = SpPr(s)) {
    pugi::xml_node f = Fuellung(spPr);
    return !f || std::strcmp(Lokal(f), "noFill");
  }
  std::string_view gefuellt = VmlForm(s).attribute("filled").value();
  return !(gefuellt == "f" || gefuellt == "false");
}

void FillFormat::SetVisible(bool visible) {
  ShapeState& s = Z(shape_);
  if (pugi::xml_node spPr = SpPr(s)) {
    if (!visible) {
      FuellungErsetzen(spPr, "noFill", false);
    } else if (!Visible()) {
      pugi::xml_node fill = FuellungErsetzen(spPr, "solidFill", false);
      fill.append_child((Dml(spPr) + "srgbClr").c_str()).append_attribute("val") = "FFFFFF";
    }
  } else if (pugi::xml_node v = VmlForm(s)) {
    pugi::xml_attribute a = v.attribute("filled");
    if (!a) a = v.append_attribute("filled");
    a = visible ? "t" : "f";
  }
  s.core->mainDirty = true;
}

float FillFormat::Transparency() const {
  ShapeState& s = Z(shape_);
  pugi::xml_node alpha = Nachfahr(Fuellung(SpPr(s)), "alpha");
  if (alpha) return static_cast<float>(1.0 - alpha.attribute("val").as_double(100000) / 100000);
  if (pugi::xml_node fill = KindLokal(VmlForm(s), "fill"))
    return static_cast<float>(1.0 - fill.attribute("opacity").as_double(1.0));
  return 0;
}

void FillFormat::SetTransparency(float transparency) {
  ShapeState& s = Z(shape_);
  if (!(transparency >= 0 && transparency <= 1))
    Fehler(5, "Die Transparenz muss zwischen 0 und 1 liegen.");
  if (pugi::xml_node spPr = SpPr(s)) {
    pugi::xml_node fill = Fuellung(spPr);
    if (fill && !std::strcmp(Lokal(fill), "solidFill")) {
      pugi::xml_node farbe = fill.first_child();
      if (!farbe) {
        farbe = fill.append_child((Dml(spPr) + "srgbClr").c_str());
        farbe.append_attribute("val") = "FFFFFF";
      }
      pugi::xml_node alpha = KindLokal(farbe, "alpha");
      if (!alpha) alpha = farbe.append_child((Dml(spPr) + "alpha").c_str());
      if (!alpha.attribute("val")) alpha.append_attribute("val");
      alpha.attribute("val") = std::lround((1.0 - transparency) * 100000);
    }
  } else if (pugi::xml_node v = VmlForm(s)) {
    pugi::xml_node fill = KindLokal(v, "fill");
    if (!fill) fill = v.prepend_child("v:fill");
    if (!fill.attribute("opacity")) fill.append_attribute("opacity");
    fill.attribute("opacity") = std::to_string(1.0 - transparency).c_str();
  }
  s.core->mainDirty = true;
}

bool LineFormat::Visible() const {
  ShapeState& s = Z(shape_);
  if (pugi::xml_node spPr = SpPr(s)) {
    pugi::xml_node ln = KindLokal(spPr, "ln");
    pugi::xml_node f = Fuellung(ln);
    return !f || std::strcmp(Lokal(f), "noFill");
  }
  std::string_view linie = VmlForm(s).attribute("stroked").value();
  return !(linie == "f" || linie == "false");
}

void LineFormat::SetVisible(bool visible) {
  ShapeState& s = Z(shape_);
  if (pugi::xml_node spPr = SpPr(s)) {
    pugi::xml_node ln = KindLokal(spPr, "ln");
    if (!ln) {
      pugi::xml_node nach = Fuellung(spPr);
      if (!nach) nach = KindLokal(spPr, "prstGeom");
      ln = nach ? spPr.insert_child_after((Dml(spPr) + "ln").c_str(), nach)
                : spPr.append_child((Dml(spPr) + "ln").c_str());
    }
    if (!visible) {
      FuellungErsetzen(ln, "noFill", true);
    } else if (!Visible()) {
      pugi::xml_node fill = FuellungErsetzen(ln, "solidFill", true);
      fill.append_child((Dml(spPr) + "srgbClr").c_str()).append_attribute("val") = "000000";
    }
  } else if (pugi::xml_node v = VmlForm(s)) {
    pugi::xml_attribute a = v.attribute("stroked");
    if (!a) a = v.append_attribute("stroked");
    a = visible ? "t" : "f";
  }
  s.core->mainDirty = true;
}

namespace {
pugi::xml_node Textinhalt(const ShapeState& s) {
  return Nachfahr(s.element, "txbxContent");
}
}  // namespace

Range TextFrame::TextRange() const {
  ShapeState& s = Z(shape_);
  pugi::xml_node inhalt = Textinhalt(s);
  if (!inhalt) Fehler(detail::kNichtVerfuegbar, "Die Form enthält keinen Text.");
  auto story = s.core->TextboxStory(inhalt);
  return Range(story->NewRange(0, story->Length()));
}

bool TextFrame::HasText() const {
  return static_cast<bool>(Textinhalt(Z(shape_)));
}

// ---- Shape ------------------------------------------------------------------------------

const std::shared_ptr<ShapeState>& Shape::Checked() const {
  Z(state_);
  return state_;
}

std::string Shape::Name() const {
  ShapeState& s = Z(state_);
  if (pugi::xml_node anker = Anker(s)) return KindLokal(anker, "docPr").attribute("name").value();
  return VmlForm(s).attribute("id").value();
}

void Shape::SetName(const std::string& name) {
  ShapeState& s = Z(state_);
  pugi::xml_node ziel = Anker(s) ? KindLokal(Anker(s), "docPr") : VmlForm(s);
  const char* attr = Anker(s) ? "name" : "id";
  if (!ziel.attribute(attr)) ziel.append_attribute(attr);
  ziel.attribute(attr) = name.c_str();
  s.core->mainDirty = true;
}

namespace {
double Versatz(pugi::xml_node anker, const char* richtung) {
  return KindLokal(KindLokal(anker, richtung), "posOffset").text().as_llong() / kEmuJePunkt;
}
}  // namespace

float Shape::Left() const {
  ShapeState& s = Z(state_);
  if (pugi::xml_node a = Anker(s)) return static_cast<float>(Versatz(a, "positionH"));
  return static_cast<float>(StilWert(VmlForm(s).attribute("style").value(), "margin-left"));
}

float Shape::Top() const {
  ShapeState& s = Z(state_);
  if (pugi::xml_node a = Anker(s)) return static_cast<float>(Versatz(a, "positionV"));
  return static_cast<float>(StilWert(VmlForm(s).attribute("style").value(), "margin-top"));
}

void Shape::SetTop(float points) {
  ShapeState& s = Z(state_);
  pugi::xml_node a = Anker(s);
  if (!a) Fehler(detail::kNichtVerfuegbar, "Die Lage dieser Form kann nicht geändert werden.");
  pugi::xml_node posV = KindLokal(a, "positionV");
  std::string praefix = Praefix(a);
  for (pugi::xml_node c = posV.first_child(); c;) {
    pugi::xml_node weiter = c.next_sibling();
    posV.remove_child(c);
    c = weiter;
  }
  posV.append_child((praefix + "posOffset").c_str())
      .text()
      .set(std::to_string(std::llround(points * kEmuJePunkt)).c_str());
  s.core->mainDirty = true;
}

float Shape::Width() const {
  ShapeState& s = Z(state_);
  if (pugi::xml_node a = Anker(s))
    return static_cast<float>(KindLokal(a, "extent").attribute("cx").as_llong() / kEmuJePunkt);
  return static_cast<float>(StilWert(VmlForm(s).attribute("style").value(), "width"));
}

float Shape::Height() const {
  ShapeState& s = Z(state_);
  if (pugi::xml_node a = Anker(s))
    return static_cast<float>(KindLokal(a, "extent").attribute("cy").as_llong() / kEmuJePunkt);
  return static_cast<float>(StilWert(VmlForm(s).attribute("style").value(), "height"));
}

std::int32_t Shape::RelativeVerticalPosition() const {
  ShapeState& s = Z(state_);
  std::string_view bezug =
      KindLokal(KindLokal(Anker(s), "positionV"), "positionV").attribute("relativeFrom").value();
  bezug = KindLokal(Anker(s), "positionV").attribute("relativeFrom").value();
  if (bezug == "page") return wdRelativeVerticalPositionPage;
  if (bezug == "paragraph") return wdRelativeVerticalPositionParagraph;
  return wdRelativeVerticalPositionMargin;
}

void Shape::SetRelativeVerticalPosition(std::int32_t relativeTo) {
  ShapeState& s = Z(state_);
  static const char* const kBezug[] = {"margin", "page", "paragraph", "line"};
  if (relativeTo < 0 || relativeTo > 3) Fehler(5, "Ungültiger Bezug der Lage.");
  pugi::xml_node posV = KindLokal(Anker(s), "positionV");
  if (!posV) Fehler(detail::kNichtVerfuegbar, "Die Lage dieser Form kann nicht geändert werden.");
  if (!posV.attribute("relativeFrom")) posV.append_attribute("relativeFrom");
  posV.attribute("relativeFrom") = kBezug[relativeTo];
  s.core->mainDirty = true;
}

void Shape::Select() const {
  ShapeState& s = Z(state_);
  detail::Story& st = s.core->Main();
  std::int32_t pos = st.PositionOfMarker(s.element);
  s.core->App().Selection().SetRange(Range(st.NewRange(pos, pos)));
}

void Shape::Delete() {
  ShapeState& s = Z(state_);
  pugi::xml_node weg = s.element;
  for (pugi::xml_node n = weg.parent(); n; n = n.parent()) {
    if (!std::strcmp(Lokal(n), "AlternateContent")) weg = n;
    if (s.core->mainWml.Ist(n, "r") || s.core->mainWml.Ist(n, "p")) break;
  }
  pugi::xml_node lauf = weg.parent();
  s.core->ZeichnungEntfernt(s.element);
  lauf.remove_child(weg);
  if (s.core->mainWml.Ist(lauf, "r")) {
    bool leer = true;
    for (pugi::xml_node c : lauf.children())
      if (c.type() == pugi::node_element && !s.core->mainWml.Ist(c, "rPr")) leer = false;
    if (leer) lauf.parent().remove_child(lauf);
  }
}

bool Shape::IsDeleted() const {
  return !state_ || state_->deleted;
}

// ---- Shapes -----------------------------------------------------------------------------

Shape Shapes::Item(std::int32_t index) const {
  if (index < 1 || index > Count())
    Fehler(fehlernummer::ElementFehlt, "Die Form " + std::to_string(index) +
                                           " ist nicht vorhanden (" + std::to_string(Count()) +
                                           " Formen).");
  return items_[index - 1];
}

Shape Shapes::Item(const std::string& name) const {
  for (const Shape& s : items_)
    if (!s.IsDeleted() && s.Name() == name) return s;
  Fehler(fehlernummer::ElementFehlt, "Eine Form »" + name + "« gibt es nicht.");
}

Shape Shapes::AddTextbox(std::int32_t orientation, float left, float top, float width,
                         float height) {
  if (orientation < 1 || orientation > 6 || !(width > 0) || !(height > 0))
    Fehler(5, "Ungültige Maße für das Textfeld.");
  detail::Core& core = *core_;
  detail::Story& st = core.Main();
  const detail::Wml& w = st.wml;
  // The anchor paragraph: that of the selection in the main story, else the last one.
  std::int32_t pos = st.Length() - 1;
  if (auto app = core.application.lock()) {
    const word::Selection& sel = app->Selection();
    word::Range r = sel.Range();
    if (r.State()->story.get() == &st) pos = std::min(r.Start(), st.Length() - 1);
  }
  std::vector<pugi::xml_node> absaetze = st.Paragraphs(pos, pos);
  if (absaetze.empty()) Fehler(detail::kNichtVerfuegbar, "Kein Absatz für das Textfeld.");
  std::uint32_t id = core.NeueZeichnungsId();
  std::string name = "Textfeld " + std::to_string(id);
  auto emu = [](float pt) { return std::to_string(std::llround(pt * kEmuJePunkt)); };
  std::string W = w.Prefix();
  std::string xml =
      "<" + W + "r><" + W +
      "drawing><wp:anchor "
      "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
      "distT=\"0\" distB=\"0\" distL=\"114300\" distR=\"114300\" simplePos=\"0\" "
      "relativeHeight=\"251659264\" behindDoc=\"0\" locked=\"0\" layoutInCell=\"1\" "
      "allowOverlap=\"1\"><wp:simplePos x=\"0\" y=\"0\"/>"
      "<wp:positionH relativeFrom=\"column\"><wp:posOffset>" +
      emu(left) +
      "</wp:posOffset></wp:positionH><wp:positionV relativeFrom=\"paragraph\"><wp:posOffset>" +
      emu(top) + "</wp:posOffset></wp:positionV><wp:extent cx=\"" + emu(width) + "\" cy=\"" +
      emu(height) +
      "\"/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/><wp:wrapNone/>"
      "<wp:docPr id=\"" +
      std::to_string(id) + "\" name=\"" + name +
      "\"/>"
      "<wp:cNvGraphicFramePr/>"
      "<a:graphic xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">"
      "<a:graphicData uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\">"
      "<wps:wsp xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\">"
      "<wps:cNvSpPr txBox=\"1\"/><wps:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"" +
      emu(width) + "\" cy=\"" + emu(height) +
      "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/>"
      "</a:prstGeom><a:solidFill><a:srgbClr val=\"FFFFFF\"/></a:solidFill><a:ln w=\"6350\">"
      "<a:solidFill><a:srgbClr val=\"000000\"/></a:solidFill></a:ln></wps:spPr><wps:txbx><" +
      W + "txbxContent><" + W + "p/></" + W +
      "txbxContent></wps:txbx><wps:bodyPr rot=\"0\" "
      "vert=\"" +
      std::string(orientation == msoTextOrientationHorizontal ? "horz" : "vert") +
      "\" wrap=\"square\" lIns=\"91440\" tIns=\"45720\" rIns=\"91440\" bIns=\"45720\" "
      "anchor=\"t\" anchorCtr=\"0\"><a:noAutofit/></wps:bodyPr></wps:wsp></a:graphicData>"
      "</a:graphic></wp:anchor></" +
      W + "drawing></" + W + "r>";
  pugi::xml_node absatz = absaetze.front();
  pugi::xml_parse_result ok = absatz.append_buffer(xml.data(), xml.size());
  if (!ok) Fehler(5, "Das Textfeld konnte nicht angelegt werden.");
  pugi::xml_node zeichnung = w.Kind(absatz.last_child(), "drawing");
  core.mainDirty = true;
  ++core.generation;
  Shape form(core.ShapeHandle(zeichnung));
  items_.push_back(form);
  return form;
}

}  // namespace tarvo::word

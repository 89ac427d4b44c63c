"""Invoice letters of many shapes, written with python-docx (not with tarvo's model): the
"lumoStart" marker at the start, in the middle or at the end of a paragraph, alone in its
paragraph, spanning two paragraphs, on an empty range, over runs of mixed formatting, after a
table of the letter's own (no comment), or in a table cell; the amount markers "lumoNetto", "lumoMwSt", "lumoBrutto" each before an old
amount "0,00 €". python-docx has no comments of its own here, so the comments part is added
through its package API.

Usage: briefe.py ORDNER [FORM ...]  (all forms without a list)
       briefe.py --text DATEI ENDE   prints the letter's text outside tables up to the paragraph
                                     starting with ENDE, paragraphs joined without separator"""
import os
import sys

from docx import Document
from docx.opc.constants import RELATIONSHIP_TYPE as RT
from docx.opc.packuri import PackURI
from docx.opc.part import Part
from docx.oxml.ns import qn
from lxml import etree

W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
XML_SPACE = "{http://www.w3.org/XML/1998/namespace}space"


def element(tag, **attrs):
    node = etree.Element(qn(tag))
    for name, value in attrs.items():
        node.set(qn(name.replace("_", ":")), value)
    return node


def lauf(text, fett=False, kursiv=False):
    r = element("w:r")
    if fett or kursiv:
        rpr = etree.SubElement(r, qn("w:rPr"))
        if fett:
            etree.SubElement(rpr, qn("w:b"))
        if kursiv:
            etree.SubElement(rpr, qn("w:i"))
    t = etree.SubElement(r, qn("w:t"))
    t.text = text
    t.set(XML_SPACE, "preserve")
    return r


class Brief:
    def __init__(self):
        self.doc = Document()
        self.kommentare = []

    def kommentar(self, text):
        kid = str(len(self.kommentare))
        self.kommentare.append((kid, text))
        return kid

    def absatz(self, text=""):
        return self.doc.add_paragraph(text)._p

    def markiert(self, p, vor, wort, nach, marke, wort_laeufe=None):
        """Appends to paragraph p: `vor`, the marked `wort` (or runs), `nach`."""
        kid = self.kommentar(marke)
        if vor:
            p.append(lauf(vor))
        p.append(element("w:commentRangeStart", w_id=kid))
        for r in wort_laeufe or ([lauf(wort)] if wort else []):
            p.append(r)
        p.append(element("w:commentRangeEnd", w_id=kid))
        ref = element("w:r")
        ref.append(element("w:commentReference", w_id=kid))
        p.append(ref)
        if nach:
            p.append(lauf(nach))

    def speichern(self, datei):
        wurzel = etree.Element(qn("w:comments"), nsmap={"w": W})
        for kid, text in self.kommentare:
            c = etree.SubElement(wurzel, qn("w:comment"))
            c.set(qn("w:id"), kid)
            c.set(qn("w:author"), "Büro")
            c.set(qn("w:initials"), "B")
            etree.SubElement(c, qn("w:p")).append(lauf(text))
        blob = etree.tostring(wurzel, xml_declaration=True, encoding="UTF-8", standalone=True)
        teil = Part(PackURI("/word/comments.xml"),
                    "application/vnd.openxmlformats-officedocument.wordprocessingml.comments+xml",
                    blob, self.doc.part.package)
        self.doc.part.relate_to(teil, RT.COMMENTS)
        self.doc.save(datei)


SATZ = "Für die Vermessung berechnen wir folgende Leistungen:"


def brief(form, datei):
    b = Brief()
    b.absatz("Vermessungsbüro Beispiel, Dresden")
    b.absatz("Rechnung Nr. 1")
    if form == "mitte":
        b.markiert(b.absatz(), "Für die Vermessung berechnen wir folgende ", "Leistungen", ":",
                   "lumoStart")
    elif form == "anfang":
        b.markiert(b.absatz(), "", "Für", " die Vermessung berechnen wir folgende Leistungen:",
                   "lumoStart")
    elif form == "ende":
        b.markiert(b.absatz(), SATZ, "", "", "lumoStart")
    elif form == "allein":
        b.absatz(SATZ)
        b.markiert(b.absatz(), "", "Leistungen", "", "lumoStart")
    elif form == "leer":
        b.markiert(b.absatz(), "Für die Vermessung berechnen wir ", "", "folgende Leistungen:",
                   "lumoStart")
    elif form == "gemischt":
        b.markiert(b.absatz(), "Für die Vermessung berechnen wir ", "", ":", "lumoStart",
                   [lauf("folgende "), lauf("Leis", fett=True), lauf("tungen", kursiv=True)])
    elif form == "zwei_absaetze":
        kid = b.kommentar("lumoStart")
        p1 = b.absatz()
        p1.append(lauf("Für die Vermessung berechnen wir "))
        p1.append(element("w:commentRangeStart", w_id=kid))
        p1.append(lauf("folgende"))
        p2 = b.absatz()
        p2.append(lauf("Leistungen"))
        p2.append(element("w:commentRangeEnd", w_id=kid))
        ref = element("w:r")
        ref.append(element("w:commentReference", w_id=kid))
        p2.append(ref)
        p2.append(lauf(":"))
    elif form == "briefkopf":
        # The office's own table before the marker, without any comment: an address block.
        kopf = b.doc.add_table(rows=1, cols=2)
        kopf.cell(0, 0).text = "Vermessungsbüro Beispiel"
        kopf.cell(0, 1).text = "Musterstraße 1, 01067 Dresden"
        b.markiert(b.absatz(), "Für die Vermessung berechnen wir folgende ", "Leistungen", ":",
                   "lumoStart")
    elif form == "zelle":
        tabelle = b.doc.add_table(rows=1, cols=2)
        tabelle.cell(0, 0).text = "Leistungen"
        zelle = tabelle.cell(0, 1)._tc
        p = zelle.findall(qn("w:p"))[0]
        b.markiert(p, "Wir berechnen ", "folgende", " Leistungen:", "lumoStart")
    else:
        raise SystemExit("unbekannte Form " + form)
    b.absatz("Mit freundlichen Grüßen")
    b.markiert(b.absatz(), "Nettobetrag: ", "", "0,00 € zuzüglich Steuer", "lumoNetto")
    b.markiert(b.absatz(), "Mehrwertsteuer: ", "", "0,00 € laut Gesetz", "lumoMwSt")
    b.markiert(b.absatz(), "Gesamt: ", "", "0,00 € bitte überweisen", "lumoBrutto")
    b.speichern(datei)


FORMEN = ["anfang", "mitte", "ende", "allein", "leer", "gemischt", "zwei_absaetze", "briefkopf",
          "zelle"]

def text_bis(datei, ende):
    doc = Document(datei)
    teile = []
    for p in doc.paragraphs:
        if p.text.startswith(ende):
            break
        teile.append(p.text)
    return "".join(teile)


if __name__ == "__main__":
    if sys.argv[1] == "--text":
        sys.stdout.write(text_bis(sys.argv[2], sys.argv[3]))
        raise SystemExit(0)
    ordner = sys.argv[1]
    for form in sys.argv[2:] or FORMEN:
        brief(form, os.path.join(ordner, "Brief-" + form + ".docx"))

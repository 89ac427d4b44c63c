"""Checks the German help (Hilfe/): every page is well-formed enough to read, names its language
and title, every link and image resolves to a file of the folder (and to an element with that id
when it names one), no link leaves the folder, and every page can be reached from the start page.
Usage: links.py HILFE_ORDNER. Prints each fault and exits 1 when there is one."""
import html.parser
import os
import sys
import urllib.parse


class Seite(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids = set()
        self.ziele = []
        self.sprache = None
        self.titel = False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.add(attrs["id"])
        if tag == "html":
            self.sprache = attrs.get("lang")
        if tag == "title":
            self.titel = True
        for name in ("href", "src"):
            if attrs.get(name):
                self.ziele.append(attrs[name])


def main():
    ordner = os.path.abspath(sys.argv[1])
    seiten = {}
    for name in sorted(os.listdir(ordner)):
        if name.endswith((".html", ".htm")):
            seite = Seite()
            with open(os.path.join(ordner, name), encoding="utf-8") as datei:
                seite.feed(datei.read())
            seiten[name] = seite
    fehler = []
    if "index.html" not in seiten:
        fehler.append("index.html fehlt")
    erreicht, offen = set(), ["index.html"]
    for name, seite in seiten.items():
        if seite.sprache != "de":
            fehler.append(f"{name}: <html lang=\"de\"> fehlt")
        if not seite.titel:
            fehler.append(f"{name}: <title> fehlt")
        for ziel in seite.ziele:
            teile = urllib.parse.urlsplit(ziel)
            if teile.scheme or teile.netloc:
                fehler.append(f"{name}: Verweis nach außen {ziel}")
                continue
            datei = urllib.parse.unquote(teile.path) or name
            pfad = os.path.normpath(os.path.join(ordner, datei))
            if os.path.dirname(pfad) != ordner:
                fehler.append(f"{name}: {ziel} verlässt den Hilfeordner")
            elif not os.path.isfile(pfad):
                fehler.append(f"{name}: {ziel} führt ins Leere")
            elif teile.fragment and teile.fragment not in seiten.get(datei, Seite()).ids:
                fehler.append(f"{name}: {ziel}: kein Element mit id=\"{teile.fragment}\"")
    while offen:
        name = offen.pop()
        if name in erreicht or name not in seiten:
            continue
        erreicht.add(name)
        for ziel in seiten[name].ziele:
            datei = urllib.parse.urlsplit(ziel).path
            if datei.endswith((".html", ".htm")):
                offen.append(datei)
    for name in sorted(set(seiten) - erreicht):
        fehler.append(f"{name}: von der Startseite aus nicht erreichbar")
    for meldung in fehler:
        print(meldung)
    print(f"{len(seiten)} Seiten geprüft, {len(fehler)} Fehler")
    return 1 if fehler else 0


if __name__ == "__main__":
    sys.exit(main())

"""A category-3 invoice typed in a real window by keyboard alone, at a 1366×768 screen: Xvfb with
openbox, every key a real X event (xdotool). The form is opened through the menu (Alt+K), the
rows are typed and chosen from the keyboard (the sub-item typed over its cell, the density class
from the list opened with F4), Ctrl+Return presses "OK", Ctrl+S saves. The saved statement must
equal the one `tarvo run` writes for the same values. Usage: kat3_tastatur.py BUILD_DIR [BILDER]

Screenshots go to BILDER (default BUILD_DIR/bilder/fenster-kat3): the category-1 and category-3
forms whole at 1366×768 and the preview after "OK". Exit status 0 when the statements agree, 1
with the difference named, 77 when the X tools are missing (skipped).
"""

import json
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import fenster  # noqa: E402

# Row 1: the parcel as the form fills it, Nr. 5.1.2 typed, the second density class, three
# lengths; Tab in the last column adds row 2: parcel typed, Nr. 5.1.3, the third class, 300 m.
ZEILEN = [[None, "5.1.2", "über 5 bis 15", "120", "80", "40"],
          ["Flst.Nr. 90", "5.1.3", "über 15", "300", None, None]]


ausfuehren = fenster.ausfuehren


class Lauf(fenster.Lauf):
    def __init__(self, build, bilder):
        super().__init__(build, bilder, "tarvo-kat3-")

    def vorbereiten(self):
        r = ausfuehren([self.tarvo, "demo", self.pfad("demo")])
        if r.returncode != 0:
            raise fenster.Fehlschlag("tarvo demo: " + r.stderr)
        for ordner in ["gui", "lauf"]:
            os.makedirs(self.pfad(ordner))
            shutil.copy(self.pfad("demo", "Vorlage.docx"), self.pfad(ordner, "Rechnung.docx"))
            ausfuehren([self.tarvo, "init-db", self.pfad(ordner, "Auftraege.db"), "--beispiel"])

    def tabellen(self, dokument):
        r = ausfuehren([self.tarvo, "inspect", dokument, "--json"])
        if r.returncode != 0:
            raise fenster.Fehlschlag("tarvo inspect %s: %s" % (dokument, r.stderr))
        return json.loads(r.stdout)["tables"]

    def tarvo_run(self):
        auftrag = {"dokument": "Rechnung.docx", "ausgabe": "Rechnung.docx",
                   "datenbank": "Auftraege.db", "benutzer": 1, "rechnung": 1, "kategorie": 2,
                   "antworten": {"tabellenwahl": "neu"}, "eingaben": {"zeilen": ZEILEN},
                   "abschluss": "OK"}
        with open(self.pfad("lauf", "Auftrag.json"), "w", encoding="utf-8") as f:
            json.dump(auftrag, f, ensure_ascii=False)
        r = ausfuehren([self.tarvo, "run", self.pfad("lauf", "Auftrag.json")])
        if r.returncode != 0:
            raise fenster.Fehlschlag("tarvo run: %d %s" % (r.returncode, r.stderr))
        return self.tabellen(self.pfad("lauf", "Rechnung.docx"))

    def bild(self, anzeige, name):
        os.makedirs(self.bilder, exist_ok=True)
        datei = os.path.join(self.bilder, name)
        anzeige.bild(datei)
        print("  Bild:", datei)

    @staticmethod
    def ziehen(anzeige, haupt, von, nach, hoehe=420):
        """Drags the edge at x = `von` of the main window to x = `nach` (a dock's width)."""
        for schritt in (["mousemove", "--window", str(haupt), str(von), str(hoehe)],
                        ["mousedown", "1"],
                        ["mousemove", "--window", str(haupt), str((von + nach) // 2), str(hoehe)],
                        ["mousemove", "--window", str(haupt), str(nach), str(hoehe)],
                        ["mouseup", "1"]):
            anzeige._xdotool(schritt)
            time.sleep(0.3)
        time.sleep(1)

    def pruefen(self):
        self.vorbereiten()
        with fenster.Anzeige(1366, 768, protokoll=self.pfad("protokoll")) as anzeige:
            programm = anzeige.starten(
                [self.gui, self.pfad("gui", "Rechnung.docx"), self.pfad("gui", "Auftraege.db"),
                 "--rechnung", "1"],
                env={"TARVO_CONFIG_DIR": self.pfad("einstellungen"),
                     "TARVO_LOG_DIR": self.pfad("log"), "LC_ALL": "C.UTF-8"},
                name="tarvo-gui")
            haupt = anzeige.warte_auf_fenster(r"tarvo$", pid=programm.pid, zeit=60)
            subprocess.run(["wmctrl", "-i", "-r", hex(haupt), "-b",
                            "add,maximized_vert,maximized_horz"], env=anzeige.env, check=True)
            time.sleep(2)
            # The preview dock narrower (its edge dragged), so the forms stand whole beside it.
            self.ziehen(anzeige, haupt, 902, 1085)

            # Category 1 whole on the screen, then Escape and "Ja": closed, nothing written.
            anzeige.tasten(haupt, "alt+k", "Return")
            time.sleep(3)
            self.bild(anzeige, "gui-kategorie1.png")
            anzeige.tasten(haupt, "Escape")
            frage = anzeige.warte_auf_fenster(r"Flurstückszerlegung|Vermessung|tarvo",
                                              pid=programm.pid)
            time.sleep(1)
            anzeige.tasten(frage, "alt+j")
            time.sleep(2)

            # Category 3 (the third entry of the menu), the rows by keyboard.
            anzeige.tasten(haupt, "alt+k", "Down", "Down", "Return")
            time.sleep(3)
            self.bild(anzeige, "gui-kategorie3.png")
            anzeige.tasten(haupt, "Tab")
            anzeige.tippen(haupt, "5.1.2")
            anzeige.tasten(haupt, "Tab", "F4", "Down", "Return", "Tab")
            for laenge in ["120", "80", "40"]:
                anzeige.tippen(haupt, laenge)
                anzeige.tasten(haupt, "Tab")
            anzeige.tippen(haupt, "Flst.Nr. 90")
            anzeige.tasten(haupt, "Tab")
            anzeige.tippen(haupt, "5.1.3")
            anzeige.tasten(haupt, "Tab", "F4", "Down", "Down", "Return", "Tab")
            anzeige.tippen(haupt, "300")
            anzeige.tasten(haupt, "Return")
            self.bild(anzeige, "formular-kategorie3-getippt.png")
            anzeige.tasten(haupt, "ctrl+Return")
            time.sleep(10)  # the preview converts in the background
            self.ziehen(anzeige, haupt, 1088, 700)  # the dock wide again, to read the page
            self.bild(anzeige, "gui-vorschau.png")
            anzeige.tasten(haupt, "ctrl+s")
            time.sleep(3)
            anzeige.tasten(haupt, "ctrl+q")
            anzeige.warte_ohne_fenster(r"^tarvo", pid=programm.pid, zeit=20)

        erwartet = self.tarvo_run()
        erhalten = self.tabellen(self.pfad("gui", "Rechnung.docx"))
        if erhalten != erwartet:
            raise fenster.Fehlschlag("die Abrechnung weicht von `tarvo run` ab:\n%s\nstatt\n%s" %
                                     (json.dumps(erhalten, ensure_ascii=False)[:2000],
                                      json.dumps(erwartet, ensure_ascii=False)[:2000]))
        print("Kategorie 3 per Tastatur: wie `tarvo run`.")


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    fehlend = fenster.fehlende_programme()
    if fehlend:
        print("übersprungen, es fehlen:", ", ".join(fehlend))
        return 77
    bilder = sys.argv[2] if len(sys.argv) > 2 else os.path.join(sys.argv[1], "bilder",
                                                                "fenster-kat3")
    lauf = Lauf(sys.argv[1], bilder)
    try:
        lauf.pruefen()
    except fenster.Fehlschlag as fehler:
        print("FEHLER:", fehler)
        print("Arbeitsordner:", lauf.ordner)
        return 1
    shutil.rmtree(lauf.ordner, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())

"""A real X display for window tests: Xvfb with the openbox window manager, programs started on
it, input sent as real X events through xdotool, windows found by their title and read back, and
screenshots as PNG files.

    with fenster.Anzeige() as anzeige:
        programm = anzeige.starten(["build/apps/tarvo-gui/tarvo-gui", "a.docx", "a.db"])
        haupt = anzeige.warte_auf_fenster(r"^tarvo", pid=programm.pid)
        anzeige.tasten(haupt, "ctrl+1")
        anzeige.bild("bild.png")

Needs Xvfb, openbox, xdotool, wmctrl, xprop (x11-utils) and xwd (x11-apps) from Debian. `fehlende_programme()` names what is missing, so a test can skip. Everything
started is ended when the `with` block is left, the display last.
"""

import os
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import zlib

PROGRAMME = ["Xvfb", "openbox", "xdotool", "xwd", "xprop", "wmctrl"]


def ausfuehren(befehl, **kw):
    """Runs a program to its end; its output as text."""
    return subprocess.run(befehl, capture_output=True, text=True, **kw)


class Lauf:
    """One window test's programs of the build, its screenshot folder and a working folder."""

    def __init__(self, build, bilder, vorsilbe):
        self.build = os.path.abspath(build)
        self.tarvo = os.path.join(self.build, "apps", "tarvo", "tarvo")
        self.gui = os.path.join(self.build, "apps", "tarvo-gui", "tarvo-gui")
        self.bilder = bilder
        self.ordner = tempfile.mkdtemp(prefix=vorsilbe)

    def pfad(self, *teile):
        return os.path.join(self.ordner, *teile)


def fehlende_programme():
    return [p for p in PROGRAMME if shutil.which(p) is None]


class Fehlschlag(AssertionError):
    pass


class Anzeige:
    """One virtual display with a window manager; programs started on it share its environment."""

    def __init__(self, breite=1600, hoehe=1000, protokoll=None):
        self.groesse = (breite, hoehe)
        self.protokoll = protokoll  # a folder for the programs' output (None: discarded)
        self.prozesse = []
        self.xvfb = None
        self.nummer = None
        self.env = None

    # -- start and stop ------------------------------------------------------------------------

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *fehler):
        self.stop()

    def start(self):
        # Xvfb picks a free display itself and names it through a pipe (-displayfd), so two
        # tests starting at once never share one.
        lesen, schreiben = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(schreiben), "-screen", "0", "%dx%dx24" % self.groesse,
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(schreiben,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(schreiben)
        with os.fdopen(lesen) as kanal:
            zeile = kanal.readline().strip()
        if not zeile.isdigit():
            self.xvfb.kill()
            self.xvfb.wait()
            self.xvfb = None
            raise Fehlschlag("Xvfb ließ sich nicht starten")
        self.nummer = int(zeile)
        self.env = dict(os.environ)
        self.env["DISPLAY"] = ":%d" % self.nummer
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env["QT_QPA_PLATFORM"] = "xcb"
        self.starten(["openbox", "--sm-disable"], name="openbox")
        # The window manager is up when it has claimed the root window.
        if not self._warte(lambda: "_NET_SUPPORTING_WM_CHECK" in self._aus(
                ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]), 10):
            raise Fehlschlag("openbox startete nicht")

    def stop(self):
        for p in reversed(self.prozesse):
            if p.poll() is None:
                p.terminate()
        ende = time.time() + 5
        for p in reversed(self.prozesse):
            try:
                p.wait(max(0.1, ende - time.time()))
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
        self.prozesse = []
        if self.xvfb is not None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(5)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait()
            self.xvfb = None

    def starten(self, befehl, env=None, name=None):
        """Starts a program on this display (its output into the log folder when one is given)."""
        umgebung = dict(self.env)
        umgebung.update(env or {})
        ausgabe = subprocess.DEVNULL
        if self.protokoll:
            os.makedirs(self.protokoll, exist_ok=True)
            name = name or os.path.basename(befehl[0])
            ausgabe = open(os.path.join(self.protokoll, "%s-%d.log" % (name, len(self.prozesse))),
                           "wb")
        p = subprocess.Popen(befehl, env=umgebung, stdout=ausgabe, stderr=subprocess.STDOUT)
        self.prozesse.append(p)
        return p

    def beenden(self, prozess, sig=signal.SIGTERM):
        if prozess.poll() is None:
            prozess.send_signal(sig)
        prozess.wait(10)

    # -- windows -------------------------------------------------------------------------------

    def fenster(self, titel=".", pid=None):
        """The visible windows whose title matches the regular expression `titel`."""
        befehl = ["xdotool", "search", "--all", "--onlyvisible"]
        if pid is not None:
            befehl += ["--pid", str(pid)]
        befehl += ["--name", titel]
        return [int(w) for w in self._aus(befehl).split()]

    def warte_auf_fenster(self, titel, pid=None, zeit=20):
        gefunden = []
        if not self._warte(lambda: gefunden.extend(self.fenster(titel, pid)) or gefunden, zeit):
            prozess = next((p for p in self.prozesse if p.pid == pid), None)
            lage = ""
            if prozess is not None:
                code = prozess.poll()
                lage = "; Prozess %d %s" % (pid, "läuft" if code is None else
                                            "endete mit %d" % code)
            raise Fehlschlag("kein Fenster »%s« nach %d s; offen: %s%s" %
                             (titel, zeit, self.titel_aller(pid), lage))
        return gefunden[0]

    def warte_ohne_fenster(self, titel, pid=None, zeit=10):
        if not self._warte(lambda: not self.fenster(titel, pid), zeit):
            raise Fehlschlag("das Fenster »%s« blieb offen" % titel)

    def titel(self, fenster):
        return self._aus(["xdotool", "getwindowname", str(fenster)]).rstrip("\n")

    def titel_aller(self, pid=None):
        return [self.titel(w) for w in self.fenster(".", pid)]

    def aktives_fenster(self):
        return int(self._aus(["xdotool", "getactivewindow"]).strip() or 0)

    def warte_auf_titel(self, fenster, muster, zeit=10):
        if not self._warte(lambda: re.search(muster, self.titel(fenster)), zeit):
            raise Fehlschlag("Titel »%s« passt nicht zu »%s«" % (self.titel(fenster), muster))

    def geometrie(self, fenster):
        aus = self._aus(["xdotool", "getwindowgeometry", "--shell", str(fenster)])
        werte = dict(z.split("=", 1) for z in aus.split() if "=" in z)
        return int(werte["X"]), int(werte["Y"]), int(werte["WIDTH"]), int(werte["HEIGHT"])

    # -- input ---------------------------------------------------------------------------------

    def aktivieren(self, fenster):
        self._xdotool(["windowactivate", "--sync", str(fenster)])
        self._warte(lambda: self.aktives_fenster() == fenster, 3)

    def tasten(self, fenster, *tasten):
        """Presses keys ("ctrl+1", "alt+o", "Return") one after the other in `fenster`."""
        self.aktivieren(fenster)
        for taste in tasten:
            self._xdotool(["key", "--clearmodifiers", "--delay", "60", taste])
            time.sleep(0.15)

    def tippen(self, fenster, text):
        self.aktivieren(fenster)
        self._xdotool(["type", "--clearmodifiers", "--delay", "40", text])

    def klicken(self, fenster, x, y, knopf=1):
        """A mouse click at (x, y) inside `fenster`."""
        self._xdotool(["mousemove", "--window", str(fenster), str(x), str(y), "click", str(knopf)])

    def schliessen(self, fenster):
        """Asks the window to close, as its frame's X button does."""
        subprocess.run(["wmctrl", "-i", "-c", hex(fenster)], env=self.env, check=True)

    # -- pictures ------------------------------------------------------------------------------

    def bild(self, pfad, fenster=None, warten=0.6):
        """Writes the screen (or one window) to a PNG file, after `warten` seconds for windows
        that just appeared to be painted. Xvfb's root image can miss what a newly mapped window
        painted, so each client window is read on its own and laid over the screen in stacking
        order."""
        time.sleep(warten)
        if fenster:
            breite, hoehe, zeilen = xwd_pixel(self._xwd(["-id", str(fenster)]))
        else:
            breite, hoehe, zeilen = xwd_pixel(self._xwd(["-root"]))
            zeilen = [bytearray(z) for z in zeilen]
            for w in self._stapel():
                try:
                    x, y = self._lage(w)
                    b, h, inhalt = xwd_pixel(self._xwd(["-id", str(w)]))
                except (subprocess.CalledProcessError, Fehlschlag, KeyError, ValueError):
                    continue  # gone meanwhile, or not true colour
                for zeile in range(max(0, -y), min(h, hoehe - y)):
                    links, rechts = max(0, x), min(breite, x + b)
                    if links < rechts:
                        zeilen[y + zeile][links * 3:rechts * 3] = \
                            inhalt[zeile][(links - x) * 3:(rechts - x) * 3]
        png_schreiben(pfad, breite, hoehe, [bytes(z) for z in zeilen])
        return pfad

    def _xwd(self, argumente):
        return subprocess.run(["xwd", "-silent"] + argumente, env=self.env, check=True,
                              capture_output=True).stdout

    def _stapel(self):
        """The managed client windows, bottom first."""
        aus = self._aus(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"])
        return [int(w, 16) for w in re.findall(r"0x[0-9a-fA-F]+", aus.split("#", 1)[-1])]

    def _lage(self, fenster):
        aus = self._aus(["xwininfo", "-id", str(fenster)])
        werte = dict(re.findall(r"Absolute upper-left ([XY]):\s+(-?\d+)", aus))
        if "Map State: IsViewable" not in aus:
            raise ValueError("nicht sichtbar")
        return int(werte["X"]), int(werte["Y"])

    # -- helpers -------------------------------------------------------------------------------

    def _xdotool(self, argumente):
        subprocess.run(["xdotool"] + argumente, env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def _aus(self, befehl):
        r = subprocess.run(befehl, env=self.env, capture_output=True, text=True)
        return r.stdout

    @staticmethod
    def _warte(bedingung, zeit, pause=0.1):
        ende = time.time() + zeit
        while True:
            if bedingung():
                return True
            if time.time() >= ende:
                return False
            time.sleep(pause)


def xwd_pixel(daten):
    """The pixels of a true-colour xwd dump (24 or 32 bits a pixel) as rows of RGB bytes."""
    (kopf, _version, _format, tiefe, breite, hoehe, _offset, _byte_order, _unit, _bit_order,
     _pad, bpp, zeilenbytes, _visual, rmaske, gmaske, bmaske, _bits, _eintraege,
     farben) = struct.unpack(">" + "I" * 20, daten[:80])[:20]
    if bpp not in (24, 32) or (rmaske, gmaske, bmaske) != (0xff0000, 0xff00, 0xff):
        raise Fehlschlag("xwd: %d Bit je Pixel werden nicht gelesen" % bpp)
    n = bpp // 8
    start = kopf + farben * 12
    # The byte order of a pixel: blue first on LSBFirst, red first (after a pad byte) otherwise.
    r, g, b = (2, 1, 0) if struct.unpack(">I", daten[28:32])[0] == 0 else (n - 3, n - 2, n - 1)
    zeilen = []
    for y in range(hoehe):
        roh = daten[start + y * zeilenbytes:start + y * zeilenbytes + breite * n]
        zeile = bytearray(breite * 3)
        zeile[0::3] = roh[r::n]
        zeile[1::3] = roh[g::n]
        zeile[2::3] = roh[b::n]
        zeilen.append(bytes(zeile))
    return breite, hoehe, zeilen


def png_schreiben(pfad, breite, hoehe, zeilen):
    def block(art, inhalt):
        return (struct.pack(">I", len(inhalt)) + art + inhalt +
                struct.pack(">I", zlib.crc32(art + inhalt) & 0xffffffff))

    roh = b"".join(b"\x00" + z for z in zeilen)
    with open(pfad, "wb") as aus:
        aus.write(b"\x89PNG\r\n\x1a\n")
        aus.write(block(b"IHDR", struct.pack(">IIBBBBB", breite, hoehe, 8, 2, 0, 0, 0)))
        aus.write(block(b"IDAT", zlib.compress(roh, 6)))
        aus.write(block(b"IEND", b""))

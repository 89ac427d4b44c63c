"""A host application in Python: runs a fee job through the component's C interface with ctypes
and shows how a let the component refuses leaves the old value.

Usage: gast.py AUFTRAG.json [ORDNER]. Runs the job file's text with its paths relative to ORDNER
(default: the current folder), prints the report (the JSON `tarvo run --json` prints) and ends with
the job's status: 0, 3 (errors logged) or 2 (nothing changed); 1 when the component does not behave
as this example expects. TARVO_BIBLIOTHEK names the library when it is not on the system's path.
"""
import ctypes
import os
import sys

PROGID = b"tarvo_03.GO"


def bibliothek():
    lib = ctypes.CDLL(os.environ.get("TARVO_BIBLIOTHEK", "libtarvo_03.so.0"))
    text = ctypes.POINTER(ctypes.c_char)
    lib.tarvo_version.restype = ctypes.c_char_p
    lib.tarvo_freigeben.argtypes = [ctypes.c_void_p]
    lib.tarvo_auftrag_ausfuehren.argtypes = [ctypes.c_char_p, ctypes.c_char_p, ctypes.POINTER(text)]
    lib.tarvo_objekt_erzeugen.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_void_p)]
    lib.tarvo_go_freigeben.argtypes = [ctypes.c_void_p]
    lib.tarvo_go_setzen.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p]
    lib.tarvo_go_lesen.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.POINTER(text)]
    return lib


def herausgegeben(lib, zeiger):
    """The text tarvo handed out, released."""
    if not zeiger:
        return None
    wert = ctypes.cast(zeiger, ctypes.c_char_p).value.decode("utf-8")
    lib.tarvo_freigeben(zeiger)
    return wert


def auftrag_ausfuehren(lib, auftrag, ordner):
    bericht = ctypes.POINTER(ctypes.c_char)()
    status = lib.tarvo_auftrag_ausfuehren(auftrag.encode("utf-8"), ordner.encode("utf-8"),
                                          ctypes.byref(bericht))
    return status, herausgegeben(lib, bericht)


def abgelehnte_zuweisung_zeigen(lib):
    """Achslänge takes 120, refuses 40000 with 6 (Überlauf) and keeps 120."""
    go = ctypes.c_void_p()
    if lib.tarvo_objekt_erzeugen(PROGID, ctypes.byref(go)) != 0:
        return False
    try:
        name = "Achslänge".encode("utf-8")
        gesetzt = lib.tarvo_go_setzen(go, name, b"120")
        abgelehnt = lib.tarvo_go_setzen(go, name, b"40000")
        wert = ctypes.POINTER(ctypes.c_char)()
        gelesen = lib.tarvo_go_lesen(go, name, ctypes.byref(wert))
        wert = herausgegeben(lib, wert)
        print(f"Achslänge = 40000: Fehler {abgelehnt}, Achslänge bleibt {wert}", file=sys.stderr)
        return gesetzt == 0 and abgelehnt == 6 and gelesen == 0 and wert == "120"
    finally:
        lib.tarvo_go_freigeben(go)


def main():
    if len(sys.argv) not in (2, 3):
        print("Aufruf: gast.py AUFTRAG.json [ORDNER]", file=sys.stderr)
        return 2
    try:
        with open(sys.argv[1], encoding="utf-8") as datei:
            auftrag = datei.read()
    except OSError:
        print(f"Fehler: Die Auftragsdatei »{sys.argv[1]}« lässt sich nicht öffnen.", file=sys.stderr)
        return 2
    lib = bibliothek()
    print("tarvo " + lib.tarvo_version().decode("utf-8"), file=sys.stderr)
    status, bericht = auftrag_ausfuehren(lib, auftrag, sys.argv[2] if len(sys.argv) > 2 else ".")
    if bericht:
        sys.stdout.write(bericht)
    if not abgelehnte_zuweisung_zeigen(lib):
        return 1
    return status


if __name__ == "__main__":
    sys.exit(main())

/* A host application in C: runs a fee job through the component's C interface and shows how a
 * let the component refuses leaves the old value. Built against the installed header:
 *
 *   cc gast.c $(pkg-config --cflags --libs tarvo) -o gast
 *
 * Usage: gast AUFTRAG.json [ORDNER]. Runs the job file's text with its paths relative to ORDNER
 * (default: the current folder), prints the report (the JSON `tarvo run --json` prints) and ends
 * with the job's status: 0, 3 (errors logged) or 2 (nothing changed). Ends with 1 when the
 * component does not behave as this example expects. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <tarvo/tarvo.h>

static char* datei_lesen(const char* pfad) {
  FILE* f = fopen(pfad, "rb");
  if (!f) return NULL;
  size_t groesse = 0, platz = 4096;
  char* text = malloc(platz);
  size_t n;
  while (text && (n = fread(text + groesse, 1, platz - groesse - 1, f)) > 0) {
    groesse += n;
    if (platz - groesse < 2) {
      char* mehr = realloc(text, platz *= 2);
      if (!mehr) free(text);
      text = mehr;
    }
  }
  fclose(f);
  if (text) text[groesse] = '\0';
  return text;
}

/* GO through its ProgID: Achslänge takes 120, refuses 40000 with 6 (Überlauf) and keeps 120. */
static int abgelehnte_zuweisung_zeigen(void) {
  tarvo_go* go = NULL;
  int fehler = tarvo_objekt_erzeugen(TARVO_PROGID, &go);
  if (fehler != 0) {
    fprintf(stderr, "Fehler %d: %s nicht erzeugt\n", fehler, TARVO_PROGID);
    return 1;
  }
  int ok = tarvo_go_setzen(go, "Achslänge", "120") == 0;
  const int abgelehnt = tarvo_go_setzen(go, "Achslänge", "40000");
  char* wert = NULL;
  ok = ok && abgelehnt == 6 && tarvo_go_lesen(go, "Achslänge", &wert) == 0 &&
       strcmp(wert, "120") == 0;
  fprintf(stderr, "Achslänge = 40000: Fehler %d, Achslänge bleibt %s\n", abgelehnt,
          wert ? wert : "?");
  tarvo_freigeben(wert);
  tarvo_go_freigeben(go);
  return ok ? 0 : 1;
}

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    fprintf(stderr, "Aufruf: %s AUFTRAG.json [ORDNER]\n", argv[0]);
    return 2;
  }
  char* auftrag = datei_lesen(argv[1]);
  if (!auftrag) {
    fprintf(stderr, "Fehler: Die Auftragsdatei »%s« lässt sich nicht öffnen.\n", argv[1]);
    return 2;
  }
  fprintf(stderr, "tarvo %s\n", tarvo_version());
  char* bericht = NULL;
  const int status = tarvo_auftrag_ausfuehren(auftrag, argc > 2 ? argv[2] : ".", &bericht);
  free(auftrag);
  if (bericht) fputs(bericht, stdout);
  tarvo_freigeben(bericht);
  if (abgelehnte_zuweisung_zeigen() != 0) return 1;
  return status;
}

/* tarvo/tarvo.h: the C interface of the component tarvo_03 (libtarvo_03.so), for host
 * applications in any language that can call C: surveying fees under the Saxon fee ordinance,
 * written as itemised statements and invoice totals into the host's invoice document (.docx)
 * and its job database (SQLite).
 *
 * Conventions of every call:
 *  - Strings are UTF-8 and end with a zero byte, in and out.
 *  - Every function that can fail returns 0 on success or the error number the component
 *    raises (6 Überlauf, 13 Typen unverträglich, 94 Unzulässige Verwendung von Null, 91 for a
 *    NULL object, 438 for a property GO does not have, 429 for a class the factory does not
 *    know, 7 when memory ran out); tarvo_auftrag_ausfuehren returns the exit status of
 *    `tarvo run` instead. No C++ exception and no abort crosses this interface.
 *  - What tarvo hands out through a char** (texts, JSON) belongs to the caller, who releases
 *    it with tarvo_freigeben. On failure the char** is set to NULL.
 *
 * Concurrency: the component keeps one job state per process, shared by every GO object (two
 * GO objects see the same properties; the last write wins). Every call below except
 * tarvo_version and tarvo_freigeben takes one lock inside tarvo for its whole duration: such
 * calls may come from any thread, but they run one after the other, and a job
 * (tarvo_auftrag_ausfuehren) holds the others back until it ends. tarvo_version and
 * tarvo_freigeben may run at any time, beside any other call. Jobs in different processes run
 * at the same time; two jobs on the same document or invoice wait for each other (up to 10 s,
 * then the second fails with 2).
 */
#ifndef TARVO_TARVO_H
#define TARVO_TARVO_H

#ifdef __cplusplus
extern "C" {
#endif

/* The component's identity, as a host binds to it. */
#define TARVO_TYPBIBLIOTHEK "tarvo_03"
#define TARVO_TYPBIBLIOTHEK_GUID "{B29C12B6-C484-4590-ACE4-C1241D7BFFC3}"
#define TARVO_KLASSE "GO"
#define TARVO_PROGID "tarvo_03.GO"
#define TARVO_KLASSE_GUID "{9B78EE68-0A12-4354-92E0-423BF52D9C5A}"
#define TARVO_SCHNITTSTELLE "_GO"
#define TARVO_SCHNITTSTELLE_GUID "{417DEE13-11C0-4CAB-8AEF-A5297E3818B6}"
#define TARVO_EREIGNISSCHNITTSTELLE "__GO"
#define TARVO_EREIGNISSCHNITTSTELLE_GUID "{4D35722B-C71D-43AF-B266-C52E40FF0A7F}"
#define TARVO_FEHLERRECORD "GO_Error"
#define TARVO_FEHLERRECORD_GUID "{03797A5C-638D-4CED-ABB9-955830CE60BD}"

/* Exit statuses of a job, as `tarvo run` ends. */
#define TARVO_ERFOLG 0               /* the job ran and nothing was logged */
#define TARVO_UNBRAUCHBAR 2          /* input unusable or not saved: nothing was changed */
#define TARVO_FEHLER_PROTOKOLLIERT 3 /* the job ran and was saved, but errors were logged */

/* The component's version and source revision ("0.1.0 (abc1234)"); a static text, never
 * released. */
const char* tarvo_version(void);

/* Releases what tarvo handed out through a char** (NULL is allowed and does nothing). */
void tarvo_freigeben(void* p);

/* Runs a fee job exactly as `tarvo run --json` does: `auftrag_json` is the text of a job file
 * (the format the README describes), its relative paths are taken relative to the folder
 * `basisordner` (NULL or "" for the current folder). Returns 0, 3 or 2 as `tarvo run` ends.
 * With 0 and 3, *bericht_json receives the JSON report `tarvo run --json` prints. With 2
 * (nothing was changed), it receives {"gespeichert": false, "fehler": {"nummer": N,
 * "meldung": "..."}} with the German message `tarvo run` prints. `bericht_json` may be NULL
 * when the report is not wanted. */
int tarvo_auftrag_ausfuehren(const char* auftrag_json, const char* basisordner,
                             char** bericht_json);

/* The class GO. The object holds nothing of its own: its properties live in the process-wide
 * job state, which outlives every GO object. */
typedef struct tarvo_go tarvo_go;

/* A new GO; NULL only when memory ran out. */
tarvo_go* tarvo_go_neu(void);
/* A new GO for `kennung`, the ProgID (TARVO_PROGID) or the class GUID (TARVO_KLASSE_GUID),
 * both without regard to case. Returns 0 and stores the object in *go, or 429 for any other
 * name (*go = NULL). */
int tarvo_objekt_erzeugen(const char* kennung, tarvo_go** go);
/* Releases a GO (NULL is allowed). The job state stays as it is. */
void tarvo_go_freigeben(tarvo_go* go);

/* Lets property `eigenschaft` ("Flurstücksnummer", "Fläche", "Bodenwert", "Lage", "Baukosten",
 * "Achslänge", "Grenzlänge", "Flurstücke", "AnzahlGrenzpunkte", "ID_Benutzer",
 * "DatenbankPfad"; names compared without regard to ASCII case) with a text value, converted
 * as the property converts: German number texts ("1234,5"), integers rounded half to even.
 * `wert` NULL lets Null. Returns 0, or 13 for a text that is no number, 6 outside the
 * property's range (Achslänge 40000), 94 for Null into a number, 438 for an unknown property;
 * on failure the property keeps its value. "Doc", "NeueAbfrage" and "LumoWorkspace" take
 * objects, which a text is not: 13. */
int tarvo_go_setzen(tarvo_go* go, const char* eigenschaft, const char* wert);
/* The value of property `eigenschaft` as text in *wert ("1234,5", "" for an empty text).
 * Returns 0, 438 for an unknown property, 13 for "Doc", "NeueAbfrage", "LumoWorkspace"
 * (objects have no text). */
int tarvo_go_lesen(tarvo_go* go, const char* eigenschaft, char** wert);
/* The last error the component reported (the record GO_Error) as JSON in *fehler_json:
 * {"Funktionsname": "...", "strFehler": "...", "strModul": "...", "strFunktion": "...",
 * "strNr": "...", "Hinweis": 0}; all fields empty (Hinweis 0) while nothing was reported. */
int tarvo_go_fehler(tarvo_go* go, char** fehler_json);
/* Aktualisieren: has no effect; returns 0 (91 for NULL). */
int tarvo_go_aktualisieren(tarvo_go* go);

#ifdef __cplusplus
}
#endif

#endif /* TARVO_TARVO_H */

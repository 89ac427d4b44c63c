-- Example rows for a new job database (`tarvo init-db DATEI --beispiel`): user 1 with 19 % VAT,
-- no partial payment and the due date printed; job 1 with invoice 1, dated 1 December 2026.
BEGIN;

INSERT INTO TempDoc (ID_Benutzer, ID_Auftragsnummer, MeßtruppZusammenfassen, ID_Lieferschein,
                     AbschlagAbsolut, AbschlagProzent, Zahlungsziel, Mehrwertsteuersatz,
                     Preisgruppe1, Preisgruppe2, Preisgruppe3, Preisgruppe4,
                     Mehrwertsteuer, MwStErmäßigt, Rabatt)
VALUES (1, 1, 0, 0, 0, 100, 1, 190, 1, 1, 1, 1, 190, 70, 0);

INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer, Rechnungsart,
                      NettoRechnung, MehrwertsteuerFreierbetrag, Brutto, Mehrwertsteuersatz)
VALUES (1, '2026-001', 1, 1, 0, 0, 0, 190);

INSERT INTO Termine (ID_Termin, ID_Rechnungsnummer, ID_Terminart, Datum)
VALUES (1, 1, 8, '2026-12-01');

INSERT INTO Version (ID_Version, Zahlungsziel, AbstandZahlungsziel, BundZahlungsziel)
VALUES (1, 'Zahlbar bis <14> ohne Abzug', 26, 0);

-- The office and the client of invoice 1, for the e-invoice.
INSERT INTO ERechnungVerkaeufer (ID, Name, Strasse, PLZ, Ort, Land, UStID, Steuernummer, Kontakt,
                                 Telefon, EMail, IBAN, BIC, Bank)
VALUES (1, 'Vermessungsbüro Muster', 'Hauptstraße 1', '01067', 'Dresden', 'DE', 'DE123456789',
        '203/123/45678', 'Erika Muster', '0351 1234567', 'buero@vermessung-muster.de',
        'DE02120300000000202051', 'BYLADEM1001', 'Deutsche Kreditbank');

INSERT INTO ERechnungKaeufer (ID_Rechnungsnummer, Name, Strasse, PLZ, Ort, Land, LeitwegID, EMail)
VALUES (1, 'Landratsamt Meißen', 'Brauhausstraße 21', '01662', 'Meißen', 'DE', '14627000-0001-55',
        'rechnung@kreis-meissen.de');

COMMIT;

-- The job database: the host's tables that tarvo reads and writes.
-- Units: amounts in table Rechnung are hundredths of a euro (INTEGER); VAT rates in TempDoc and
-- Rechnung are tenths of a percent (190 = 19 %); dates are ISO text 'YYYY-MM-DD'; BOOLEAN
-- columns hold 1 or 0. `tarvo init-db` runs this file; sqlite3 DATEI < data/schema.sql works too.
BEGIN;

-- One row per user of the host: the invoice settings that Show loads.
CREATE TABLE TempDoc (
  ID_Benutzer            INTEGER PRIMARY KEY,
  ID_Auftragsnummer      INTEGER,
  MeßtruppZusammenfassen BOOLEAN DEFAULT 0,
  ID_Lieferschein        INTEGER,
  AbschlagAbsolut        DOUBLE  DEFAULT 0,    -- partial payment as an amount, euro
  AbschlagProzent        SMALLINT DEFAULT 100, -- partial payment in percent; 100 = none
  Zahlungsziel           BOOLEAN DEFAULT 0,    -- print the payment due date
  Mehrwertsteuersatz     INTEGER DEFAULT 190,  -- default VAT rate, tenths of a percent
  Preisgruppe1           INTEGER,
  Preisgruppe2           INTEGER,
  Preisgruppe3           INTEGER,
  Preisgruppe4           INTEGER,
  Mehrwertsteuer         INTEGER,              -- tenths of a percent
  MwStErmäßigt           INTEGER,              -- reduced VAT rate, tenths of a percent
  Rabatt                 INTEGER
);

-- Invoices. Rechnungsart: 4 settles the job and deducts its invoices of kind 5; 7 stores its
-- amounts negated; any other value is an ordinary invoice.
CREATE TABLE Rechnung (
  ID_Rechnungsnummer         INTEGER PRIMARY KEY,
  Rechnungsnummer            TEXT,                -- the number the client sees
  ID_Auftragsnummer          INTEGER NOT NULL,
  Rechnungsart               INTEGER NOT NULL DEFAULT 1,
  NettoRechnung              INTEGER DEFAULT 0,   -- taxed net, hundredths of a euro
  MehrwertsteuerFreierbetrag INTEGER DEFAULT 0,   -- VAT-free amount, hundredths of a euro
  Brutto                     INTEGER DEFAULT 0,   -- gross, hundredths of a euro
  Mehrwertsteuersatz         INTEGER DEFAULT 190  -- tenths of a percent
);
CREATE INDEX Rechnung_Auftrag ON Rechnung (ID_Auftragsnummer, Rechnungsart);

-- Appointments of an invoice; kind 8 carries the invoice date the due date counts from.
CREATE TABLE Termine (
  ID_Termin          INTEGER PRIMARY KEY,
  ID_Rechnungsnummer INTEGER REFERENCES Rechnung (ID_Rechnungsnummer),
  ID_Terminart       INTEGER NOT NULL,
  Datum              DATE
);
CREATE INDEX Termine_Rechnung ON Termine (ID_Rechnungsnummer, ID_Terminart);

-- The office's texts; the first row counts. Zahlungsziel holds the terms with the number of
-- days in angle brackets ("Zahlbar bis <14> ohne Abzug").
CREATE TABLE Version (
  ID_Version          INTEGER PRIMARY KEY,
  Zahlungsziel        TEXT,
  AbstandZahlungsziel DOUBLE,  -- distance of the terms line from the top of the page, cm
  BundZahlungsziel    INTEGER  -- 0 left, 1 centred, otherwise right
);

-- tarvo's own tables: the master data of the e-invoice that the host does not keep. The office
-- as seller (one row, ID 1) and the client as buyer of each invoice. `tarvo init-db --ergaenzen`
-- adds them to an existing database; `tarvo stammdaten` fills them from a JSON file.
CREATE TABLE IF NOT EXISTS ERechnungVerkaeufer (
  ID           INTEGER PRIMARY KEY,  -- always 1
  Name         TEXT,
  Strasse      TEXT,
  PLZ          TEXT,
  Ort          TEXT,
  Land         TEXT,                 -- ISO 3166 code, DE
  UStID        TEXT,                 -- VAT ID (DE and 9 digits)
  Steuernummer TEXT,
  Kontakt      TEXT,
  Telefon      TEXT,
  EMail        TEXT,
  IBAN         TEXT,
  BIC          TEXT,
  Bank         TEXT
);
CREATE TABLE IF NOT EXISTS ERechnungKaeufer (
  ID_Rechnungsnummer INTEGER PRIMARY KEY REFERENCES Rechnung (ID_Rechnungsnummer),
  Name               TEXT,
  Strasse            TEXT,
  PLZ                TEXT,
  Ort                TEXT,
  Land               TEXT,
  LeitwegID          TEXT,           -- buyer reference, for public clients the Leitweg-ID
  EMail              TEXT
);

COMMIT;

// The invoice totals. SummeBilden rebuilds them each time a category form has written its fee
// statement: it reads every amount back out of the document's tables, groups them by VAT rate,
// applies the partial-payment settings, writes the totals table ("RE_Summe") and the amount
// fields of the letter, deducts the job's earlier invoices for a final invoice, stores the totals
// in the invoice record and has the payment due date written by ZahlungsZiel. Both trap their
// errors under "GebührenTabelle": the table scan and the removal of the old totals table skip
// failures silently, every later failure is logged and the next step runs.
#pragma once

#include "platform/word/Document.h"

namespace tarvo {

// Rebuilds the totals of the shared Doc and the invoice record Rechnung; `Zahlungsziel` is handed
// on to ZahlungsZiel unchanged.
void SummeBilden(bool Zahlungsziel);

// Removes every text box "Zahlungsziel" of `Dokument`; with `Anzeigen` writes a new one with the
// terms text of table Version, its placeholder "<n>" replaced by the due date (the invoice's
// appointment of kind 8, else today, plus n days).
void ZahlungsZiel(word::Document& Dokument, bool Anzeigen);

}  // namespace tarvo

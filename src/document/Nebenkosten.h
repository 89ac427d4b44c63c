// Nebenkosten: the incidental costs under Nr. 1.3 (2 % of the fees, at least 20 €), computed from
// every fee table the invoice document holds and written as a table of their own, tagged
// "TARVO_Neben", which replaces the one an earlier run wrote. It lives beside the table tags
// because it tags its table with BookmarkSetzen. Removing the old table traps its errors under
// "modStatus"/"Nebenkosten" (logged, then the next step runs); from the sums on every failure is
// skipped silently (short tables, merged cells, no fees at all, no "lumoStart" marker).
#pragma once

#include "platform/controls/Form.h"

namespace tarvo {

// Rewrites the incidental-costs table of the shared Doc. `formular` is the calling category form;
// its check box "chk20" ticked drops the 20 € minimum.
void Nebenkosten(controls::Form& formular);

}  // namespace tarvo

// The record field readers of the shared module: they read a database field's value (the caller
// passes the field's current value) with a safe default, so that a Null in an optional column
// does not break the assignment that follows. Both trap their errors under module "Funktionen";
// after a logged failure the result is Empty, which later conversions read as 0 or False.
#pragma once

#include <string>

#include "common/Variant.h"

namespace tarvo {

// Integer 0 for Null, Empty or the empty text; any other value unchanged (same type). A number
// is never equal to the empty text. An object has no value to compare: logged, result Empty.
Variant ZahlDatensatzLesen(Variant Wert);

// Integer 0 (False) for Null; any other value unchanged, the empty text included.
Variant BoolDatensatzLesen(Variant Wert);

// A key read from a record, as the whole number a query is given as its parameter: a value that
// is no whole number (a text such as "1 OR 1=1" kept in an integer column) throws 13 with a
// German message naming it.
Variant Schluessel(const Variant& Wert);

}  // namespace tarvo

// The form registry: which form an index of Show opens, and the single instance of each form.
// Index 0..5 stand for frmKat1..frmKat6; frmKat7 and frmKat8 are reachable by name only. A form
// keeps one instance while it is loaded: asking again returns that instance; a form not loaded
// (never loaded, or unloaded since) is made anew by the next request. FormulareRegistrieren, called
// once by the host before the first Show, registers every form of this subsystem; an index without
// a form gives no form (nullptr), never an error.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/controls/Form.h"

namespace tarvo::formulare {

using Fabrik = std::function<std::shared_ptr<controls::Form>()>;

// The name of the form at `index` ("frmKat1" for 0 ... "frmKat6" for 5).
std::string NameZuIndex(std::int16_t index);

// Registers the form made by `fabrik` under `index` (its name is NameZuIndex(index)); replaces
// an earlier registration under that index. An instance already made stays until unloaded.
void FormularRegistrieren(std::int16_t index, Fabrik fabrik);
// Registers a form reachable by name only.
void FormularRegistrieren(const std::string& name, Fabrik fabrik);

// Registers all forms of forms/: the empty frmKat5..frmKat8 and the category forms. A name
// already registered keeps its registration, so calling it again changes nothing.
void FormulareRegistrieren();

// The form at `index`: the loaded instance if there is one, else a new one (not yet loaded,
// Show loads it);
// nullptr for an index without a registered form.
std::shared_ptr<controls::Form> Formular(std::int16_t index);
// The same by name ("frmKat7").
std::shared_ptr<controls::Form> Formular(const std::string& name);

// Drops every registration and instance (for tests).
void RegistrierungLeeren();

// An empty form without controls or code (frmKat5..frmKat8).
class LeeresFormular : public controls::Form {
 public:
  explicit LeeresFormular(std::string name) : Form(name, name) {}
};

}  // namespace tarvo::formulare

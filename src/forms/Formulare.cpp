#include "forms/Formulare.h"

#include <map>

#include "forms/kat1/frmKat1.h"
#include "forms/kat2/frmKat2.h"
#include "forms/kat3/frmKat3.h"
#include "forms/kat4/frmKat4.h"

namespace tarvo::formulare {
namespace {

struct Eintrag {
  Fabrik fabrik;
  std::shared_ptr<controls::Form> instanz;
};

std::map<std::string, Eintrag>& Liste() {
  static std::map<std::string, Eintrag> liste;
  return liste;
}

Fabrik Leer(const std::string& name) {
  return [name] { return std::make_shared<LeeresFormular>(name); };
}

}  // namespace

std::string NameZuIndex(std::int16_t index) {
  if (index < 0 || index > 5) return "";
  return "frmKat" + std::to_string(index + 1);
}

void FormularRegistrieren(std::int16_t index, Fabrik fabrik) {
  std::string name = NameZuIndex(index);
  if (!name.empty()) FormularRegistrieren(name, std::move(fabrik));
}

void FormularRegistrieren(const std::string& name, Fabrik fabrik) {
  Liste()[name].fabrik = std::move(fabrik);
}

void FormulareRegistrieren() {
  // A form registered before (by a test, or by an earlier call) keeps its registration.
  auto fehlt = [](const std::string& name, Fabrik fabrik) {
    auto& eintrag = Liste()[name];
    if (!eintrag.fabrik) eintrag.fabrik = std::move(fabrik);
  };
  // The empty forms.
  fehlt("frmKat5", Leer("frmKat5"));
  fehlt("frmKat6", Leer("frmKat6"));
  fehlt("frmKat7", Leer("frmKat7"));
  fehlt("frmKat8", Leer("frmKat8"));
  // The category forms register themselves, each through its own function.
  if (!Liste()[NameZuIndex(0)].fabrik) Kat1Registrieren();
  if (!Liste()[NameZuIndex(1)].fabrik) Kat2Registrieren();
  if (!Liste()[NameZuIndex(2)].fabrik) Kat3Registrieren();
  if (!Liste()[NameZuIndex(3)].fabrik) Kat4Registrieren();
}

std::shared_ptr<controls::Form> Formular(std::int16_t index) {
  std::string name = NameZuIndex(index);
  return name.empty() ? nullptr : Formular(name);
}

std::shared_ptr<controls::Form> Formular(const std::string& name) {
  auto it = Liste().find(name);
  if (it == Liste().end() || !it->second.fabrik) return nullptr;
  Eintrag& eintrag = it->second;
  // A loaded form is the one instance; an unloaded one has lost its state, so a new one
  // takes its place.
  if (!eintrag.instanz || !eintrag.instanz->Loaded()) eintrag.instanz = eintrag.fabrik();
  return eintrag.instanz;
}

void RegistrierungLeeren() {
  Liste().clear();
}

}  // namespace tarvo::formulare

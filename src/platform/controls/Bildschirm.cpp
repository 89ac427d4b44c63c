#include "platform/controls/Bildschirm.h"

#include <utility>

#include "platform/controls/Kopflos.h"

namespace tarvo::controls {
namespace {

std::shared_ptr<Bildschirm>& Platz() {
  static std::shared_ptr<Bildschirm> platz;
  return platz;
}

}  // namespace

Bildschirm& Bildschirm::Aktuell() {
  auto& platz = Platz();
  if (!platz) platz = std::make_shared<Kopflos>();
  return *platz;
}

void Bildschirm::Setzen(std::shared_ptr<Bildschirm> bildschirm) {
  Platz() = bildschirm ? std::move(bildschirm) : std::make_shared<Kopflos>();
}

}  // namespace tarvo::controls

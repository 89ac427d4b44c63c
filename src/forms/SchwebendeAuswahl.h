// Stand-in until the shared floating combo box lands on main (same names and signatures).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/controls/ComboBox.h"
#include "platform/controls/Grid.h"

namespace tarvo::formulare {

class SchwebendeAuswahl {
 public:
  SchwebendeAuswahl(controls::Grid& grid, controls::ComboBox& combo, std::int32_t spalte,
                    std::function<std::int32_t(const std::string&)> index,
                    std::function<void(std::int32_t zeile)> übernommen);
  void Zeigen(std::int32_t zeile);
  void Übernehmen();
  void TestComboEdit(std::int32_t zeile, std::int32_t spalte);
  std::int32_t Zeile() const { return zeile_; }

 private:
  controls::Grid& grid_;
  controls::ComboBox& combo_;
  std::int32_t spalte_;
  std::function<std::int32_t(const std::string&)> index_;
  std::function<void(std::int32_t)> übernommen_;
  std::int32_t zeile_ = 0;
};

}  // namespace tarvo::formulare

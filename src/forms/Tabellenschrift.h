// Stand-in until the shared table-writing helpers land on main (same names and signatures).
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "errors/Falle.h"
#include "platform/word/Document.h"

namespace tarvo::formulare {

enum class Schrift { Normal, Fett, Kursiv };
void Eintragen(word::Table& tabelle, std::int32_t zeile, std::int32_t spalte,
               const std::string& text, Schrift schrift = Schrift::Normal);
std::size_t Zeichen(const std::string& text);
float Punkte(float cm);
void ZellBreiten(Falle& falle, word::Table& tabelle, std::int32_t zeile,
                 std::initializer_list<float> breitenCm);
void RahmenEntfernen(Falle& falle, word::Table& tabelle);
void SpaltenBreiten(Falle& falle, word::Table& tabelle, const float (&breitenCm)[5]);
void SpalteAusrichten(Falle& falle, word::Table& tabelle, std::int32_t spalte,
                      std::int32_t ausrichtung);
std::string Versionsangabe();

}  // namespace tarvo::formulare

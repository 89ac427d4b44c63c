// The fixture of the job session tests: a blank invoice document (named by the test) and the
// example database (user 1, invoice 1) in a folder of their own, a headless screen, the job
// state and the form registry fresh before and after each test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "fees/modStatus.h"
#include "forms/Formulare.h"
#include "host/Auftragssitzung.h"
#include "platform/controls/Kopflos.h"
#include "platform/dao/DaoTestDatei.h"
#include "platform/word/Document.h"

namespace tarvo::test {

class SitzungTest : public ::testing::Test {
 protected:
  explicit SitzungTest(std::string dokument) : dokumentname_(std::move(dokument)) {}

  void SetUp() override {
    Status().Zuruecksetzen();
    formulare::RegistrierungLeeren();
    controls::Bildschirm::Setzen(
        std::make_shared<controls::Kopflos>(ordner_.Datei("einstellungen.ini")));
    daten_.dokument = ordner_.Datei(dokumentname_);
    word::Document::New()->Save(daten_.dokument);
    daten_.datenbank = dao::test::NeueDatenbank(ordner_);
    daten_.benutzer = 1;
    daten_.rechnung = 1;
  }
  void TearDown() override {
    if (auto formular = formulare::Formular(0); formular && formular->Loaded()) formular->Unload();
    formulare::RegistrierungLeeren();
    controls::Bildschirm::Setzen(nullptr);
    Status().Zuruecksetzen();
  }

  dao::test::TestOrdner ordner_;
  Auftragsdaten daten_;

 private:
  std::string dokumentname_;
};

}  // namespace tarvo::test

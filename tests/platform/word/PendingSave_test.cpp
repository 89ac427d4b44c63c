// The file-system side of saving: the two-phase save (written and flushed, then committed by
// the rename), what the new file keeps of the one it replaces, saving through a link, and the
// removal of temporary files that killed saves left behind.
#include "platform/word/docx/PendingSave.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/word/docx/Package.h"

namespace tarvo::word::docx {
namespace {

namespace fs = std::filesystem;

class PendingSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string muster = (fs::temp_directory_path() / "tarvo-speichern-XXXXXX").string();
    ordner_ = ::mkdtemp(muster.data());
    ziel_ = ordner_ / "Rechnung.docx";
    Package::Blank().Save(ziel_);
  }
  void TearDown() override { fs::remove_all(ordner_); }

  // The package with a new main part, to tell the new file from the old.
  static Package Neu() {
    Package paket = Package::Blank();
    paket.SetPart(paket.MainPartName(), "<neu/>");
    return paket;
  }
  static bool IstNeu(const fs::path& datei) {
    Package paket = Package::Open(datei);
    return paket.PartBytes(paket.MainPartName()) == "<neu/>";
  }
  std::vector<std::string> Dateien() const {
    std::vector<std::string> namen;
    for (const auto& eintrag : fs::directory_iterator(ordner_))
      namen.push_back(eintrag.path().filename().string());
    std::sort(namen.begin(), namen.end());
    return namen;
  }
  // A leftover temporary file of a save by process `pid`.
  fs::path Rest(pid_t pid) const {
    fs::path datei = ordner_ / (".Rechnung.docx.tmp" + std::to_string(pid) + "-0-1234");
    std::ofstream(datei) << "halb geschrieben";
    return datei;
  }

  fs::path ordner_, ziel_;
};

TEST_F(PendingSaveTest, TheTargetChangesOnlyWhenCommitted) {
  {
    PendingSave ausstehend = Neu().PrepareSave(ziel_);
    EXPECT_FALSE(IstNeu(ziel_));
    EXPECT_TRUE(fs::exists(ausstehend.Temporary()));
    EXPECT_TRUE(IstNeu(ausstehend.Temporary())) << "written completely before the commit";
  }
  EXPECT_FALSE(IstNeu(ziel_)) << "a pending save dropped without commit changes nothing";
  EXPECT_EQ(Dateien(), std::vector<std::string>{"Rechnung.docx"});

  PendingSave ausstehend = Neu().PrepareSave(ziel_);
  ausstehend.Commit();
  EXPECT_TRUE(IstNeu(ziel_));
  EXPECT_EQ(Dateien(), std::vector<std::string>{"Rechnung.docx"});
}

TEST_F(PendingSaveTest, AFolderAtTheTargetIsRefusedBeforeAnythingIsWritten) {
  fs::create_directory(ordner_ / "Ordner.docx");
  try {
    Neu().PrepareSave(ordner_ / "Ordner.docx");
    ADD_FAILURE() << "a folder was accepted as the target";
  } catch (const Laufzeitfehler& fehler) {
    EXPECT_EQ(fehler.Nummer(), 75);
    EXPECT_NE(fehler.Beschreibung().find("dort liegt ein Ordner"), std::string::npos);
  }
  EXPECT_EQ(Dateien(), (std::vector<std::string>{"Ordner.docx", "Rechnung.docx"}));
}

TEST_F(PendingSaveTest, TheNewFileKeepsTheModeAndOwnerOfTheOldOne) {
  ASSERT_EQ(::chmod(ziel_.c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) ASSERT_EQ(::chown(ziel_.c_str(), 65534, 65534), 0);
  Neu().Save(ziel_);
  struct stat neu {};
  ASSERT_EQ(::stat(ziel_.c_str(), &neu), 0);
  EXPECT_TRUE(IstNeu(ziel_));
  EXPECT_EQ(neu.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(neu.st_uid, 65534u);
    EXPECT_EQ(neu.st_gid, 65534u);
  }
}

TEST_F(PendingSaveTest, SavingThroughALinkReplacesItsTargetAndKeepsTheLink) {
  fs::create_directory(ordner_ / "Ablage");
  const fs::path echt = ordner_ / "Ablage" / "Rechnung.docx";
  fs::rename(ziel_, echt);
  fs::create_symlink("Ablage/Rechnung.docx", ziel_);
  Neu().Save(ziel_);
  EXPECT_TRUE(fs::is_symlink(ziel_));
  EXPECT_TRUE(IstNeu(echt));
  EXPECT_EQ(Dateien(), (std::vector<std::string>{"Ablage", "Rechnung.docx"}));

  // A link to a file not there yet: the file is made where the link points.
  fs::create_symlink("Ablage/Neu.docx", ordner_ / "Neu.docx");
  Neu().Save(ordner_ / "Neu.docx");
  EXPECT_TRUE(fs::is_symlink(ordner_ / "Neu.docx"));
  EXPECT_TRUE(IstNeu(ordner_ / "Ablage" / "Neu.docx"));
}

TEST_F(PendingSaveTest, TemporaryFilesOfGoneProcessesAreRemovedOnTheNextSave) {
  // A process number that has surely ended: a child that is waited for.
  const pid_t vorbei = ::fork();
  if (vorbei == 0) ::_exit(0);
  ::waitpid(vorbei, nullptr, 0);
  const fs::path alt = Rest(vorbei);
  const fs::path lebend = Rest(::getpid());  // a save of ours still in progress
  std::ofstream(ordner_ / ".Andere.docx.tmpx") << "nicht von uns";
  std::ofstream(ordner_ / "Brief.docx.tmp1-2-3") << "nicht versteckt, nicht von uns";

  Neu().Save(ziel_);
  EXPECT_FALSE(fs::exists(alt));
  EXPECT_TRUE(fs::exists(lebend));
  EXPECT_TRUE(fs::exists(ordner_ / ".Andere.docx.tmpx"));
  EXPECT_TRUE(fs::exists(ordner_ / "Brief.docx.tmp1-2-3"));
}

TEST_F(PendingSaveTest, APendingSaveIsNotTakenForALeftover) {
  // Its process is this one; the lock on the file marks it as in use even for a cleaner that
  // cannot see the process (another machine on a shared folder).
  PendingSave ausstehend = Neu().PrepareSave(ziel_);
  Neu().Save(ordner_ / "Anderes.docx");
  EXPECT_TRUE(fs::exists(ausstehend.Temporary()));
  ausstehend.Commit();
  EXPECT_TRUE(IstNeu(ziel_));
}

}  // namespace
}  // namespace tarvo::word::docx

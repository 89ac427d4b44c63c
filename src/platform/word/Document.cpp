#include "platform/word/Document.h"

#include "platform/word/Core.h"
#include "platform/word/docx/Package.h"

namespace tarvo::word {

using detail::Fehler;

std::shared_ptr<Document> Document::Open(const std::filesystem::path& path) {
  return FromPackage(docx::Package::Open(path));
}

std::shared_ptr<Document> Document::New() {
  return FromPackage(docx::Package::Blank());
}

std::shared_ptr<Document> Document::FromPackage(docx::Package package) {
  std::shared_ptr<Document> doc(new Document());
  doc->core_ = detail::Core::Laden(std::move(package));
  doc->application_ = std::make_shared<word::Application>();
  doc->core_->application = doc->application_;
  doc->application_->Selection().SetRange(word::Range(doc->core_->Main().NewRange(0, 0)));
  return doc;
}

std::shared_ptr<Document> Document::FromXml(const std::string& documentXml,
                                            const std::string& commentsXml) {
  docx::Package paket = docx::Package::Blank();
  std::string haupt = paket.MainPartName();
  paket.SetPart(haupt, documentXml);
  if (!commentsXml.empty()) {
    std::string teil = paket.RelatedPart(haupt, docx::kRelComments);
    if (teil.empty()) {
      teil = "word/comments.xml";
      paket.AddRelationship(haupt, docx::kRelComments, teil);
    }
    paket.SetPart(teil, commentsXml, docx::kTypeComments);
  }
  return FromPackage(std::move(paket));
}

Document::~Document() {
  if (core_) core_->GitterVergessen();
}

void Document::Save(const std::filesystem::path& path) {
  core_->Flush();
  core_->paket->Save(path);
}

docx::PendingSave Document::PrepareSave(const std::filesystem::path& path) {
  core_->Flush();
  return core_->paket->PrepareSave(path);
}

word::Tables Document::Tables() const {
  std::vector<Table> liste;
  for (pugi::xml_node tbl : core_->TopTables(core_->Main()))
    liste.emplace_back(core_->TableHandle(tbl, core_->main));
  return word::Tables(core_, std::move(liste));
}

word::Comments Document::Comments() const {
  return word::Comments(core_, core_->KommentarListe());
}

word::Range Document::Content() const {
  detail::Story& st = core_->Main();
  return word::Range(st.NewRange(0, st.Length()));
}

word::Range Document::Range(std::int32_t start, std::int32_t end) const {
  detail::Story& st = core_->Main();
  st.Pruefen(start, end);
  return word::Range(st.NewRange(start, end));
}

word::Shapes Document::Shapes() const {
  std::vector<Shape> liste;
  for (pugi::xml_node z : core_->Zeichnungen()) liste.emplace_back(core_->ShapeHandle(z));
  return word::Shapes(core_, std::move(liste));
}

word::Bookmarks Document::Bookmarks() const {
  return word::Bookmarks(core_);
}

std::string Document::MainXml() const {
  core_->Flush();
  return core_->paket->PartBytes(core_->mainPart);
}

std::string Document::CommentsXml() const {
  core_->Flush();
  if (!core_->hatKommentare) return {};
  return core_->paket->PartBytes(core_->commentsPart);
}

const docx::Package& Document::Package() {
  core_->Flush();
  return *core_->paket;
}

}  // namespace tarvo::word

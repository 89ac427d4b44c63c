#include "erechnung/Facturx.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#define POINTERHOLDER_TRANSITION 4  // qpdf: std::shared_ptr throughout
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEFStreamObjectHelper.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFFileSpecObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>
#include <vector>

#include "errors/Falle.h"

extern char** environ;

namespace tarvo::erechnung {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDateiname = "factur-x.xml";

const char* kFacturXBeschreibung =
    R"(<rdf:Description rdf:about="" xmlns:fx="urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#">
  <fx:DocumentType>INVOICE</fx:DocumentType>
  <fx:DocumentFileName>factur-x.xml</fx:DocumentFileName>
  <fx:Version>1.0</fx:Version>
  <fx:ConformanceLevel>EN 16931</fx:ConformanceLevel>
</rdf:Description>
<rdf:Description rdf:about="" xmlns:pdfaExtension="http://www.aiim.org/pdfa/ns/extension/" xmlns:pdfaSchema="http://www.aiim.org/pdfa/ns/schema#" xmlns:pdfaProperty="http://www.aiim.org/pdfa/ns/property#">
  <pdfaExtension:schemas>
    <rdf:Bag>
      <rdf:li rdf:parseType="Resource">
        <pdfaSchema:schema>Factur-X PDFA Extension Schema</pdfaSchema:schema>
        <pdfaSchema:namespaceURI>urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#</pdfaSchema:namespaceURI>
        <pdfaSchema:prefix>fx</pdfaSchema:prefix>
        <pdfaSchema:property>
          <rdf:Seq>
            <rdf:li rdf:parseType="Resource">
              <pdfaProperty:name>DocumentFileName</pdfaProperty:name>
              <pdfaProperty:valueType>Text</pdfaProperty:valueType>
              <pdfaProperty:category>external</pdfaProperty:category>
              <pdfaProperty:description>name of the embedded XML invoice file</pdfaProperty:description>
            </rdf:li>
            <rdf:li rdf:parseType="Resource">
              <pdfaProperty:name>DocumentType</pdfaProperty:name>
              <pdfaProperty:valueType>Text</pdfaProperty:valueType>
              <pdfaProperty:category>external</pdfaProperty:category>
              <pdfaProperty:description>INVOICE</pdfaProperty:description>
            </rdf:li>
            <rdf:li rdf:parseType="Resource">
              <pdfaProperty:name>Version</pdfaProperty:name>
              <pdfaProperty:valueType>Text</pdfaProperty:valueType>
              <pdfaProperty:category>external</pdfaProperty:category>
              <pdfaProperty:description>The actual version of the Factur-X XML schema</pdfaProperty:description>
            </rdf:li>
            <rdf:li rdf:parseType="Resource">
              <pdfaProperty:name>ConformanceLevel</pdfaProperty:name>
              <pdfaProperty:valueType>Text</pdfaProperty:valueType>
              <pdfaProperty:category>external</pdfaProperty:category>
              <pdfaProperty:description>The conformance level of the embedded Factur-X data</pdfaProperty:description>
            </rdf:li>
          </rdf:Seq>
        </pdfaSchema:property>
      </rdf:li>
    </rdf:Bag>
  </pdfaExtension:schemas>
</rdf:Description>
)";

// Runs `argumente` without a shell, output discarded; its exit status, -1 when it could not run.
int Ausfuehren(const std::vector<std::string>& argumente) {
  std::vector<char*> argv;
  for (const auto& a : argumente) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t aktionen;
  posix_spawn_file_actions_init(&aktionen);
  posix_spawn_file_actions_addopen(&aktionen, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&aktionen, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int fehler = posix_spawn(&pid, argv[0], &aktionen, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&aktionen);
  if (fehler != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::optional<fs::path> LibreOfficeFinden() {
  if (const char* eigen = std::getenv("TARVO_SOFFICE"); eigen && *eigen) {
    if (::access(eigen, X_OK) == 0) return fs::path(eigen);
    return std::nullopt;
  }
  const char* pfad = std::getenv("PATH");
  std::string rest = pfad ? pfad : "/usr/bin:/bin";
  while (!rest.empty()) {
    const auto doppelpunkt = rest.find(':');
    const std::string ordner = rest.substr(0, doppelpunkt);
    rest = doppelpunkt == std::string::npos ? "" : rest.substr(doppelpunkt + 1);
    if (ordner.empty()) continue;
    const fs::path kandidat = fs::path(ordner) / "soffice";
    if (::access(kandidat.c_str(), X_OK) == 0) return kandidat;
  }
  return std::nullopt;
}

std::optional<std::string> PdfA3Rendern(const fs::path& dokument, const fs::path& pdf) {
  const auto soffice = LibreOfficeFinden();
  if (!soffice)
    return std::string(
        "Für das Format »zugferd« wird LibreOffice gebraucht (Programm »soffice«, Debian-Paket "
        "libreoffice-writer-nogui); es ist nicht installiert. Die Formate »xrechnung-cii« und "
        "»xrechnung-ubl« gehen ohne LibreOffice.");
  std::string vorlage = (fs::temp_directory_path() / "tarvo-pdfa-XXXXXX").string();
  if (!::mkdtemp(vorlage.data()))
    return std::string("Kein Arbeitsordner für LibreOffice im temporären Verzeichnis.");
  const fs::path arbeit = vorlage;
  const fs::path quelle = arbeit / "rechnung.docx";
  std::error_code fehler;
  fs::copy_file(dokument, quelle, fehler);
  int status = -1;
  if (!fehler) {
    status = Ausfuehren({soffice->string(),
                         "-env:UserInstallation=file://" + (arbeit / "profil").string(),
                         "--headless", "--norestore", "--convert-to",
                         "pdf:writer_pdf_Export:{\"SelectPdfVersion\":{\"type\":\"long\","
                         "\"value\":\"3\"},\"ExportNotes\":{\"type\":\"boolean\","
                         "\"value\":\"false\"}}",
                         "--outdir", arbeit.string(), quelle.string()});
  }
  const fs::path ergebnis = arbeit / "rechnung.pdf";
  std::optional<std::string> meldung;
  if (fehler || status != 0 || !fs::exists(ergebnis)) {
    meldung = "LibreOffice konnte »" + dokument.filename().string() +
              "« nicht als PDF/A-3 ausgeben (Status " + std::to_string(status) + ").";
  } else {
    fs::copy_file(ergebnis, pdf, fs::copy_options::overwrite_existing, fehler);
    if (fehler) meldung = "Die PDF-Datei »" + pdf.string() + "« kann nicht geschrieben werden.";
  }
  fs::remove_all(arbeit, fehler);
  return meldung;
}

std::string XmpErgaenzen(const std::string& xmp) {
  const auto ende = xmp.rfind("</rdf:RDF>");
  if (ende != std::string::npos)
    return xmp.substr(0, ende) + kFacturXBeschreibung + xmp.substr(ende);
  return std::string(
             "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
             "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
             "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
             "<rdf:Description rdf:about=\"\" "
             "xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\">\n"
             "  <pdfaid:part>3</pdfaid:part>\n  <pdfaid:conformance>B</pdfaid:conformance>\n"
             "</rdf:Description>\n") +
         kFacturXBeschreibung + "</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
}

std::optional<std::string> FacturXEinbetten(const fs::path& pdf, const std::string& xml,
                                            const fs::path& ziel) {
  Falle falle("ERechnung", "FacturXEinbetten");
  const fs::path temporaer =
      ziel.parent_path() / ("." + ziel.filename().string() + ".tmp" + std::to_string(::getpid()));
  const bool geschrieben = falle([&] {
    QPDF dokument;
    dokument.processFile(pdf.string().c_str());
    QPDFObjectHandle katalog = dokument.getRoot();

    auto strom = QPDFEFStreamObjectHelper::createEFStream(dokument, xml);
    strom.setSubtype("text/xml");
    const std::string jetzt = QUtil::qpdf_time_to_pdf_time(QUtil::get_current_qpdf_time());
    strom.setModDate(jetzt);
    strom.setCreationDate(jetzt);
    auto datei = QPDFFileSpecObjectHelper::createFileSpec(dokument, kDateiname, strom);
    datei.setDescription("Factur-X Invoice");
    QPDFObjectHandle spezifikation = datei.getObjectHandle();
    spezifikation.replaceKey("/AFRelationship", QPDFObjectHandle::newName("/Data"));
    if (!spezifikation.isIndirect()) spezifikation = dokument.makeIndirectObject(spezifikation);
    QPDFEmbeddedFileDocumentHelper anhaenge(dokument);
    anhaenge.replaceEmbeddedFile(kDateiname, QPDFFileSpecObjectHelper(spezifikation));
    QPDFObjectHandle af = QPDFObjectHandle::newArray();
    af.appendItem(spezifikation);
    katalog.replaceKey("/AF", af);

    std::string xmp;
    QPDFObjectHandle metadaten = katalog.getKey("/Metadata");
    if (metadaten.isStream()) {
      auto puffer = metadaten.getStreamData(qpdf_dl_all);
      xmp.assign(reinterpret_cast<const char*>(puffer->getBuffer()), puffer->getSize());
    }
    QPDFObjectHandle neu = QPDFObjectHandle::newStream(&dokument, XmpErgaenzen(xmp));
    neu.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/Metadata"));
    neu.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/XML"));
    katalog.replaceKey("/Metadata", dokument.makeIndirectObject(neu));

    // The writer keeps the name's pointer until it writes: the text must outlive it.
    const std::string ziel = temporaer.string();
    QPDFWriter schreiber(dokument, ziel.c_str());
    schreiber.setStaticID(false);
    schreiber.write();
  });
  std::error_code fehler;
  if (!geschrieben) {
    fs::remove(temporaer, fehler);
    return "Die XML-Rechnung konnte nicht in »" + pdf.filename().string() +
           "« eingebettet werden (Einzelheiten in Verw.log).";
  }
  fs::rename(temporaer, ziel, fehler);
  if (fehler) {
    fs::remove(temporaer, fehler);
    return "Die Datei »" + ziel.string() + "« kann nicht geschrieben werden.";
  }
  return std::nullopt;
}

}  // namespace tarvo::erechnung

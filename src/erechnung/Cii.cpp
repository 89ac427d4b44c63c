#include "erechnung/Cii.h"

#include "erechnung/Xml.h"

namespace tarvo::erechnung {

namespace {

using xml::Betrag;
using xml::Text;
using xml::TextWennDa;

void Datum(pugi::xml_node eltern, const char* name, const Tag& tag, const char* art = "udt") {
  pugi::xml_node d = Text(eltern.append_child(name), (std::string(art) + ":DateTimeString").c_str(),
                          tag.Kompakt());
  d.append_attribute("format").set_value("102");
}

void Steuerart(pugi::xml_node knoten, const Steuer& steuer) {
  Text(knoten, "ram:TypeCode", "VAT");
  Text(knoten, "ram:CategoryCode", Code(steuer.kategorie));
  Text(knoten, "ram:RateApplicablePercent", steuer.satz);
}

void Anschrift_(pugi::xml_node partei, const Anschrift& a) {
  pugi::xml_node adresse = partei.append_child("ram:PostalTradeAddress");
  TextWennDa(adresse, "ram:PostcodeCode", a.plz);
  TextWennDa(adresse, "ram:LineOne", a.strasse);
  TextWennDa(adresse, "ram:CityName", a.ort);
  Text(adresse, "ram:CountryID", a.land);
}

void ElektronischeAdresse(pugi::xml_node partei, const std::string& adresse, const char* schema) {
  pugi::xml_node id =
      Text(partei.append_child("ram:URIUniversalCommunication"), "ram:URIID", adresse);
  id.append_attribute("schemeID").set_value(schema);
}

void Position_(pugi::xml_node transaktion, const Position& p, int nr) {
  pugi::xml_node zeile = transaktion.append_child("ram:IncludedSupplyChainTradeLineItem");
  Text(zeile.append_child("ram:AssociatedDocumentLineDocument"), "ram:LineID", std::to_string(nr));
  Text(zeile.append_child("ram:SpecifiedTradeProduct"), "ram:Name", p.name);
  // A reduction is a negative quantity at a positive price; the price is never negative.
  Betrag(zeile.append_child("ram:SpecifiedLineTradeAgreement")
             .append_child("ram:NetPriceProductTradePrice"),
         "ram:ChargeAmount", p.netto < 0 ? -p.netto : p.netto, false);
  pugi::xml_node menge = Text(zeile.append_child("ram:SpecifiedLineTradeDelivery"),
                              "ram:BilledQuantity", p.netto < 0 ? "-1" : "1");
  menge.append_attribute("unitCode").set_value("C62");
  pugi::xml_node abrechnung = zeile.append_child("ram:SpecifiedLineTradeSettlement");
  Steuerart(abrechnung.append_child("ram:ApplicableTradeTax"), p.steuer);
  Betrag(abrechnung.append_child("ram:SpecifiedTradeSettlementLineMonetarySummation"),
         "ram:LineTotalAmount", p.netto, false);
}

}  // namespace

const char* Rechnungsart(const Rechnungsmodell& m) {
  if (m.gutschrift) return "381";
  if (m.abschlag) return "326";
  return "380";
}

std::string CiiSchreiben(const Rechnungsmodell& m, CiiProfil profil) {
  const bool xrechnung = profil == CiiProfil::XRechnung;
  pugi::xml_document dokument;
  pugi::xml_node dekl = dokument.append_child(pugi::node_declaration);
  dekl.append_attribute("version").set_value("1.0");
  dekl.append_attribute("encoding").set_value("UTF-8");
  pugi::xml_node wurzel = dokument.append_child("rsm:CrossIndustryInvoice");
  wurzel.append_attribute("xmlns:rsm")
      .set_value("urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100");
  wurzel.append_attribute("xmlns:ram")
      .set_value(
          "urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100");
  wurzel.append_attribute("xmlns:qdt")
      .set_value("urn:un:unece:uncefact:data:standard:QualifiedDataType:100");
  wurzel.append_attribute("xmlns:udt")
      .set_value("urn:un:unece:uncefact:data:standard:UnqualifiedDataType:100");

  pugi::xml_node kontext = wurzel.append_child("rsm:ExchangedDocumentContext");
  if (xrechnung)
    Text(kontext.append_child("ram:BusinessProcessSpecifiedDocumentContextParameter"), "ram:ID",
         kGeschaeftsprozess);
  Text(kontext.append_child("ram:GuidelineSpecifiedDocumentContextParameter"), "ram:ID",
       xrechnung ? kXRechnungKennung : kEN16931Kennung);

  pugi::xml_node kopf = wurzel.append_child("rsm:ExchangedDocument");
  Text(kopf, "ram:ID", m.nummer);
  Text(kopf, "ram:TypeCode", Rechnungsart(m));
  Datum(kopf, "ram:IssueDateTime", m.datum);
  for (const std::string& hinweis : m.hinweise)
    Text(kopf.append_child("ram:IncludedNote"), "ram:Content", hinweis);

  pugi::xml_node transaktion = wurzel.append_child("rsm:SupplyChainTradeTransaction");
  int nr = 0;
  for (const Position& p : m.positionen) Position_(transaktion, p, ++nr);

  pugi::xml_node vereinbarung = transaktion.append_child("ram:ApplicableHeaderTradeAgreement");
  TextWennDa(vereinbarung, "ram:BuyerReference", m.kaeufer.leitwegId);
  const Verkaeufer& v = m.verkaeufer;
  pugi::xml_node verkaeufer = vereinbarung.append_child("ram:SellerTradeParty");
  Text(verkaeufer, "ram:Name", v.name);
  if (!v.kontakt.empty() || !v.telefon.empty() || !v.email.empty()) {
    pugi::xml_node kontakt = verkaeufer.append_child("ram:DefinedTradeContact");
    TextWennDa(kontakt, "ram:PersonName", v.kontakt);
    if (!v.telefon.empty())
      Text(kontakt.append_child("ram:TelephoneUniversalCommunication"), "ram:CompleteNumber",
           v.telefon);
    if (!v.email.empty())
      Text(kontakt.append_child("ram:EmailURIUniversalCommunication"), "ram:URIID", v.email);
  }
  Anschrift_(verkaeufer, v.anschrift);
  if (!v.email.empty()) ElektronischeAdresse(verkaeufer, v.email, "EM");
  if (!v.ustId.empty())
    Text(verkaeufer.append_child("ram:SpecifiedTaxRegistration"), "ram:ID", v.ustId)
        .append_attribute("schemeID")
        .set_value("VA");
  if (!v.steuernummer.empty())
    Text(verkaeufer.append_child("ram:SpecifiedTaxRegistration"), "ram:ID", v.steuernummer)
        .append_attribute("schemeID")
        .set_value("FC");
  const Kaeufer& k = m.kaeufer;
  pugi::xml_node kaeufer = vereinbarung.append_child("ram:BuyerTradeParty");
  Text(kaeufer, "ram:Name", k.name);
  Anschrift_(kaeufer, k.anschrift);
  if (!k.email.empty())
    ElektronischeAdresse(kaeufer, k.email, "EM");
  else if (!k.leitwegId.empty())
    ElektronischeAdresse(kaeufer, k.leitwegId, "0204");

  pugi::xml_node lieferung = transaktion.append_child("ram:ApplicableHeaderTradeDelivery");
  Datum(lieferung.append_child("ram:ActualDeliverySupplyChainEvent"), "ram:OccurrenceDateTime",
        m.datum);

  pugi::xml_node abrechnung = transaktion.append_child("ram:ApplicableHeaderTradeSettlement");
  Text(abrechnung, "ram:PaymentReference", m.nummer);
  Text(abrechnung, "ram:InvoiceCurrencyCode", "EUR");
  pugi::xml_node zahlung = abrechnung.append_child("ram:SpecifiedTradeSettlementPaymentMeans");
  Text(zahlung, "ram:TypeCode", "58");
  TextWennDa(zahlung, "ram:Information",
             v.bank.empty() ? std::string() : "Überweisung an " + v.bank);
  pugi::xml_node konto = zahlung.append_child("ram:PayeePartyCreditorFinancialAccount");
  Text(konto, "ram:IBANID", v.iban);
  Text(konto, "ram:AccountName", v.name);
  if (!v.bic.empty())
    Text(zahlung.append_child("ram:PayeeSpecifiedCreditorFinancialInstitution"), "ram:BICID",
         v.bic);

  for (const Steueraufschluesselung& s : m.steuern) {
    pugi::xml_node steuer = abrechnung.append_child("ram:ApplicableTradeTax");
    Betrag(steuer, "ram:CalculatedAmount", s.betrag, false);
    Text(steuer, "ram:TypeCode", "VAT");
    if (s.steuer.kategorie == Steuerkategorie::E)
      Text(steuer, "ram:ExemptionReason", kBefreiungsgrund);
    Betrag(steuer, "ram:BasisAmount", s.basis, false);
    Text(steuer, "ram:CategoryCode", Code(s.steuer.kategorie));
    Text(steuer, "ram:RateApplicablePercent", s.steuer.satz);
  }
  for (const Nachlass& n : m.nachlaesse) {
    pugi::xml_node nachlass = abrechnung.append_child("ram:SpecifiedTradeAllowanceCharge");
    Text(nachlass.append_child("ram:ChargeIndicator"), "udt:Indicator", "false");
    Betrag(nachlass, "ram:ActualAmount", n.betrag, false);
    Text(nachlass, "ram:Reason", n.grund);
    Steuerart(nachlass.append_child("ram:CategoryTradeTax"), n.steuer);
  }
  if (!m.zahlungsbedingungen.empty() || m.faelligAm.Gesetzt()) {
    pugi::xml_node bedingungen = abrechnung.append_child("ram:SpecifiedTradePaymentTerms");
    TextWennDa(bedingungen, "ram:Description", m.zahlungsbedingungen);
    if (m.faelligAm.Gesetzt()) Datum(bedingungen, "ram:DueDateDateTime", m.faelligAm);
  }
  const Summen& s = m.summen;
  pugi::xml_node summen =
      abrechnung.append_child("ram:SpecifiedTradeSettlementHeaderMonetarySummation");
  Betrag(summen, "ram:LineTotalAmount", s.positionen, false);
  if (!m.nachlaesse.empty()) Betrag(summen, "ram:AllowanceTotalAmount", s.nachlaesse, false);
  Betrag(summen, "ram:TaxBasisTotalAmount", s.netto, false);
  Betrag(summen, "ram:TaxTotalAmount", s.steuer);
  if (s.rundung != 0) Betrag(summen, "ram:RoundingAmount", s.rundung, false);
  Betrag(summen, "ram:GrandTotalAmount", s.brutto, false);
  if (s.bezahlt != 0) Betrag(summen, "ram:TotalPrepaidAmount", s.bezahlt, false);
  Betrag(summen, "ram:DuePayableAmount", s.faellig, false);
  if (!m.frueher.empty()) {
    // The syntax takes one preceding invoice; the notes name them all.
    const FruehereRechnung& f = m.frueher.front();
    pugi::xml_node bezug = abrechnung.append_child("ram:InvoiceReferencedDocument");
    Text(bezug, "ram:IssuerAssignedID", f.nummer);
    if (f.datum.Gesetzt()) Datum(bezug, "ram:FormattedIssueDateTime", f.datum, "qdt");
  }
  return xml::Serialisieren(dokument);
}

}  // namespace tarvo::erechnung

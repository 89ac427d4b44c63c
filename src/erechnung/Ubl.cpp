#include "erechnung/Ubl.h"

#include "erechnung/Cii.h"
#include "erechnung/Xml.h"

namespace tarvo::erechnung {

namespace {

using xml::Betrag;
using xml::Text;
using xml::TextWennDa;

void Steuerkategorie_(pugi::xml_node eltern, const char* name, const Steuer& steuer,
                      bool mitGrund = false) {
  pugi::xml_node kategorie = eltern.append_child(name);
  Text(kategorie, "cbc:ID", Code(steuer.kategorie));
  Text(kategorie, "cbc:Percent", steuer.satz);
  if (mitGrund && steuer.kategorie == Steuerkategorie::E)
    Text(kategorie, "cbc:TaxExemptionReason", kBefreiungsgrund);
  Text(kategorie.append_child("cac:TaxScheme"), "cbc:ID", "VAT");
}

void Anschrift_(pugi::xml_node partei, const Anschrift& a) {
  pugi::xml_node adresse = partei.append_child("cac:PostalAddress");
  TextWennDa(adresse, "cbc:StreetName", a.strasse);
  TextWennDa(adresse, "cbc:CityName", a.ort);
  TextWennDa(adresse, "cbc:PostalZone", a.plz);
  Text(adresse.append_child("cac:Country"), "cbc:IdentificationCode", a.land);
}

void Endpunkt(pugi::xml_node partei, const std::string& adresse, const char* schema) {
  Text(partei, "cbc:EndpointID", adresse).append_attribute("schemeID").set_value(schema);
}

void Steuernummer(pugi::xml_node partei, const std::string& nummer, const char* schema) {
  pugi::xml_node steuer = partei.append_child("cac:PartyTaxScheme");
  Text(steuer, "cbc:CompanyID", nummer);
  Text(steuer.append_child("cac:TaxScheme"), "cbc:ID", schema);
}

}  // namespace

std::string UblSchreiben(const Rechnungsmodell& m) {
  const bool gutschrift = m.gutschrift;
  const char* art = gutschrift ? "CreditNote" : "Invoice";
  pugi::xml_document dokument;
  pugi::xml_node dekl = dokument.append_child(pugi::node_declaration);
  dekl.append_attribute("version").set_value("1.0");
  dekl.append_attribute("encoding").set_value("UTF-8");
  pugi::xml_node wurzel = dokument.append_child(art);
  // The namespaces OASIS gives the UBL 2.1 documents and their component libraries.
  const std::string ubl = std::string("urn:oasis:names:") + "spec" "ification:ubl:schema:xsd:";
  wurzel.append_attribute("xmlns").set_value((ubl + art + "-2").c_str());
  wurzel.append_attribute("xmlns:cac").set_value((ubl + "CommonAggregateComponents-2").c_str());
  wurzel.append_attribute("xmlns:cbc").set_value((ubl + "CommonBasicComponents-2").c_str());

  Text(wurzel, "cbc:CustomizationID", kXRechnungKennung);
  Text(wurzel, "cbc:ProfileID", kGeschaeftsprozess);
  Text(wurzel, "cbc:ID", m.nummer);
  Text(wurzel, "cbc:IssueDate", m.datum.Iso());
  if (!gutschrift && m.faelligAm.Gesetzt()) Text(wurzel, "cbc:DueDate", m.faelligAm.Iso());
  Text(wurzel, gutschrift ? "cbc:CreditNoteTypeCode" : "cbc:InvoiceTypeCode", Rechnungsart(m));
  for (const std::string& hinweis : m.hinweise) Text(wurzel, "cbc:Note", hinweis);
  Text(wurzel, "cbc:DocumentCurrencyCode", "EUR");
  TextWennDa(wurzel, "cbc:BuyerReference", m.kaeufer.leitwegId);
  for (const FruehereRechnung& f : m.frueher) {
    pugi::xml_node bezug =
        wurzel.append_child("cac:BillingReference").append_child("cac:InvoiceDocumentReference");
    Text(bezug, "cbc:ID", f.nummer);
    if (f.datum.Gesetzt()) Text(bezug, "cbc:IssueDate", f.datum.Iso());
  }

  const Verkaeufer& v = m.verkaeufer;
  pugi::xml_node verkaeufer =
      wurzel.append_child("cac:AccountingSupplierParty").append_child("cac:Party");
  if (!v.email.empty()) Endpunkt(verkaeufer, v.email, "EM");
  Text(verkaeufer.append_child("cac:PartyName"), "cbc:Name", v.name);
  Anschrift_(verkaeufer, v.anschrift);
  if (!v.ustId.empty()) Steuernummer(verkaeufer, v.ustId, "VAT");
  if (!v.steuernummer.empty()) Steuernummer(verkaeufer, v.steuernummer, "FC");
  Text(verkaeufer.append_child("cac:PartyLegalEntity"), "cbc:RegistrationName", v.name);
  if (!v.kontakt.empty() || !v.telefon.empty() || !v.email.empty()) {
    pugi::xml_node kontakt = verkaeufer.append_child("cac:Contact");
    TextWennDa(kontakt, "cbc:Name", v.kontakt);
    TextWennDa(kontakt, "cbc:Telephone", v.telefon);
    TextWennDa(kontakt, "cbc:ElectronicMail", v.email);
  }

  const Kaeufer& k = m.kaeufer;
  pugi::xml_node kaeufer =
      wurzel.append_child("cac:AccountingCustomerParty").append_child("cac:Party");
  if (!k.email.empty())
    Endpunkt(kaeufer, k.email, "EM");
  else if (!k.leitwegId.empty())
    Endpunkt(kaeufer, k.leitwegId, "0204");
  Text(kaeufer.append_child("cac:PartyName"), "cbc:Name", k.name);
  Anschrift_(kaeufer, k.anschrift);
  Text(kaeufer.append_child("cac:PartyLegalEntity"), "cbc:RegistrationName", k.name);

  Text(wurzel.append_child("cac:Delivery"), "cbc:ActualDeliveryDate", m.datum.Iso());

  pugi::xml_node zahlung = wurzel.append_child("cac:PaymentMeans");
  Text(zahlung, "cbc:PaymentMeansCode", "58");
  if (gutschrift && m.faelligAm.Gesetzt()) Text(zahlung, "cbc:PaymentDueDate", m.faelligAm.Iso());
  Text(zahlung, "cbc:PaymentID", m.nummer);
  pugi::xml_node konto = zahlung.append_child("cac:PayeeFinancialAccount");
  Text(konto, "cbc:ID", v.iban);
  Text(konto, "cbc:Name", v.name);
  if (!v.bic.empty()) Text(konto.append_child("cac:FinancialInstitutionBranch"), "cbc:ID", v.bic);
  if (!m.zahlungsbedingungen.empty())
    Text(wurzel.append_child("cac:PaymentTerms"), "cbc:Note", m.zahlungsbedingungen);

  for (const Nachlass& n : m.nachlaesse) {
    pugi::xml_node nachlass = wurzel.append_child("cac:AllowanceCharge");
    Text(nachlass, "cbc:ChargeIndicator", "false");
    Text(nachlass, "cbc:AllowanceChargeReason", n.grund);
    Betrag(nachlass, "cbc:Amount", n.betrag);
    Steuerkategorie_(nachlass, "cac:TaxCategory", n.steuer);
  }

  const Summen& s = m.summen;
  pugi::xml_node steuer = wurzel.append_child("cac:TaxTotal");
  Betrag(steuer, "cbc:TaxAmount", s.steuer);
  for (const Steueraufschluesselung& a : m.steuern) {
    pugi::xml_node teil = steuer.append_child("cac:TaxSubtotal");
    Betrag(teil, "cbc:TaxableAmount", a.basis);
    Betrag(teil, "cbc:TaxAmount", a.betrag);
    Steuerkategorie_(teil, "cac:TaxCategory", a.steuer, true);
  }

  pugi::xml_node summen = wurzel.append_child("cac:LegalMonetaryTotal");
  Betrag(summen, "cbc:LineExtensionAmount", s.positionen);
  Betrag(summen, "cbc:TaxExclusiveAmount", s.netto);
  Betrag(summen, "cbc:TaxInclusiveAmount", s.brutto);
  if (!m.nachlaesse.empty()) Betrag(summen, "cbc:AllowanceTotalAmount", s.nachlaesse);
  if (s.bezahlt != 0) Betrag(summen, "cbc:PrepaidAmount", s.bezahlt);
  if (s.rundung != 0) Betrag(summen, "cbc:PayableRoundingAmount", s.rundung);
  Betrag(summen, "cbc:PayableAmount", s.faellig);

  int nr = 0;
  for (const Position& p : m.positionen) {
    pugi::xml_node zeile =
        wurzel.append_child(gutschrift ? "cac:CreditNoteLine" : "cac:InvoiceLine");
    Text(zeile, "cbc:ID", std::to_string(++nr));
    Text(zeile, gutschrift ? "cbc:CreditedQuantity" : "cbc:InvoicedQuantity",
         p.netto < 0 ? "-1" : "1")
        .append_attribute("unitCode")
        .set_value("C62");
    Betrag(zeile, "cbc:LineExtensionAmount", p.netto);
    pugi::xml_node artikel = zeile.append_child("cac:Item");
    Text(artikel, "cbc:Name", p.name);
    Steuerkategorie_(artikel, "cac:ClassifiedTaxCategory", p.steuer);
    Betrag(zeile.append_child("cac:Price"), "cbc:PriceAmount", p.netto < 0 ? -p.netto : p.netto);
  }
  return xml::Serialisieren(dokument);
}

}  // namespace tarvo::erechnung

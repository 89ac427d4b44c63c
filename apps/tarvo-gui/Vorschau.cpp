#include "Vorschau.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "document/Dokumenthilfen.h"
#include "errors/Falle.h"
#include "platform/word/Document.h"
#include "platform/word/Table.h"

namespace tarvo::gui {
namespace {

QString Html(const std::string& text) {
  QString t = QString::fromStdString(text);
  t.replace('\r', ' ').replace('\a', ' ').replace('\v', ' ');
  return t.trimmed().toHtmlEscaped();
}

}  // namespace

QString TabellenAlsHtml(word::Document& dokument) {
  QString html;
  Falle falle("Vorschau", "TabellenAlsHtml");
  falle([&] {
    const word::Tables tabellen = dokument.Tables();
    for (std::int32_t i = 1; i <= tabellen.Count(); ++i) {
      const word::Table tabelle = tabellen.Item(i);
      const std::string tag = ErsterKommentar(tabelle);
      if (tag.empty()) continue;
      html += "<h4>" + Html(tag) + "</h4><table border=1 cellspacing=0 cellpadding=2>";
      const std::int32_t zeilen = tabelle.Rows().Count();
      const std::int32_t spalten = tabelle.Columns().Count();
      for (std::int32_t r = 1; r <= zeilen; ++r) {
        html += "<tr>";
        for (std::int32_t s = 1; s <= spalten; ++s) {
          std::string zelle;
          falle.Still([&] { zelle = ZellText(tabelle, r, s); });
          html += "<td>" + Html(zelle) + "</td>";
        }
        html += "</tr>";
      }
      html += "</table>";
    }
  });
  return html;
}

Vorschau::Vorschau(QWidget* parent) : QWidget(parent) {
  soffice_ = QStandardPaths::findExecutable("soffice");
  auto* layout = new QVBoxLayout(this);
  // A tool bar: where the dock is narrow, what does not fit goes behind its » button.
  auto* leiste = new QToolBar(this);
  leiste->setObjectName("VorschauLeiste");
  leiste->setIconSize(QSize(16, 16));
  leiste_ = leiste;
  auto knopf = [&](const QString& text, const QString& tipp, const QKeySequence& taste,
                   auto wirkung, const char* name) {
    auto* aktion = new QAction(text, this);
    aktion->setObjectName(name);
    aktion->setToolTip(tipp + (taste.isEmpty() ? QString() : " (" + taste.toString() + ")"));
    if (!taste.isEmpty()) {
      aktion->setShortcut(taste);
      aktion->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    connect(aktion, &QAction::triggered, this, wirkung);
    addAction(aktion);
    leiste->addAction(aktion);
    return aktion;
  };
  knopf(
      "Breite", "An die Breite anpassen", QKeySequence(Qt::CTRL | Qt::Key_0),
      [this] { AnBreiteAnpassen(); }, "VorschauBreite");
  knopf(
      "−", "Verkleinern", QKeySequence::ZoomOut, [this] { Verkleinern(); }, "VorschauKleiner");
  knopf(
      "+", "Vergrößern", QKeySequence::ZoomIn, [this] { Vergroessern(); }, "VorschauGroesser");
  zoomAnzeige_ = new QLabel(leiste);
  zoomAnzeige_->setMinimumWidth(zoomAnzeige_->fontMetrics().horizontalAdvance("888 %") + 4);
  leiste->addWidget(zoomAnzeige_);
  knopf(
      "▲", "Vorige Seite", QKeySequence(Qt::Key_PageUp), [this] { SeiteZurueck(); },
      "VorschauZurueck");
  knopf(
      "▼", "Nächste Seite", QKeySequence(Qt::Key_PageDown), [this] { SeiteVor(); }, "VorschauVor");
  leiste->addSeparator();
  knopf(
      "Drucken …", "Die Rechnung drucken", QKeySequence(), [this] { Drucken(); },
      "VorschauDrucken");
  knopf(
      "Als PDF …", "Als PDF speichern", QKeySequence(), [this] { PdfSpeichernFragen(); },
      "VorschauPdf");
  hinweis_ = new QLabel(this);
  hinweis_->setWordWrap(true);
  laeuft_ = new QProgressBar(this);
  laeuft_->setRange(0, 0);  // busy, no percentage
  laeuft_->setVisible(false);
  laeuft_->setObjectName("VorschauLaeuft");
  flaeche_ = new QScrollArea(this);
  flaeche_->setObjectName("VorschauFlaeche");
  flaeche_->setWidgetResizable(true);
  // The width a page fits never changes with the page count (no scroll bar coming and going).
  flaeche_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  flaeche_->setFocusPolicy(Qt::StrongFocus);
  flaeche_->viewport()->installEventFilter(this);
  seitenWidget_ = new QWidget;
  seitenLayout_ = new QVBoxLayout(seitenWidget_);
  seitenLayout_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  seitenLayout_->setContentsMargins(4, 4, 4, 4);
  flaeche_->setWidget(seitenWidget_);
  ersatz_ = new QTextBrowser(this);
  ersatz_->setVisible(false);
  layout->addWidget(leiste_);
  layout->addWidget(hinweis_);
  layout->addWidget(laeuft_);
  layout->addWidget(flaeche_, 1);
  layout->addWidget(ersatz_, 1);
  hinweis_->setText("Kein Dokument geöffnet.");
  leiste_->setEnabled(false);
}

Vorschau::~Vorschau() {
  if (prozess_) {
    prozess_->disconnect(this);
    prozess_->kill();
    prozess_->waitForFinished(2000);
  }
  DienstBeenden();
}

bool Vorschau::Beschaeftigt() const {
  return prozess_ != nullptr || wartet_;
}

QString Vorschau::Hinweis() const {
  return hinweis_->text();
}

QString Vorschau::Ersatztext() const {
  return ersatz_->isHidden() ? QString() : ersatz_->toPlainText();
}

bool Vorschau::Veraltet() const {
  return seiten_ > 0 && !seitenWidget_->isEnabled();
}

void Vorschau::SetzeDienst(bool erlaubt) {
  dienstErlaubt_ = erlaubt;
  if (!erlaubt) DienstBeenden();
}

void Vorschau::SeitenLeeren() {
  while (QLayoutItem* eintrag = seitenLayout_->takeAt(0)) {
    delete eintrag->widget();
    delete eintrag;
  }
  seiten_ = 0;
  pdfDokument_.reset();
  pdfGezeigt_.clear();
  seitenWidget_->setEnabled(true);
  leiste_->setEnabled(false);
}

QString Vorschau::Profil() const {
  return QUrl::fromLocalFile(ordner_->filePath("profil")).toString();
}

// The waiting LibreOffice holds the profile's pipe: a conversion started with the same profile
// hands its work over to it and ends; the waiting one ends after the conversion too.
void Vorschau::DienstStarten() {
  if (dienst_ || prozess_ || !dienstErlaubt_ || dienstFehlstarts_ >= 2 || soffice_.isEmpty())
    return;
  if (!ordner_) ordner_ = std::make_unique<QTemporaryDir>();
  dienst_ = new QProcess(this);
  dienst_->setProgram(soffice_);
  dienst_->setArguments({"-env:UserInstallation=" + Profil(), "--headless", "--invisible",
                         "--norestore", "--nologo", "--nodefault"});
  dienst_->setStandardInputFile(QProcess::nullDevice());
  dienst_->setStandardOutputFile(QProcess::nullDevice());
  dienst_->setStandardErrorFile(QProcess::nullDevice());
  connect(dienst_, &QProcess::finished, this, [this] {
    const bool bedient = dienstBenutzt_ || prozess_;
    // Ended within seconds without a conversion: it could not hold the profile.
    if (!bedient && dienstSeit_.elapsed() < 3000) ++dienstFehlstarts_;
    dienst_->deleteLater();
    dienst_ = nullptr;
    if (!prozess_) QTimer::singleShot(300, this, [this] { DienstStarten(); });
  });
  dienstSeit_.start();
  dienstBenutzt_ = false;
  dienst_->start();
}

void Vorschau::DienstBeenden() {
  if (!dienst_) return;
  dienst_->disconnect(this);
  dienst_->kill();
  dienst_->waitForFinished(3000);
  delete dienst_;
  dienst_ = nullptr;
}

void Vorschau::Zeigen(const std::shared_ptr<word::Document>& dokument) {
  const bool anderes = dokument != dokument_;
  dokument_ = dokument;
  ++lauf_;
  if (prozess_) {
    // The newer request wins; the old conversion is ended.
    prozess_->disconnect(this);
    prozess_->kill();
    prozess_->deleteLater();
    prozess_ = nullptr;
  }
  // Another document's pages go at once; the same document's are greyed until the new ones come.
  if (anderes) SeitenLeeren();
  seitenWidget_->setEnabled(false);
  if (!dokument) {
    SeitenLeeren();
    wartet_ = false;
    ersatz_->setVisible(false);
    flaeche_->setVisible(true);
    hinweis_->setText("Kein Dokument geöffnet.");
    laeuft_->setVisible(false);
    emit Fertig();
    return;
  }
  if (soffice_.isEmpty()) {
    Ersatz(
        "LibreOffice ist nicht installiert: die Vorschau zeigt die Gebührentabellen, wie "
        "tarvo sie im Dokument liest.");
    return;
  }
  uhr_.start();
  if (!ordner_) ordner_ = std::make_unique<QTemporaryDir>();
  // Each request has files of its own: an answer for an older one never shows a newer state.
  docx_ = ordner_->filePath(QString("Vorschau%1.docx").arg(lauf_));
  pdf_ = ordner_->filePath(QString("Vorschau%1.pdf").arg(lauf_));
  Falle falle("Vorschau", "Zeigen");
  if (!falle([&] { dokument->Save(docx_.toStdString()); })) {
    Ersatz("Das Dokument ließ sich für die Vorschau nicht schreiben (siehe Verw.log).");
    return;
  }
  const int lauf = lauf_;
  QTimer::singleShot(zeitgrenze_, this, [this, lauf] {
    if (lauf != lauf_ || !Beschaeftigt()) return;
    hinweis_->setText("LibreOffice antwortete nicht und wurde beendet.");
    if (prozess_) {
      prozess_->kill();
    } else if (wartet_) {
      wartet_ = false;
      Konvertiert(false, QString());
    }
  });
  hinweis_->setText("Die Vorschau wird erstellt …");
  laeuft_->setVisible(true);
  // One that took over a conversion ends after it: it takes no second one.
  ueberDienst_ = dienst_ != nullptr && !dienstBenutzt_;
  if (ueberDienst_) dienstBenutzt_ = true;
  // A LibreOffice still starting up is waited for: it is done sooner than a start of our own.
  if (ueberDienst_ && dienstSeit_.elapsed() < kAnlauf) {
    wartet_ = true;
    QTimer::singleShot(int(kAnlauf - dienstSeit_.elapsed()), this, [this, lauf] {
      if (lauf != lauf_ || !wartet_) return;
      wartet_ = false;
      EinzelnStarten();
    });
    return;
  }
  EinzelnStarten();
}

bool Vorschau::Bereit() const {
  return dienst_ && !dienstBenutzt_ && dienstSeit_.elapsed() >= kAnlauf && !prozess_;
}

void Vorschau::EinzelnStarten() {
  prozess_ = new QProcess(this);
  prozess_->setProgram(soffice_);
  prozess_->setArguments({"-env:UserInstallation=" + Profil(), "--headless", "--norestore",
                          "--convert-to", "pdf", "--outdir", ordner_->path(), docx_});
  connect(prozess_, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
    if (!prozess_) return;
    prozess_->deleteLater();
    prozess_ = nullptr;
    const bool ok = code == 0 && status == QProcess::NormalExit && QFile::exists(pdf_);
    if (!ok && ueberDienst_) {
      // The one waiting was going away as the conversion came: once more, the slow way.
      ueberDienst_ = false;
      EinzelnStarten();
      return;
    }
    laeuft_->setVisible(false);
    Konvertiert(ok, QString());
    // The next conversion finds one waiting (the one that served this one ends by itself).
    QTimer::singleShot(300, this, [this] { DienstStarten(); });
  });
  connect(prozess_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError fehler) {
    if (fehler != QProcess::FailedToStart || !prozess_) return;
    prozess_->deleteLater();
    prozess_ = nullptr;
    laeuft_->setVisible(false);
    Konvertiert(false, QString());
  });
  prozess_->start();
}

void Vorschau::Konvertiert(bool ok, const QString& grund) {
  laeuft_->setVisible(false);
  std::unique_ptr<Poppler::Document> dokument;
  if (ok && QFile::exists(pdf_)) dokument = Poppler::Document::load(pdf_);
  if (!dokument || dokument->isLocked()) {
    QString text = hinweis_->text().startsWith("LibreOffice antwortete")
                       ? hinweis_->text()
                       : QString("LibreOffice konnte das Dokument nicht umwandeln.");
    if (!grund.isEmpty()) text += " (" + grund + ")";
    Ersatz(text + " Die Vorschau zeigt die Gebührentabellen, wie tarvo sie im Dokument liest.");
    return;
  }
  dokument->setRenderHint(Poppler::Document::Antialiasing);
  dokument->setRenderHint(Poppler::Document::TextAntialiasing);
  const int vorher = AktuelleSeite();
  SeitenLeeren();
  pdfDokument_ = std::move(dokument);
  pdfGezeigt_ = pdf_;
  ersatz_->setVisible(false);
  flaeche_->setVisible(true);
  Rendern();
  leiste_->setEnabled(true);
  hinweis_->setText(seiten_ == 1 ? QString("1 Seite") : QString("%1 Seiten").arg(seiten_));
  if (vorher > 0) ZurSeite(std::min(vorher, seiten_ - 1));
  dauer_ = uhr_.isValid() ? uhr_.elapsed() : -1;
  emit Fertig();
}

void Vorschau::Rendern() {
  if (!pdfDokument_) return;
  const int verfuegbar = flaeche_->viewport()->width() - seitenLayout_->contentsMargins().left() -
                         seitenLayout_->contentsMargins().right() - 4;
  std::vector<QLabel*> labels;
  for (int i = 0; i < seitenLayout_->count(); ++i)
    if (auto* l = qobject_cast<QLabel*>(seitenLayout_->itemAt(i)->widget())) labels.push_back(l);
  seiten_ = 0;
  for (int i = 0; i < pdfDokument_->numPages(); ++i) {
    std::unique_ptr<Poppler::Page> seite = pdfDokument_->page(i);
    if (!seite) continue;
    if (breite_ && i == 0 && seite->pageSizeF().width() > 0)
      massstab_ = std::clamp(verfuegbar / seite->pageSizeF().width(), 0.2, 6.0);
    const double dpi = 72.0 * massstab_ * devicePixelRatioF();
    QImage bild = seite->renderToImage(dpi, dpi);
    bild.setDevicePixelRatio(devicePixelRatioF());
    QLabel* label = seiten_ < static_cast<int>(labels.size()) ? labels[seiten_] : nullptr;
    if (!label) {
      label = new QLabel(seitenWidget_);
      label->setFrameShape(QFrame::Box);
      label->setObjectName(QString("Seite%1").arg(seiten_ + 1));
      seitenLayout_->addWidget(label);
    }
    label->setPixmap(QPixmap::fromImage(bild));
    ++seiten_;
  }
  zoomAnzeige_->setText(QString("%1 %").arg(std::lround(massstab_ * 100)));
}

bool Vorschau::eventFilter(QObject* objekt, QEvent* ereignis) {
  if (objekt == flaeche_->viewport() && ereignis->type() == QEvent::Resize && breite_ &&
      pdfDokument_) {
    auto* groesse = static_cast<QResizeEvent*>(ereignis);
    if (groesse->size().width() != groesse->oldSize().width())
      QTimer::singleShot(0, this, [this] {
        if (breite_) Rendern();
      });
  }
  return QWidget::eventFilter(objekt, ereignis);
}

void Vorschau::Vergroessern() {
  breite_ = false;
  massstab_ = std::min(massstab_ * 1.25, 6.0);
  Rendern();
}

void Vorschau::Verkleinern() {
  breite_ = false;
  massstab_ = std::max(massstab_ / 1.25, 0.2);
  Rendern();
}

void Vorschau::AnBreiteAnpassen() {
  breite_ = true;
  Rendern();
}

int Vorschau::AktuelleSeite() const {
  const int oben = flaeche_->verticalScrollBar()->value();
  int seite = 0;
  for (int i = 0; i < seitenLayout_->count(); ++i) {
    const QWidget* w = seitenLayout_->itemAt(i)->widget();
    // A page counts from a little above its top edge (where ZurSeite puts the view).
    if (w && w->geometry().top() <= oben + seitenLayout_->spacing() + 4) seite = i;
  }
  return seite;
}

void Vorschau::ZurSeite(int seite) {
  if (seite < 0 || seite >= seitenLayout_->count()) return;
  if (QWidget* w = seitenLayout_->itemAt(seite)->widget())
    flaeche_->verticalScrollBar()->setValue(w->geometry().top() - seitenLayout_->spacing());
}

void Vorschau::SeiteVor() {
  ZurSeite(AktuelleSeite() + 1);
}

void Vorschau::SeiteZurueck() {
  ZurSeite(AktuelleSeite() - 1);
}

bool Vorschau::PdfSpeichern(const QString& ziel) {
  if (pdfGezeigt_.isEmpty() || !QFile::exists(pdfGezeigt_)) return false;
  if (QFile::exists(ziel) && !QFile::remove(ziel)) return false;
  return QFile::copy(pdfGezeigt_, ziel);
}

void Vorschau::PdfSpeichernFragen() {
  if (pdfGezeigt_.isEmpty()) return;
  const QString ziel = QFileDialog::getSaveFileName(this, "Als PDF speichern", "Rechnung.pdf",
                                                    "PDF-Dokumente (*.pdf)");
  if (ziel.isEmpty()) return;
  hinweis_->setText(PdfSpeichern(ziel) ? "Gespeichert: " + ziel
                                       : "Die PDF-Datei »" + ziel + "« ließ sich nicht schreiben.");
}

void Vorschau::Drucken() {
  if (!pdfDokument_) return;
  QPrinter drucker(QPrinter::HighResolution);
  drucker.setDocName("Rechnung");
  drucker.setFromTo(1, pdfDokument_->numPages());
  QPrintDialog dialog(&drucker, this);
  dialog.setWindowTitle("Rechnung drucken");
  if (dialog.exec() != QDialog::Accepted) return;
  QPainter maler;
  if (!maler.begin(&drucker)) {
    hinweis_->setText("Der Drucker ließ sich nicht öffnen.");
    return;
  }
  const int von = std::max(1, drucker.fromPage()),
            bis = drucker.toPage() > 0 ? drucker.toPage() : pdfDokument_->numPages();
  for (int i = von; i <= std::min(bis, pdfDokument_->numPages()); ++i) {
    if (i > von) drucker.newPage();
    std::unique_ptr<Poppler::Page> seite = pdfDokument_->page(i - 1);
    if (!seite) continue;
    const QRect flaeche = maler.viewport();
    const double dpi = std::min(drucker.resolution(), 300);
    const QImage bild = seite->renderToImage(dpi, dpi);
    const QSize groesse = bild.size().scaled(flaeche.size(), Qt::KeepAspectRatio);
    maler.drawImage(QRect(flaeche.topLeft(), groesse), bild);
  }
  maler.end();
}

void Vorschau::Ersatz(const QString& grund) {
  laeuft_->setVisible(false);
  SeitenLeeren();
  flaeche_->setVisible(false);
  hinweis_->setText(grund);
  ersatz_->setHtml(dokument_ ? TabellenAlsHtml(*dokument_) : QString());
  ersatz_->setVisible(true);
  dauer_ = uhr_.isValid() ? uhr_.elapsed() : -1;
  emit Fertig();
}

}  // namespace tarvo::gui

#include "Vorschau.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

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
  hinweis_ = new QLabel(this);
  hinweis_->setWordWrap(true);
  laeuft_ = new QProgressBar(this);
  laeuft_->setRange(0, 0);  // busy, no percentage
  laeuft_->setVisible(false);
  laeuft_->setObjectName("VorschauLaeuft");
  flaeche_ = new QScrollArea(this);
  flaeche_->setWidgetResizable(true);
  seitenWidget_ = new QWidget;
  seitenLayout_ = new QVBoxLayout(seitenWidget_);
  seitenLayout_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  flaeche_->setWidget(seitenWidget_);
  ersatz_ = new QTextBrowser(this);
  ersatz_->setVisible(false);
  layout->addWidget(hinweis_);
  layout->addWidget(laeuft_);
  layout->addWidget(flaeche_, 1);
  layout->addWidget(ersatz_, 1);
  hinweis_->setText("Kein Dokument geöffnet.");
}

Vorschau::~Vorschau() {
  if (prozess_) {
    prozess_->disconnect(this);
    prozess_->kill();
    prozess_->waitForFinished(2000);
  }
}

bool Vorschau::Beschaeftigt() const {
  return prozess_ != nullptr;
}

QString Vorschau::Hinweis() const {
  return hinweis_->text();
}

QString Vorschau::Ersatztext() const {
  return ersatz_->isHidden() ? QString() : ersatz_->toPlainText();
}

void Vorschau::SeitenLeeren() {
  while (QLayoutItem* eintrag = seitenLayout_->takeAt(0)) {
    delete eintrag->widget();
    delete eintrag;
  }
  seiten_ = 0;
}

void Vorschau::Zeigen(const std::shared_ptr<word::Document>& dokument) {
  dokument_ = dokument;
  ++lauf_;
  if (prozess_) {
    // The newer request wins; the old conversion is ended.
    prozess_->disconnect(this);
    prozess_->kill();
    prozess_->deleteLater();
    prozess_ = nullptr;
  }
  if (!dokument) {
    SeitenLeeren();
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
  ordner_ = std::make_unique<QTemporaryDir>();
  const QString docx = ordner_->filePath("Vorschau.docx");
  Falle falle("Vorschau", "Zeigen");
  if (!falle([&] { dokument->Save(docx.toStdString()); })) {
    Ersatz("Das Dokument ließ sich für die Vorschau nicht schreiben (siehe Verw.log).");
    return;
  }
  prozess_ = new QProcess(this);
  const QString profil = QUrl::fromLocalFile(ordner_->filePath("profil")).toString();
  prozess_->setProgram(soffice_);
  prozess_->setArguments({"-env:UserInstallation=" + profil, "--headless", "--norestore",
                          "--convert-to", "pdf", "--outdir", ordner_->path(), docx});
  connect(prozess_, &QProcess::finished, this, &Vorschau::Konvertiert);
  connect(prozess_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError fehler) {
    if (fehler == QProcess::FailedToStart) Konvertiert(-1, QProcess::CrashExit);
  });
  const int lauf = lauf_;
  QTimer::singleShot(zeitgrenze_, this, [this, lauf] {
    if (lauf == lauf_ && prozess_) {
      hinweis_->setText("LibreOffice antwortete nicht und wurde beendet.");
      prozess_->kill();
    }
  });
  hinweis_->setText("Die Vorschau wird erstellt …");
  laeuft_->setVisible(true);
  prozess_->start();
}

void Vorschau::Konvertiert(int exitCode, QProcess::ExitStatus status) {
  if (!prozess_) return;
  prozess_->deleteLater();
  prozess_ = nullptr;
  laeuft_->setVisible(false);
  const QString pdf = ordner_ ? ordner_->filePath("Vorschau.pdf") : QString();
  std::unique_ptr<Poppler::Document> dokument;
  if (exitCode == 0 && status == QProcess::NormalExit && QFile::exists(pdf))
    dokument = Poppler::Document::load(pdf);
  if (!dokument || dokument->isLocked()) {
    const QString grund = hinweis_->text().startsWith("LibreOffice antwortete")
                              ? hinweis_->text()
                              : QString("LibreOffice konnte das Dokument nicht umwandeln.");
    Ersatz(grund + " Die Vorschau zeigt die Gebührentabellen, wie tarvo sie im Dokument liest.");
    return;
  }
  dokument->setRenderHint(Poppler::Document::Antialiasing);
  dokument->setRenderHint(Poppler::Document::TextAntialiasing);
  SeitenLeeren();
  ersatz_->setVisible(false);
  flaeche_->setVisible(true);
  for (int i = 0; i < dokument->numPages(); ++i) {
    std::unique_ptr<Poppler::Page> seite = dokument->page(i);
    if (!seite) continue;
    const QImage bild = seite->renderToImage(72, 72);
    auto* label = new QLabel(seitenWidget_);
    label->setPixmap(QPixmap::fromImage(bild));
    label->setFrameShape(QFrame::Box);
    seitenLayout_->addWidget(label);
    ++seiten_;
  }
  hinweis_->setText(seiten_ == 1 ? QString("1 Seite") : QString("%1 Seiten").arg(seiten_));
  emit Fertig();
}

void Vorschau::Ersatz(const QString& grund) {
  laeuft_->setVisible(false);
  SeitenLeeren();
  flaeche_->setVisible(false);
  hinweis_->setText(grund);
  ersatz_->setHtml(dokument_ ? TabellenAlsHtml(*dokument_) : QString());
  ersatz_->setVisible(true);
  emit Fertig();
}

}  // namespace tarvo::gui

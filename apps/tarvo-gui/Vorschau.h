// Vorschau: the preview dock's content. Zeigen(document) shows the invoice's pages as pictures:
// the document is written to a private folder, LibreOffice converts it to PDF in the background
// and poppler renders the pages. LibreOffice runs with a profile of its own, kept for the dock's
// life (a new profile costs seconds on every start). Between conversions one LibreOffice is
// kept waiting in the background with that profile: the next conversion is handed over to it
// and takes a few tenths of a second instead of a start of its own; it then ends, and a new one
// is started to wait for the next. Where none is waiting (the first conversion, or one that
// failed to start twice), the conversion starts LibreOffice itself, more slowly. A busy bar
// shows meanwhile; a conversion that takes longer than the time limit is ended. Without
// LibreOffice, or when the conversion fails, the dock says so and shows the fee tables as the
// document model reads them. A new request while one conversion runs replaces it.
//
// The pages fit the dock's width by default; zoom in and out (Ctrl+Plus, Ctrl+Minus, Ctrl+0 fits
// the width again), page up and down, "Drucken" and "Als PDF speichern" are in the bar above.
// When the same document is shown again after a change its old pages are greyed out at once
// until the new ones come; another document clears them at once. Nothing here fails into the
// caller: problems are shown in the dock.
#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

class QAction;
class QLabel;
class QProgressBar;
class QScrollArea;
class QTextBrowser;
class QVBoxLayout;

namespace Poppler {
class Document;
}

namespace tarvo::word {
class Document;
}

namespace tarvo::gui {

class Vorschau : public QWidget {
  Q_OBJECT
 public:
  explicit Vorschau(QWidget* parent = nullptr);
  ~Vorschau() override;

  // Shows `dokument` as it stands now (nullptr: an empty dock).
  void Zeigen(const std::shared_ptr<word::Document>& dokument);

  // The LibreOffice program used (empty: none); settable for tests.
  void SetzeLibreOffice(const QString& programm) { soffice_ = programm; }
  void SetzeZeitgrenze(int millisekunden) { zeitgrenze_ = millisekunden; }
  // Whether a LibreOffice is kept waiting for the next conversion (default: yes).
  void SetzeDienst(bool erlaubt);

  bool Beschaeftigt() const;
  int Seitenzahl() const { return seiten_; }
  // What the dock says above the pages ("3 Seiten", "LibreOffice ist nicht installiert …").
  QString Hinweis() const;
  // The text of the fallback tables (empty while pages are shown).
  QString Ersatztext() const;
  // Whether the pages shown are greyed out (an older state of the document).
  bool Veraltet() const;
  // The scale of the pages shown (1.0: 72 dpi, a point a pixel) and whether they fit the width.
  double Massstab() const { return massstab_; }
  bool BreiteAnpassen() const { return breite_; }
  // The page at the top of the view (from 0).
  int AktuelleSeite() const;
  // Whether a LibreOffice waits, started up, for the next conversion.
  bool Bereit() const;
  // Whether the last conversion was handed to the LibreOffice kept waiting.
  bool UeberDienst() const { return ueberDienst_; }
  // Milliseconds from the last Zeigen with a document to its pages shown (-1: none yet).
  qint64 LetzteDauer() const { return dauer_; }

  // The bar's actions, also for tests.
  void Vergroessern();
  void Verkleinern();
  void AnBreiteAnpassen();
  void SeiteVor();
  void SeiteZurueck();
  // Writes the PDF shown to `ziel` (replacing it); false when none is shown or writing failed.
  bool PdfSpeichern(const QString& ziel);

 signals:
  // After each request is done (pages shown or the fallback).
  void Fertig();

 protected:
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  void Konvertiert(bool ok, const QString& grund);
  void Ersatz(const QString& grund);
  void SeitenLeeren();
  void Rendern();
  void EinzelnStarten();
  void DienstStarten();
  void DienstBeenden();
  QString Profil() const;
  void ZurSeite(int seite);
  void Drucken();
  void PdfSpeichernFragen();

  // How long a LibreOffice takes, started, until it can take over a conversion.
  static constexpr qint64 kAnlauf = 3000;
  QString soffice_;
  int zeitgrenze_ = 60000;
  bool dienstErlaubt_ = true;
  std::unique_ptr<QTemporaryDir> ordner_;
  QString docx_, pdf_;           // of the request running
  QProcess* prozess_ = nullptr;  // the conversion running
  QProcess* dienst_ = nullptr;   // the LibreOffice waiting for the next conversion
  QElapsedTimer dienstSeit_;     // since it was started
  int dienstFehlstarts_ = 0;     // it ended at once: after two, none is started again
  bool dienstBenutzt_ = false;   // a conversion was handed to it (it ends after that)
  bool wartet_ = false;          // a conversion waits until the waiting one is up
  bool ueberDienst_ = false;
  std::shared_ptr<word::Document> dokument_;
  std::unique_ptr<Poppler::Document> pdfDokument_;
  QString pdfGezeigt_;  // the file of the pages shown
  QLabel* hinweis_;
  QProgressBar* laeuft_;
  QScrollArea* flaeche_;
  QWidget* seitenWidget_;
  QVBoxLayout* seitenLayout_;
  QTextBrowser* ersatz_;
  QWidget* leiste_;
  QLabel* zoomAnzeige_;
  int seiten_ = 0;
  int lauf_ = 0;
  double massstab_ = 1.0;
  bool breite_ = true;
  QElapsedTimer uhr_;
  qint64 dauer_ = -1;
};

// The fee tables of a document (tables whose first comment is a tag), as HTML.
QString TabellenAlsHtml(word::Document& dokument);

}  // namespace tarvo::gui

// Vorschau: the preview dock's content. Zeigen(document) shows the invoice's pages as pictures:
// the document is written to a private folder, LibreOffice converts it to PDF in the background
// (a separate process with its own profile, so a running office is never disturbed; a visible
// busy bar meanwhile; a conversion that takes longer than the time limit is ended) and poppler
// renders the pages. Without LibreOffice, or when the conversion fails, the dock says so and
// shows the fee tables as the document model reads them. A new request while one conversion
// runs replaces it. Nothing here fails into the caller: problems are shown in the dock.
#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

class QLabel;
class QProgressBar;
class QScrollArea;
class QTextBrowser;
class QVBoxLayout;

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

  bool Beschaeftigt() const;
  int Seitenzahl() const { return seiten_; }
  // What the dock says above the pages ("3 Seiten", "LibreOffice ist nicht installiert …").
  QString Hinweis() const;
  // The text of the fallback tables (empty while pages are shown).
  QString Ersatztext() const;

 signals:
  // After each request is done (pages shown or the fallback).
  void Fertig();

 private:
  void Konvertiert(int exitCode, QProcess::ExitStatus status);
  void Ersatz(const QString& grund);
  void SeitenLeeren();

  QString soffice_;
  int zeitgrenze_ = 60000;
  std::unique_ptr<QTemporaryDir> ordner_;
  QProcess* prozess_ = nullptr;
  std::shared_ptr<word::Document> dokument_;
  QLabel* hinweis_;
  QProgressBar* laeuft_;
  QScrollArea* flaeche_;
  QWidget* seitenWidget_;
  QVBoxLayout* seitenLayout_;
  QTextBrowser* ersatz_;
  int seiten_ = 0;
  int lauf_ = 0;
};

// The fee tables of a document (tables whose first comment is a tag), as HTML.
QString TabellenAlsHtml(word::Document& dokument);

}  // namespace tarvo::gui

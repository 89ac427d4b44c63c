// The modal dialogs of a desktop test, answered as they come up (looked for every 20 ms): a
// message box by the button whose text is the next of `antworten` (none left, or no button of
// that text: its default button), any other dialog by the callback `dialog` the test set for it
// (used once), else it is closed through its frame. `gesehen` notes each message box's text and
// "Dialog NAME" for a dialog closed unasked.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <QtTest>
#include <functional>

class Dialogwaechter : public QObject {
 public:
  explicit Dialogwaechter(QObject* eltern) : QObject(eltern) {
    auto* uhr = new QTimer(this);
    connect(uhr, &QTimer::timeout, this, [this] { Antworten(); });
    uhr->start(20);
  }

  QStringList antworten;
  QStringList gesehen;
  std::function<void(QWidget*)> dialog;

 private:
  void Antworten() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      gesehen << box->text();
      const QString antwort = antworten.isEmpty() ? QString() : antworten.takeFirst();
      QAbstractButton* knopf = box->defaultButton();
      for (QAbstractButton* b : box->buttons())
        if (b->text() == antwort) knopf = b;
      QTest::mouseClick(knopf, Qt::LeftButton);
    } else if (dialog) {
      auto antwort = std::move(dialog);
      dialog = nullptr;
      antwort(modal);
    } else {
      gesehen << "Dialog " + modal->objectName();
      modal->close();
    }
  }
};

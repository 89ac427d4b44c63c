// The server field of "Datenbank öffnen": the address the fields make, and a connection that
// fails is named in the dialog without the password typed into it.
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <cstdlib>

#include "Serververbindung.h"
#include "platform/dao/ServerAddress.h"

using tarvo::gui::ServerAdresse;
using tarvo::gui::Serverangaben;
using tarvo::gui::Serververbindung;

class SerververbindungTest : public QObject {
  Q_OBJECT
 private slots:
  void TheFieldsMakeAnEncodedAddress_data() {
    QTest::addColumn<QString>("rechner");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("datenbank");
    QTest::addColumn<QString>("benutzer");
    QTest::addColumn<QString>("ssl");
    QTest::addColumn<QString>("adresse");
    QTest::newRow("all fields") << "server.buero"
                                << "5433"
                                << "auftraege"
                                << "buero"
                                << "require"
                                << "postgresql://buero@server.buero:5433/auftraege?sslmode=require";
    QTest::newRow("umlauts and blanks")
        << "server"
        << ""
        << "Aufträge 2026"
        << "Frau Müller"
        << ""
        << "postgresql://Frau%20M%C3%BCller@server/Auftr%C3%A4ge%202026";
    QTest::newRow("a socket folder")
        << "/run/postgresql"
        << ""
        << "auftraege"
        << ""
        << "disable"
        << "postgresql:///auftraege?host=%2Frun%2Fpostgresql&sslmode=disable";
    QTest::newRow("a @ and a / in the user") << "server"
                                             << ""
                                             << "db"
                                             << "a@b/c"
                                             << ""
                                             << "postgresql://a%40b%2Fc@server/db";
  }
  void TheFieldsMakeAnEncodedAddress() {
    QFETCH(QString, rechner);
    QFETCH(QString, port);
    QFETCH(QString, datenbank);
    QFETCH(QString, benutzer);
    QFETCH(QString, ssl);
    QFETCH(QString, adresse);
    const std::string gemacht =
        ServerAdresse({rechner.toStdString(), port.toStdString(), datenbank.toStdString(),
                       benutzer.toStdString(), ssl.toStdString()});
    QCOMPARE(QString::fromStdString(gemacht), adresse);
    QVERIFY(tarvo::dao::IsServerAddress(gemacht));
  }

  void AFailedConnectionIsNamedWithoutThePassword() {
    ::unsetenv("PGPASSWORD");
    Serververbindung dialog;
    const auto felder = dialog.findChildren<QLineEdit*>();
    QVERIFY(!felder.isEmpty());
    felder.last()->setText("postgresql://buero:Sehr-Geheim@/auftraege?host=/nicht/da");
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(dialog.Adresse().empty());
    QString gezeigt;
    for (QLabel* label : dialog.findChildren<QLabel*>()) gezeigt += label->text();
    QVERIFY2(gezeigt.contains("Keine Verbindung zur Datenbank"), qPrintable(gezeigt));
    QVERIFY2(!gezeigt.contains("Sehr-Geheim"), qPrintable(gezeigt));
    QCOMPARE(QString(std::getenv("PGPASSWORD")), QString("Sehr-Geheim"));
    ::unsetenv("PGPASSWORD");
  }
};

QTEST_MAIN(SerververbindungTest)
#include "Serververbindung_test.moc"

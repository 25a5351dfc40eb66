#include "etnetworkingerror.h"

#include "etrecordingpresenter.h"

#include "transfertestenvironment.h"

#include "messagecapture.h"

#include <gtest/gtest.h>

namespace
{

const QString P = QString::fromUtf8("Bitte überprüfen Sie die Netzwerkeinstellungen Ihres Systems und die "
                                    "Proxy-Einstellungen im Menü Extras/Optionen/Netzwerk.");
const QString N = QString::fromUtf8("Bitte überprüfen Sie die Netzwerkeinstellungen Ihres Systems.");
const QString B = QString::fromUtf8(" Bitte füllen Sie den Bugreport aus!");

QString qt(const char *text)
{
    return QStringLiteral("<qt>") + QString::fromUtf8(text) + QStringLiteral("</qt>");
}

QString classText(int cls)
{
    switch (cls) {
    case 0:
        return QStringLiteral("Kein Fehler");
    case 1:
        return QStringLiteral("Unbehebbarer Fehler.") + B;
    case 2:
        return QStringLiteral("Programmfehler!") + B;
    case 3:
        return QString::fromUtf8("Fehlerhafte Daten! Bitte überpüfen Sie Ihre Eingaben");
    case 4:
        return QString::fromUtf8("Remote System Fehler. Bitte versuchen Sie es später erneut");
    case 5:
        return QString::fromUtf8("Keine Verbindung zum Server. Bitte überprüfen Sie Ihre Internetverbindung "
                                 "und versuchen Sie es erneut");
    case 6:
        return QStringLiteral("Bitte versuchen Sie es erneut!");
    case 7:
        return QStringLiteral("Programmfehler bei der Deklaration der Bestellung.") + B;
    }
    return QString();
}

struct CodeCase {
    int code;
    int errorClass;
    QString text; // expected message before " [code]"; empty: the class text
};

std::vector<CodeCase> allCodes()
{
    std::vector<CodeCase> cases = {
        {0, 0, {}},
        {33, 0, {}},
        {49, 0, {}},
        {53, 0, {}},
        {1, 1, qt("Client Version ist zu alt. Kommunikation verweigert")},
        {26, 1, {}},
        {27, 1, {}},
        {35, 1, {}},
        {511, 1,
         qt("Die Anzahl der Bilder in einer Bestellung ist begrenzt. Leider haben Sie dieses Limit "
            "überschritten. Löschen Sie bitte ein paar Bilder aus ihrer Bestellung und starten Sie die "
            "Bestellung neu.")},
        {999, 1, qt("Wöchentliche Wartungsarbeiten auf dem Server. Versuchen Sie es später noch einmal.")},
        {2001, 1, qt("Fehlerhafte Daten vom Server.  Bitte wenden Sie sich an den Support.")},
        {2, 3, qt("Falsches Login oder Password")},
        {5, 3, {}},
        {6, 3, {}},
        {8, 3, qt("Die Validierung der Sicherheitsfrage ist fehlgeschlagen")},
        {9, 3, qt("Die Validierung der Sicherheitsantwort ist fehlgeschlagen")},
        {10, 3, qt("Die Validierung der Begrüßung ist fehlgeschlagen")},
        {11, 3, qt("Die Validierung des Vornamens ist fehlgeschlagen")},
        {12, 3, qt("Die Validierung des Nachnamens ist fehlgeschlagen")},
        {13, 3, qt("Die Validierung der Straße fehlgeschlagen")},
        {14, 3, qt("Die Validierung der Postleitzahl ist fehlgeschlagen")},
        {15, 3, qt("Die Validierung der Stadt ist fehlgeschlagen")},
        {16, 3, qt("Die Validierung des Landes ist fehlgeschlagen")},
        {37, 3, {}},
        {40, 3, {}},
        {44, 3, {}},
        {70, 3, qt("Kein gültiger Gutschein")},
        {71, 3, qt("Kein gültiger Gutschein")},
        {72, 3, qt("Gutschein ungültig oder bereits benutzt worden")},
        {80, 3, qt("Die Antwort auf die Sicherheitsfrage nicht korrekt.")},
        {81, 3, qt("Unbekannter Benutzer.  Prüfen Sie die EMail-Adresse auf Schreibfehler.")},
        {85, 4,
         qt("Diese Software ist nicht auf dem Server gemeldet. Sie befindet sich wahrscheinlich auf dem "
            "neuesten Stand.")},
        {1000, 4, qt("Der Server kann derzeit die Anfrage nicht beantworten.")},
        {1001, 4, {}},
        {1004, 4, {}},
        {1500, 5, {}},
        {28, 6, {}},
        {29, 6, {}},
        {61, 6, {}},
        {3005, 6, QStringLiteral("<qt>Proxy nicht erreichbar.<br>") + P + QStringLiteral("</qt>")},
        {3006, 6, QStringLiteral("<qt>Konnte Hostnamen nicht ermitteln.<br>") + N + QStringLiteral("</qt>")},
        {3007, 6, QStringLiteral("<qt>Server antwortet nicht.<br>") + P + QStringLiteral("</qt>")},
        {501, 7, {}},
        {509, 7, {}},
        {510, 7, qt("Inkonsistente Discount-Daten")},
        {512, 7, qt("Inkonsistente Discount-Daten vom Server.")},
        {513, 7, qt("Kein gültiger Gutschein")},
        {514, 7, qt("Kein gültiger Gutschein")},
        {520, 7, {}},
        {50, 2,
         qt("Der Gutschein kann nur von eingeloggten Benutzern verwendet werden. Bitte melden Sie sich an, "
            "gehen dann eine Seite weiter und dann zurück auf diese Maske. Danach können Sie den Gutschein "
            "verwenden.")},
        {68, 2, qt("Sie haben sich bereits einmal angemeldet. Mehrfache Anmeldung nicht möglich.")},
        {500, 2,
         qt("Der Wert für das Feld CURRENCY_SYMBOL muss in der Tabelle TBL_KEY_ACCOUNT hinterlegt werden")},
        {601, 2, qt("Dieser Kreditkartentyp wird nicht unterstützt.")},
        {613, 2, qt("Die Kreditkartendaten sind nicht korrekt (kein Clearing möglich).")},
        {614, 2, qt("Die Bankverbindung ist nicht korrekt. (kein Clearing möglich)")},
        {404, 2, {}},
        {-1, 2, {}},
        {1999, 2, {}},
        {2000, 7, {}},
        {2002, 7, qt("Fehlerhafte Daten vom Server.  Bitte wenden Sie sich an den Support.")},
        {2003, 7, qt("Fehlerhafte Daten vom Server.  Bitte wenden Sie sich an den Support.")},
        {2004, 7, qt("Fehlerhafte Daten vom Server.  Bitte wenden Sie sich an den Support.")},
        {2005, 7, qt("Schreiben auf Festplatte fehlgeschlagen")},
        {2006, 7, qt("Server spricht zu neues Protokoll. Bitte updaten Sie die Software")},
        {2007, 7, {}},
        {2022, 4, qt("Der Server ist zur Zeit ausgelastet. Bitte versuchen Sie es später erneut.")},
        {2023, 4,
         qt("Der Server fordert die Bilder immer wieder neu an. Die Übertragung wurde abgebrochen. Bitte "
            "versuchen Sie es später erneut.")},
        {3000, 5, {}},
        {3018, 5, {}},
        {3026, 5, qt("Datei existiert nicht")},
        {3028, 5, qt("Operation zurückgesetzt. Server antwortet nicht (Timeout)")},
        {3060, 5, {}},
        {3299, 5, {}},
        {3300, 5, QStringLiteral("<qt>HTTP-Fehler 300 bei der Übertragung. ") + P + QStringLiteral("</qt>")},
        {3404, 5,
         QString::fromUtf8("<qt>HTTP-Fehler 404 bei der Übertragung. ") + P + QStringLiteral("</qt>")},
        {3500, 5,
         QString::fromUtf8("<qt>HTTP-Fehler 500 bei der Übertragung. ") + P + QStringLiteral("</qt>")},
        {ETNetworkingError::ReplyNotXml, 5, qt("Der Server hat eine unverständliche Antwort geschickt.")},
    };
    for (CodeCase &c : cases)
        if (c.text.isEmpty())
            c.text = classText(c.errorClass);
    return cases;
}

TEST(ETNetworkingErrorTest, EveryCodeHasItsClassAndMessage)
{
    ETNetworkingError error;
    for (const CodeCase &c : allCodes()) {
        SCOPED_TRACE(c.code);
        error.raise(c.code);
        EXPECT_EQ(c.code, error.code());
        EXPECT_EQ(c.errorClass, error.errorClass());
        EXPECT_EQ(c.errorClass > 0, error.hasError());
        EXPECT_EQ(c.text + QStringLiteral(" [") + QString::number(c.code) + QStringLiteral("]"),
                  error.message());
    }
}

TEST(ETNetworkingErrorTest, PictureMessagesNameThePictures)
{
    ETNetworkingError error;
    error.raise(ETNetworkingError::PicturesUnreadable, QStringLiteral("/bilder/a&b.jpg\n/bilder/<neu>.jpg"));
    EXPECT_EQ(6, error.errorClass()) << "the customer may put the pictures back and retry";
    EXPECT_EQ(qt("Folgende Bilder existieren nicht mehr oder können nicht gelesen werden:<br>"
                 "/bilder/a&amp;b.jpg<br>/bilder/&lt;neu&gt;.jpg<br>Bitte stellen Sie die Bilder wieder "
                 "bereit und versuchen Sie es erneut.") +
                  QStringLiteral(" [2020]"),
              error.message());
    error.raise(ETNetworkingError::PictureChanged, QStringLiteral("/bilder/klein.jpg"));
    EXPECT_EQ(6, error.errorClass());
    EXPECT_EQ(qt("Das Bild /bilder/klein.jpg wurde während der Übertragung verändert und daher nicht "
                 "gesendet. Bitte versuchen Sie es erneut.") +
                  QStringLiteral(" [2021]"),
              error.message());
    // The next code names nothing of the last.
    error.raise(ETNetworkingError::PictureChanged);
    EXPECT_FALSE(error.message().contains(QStringLiteral("klein.jpg")));
}

TEST(ETNetworkingErrorTest, TransferAndHttpFailuresHaveCodesFrom3000)
{
    EXPECT_EQ(3007, ETNetworkingError::fromCurl(7));
    EXPECT_EQ(ETNetworkingError::NoConnection, ETNetworkingError::fromCurl(7));
    EXPECT_EQ(3028, ETNetworkingError::fromCurl(28));
    EXPECT_EQ(3404, ETNetworkingError::fromHttpStatus(404));
    EXPECT_EQ(3300, ETNetworkingError::fromHttpStatus(300));
}

TEST(ETNetworkingErrorTest, ClearLeavesNoError)
{
    ETNetworkingError error(3404);
    EXPECT_TRUE(error.hasError());
    error.clear();
    EXPECT_FALSE(error.hasError());
    EXPECT_EQ(QStringLiteral("Kein Fehler [0]"), error.message());
}

TEST(ETNetworkingErrorTest, RaiseWritesItsDebugLine)
{
    MessageCapture lines;
    ETNetworkingError error;
    error.raise(3028);
    EXPECT_TRUE(lines.has(QStringLiteral("ETnetworkingError::raise(3028)")));
}

} // namespace

namespace
{

const QList<QMessageBox::StandardButton> cancelOnly{QMessageBox::Cancel};
const QList<QMessageBox::StandardButton> retryCancel{QMessageBox::Retry, QMessageBox::Cancel};

// One code of each class: which box shows it.
struct BoxCase {
    int code;
    QMessageBox::Icon icon;
    QList<QMessageBox::StandardButton> buttons;
};

const BoxCase boxCases[] = {
    {0, QMessageBox::Critical, cancelOnly},    {1, QMessageBox::Critical, cancelOnly},
    {404, QMessageBox::Critical, cancelOnly},  {2, QMessageBox::Warning, cancelOnly},
    {85, QMessageBox::Warning, retryCancel},   {3404, QMessageBox::Warning, retryCancel},
    {3005, QMessageBox::Warning, retryCancel}, {2002, QMessageBox::Critical, cancelOnly},
};

TEST(ETNetworkingErrorBoxTest, ButtonsFollowTheClass)
{
    TransferTestEnvironment env;
    ETRecordingPresenter presenter;
    ETNetworkingError error;
    for (const BoxCase &c : boxCases) {
        SCOPED_TRACE(c.code);
        error.raise(c.code);
        const bool offersRetry = c.buttons.contains(QMessageBox::Retry);
        presenter.answerBox(offersRetry ? QMessageBox::Retry : QMessageBox::Cancel);
        EXPECT_EQ(offersRetry, error.showMessage(nullptr));
        const ETMessageBoxRequest &box = presenter.last().box;
        EXPECT_EQ(QStringLiteral("Ein Fehler ist aufgetreten"), box.caption);
        EXPECT_EQ(error.message(), box.text);
        EXPECT_EQ(c.icon, box.icon);
        EXPECT_EQ(c.buttons, box.buttons);
    }
}

TEST(ETNetworkingErrorBoxTest, CancelIsNoRetry)
{
    TransferTestEnvironment env;
    ETRecordingPresenter presenter;
    ETNetworkingError error(3028);
    presenter.answerBox(QMessageBox::Cancel);
    EXPECT_FALSE(error.showMessage(nullptr));
}

} // namespace

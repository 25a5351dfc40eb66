#include "etnetworkingerror.h"
#include "etservercode.h"

#include "etrecordingpresenter.h"

#include "transfertestenvironment.h"

#include "messagecapture.h"

#include <gtest/gtest.h>

#include <curl/curl.h>

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

using C = ETNetworkingError::ErrorClass;

QString classText(C cls)
{
    switch (cls) {
    case C::Success:
        return QStringLiteral("Kein Fehler");
    case C::Fatal:
        return QStringLiteral("Unbehebbarer Fehler.") + B;
    case C::ProgramFault:
        return QStringLiteral("Programmfehler!") + B;
    case C::BadInput:
        return QString::fromUtf8("Fehlerhafte Daten! Bitte überpüfen Sie Ihre Eingaben");
    case C::RemoteFault:
        return QString::fromUtf8("Remote System Fehler. Bitte versuchen Sie es später erneut");
    case C::NoServer:
        return QString::fromUtf8("Keine Verbindung zum Server. Bitte überprüfen Sie Ihre Internetverbindung "
                                 "und versuchen Sie es erneut");
    case C::TryAgain:
        return QStringLiteral("Bitte versuchen Sie es erneut!");
    case C::DeclarationFault:
        return QStringLiteral("Programmfehler bei der Deklaration der Bestellung.") + B;
    }
    return QString();
}

struct CodeCase {
    int code;
    C errorClass;
    QString text; // expected message before " [code]"; empty: the class text
};

std::vector<CodeCase> allCodes()
{
    std::vector<CodeCase> cases = {
        {ETNetworkingError::NoError, C::Success, {}},
        {ETServerCode::UploadStopped, C::Success, {}},
        {49, C::Success, {}},
        {ETServerCode::UploadComplete, C::Success, {}},
        {ETServerCode::ClientTooOld, C::Fatal, qt("Client Version ist zu alt. Kommunikation verweigert")},
        {26, C::Fatal, {}},
        {ETServerCode::SessionUnknown, C::Fatal, {}},
        {35, C::Fatal, {}},
        {ETServerCode::TooManyPictures, C::Fatal,
         qt("Die Anzahl der Bilder in einer Bestellung ist begrenzt. Leider haben Sie dieses Limit "
            "überschritten. Löschen Sie bitte ein paar Bilder aus ihrer Bestellung und starten Sie die "
            "Bestellung neu.")},
        {ETServerCode::Maintenance, C::Fatal,
         qt("Wöchentliche Wartungsarbeiten auf dem Server. Versuchen Sie es später noch einmal.")},
        {ETNetworkingError::TransferListInvalid, C::Fatal,
         qt("Fehlerhafte Daten vom Server.  Bitte wenden Sie sich an den Support.")},
        {ETNetworkingError::UndeclaredFile, C::Fatal,
         qt("Fehlerhafte Daten vom Server.  Bitte wenden Sie sich an den Support.")},
        {ETServerCode::WrongLogin, C::BadInput, qt("Falsches Login oder Password")},
        {5, C::BadInput, {}},
        {6, C::BadInput, {}},
        {8, C::BadInput, qt("Die Validierung der Sicherheitsfrage ist fehlgeschlagen")},
        {9, C::BadInput, qt("Die Validierung der Sicherheitsantwort ist fehlgeschlagen")},
        {10, C::BadInput, qt("Die Validierung der Begrüßung ist fehlgeschlagen")},
        {11, C::BadInput, qt("Die Validierung des Vornamens ist fehlgeschlagen")},
        {12, C::BadInput, qt("Die Validierung des Nachnamens ist fehlgeschlagen")},
        {13, C::BadInput, qt("Die Validierung der Straße fehlgeschlagen")},
        {14, C::BadInput, qt("Die Validierung der Postleitzahl ist fehlgeschlagen")},
        {15, C::BadInput, qt("Die Validierung der Stadt ist fehlgeschlagen")},
        {16, C::BadInput, qt("Die Validierung des Landes ist fehlgeschlagen")},
        {37, C::BadInput, {}},
        {40, C::BadInput, {}},
        {44, C::BadInput, {}},
        {ETServerCode::CouponInvalid, C::BadInput, qt("Kein gültiger Gutschein")},
        {ETServerCode::CouponExpired, C::BadInput, qt("Kein gültiger Gutschein")},
        {ETServerCode::CouponUsed, C::BadInput, qt("Gutschein ungültig oder bereits benutzt worden")},
        {ETServerCode::WrongSecurityAnswer, C::BadInput,
         qt("Die Antwort auf die Sicherheitsfrage nicht korrekt.")},
        {ETServerCode::UnknownUser, C::BadInput,
         qt("Unbekannter Benutzer.  Prüfen Sie die EMail-Adresse auf Schreibfehler.")},
        {ETServerCode::SoftwareUnknown, C::RemoteFault,
         qt("Diese Software ist nicht auf dem Server gemeldet. Sie befindet sich wahrscheinlich auf dem "
            "neuesten Stand.")},
        {ETServerCode::ServerUnavailable, C::RemoteFault,
         qt("Der Server kann derzeit die Anfrage nicht beantworten.")},
        {ETServerCode::PicturesMissing, C::RemoteFault, {}},
        {1004, C::RemoteFault, {}},
        {1500, C::NoServer, {}},
        {28, C::TryAgain, {}},
        {29, C::TryAgain, {}},
        {61, C::TryAgain, {}},
        {ETNetworkingError::ProxyNotFound, C::TryAgain,
         QStringLiteral("<qt>Proxy nicht erreichbar.<br>") + P + QStringLiteral("</qt>")},
        {ETNetworkingError::HostNotFound, C::TryAgain,
         QStringLiteral("<qt>Konnte Hostnamen nicht ermitteln.<br>") + N + QStringLiteral("</qt>")},
        {ETNetworkingError::NoConnection, C::TryAgain,
         QStringLiteral("<qt>Server antwortet nicht.<br>") + P + QStringLiteral("</qt>")},
        {501, C::DeclarationFault, {}},
        {509, C::DeclarationFault, {}},
        {510, C::DeclarationFault, qt("Inkonsistente Discount-Daten")},
        {512, C::DeclarationFault, qt("Inkonsistente Discount-Daten vom Server.")},
        {513, C::DeclarationFault, qt("Kein gültiger Gutschein")},
        {514, C::DeclarationFault, qt("Kein gültiger Gutschein")},
        {520, C::DeclarationFault, {}},
        {ETServerCode::CouponNeedsLogin, C::ProgramFault,
         qt("Der Gutschein kann nur von eingeloggten Benutzern verwendet werden. Bitte melden Sie sich an, "
            "gehen dann eine Seite weiter und dann zurück auf diese Maske. Danach können Sie den Gutschein "
            "verwenden.")},
        {ETServerCode::AlreadyRegistered, C::ProgramFault,
         qt("Sie haben sich bereits einmal angemeldet. Mehrfache Anmeldung nicht möglich.")},
        {500, C::ProgramFault,
         qt("Der Wert für das Feld CURRENCY_SYMBOL muss in der Tabelle TBL_KEY_ACCOUNT hinterlegt werden")},
        {601, C::ProgramFault, qt("Dieser Kreditkartentyp wird nicht unterstützt.")},
        {613, C::ProgramFault, qt("Die Kreditkartendaten sind nicht korrekt (kein Clearing möglich).")},
        {614, C::ProgramFault, qt("Die Bankverbindung ist nicht korrekt. (kein Clearing möglich)")},
        {404, C::ProgramFault, {}},
        {-1, C::ProgramFault, {}},
        {1999, C::ProgramFault, {}},
        {ETNetworkingError::ListNotWritten, C::DeclarationFault, {}},
        {ETNetworkingError::ProductListInvalid, C::DeclarationFault,
         qt("Fehlerhafte Daten vom Server.  Bitte wenden Sie sich an den Support.")},
        {ETNetworkingError::CountryListInvalid, C::DeclarationFault,
         qt("Fehlerhafte Daten vom Server.  Bitte wenden Sie sich an den Support.")},
        {ETNetworkingError::CreditCardListInvalid, C::DeclarationFault,
         qt("Fehlerhafte Daten vom Server.  Bitte wenden Sie sich an den Support.")},
        {ETNetworkingError::DiskWriteFailed, C::DeclarationFault,
         qt("Schreiben auf Festplatte fehlgeschlagen")},
        {ETNetworkingError::ProtocolTooNew, C::DeclarationFault,
         qt("Server spricht zu neues Protokoll. Bitte updaten Sie die Software")},
        {2007, C::DeclarationFault, {}},
        {ETNetworkingError::ServerBusy, C::RemoteFault,
         qt("Der Server ist zurzeit ausgelastet. Bitte versuchen Sie es später erneut.")},
        {ETNetworkingError::UploadRunaway, C::RemoteFault,
         qt("Der Server fordert die Bilder immer wieder neu an. Die Übertragung wurde abgebrochen. Bitte "
            "versuchen Sie es später erneut.")},
        {ETNetworkingError::TransferFailed, C::NoServer, {}},
        {ETNetworkingError::fromCurl(CURLE_PARTIAL_FILE), C::NoServer, {}},
        {ETNetworkingError::fromCurl(CURLE_READ_ERROR), C::NoServer, qt("Datei existiert nicht")},
        {ETNetworkingError::fromCurl(CURLE_OPERATION_TIMEDOUT), C::NoServer,
         qt("Operation zurückgesetzt. Server antwortet nicht (Timeout)")},
        {ETNetworkingError::fromCurl(CURLE_PEER_FAILED_VERIFICATION), C::NoServer, {}},
        {ETNetworkingError::fromHttpStatus(299), C::NoServer, {}},
        {ETNetworkingError::fromHttpStatus(300), C::NoServer,
         QStringLiteral("<qt>HTTP-Fehler 300 bei der Übertragung. ") + P + QStringLiteral("</qt>")},
        {ETNetworkingError::fromHttpStatus(404), C::NoServer,
         QString::fromUtf8("<qt>HTTP-Fehler 404 bei der Übertragung. ") + P + QStringLiteral("</qt>")},
        {ETNetworkingError::fromHttpStatus(500), C::NoServer,
         QString::fromUtf8("<qt>HTTP-Fehler 500 bei der Übertragung. ") + P + QStringLiteral("</qt>")},
        {ETNetworkingError::ReplyNotXml, C::NoServer,
         qt("Der Server hat eine unverständliche Antwort geschickt.")},
        // A cancel is not shown; should it ever be, it says what happened, not that the server is gone.
        {ETNetworkingError::Cancelled, C::NoServer, qt("Der Vorgang wurde abgebrochen.")},
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
        EXPECT_EQ(c.errorClass != C::Success, error.hasError());
        EXPECT_EQ(c.text + QStringLiteral(" [") + QString::number(c.code) + QStringLiteral("]"),
                  error.message());
    }
}

TEST(ETNetworkingErrorTest, PictureMessagesNameThePictures)
{
    ETNetworkingError error;
    error.raise(ETNetworkingError::PicturesUnreadable, QStringLiteral("/bilder/a&b.jpg\n/bilder/<neu>.jpg"));
    EXPECT_EQ(C::TryAgain, error.errorClass()) << "the customer may put the pictures back and retry";
    EXPECT_EQ(qt("Folgende Bilder existieren nicht mehr oder können nicht gelesen werden:<br>"
                 "/bilder/a&amp;b.jpg<br>/bilder/&lt;neu&gt;.jpg<br>Bitte stellen Sie die Bilder wieder "
                 "bereit und versuchen Sie es erneut.") +
                  QStringLiteral(" [2020]"),
              error.message());
    error.raise(ETNetworkingError::PictureChanged, QStringLiteral("/bilder/klein.jpg"));
    EXPECT_EQ(C::TryAgain, error.errorClass());
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
    EXPECT_EQ(3007, ETNetworkingError::fromCurl(CURLE_COULDNT_CONNECT));
    EXPECT_EQ(ETNetworkingError::NoConnection, ETNetworkingError::fromCurl(CURLE_COULDNT_CONNECT));
    EXPECT_EQ(3028, ETNetworkingError::fromCurl(CURLE_OPERATION_TIMEDOUT));
    EXPECT_EQ(3404, ETNetworkingError::fromHttpStatus(404));
    EXPECT_EQ(3300, ETNetworkingError::fromHttpStatus(300));
}

TEST(ETNetworkingErrorTest, ClearLeavesNoError)
{
    ETNetworkingError error(ETNetworkingError::fromHttpStatus(404));
    EXPECT_TRUE(error.hasError());
    error.clear();
    EXPECT_FALSE(error.hasError());
    EXPECT_EQ(QStringLiteral("Kein Fehler [0]"), error.message());
}

TEST(ETNetworkingErrorTest, RaiseWritesItsDebugLine)
{
    MessageCapture lines;
    ETNetworkingError error;
    error.raise(ETNetworkingError::fromCurl(CURLE_OPERATION_TIMEDOUT));
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
    {ETNetworkingError::NoError, QMessageBox::Critical, cancelOnly},
    {ETServerCode::ClientTooOld, QMessageBox::Critical, cancelOnly},
    {404, QMessageBox::Critical, cancelOnly},
    {ETServerCode::WrongLogin, QMessageBox::Warning, cancelOnly},
    {ETServerCode::SoftwareUnknown, QMessageBox::Warning, retryCancel},
    {ETNetworkingError::fromHttpStatus(404), QMessageBox::Warning, retryCancel},
    {ETNetworkingError::ProxyNotFound, QMessageBox::Warning, retryCancel},
    {ETNetworkingError::ProductListInvalid, QMessageBox::Critical, cancelOnly},
    {ETNetworkingError::UndeclaredFile, QMessageBox::Critical, cancelOnly},
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
    ETNetworkingError error(ETNetworkingError::fromCurl(CURLE_OPERATION_TIMEDOUT));
    presenter.answerBox(QMessageBox::Cancel);
    EXPECT_FALSE(error.showMessage(nullptr));
}

} // namespace

#include "etnetworkingerror.h"

#include "etnetworkinglog.h"
#include "etrequestercontroller.h"
#include "etservercode.h"

#include <QDebug>
#include <QMessageBox>

#include <curl/curl.h>

namespace
{

bool takesSubject(int code)
{
    return code == ETNetworkingError::PicturesUnreadable || code == ETNetworkingError::PictureChanged;
}

} // namespace

int ETNetworkingError::fromCurl(int result)
{
    return TransferFailed + result;
}

int ETNetworkingError::fromHttpStatus(int status)
{
    return TransferFailed + status;
}

ETNetworkingError::ETNetworkingError(int code, QObject *parent) : QObject(parent), m_code(code)
{
    m_networkAndProxyHint = tr("Bitte überprüfen Sie die Netzwerkeinstellungen Ihres Systems und die "
                               "Proxy-Einstellungen im Menü Extras/Optionen/Netzwerk.");
    m_networkHint = tr("Bitte überprüfen Sie die Netzwerkeinstellungen Ihres Systems.");

    const QString bugReport = QLatin1Char(' ') + tr("Bitte füllen Sie den Bugreport aus!");
    setClassText(ErrorClass::Success, tr("Kein Fehler"));
    setClassText(ErrorClass::Fatal, tr("Unbehebbarer Fehler.") + bugReport);
    setClassText(ErrorClass::ProgramFault, tr("Programmfehler!") + bugReport);
    setClassText(ErrorClass::BadInput, tr("Fehlerhafte Daten! Bitte überpüfen Sie Ihre Eingaben"));
    setClassText(ErrorClass::RemoteFault, tr("Remote System Fehler. Bitte versuchen Sie es später erneut"));
    setClassText(ErrorClass::NoServer,
                 tr("Keine Verbindung zum Server. Bitte überprüfen Sie Ihre Internetverbindung und "
                    "versuchen Sie es erneut"));
    setClassText(ErrorClass::TryAgain, tr("Bitte versuchen Sie es erneut!"));
    setClassText(ErrorClass::DeclarationFault,
                 tr("Programmfehler bei der Deklaration der Bestellung.") + bugReport);

    addMessage(ETServerCode::ClientTooOld, tr("Client Version ist zu alt. Kommunikation verweigert"));
    addMessage(ETServerCode::WrongLogin, tr("Falsches Login oder Password"));
    addMessage(8, tr("Die Validierung der Sicherheitsfrage ist fehlgeschlagen"));
    addMessage(9, tr("Die Validierung der Sicherheitsantwort ist fehlgeschlagen"));
    addMessage(10, tr("Die Validierung der Begrüßung ist fehlgeschlagen"));
    addMessage(11, tr("Die Validierung des Vornamens ist fehlgeschlagen"));
    addMessage(12, tr("Die Validierung des Nachnamens ist fehlgeschlagen"));
    addMessage(13, tr("Die Validierung der Straße fehlgeschlagen"));
    addMessage(14, tr("Die Validierung der Postleitzahl ist fehlgeschlagen"));
    addMessage(15, tr("Die Validierung der Stadt ist fehlgeschlagen"));
    addMessage(16, tr("Die Validierung des Landes ist fehlgeschlagen"));
    addMessage(ETServerCode::CouponNeedsLogin,
               tr("Der Gutschein kann nur von eingeloggten Benutzern verwendet werden. Bitte melden Sie sich "
                  "an, gehen dann eine Seite weiter und dann zurück auf diese Maske. Danach können Sie den "
                  "Gutschein verwenden."));
    addMessage(ETServerCode::AlreadyRegistered,
               tr("Sie haben sich bereits einmal angemeldet. Mehrfache Anmeldung nicht möglich."));
    for (int code : {int(ETServerCode::CouponInvalid), int(ETServerCode::CouponExpired), 513, 514})
        addMessage(code, tr("Kein gültiger Gutschein"));
    addMessage(ETServerCode::CouponUsed, tr("Gutschein ungültig oder bereits benutzt worden"));
    addMessage(ETServerCode::WrongSecurityAnswer, tr("Die Antwort auf die Sicherheitsfrage nicht korrekt."));
    addMessage(ETServerCode::UnknownUser,
               tr("Unbekannter Benutzer.  Prüfen Sie die EMail-Adresse auf Schreibfehler."));
    addMessage(ETServerCode::SoftwareUnknown,
               tr("Diese Software ist nicht auf dem Server gemeldet. Sie befindet sich wahrscheinlich auf "
                  "dem neuesten Stand."));
    addMessage(500, tr("Der Wert für das Feld CURRENCY_SYMBOL muss in der Tabelle TBL_KEY_ACCOUNT hinterlegt "
                       "werden"));
    addMessage(510, tr("Inkonsistente Discount-Daten"));
    addMessage(ETServerCode::TooManyPictures,
               tr("Die Anzahl der Bilder in einer Bestellung ist begrenzt. Leider haben Sie dieses Limit "
                  "überschritten. Löschen Sie bitte ein paar Bilder aus ihrer Bestellung und starten Sie die "
                  "Bestellung neu."));
    addMessage(512, tr("Inkonsistente Discount-Daten vom Server."));
    addMessage(601, tr("Dieser Kreditkartentyp wird nicht unterstützt."));
    addMessage(613, tr("Die Kreditkartendaten sind nicht korrekt (kein Clearing möglich)."));
    addMessage(614, tr("Die Bankverbindung ist nicht korrekt. (kein Clearing möglich)"));
    addMessage(ETServerCode::Maintenance,
               tr("Wöchentliche Wartungsarbeiten auf dem Server. Versuchen Sie es später noch einmal."));
    addMessage(ETServerCode::ServerUnavailable, tr("Der Server kann derzeit die Anfrage nicht beantworten."));
    // An undeclared file is a fault of the server's as well: the customer reads the same.
    for (int code :
         {TransferListInvalid, ProductListInvalid, CountryListInvalid, CreditCardListInvalid, UndeclaredFile})
        addMessage(code, tr("Fehlerhafte Daten vom Server.  Bitte wenden Sie sich an den Support."));
    addMessage(DiskWriteFailed, tr("Schreiben auf Festplatte fehlgeschlagen"));
    addMessage(ProtocolTooNew, tr("Server spricht zu neues Protokoll. Bitte updaten Sie die Software"));
    addMessage(PicturesUnreadable, tr("Folgende Bilder existieren nicht mehr oder können nicht gelesen "
                                      "werden:<br>%1<br>Bitte stellen Sie die Bilder wieder bereit und "
                                      "versuchen Sie es erneut."));
    addMessage(PictureChanged, tr("Das Bild %1 wurde während der Übertragung verändert und daher nicht "
                                  "gesendet. Bitte versuchen Sie es erneut."));
    addMessage(ServerBusy, tr("Der Server ist zurzeit ausgelastet. Bitte versuchen Sie es später erneut."));
    addMessage(UploadRunaway, tr("Der Server fordert die Bilder immer wieder neu an. Die Übertragung wurde "
                                 "abgebrochen. Bitte versuchen Sie es später erneut."));
    addMessage(Cancelled, tr("Der Vorgang wurde abgebrochen."));
    addMessage(ReplyNotXml, tr("Der Server hat eine unverständliche Antwort geschickt."));
    addMessage(ReplyOutOfBounds, tr("Die Antwort des Servers ist zu groß oder zu tief verschachtelt."));
    addMessage(ProxyNotFound, tr("Proxy nicht erreichbar.") + QLatin1String("<br>") + m_networkAndProxyHint);
    addMessage(HostNotFound, tr("Konnte Hostnamen nicht ermitteln.") + QLatin1String("<br>") + m_networkHint);
    addMessage(NoConnection, tr("Server antwortet nicht.") + QLatin1String("<br>") + m_networkAndProxyHint);
    addMessage(fromCurl(CURLE_READ_ERROR), tr("Datei existiert nicht"));
    addMessage(fromCurl(CURLE_OPERATION_TIMEDOUT),
               tr("Operation zurückgesetzt. Server antwortet nicht (Timeout)"));
}

void ETNetworkingError::addMessage(int code, const QString &text)
{
    m_messages[code] = QLatin1String("<qt>") + text + QLatin1String("</qt>");
}

void ETNetworkingError::setClassText(ErrorClass errorClass, const QString &text)
{
    m_classTexts[errorClass] = text;
}

void ETNetworkingError::raise(int code)
{
    raise(code, QString());
}

void ETNetworkingError::raise(int code, const QString &subject)
{
    m_code = code;
    m_subject = subject;
    qCDebug(lcNetworking, "ETnetworkingError::raise(%d)", code);
}

void ETNetworkingError::clear()
{
    m_code = 0;
    m_subject.clear();
}

int ETNetworkingError::code() const
{
    return m_code;
}

ETNetworkingError::ErrorClass ETNetworkingError::errorClass() const
{
    switch (m_code) {
    case NoError:
    case ETServerCode::UploadStopped:
    case ETServerCode::AlsoAccepted:
    case ETServerCode::UploadComplete:
        return ErrorClass::Success;
    case ETServerCode::ClientTooOld:
    case ETServerCode::RequestFailed:
    case ETServerCode::SessionUnknown:
    case ETServerCode::ServerFailed:
    case ETServerCode::TooManyPictures:
    case ETServerCode::Maintenance:
    case TransferListInvalid:
    case UndeclaredFile:
        return ErrorClass::Fatal;
    case ETServerCode::WrongLogin:
    case ETServerCode::LoginRefused:
    case ETServerCode::PasswordRefused:
    case ETServerCode::CouponInvalid:
    case ETServerCode::CouponExpired:
    case ETServerCode::CouponUsed:
    case ETServerCode::WrongSecurityAnswer:
    case ETServerCode::UnknownUser:
        return ErrorClass::BadInput;
    case ETServerCode::SoftwareUnknown:
    case ServerBusy:
    case UploadRunaway:
        return ErrorClass::RemoteFault;
    case ETServerCode::ServerUnreachable:
        return ErrorClass::NoServer;
    case ETServerCode::ServerTimedOut:
    case ETServerCode::ServerTooSlow:
    case ETServerCode::ServerInterrupted:
    case ProxyNotFound:
    case HostNotFound:
    case NoConnection:
    case PicturesUnreadable:
    case PictureChanged:
        return ErrorClass::TryAgain;
    default:
        break;
    }
    const auto within = [this](int first, int last) { return m_code >= first && m_code <= last; };
    if (within(ETServerCode::FieldRefusedFirst, ETServerCode::FieldRefusedLast) ||
        within(ETServerCode::DataRefusedFirst, ETServerCode::DataRefusedLast))
        return ErrorClass::BadInput;
    if (within(ETServerCode::ServerFaultFirst, ETServerCode::ServerFaultLast))
        return ErrorClass::RemoteFault;
    // TooManyPictures, inside the range, is fatal (above).
    if (within(ETServerCode::DeclarationRefusedFirst, ETServerCode::DeclarationRefusedLast))
        return ErrorClass::DeclarationFault;
    if (m_code >= TransferFailed)
        return ErrorClass::NoServer;
    if (m_code >= ListNotWritten)
        return ErrorClass::DeclarationFault;
    return ErrorClass::ProgramFault;
}

bool ETNetworkingError::hasError() const
{
    return errorClass() != ErrorClass::Success;
}

QString ETNetworkingError::message() const
{
    QString text;
    if (m_messages.contains(m_code) && takesSubject(m_code))
        // One name a line.
        text = m_messages.value(m_code).arg(
            m_subject.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>")));
    else if (m_messages.contains(m_code))
        text = m_messages.value(m_code);
    else if (m_code >= fromHttpStatus(300))
        text = QLatin1String("<qt>") +
               tr("HTTP-Fehler %1 bei der Übertragung.").arg(m_code - TransferFailed) + QLatin1Char(' ') +
               m_networkAndProxyHint + QLatin1String("</qt>");
    else
        text = m_classTexts.value(errorClass());
    return text + QLatin1String(" [") + QString::number(m_code) + QLatin1Char(']');
}

bool ETNetworkingError::showMessage(QWidget *parent)
{
    const ErrorClass cls = errorClass();
    QMessageBox::Icon icon = QMessageBox::Critical;
    int button0 = QMessageBox::Cancel;
    int button1 = QMessageBox::NoButton;
    if (cls == ErrorClass::BadInput) {
        icon = QMessageBox::Warning;
    } else if (cls == ErrorClass::RemoteFault || cls == ErrorClass::NoServer || cls == ErrorClass::TryAgain) {
        icon = QMessageBox::Warning;
        button0 = QMessageBox::Retry;
        button1 = QMessageBox::Cancel;
    }
    const int answer = ETRequesterController::instance()->messageBox(
        tr("Ein Fehler ist aufgetreten"), message(), icon, button0, button1, QMessageBox::NoButton, parent);
    return answer == QMessageBox::Retry;
}

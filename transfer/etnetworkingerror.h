#pragma once

#include <QMap>
#include <QObject>
#include <QString>

class QWidget;

// Outcome of the last server request: one code, its class, its German text
// and the box that shows it.
class ETNetworkingError : public QObject
{
    Q_OBJECT

  public:
    // The client's own codes, which the request layer raises or shows. The
    // server's codes lie below 2000 (ETServerCode); the client's from 2000;
    // transport failures at 3000 + the transfer library's result, HTTP
    // failures at 3000 + the status.
    enum Code {
        NoError = 0,
        ListNotWritten = 2000,
        TransferListInvalid = 2001,
        ProductListInvalid = 2002,
        CountryListInvalid = 2003,
        CreditCardListInvalid = 2004,
        DiskWriteFailed = 2005,    // has a message; this client does not raise it
        ProtocolTooNew = 2006,     // has a message; this client does not raise it
        PicturesUnreadable = 2020, // pictures of the order are missing or cannot be read (named)
        PictureChanged = 2021,     // a picture no longer holds what the declaration said (named)
        ServerBusy = 2022,         // the server asked again and again to start the upload anew
        UploadRunaway = 2023,      // the server asked for the same pictures without end
        UndeclaredFile = 2024,     // the server asked for a file the declaration did not name
        TransferFailed = 3000,
        ProxyNotFound = 3005,
        HostNotFound = 3006,
        NoConnection = 3007,
        Cancelled = 3042,       // the customer cancelled the request
        ReplyNotXml = 3900,     // a reply that should be XML is not (beyond any HTTP status)
        ReplyOutOfBounds = 3901 // a reply too large or too deeply nested to be read
    };

    // What a code means to the customer: the text shown when the code has none
    // of its own, and the box (RemoteFault to TryAgain offer Retry).
    enum class ErrorClass {
        Success,         // no error
        Fatal,           // the client cannot go on
        ProgramFault,    // a code the client does not expect
        BadInput,        // the customer's data was refused
        RemoteFault,     // the server cannot serve now
        NoServer,        // the server cannot be reached
        TryAgain,        // a passing fault
        DeclarationFault // the order could not be declared
    };

    // The code of a failed transfer (the transfer library's result) and of an HTTP status.
    static int fromCurl(int result);
    static int fromHttpStatus(int status);

    explicit ETNetworkingError(int code = 0, QObject *parent = nullptr);

    void raise(int code);
    // A code whose message names something (the pictures concerned).
    void raise(int code, const QString &subject);
    void clear();
    int code() const;
    ErrorClass errorClass() const;
    bool hasError() const;
    QString message() const;
    // True when the user chose Retry.
    bool showMessage(QWidget *parent);
    void setClassText(ErrorClass errorClass, const QString &text);

  private:
    void addMessage(int code, const QString &text);

    QString m_networkAndProxyHint;
    QString m_networkHint;
    int m_code;
    QString m_subject;
    QMap<ErrorClass, QString> m_classTexts;
    QMap<int, QString> m_messages;
};

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
    // The codes the request layer acts on or raises itself. The server's own
    // codes lie below 2000; the client's from 2000; transport failures at
    // 3000 + the transfer library's result, HTTP failures at 3000 + the status.
    enum Code {
        NoError = 0,
        UploadRestart = 32,  // the server asks to stop the upload and start it again
        UploadStopped = 33,  // answer to a stop request; counts as success
        UploadComplete = 53, // every picture is received; counts as success
        ListNotWritten = 2000,
        TransferListInvalid = 2001,
        UndeclaredFile = 2001, // the server asked for a file the declaration did not name
        ProductListInvalid = 2002,
        CountryListInvalid = 2003,
        CreditCardListInvalid = 2004,
        PicturesUnreadable = 2020, // pictures of the order are missing or cannot be read (named)
        PictureChanged = 2021,     // a picture no longer holds what the declaration said (named)
        ServerBusy = 2022,         // the server asked again and again to start the upload anew
        UploadRunaway = 2023,      // the server asked for the same pictures without end
        TransferFailed = 3000,
        ProxyNotFound = 3005,
        HostNotFound = 3006,
        NoConnection = 3007,
        Cancelled = 3042,       // the customer cancelled the request
        ReplyNotXml = 3900,     // a reply that should be XML is not (beyond any HTTP status)
        ReplyOutOfBounds = 3901 // a reply too large or too deeply nested to be read
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
    int errorClass() const;
    bool hasError() const;
    QString message() const;
    // True when the user chose Retry.
    bool showMessage(QWidget *parent);
    void setClassText(int errorClass, const QString &text);

  private:
    void addMessage(int code, const QString &text);

    QString m_networkAndProxyHint;
    QString m_networkHint;
    int m_code;
    QString m_subject;
    QMap<int, QString> m_classTexts;
    QMap<int, QString> m_messages;
};

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
    // Codes the client raises itself beyond transport (3000 + n) and HTTP (3000 + status).
    enum ClientCode {
        ReplyNotXml = 3900 // a reply that should be XML is not (beyond any HTTP status)
    };

    explicit ETNetworkingError(int code = 0, QObject *parent = nullptr);

    void raise(int code);
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
    QMap<int, QString> m_classTexts;
    QMap<int, QString> m_messages;
};

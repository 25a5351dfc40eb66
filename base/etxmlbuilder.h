#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QObject>
#include <QString>

// Helpers for writing XML documents (request bodies, picture metadata); keeps
// no state of its own.
class ETXMLBuilder : public QObject
{
    Q_OBJECT

  public:
    explicit ETXMLBuilder(QObject *parent = nullptr);

    // Adds the declaration for XML 1.0 in UTF-8.
    void createDocument(QDomDocument &document);
    QDomElement addElement(QDomDocument &document, QDomNode parent, const QString &name);
    QDomElement addTextElement(QDomDocument &document, QDomNode parent, const QString &name,
                               const QString &text);
    QDomElement addNumberElement(QDomDocument &document, QDomNode parent, const QString &name, qint32 value);

    // Writes the document in UTF-8 through a temporary file that replaces the
    // target only when everything was written; false on any failure, and the
    // earlier file is then left as it was.
    bool save(const QDomDocument &document, const QString &fileName);
};

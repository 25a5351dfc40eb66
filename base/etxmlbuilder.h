#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QObject>
#include <QString>

// Helpers for writing XML documents (request bodies, picture metadata); keeps
// no state of its own. Every text it writes is one XML 1.0 can carry.
class ETXMLBuilder : public QObject
{
    Q_OBJECT

  public:
    explicit ETXMLBuilder(QObject *parent = nullptr);

    // Adds the declaration for XML 1.0 in UTF-8.
    void createDocument(QDomDocument &document);
    QDomElement addElement(QDomDocument &document, QDomNode parent, const QString &name);
    // The text as carriableText gives it.
    QDomElement addTextElement(QDomDocument &document, QDomNode parent, const QString &name,
                               const QString &text);
    QDomElement addNumberElement(QDomDocument &document, QDomNode parent, const QString &name, qint32 value);

    // Writes the document in UTF-8 through a temporary file that replaces the
    // target only when everything was written; false on any failure, and the
    // earlier file is then left as it was.
    bool save(const QDomDocument &document, const QString &fileName);

    // Whether XML 1.0 can carry the code point: tab, line feed, carriage
    // return, and the rest from the blank on but for the surrogates, U+FFFE
    // and U+FFFF. No escaping brings the others into a document.
    static bool isCarriable(char32_t codePoint);
    // The text with every character XML 1.0 cannot carry (a lone surrogate
    // too) replaced by "_", which also a server answering in Latin-1 gives
    // back unchanged; a text without them comes back as it is.
    static QString carriableText(const QString &text);
};

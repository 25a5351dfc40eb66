#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QDomNode>
#include <QString>

#include <initializer_list>

// A list the server sent (products, transfer prices, countries, credit cards,
// servers) as the file the client keeps in its resource folder: the list
// element of the reply under the reply's XML declaration, in the encoding the
// declaration names. Refers to its reply, which must outlive it.
class ETListFile
{
  public:
    // Reads the list of a reply: down the path of elements from the document (a
    // step that is not there is passed over); its first entry must have
    // firstChild as its first child, else the list is null.
    static ETListFile fromReply(const QDomDocument &reply, std::initializer_list<const char *> path,
                                const char *entry, const char *firstChild);

    bool isNull() const { return m_list.isNull(); }
    // The file's bytes; characters the encoding cannot hold become character
    // references, and an encoding Qt cannot write gives UTF-8, declared so.
    QByteArray content() const;
    // Into the resource folder, all or nothing: a failed write keeps the old file.
    bool write(const QString &fileName) const;

  private:
    ETListFile(const QString &declaration, const QDomNode &list);

    QString m_declaration;
    QDomNode m_list;
};

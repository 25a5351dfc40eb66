#pragma once

#include <QDomDocument>
#include <QDomNode>
#include <QObject>
#include <QString>

// Base of the settings read from one XML file of the resource folder; looks
// values up among the direct children of the root element. Read-only.
class ETXMLConfig : public QObject
{
    Q_OBJECT

  public:
    // fallback: a missing file is replaced by default.xml.
    ETXMLConfig(const QString &fileName, bool fallback, QObject *parent = nullptr);

    // Rereads the file; a reread that finds no file keeps the earlier content.
    virtual void load();

    bool readFile(const QString &fileName);

    // Text of the root's first direct child named key; the default when that
    // text is empty and the default is not.
    QString value(const QString &key, const QString &defaultValue = QString()) const;
    QDomNode node(const QString &name) const;
    QString attribute(const QString &elementName, const QString &attributeName,
                      const QString &defaultValue = QString()) const;
    bool boolAttribute(const QString &elementName, const QString &attributeName, bool defaultValue) const;

    // "yes", "true", "1" / "no", "false", "0", any case, blanks ignored;
    // anything else (and a null text) gives the default.
    static bool toBool(const QString &text, bool defaultValue);
    static QDomNode findByAttribute(const QDomNode &parent, const QString &attributeName,
                                    const QString &value);
    static QDomNode findByText(const QDomNode &parent, const QString &text);
    static bool containsText(const QDomNode &parent, const QString &text);
    static int childCount(const QDomNode &parent);

    QString fileName() const { return m_fileName; }

  protected:
    const QDomDocument &document() const { return m_document; }

  private:
    bool m_fallback;
    QDomDocument m_document;
    QString m_fileName;
};

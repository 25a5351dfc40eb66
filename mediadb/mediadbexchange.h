#pragma once

#include "mediadbtext.h"
#include "mediadbtypes.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class MediaDbEngine;
class MediaDbTable;

// Growing output buffer of an export.
class TextBuffer
{
  public:
    char *reserve(size_t length);
    void commit(size_t length) { m_used += length; }
    void append(const char *data, size_t length);
    void append(const std::string &text) { append(text.data(), text.size()); }
    void clear() { m_used = 0; }
    const char *data() const { return m_data.get(); }
    size_t size() const { return m_used; }

  private:
    mediadb::LargeArray<char> m_data;
    size_t m_size = 0;
    size_t m_used = 0;
};

// Writes the catalogue as HTML, plain text or a database copy, and reads an
// HTML export, a database file or a backup back in. One per operation.
class MediaDbExchange
{
  public:
    explicit MediaDbExchange(MediaDbEngine &engine);

    int32_t exportFile(const MediaDbExportRequest *request);
    int32_t importFile(const MediaDbImportRequest *request);

    // HTML entities of the export: "\", "<", ">", "&", control bytes and
    // bytes above 127 become "&#xhh;", "|" is dropped.
    static std::string escaped(const char *text, size_t length);
    static std::string unescaped(const std::string &text);

  private:
    void putHtmlHead(TextBuffer &head) const;
    void putTextHead(TextBuffer &head) const;
    // False when a write failed; stops at the first failed group.
    bool exportRows(std::FILE *file, bool html) const;
    // Rows [first, end) into up to MediaDbTable::kRowParts parts, in order.
    void renderRows(std::vector<TextBuffer> &parts, int32_t first, int32_t end, bool html) const;
    void putTextRow(TextBuffer &out, int32_t row) const;
    void putHtmlRow(TextBuffer &out, int32_t row) const;
    static void putText(TextBuffer &out, const char *text, size_t limit, char after);
    static void putHtmlValue(TextBuffer &out, const char *text);
    // False, with nothing written, for a row not in one piece or with a value cut short.
    bool putPlainHtmlRow(TextBuffer &out, int32_t row) const;
    int32_t importHtml(const std::string &fileName, int32_t mode);
    struct HtmlRead;
    int32_t parseHtml(const std::string &fileName);
    int32_t takeTag(HtmlRead &read, const std::string &tag);
    // Adds the catalogue column of an imported name to the mapping.
    int32_t mapImportedColumn(const std::string &name, std::vector<int32_t> &mapping);
    int32_t appendImportedRow(HtmlRead &read);
    int32_t replaceWithDatabase(const std::string &fileName);
    int32_t mergeDatabase(const std::string &fileName);
    void mergeRecord(const std::vector<std::string> &fields, const std::vector<int32_t> &mapping);
    // Catalogue column of an imported column name; adds the column when missing.
    int32_t mapColumn(const std::string &name, int32_t *column);

    MediaDbEngine &m_engine;
    MediaDbTable &m_table;
};

#pragma once

#include "mediadbtypes.h"

#include <string>
#include <vector>

class MediaDbEngine;

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
    int32_t importHtml(const std::string &fileName, int32_t mode);
    int32_t parseHtml(const std::string &fileName);
    int32_t replaceWithDatabase(const std::string &fileName);
    int32_t mergeDatabase(const std::string &fileName);
    // Catalogue column of an imported column name; adds the column when missing.
    int32_t mapColumn(const std::string &name, int32_t *column);

    MediaDbEngine &m_engine;
};

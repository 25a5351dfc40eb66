#pragma once

#include "mediadbfile.h"
#include "mediadbtypes.h"

#include <string>
#include <vector>

class MediaDbEngine;
class MediaDbPlatform;
class MediaDbScanSink;
class MediaDbTable;

// Fills the catalogue from a folder tree for a host and keeps it tidy:
// new files, duplicate removal, removal of entries whose file is gone.
// Lives for one operation; runs on the caller's thread.
class MediaDbScanner
{
  public:
    explicit MediaDbScanner(MediaDbEngine &engine);

    int32_t scanMedia(MediaDbScanSink *sink);
    int32_t removeMissingFiles(MediaDbRemoveRequest *request);
    int32_t startNewFile(const MediaDbNewFileRequest *request);
    int32_t removeDuplicates(void *window, int32_t firstRow, int32_t newRowCount, MediaDbScanSink *sink);

  private:
    struct Column {
        int tableRow; // mediadb::kTableColumns when the name is not in the table
        std::string name;
    };

    // Steps of a scan, in order; a negative result is the host's and ends the scan.
    int32_t runScan();
    int32_t takeExtensions();
    void readColumns(const std::string &path, bool exists);
    int32_t reportColumns();
    bool openOutput(const std::string &path, bool exists);
    int32_t startFolder(std::string &folder);
    bool volumeReadable(const std::string &folder);
    bool removeRowsWithoutFile(int32_t &removed);
    bool countFolder(const std::string &folder);
    bool walkFolder(const std::string &folder);
    void writeRecord(const std::string &path);
    bool wanted(const std::string &name) const;
    bool skipped(const std::string &folder, bool hidden, bool system, bool isFolder) const;

    MediaDbEngine &m_engine;
    MediaDbTable &m_table;
    MediaDbPlatform &m_platform;
    MediaDbScanSink *m_sink = nullptr;
    uint32_t m_flags = 0;
    std::vector<Column> m_columns;
    MediaDbFile m_out; // the database file the records are appended to
    std::string m_windowsFolder;
    long long m_total = 0;
    long long m_files = 0;
    int32_t m_cancel = 0;
};

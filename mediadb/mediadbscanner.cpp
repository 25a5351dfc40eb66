#include "mediadbscanner.h"

#include "mediadbengine.h"
#include "mediadbfile.h"
#include "mediadbplatform.h"
#include "mediadbscansink.h"
#include "mediadbtable.h"
#include "mediadbtext.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_set>

using namespace mediadb;

namespace
{

constexpr int kValueSize = 512;
constexpr int kListSize = 1024;

std::string tableHeader()
{
    std::string header;
    for (const MediaDbColumn &column : kColumnTable) {
        header += column.name;
        header += '|';
    }
    return header + "\r\n";
}

int tableRowOf(const std::string &name)
{
    for (int i = 0; i < kTableColumns; ++i) {
        if (equalNoCase(kColumnTable[i].name, name.c_str()))
            return i;
    }
    return kTableColumns;
}

// Whether the database file is there to go on with; the new-file flag removes it.
bool databaseKept(const std::string &path, uint32_t flags)
{
    if (path.empty() || !fileExists(path))
        return false;
    if (flags & kScanNewFile) {
        std::remove(path.c_str());
        return false;
    }
    return true;
}

std::string foldedKey(const char *path, const char *volume)
{
    std::string key;
    for (const char *p = path; *p; ++p)
        key += lowerAscii(*p);
    key += '\0';
    for (const char *p = volume; *p; ++p)
        key += lowerAscii(*p);
    return key;
}

} // namespace

MediaDbScanner::MediaDbScanner(MediaDbEngine &engine)
    : m_engine(engine), m_table(engine.table()), m_platform(engine.platform())
{
}

int32_t MediaDbScanner::startNewFile(const MediaDbNewFileRequest *request)
{
    if (!request)
        return kPointer;
    if (request->size != sizeof(MediaDbNewFileRequest))
        return kInvalidArg;
    MediaDbExclusive lock(m_engine.lock());
    m_engine.markState(kStateScanning);
    if (m_table.saveWithBackup(true) != kOk)
        return kFail;
    const std::string &path = m_table.databasePath();
    const bool exists = databaseKept(path, request->flags);
    int32_t result = kOk;
    if (!exists) {
        MediaDbFile file;
        if (path.empty() || !file.open(path, "wb")) {
            result = kFail;
        } else {
            const std::string header = tableHeader();
            const bool written = std::fwrite(header.data(), 1, header.size(), file.get()) == header.size();
            if (!file.close() || !written)
                result = kFail;
        }
    }
    const int32_t before = m_table.liveRows();
    m_table.load(path);
    if (result == kOk) {
        removeDuplicates(nullptr, before, m_table.liveRows(), nullptr);
        m_table.setDirty(true);
    }
    return result;
}

int32_t MediaDbScanner::removeDuplicates(void *window, int32_t firstRow, int32_t newRowCount,
                                         MediaDbScanSink *sink)
{
    if (newRowCount <= firstRow)
        return kOk;
    MediaDbExclusive lock(m_engine.lock());
    m_engine.notices().hold(kHoldNotices);
    const int32_t pathColumn = m_table.columnIndexOf("Path");
    const int32_t volumeColumn = m_table.columnIndexOf("Volumenumber");
    if (pathColumn > 0 && volumeColumn > 0) {
        std::unordered_set<std::string> seen;
        const int32_t total = m_table.totalRows();
        long lastPercent = -1;
        for (int32_t row = 1; row < total; ++row) {
            if (!m_table.isDeleted(row) &&
                !seen.insert(foldedKey(m_table.cell(pathColumn, row), m_table.cell(volumeColumn, row)))
                     .second)
                m_table.deleteRecord(row);
            const double percent = row * 100.0 / total;
            if (window && static_cast<long>(percent) != lastPercent) {
                lastPercent = static_cast<long>(percent);
                char text[64];
                std::snprintf(text, sizeof text, "Verify: %ld%%", lastPercent);
                m_platform.setWindowText(window, text);
            }
            if (sink && row % 100 == 0) {
                char text[64];
                std::snprintf(text, sizeof text, "Verify %2.1lf %%", percent);
                sink->progress(50 + static_cast<int32_t>(percent) / 2, text, nullptr);
            }
        }
    }
    m_engine.notices().hold(kReleaseNotices);
    return kOk;
}

int32_t MediaDbScanner::removeMissingFiles(MediaDbRemoveRequest *request)
{
    if (!request)
        return kPointer;
    if (request->size != sizeof(MediaDbRemoveRequest))
        return kInvalidArg;
    if (request->removed)
        *request->removed = 0;
    int32_t removed = 0;
    if (!removeRowsWithoutFile(removed))
        return kOk;
    if (request->removed)
        *request->removed = removed;
    m_engine.notices().changeBegins();
    int32_t result = kOk;
    {
        MediaDbExclusive lock(m_engine.lock());
        if (m_table.reload() != kOk)
            result = kFail;
    }
    m_engine.notices().changed();
    return result;
}

// External entries and rows without a path stay. False, with nothing
// removed, when the catalogue has no records or lacks the columns.
bool MediaDbScanner::removeRowsWithoutFile(int32_t &removed)
{
    MediaDbExclusive lock(m_engine.lock());
    if (m_table.totalRows() <= 1)
        return false;
    const int32_t pathColumn = m_table.columnIndexOf("Path");
    const int32_t locationColumn = m_table.columnIndexOf("Location");
    if (pathColumn < 1 || locationColumn < 1)
        return false;
    // Every identifier, deleted rows skipped: rows added or lengthened
    // since the last load sit behind the live count.
    const int32_t total = m_table.totalRows();
    for (int32_t row = 1; row < total; ++row) {
        if (m_table.isDeleted(row))
            continue;
        const char *path = m_table.cell(pathColumn, row);
        if (equalNoCase(m_table.cell(locationColumn, row), "EXT") || !*path)
            continue;
        if (fileExists(path))
            continue;
        if (m_table.deleteRecord(row) == kOk)
            ++removed;
    }
    return true;
}

int32_t MediaDbScanner::scanMedia(MediaDbScanSink *sink)
{
    if (!sink)
        return kPointer;
    m_sink = sink;
    m_engine.markState(kStateScanning);
    m_engine.notices().changeBegins();
    int32_t result = kOk;
    {
        MediaDbExclusive lock(m_engine.lock());
        const int32_t oldRows = m_table.liveRows();
        if (m_table.saveWithBackup(true) != kOk) {
            // The unsaved catalogue stays in memory; nothing is appended to a stale file.
            result = kFail;
        } else {
            result = runScan();
            m_out.close(); // the records reach the file before it is read back
            m_table.load(m_table.databasePath());
            uint32_t flags = 0;
            sink->getFlags(&flags);
            if (!(flags & kScanNewFile))
                removeDuplicates(nullptr, oldRows, m_table.liveRows(), sink);
        }
    }
    m_engine.notices().changed();
    sink->release();
    if (result == kOk && m_cancel)
        return kAbort;
    return result;
}

int32_t MediaDbScanner::runScan()
{
    int32_t r = m_sink->getFlags(&m_flags);
    if (r >= 0 && !(m_flags & kScanKeepExtensions))
        r = takeExtensions();
    if (r < 0)
        return r;
    const std::string &path = m_table.databasePath();
    const bool exists = databaseKept(path, m_flags);
    readColumns(path, exists);
    r = reportColumns();
    if (r < 0)
        return r;
    if (!openOutput(path, exists))
        return kFail;
    std::string folder;
    r = startFolder(folder);
    if (r < 0)
        return r;
    if (!volumeReadable(folder))
        return kOk;
    if (m_flags & kScanSkipHidden)
        m_windowsFolder = m_platform.windowsFolder();

    m_total = 0;
    if (!countFolder(folder))
        return kOk;
    m_files = 0;
    walkFolder(folder);
    return kOk;
}

// The host's list of wanted extensions ("JPG;TIF"), upper-cased.
int32_t MediaDbScanner::takeExtensions()
{
    char list[kListSize + 1] = {};
    const int32_t r = m_sink->getExtensions(list);
    if (r < 0)
        return r;
    list[kListSize] = '\0';
    m_engine.scanExtensions().clear();
    std::string item;
    for (const char *p = list;; ++p) {
        if (*p == ';' || *p == '\0') {
            if (!item.empty())
                m_engine.scanExtensions().push_back(item);
            item.clear();
            if (*p == '\0')
                break;
        } else {
            item += upperAscii(*p);
        }
    }
    return kOk;
}

// The columns of the database file's header, or the table's for a new file.
void MediaDbScanner::readColumns(const std::string &path, bool exists)
{
    m_columns.clear();
    if (!exists) {
        for (int i = 0; i < kTableColumns; ++i)
            m_columns.push_back({i, kColumnTable[i].name});
        return;
    }
    MediaDbFile file(path, "rb");
    std::string name;
    int c;
    while (file && (c = std::fgetc(file.get())) != EOF && c != '\n') {
        if (c == '|') {
            m_columns.push_back({tableRowOf(name), name});
            name.clear();
        } else if (c >= 32 && c < 128 && name.size() < kColumnNameSize - 1) {
            name += static_cast<char>(c);
        }
    }
}

int32_t MediaDbScanner::reportColumns()
{
    const int32_t count = static_cast<int32_t>(m_columns.size());
    for (int32_t i = 0; i < count; ++i) {
        const int32_t r = m_sink->reportColumn(m_columns[static_cast<size_t>(i)].name.c_str(), i, count);
        if (r < 0)
            return r;
    }
    return kOk;
}

// Records are appended to the database file; a new one starts with the table's header.
bool MediaDbScanner::openOutput(const std::string &path, bool exists)
{
    if (!m_out.open(path, exists ? "ab" : "wb"))
        return false;
    if (!exists) {
        const std::string header = tableHeader();
        std::fwrite(header.data(), 1, header.size(), m_out.get());
    }
    return true;
}

// The host's start folder, ending in a separator.
int32_t MediaDbScanner::startFolder(std::string &folder)
{
    char start[kListSize + 1] = {};
    const int32_t r = m_sink->getStartFolder(start);
    if (r < 0)
        return r;
    start[kListSize] = '\0';
    folder = start;
    const char separator = m_platform.separator();
    if (!folder.empty() && folder.back() != separator && folder.back() != '/')
        folder += separator;
    return kOk;
}

// A drive that gives no volume information is not scanned; the debug output says why.
bool MediaDbScanner::volumeReadable(const std::string &folder)
{
    std::string root;
    uint32_t error = 0;
    if (m_platform.volumeInformation(folder, root, error))
        return true;
    char text[kListSize + 80];
    std::snprintf(text, sizeof text, "Could not get volumeinfo for drive: %s Error: %x\n", root.c_str(),
                  error);
    m_platform.debugOutput(text);
    return false;
}

bool MediaDbScanner::skipped(const std::string &path, bool hidden, bool system, bool isFolder) const
{
    if (!(m_flags & kScanSkipHidden))
        return false;
    if (hidden || system)
        return true;
    return isFolder && !m_windowsFolder.empty() && equalNoCase(path.c_str(), m_windowsFolder.c_str());
}

bool MediaDbScanner::countFolder(const std::string &folder)
{
    if (m_total > 100) {
        m_sink->progress(0, "Init..", &m_cancel);
        if (m_cancel)
            return false;
    }
    std::vector<MediaDbPlatform::Entry> entries;
    if (!m_platform.listFolder(folder, entries))
        return true;
    for (const MediaDbPlatform::Entry &entry : entries) {
        const std::string path = folder + entry.name;
        if (skipped(path, entry.hidden, entry.system, entry.folder))
            continue;
        if (entry.folder) {
            if (!(m_flags & kScanNoSubfolders) && !countFolder(path + m_platform.separator()))
                return false;
        } else {
            ++m_total;
        }
    }
    return true;
}

bool MediaDbScanner::wanted(const std::string &name) const
{
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    const std::string extension = upperCopy(name.c_str() + dot + 1);
    for (const std::string &item : m_engine.scanExtensions()) {
        if (item == extension)
            return true;
    }
    return false;
}

bool MediaDbScanner::walkFolder(const std::string &folder)
{
    std::vector<MediaDbPlatform::Entry> entries;
    if (!m_platform.listFolder(folder, entries))
        return true;
    const std::string pattern = folder + "*.*";
    for (const MediaDbPlatform::Entry &entry : entries) {
        const std::string path = folder + entry.name;
        if (skipped(path, entry.hidden, entry.system, entry.folder))
            continue;
        if (entry.folder) {
            if (!(m_flags & kScanNoSubfolders) && !walkFolder(path + m_platform.separator()))
                return false;
            continue;
        }
        ++m_files;
        if (wanted(entry.name) && m_sink->beginFile(path.c_str(), 0) >= 0)
            writeRecord(path);
        // Files may appear between counting and walking; never divide by zero.
        const long long total = std::max(std::max(m_total, m_files), 1LL);
        const long long scale = (m_flags & kScanNewFile) ? 100 : 50;
        m_sink->progress(static_cast<int32_t>(m_files * scale / total), pattern.c_str(), &m_cancel);
        if (m_cancel)
            return false;
    }
    return true;
}

void MediaDbScanner::writeRecord(const std::string &path)
{
    std::string line;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        char value[kValueSize + 1] = {};
        std::string text;
        if (m_sink->getValue(static_cast<int32_t>(i), kValueSize, value, 0) >= 0) {
            value[kValueSize] = '\0';
            text = value;
        } else if (m_columns[i].tableRow == kPathColumn) {
            text = path;
        } else if (m_columns[i].tableRow < kTableColumns) {
            text = kColumnTable[m_columns[i].tableRow].defaultValue;
        }
        for (char &c : text) {
            const unsigned char u = static_cast<unsigned char>(c);
            if (u < 32 || u == 255 || c == '|')
                c = '_';
        }
        line += text;
        line += '|';
    }
    line += "\r\n";
    std::fwrite(line.data(), 1, line.size(), m_out.get());
}

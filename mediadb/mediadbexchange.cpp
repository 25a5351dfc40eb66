#include "mediadbexchange.h"

#include "mediadbengine.h"
#include "mediadbfile.h"
#include "mediadbplatform.h"
#include "mediadbtable.h"
#include "mediadbtext.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <future>
#include <new>
#include <system_error>

using namespace mediadb;

namespace
{

constexpr size_t kEscapeBuffer = 2048;
constexpr size_t kNameLimit = 2048;
constexpr size_t kValueLimit = 260;
constexpr size_t kMaxImportColumns = 99;
constexpr size_t kMaxCells = 100;
constexpr size_t kMergeField = 259;

struct EscapeTable {
    bool special[256];
    EscapeTable()
    {
        for (int i = 0; i < 256; ++i)
            special[i] = i < 32 || i >= 128 || i == '\\' || i == '<' || i == '>' || i == '&' || i == '|';
    }
};
const EscapeTable kEscape;

// Output of each byte of a row held in one piece: index byte | (previous
// byte was an end << 8). An end (0) closes the value, an empty one with "&#160;".
struct RowTable {
    char bytes[512][16];
    unsigned char length[512];
    RowTable()
    {
        static const char digits[] = "0123456789abcdef";
        for (int index = 0; index < 512; ++index) {
            const unsigned char c = static_cast<unsigned char>(index & 255);
            std::string text;
            if (c == 0)
                text = index >= 256 ? "&#160;</td><td>" : "</td><td>";
            else if (c == '|')
                text = "";
            else if (kEscape.special[c])
                text = std::string("&#x") + digits[c >> 4] + digits[c & 15] + ";";
            else
                text = std::string(1, static_cast<char>(c));
            std::memset(bytes[index], 0, 16);
            std::memcpy(bytes[index], text.data(), text.size());
            length[index] = static_cast<unsigned char>(text.size());
        }
    }
};
const RowTable kRowTable;

std::string exportDate(MediaDbPlatform &platform)
{
    std::string date = platform.longDate();
    if (!date.empty())
        return date.substr(0, 100);
    const std::time_t now = std::time(nullptr);
    const std::tm *utc = std::gmtime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04i_%02i-%02i", utc ? utc->tm_year + 1900 : 1970,
                  utc ? utc->tm_mon + 1 : 1, utc ? utc->tm_mday : 1);
    return text;
}

bool writeAll(std::FILE *file, const TextBuffer &buffer)
{
    return !buffer.size() || std::fwrite(buffer.data(), 1, buffer.size(), file) == buffer.size();
}

bool readWholeFile(const std::string &path, std::string &content)
{
    MediaDbFile file(path, "rb");
    if (!file)
        return false;
    content.clear();
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        content.append(buffer, n);
    return true;
}

// The name of the next tag, lower-cased; pos goes behind it.
bool nextTag(const std::string &html, size_t &pos, std::string &tag)
{
    const size_t open = html.find('<', pos);
    if (open == std::string::npos)
        return false;
    size_t p = open + 1;
    tag.clear();
    while (p < html.size() && html[p] != ' ' && html[p] != '>') {
        if (tag.size() < 63)
            tag += lowerAscii(html[p]);
        ++p;
    }
    const size_t close = html.find('>', p);
    pos = close == std::string::npos ? html.size() : close + 1;
    return true;
}

// The text from pos up to the next tag, its entities resolved.
std::string textUpToTag(const std::string &html, size_t &pos)
{
    const size_t end = html.find('<', pos);
    const size_t stop = end == std::string::npos ? html.size() : end;
    std::string text = html.substr(pos, stop - pos);
    pos = stop;
    return MediaDbExchange::unescaped(text);
}

// A database line of columns - 1 fields from imported values: each column
// takes the first value mapped to it that is not empty. any tells whether
// one was.
std::string importedRecord(const std::vector<std::string> &values, const std::vector<int32_t> &mapping,
                           int32_t columns, bool &any)
{
    std::string line;
    any = false;
    for (int32_t c = 1; c < columns; ++c) {
        for (size_t i = 0; i < values.size() && i < mapping.size(); ++i) {
            if (mapping[i] == c && !values[i].empty()) {
                line += sanitized(values[i]);
                any = true;
                break;
            }
        }
        line += '|';
    }
    return line;
}

// The fields of the database line at pos, each cut to kMergeField bytes;
// pos goes to the next line.
std::vector<std::string> nextDatabaseLine(const std::string &content, size_t &pos)
{
    size_t end = content.find('\n', pos);
    if (end == std::string::npos)
        end = content.size();
    std::string line = content.substr(pos, end - pos);
    pos = end + 1;
    std::vector<std::string> fields;
    std::string field;
    for (char c : line) {
        if (c == '|') {
            fields.push_back(field.substr(0, kMergeField));
            field.clear();
        } else if (c != '\r') {
            field += c;
        }
    }
    if (!field.empty())
        fields.push_back(field.substr(0, kMergeField));
    return fields;
}

std::string lowerCopy(const std::string &text)
{
    std::string s = text;
    for (char &c : s)
        c = lowerAscii(c);
    return s;
}

} // namespace

char *TextBuffer::reserve(size_t length)
{
    if (m_used + length > m_size) {
        const size_t size = std::max(m_used + length, 2 * m_size + 65536);
        LargeArray<char> data(static_cast<char *>(std::malloc(size)));
        if (!data)
            throw std::bad_alloc();
        if (m_used)
            std::memcpy(data.get(), m_data.get(), m_used);
        m_data = std::move(data);
        m_size = size;
    }
    return m_data.get() + m_used;
}

void TextBuffer::append(const char *data, size_t length)
{
    std::memcpy(reserve(length), data, length);
    m_used += length;
}

MediaDbExchange::MediaDbExchange(MediaDbEngine &engine) : m_engine(engine), m_table(engine.table()) {}

std::string MediaDbExchange::escaped(const char *text, size_t length)
{
    std::string out;
    out.reserve(length + 16);
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!kEscape.special[c]) {
            if (out.size() + 1 < kEscapeBuffer)
                out += static_cast<char>(c);
            continue;
        }
        if (c == '|')
            continue;
        if (out.size() + 6 < kEscapeBuffer) {
            static const char digits[] = "0123456789abcdef";
            const char entity[6] = {'&', '#', 'x', digits[c >> 4], digits[c & 15], ';'};
            out.append(entity, 6);
        } else if (out.size() + 1 < kEscapeBuffer) {
            out += '_';
        }
    }
    return out;
}

std::string MediaDbExchange::unescaped(const std::string &text)
{
    if (text == "&#160;")
        return std::string();
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '#') {
            const size_t semicolon = text.find(';', i + 2);
            if (semicolon != std::string::npos) {
                const bool hex = i + 2 < text.size() && text[i + 2] == 'x';
                const std::string digits = text.substr(i + (hex ? 3 : 2), semicolon - i - (hex ? 3 : 2));
                const unsigned long value = std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10);
                // Single-byte texts: a value beyond one byte has no character here.
                out += value > 255 ? '_' : static_cast<char>(value);
                i = semicolon;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

int32_t MediaDbExchange::exportFile(const MediaDbExportRequest *request)
{
    if (!request)
        return kPointer;
    if (request->size != sizeof(MediaDbExportRequest) || request->fileName[0] == '\0')
        return kInvalidArg;
    const uint32_t flags = request->flags;
    if (!(flags & (kExportText | kExportDatabase | kExportHtml | kExportUnimplemented)))
        return kInvalidArg;
    const std::string fileName(request->fileName, strnlen(request->fileName, kPathSize));

    MediaDbShared lock(m_engine.lock());
    if (flags & kExportDatabase)
        return m_table.write(fileName, std::string());
    MediaDbFile file(fileName, "wb");
    if (!file)
        return kWriteFault;
    if (!(flags & (kExportText | kExportHtml)))
        return kNotImplemented;
    const bool html = flags & kExportHtml;
    TextBuffer head;
    if (html)
        putHtmlHead(head);
    else
        putTextHead(head);
    bool written = writeAll(file.get(), head) && exportRows(file.get(), html);
    if (html) {
        TextBuffer tail;
        tail.append("</table>");
        tail.append("</BODY>\r\n</HTML>\r\n");
        written = writeAll(file.get(), tail) && written;
    }
    if (!file.close() || !written)
        return kWriteFault;
    return (flags & kExportUnimplemented) ? kNotImplemented : kOk;
}

void MediaDbExchange::putHtmlHead(TextBuffer &head) const
{
    const int32_t columns = m_table.columnCount();
    const std::string date = exportDate(m_engine.platform());
    char text[512];
    head.append("<HTML>\r\n<HEAD>\r\n<meta http-equiv=\"last change\" content=\"" + date + "\">\r\n");
    head.append("<TITLE>Exported Media Database</TITLE>\r\n");
    std::snprintf(text, sizeof text, "<!-- created with TANDU Media Database V %i.%i\r\n", kVersionMajor,
                  kVersionMinor);
    head.append(text);
    head.append("-->\r\n");
    head.append("</HEAD>\r\n");
    head.append("<BODY>\r\n");
    head.append(
        "<h2>Warning do not edit this file if you want to reimport to TANDU Media Database !!!</h2>\r\n");
    head.append("<br>");
    std::snprintf(text, sizeof text, "%i columns<br>", columns - 1);
    head.append(text);
    std::snprintf(text, sizeof text, "%i entries<br>", m_table.liveRows() - 1);
    head.append(text);
    head.append("exported: " + date + "<br>");
    head.append("<br>\r\n");
    head.append("<table border=\"1\">\r\n<tr>");
    for (int32_t c = 1; c < columns; ++c) {
        const char *name = m_table.cell(c, 0);
        head.append("<th align=left>" + escaped(name, strnlen(name, kNameLimit)) + "</th>");
    }
    head.append("</tr>\r\n");
}

void MediaDbExchange::putTextHead(TextBuffer &head) const
{
    const int32_t columns = m_table.columnCount();
    for (int32_t c = 1; c < columns; ++c)
        putText(head, m_table.cell(c, 0), kNameLimit, c + 1 < columns ? '|' : '\r');
    if (columns > 1)
        head.append("\n", 1);
}

// Rows in groups; the parts of a group are rendered side by side, then
// written in order while the next group is rendered.
bool MediaDbExchange::exportRows(std::FILE *file, bool html) const
{
    constexpr int32_t kGroupRows = 16384;
    std::vector<TextBuffer> sets[2];
    sets[0].resize(static_cast<size_t>(MediaDbTable::kRowParts));
    sets[1].resize(static_cast<size_t>(MediaDbTable::kRowParts));
    std::future<bool> writing; // the previous group
    bool failed = false;
    auto finishWriting = [&writing, &failed] {
        if (writing.valid() && !writing.get())
            failed = true;
    };
    const int32_t total = m_table.totalRows();
    int current = 0;
    for (int32_t group = 1; group < total && !failed; group += kGroupRows) {
        std::vector<TextBuffer> &parts = sets[current];
        renderRows(parts, group, std::min(total, group + kGroupRows), html);
        finishWriting();
        auto write = [file, &parts] {
            for (const TextBuffer &part : parts) {
                if (!writeAll(file, part))
                    return false;
            }
            return true;
        };
        try {
            writing = std::async(std::launch::async, write);
        } catch (const std::system_error &) {
            failed = failed || !write();
        }
        current = 1 - current;
    }
    finishWriting();
    return !failed;
}

void MediaDbExchange::renderRows(std::vector<TextBuffer> &parts, int32_t first, int32_t end, bool html) const
{
    for (TextBuffer &part : parts)
        part.clear();
    MediaDbTable::forRowRanges(
        first, end,
        [&](int32_t part, int32_t from, int32_t to) {
            TextBuffer &out = parts[static_cast<size_t>(part)];
            for (int32_t row = from; row < to; ++row) {
                if (m_table.isDeleted(row))
                    continue;
                if (html)
                    putHtmlRow(out, row);
                else
                    putTextRow(out, row);
            }
        },
        2048);
}

void MediaDbExchange::putTextRow(TextBuffer &out, int32_t row) const
{
    const int32_t columns = m_table.columnCount();
    for (int32_t c = 1; c < columns; ++c)
        putText(out, m_table.cell(c, row), kValueLimit, c + 1 < columns ? '|' : '\r');
    out.append("\n", 1);
}

void MediaDbExchange::putHtmlRow(TextBuffer &out, int32_t row) const
{
    if (putPlainHtmlRow(out, row))
        return;
    out.append("<tr>", 4);
    const int32_t columns = m_table.columnCount();
    for (int32_t c = 1; c < columns; ++c)
        putHtmlValue(out, m_table.cell(c, row));
    out.append("</tr>\r\n", 7);
}

void MediaDbExchange::putText(TextBuffer &out, const char *text, size_t limit, char after)
{
    const size_t length = strnlen(text, limit);
    char *const start = out.reserve(length + 1);
    char *p = start;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != '|')
            *p++ = text[i];
    }
    *p++ = after;
    out.commit(static_cast<size_t>(p - start));
}

void MediaDbExchange::putHtmlValue(TextBuffer &out, const char *text)
{
    char *const start = out.reserve(6 * kValueLimit + 16);
    char *p = start;
    std::memcpy(p, "<td>", 4);
    p += 4;
    char *const first = p;
    for (size_t i = 0; i < kValueLimit && text[i]; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!kEscape.special[c]) {
            *p++ = static_cast<char>(c);
        } else if (c != '|') {
            static const char digits[] = "0123456789abcdef";
            p[0] = '&';
            p[1] = '#';
            p[2] = 'x';
            p[3] = digits[c >> 4];
            p[4] = digits[c & 15];
            p[5] = ';';
            p += 6;
        }
    }
    if (p == first) {
        std::memcpy(p, "&#160;", 6);
        p += 6;
    }
    std::memcpy(p, "</td>", 5);
    p += 5;
    out.commit(static_cast<size_t>(p - start));
}

// A row still in one piece is escaped in one pass over its texts, without
// branches: each byte copies its entry of the row table.
bool MediaDbExchange::putPlainHtmlRow(TextBuffer &out, int32_t row) const
{
    size_t length = 0;
    const unsigned char *in = reinterpret_cast<const unsigned char *>(m_table.rowInOnePiece(row, length));
    if (!in)
        return false;
    char *const start = out.reserve(16 * length + 32);
    std::memcpy(start, "<tr><td>", 8);
    char *p = start + 8;
    size_t previousEnd = 1; // an empty first value is an end right after the start
    size_t run = 0, longest = 0;
    for (size_t i = 0; i < length; ++i) {
        const size_t index = in[i] | (previousEnd << 8);
        std::memcpy(p, kRowTable.bytes[index], 16);
        p += kRowTable.length[index];
        previousEnd = in[i] == 0;
        run = previousEnd ? 0 : run + 1;
        longest = run > longest ? run : longest;
    }
    if (longest > kValueLimit)
        return false; // cut values take the careful way
    p -= 4;           // the "<td>" after the last value
    std::memcpy(p, "</tr>\r\n", 7);
    out.commit(static_cast<size_t>(p + 7 - start));
    return true;
}

int32_t MediaDbExchange::importFile(const MediaDbImportRequest *request)
{
    if (!request)
        return kPointer;
    if (request->size != sizeof(MediaDbImportRequest) || request->fileName[0] == '\0')
        return kInvalidArg;
    const std::string fileName(request->fileName, strnlen(request->fileName, kPathSize));
    const size_t dot = fileName.rfind('.');
    const size_t slash = fileName.find_last_of("\\/");
    std::string extension;
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        extension = lowerCopy(fileName.substr(dot));

    int32_t result = kNotImplemented;
    {
        MediaDbExclusive lock(m_engine.lock());
        if (extension == ".html" || extension == ".htm")
            result = importHtml(fileName, request->mode);
        else if (extension == ".db" || extension == ".bak")
            result =
                request->mode == kImportReplace ? replaceWithDatabase(fileName) : mergeDatabase(fileName);
        m_table.setDirty(true);
    }
    m_engine.notices().changed();
    return result;
}

int32_t MediaDbExchange::mapColumn(const std::string &name, int32_t *column)
{
    const std::string clean = sanitized(name);
    if (m_engine.getColumnIndex(clean.c_str(), column) == kOk)
        return kOk;
    if (m_engine.addColumn(clean.c_str()) != kOk)
        return kUnexpected;
    return m_engine.getColumnIndex(clean.c_str(), column) == kOk ? kOk : kUnexpected;
}

int32_t MediaDbExchange::importHtml(const std::string &fileName, int32_t mode)
{
    if (m_table.saveWithBackup(true) != kOk)
        return kFail;
    const std::string &database = m_table.databasePath();
    const std::string aside = database + "_";
    if (mode == kImportReplace) {
        std::remove(aside.c_str());
        std::rename(database.c_str(), aside.c_str());
        MediaDbNewFileRequest request{};
        request.size = sizeof request;
        request.one = 1;
        request.flags = kScanCreating | kScanNewFile;
        m_engine.startNewFile(&request);
    } else {
        m_table.load(database);
    }
    const int32_t result = parseHtml(fileName);
    if (result == kOk) {
        if (mode != kImportReplace)
            m_engine.removeDuplicates(nullptr, 0, m_table.liveRows(), nullptr);
        return kOk;
    }
    if (mode == kImportReplace) {
        // The partial import is dropped unsaved; the old file comes back.
        m_table.unload();
        m_table.setDirty(false);
        std::remove(database.c_str());
        std::rename(aside.c_str(), database.c_str());
    } else if (m_table.saveWithBackup(true) != kOk) {
        return result;
    }
    m_table.load(database);
    return result;
}

// Where the read of an HTML export stands.
struct MediaDbExchange::HtmlRead {
    std::string html;
    size_t pos = 0;
    bool inTable = false;
    bool inRow = false;
    bool headerDone = false;
    std::vector<int32_t> mapping;   // the catalogue column of each imported one
    std::vector<std::string> cells; // of the row in hand
    MediaDbFile append;             // the database file, once the first record is in
    int32_t columns = 0;
};

int32_t MediaDbExchange::parseHtml(const std::string &fileName)
{
    HtmlRead read;
    if (!readWholeFile(fileName, read.html))
        return kOk;
    int32_t result = kOk;
    std::string tag;
    while (result == kOk && nextTag(read.html, read.pos, tag))
        result = takeTag(read, tag);
    if (read.append) {
        if (!read.append.close() && result == kOk)
            result = kFail;
        if (m_table.load(m_table.databasePath()) != kOk && result == kOk)
            result = kFail;
    }
    return result;
}

// Tags outside the table and between its rows do not matter; in a row, th
// names a column, td holds a value.
int32_t MediaDbExchange::takeTag(HtmlRead &read, const std::string &tag)
{
    if (!read.inTable) {
        read.inTable = tag == "table";
    } else if (!read.inRow) {
        if (tag == "tr") {
            read.inRow = true;
            read.cells.clear();
        }
    } else if (tag == "th") {
        return mapImportedColumn(textUpToTag(read.html, read.pos), read.mapping);
    } else if (tag == "td") {
        std::string text = textUpToTag(read.html, read.pos);
        if (read.cells.size() < kMaxCells)
            read.cells.push_back(std::move(text));
    } else if (tag == "/tr") {
        read.inRow = false;
        if (!read.headerDone) {
            read.headerDone = true;
            return kOk;
        }
        const int32_t result = appendImportedRow(read);
        read.cells.clear();
        return result;
    }
    return kOk;
}

int32_t MediaDbExchange::mapImportedColumn(const std::string &name, std::vector<int32_t> &mapping)
{
    if (mapping.size() >= kMaxImportColumns)
        return kUnexpected;
    int32_t column = 0;
    const int32_t result = mapColumn(name, &column);
    mapping.push_back(column);
    return result;
}

// The first record saves the catalogue and opens its file for appending.
int32_t MediaDbExchange::appendImportedRow(HtmlRead &read)
{
    if (!read.append) {
        read.columns = m_table.columnCount();
        if (m_table.saveWithBackup(true) != kOk)
            return kFail;
        if (!read.append.open(m_table.databasePath(), "ab"))
            return kFail;
    }
    bool any = false;
    std::string line = importedRecord(read.cells, read.mapping, read.columns, any);
    if (any) {
        line += "\r\n";
        std::fwrite(line.data(), 1, line.size(), read.append.get());
    }
    return kOk;
}

int32_t MediaDbExchange::replaceWithDatabase(const std::string &fileName)
{
    if (m_table.saveWithBackup(true) != kOk)
        return kFail;
    const std::string &database = m_table.databasePath();
    // The catalogue's own file needs no copy (copying it onto itself would empty it).
    const bool same = equalNoCase(fileName.c_str(), database.c_str());
    if (m_table.load(fileName) == kOk && m_table.liveRows() >= 1 && (same || copyFile(fileName, database)))
        return kOk;
    m_table.load(database);
    return kFail;
}

int32_t MediaDbExchange::mergeDatabase(const std::string &fileName)
{
    std::string content;
    if (!readWholeFile(fileName, content))
        return kOk;
    std::vector<int32_t> mapping;
    size_t pos = 0;
    bool header = true;
    while (pos < content.size()) {
        const std::vector<std::string> fields = nextDatabaseLine(content, pos);
        if (header) {
            header = false;
            for (const std::string &name : fields) {
                if (mapImportedColumn(name, mapping) != kOk)
                    return kUnexpected;
            }
        } else if (!fields.empty()) {
            mergeRecord(fields, mapping);
        }
    }
    return kOk;
}

// A record without a path is dropped. Only the same file on the same volume
// is the same entry: the one merged takes its place.
void MediaDbExchange::mergeRecord(const std::vector<std::string> &fields, const std::vector<int32_t> &mapping)
{
    bool any = false;
    const std::string record = importedRecord(fields, mapping, m_table.columnCount(), any);
    int32_t added = 0;
    if (m_table.addRecord(record.c_str(), &added, true) != kOk)
        return;
    const int32_t pathColumn = m_table.columnIndexOf("Path");
    const int32_t volumeColumn = m_table.columnIndexOf("Volumenumber");
    const char *path = pathColumn > 0 ? m_table.cell(pathColumn, added) : "";
    if (!*path) {
        m_table.deleteRecord(added);
        return;
    }
    const char *volume = volumeColumn > 0 ? m_table.cell(volumeColumn, added) : "";
    const int32_t total = m_table.totalRows();
    for (int32_t row = 1; row < total; ++row) {
        if (row == added || (m_table.isDeleted(row)))
            continue;
        if (equalNoCase(m_table.cell(pathColumn, row), path) &&
            equalNoCase(volumeColumn > 0 ? m_table.cell(volumeColumn, row) : "", volume))
            m_table.deleteRecord(row);
    }
}

#include "sqlitecatalogue.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace
{

struct StatementDeleter {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// Fields of one line of the catalogue file without its line end.
std::vector<std::string> fields(const std::string &line)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1)
        parts.push_back(line.substr(start, bar - start));
    return parts;
}

bool readLine(std::FILE *file, std::string &line)
{
    line.clear();
    char chunk[4096];
    while (std::fgets(chunk, sizeof chunk, file)) {
        line += chunk;
        if (!line.empty() && line.back() == '\n')
            break;
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return !line.empty() || !std::feof(file);
}

} // namespace

SqliteCatalogue::~SqliteCatalogue()
{
    close();
}

void SqliteCatalogue::close()
{
    if (m_db)
        sqlite3_close(m_db);
    m_db = nullptr;
}

std::string SqliteCatalogue::error() const
{
    return m_db ? sqlite3_errmsg(m_db) : "not open";
}

const char *SqliteCatalogue::version()
{
    return sqlite3_libversion();
}

bool SqliteCatalogue::openFile(const std::string &path, bool readOnly)
{
    close();
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    return sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) == SQLITE_OK;
}

bool SqliteCatalogue::openMemory()
{
    return openFile(":memory:", false);
}

bool SqliteCatalogue::execute(const char *sql)
{
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool SqliteCatalogue::import(const std::string &catalogue)
{
    std::FILE *file = std::fopen(catalogue.c_str(), "rb");
    if (!file)
        return false;
    std::string line;
    readLine(file, line);
    const std::vector<std::string> names = fields(line);
    std::string create = "CREATE TABLE media(";
    std::string insert = "INSERT INTO media(rowid";
    std::string values = ") VALUES(?";
    for (size_t i = 0; i < names.size(); ++i) {
        create += (i ? ", \"" : "\"") + names[i] + "\" TEXT";
        insert += ", \"" + names[i] + "\"";
        values += ", ?";
    }
    create += ")";
    insert += values + ")";
    bool ok = execute(create.c_str()) && execute("BEGIN");
    sqlite3_stmt *raw = nullptr;
    ok = ok && sqlite3_prepare_v2(m_db, insert.c_str(), -1, &raw, nullptr) == SQLITE_OK;
    Statement statement(raw);
    for (int64_t row = 1; ok && readLine(file, line); ++row) {
        const std::vector<std::string> values = fields(line);
        sqlite3_bind_int64(raw, 1, row);
        for (size_t i = 0; i < names.size(); ++i) {
            const std::string &value = i < values.size() ? values[i] : std::string();
            sqlite3_bind_text(raw, static_cast<int>(i) + 2, value.data(), static_cast<int>(value.size()),
                              SQLITE_TRANSIENT);
        }
        ok = sqlite3_step(raw) == SQLITE_DONE && sqlite3_reset(raw) == SQLITE_OK;
    }
    std::fclose(file);
    statement.reset();
    return ok && execute("COMMIT");
}

bool SqliteCatalogue::copyFrom(const std::string &path)
{
    sqlite3 *source = nullptr;
    if (sqlite3_open_v2(path.c_str(), &source, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(source);
        return false;
    }
    // The source's page cache only passes the pages on: kept small, it does
    // not count against SQLite's memory.
    sqlite3_exec(source, "PRAGMA cache_size = -64", nullptr, nullptr, nullptr);
    sqlite3_backup *backup = sqlite3_backup_init(m_db, "main", source, "main");
    bool ok = backup && sqlite3_backup_step(backup, -1) == SQLITE_DONE;
    if (backup)
        ok = sqlite3_backup_finish(backup) == SQLITE_OK && ok;
    sqlite3_close(source);
    return ok;
}

bool SqliteCatalogue::addIndexes()
{
    return execute("CREATE INDEX media_artist ON media(Artist)") &&
           execute("CREATE INDEX media_genre_artist ON media(Genre COLLATE NOCASE, Artist)") &&
           execute("CREATE VIRTUAL TABLE media_text USING fts5(Artist, content='media', "
                   "content_rowid='rowid', tokenize='trigram')") &&
           execute("INSERT INTO media_text(media_text) VALUES('rebuild')") && execute("ANALYZE");
}

bool SqliteCatalogue::query(const char *sql, const std::vector<std::string> &texts,
                            std::vector<int64_t> &rows)
{
    rows.clear();
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &raw, nullptr) != SQLITE_OK)
        return false;
    Statement statement(raw);
    for (size_t i = 0; i < texts.size(); ++i)
        sqlite3_bind_text(raw, static_cast<int>(i) + 1, texts[i].data(), static_cast<int>(texts[i].size()),
                          SQLITE_STATIC);
    int step;
    while ((step = sqlite3_step(raw)) == SQLITE_ROW)
        rows.push_back(sqlite3_column_int64(raw, 0));
    return step == SQLITE_DONE;
}

bool SqliteCatalogue::artistContains(Plan plan, const std::string &text, std::vector<int64_t> &rows)
{
    const std::string pattern = "%" + text + "%";
    switch (plan) {
    case Plan::Scan:
        return query("SELECT rowid FROM media NOT INDEXED WHERE Artist LIKE ?1", {pattern}, rows);
    case Plan::Covering:
        return query("SELECT rowid FROM media INDEXED BY media_artist WHERE Artist LIKE ?1", {pattern}, rows);
    case Plan::Trigram:
        return query("SELECT rowid FROM media_text WHERE Artist LIKE ?1", {pattern}, rows);
    }
    return false;
}

bool SqliteCatalogue::artistContainsGenreIs(Plan plan, const std::string &text, const std::string &genre,
                                            std::vector<int64_t> &rows)
{
    const std::string pattern = "%" + text + "%";
    switch (plan) {
    case Plan::Scan:
        return query("SELECT rowid FROM media NOT INDEXED WHERE Artist LIKE ?1 AND Genre = ?2 COLLATE NOCASE",
                     {pattern, genre}, rows);
    case Plan::Covering:
        return query("SELECT rowid FROM media INDEXED BY media_genre_artist "
                     "WHERE Genre = ?2 COLLATE NOCASE AND Artist LIKE ?1",
                     {pattern, genre}, rows);
    case Plan::Trigram:
        return query(
            "SELECT rowid FROM media WHERE rowid IN (SELECT rowid FROM media_text WHERE Artist LIKE ?1) "
            "AND Genre = ?2 COLLATE NOCASE",
            {pattern, genre}, rows);
    }
    return false;
}

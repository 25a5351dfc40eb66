#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;

// The benchmark's catalogue as the SQLite table "media" (every column TEXT,
// in the order of the file, each row's rowid its record identifier): the peer
// the engine is measured against.
class SqliteCatalogue
{
  public:
    // How a search finds its rows.
    enum class Plan {
        Scan,     // the table alone
        Covering, // an index of the searched columns
        Trigram,  // a trigram text index of Artist
    };

    SqliteCatalogue() = default;
    ~SqliteCatalogue();
    SqliteCatalogue(const SqliteCatalogue &) = delete;
    SqliteCatalogue &operator=(const SqliteCatalogue &) = delete;

    bool openFile(const std::string &path, bool readOnly);
    bool openMemory();
    // Creates the table from the catalogue file's header and inserts its rows.
    bool import(const std::string &catalogue);
    // Copies every page of an SQLite file into this database.
    bool copyFrom(const std::string &path);
    // The indexes that serve both searches best.
    bool addIndexes();
    bool execute(const char *sql);

    // Rows whose Artist holds text, ASCII case ignored; false on an error.
    bool artistContains(Plan plan, const std::string &text, std::vector<int64_t> &rows);
    // The same, and Genre equal to genre, ASCII case ignored.
    bool artistContainsGenreIs(Plan plan, const std::string &text, const std::string &genre,
                               std::vector<int64_t> &rows);
    std::string error() const;
    static const char *version();

  private:
    bool query(const char *sql, const std::vector<std::string> &texts, std::vector<int64_t> &rows);
    void close();

    sqlite3 *m_db = nullptr;
};

// Media database engine benchmark: generates a realistic catalogue, then sets
// the engine beside SQLite on the same rows (searches in one process; start
// and peak memory as whole processes) and beside plain tools (grep, awk, cp)
// as floors. Every pair runs in turn in the same rounds, so both see the same
// machine; each line gives the best and the median round.

#include "benchprocess.h"
#include "mediadbengine.h"
#include "mediadbnativeplatform.h"
#include "mediadbtext.h"
#include "sqlitecatalogue.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

// Deterministic, so every run measures the same file.
class Random
{
  public:
    unsigned next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<unsigned>(m_state >> 33);
    }
    template <size_t N> const char *pick(const char *const (&items)[N]) { return items[next() % N]; }

  private:
    unsigned long long m_state = 42;
};

const char *const kFirst[] = {"Anna", "Ben",   "Carla",     "David", "Eva",  "Frank", "Greta",
                              "Hans", "Ines",  "J\xfcrgen", "Karl",  "Lena", "Max",   "Nora",
                              "Otto", "Paula", "Ren\xe9",   "Sven",  "Tina", "Uwe"};
const char *const kLast[] = {"Beatmaker",
                             "Schmidt",
                             "M\xfcller",
                             "Meyer",
                             "Weber",
                             "Wagner",
                             "Becker",
                             "Hoffmann",
                             "Koch",
                             "Richter",
                             "Klein",
                             "Wolf",
                             "Schr\xf6"
                             "der",
                             "Neumann",
                             "Schwarz",
                             "Zimmermann",
                             "Braun",
                             "Kr\xfcger",
                             "Hartmann",
                             "Lange",
                             "Werner",
                             "Krause",
                             "Lehmann",
                             "Schmitt"};
const char *const kWords[] = {"Love",    "Night",       "Summer",    "Rain",      "Dance",       "Heart",
                              "Fire",    "Dream",       "Light",     "Road",      "River",       "Morning",
                              "Blue",    "Wild",        "Stars",     "Home",      "Gold",        "Storm",
                              "Winter",  "Rock & Roll", "Sehnsucht", "Tr\xe4ume", "Fr\xfchling", "Echoes",
                              "Silence", "<Live>",      "Angel",     "Shadow",    "Ocean",       "Paradise"};
const char *const kGenres[] = {"Rock",   "Pop",  "Jazz", "Classic", "Blues",   "Metal",   "Schlager",
                               "Techno", "Folk", "Soul", "Reggae",  "Country", "Hip-Hop", "NO_GENRE"};
const char *const kFormats[] = {"MP3", "MP3", "MP3", "WMA", "OGG", "WAV"};

std::string title(Random &random)
{
    std::string t = random.pick(kWords);
    const unsigned words = random.next() % 3;
    for (unsigned i = 0; i < words; ++i) {
        t += ' ';
        t += random.pick(kWords);
    }
    return t;
}

int generate(const char *path, int records)
{
    std::FILE *file = std::fopen(path, "wb");
    if (!file)
        return 1;
    std::string header;
    for (const MediaDbColumn &column : mediadb::kColumnTable)
        header += std::string(column.name) + "|";
    std::fprintf(file, "%s\r\n", header.c_str());
    Random random;
    char line[4096];
    for (int i = 0; i < records; ++i) {
        const std::string artist = std::string(random.pick(kFirst)) + " " + random.pick(kLast);
        const std::string album = title(random);
        const std::string song = title(random);
        const char *format = random.pick(kFormats);
        const unsigned track = random.next() % 20 + 1;
        const unsigned year = 1960 + random.next() % 50;
        const unsigned size = 1000000 + random.next() % 9000000;
        const unsigned seconds = 90 + random.next() % 400;
        const std::string comment =
            random.next() % 8 == 0 ? "Ripped from CD, remastered " + std::to_string(year + 10) : "";
        std::snprintf(line, sizeof line,
                      "%s|%s|%08u|%s|%u|%s||C:\\Music\\%s\\%s\\%02u - %s.%s|%s|%08u|%u-%02u-%02u "
                      "%02u:%02u:%02u|AUDIO|%s|"
                      "MPEG1 L3|MUSIC_%02u|%04X-%04X|%u|NTFS|%u|%08u|CBR|%u|||%u-%02u-%02u|\r\n",
                      artist.c_str(), song.c_str(), seconds * 1000, album.c_str(), year, random.pick(kGenres),
                      artist.c_str(), album.c_str(), track, song.c_str(), format, comment.c_str(), size,
                      2000 + random.next() % 25, random.next() % 12 + 1, random.next() % 28 + 1,
                      random.next() % 24, random.next() % 60, random.next() % 60, format, random.next() % 8,
                      random.next() % 0x10000, random.next() % 0x10000, random.next() % 1000,
                      128 + 32 * (random.next() % 6), seconds * 44100, 60 + random.next() % 120,
                      2000 + random.next() % 25, random.next() % 12 + 1, random.next() % 28 + 1);
        std::fputs(line, file);
    }
    return std::fclose(file) == 0 ? 0 : 1;
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double timed(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return millisecondsSince(start);
}

// The values of one side of a line, one a round.
struct Rounds {
    std::vector<double> values;
    double best() const { return values.empty() ? 0 : *std::min_element(values.begin(), values.end()); }
    double median() const
    {
        if (values.empty())
            return 0;
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

// One printed line: the engine against a reference, lower is better.
struct Line {
    std::string name;
    std::string reference;
    std::string goal;
    Rounds engine;
    Rounds peer;
};

MediaDbCondition condition(int32_t op, int32_t column, const char *text, int32_t combine)
{
    MediaDbCondition c{};
    c.op = op;
    c.column = column;
    c.combine = combine;
    std::strncpy(c.text, text, sizeof c.text - 1);
    return c;
}

// A search and the fetch of its record identifiers, as a client does it.
std::vector<int64_t> searchAndFetch(MediaDbEngine &engine, const MediaDbCondition *conditions, int32_t count)
{
    int32_t matches = 0;
    engine.search(count, conditions, &matches, nullptr, 0);
    std::vector<int32_t> records(static_cast<size_t>(std::max(matches, 1)));
    engine.getSearchResults(mediadb::kSearchResults, matches, records.data());
    return std::vector<int64_t>(records.begin(), records.begin() + matches);
}

struct Searches {
    MediaDbCondition one[1];
    MediaDbCondition two[2];
};

Searches searches(MediaDbEngine &engine, const char *substring, const char *genre)
{
    int32_t artist = 0, genreColumn = 0;
    engine.getColumnIndex("Artist", &artist);
    engine.getColumnIndex("Genre", &genreColumn);
    return {{condition(mediadb::kOpContains, artist, substring, 0)},
            {condition(mediadb::kOpContains, artist, substring, 0),
             condition(mediadb::kOpEqual, genreColumn, genre, 1)}};
}

bool sameRows(std::vector<int64_t> a, std::vector<int64_t> b)
{
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

const char *planName(SqliteCatalogue::Plan plan)
{
    switch (plan) {
    case SqliteCatalogue::Plan::Scan:
        return "scan";
    case SqliteCatalogue::Plan::Covering:
        return "covering";
    case SqliteCatalogue::Plan::Trigram:
        return "trigram";
    }
    return "";
}

bool planOf(const char *name, SqliteCatalogue::Plan &plan)
{
    for (SqliteCatalogue::Plan p :
         {SqliteCatalogue::Plan::Scan, SqliteCatalogue::Plan::Covering, SqliteCatalogue::Plan::Trigram}) {
        if (std::strcmp(name, planName(p)) == 0) {
            plan = p;
            return true;
        }
    }
    return false;
}

std::string readFile(const std::string &path)
{
    std::string text;
    if (std::FILE *file = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            text.append(chunk, n);
        std::fclose(file);
    }
    return text;
}

long fileSize(const std::string &path)
{
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return -1;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fclose(file);
    return size;
}

void printLines(const std::vector<Line> &lines, const char *unit)
{
    std::printf("%-54s %19s %19s %13s  %s\n", "", (std::string("engine ") + unit).c_str(),
                (std::string("peer ") + unit).c_str(), "ratio", "");
    std::printf("%-54s %9s %9s %9s %9s %6s %6s  %s\n", "line / peer", "best", "median", "best", "median",
                "best", "median", "goal");
    for (const Line &line : lines) {
        const double e1 = line.engine.best(), e2 = line.engine.median();
        const double p1 = line.peer.best(), p2 = line.peer.median();
        std::printf("%-54s %9.2f %9.2f %9.2f %9.2f %6.2f %6.2f  %s\n",
                    (line.name + " / " + line.reference).c_str(), e1, e2, p1, p2, p1 > 0 ? e1 / p1 : 0,
                    p2 > 0 ? e2 / p2 : 0, line.goal.c_str());
    }
}

// Everything in one run: the engine and its peers take turns in each round.
int compare(const std::string &self, const char *folder, int runs, const char *substring, const char *genre,
            const char *exportFile, const char *plainDb, const char *bestDb)
{
    MediaDbNativePlatform platform(folder);
    MediaDbEngine engine(platform);
    if (engine.attach() != mediadb::kOk || engine.liveRows() < 2)
        return 1;
    const std::string database = engine.databasePath();
    const Searches search = searches(engine, substring, genre);

    SqliteCatalogue plain, best;
    if (!plain.openMemory() || !plain.copyFrom(plainDb) || !best.openMemory() || !best.copyFrom(bestDb)) {
        std::fprintf(stderr, "SQLite: %s %s\n", plain.error().c_str(), best.error().c_str());
        return 1;
    }

    // The same rows must come out of every side.
    const std::vector<int64_t> one = searchAndFetch(engine, search.one, 1);
    const std::vector<int64_t> two = searchAndFetch(engine, search.two, 2);
    using Plan = SqliteCatalogue::Plan;
    for (Plan plan : {Plan::Scan, Plan::Covering, Plan::Trigram}) {
        SqliteCatalogue &peer = plan == Plan::Scan ? plain : best;
        std::vector<int64_t> rows1, rows2;
        if (!peer.artistContains(plan, substring, rows1) ||
            !peer.artistContainsGenreIs(plan, substring, genre, rows2)) {
            std::fprintf(stderr, "SQLite %s: %s\n", planName(plan), peer.error().c_str());
            return 1;
        }
        if (!sameRows(one, rows1) || !sameRows(two, rows2)) {
            std::fprintf(stderr, "SQLite %s finds other rows: %zu/%zu against %zu/%zu\n", planName(plan),
                         rows1.size(), rows2.size(), one.size(), two.size());
            return 1;
        }
    }

    // In one process, on the same rows.
    std::vector<int64_t> rows;
    Rounds engineOne, engineTwo, scanOne, scanTwo, coveringOne, coveringTwo, trigramOne, trigramTwo;
    Rounds engineOneCore, engineTwoCore, load, save, exported;
    const int cpu = BenchProcess::currentCpu();
    for (int round = -1; round < runs; ++round) {
        const bool keep = round >= 0; // round -1 warms up
        auto add = [&](Rounds &rounds, double ms) {
            if (keep)
                rounds.values.push_back(ms);
        };
        add(load, timed([&] { engine.load(database); }));
        add(engineOne, timed([&] { rows = searchAndFetch(engine, search.one, 1); }));
        {
            const BenchProcess::OneCpu pinned(cpu);
            add(engineOneCore, timed([&] { rows = searchAndFetch(engine, search.one, 1); }));
            add(engineTwoCore, timed([&] { rows = searchAndFetch(engine, search.two, 2); }));
        }
        add(scanOne, timed([&] { plain.artistContains(Plan::Scan, substring, rows); }));
        add(coveringOne, timed([&] { best.artistContains(Plan::Covering, substring, rows); }));
        add(trigramOne, timed([&] { best.artistContains(Plan::Trigram, substring, rows); }));
        add(engineTwo, timed([&] { rows = searchAndFetch(engine, search.two, 2); }));
        add(scanTwo, timed([&] { plain.artistContainsGenreIs(Plan::Scan, substring, genre, rows); }));
        add(coveringTwo, timed([&] { best.artistContainsGenreIs(Plan::Covering, substring, genre, rows); }));
        add(trigramTwo, timed([&] { best.artistContainsGenreIs(Plan::Trigram, substring, genre, rows); }));

        MediaDbExportRequest request{};
        request.size = sizeof request;
        request.flags = mediadb::kExportHtml;
        std::strncpy(request.fileName, exportFile, sizeof request.fileName - 1);
        add(exported, timed([&] { engine.exportHtml(&request); }));
        engine.setField(1, 1, "x"); // in place: the catalogue becomes changed
        add(save, timed([&] { engine.save(); }));
    }
    const bool trigramFirst = trigramOne.median() < coveringOne.median();
    const Rounds &bestOne = trigramFirst ? trigramOne : coveringOne;
    const Plan bestPlan = trigramFirst ? Plan::Trigram : Plan::Covering;
    const bool trigramFirstTwo = trigramTwo.median() < coveringTwo.median();
    const Rounds &bestTwo = trigramFirstTwo ? trigramTwo : coveringTwo;

    // Whole processes, each a fresh start on files the system has cached.
    const std::string output = std::string(folder) + "/output";
    const std::string catalogue = database;
    struct Process {
        std::vector<std::string> arguments;
        int cpu;
        Rounds *rounds;
        bool peak;  // the child prints its peak memory: that is the value, not the time
        long count; // the matches the child must print, or -1
    };
    Rounds startOne, sqliteStartOne, sqliteBestStartOne, startAll, sqliteStartAll, grepOne, readOne, splitOne;
    Rounds hold, sqliteHold, loadProcess, awkProcess, cpCatalogue, cpExport;
    const std::string exportCopy = std::string(folder) + "/copy.html";
    const std::string catalogueCopy = std::string(folder) + "/copy.db";
    const long matches = static_cast<long>(one.size());
    const std::vector<Process> processes = {
        {{self, "start", folder, substring}, cpu, &startOne, false, matches},
        {{self, "sqlite-start", plainDb, "scan", substring}, cpu, &sqliteStartOne, false, matches},
        {{self, "sqlite-start", bestDb, planName(bestPlan), substring},
         cpu,
         &sqliteBestStartOne,
         false,
         matches},
        {{self, "start", folder, substring}, -1, &startAll, false, matches},
        {{self, "sqlite-start", plainDb, "scan", substring}, -1, &sqliteStartAll, false, matches},
        {{"grep", "-c", "-F", substring, catalogue}, cpu, &grepOne, false, -1},
        {{self, "read", catalogue}, cpu, &readOne, false, -1},
        {{self, "split", catalogue}, cpu, &splitOne, false, -1},
        {{self, "hold", folder}, -1, &hold, true, -1},
        {{self, "sqlite-hold", plainDb}, -1, &sqliteHold, true, -1},
        {{self, "load", folder}, -1, &loadProcess, false, -1},
        {{"awk", "-F|", "{n+=NF} END{print n}", catalogue}, -1, &awkProcess, false, -1},
        {{"cp", catalogue, catalogueCopy}, -1, &cpCatalogue, false, -1},
        {{"cp", exportFile, exportCopy}, -1, &cpExport, false, -1},
    };
    for (int round = -1; round < runs; ++round) {
        for (size_t i = 0; i < processes.size(); ++i) {
            // Every other round runs backwards, so no side always follows the other.
            const Process &process = processes[round % 2 ? processes.size() - 1 - i : i];
            const BenchProcess::Result result = BenchProcess::run(process.arguments, output, process.cpu);
            const std::string printed = readFile(output);
            if (!result.ok || (process.count >= 0 && std::atol(printed.c_str()) != process.count)) {
                std::fprintf(stderr, "failed: %s %s: %s\n", process.arguments[0].c_str(),
                             process.arguments[1].c_str(), printed.c_str());
                return 1;
            }
            if (round >= 0)
                process.rounds->values.push_back(process.peak ? std::atof(printed.c_str()) / 1024
                                                              : result.milliseconds);
        }
    }

    std::printf("catalogue: %d records, %ld bytes, %d columns; HTML export %ld bytes\n",
                engine.liveRows() - 1, fileSize(catalogue), engine.columnCount() - 1, fileSize(exportFile));
    std::printf("matches: one column %zu, two conditions %zu ('%s' in Artist, Genre %s); %d rounds\n",
                one.size(), two.size(), substring, genre, runs);
    std::printf("SQLite %s, each search's rows checked against the engine's; best index: %s (one column), %s "
                "(two conditions)\n\n",
                SqliteCatalogue::version(), planName(bestPlan), trigramFirstTwo ? "trigram" : "covering");

    std::printf("In one process, the same rows in memory (search and fetch of the record identifiers;\n"
                "the engine searches on up to four threads, SQLite on one)\n");
    const std::string bestOneName = std::string("SQLite ") + planName(bestPlan) + " index";
    const std::string bestTwoName =
        std::string("SQLite ") + (trigramFirstTwo ? "trigram" : "covering") + " index";
    printLines({{"search one column, all cores", "SQLite no index", "", engineOne, scanOne},
                {"search one column, all cores", bestOneName, "", engineOne, bestOne},
                {"search one column, one core", "SQLite no index", "", engineOneCore, scanOne},
                {"search one column, one core", bestOneName, "", engineOneCore, bestOne},
                {"search two conditions, all cores", "SQLite no index", "", engineTwo, scanTwo},
                {"search two conditions, all cores", bestTwoName, "", engineTwo, bestTwo},
                {"search two conditions, one core", "SQLite no index", "", engineTwoCore, scanTwo},
                {"search two conditions, one core", bestTwoName, "", engineTwoCore, bestTwo}},
               "ms");
    std::printf("\nWhole process: start, load and the first search (one column), printing the count\n");
    printLines({{"start, one core", "SQLite file, no index", "at most 1", startOne, sqliteStartOne},
                {"start, one core", std::string("SQLite file, ") + planName(bestPlan) + " index", "at most 1",
                 startOne, sqliteBestStartOne},
                {"start, all cores", "SQLite file, no index", "", startAll, sqliteStartAll},
                {"start, one core", "floor: grep -c -F", "", startOne, grepOne},
                {"start, one core", "floor: read the file", "", startOne, readOne},
                {"start, one core", "floor: read, split lines", "", startOne, splitOne}},
               "ms");
    std::printf(
        "\nWhole process: peak memory holding the catalogue (engine loaded; SQLite table in memory)\n");
    printLines({{"peak memory", "SQLite in memory", "at most 1.5", hold, sqliteHold}}, "MB");
    std::printf("\nOther operations against plain tools\n");
    printLines({{"load (process)", "awk", "below 1", loadProcess, awkProcess},
                {"load (in process)", "awk (process)", "below 1", load, awkProcess},
                {"save (in process)", "cp catalogue", "at most 2", save, cpCatalogue},
                {"HTML export (in process)", "cp exported file", "at most 2", exported, cpExport}},
               "ms");
    return 0;
}

// Whole-process cases, each started fresh by compare.

int loadOnly(const char *folder)
{
    MediaDbNativePlatform platform(folder);
    MediaDbEngine engine(platform);
    engine.attach();
    std::printf("%d\n", engine.liveRows() - 1);
    return 0;
}

int start(const char *folder, const char *substring)
{
    MediaDbNativePlatform platform(folder);
    MediaDbEngine engine(platform);
    if (engine.attach() != mediadb::kOk)
        return 1;
    const Searches search = searches(engine, substring, "");
    std::printf("%zu\n", searchAndFetch(engine, search.one, 1).size());
    return 0;
}

int sqliteStart(const char *file, const char *planText, const char *substring)
{
    SqliteCatalogue::Plan plan;
    SqliteCatalogue catalogue;
    std::vector<int64_t> rows;
    if (!planOf(planText, plan) || !catalogue.openFile(file, true) ||
        !catalogue.artistContains(plan, substring, rows))
        return 1;
    std::printf("%zu\n", rows.size());
    return 0;
}

int holdEngine(const char *folder)
{
    MediaDbNativePlatform platform(folder);
    MediaDbEngine engine(platform);
    if (engine.attach() != mediadb::kOk)
        return 1;
    std::printf("%ld\n", BenchProcess::peakKilobytes());
    return 0;
}

int holdSqlite(const char *file)
{
    SqliteCatalogue catalogue;
    if (!catalogue.openMemory() || !catalogue.copyFrom(file))
        return 1;
    std::printf("%ld\n", BenchProcess::peakKilobytes());
    return 0;
}

// The floors: what any load of the whole file must at least do.
enum class Floor { Read, Split };

int floor(const char *path, Floor kind)
{
    const long size = fileSize(path);
    std::FILE *file = std::fopen(path, "rb");
    if (!file || size < 0)
        return 1;
    // The engine's own large-block memory: the read is then as cheap as it gets.
    const mediadb::LargeArray<char> text(
        static_cast<char *>(mediadb::allocateLarge(static_cast<size_t>(size) + 1)));
    const size_t length = std::fread(text.get(), 1, static_cast<size_t>(size), file);
    std::fclose(file);
    size_t count = 0;
    const char *p = text.get();
    const char *const end = p + length;
    if (kind == Floor::Split) {
        while ((p = static_cast<const char *>(std::memchr(p, '\n', static_cast<size_t>(end - p))))) {
            ++count;
            ++p;
        }
    }
    std::printf("%zu %zu\n", length, count);
    return 0;
}

int buildSqlite(const char *catalogue, const char *file, bool indexed)
{
    std::remove(file);
    SqliteCatalogue sqlite;
    if (!sqlite.openFile(file, false) || !sqlite.import(catalogue) || (indexed && !sqlite.addIndexes())) {
        std::fprintf(stderr, "SQLite: %s\n", sqlite.error().c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string command = argc >= 2 ? argv[1] : "";
    if (argc >= 4 && command == "generate")
        return generate(argv[2], std::atoi(argv[3]));
    if (argc >= 5 && command == "sqlite")
        return buildSqlite(argv[2], argv[3], std::strcmp(argv[4], "indexed") == 0);
    if (argc >= 9 && command == "compare")
        return compare(BenchProcess::selfPath(argv[0]), argv[2], std::atoi(argv[3]), argv[4], argv[5],
                       argv[6], argv[7], argv[8]);
    if (argc >= 3 && command == "load")
        return loadOnly(argv[2]);
    if (argc >= 4 && command == "start")
        return start(argv[2], argv[3]);
    if (argc >= 5 && command == "sqlite-start")
        return sqliteStart(argv[2], argv[3], argv[4]);
    if (argc >= 3 && command == "hold")
        return holdEngine(argv[2]);
    if (argc >= 3 && command == "sqlite-hold")
        return holdSqlite(argv[2]);
    if (argc >= 3 && command == "read")
        return floor(argv[2], Floor::Read);
    if (argc >= 3 && command == "split")
        return floor(argv[2], Floor::Split);
    std::fprintf(stderr,
                 "usage: %s generate FILE RECORDS\n"
                 "       %s sqlite CATALOGUE DBFILE plain|indexed\n"
                 "       %s compare FOLDER RUNS SUBSTRING GENRE EXPORTFILE PLAINDB INDEXEDDB\n"
                 "  (started by compare: load, start, sqlite-start, hold, sqlite-hold, read, split)\n",
                 argv[0], argv[0], argv[0]);
    return 2;
}

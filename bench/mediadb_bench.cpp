// Media database engine benchmark: generates a realistic catalogue and times
// load, searches, save and HTML export inside one process. The shell script
// beside it times the reference programs on the same files.

#include "mediadbengine.h"
#include "mediadbnativeplatform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

MediaDbCondition condition(int32_t op, int32_t column, const char *text, int32_t combine)
{
    MediaDbCondition c{};
    c.op = op;
    c.column = column;
    c.combine = combine;
    std::strncpy(c.text, text, sizeof c.text - 1);
    return c;
}

// Times each operation runs times and prints the medians in milliseconds.
int run(const char *folder, int runs, const char *substring, const char *genre, const char *exportFile)
{
    MediaDbNativePlatform platform(folder);
    MediaDbEngine engine(platform);
    if (engine.attach() != mediadb::kOk || engine.liveRows() < 2)
        return 1;
    int32_t artist = 0, genreColumn = 0;
    engine.getColumnIndex("Artist", &artist);
    engine.getColumnIndex("Genre", &genreColumn);
    const std::string database = engine.databasePath();

    std::vector<double> load, search1, search2, save, exported;
    int32_t matches1 = 0, matches2 = 0;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        if (engine.load(database) != mediadb::kOk)
            return 1;
        load.push_back(millisecondsSince(start));

        const MediaDbCondition one = condition(mediadb::kOpContains, artist, substring, 0);
        start = std::chrono::steady_clock::now();
        engine.search(1, &one, &matches1, nullptr, 0);
        search1.push_back(millisecondsSince(start));
        engine.getSearchResults(1, 0, nullptr);

        const MediaDbCondition two[] = {condition(mediadb::kOpContains, artist, substring, 0),
                                        condition(mediadb::kOpEqual, genreColumn, genre, 1)};
        start = std::chrono::steady_clock::now();
        engine.search(2, two, &matches2, nullptr, 0);
        search2.push_back(millisecondsSince(start));
        engine.getSearchResults(1, 0, nullptr);

        MediaDbExportRequest request{};
        request.size = sizeof request;
        request.flags = mediadb::kExportHtml;
        std::strncpy(request.fileName, exportFile, sizeof request.fileName - 1);
        start = std::chrono::steady_clock::now();
        if (engine.exportHtml(&request) != mediadb::kOk)
            return 1;
        exported.push_back(millisecondsSince(start));

        engine.setField(1, 1, "x"); // in place: the catalogue becomes changed
        start = std::chrono::steady_clock::now();
        if (engine.save() != mediadb::kOk)
            return 1;
        save.push_back(millisecondsSince(start));
    }
    std::printf("records %d\nmatches_one %d\nmatches_two %d\n", engine.liveRows() - 1, matches1, matches2);
    std::printf("load_ms %.3f\nsearch_one_ms %.3f\nsearch_two_ms %.3f\nsave_ms %.3f\nexport_ms %.3f\n",
                median(load), median(search1), median(search2), median(save), median(exported));
    return 0;
}

// Loads the catalogue once, as a whole process to set beside another program.
int loadOnly(const char *folder)
{
    MediaDbNativePlatform platform(folder);
    MediaDbEngine engine(platform);
    engine.attach();
    std::printf("%d\n", engine.liveRows() - 1);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "generate") == 0)
        return generate(argv[2], std::atoi(argv[3]));
    if (argc >= 7 && std::strcmp(argv[1], "run") == 0)
        return run(argv[2], std::atoi(argv[3]), argv[4], argv[5], argv[6]);
    if (argc >= 3 && std::strcmp(argv[1], "load") == 0)
        return loadOnly(argv[2]);
    std::fprintf(stderr,
                 "usage: %s generate FILE RECORDS\n"
                 "       %s run FOLDER RUNS SUBSTRING GENRE EXPORTFILE\n"
                 "       %s load FOLDER\n",
                 argv[0], argv[0], argv[0]);
    return 2;
}

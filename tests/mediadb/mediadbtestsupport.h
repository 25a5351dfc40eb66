#pragma once

// Shared pieces of the media database tests: a scratch folder, a platform
// that records what the engine shows or sends, and file helpers.

#include "mediadbengine.h"
#include "mediadbnativeplatform.h"
#include "mediadbtext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace mediadbtest
{

// A fresh folder below the temporary folder, removed with its contents.
class TempDir
{
  public:
    TempDir()
    {
        const char *base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/mediadbtest-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()))
            m_path = buffer.data();
    }
    ~TempDir()
    {
        if (!m_path.empty())
            std::system(("rm -rf '" + m_path + "'").c_str());
    }
    const std::string &path() const { return m_path; }
    std::string file(const std::string &name) const { return m_path + "/" + name; }

  private:
    std::string m_path;
};

inline std::string readFile(const std::string &path)
{
    std::string content;
    if (std::FILE *f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            content.append(buffer, n);
        std::fclose(f);
    }
    return content;
}

inline void writeFile(const std::string &path, const std::string &content)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
}

inline bool exists(const std::string &path)
{
    return mediadb::fileExists(path);
}

struct SentMessage {
    void *window;
    uint32_t message;
    uintptr_t code;
    intptr_t lParam;
    std::vector<MediaDbNotice> details;
};

// Records messages (fetching transfer data during the message, as a client
// must), boxes, debug lines and window texts; sleeps return at once.
class RecordingPlatform : public MediaDbNativePlatform
{
  public:
    explicit RecordingPlatform(const std::string &folder) : MediaDbNativePlatform(folder) {}

    void sendMessage(void *window, uint32_t message, uintptr_t wParam, intptr_t lParam) override
    {
        SentMessage sent{window, message, wParam, lParam, {}};
        if (wParam == mediadb::kNoticeChanged && lParam != 0 && engine) {
            const int32_t slot = static_cast<int32_t>(lParam & 0xFFFF);
            const int32_t bytes = static_cast<int32_t>(lParam >> 16);
            sent.details.resize(static_cast<size_t>(bytes) / sizeof(MediaDbNotice));
            fetchResult = engine->getNotificationData(slot, bytes, sent.details.data());
        }
        messages.push_back(std::move(sent));
    }
    bool listFolder(const std::string &folder, std::vector<Entry> &entries) override
    {
        if (emptyListings > 0) {
            --emptyListings;
            entries.clear();
            return true;
        }
        return MediaDbNativePlatform::listFolder(folder, entries);
    }
    void setWindowText(void *, const std::string &text) override { windowTexts.push_back(text); }
    void messageBox(const std::string &text, const std::string &caption) override
    {
        boxes.push_back(caption + ": " + text);
    }
    void debugOutput(const std::string &text) override { debugLines.push_back(text); }
    void sleepMs(unsigned) override { ++sleeps; }
    std::string longDate() override { return date; }

    std::vector<uintptr_t> codes() const
    {
        std::vector<uintptr_t> result;
        for (const SentMessage &m : messages)
            result.push_back(m.code);
        return result;
    }

    MediaDbEngine *engine = nullptr;
    std::vector<SentMessage> messages;
    std::vector<std::string> windowTexts;
    std::vector<std::string> boxes;
    std::vector<std::string> debugLines;
    int sleeps = 0;
    int emptyListings = 0; // folder listings that show nothing, as if the files came later
    std::string date = "Thursday, 10 December 2026";
    int32_t fetchResult = 0;
};

inline const char *tableHeader()
{
    return "Artist|Title|Playtime|Album|Year|Genre|Location|Path|Comment|Filesize|Filetime|Mediatype|"
           "Mediaformat|Mediasubformat|Volumename|Volumenumber|Catalognumber|Filesysname|Bitrate|"
           "Filelensamples|Bitratetype|Tempo|XResolution|YResolution|Creationtime|\r\n";
}

// An engine over a scratch folder; the catalogue file is QDDB.DB there.
class EngineFixture : public ::testing::Test
{
  protected:
    std::string databaseFile() const { return m_dir.file("QDDB.DB"); }

    void start()
    {
        m_engine.reset(new MediaDbEngine(m_platform));
        m_platform.engine = m_engine.get();
        m_engine->attach();
    }

    void startWith(const std::string &content)
    {
        writeFile(databaseFile(), content);
        start();
    }

    int32_t open(const char *name, void *window = reinterpret_cast<void *>(0x10), uint32_t flags = 1,
                 const void *owner = nullptr)
    {
        MediaDbClientRecord record{};
        record.size = 64;
        std::memcpy(record.name, name, std::min(std::strlen(name), sizeof record.name));
        record.flags = flags;
        record.window = window;
        record.message = 0x8001;
        return m_engine->openClient(&record, owner);
    }

    std::string field(int32_t column, int32_t record)
    {
        char buffer[2048] = {};
        m_engine->getField(column, record, buffer, sizeof buffer - 1, 0);
        return buffer;
    }

    int32_t column(const char *name)
    {
        int32_t index = -1;
        m_engine->getColumnIndex(name, &index);
        return index;
    }

    // The values of a column in every record (deleted ones included), in order.
    std::vector<std::string> columnValues(const char *name)
    {
        std::vector<std::string> values;
        const int32_t index = column(name);
        for (int32_t record = 1; record < m_engine->liveRows() + m_engine->deletedRows(); ++record) {
            char buffer[600] = {};
            if (m_engine->getField(index, record, buffer, sizeof buffer, 0) == mediadb::kOk)
                values.push_back(buffer);
        }
        return values;
    }

    TempDir m_dir;
    RecordingPlatform m_platform{m_dir.path()};
    std::unique_ptr<MediaDbEngine> m_engine;
};

} // namespace mediadbtest

namespace mediadbtest
{

// Lines of "|"-terminated fields, each line ended by CR LF.
inline std::string catalogue(const std::vector<std::vector<std::string>> &lines)
{
    std::string text;
    for (const auto &line : lines) {
        for (const std::string &value : line)
            text += value + "|";
        text += "\r\n";
    }
    return text;
}

// A small music catalogue: Artist, Title, Album, Genre, Mediaformat, Path, Location, Volumenumber.
inline std::string musicCatalogue()
{
    return catalogue({
        {"Artist", "Title", "Album", "Genre", "Mediaformat", "Path", "Location", "Volumenumber"},
        {"Abba", "Waterloo", "Waterloo", "Pop", "MP3", "/m/abba/waterloo.mp3", "", "1"},
        {"Beatles", "Help", "Help!", "Rock", "mp3", "/m/beatles/help.mp3", "", "1"},
        {"Beatles", "Yesterday", "Help!", "Rock", "WAV", "/m/beatles/yesterday.wav", "", "1"},
        {"Queen", "Bohemian Rhapsody", "A Night at the Opera", "Rock", "wma", "/m/queen/bo.wma", "EXT", "2"},
        {"Bach", "Air", "", "Classic", "OGG", "/m/bach/air.ogg", "", "2"},
    });
}

} // namespace mediadbtest

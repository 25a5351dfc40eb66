#include "morveldroptags.h"

#include <cstring>
#include <initializer_list>
#include <vector>

namespace
{

struct Kind {
    char tag[4];
    uint32_t values[3];
    std::initializer_list<const char *> extensions;
};

std::vector<unsigned char> buildTable()
{
    const Kind kinds[] = {
        {{0, 0, 0, 0}, {0, 0, 0}, {"xpe"}},
        {{'I', 'M', 'A', 'G'},
         {0, 0x16, 0x0E},
         {"png", "ping", "jpg", "jpe", "jpeg", "jfif", "gif", "bmp", "dib", "rle", "tga", "vda", "vst", "icb",
          "tif", "tiff"}},
        {{'T', 'E', 'X', 'T'}, {0x102, 0x16, 0x17}, {"txt", "rtf"}},
        {{'C', 'L', 'I', 'P'}, {0, 0x0D, 0x0C}, {"wmf", "emf"}},
        {{'M', 'O', 'V', 'I'},
         {0, 0x0B, 0},
         {"avi", "mov", "mpg", "mpe", "mpeg", "m1v", "m2v", "vob", "riff", "qt"}},
        {{'F', 'L', 'S', 'H'}, {0, 0x0D, 0x0C}, {"swf"}},
    };
    std::vector<unsigned char> bytes;
    auto put = [&bytes](const void *data, size_t size) {
        const auto *p = static_cast<const unsigned char *>(data);
        bytes.insert(bytes.end(), p, p + size);
    };
    for (const Kind &kind : kinds) {
        put(kind.tag, 4);
        for (uint32_t value : kind.values)
            put(&value, 4);
        bytes.push_back(static_cast<unsigned char>(kind.extensions.size()));
        for (const char *extension : kind.extensions)
            put(extension, strlen(extension) + 1);
    }
    const uint32_t end = 0xffffffffu;
    put(&end, 4);
    return bytes;
}

const std::vector<unsigned char> &tableBytes()
{
    static const std::vector<unsigned char> bytes = buildTable();
    return bytes;
}

bool equalNoCase(const char *a, const char *b)
{
    for (; *a && *b; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + 32);
        if (x != y)
            return false;
    }
    return *a == *b;
}

const size_t kFixedPart = MorvelDropTags::kFixedSize;

} // namespace

const unsigned char *MorvelDropTags::table()
{
    return tableBytes().data();
}

size_t MorvelDropTags::tableSize()
{
    return tableBytes().size();
}

size_t MorvelDropTags::recordSize(const unsigned char *record)
{
    size_t size = kFixedPart;
    const unsigned count = record[kFixedPart - 1];
    for (unsigned i = 0; i < count; ++i)
        size += strlen(reinterpret_cast<const char *>(record + size)) + 1;
    return size;
}

const unsigned char *MorvelDropTags::find(const char *name)
{
    // Names of up to five characters give nothing, whatever their extension.
    if (!name || strnlen(name, 6) <= 5)
        return nullptr;
    const char *dot = strrchr(name, '.');
    if (!dot || !dot[1])
        return nullptr;
    const char *extension = dot + 1;
    const unsigned char *record = table();
    while (true) {
        uint32_t head = 0;
        memcpy(&head, record, sizeof head);
        if (head == 0xffffffffu)
            return nullptr;
        const unsigned count = record[kFixedPart - 1];
        const auto *text = reinterpret_cast<const char *>(record + kFixedPart);
        for (unsigned i = 0; i < count; ++i) {
            if (equalNoCase(text, extension))
                return record;
            text += strlen(text) + 1;
        }
        record += recordSize(record);
    }
}

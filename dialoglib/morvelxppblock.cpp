#include "morvelxppblock.h"

#include <cstring>

uint32_t MorvelXppBlock::count(const void *block)
{
    uint32_t value = 0;
    memcpy(&value, block, sizeof value);
    return value;
}

void MorvelXppBlock::setCount(void *block, uint32_t count)
{
    memcpy(block, &count, sizeof count);
}

uint32_t MorvelXppBlock::putText(void *block, const char *text, size_t length)
{
    const auto value = static_cast<uint32_t>(length + 1);
    setCount(block, value);
    char *characters = static_cast<char *>(block) + kCountSize;
    if (length)
        memcpy(characters, text, length);
    characters[length] = 0;
    return value;
}

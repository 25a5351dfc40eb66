#include "morvelfontsize.h"

int32_t MorvelFontSize::systemSize(const int32_t *record, int32_t size)
{
    const int64_t a = record[kFieldA];
    const int64_t b = record[kFieldB];
    if (a == 0)
        return 0;
    return static_cast<int32_t>((int64_t(size) * b * 96 / 72) / a);
}

int32_t MorvelFontSize::hostSize(const int32_t *record, int32_t size)
{
    const int64_t a = record[kFieldA];
    const int64_t b = record[kFieldB];
    if (b == 0)
        return 0;
    return static_cast<int32_t>((int64_t(size) * a * 72 / 96) / b);
}

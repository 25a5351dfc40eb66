#include "morvelfontsizefield.h"

#include <cmath>
#include <cstring>

bool MorvelFontSizeField::acceptsChar(unsigned char c, const std::string &text)
{
    if (c < 32 || (c >= '0' && c <= '9'))
        return true;
    if (c != ',' && c != '.')
        return false;
    if (text.empty())
        return false;
    return text.substr(0, 15).find_first_of(",.") == std::string::npos;
}

int32_t MorvelFontSizeField::roundHalfEven(float value)
{
    if (!std::isfinite(value) || value >= 2147483648.0f || value < -2147483648.0f)
        return kFallbackSize;
    return static_cast<int32_t>(std::nearbyint(value)); // the default mode rounds ties to even
}

int32_t MorvelFontSizeField::sizeFromNumber(int32_t result, int32_t kind, uint32_t raw)
{
    if (result != 0)
        return kFallbackSize;
    if (kind == 1)
        return static_cast<int32_t>(raw);
    if (kind == 5) {
        float value;
        memcpy(&value, &raw, sizeof value);
        return roundHalfEven(value);
    }
    return kFallbackSize;
}

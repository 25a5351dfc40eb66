#include "morvelcolormodel.h"

MorvelColorModel::MorvelColorModel(bool noneList, uint32_t automatic)
    : m_noneList(noneList), m_automatic(automatic)
{
}

int MorvelColorModel::select(uint32_t colour)
{
    for (int i = 0; i < 16; ++i) {
        if (kFixedColors[i] == (colour & 0x00ffffffu))
            return kFirstFixed + i;
    }
    m_custom = colour;
    return kCustomEntry;
}

MorvelColorModel::Kind MorvelColorModel::query(int entry, const uint32_t *userColors, uint32_t *colour) const
{
    uint32_t value = 0;
    Kind kind = Nothing;
    if (entry == 0) {
        kind = m_noneList ? NoColor : Automatic;
        value = m_noneList ? 0 : m_automatic;
    } else if (entry == kCustomEntry) {
        kind = Custom;
        value = m_custom;
    } else if (entry >= kFirstFixed && entry < kSeparator) {
        kind = Fixed;
        value = kFixedColors[entry - kFirstFixed];
    } else if (entry >= kFirstUser && entry < kEntries) {
        kind = User;
        value = userColors ? userColors[entry - kFirstUser] : 0;
    }
    if (colour && kind != Nothing)
        *colour = value;
    return kind;
}

bool MorvelColorModel::swatch(int entry, const uint32_t *userColors, uint32_t *colour) const
{
    if (entry == kSeparator || (entry == 0 && m_noneList) || entry < 0 || entry >= kEntries)
        return false;
    return query(entry, userColors, colour) != Nothing;
}

#pragma once
// What the colour chooser "xColorControl" shows and answers: its 35 entries
// (automatic or none, custom, 16 fixed colours, a separator, 16 user colours)
// and the kind and colour of a selection. Colours are 0x00RRGGBB.

#include <cstdint>

class MorvelColorModel
{
  public:
    enum Kind { Nothing = 0, NoColor = 1, Custom = 2, Fixed = 3, User = 4, Automatic = 5 };

    static constexpr int kEntries = 35;
    static constexpr int kCustomEntry = 1;
    static constexpr int kFirstFixed = 2;
    static constexpr int kSeparator = 18;
    static constexpr int kFirstUser = 19;
    static constexpr uint32_t kFixedColors[16] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF00FF, 0xFFFF00,
                                                  0x00FFFF, 0xC0C0C0, 0xFFFFFF, 0x7F0000, 0x007F00, 0x00007F,
                                                  0x7F7F00, 0x007F7F, 0x7F007F, 0x7F7F7F};

    // noneList: the list whose first entry is "keine Farbe".
    explicit MorvelColorModel(bool noneList, uint32_t automatic);

    bool noneList() const { return m_noneList; }
    uint32_t custom() const { return m_custom; }
    void setCustom(uint32_t colour) { m_custom = colour; }
    uint32_t automatic() const { return m_automatic; }
    void setAutomatic(uint32_t colour) { m_automatic = colour; }

    // The entry that shows colour: a fixed entry, else the custom entry with
    // colour stored as custom colour.
    int select(uint32_t colour);
    // Kind of entry (-1: nothing selected) and its colour; userColors may be null.
    Kind query(int entry, const uint32_t *userColors, uint32_t *colour) const;
    // Whether an entry gets a colour swatch filled, and with what colour.
    bool swatch(int entry, const uint32_t *userColors, uint32_t *colour) const;

  private:
    bool m_noneList;
    uint32_t m_custom = 0;
    uint32_t m_automatic;
};

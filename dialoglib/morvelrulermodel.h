#pragma once
// The ruler "xMorvel32 Ruler": band, shown range, three markers in 16.16
// fixed-point units and the scale marks, in client pixels.

#include <cstdint>
#include <string>
#include <vector>

class MorvelRulerModel
{
  public:
    struct Rect {
        int32_t left, top, right, bottom;
        bool contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
        bool empty() const { return right <= left || bottom <= top; }
    };
    struct Mark {
        int32_t x;
        std::string text; // "|" or the number
    };
    struct MarkerPlace {
        bool drawn;
        int32_t x;
        int32_t iconLeft, iconTop; // where its 16 x 16 icon goes
    };

    explicit MorvelRulerModel(int32_t height = 0);

    int32_t height() const { return m_height; }
    int32_t origin() const { return m_origin; }
    int32_t end() const { return m_end; }
    bool rangeShown() const { return m_shown; }
    int32_t requestedStart() const { return m_start; }
    int32_t requestedEnd() const { return m_requestedEnd; }
    Rect band() const { return {m_origin, 4, m_end, m_height - 4}; }
    Rect shownRange() const { return {m_left, 4, m_right, m_height - 4}; }
    int32_t marker(int index) const { return m_markers[index - 1]; }
    int32_t scale() const { return m_scale; }

    void setBand(int32_t origin, int32_t end);
    void setRange(int32_t start, int32_t end);
    void setScale(int32_t scale) { m_scale = scale; }
    void setMarker1(int32_t units);
    // Marker 2 is given from the range's left end and kept from marker 1.
    void setMarker2(int32_t units);
    void setMarker3(int32_t units);

    // Where each marker (1 to 3) stands; its hit rectangle follows from it.
    MarkerPlace place(int index) const;
    Rect hitRect(int index) const;
    // The first marker whose hit rectangle holds the point, or 0.
    int32_t hitTest(int32_t x, int32_t y) const;
    // The marker position for a drag of marker index to x.
    int32_t dragPosition(int index, int32_t x) const;
    // Ticks and numbers of the scale from left to right, those from x =
    // clipLeft to clipRight only (what a window of that width can show).
    std::vector<Mark> marks(int32_t clipLeft, int32_t clipRight) const;

  private:
    int32_t limit(int32_t taken) const;
    int32_t toPixels(int32_t units) const;
    void clampRange();

    int32_t m_height;
    int32_t m_origin = 0;
    int32_t m_end = 0;
    bool m_shown = false;
    int32_t m_start = 0;
    int32_t m_requestedEnd = 0;
    int32_t m_left = 0;
    int32_t m_right = 0;
    int32_t m_markers[3] = {0, 0, 0};
    int32_t m_scale = 0;
};

#pragma once
// Geometry and state of the picture list "xListControl": a grid of 80-pixel
// cells (a 64 x 64 picture and two caption lines), scrolled vertically.

#include <cstdint>

class MorvelListModel
{
  public:
    struct Rect {
        int32_t left, top, right, bottom;
    };
    struct ScrollBar {
        bool visible;
        int32_t maximum, page, position;
    };
    enum ScrollCode { LineUp = 0, LineDown = 1, PageUp = 2, PageDown = 3, ThumbPosition = 4, ThumbTrack = 5 };

    static constexpr int32_t kCellWidth = 80;
    static constexpr int32_t kPicture = 64;
    static constexpr int32_t kMargin = 8;

    // Text height: two caption lines of the given font height at that resolution.
    static int32_t textHeightFor(int32_t fontHeight, int32_t dpiY);

    explicit MorvelListModel(int32_t textHeight = 0);

    int32_t rowHeight() const { return m_rowHeight; }
    int32_t count() const { return m_count; }
    int32_t columns() const { return m_columns; }
    int32_t rows() const { return m_rows; }
    int32_t offset() const { return m_offset; }
    int32_t clientWidth() const { return m_width; }
    int32_t clientHeight() const { return m_height; }

    // A new client size: the view goes back to the top.
    void resize(int32_t width, int32_t height);
    void setCount(int32_t count) { m_count = count; }
    // Columns and rows for the size and count; the offset stays within the
    // scrolled range and the scroll bar shows it.
    ScrollBar layout();
    // Where an insertion at index lands: -1 or beyond the end appends.
    int32_t insertionIndex(int32_t index) const;

    Rect cell(int32_t index) const;
    Rect picture(int32_t index) const;
    Rect caption(int32_t index) const;
    // The first item whose cell holds the point, or -1.
    int32_t hitTest(int32_t x, int32_t y) const;
    // Scrolls; returns the pixels the view moved down by (old minus new offset).
    int32_t scroll(int code, int32_t thumb);
    int32_t scrollMaximum() const;

    // Selection: -1 when none.
    int32_t selected() const { return m_selected; }
    bool select(int32_t index);
    void deselect() { m_selected = -1; }
    // The item one row up from the selection, or -1 when the key does nothing.
    int32_t itemAbove() const;
    bool valid(int32_t index) const { return index >= 0 && index < m_count; }

  private:
    int32_t m_rowHeight;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_count = 0;
    int32_t m_columns = 1;
    int32_t m_rows = 0;
    int32_t m_offset = 0;
    int32_t m_selected = -1;
};

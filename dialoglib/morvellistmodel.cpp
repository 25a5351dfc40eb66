#include "morvellistmodel.h"

#include <algorithm>
#include <cstdlib>

int32_t MorvelListModel::textHeightFor(int32_t fontHeight, int32_t dpiY)
{
    return 2 * (std::abs(fontHeight) * dpiY / 72);
}

MorvelListModel::MorvelListModel(int32_t textHeight) : m_rowHeight(textHeight + kPicture) {}

void MorvelListModel::resize(int32_t width, int32_t height)
{
    m_width = width;
    m_height = height;
    m_offset = 0;
}

int32_t MorvelListModel::scrollMaximum() const
{
    return std::max(0, m_rows * m_rowHeight - m_height + kMargin);
}

MorvelListModel::ScrollBar MorvelListModel::layout()
{
    m_columns = std::max(1, m_width / kCellWidth);
    m_rows = (m_count + m_columns - 1) / m_columns;
    m_offset = std::min(std::max(m_offset, 0), scrollMaximum());
    ScrollBar bar = {};
    bar.visible = m_rows * m_rowHeight > m_height;
    if (bar.visible) {
        bar.maximum = m_rows * m_rowHeight + kMargin;
        bar.page = m_height;
        bar.position = m_offset;
    } else {
        m_offset = 0;
    }
    if (m_selected >= m_count)
        m_selected = -1;
    return bar;
}

int32_t MorvelListModel::insertionIndex(int32_t index) const
{
    return index < 0 || index > m_count ? m_count : index;
}

MorvelListModel::Rect MorvelListModel::cell(int32_t index) const
{
    const int32_t column = index % m_columns;
    const int32_t row = index / m_columns;
    Rect r;
    r.left = kMargin + kCellWidth * column;
    r.top = kMargin + m_rowHeight * row - m_offset;
    r.right = r.left + kCellWidth;
    r.bottom = r.top + m_rowHeight;
    return r;
}

MorvelListModel::Rect MorvelListModel::picture(int32_t index) const
{
    const Rect c = cell(index);
    return {c.left + kMargin, c.top, c.left + kMargin + kPicture, c.top + kPicture};
}

MorvelListModel::Rect MorvelListModel::caption(int32_t index) const
{
    const Rect c = cell(index);
    return {c.left, c.top + kPicture + 4, c.right, c.bottom};
}

int32_t MorvelListModel::hitTest(int32_t x, int32_t y) const
{
    for (int32_t i = 0; i < m_count; ++i) {
        const Rect c = cell(i);
        if (x >= c.left && x < c.right && y >= c.top && y < c.bottom)
            return i;
    }
    return -1;
}

int32_t MorvelListModel::scroll(int code, int32_t thumb)
{
    const int32_t maximum = scrollMaximum();
    const int32_t old = m_offset;
    switch (code) {
    case LineUp:
        if (m_offset != 0)
            m_offset = std::max(0, m_offset - m_rowHeight);
        break;
    case LineDown:
        if (m_offset != maximum)
            m_offset = std::min(maximum, m_offset + m_rowHeight);
        break;
    case PageUp:
        if (m_offset != 0)
            m_offset = std::max(0, m_offset - m_height);
        break;
    case PageDown:
        if (m_offset != maximum)
            m_offset = std::min(maximum, m_offset + m_height);
        break;
    case ThumbPosition:
    case ThumbTrack:
        m_offset = std::min(std::max(thumb, 0), maximum);
        break;
    default:
        break;
    }
    return old - m_offset;
}

bool MorvelListModel::select(int32_t index)
{
    if (!valid(index))
        return false;
    m_selected = index;
    return true;
}

int32_t MorvelListModel::itemAbove() const
{
    if (m_selected <= 0)
        return -1;
    return std::max(0, m_selected - m_columns);
}

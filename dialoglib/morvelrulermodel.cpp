#include "morvelrulermodel.h"

#include <algorithm>
#include <cstdint>

MorvelRulerModel::MorvelRulerModel(int32_t height) : m_height(height) {}

void MorvelRulerModel::clampRange()
{
    // A band from INT32_MIN to INT32_MAX is wider than an int32_t holds.
    const int64_t band = std::clamp<int64_t>(int64_t(m_end) - m_origin, 0, INT32_MAX);
    const int32_t width = static_cast<int32_t>(band);
    m_left = std::min(std::max(m_start, 0), width);
    m_right = std::min(std::max(m_requestedEnd, 0), width);
}

void MorvelRulerModel::setBand(int32_t origin, int32_t end)
{
    m_origin = origin;
    m_end = end;
    clampRange();
}

void MorvelRulerModel::setRange(int32_t start, int32_t end)
{
    m_start = start;
    m_requestedEnd = end;
    m_shown = start != end;
    clampRange();
}

int32_t MorvelRulerModel::limit(int32_t taken) const
{
    // Units that fit into the shown range besides the taken ones; nothing while the scale is unset.
    if (m_scale == 0)
        return 0;
    return static_cast<int32_t>((int64_t(m_right - m_left - taken) * 65536) / m_scale);
}

void MorvelRulerModel::setMarker1(int32_t units)
{
    m_markers[0] = std::max(0, std::min(units, limit(m_markers[2])));
}

void MorvelRulerModel::setMarker2(int32_t units)
{
    m_markers[1] = std::max(0, std::min(units, limit(m_markers[2]))) - m_markers[0];
}

void MorvelRulerModel::setMarker3(int32_t units)
{
    m_markers[2] = std::max(0, std::min(units, limit(m_markers[0])));
}

int32_t MorvelRulerModel::toPixels(int32_t units) const
{
    return static_cast<int32_t>((int64_t(units) * m_scale) >> 16);
}

MorvelRulerModel::MarkerPlace MorvelRulerModel::place(int index) const
{
    MarkerPlace p = {};
    if (index == 1)
        p.x = m_origin + m_start + toPixels(m_markers[0]);
    else if (index == 2)
        p.x = m_origin + m_start + toPixels(m_markers[0] + m_markers[1]);
    else
        p.x = m_origin + m_requestedEnd - toPixels(m_markers[2]);
    p.drawn = m_shown && m_right > m_left && p.x >= m_origin && p.x <= m_end;
    const Rect range = shownRange();
    p.iconLeft = p.x - (index == 3 ? 3 : 1);
    p.iconTop = index == 2 ? range.top : range.bottom - 8;
    return p;
}

MorvelRulerModel::Rect MorvelRulerModel::hitRect(int index) const
{
    const MarkerPlace p = place(index);
    if (!p.drawn)
        return {0, 0, 0, 0};
    return {p.iconLeft - 1, p.iconTop - 1, p.iconLeft - 1 + 11, p.iconTop - 1 + 10};
}

int32_t MorvelRulerModel::hitTest(int32_t x, int32_t y) const
{
    for (int index = 1; index <= 3; ++index) {
        if (hitRect(index).contains(x, y))
            return index;
    }
    return 0;
}

int32_t MorvelRulerModel::dragPosition(int index, int32_t x) const
{
    if (m_scale == 0)
        return 0;
    const int64_t pixels = index == 3 ? int64_t(m_right) + m_origin - x : int64_t(x) - m_left - m_origin;
    return static_cast<int32_t>(pixels * 65536 / m_scale);
}

namespace
{

int64_t floorDiv(int64_t a, int64_t b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

} // namespace

std::vector<MorvelRulerModel::Mark> MorvelRulerModel::marks(int32_t clipLeft, int32_t clipRight) const
{
    // Mark k stands at origin + 2 + 25k (k from 1) while it is not right of
    // end - 2 - 25; 64-bit, so bands at the ends of the 32-bit range do not
    // wrap, and only the marks within the clip are made.
    const int64_t base = int64_t(m_origin) + 2;
    const int64_t right = std::min(int64_t(m_end) - 2 - 25, int64_t(clipRight));
    const int64_t first = std::max<int64_t>(1, -floorDiv(base - clipLeft, 25));
    const int64_t last = floorDiv(right - base, 25);
    std::vector<Mark> marks;
    for (int64_t k = first; k <= last; ++k) {
        const auto x = static_cast<int32_t>(base + 25 * k);
        if (k % 2 == 1)
            marks.push_back({x, "|"});
        else if (m_scale != 0)
            marks.push_back({x, std::to_string(25 * k * 65536 / m_scale)});
    }
    return marks;
}

#include "morvelrangemodel.h"

void MorvelRangeModel::setRange(int32_t minimum, int32_t maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

int32_t MorvelRangeModel::setValue(int32_t value)
{
    const int32_t previous = m_value;
    m_value = value;
    return previous;
}

bool MorvelRangeModel::stepUp()
{
    if (m_value == m_maximum)
        return false;
    ++m_value;
    return true;
}

bool MorvelRangeModel::stepDown()
{
    if (m_value == m_minimum)
        return false;
    --m_value;
    return true;
}

int32_t MorvelRangeModel::parse(const std::string &text)
{
    const std::string head = text.substr(0, 31);
    size_t i = 0;
    while (i < head.size() && (head[i] == ' ' || head[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < head.size() && (head[i] == '-' || head[i] == '+'))
        negative = head[i++] == '-';
    int64_t number = 0;
    for (; i < head.size() && head[i] >= '0' && head[i] <= '9'; ++i) {
        number = number * 10 + (head[i] - '0');
        if (number > int64_t(INT32_MAX) + 1)
            number = int64_t(INT32_MAX) + 1;
    }
    if (negative)
        number = -number;
    if (number > INT32_MAX)
        number = INT32_MAX;
    return static_cast<int32_t>(number);
}

MorvelRangeModel::Entry MorvelRangeModel::accept(const std::string &text)
{
    const int32_t number = parse(text);
    if (number < m_minimum || number > m_maximum)
        return OutOfRange;
    if (number == m_value)
        return Unchanged;
    m_value = number;
    return Changed;
}

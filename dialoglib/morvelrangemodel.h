#pragma once
// The integer of the range field "xRangeField": its range, up and down steps
// and the check of a typed value.

#include <cstdint>
#include <string>

class MorvelRangeModel
{
  public:
    enum Entry { Unchanged, Changed, OutOfRange };

    int32_t minimum() const { return m_minimum; }
    int32_t maximum() const { return m_maximum; }
    int32_t value() const { return m_value; }

    void setRange(int32_t minimum, int32_t maximum);
    // Shows a value without a range check; returns the previous one.
    int32_t setValue(int32_t value);
    // One step; false when the value stands at the end of the range.
    bool stepUp();
    bool stepDown();
    // A typed text (at most 31 characters read) as a decimal number.
    Entry accept(const std::string &text);
    static int32_t parse(const std::string &text);

  private:
    int32_t m_minimum = 0;
    int32_t m_maximum = 65535;
    int32_t m_value = 0;
};

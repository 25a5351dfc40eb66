#pragma once

#include "etorderserverdouble.h"

// The one way tests build a fault of the order-server double, in one
// expression: fault("uploadctrl_request").action("start").code(32).times(2).
class ETFaultBuilder
{
  public:
    explicit ETFaultBuilder(const QString &request) { m_fault.request = request; }

    ETFaultBuilder &action(const QString &action)
    {
        m_fault.action = action;
        return *this;
    }
    ETFaultBuilder &kind(ETOrderServerFault::Kind kind)
    {
        m_fault.kind = kind;
        return *this;
    }
    // The error code (and text) the reply head carries.
    ETFaultBuilder &code(int code, const QString &text = QString())
    {
        m_fault.errorCode = code;
        m_fault.errorText = text;
        return *this;
    }
    ETFaultBuilder &status(int httpStatus)
    {
        m_fault.httpStatus = httpStatus;
        return *this;
    }
    ETFaultBuilder &delay(int milliseconds)
    {
        m_fault.delayMs = milliseconds;
        return *this;
    }
    ETFaultBuilder &times(int times)
    {
        m_fault.times = times;
        return *this;
    }
    // The whole reply text of a Raw fault.
    ETFaultBuilder &raw(const QString &body)
    {
        m_fault.kind = ETOrderServerFault::Raw;
        m_fault.body = body;
        return *this;
    }

    operator ETOrderServerFault() const { return m_fault; }

  private:
    ETOrderServerFault m_fault;
};

// A fault on requests of that root name ("upload" for picture posts; empty: any).
inline ETFaultBuilder fault(const QString &request = QString())
{
    return ETFaultBuilder(request);
}

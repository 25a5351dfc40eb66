#pragma once

#include "etorderserverdouble.h"

// The one way tests build a fault of the order-server double, in one
// expression: fault("uploadctrl_request").action("start").code(ETServerCode::UploadRestart).times(2).
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
    // Every matching request, for the rest of the test.
    ETFaultBuilder &always() { return times(ETOrderServerFault::always); }
    // The reply's body goes at this many bytes a second, after the request was handled.
    ETFaultBuilder &rate(int bytesPerSecond)
    {
        m_fault.bytesPerSecond = bytesPerSecond;
        return *this;
    }
    // The whole reply text of a Raw fault.
    ETFaultBuilder &raw(const QString &body)
    {
        m_fault.kind = ETOrderServerFault::Raw;
        m_fault.body = body;
        return *this;
    }

    // A redirect to url (HTTP status 302 unless status() says otherwise).
    ETFaultBuilder &redirect(const QString &url)
    {
        m_fault.kind = ETOrderServerFault::Redirect;
        m_fault.location = url;
        return *this;
    }
    // Upload control hands out the pictures not received in turn, another one each time.
    ETFaultBuilder &alternatePositions()
    {
        m_fault.kind = ETOrderServerFault::AlternatePositions;
        return *this;
    }
    // The request is handled, and answered with this plain text.
    ETFaultBuilder &textAfterHandling(const QString &text)
    {
        m_fault.kind = ETOrderServerFault::TextAfterHandling;
        m_fault.body = text;
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

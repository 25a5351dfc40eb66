#pragma once

#include "ettestsandbox.h"

#include <QByteArray>

// The sandbox of the order tests: the dealer settings with a country and a currency.
class ResourceFolder : public ETTestSandbox
{
  public:
    explicit ResourceFolder(int country = 0, const char *currency = "EUR")
    {
        write(QStringLiteral("default.xml"),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<applicationConfig>\n"
                         "<keyaccount>test</keyaccount><keyaccountname>LumoTest</keyaccountname>\n"
                         "<programname>lumotest</programname><currency>") +
                  currency + "</currency><country>" + QByteArray::number(country) +
                  "</country><jpegquality>80</jpegquality>\n</applicationConfig>\n");
    }
};

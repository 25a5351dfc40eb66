#pragma once

#include "etnetworkingthread.h"

// The upload thread whose steps talk to the order server through the request
// layer (runs in the worker thread).
class ETNetworkingThreadDirect : public ETNetworkingThread
{
    Q_OBJECT

  public:
    ETNetworkingThreadDirect(ETNetworkingThreadListener *listener, bool skipPreparation,
                             ETNetworking *networking, ETOrder *order, bool declare, bool optimise,
                             bool webOption, QObject *parent = nullptr);

  public slots:
    bool upload() override;
    bool declareOrder() override;
};

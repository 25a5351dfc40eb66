#pragma once

#include "etthread.h"

class ETNetworking;
class ETNetworkingThreadListener;
class ETOrder;

// Sends one order in a worker thread: optimises the pictures, declares the
// order, uploads the pictures, finishes the order and ends the session. One
// object per attempt; the GUI thread starts it, waits for it and may cancel.
class ETNetworkingThread : public ETThread
{
    Q_OBJECT

  public:
    // A new thread that talks to the server directly; the caller owns it.
    static ETNetworkingThread *create(ETNetworkingThreadListener *listener, bool skipPreparation,
                                      ETNetworking *networking, ETOrder *order, bool declare, bool optimise,
                                      bool webOption);

    void optimizeImages();

  public slots:
    void cancel() override;
    virtual bool upload() = 0;
    virtual void prepare();
    virtual bool declareOrder() = 0;

  protected:
    ETNetworkingThread(ETNetworkingThreadListener *listener, bool skipPreparation, ETNetworking *networking,
                       ETOrder *order, bool declare, bool optimise, bool webOption,
                       QObject *parent = nullptr);
    void run() override;

    bool m_skipPreparation;
    ETNetworking *m_networking;
    ETOrder *m_order;
    ETNetworkingThreadListener *m_listener;
    bool m_declare;
    bool m_optimise;
    bool m_webOption;
};

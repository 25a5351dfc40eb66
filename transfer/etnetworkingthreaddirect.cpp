#include "etnetworkingthreaddirect.h"

#include "etnetworking.h"

ETNetworkingThreadDirect::ETNetworkingThreadDirect(ETNetworkingThreadListener *listener, bool skipPreparation,
                                                   ETNetworking *networking, ETOrder *order, bool declare,
                                                   bool optimise, bool webOption, QObject *parent)
    : ETNetworkingThread(listener, skipPreparation, networking, order, declare, optimise, webOption, parent)
{
}

bool ETNetworkingThreadDirect::declareOrder()
{
    return m_networking->orderDeclarationRequest(QString(), m_webOption);
}

bool ETNetworkingThreadDirect::upload()
{
    for (bool more = true;;) {
        if (!more) {
            if (!isCancelled()) {
                m_networking->orderFinishRequest();
                setFinished(!m_networking->hasError());
                if (!m_networking->hasError())
                    m_networking->endSessionAfterOrder();
            }
            return hasFinished();
        }
        if (isCancelled())
            return false;
        more = m_networking->upload();
        if (m_networking->hasError()) {
            setFinished(false);
            return false;
        }
    }
}

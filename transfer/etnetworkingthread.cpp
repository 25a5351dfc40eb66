#include "etnetworkingthread.h"

#include "etnetworking.h"
#include "etnetworkingerror.h"
#include "etnetworkinglog.h"
#include "etnetworkingthreaddirect.h"
#include "etnetworkingthreadlistener.h"
#include "etorder.h"

#include <QDebug>
#include <QList>
#include <QSize>

ETNetworkingThread *ETNetworkingThread::create(ETNetworkingThreadListener *listener, bool skipPreparation,
                                               ETNetworking *networking, ETOrder *order, bool declare,
                                               bool optimise, bool webOption)
{
    return new ETNetworkingThreadDirect(listener, skipPreparation, networking, order, declare, optimise,
                                        webOption);
}

ETNetworkingThread::ETNetworkingThread(ETNetworkingThreadListener *listener, bool skipPreparation,
                                       ETNetworking *networking, ETOrder *order, bool declare, bool optimise,
                                       bool webOption, QObject *parent)
    : ETThread(parent), m_skipPreparation(skipPreparation), m_networking(networking), m_order(order),
      m_listener(listener), m_declare(declare), m_optimise(optimise), m_webOption(webOption)
{
}

void ETNetworkingThread::cancel()
{
    ETThread::cancel();
    // Ends the running request or wait at once; nothing more goes out.
    m_networking->abort();
}

void ETNetworkingThread::prepare() {}

void ETNetworkingThread::run()
{
    setFinished(false);
    prepare();
    if (!m_skipPreparation && m_declare) {
        if (m_optimise) {
            // Named before anything reads them: a missing picture would only
            // show as a failed declaration, a pipe would hold the optimisation.
            if (!m_networking->checkOrderPictures())
                return;
            optimizeImages();
            if (isCancelled())
                return;
            if (m_listener)
                m_listener->setImagesOptimized(true);
        }
        declareOrder();
        if (m_networking->hasError() || isCancelled())
            return;
        if (m_listener)
            m_listener->setOrderDeclared(true);
    }
    upload();
    // The declaration no longer holds for a changed picture: a Retry makes
    // the copies and declares the order anew.
    if (m_listener && m_networking->errorCode() == ETNetworkingError::PictureChanged) {
        m_listener->setImagesOptimized(false);
        m_listener->setOrderDeclared(false);
    }
}

void ETNetworkingThread::optimizeImages()
{
    const QList<ETImage *> *images = m_order->distinctImages();
    const int number = int(images->size());
    qCDebug(lcNetworking, "optimizing %d images", number);
    int index = 0;
    for (ETImage *image : *images) {
        if (isCancelled())
            break;
        ++index;
        const QSize size = m_order->optimizeImage(image, index, number);
        qCDebug(lcNetworking, "optimizing image %d: %dx%d", index, size.width(), size.height());
    }
    qCDebug(lcNetworking, "all images optimized");
    delete images;
}

#include "etthumbnailloader.h"

#include "etimagethumbnailloader.h"

#include <QImage>
#include <QList>

namespace
{

QList<ETThumbnailLoader *> &chain()
{
    // The picture loader is made here rather than as a static object, which
    // a static library would drop unless something referred to it.
    // Never destroyed: loaders leave it from their destructors, also at exit.
    static auto *loaders = [] {
        static ETImageThumbnailLoader pictures;
        return new QList<ETThumbnailLoader *>{&pictures};
    }();
    return *loaders;
}

} // namespace

ETThumbnailLoader::ETThumbnailLoader(int priority) : m_priority(priority) {}

ETThumbnailLoader::~ETThumbnailLoader()
{
    removeFromChain(this);
}

void ETThumbnailLoader::addToChain(ETThumbnailLoader *loader)
{
    QList<ETThumbnailLoader *> &loaders = chain();
    if (loaders.contains(loader))
        return;
    qsizetype at = 0;
    while (at < loaders.size() && loaders.at(at)->priority() > loader->priority())
        ++at;
    loaders.insert(at, loader);
}

void ETThumbnailLoader::removeFromChain(ETThumbnailLoader *loader)
{
    chain().removeAll(loader);
}

QImage *ETThumbnailLoader::imageLoaderChainLoad(const QString &path, int width, int height, int *outWidth,
                                                int *outHeight)
{
    const QList<ETThumbnailLoader *> loaders = chain();
    for (ETThumbnailLoader *loader : loaders) {
        if (QImage *image = loader->load(path, width, height, outWidth, outHeight))
            return image;
    }
    return nullptr;
}

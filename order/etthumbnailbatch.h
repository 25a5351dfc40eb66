#pragma once

#include <QImage>
#include <QSize>
#include <QStringList>

#include <memory>

// A picture's thumbnail as a worker decodes it: the scaled image (null when the
// picture cannot be read) and the full picture's size.
struct ETDecodedThumbnail {
    QImage image;
    QSize fullSize;
};

// The thumbnails of a list of pictures, decoded ahead on worker threads (one
// per processor this process may run on) while the thread that made the batch
// takes them in list order. Every picture is decoded once. The workers only
// decode images; pixmaps are made by the taker (the GUI thread).
class ETThumbnailBatch
{
  public:
    // Decodes nothing before the first take: a batch that is never read starts no thread.
    ETThumbnailBatch(const QStringList &paths, const QSize &size);
    // Decodes not yet started are dropped; those running finish on their own.
    ~ETThumbnailBatch();
    ETThumbnailBatch(const ETThumbnailBatch &) = delete;
    ETThumbnailBatch &operator=(const ETThumbnailBatch &) = delete;

    // Waits for the thumbnail of paths[index] and hands it over; each index once.
    ETDecodedThumbnail take(int index);

    // One picture's thumbnail through the loader chain, fitting size; any thread.
    static ETDecodedThumbnail decode(const QString &path, const QSize &size);
    // The worker threads the batches share: the processors this process may run on.
    static int workerCount();

  private:
    struct State;
    void submitUpTo(int index);

    std::shared_ptr<State> m_state;
    int m_submitted = 0;
};

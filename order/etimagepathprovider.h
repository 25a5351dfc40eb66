#pragma once

#include <QString>

class ETImage;

// Names the client's own files about pictures (thumbnails, imageinfo files, work copies, numbered
// names, temporary folder). Replaceable singleton; the client's own provider keeps no such files.
class ETImagePathProvider
{
  public:
    explicit ETImagePathProvider(bool thumbnailFiles = false, bool metadataFiles = false,
                                 bool workCopies = false);
    virtual ~ETImagePathProvider() = default;
    ETImagePathProvider(const ETImagePathProvider &) = delete;
    ETImagePathProvider &operator=(const ETImagePathProvider &) = delete;

    static ETImagePathProvider *instance();
    // Destroys the current provider and makes the given one current; takes ownership.
    static void replace(ETImagePathProvider *provider);

    virtual QString thumbnailPath(ETImage *image);
    virtual QString imageInfoPath(ETImage *image);
    virtual QString workPath(const QString &internalName);
    virtual QString numberedName(const QString &extension);
    virtual QString tempDir();
    virtual QString optimizedName(int number);
    // Work files went (items removed, an upload step done): a provider that
    // keeps something per file may tidy up. Does nothing here.
    virtual void changed();
    // The same notification under the name the screens use.
    void workFilesChanged() { changed(); }
    virtual QString imageDir();
    virtual QString imageInfoDir();
    virtual QString albumDir();
    virtual QString thumbsDir();

    bool keepsThumbnailFiles() const { return m_thumbnailFiles; }
    bool keepsMetadataFiles() const { return m_metadataFiles; }
    bool makesWorkCopies() const { return m_workCopies; }

    // The next picture number whose optimised name is free in the temporary folder.
    int nextNumber();

    // Restarts the picture numbering; for tests only.
    static void resetCounterForTests();

  private:
    bool m_thumbnailFiles;
    bool m_metadataFiles;
    bool m_workCopies;
};

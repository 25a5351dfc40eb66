#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class ETRequesterPresenter;
class QWidget;

// The one facade for every message box and requester: owns the texts of each situation (GUI thread only).
class ETRequesterController : public QObject
{
    Q_OBJECT

  public:
    static ETRequesterController *instance();

    // Replaces the presenter (not owned); null brings back the real dialogs. Tests answer boxes through it.
    void setPresenter(ETRequesterPresenter *presenter);
    ETRequesterPresenter *presenter() const;

    // Buttons are QMessageBox::StandardButton codes, optionally or-ed with QMessageBox::Default or Escape;
    // the first one is the default unless another is marked. Returns the pressed button's code.
    int messageBox(const QString &caption, const QString &text, QMessageBox::Icon icon, int button0,
                   int button1 = 0, int button2 = 0, QWidget *parent = nullptr);
    int warning(const QString &caption, const QString &text, Qt::TextFormat format = Qt::AutoText);
    // 0 for OK, 1 for Retry, 2 for Abort.
    int warningOkRetryAbort(const QString &caption, const QString &text,
                            Qt::TextFormat format = Qt::AutoText);
    bool warningRetryCancel(const QString &caption, const QString &text,
                            Qt::TextFormat format = Qt::AutoText);
    bool question(const QString &caption, const QString &text, Qt::TextFormat format = Qt::AutoText);
    int information(const QString &caption, const QString &text, Qt::TextFormat format = Qt::AutoText);
    bool informationOkCancel(const QString &caption, const QString &text,
                             Qt::TextFormat format = Qt::AutoText);

    void albumNotCreated(const QString &name);
    void albumExists(const QString &name);
    void albumNameTooLong(const QString &name, int maxLength);
    void invalidAlbumName(const QString &name);
    bool confirmDeleteAlbum(const QString &name);
    void albumNotDeletable(const QString &name);
    void albumDeleteFailed(const QString &name);
    void noImagesFound();
    bool confirmDeleteImages(const QString &kindWord, const QString &name);
    bool confirmDeleteImagesFromAlbum(const QString &albumName);
    bool confirmDeleteImagesFromDirectory(const QString &path);
    int entryNotDeletable(const QString &path);
    void openFailed(const QString &name);
    void saveFailed(const QString &path);
    bool confirmOverwriteImage(const QString &name);
    void imagesAlreadyInAlbum(int count);
    void fileCreateFailed(const QString &path);
    void renameFailed(const QString &firstPath, const QString &secondPath);
    void directoryNotWritable(const QString &path);
    void fileNotCreated(const QString &path);
    void diskWriteFailed();
    void fileCopyFailed();
    bool copyFailed();
    void workDirChanged();
    void noSelection();
    bool confirmQuit();
    void mixedFormats();
    // validUntil as the card page shows it (MM/YY).
    void cardExpired(const QString &validUntil);
    void tooManyImages(int maxCount);
    bool cdBurnFailed(const QString &text);
    void packageListFailed(const QString &reason);
    void diskImageFailed();
    void isoImageFailed();
    bool insertBlankCD();
    void imageLoadFailed();
    bool noMediumInserted();
    void tooManyImagesOnMedium(int count);
    void isoImageCreated();
    void about();

    // Each returns a null text (or an empty list) when cancelled.
    QString getExistingDirectory(const QString &startDir, bool dirOnly, const QString &caption = QString(),
                                 QWidget *parent = nullptr);
    QString getSaveFileName(const QString &startWith, const QString &filter,
                            const QString &caption = QString(), QWidget *parent = nullptr);
    QStringList getOpenFileNames(const QString &startDir, const QString &filter,
                                 const QString &caption = QString(), QWidget *parent = nullptr);
    QString getText(const QString &caption, const QString &label, const QString &text = QString(),
                    QWidget *parent = nullptr);
    QString getItem(const QString &caption, const QString &label, const QStringList &items);

  private:
    ETRequesterController();
    ~ETRequesterController() override;

    QMessageBox::StandardButton ask(const QString &caption, const QString &text, Qt::TextFormat format,
                                    QMessageBox::Icon icon, int button0, int button1, int button2);

    QString m_yesText;
    QString m_noText;
    QString m_deleteCaption;
    QString m_saveCaption;
    QString m_writeCaption;
    QString m_attentionCaption;
    std::unique_ptr<ETRequesterPresenter> m_defaultPresenter;
    ETRequesterPresenter *m_presenter = nullptr;
};

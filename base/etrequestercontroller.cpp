#include "etrequestercontroller.h"

#include "etapplicationconfig.h"
#include "etdialogpresenter.h"

#include <QDebug>
#include <QDir>

namespace
{

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// A value inside a rich text must not turn into markup.
QString escaped(const QString &value)
{
    return value.toHtmlEscaped();
}

// Texts without a placeholder still show the value: after a blank, at the end.
QString appended(const QString &text, const QString &value)
{
    return text + QLatin1Char(' ') + value;
}

QString richText(const QString &inner)
{
    return QLatin1String("<qt>") + inner + QLatin1String("</qt>");
}

} // namespace

ETRequesterController *ETRequesterController::instance()
{
    static ETRequesterController *controller = new ETRequesterController();
    return controller;
}

ETRequesterController::ETRequesterController()
    : QObject(nullptr), m_yesText(tr("Ja")), m_noText(tr("Nein")), m_deleteCaption(tr("Wirklich löschen?")),
      m_saveCaption(tr("Speichern fehlgeschlagen")), m_writeCaption(tr("Schreibfehler")),
      m_attentionCaption(tr("Achtung")), m_defaultPresenter(std::make_unique<ETDialogPresenter>()),
      m_presenter(m_defaultPresenter.get())
{
}

ETRequesterController::~ETRequesterController() = default;

void ETRequesterController::setPresenter(ETRequesterPresenter *presenter)
{
    m_presenter = presenter ? presenter : m_defaultPresenter.get();
}

ETRequesterPresenter *ETRequesterController::presenter() const
{
    return m_presenter;
}

QMessageBox::StandardButton ETRequesterController::ask(const QString &caption, const QString &text,
                                                       Qt::TextFormat format, QMessageBox::Icon icon,
                                                       int button0, int button1, int button2)
{
    ETMessageBoxRequest request;
    request.caption = caption;
    request.text = text;
    request.textFormat = format;
    request.icon = icon;
    request.objectName = QStringLiteral("reqctrl_msgbox");
    for (int code : {button0, button1, button2}) {
        const auto button = QMessageBox::StandardButton(code & QMessageBox::ButtonMask);
        if (button == QMessageBox::NoButton)
            continue;
        request.buttons.append(button);
        if (code & QMessageBox::Default)
            request.defaultButton = button;
        if (code & QMessageBox::Escape)
            request.escapeButton = button;
    }
    if (request.defaultButton == QMessageBox::NoButton && !request.buttons.isEmpty())
        request.defaultButton = request.buttons.first();
    return m_presenter->messageBox(request);
}

int ETRequesterController::messageBox(const QString &caption, const QString &text, QMessageBox::Icon icon,
                                      int button0, int button1, int button2, QWidget *parent)
{
    // The box never gets a parent: it must stay usable while the caller's window is being torn down.
    Q_UNUSED(parent);
    return ask(caption, text, Qt::AutoText, icon, button0, button1, button2);
}

int ETRequesterController::warning(const QString &caption, const QString &text, Qt::TextFormat format)
{
    return ask(caption, text, format, QMessageBox::Warning,
               QMessageBox::Ok | QMessageBox::Default | QMessageBox::Escape, 0, 0);
}

int ETRequesterController::warningOkRetryAbort(const QString &caption, const QString &text,
                                               Qt::TextFormat format)
{
    const QMessageBox::StandardButton pressed =
        ask(caption, text, format, QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Default,
            QMessageBox::Retry, QMessageBox::Abort | QMessageBox::Escape);
    if (pressed == QMessageBox::Ok)
        return 0;
    if (pressed == QMessageBox::Retry)
        return 1;
    return 2;
}

bool ETRequesterController::warningRetryCancel(const QString &caption, const QString &text,
                                               Qt::TextFormat format)
{
    return ask(caption, text, format, QMessageBox::Warning, QMessageBox::Retry | QMessageBox::Default,
               QMessageBox::Cancel | QMessageBox::Escape, 0) == QMessageBox::Retry;
}

bool ETRequesterController::question(const QString &caption, const QString &text, Qt::TextFormat format)
{
    return ask(caption, text, format, QMessageBox::Question, QMessageBox::Yes,
               QMessageBox::No | QMessageBox::Default | QMessageBox::Escape, 0) == QMessageBox::Yes;
}

int ETRequesterController::information(const QString &caption, const QString &text, Qt::TextFormat format)
{
    return ask(caption, text, format, QMessageBox::Information,
               QMessageBox::Ok | QMessageBox::Default | QMessageBox::Escape, 0, 0);
}

bool ETRequesterController::informationOkCancel(const QString &caption, const QString &text,
                                                Qt::TextFormat format)
{
    return ask(caption, text, format, QMessageBox::Information, QMessageBox::Ok | QMessageBox::Default,
               QMessageBox::Cancel | QMessageBox::Escape, 0) == QMessageBox::Ok;
}

void ETRequesterController::albumNotCreated(const QString &name)
{
    warning(tr("Album nicht angelegt"),
            tr("Das Anlegen des Albums %1 ist fehlgeschlagen. Mögliche Ursache: Sonderzeichen im Namen")
                .arg(name),
            Qt::PlainText);
}

void ETRequesterController::albumExists(const QString &name)
{
    warning(tr("Album existiert"), appended(tr("Ein Album mit diesem Namen existiert bereits!"), name),
            Qt::PlainText);
}

void ETRequesterController::albumNameTooLong(const QString &name, int maxLength)
{
    warning(appended(tr("Album Name ist zu lang"), name),
            tr("Maximal %1 Zeichen sind zulässig").arg(maxLength), Qt::PlainText);
}

void ETRequesterController::invalidAlbumName(const QString &name)
{
    warning(appended(tr("Ungültiger Name"), name),
            appended(tr("Bitte wählen Sie einen anderen Namen für das Album!"), name), Qt::PlainText);
}

bool ETRequesterController::confirmDeleteAlbum(const QString &name)
{
    return question(tr("Album löschen"), tr("Soll das Album %1 wirklich gelöscht werden?").arg(name),
                    Qt::PlainText);
}

void ETRequesterController::albumNotDeletable(const QString &name)
{
    warning(tr("Album löschen"), appended(tr("Dieses Album kann nicht gelöscht werden."), name),
            Qt::PlainText);
}

void ETRequesterController::albumDeleteFailed(const QString &name)
{
    warning(tr("Album löschen"), appended(tr("Achtung: Album löschen fehlgeschlagen!"), name), Qt::PlainText);
}

void ETRequesterController::noImagesFound()
{
    information(m_attentionCaption, tr("Es wurden keine Bilder gefunden"), Qt::PlainText);
}

bool ETRequesterController::confirmDeleteImages(const QString &kindWord, const QString &name)
{
    //: NOTE: %1 will be replaced with the word "Album" or "Verzeichnis", %2 with it's name (at runtime)
    const QString text = tr("Sollen die ausgewählten Bilder wirklich aus dem %1 \"%2\" gelöscht werden?");
    return question(m_deleteCaption, text.arg(kindWord, name), Qt::PlainText);
}

bool ETRequesterController::confirmDeleteImagesFromAlbum(const QString &albumName)
{
    return confirmDeleteImages(tr("Album"), albumName);
}

bool ETRequesterController::confirmDeleteImagesFromDirectory(const QString &path)
{
    return confirmDeleteImages(tr("Verzeichnis"), nativePath(path));
}

int ETRequesterController::entryNotDeletable(const QString &path)
{
    return warningOkRetryAbort(tr("Fehler beim Löschen"),
                               tr("Der Eintrag %1 kann nicht gelöscht werden.").arg(nativePath(path)),
                               Qt::PlainText);
}

void ETRequesterController::openFailed(const QString &name)
{
    warning(m_saveCaption, tr("Fehler beim Öffnen von %1").arg(name), Qt::PlainText);
}

void ETRequesterController::saveFailed(const QString &path)
{
    warning(m_saveCaption, tr("Fehler beim Speichern von %1!").arg(nativePath(path)), Qt::PlainText);
}

bool ETRequesterController::confirmOverwriteImage(const QString &name)
{
    return question(
        tr("Bild existiert"),
        tr("<qt>Ein Bild mit dem Namen %1 existiert bereits.<br>Wollen Sie es überschreiben?</qt>")
            .arg(escaped(name)),
        Qt::RichText);
}

void ETRequesterController::imagesAlreadyInAlbum(int count)
{
    information(
        tr("Bilder vorhanden"),
        tr("<qt>%1 Bilder wurden nicht eingefügt, weil sie im Album vorhanden waren.</qt>").arg(count),
        Qt::RichText);
}

void ETRequesterController::fileCreateFailed(const QString &path)
{
    warning(m_writeCaption,
            tr("<qt>Die Datei %1 konnte nicht angelegt werden</qt>").arg(escaped(nativePath(path))),
            Qt::RichText);
}

void ETRequesterController::renameFailed(const QString &firstPath, const QString &secondPath)
{
    const QString text = tr("<qt>Umbenennen nicht möglich. Eventuell befindet sich die Datei auf einem "
                            "schreibgeschützten Medium (z.B. CD-ROM)</qt>");
    warning(tr("Umbenennen fehlgeschlagen"),
            appended(appended(text, escaped(nativePath(firstPath))), escaped(nativePath(secondPath))),
            Qt::RichText);
}

void ETRequesterController::directoryNotWritable(const QString &path)
{
    warning(
        m_writeCaption,
        richText(tr("In das Verzeichnis %1 konnte nicht geschrieben werden.").arg(escaped(nativePath(path)))),
        Qt::RichText);
}

void ETRequesterController::fileNotCreated(const QString &path)
{
    warning(m_writeCaption,
            richText(tr("Die Datei %1 konnte nicht angelegt werden").arg(escaped(nativePath(path)))),
            Qt::RichText);
}

void ETRequesterController::diskWriteFailed()
{
    warning(
        m_writeCaption,
        tr("<qt>Das Schreiben von Daten auf die Festplatte ist fehlgeschlagen.<br>Bitte prüfen Sie, ob die "
           "Festplatte voll ist!</qt>"),
        Qt::RichText);
}

void ETRequesterController::fileCopyFailed()
{
    warning(tr("Kopieren fehlgeschlagen"),
            tr("<qt>Eine Datei konnte nicht kopiert werden.  Bitte prüfen Sie, ob die Festplatte voll ist.  "
               "Wenn Sie "
               "Bilder aus einem Wechselmedium (CD oder Kartenleser) übernehmen, prüfen Sie, ob das Medium "
               "eingelegt ist.</qt>"),
            Qt::RichText);
}

bool ETRequesterController::copyFailed()
{
    return warningRetryCancel(
        tr("Dateien kopieren"),
        tr("<qt>Kopieren der Bilddaten fehlgeschlagen.  Bitte wenden Sie sich an den Administrator.</qt>"),
        Qt::RichText);
}

void ETRequesterController::workDirChanged()
{
    warning(tr("Warnung"),
            tr("Sie haben das Arbeitsverzeichnis gewechselt. Bitte beenden Sie die Applikation und starten "
               "Sie neu."),
            Qt::PlainText);
}

void ETRequesterController::noSelection()
{
    warning(
        tr("Keine Auswahl"),
        tr("<qt>Um diese Operation auszuführen, müssen sie zuerst eine Auswahl mit der Maus festlegen.</qt>"),
        Qt::RichText);
}

void ETRequesterController::cardExpired(const QString &validUntil)
{
    warning(tr("Kreditkarte abgelaufen"),
            tr("<qt>Die Kreditkarte ist nur bis %1 gültig und damit abgelaufen.<br>Bitte prüfen Sie die "
               "Angabe „Gültig bis“ oder geben Sie eine gültige Karte an.</qt>")
                .arg(validUntil.toHtmlEscaped()),
            Qt::RichText);
}

bool ETRequesterController::confirmQuit()
{
    return question(m_attentionCaption, tr("Wollen Sie das Programm wirklich beenden?"), Qt::PlainText);
}

void ETRequesterController::mixedFormats()
{
    information(
        tr("Mischauftrag"),
        tr("<qt>Sie haben Bilder in verschiedenen Formaten bestellt. Bitte beachten Sie, dass dies zu "
           "längeren Lieferzeiten und höheren Preisen führen kann!</qt>"),
        Qt::RichText);
}

void ETRequesterController::tooManyImages(int maxCount)
{
    information(tr("Hinweis"), tr("Sie können nur %1 Bilder gleichzeitig bestellen").arg(maxCount),
                Qt::PlainText);
}

bool ETRequesterController::cdBurnFailed(const QString &text)
{
    // The burner's own text; it decides whether it is rich.
    return warningRetryCancel(tr("CD Burn"), text, Qt::AutoText);
}

void ETRequesterController::packageListFailed(const QString &reason)
{
    warning(tr("Keine Glimby-Pakete gefunden"),
            tr("<qt>Die Glimby-Paketliste konnte nicht geladen werden:<br>%1</qt>").arg(escaped(reason)),
            Qt::RichText);
}

void ETRequesterController::diskImageFailed()
{
    warning(tr("CD DiskImage"), tr("Anlegen des DiskImage fehlgeschlagen"), Qt::PlainText);
}

void ETRequesterController::isoImageFailed()
{
    warning(tr("CD IsoImage"), tr("Anlegen des IsoImage fehlgeschlagen"), Qt::PlainText);
}

bool ETRequesterController::insertBlankCD()
{
    return informationOkCancel(tr("CD einlegen"), tr("Bitte legen Sie einen CD-Rohling ein"), Qt::PlainText);
}

void ETRequesterController::imageLoadFailed()
{
    warning(tr("Ladefehler"), tr("Das Bild kann nicht geladen werden."), Qt::PlainText);
}

bool ETRequesterController::noMediumInserted()
{
    return warningRetryCancel(m_attentionCaption, tr("Es wurde kein Medium eingelegt."), Qt::PlainText);
}

void ETRequesterController::tooManyImagesOnMedium(int count)
{
    information(
        m_attentionCaption,
        tr("<qt>Es befinden sich mehr als %1 Bilder auf dem Medium.  Daher werden nicht alle angezeigt."
           "<p>Benutzen Sie für weitere Bilder bitte die Funktion<br>'Bilder wählen... -> aus "
           "Verzeichnis'<br> im Menü 'Datei'.</qt>")
            .arg(count),
        Qt::RichText);
}

void ETRequesterController::isoImageCreated()
{
    information(
        m_attentionCaption,
        tr("<qt>Es wurde ein ISO-Image erzeugt.<br> Dieses muß als Diskimage mit einem Brennprogramm auf "
           "eine CD gebrannt werden. Wählen sie z.B. bei Nero im Menü 'Datei' die Option 'CD-Image "
           "Brennen'.</qt>"),
        Qt::RichText);
}

void ETRequesterController::about()
{
    ETApplicationConfig *config = ETApplicationConfig::instance();
    QString text = QLatin1String("<qt>");
    text += tr("Version: ") + escaped(config->version()) + QLatin1String("<br>");
    text += QLatin1String("FINAL-VERSION<br>");
    text += tr("Hergestellt von Lumo Digital") + QLatin1String("<br><br>");
    text += tr("Dieses Programm verwendet Qt in der Version %1.").arg(QString::fromLatin1(qVersion())) +
            QLatin1String("<br>");
    text += tr("Dieses Programm verwendet libcurl in der Version %1.").arg(QLatin1String("7.10.7")) +
            QLatin1String("<br>");
    text += tr("Dieses Programm verwendet OpenSSL und SSLeay.") + QLatin1String("<br>");
    text += tr("Dieses Programm verwendet eine Bildbibliothek.") + QLatin1String("<br>");
    text += tr("Dieses Programm verwendet die JPEG-Bibliothek der Independent JPEG Group.");
    text += QLatin1String("</qt>");
    ask(config->programName(), text, Qt::RichText, QMessageBox::Information,
        QMessageBox::Ok | QMessageBox::Default | QMessageBox::Escape, 0, 0);
}

QString ETRequesterController::getExistingDirectory(const QString &startDir, bool dirOnly,
                                                    const QString &caption, QWidget *parent)
{
    qDebug("ETRequesterController::getExistingDirectory()");
    const QString shownCaption = caption.isNull() ? tr("Bitte wählen Sie ein Verzeichnis") : caption;
    return m_presenter->getExistingDirectory(startDir, dirOnly, shownCaption, parent);
}

QString ETRequesterController::getSaveFileName(const QString &startWith, const QString &filter,
                                               const QString &caption, QWidget *parent)
{
    qDebug("ETRequesterController::getSaveFileName()");
    return m_presenter->getSaveFileName(startWith, filter, caption, parent);
}

QStringList ETRequesterController::getOpenFileNames(const QString &startDir, const QString &filter,
                                                    const QString &caption, QWidget *parent)
{
    qDebug("ETRequesterController::getOpenFileNames()");
    return m_presenter->getOpenFileNames(startDir, filter, caption, parent);
}

QString ETRequesterController::getText(const QString &caption, const QString &label, const QString &text,
                                       QWidget *parent)
{
    return m_presenter->getText(caption, label, text, parent);
}

QString ETRequesterController::getItem(const QString &caption, const QString &label, const QStringList &items)
{
    return m_presenter->getItem(caption, label, items);
}

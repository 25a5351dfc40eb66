#include "etrequestercontroller.h"
#include "etdialogpresenter.h"
#include "etdialogskin.h"
#include "etrecordingpresenter.h"
#include "ettestapplication.h"
#include "ettestsandbox.h"
#include "ettestwait.h"
#include "qtprinters.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace
{

using Buttons = QList<QMessageBox::StandardButton>;
using Call = std::function<void(ETRequesterController *)>;

const Buttons ok{QMessageBox::Ok};
const Buttons okRetryAbort{QMessageBox::Ok, QMessageBox::Retry, QMessageBox::Abort};
const Buttons retryCancel{QMessageBox::Retry, QMessageBox::Cancel};
const Buttons yesNo{QMessageBox::Yes, QMessageBox::No};
const Buttons okCancel{QMessageBox::Ok, QMessageBox::Cancel};

struct Situation {
    const char *name;
    Call call;
    QString caption;
    QString text;
    QMessageBox::Icon icon;
    Buttons buttons;
    QMessageBox::StandardButton defaultButton;
};

QString s(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

const QString path = QStringLiteral("/daten/bilder");

std::vector<Situation> situations()
{
    using C = ETRequesterController;
    const auto W = QMessageBox::Warning;
    const auto I = QMessageBox::Information;
    const auto Q = QMessageBox::Question;
    const auto Ok = QMessageBox::Ok;
    const auto Retry = QMessageBox::Retry;
    const auto No = QMessageBox::No;
    return {
        {"albumNotCreated", [](C *c) { c->albumNotCreated("Urlaub"); }, s("Album nicht angelegt"),
         s("Das Anlegen des Albums Urlaub ist fehlgeschlagen. Mögliche Ursache: Sonderzeichen im Namen"), W,
         ok, Ok},
        {"albumExists", [](C *c) { c->albumExists("Urlaub"); }, s("Album existiert"),
         s("Ein Album mit diesem Namen existiert bereits! Urlaub"), W, ok, Ok},
        {"albumNameTooLong", [](C *c) { c->albumNameTooLong("Urlaub", 12); },
         s("Album Name ist zu lang Urlaub"), s("Maximal 12 Zeichen sind zulässig"), W, ok, Ok},
        {"invalidAlbumName", [](C *c) { c->invalidAlbumName("Urlaub"); }, s("Ungültiger Name Urlaub"),
         s("Bitte wählen Sie einen anderen Namen für das Album! Urlaub"), W, ok, Ok},
        {"confirmDeleteAlbum", [](C *c) { c->confirmDeleteAlbum("Urlaub"); }, s("Album löschen"),
         s("Soll das Album Urlaub wirklich gelöscht werden?"), Q, yesNo, No},
        {"albumNotDeletable", [](C *c) { c->albumNotDeletable("Urlaub"); }, s("Album löschen"),
         s("Dieses Album kann nicht gelöscht werden. Urlaub"), W, ok, Ok},
        {"albumDeleteFailed", [](C *c) { c->albumDeleteFailed("Urlaub"); }, s("Album löschen"),
         s("Achtung: Album löschen fehlgeschlagen! Urlaub"), W, ok, Ok},
        {"noImagesFound", [](C *c) { c->noImagesFound(); }, s("Achtung"),
         s("Es wurden keine Bilder gefunden"), I, ok, Ok},
        {"confirmDeleteImages", [](C *c) { c->confirmDeleteImages("Ordner", "Urlaub"); },
         s("Wirklich löschen?"),
         s("Sollen die ausgewählten Bilder wirklich aus dem Ordner \"Urlaub\" gelöscht werden?"), Q, yesNo,
         No},
        {"confirmDeleteImagesFromAlbum", [](C *c) { c->confirmDeleteImagesFromAlbum("Urlaub"); },
         s("Wirklich löschen?"),
         s("Sollen die ausgewählten Bilder wirklich aus dem Album \"Urlaub\" gelöscht werden?"), Q, yesNo,
         No},
        {"confirmDeleteImagesFromDirectory", [](C *c) { c->confirmDeleteImagesFromDirectory(path); },
         s("Wirklich löschen?"),
         s("Sollen die ausgewählten Bilder wirklich aus dem Verzeichnis \"") +
             QDir::toNativeSeparators(path) + s("\" gelöscht werden?"),
         Q, yesNo, No},
        {"entryNotDeletable", [](C *c) { c->entryNotDeletable(path); }, s("Fehler beim Löschen"),
         s("Der Eintrag /daten/bilder kann nicht gelöscht werden."), W, okRetryAbort, Ok},
        {"openFailed", [](C *c) { c->openFailed("liste.txt"); }, s("Speichern fehlgeschlagen"),
         s("Fehler beim Öffnen von liste.txt"), W, ok, Ok},
        {"saveFailed", [](C *c) { c->saveFailed(path); }, s("Speichern fehlgeschlagen"),
         s("Fehler beim Speichern von /daten/bilder!"), W, ok, Ok},
        {"confirmOverwriteImage", [](C *c) { c->confirmOverwriteImage("bild.jpg"); }, s("Bild existiert"),
         s("<qt>Ein Bild mit dem Namen bild.jpg existiert bereits.<br>Wollen Sie es überschreiben?</qt>"), Q,
         yesNo, No},
        {"imagesAlreadyInAlbum", [](C *c) { c->imagesAlreadyInAlbum(3); }, s("Bilder vorhanden"),
         s("<qt>3 Bilder wurden nicht eingefügt, weil sie im Album vorhanden waren.</qt>"), I, ok, Ok},
        {"fileCreateFailed", [](C *c) { c->fileCreateFailed(path); }, s("Schreibfehler"),
         s("<qt>Die Datei /daten/bilder konnte nicht angelegt werden</qt>"), W, ok, Ok},
        {"renameFailed", [](C *c) { c->renameFailed("/a/x.jpg", "/a/y.jpg"); },
         s("Umbenennen fehlgeschlagen"),
         s("<qt>Umbenennen nicht möglich. Eventuell befindet sich die Datei auf einem schreibgeschützten "
           "Medium "
           "(z.B. CD-ROM)</qt> /a/x.jpg /a/y.jpg"),
         W, ok, Ok},
        {"directoryNotWritable", [](C *c) { c->directoryNotWritable(path); }, s("Schreibfehler"),
         s("<qt>In das Verzeichnis /daten/bilder konnte nicht geschrieben werden.</qt>"), W, ok, Ok},
        {"fileNotCreated", [](C *c) { c->fileNotCreated(path); }, s("Schreibfehler"),
         s("<qt>Die Datei /daten/bilder konnte nicht angelegt werden</qt>"), W, ok, Ok},
        {"diskWriteFailed", [](C *c) { c->diskWriteFailed(); }, s("Schreibfehler"),
         s("<qt>Das Schreiben von Daten auf die Festplatte ist fehlgeschlagen.<br>Bitte prüfen Sie, ob die "
           "Festplatte voll ist!</qt>"),
         W, ok, Ok},
        {"fileCopyFailed", [](C *c) { c->fileCopyFailed(); }, s("Kopieren fehlgeschlagen"),
         s("<qt>Eine Datei konnte nicht kopiert werden.  Bitte prüfen Sie, ob die Festplatte voll ist.  Wenn "
           "Sie "
           "Bilder aus einem Wechselmedium (CD oder Kartenleser) übernehmen, prüfen Sie, ob das Medium "
           "eingelegt "
           "ist.</qt>"),
         W, ok, Ok},
        {"copyFailed", [](C *c) { c->copyFailed(); }, s("Dateien kopieren"),
         s("<qt>Kopieren der Bilddaten fehlgeschlagen.  Bitte wenden Sie sich an den Administrator.</qt>"), W,
         retryCancel, Retry},
        {"workDirChanged", [](C *c) { c->workDirChanged(); }, s("Warnung"),
         s("Sie haben das Arbeitsverzeichnis gewechselt. Bitte beenden Sie die Applikation und starten Sie "
           "neu."),
         W, ok, Ok},
        {"noSelection", [](C *c) { c->noSelection(); }, s("Keine Auswahl"),
         s("<qt>Um diese Operation auszuführen, müssen sie zuerst eine Auswahl mit der Maus festlegen.</qt>"),
         W, ok, Ok},
        {"confirmQuit", [](C *c) { c->confirmQuit(); }, s("Achtung"),
         s("Wollen Sie das Programm wirklich beenden?"), Q, yesNo, No},
        {"mixedFormats", [](C *c) { c->mixedFormats(); }, s("Mischauftrag"),
         s("<qt>Sie haben Bilder in verschiedenen Formaten bestellt. Bitte beachten Sie, dass dies zu "
           "längeren "
           "Lieferzeiten und höheren Preisen führen kann!</qt>"),
         I, ok, Ok},
        {"tooManyImages", [](C *c) { c->tooManyImages(250); }, s("Hinweis"),
         s("Sie können nur 250 Bilder gleichzeitig bestellen"), I, ok, Ok},
        {"cdBurnFailed", [](C *c) { c->cdBurnFailed("Brenner meldet Fehler 7"); }, s("CD Burn"),
         s("Brenner meldet Fehler 7"), W, retryCancel, Retry},
        {"packageListFailed", [](C *c) { c->packageListFailed("keine Verbindung"); },
         s("Keine Glimby-Pakete gefunden"),
         s("<qt>Die Glimby-Paketliste konnte nicht geladen werden:<br>keine Verbindung</qt>"), W, ok, Ok},
        {"diskImageFailed", [](C *c) { c->diskImageFailed(); }, s("CD DiskImage"),
         s("Anlegen des DiskImage fehlgeschlagen"), W, ok, Ok},
        {"isoImageFailed", [](C *c) { c->isoImageFailed(); }, s("CD IsoImage"),
         s("Anlegen des IsoImage fehlgeschlagen"), W, ok, Ok},
        {"insertBlankCD", [](C *c) { c->insertBlankCD(); }, s("CD einlegen"),
         s("Bitte legen Sie einen CD-Rohling ein"), I, okCancel, Ok},
        {"imageLoadFailed", [](C *c) { c->imageLoadFailed(); }, s("Ladefehler"),
         s("Das Bild kann nicht geladen werden."), W, ok, Ok},
        {"noMediumInserted", [](C *c) { c->noMediumInserted(); }, s("Achtung"),
         s("Es wurde kein Medium eingelegt."), W, retryCancel, Retry},
        {"tooManyImagesOnMedium", [](C *c) { c->tooManyImagesOnMedium(500); }, s("Achtung"),
         s("<qt>Es befinden sich mehr als 500 Bilder auf dem Medium.  Daher werden nicht alle "
           "angezeigt.<p>Benutzen "
           "Sie für weitere Bilder bitte die Funktion<br>'Bilder wählen... -> aus Verzeichnis'<br> im Menü "
           "'Datei'.</qt>"),
         I, ok, Ok},
        {"isoImageCreated", [](C *c) { c->isoImageCreated(); }, s("Achtung"),
         s("<qt>Es wurde ein ISO-Image erzeugt.<br> Dieses muß als Diskimage mit einem Brennprogramm auf "
           "eine CD "
           "gebrannt werden. Wählen sie z.B. bei Nero im Menü 'Datei' die Option 'CD-Image Brennen'.</qt>"),
         I, ok, Ok},
    };
}

::testing::AssertionResult shows(const ETRecordedRequest &shown, const Situation &expected)
{
    if (shown.kind != ETRecordedRequest::MessageBox)
        return ::testing::AssertionFailure() << "no message box was shown";
    const ETMessageBoxRequest &box = shown.box;
    if (box.caption != expected.caption)
        return ::testing::AssertionFailure() << "caption: expected \"" << expected.caption.toStdString()
                                             << "\", shown \"" << box.caption.toStdString() << "\"";
    if (box.text != expected.text)
        return ::testing::AssertionFailure() << "text: expected \"" << expected.text.toStdString()
                                             << "\", shown \"" << box.text.toStdString() << "\"";
    if (box.icon != expected.icon)
        return ::testing::AssertionFailure() << "icon: expected " << expected.icon << ", shown " << box.icon;
    if (box.buttons != expected.buttons)
        return ::testing::AssertionFailure() << "buttons differ: expected " << expected.buttons.size()
                                             << " buttons, shown " << box.buttons.size();
    if (box.defaultButton != expected.defaultButton)
        return ::testing::AssertionFailure()
               << "default button: expected " << expected.defaultButton << ", shown " << box.defaultButton;
    if (box.objectName != QLatin1String("reqctrl_msgbox"))
        return ::testing::AssertionFailure() << "box named " << box.objectName.toStdString();
    const bool rich = expected.text.startsWith(QLatin1String("<qt>"));
    if (rich && box.textFormat != Qt::RichText)
        return ::testing::AssertionFailure() << "a rich text shown as " << box.textFormat;
    return ::testing::AssertionSuccess();
}

class RequesterControllerTest : public ::testing::Test
{
  protected:
    void SetUp() override { ETTestApplication::instance(); }
};

TEST_F(RequesterControllerTest, EverySituationShowsItsCaptionTextAndButtons)
{
    ETRecordingPresenter presenter;
    for (const Situation &situation : situations()) {
        SCOPED_TRACE(situation.name);
        presenter.clear();
        situation.call(ETRequesterController::instance());
        ASSERT_EQ(presenter.requests().size(), 1);
        EXPECT_TRUE(shows(presenter.last(), situation));
    }
}

TEST_F(RequesterControllerTest, SituationsReturnTheAnswerOfTheirKind)
{
    ETRecordingPresenter presenter;
    ETRequesterController *controller = ETRequesterController::instance();
    // Unanswered boxes take their default button.
    EXPECT_FALSE(controller->confirmQuit());
    EXPECT_TRUE(controller->copyFailed());
    EXPECT_TRUE(controller->insertBlankCD());
    EXPECT_EQ(controller->entryNotDeletable(path), 0);

    struct Answer {
        const char *name;
        QMessageBox::StandardButton button;
        std::function<int()> call;
        int expected;
    };
    const std::vector<Answer> answers{
        {"question yes", QMessageBox::Yes, [&] { return int(controller->confirmDeleteAlbum("a")); }, 1},
        {"question no", QMessageBox::No, [&] { return int(controller->confirmDeleteAlbum("a")); }, 0},
        {"retry", QMessageBox::Retry, [&] { return int(controller->noMediumInserted()); }, 1},
        {"cancel retry", QMessageBox::Cancel, [&] { return int(controller->cdBurnFailed("x")); }, 0},
        {"ok of ok/cancel", QMessageBox::Ok, [&] { return int(controller->insertBlankCD()); }, 1},
        {"cancel of ok/cancel", QMessageBox::Cancel, [&] { return int(controller->insertBlankCD()); }, 0},
        {"ok of three", QMessageBox::Ok, [&] { return controller->entryNotDeletable(path); }, 0},
        {"retry of three", QMessageBox::Retry, [&] { return controller->entryNotDeletable(path); }, 1},
        {"abort of three", QMessageBox::Abort, [&] { return controller->entryNotDeletable(path); }, 2},
    };
    for (const Answer &answer : answers) {
        SCOPED_TRACE(answer.name);
        presenter.answerBox(answer.button);
        EXPECT_EQ(answer.call(), answer.expected);
    }
}

TEST_F(RequesterControllerTest, ValuesInRichTextsAreEscaped)
{
    ETRecordingPresenter presenter;
    ETRequesterController::instance()->confirmOverwriteImage(QStringLiteral("<b>a&b</b>.jpg"));
    EXPECT_EQ(
        presenter.last().box.text,
        s("<qt>Ein Bild mit dem Namen &lt;b&gt;a&amp;b&lt;/b&gt;.jpg existiert bereits.<br>Wollen Sie es "
          "überschreiben?</qt>"));
    // A plain text keeps the value as it is and is never read as markup.
    ETRequesterController::instance()->albumExists(QStringLiteral("<b>x</b>"));
    EXPECT_EQ(presenter.last().box.text, s("Ein Album mit diesem Namen existiert bereits! <b>x</b>"));
    EXPECT_EQ(presenter.last().box.textFormat, Qt::PlainText);
}

TEST_F(RequesterControllerTest, MessageBoxTakesMarkedDefaultOrTheFirstButton)
{
    ETRecordingPresenter presenter;
    ETRequesterController *controller = ETRequesterController::instance();
    EXPECT_EQ(
        controller->messageBox("c", "t", QMessageBox::Critical, QMessageBox::Save, QMessageBox::Discard),
        int(QMessageBox::Save));
    EXPECT_EQ(presenter.last().box.icon, QMessageBox::Critical);
    EXPECT_EQ(presenter.last().box.buttons, (Buttons{QMessageBox::Save, QMessageBox::Discard}));

    EXPECT_EQ(controller->messageBox("c", "t", QMessageBox::Warning, QMessageBox::Save,
                                     QMessageBox::Discard | QMessageBox::Default),
              int(QMessageBox::Discard));
    EXPECT_EQ(presenter.last().box.defaultButton, QMessageBox::Discard);
}

TEST_F(RequesterControllerTest, RequestersPassTheirArgumentsAndCancelAsNull)
{
    ETRecordingPresenter presenter;
    ETRequesterController *controller = ETRequesterController::instance();

    EXPECT_TRUE(controller->getExistingDirectory("/start", true).isNull());
    EXPECT_EQ(presenter.last().kind, ETRecordedRequest::ExistingDirectory);
    EXPECT_EQ(presenter.last().caption, s("Bitte wählen Sie ein Verzeichnis"));
    EXPECT_EQ(presenter.last().start, QStringLiteral("/start"));
    EXPECT_TRUE(presenter.last().dirOnly);

    presenter.answerText("/chosen");
    EXPECT_EQ(controller->getExistingDirectory("/start", false, "Ordner"), QStringLiteral("/chosen"));
    EXPECT_EQ(presenter.last().caption, QStringLiteral("Ordner"));

    presenter.answerText("/out/bestellung.html");
    EXPECT_EQ(controller->getSaveFileName("/out", "HTML (*.html)", "Speichern"),
              QStringLiteral("/out/bestellung.html"));
    EXPECT_EQ(presenter.last().filter, QStringLiteral("HTML (*.html)"));

    EXPECT_TRUE(controller->getOpenFileNames("/in", "*.jpg").isEmpty());
    EXPECT_EQ(presenter.last().kind, ETRecordedRequest::OpenFileNames);

    EXPECT_TRUE(controller->getText("Name", "Album", "Urlaub").isNull());
    EXPECT_EQ(presenter.last().start, QStringLiteral("Urlaub"));

    presenter.answerText("zwei");
    EXPECT_EQ(controller->getItem("Wahl", "Eins oder zwei", {"eins", "zwei"}), QStringLiteral("zwei"));
    EXPECT_EQ(presenter.last().items, (QStringList{"eins", "zwei"}));
}

TEST_F(RequesterControllerTest, AboutNamesVersionAndLibraries)
{
    ETTestSandbox sandbox;
    sandbox.write("default.xml", ETTestSandbox::defaultXml("lumotest", "lumo"));
    ETRecordingPresenter presenter;
    ETRequesterController::instance()->about();
    const ETMessageBoxRequest &box = presenter.last().box;
    EXPECT_EQ(box.icon, QMessageBox::Information);
    EXPECT_EQ(box.buttons, ok);
    EXPECT_EQ(box.textFormat, Qt::RichText);
    for (const char *part : {"Version: 1.3.0", "FINAL-VERSION", "7.10.7", "OpenSSL", "JPEG"}) {
        SCOPED_TRACE(part);
        EXPECT_TRUE(box.text.contains(QString::fromLatin1(part)));
    }
    EXPECT_TRUE(box.text.contains(QString::fromLatin1(qVersion())));
}

// Runs the next modal dialog's check and answer from inside its event loop; fails instead of hanging.
TEST_F(RequesterControllerTest, RealQuestionBoxAnswersNoOnEnter)
{
    ETRequesterController *controller = ETRequesterController::instance();
    QString name;
    QString shownDefault;
    whenShown<QMessageBox>([&](QMessageBox *box) {
        name = box->objectName();
        shownDefault = box->defaultButton() ? box->defaultButton()->text() : QString();
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        EXPECT_TRUE(box->isModal());
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_FALSE(controller->confirmQuit());
    EXPECT_EQ(name, QStringLiteral("reqctrl_msgbox"));
    EXPECT_FALSE(shownDefault.isEmpty());
}

// Stands in for the skin of the library above: paints every dialog it is given.
class PanelSkin : public ETDialogSkin
{
  public:
    void applyDialogColors(QWidget *widget) override
    {
        if (!widget) {
            ++requesterCalls;
            return;
        }
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, panel);
        widget->setPalette(palette);
    }

    const QColor panel{QStringLiteral("#dfe7ee")};
    int requesterCalls = 0;
};

TEST_F(RequesterControllerTest, RealBoxesAndRequestersWearTheRegisteredSkin)
{
    PanelSkin skin;
    ETDialogPresenter::setSkin(&skin);
    QColor boxPanel;
    whenShown<QMessageBox>([&](QMessageBox *box) {
        boxPanel = box->palette().color(QPalette::Window);
        box->close();
    });
    ETRequesterController::instance()->noImagesFound();
    EXPECT_EQ(boxPanel, skin.panel);

    whenShown<QInputDialog>([](QInputDialog *dialog) { dialog->reject(); });
    ETRequesterController::instance()->getText("Name", "Album");
    EXPECT_EQ(skin.requesterCalls, 1) << "file and input dialogs take the skin's palette";
    ETDialogPresenter::setSkin(nullptr);
}

TEST_F(RequesterControllerTest, RealTextRequesterCancelledGivesNull)
{
    whenShown<QInputDialog>([](QInputDialog *dialog) {
        EXPECT_EQ(dialog->textValue(), QStringLiteral("Urlaub"));
        dialog->reject();
    });
    EXPECT_TRUE(ETRequesterController::instance()->getText("Name", "Album", "Urlaub").isNull());
}

TEST_F(RequesterControllerTest, RealFileRequestersAreNamedNonNativeAndCancelAsNull)
{
    ETRequesterController *controller = ETRequesterController::instance();
    const struct {
        const char *name;
        std::function<bool()> cancelledIsEmpty;
    } requesters[] = {
        {"reqctrl_ged", [&] { return controller->getExistingDirectory(QDir::tempPath(), true).isNull(); }},
        {"reqctrl_gsfn",
         [&] { return controller->getSaveFileName(QDir::tempPath(), "*.iso", "Speichern").isNull(); }},
        {"reqctrl_gofn",
         [&] { return controller->getOpenFileNames(QDir::tempPath(), "*.jpg", "Öffnen").isEmpty(); }},
    };
    for (const auto &requester : requesters) {
        SCOPED_TRACE(requester.name);
        QString shownName;
        bool nonNative = false;
        whenShown<QFileDialog>([&](QFileDialog *dialog) {
            shownName = dialog->objectName();
            nonNative = dialog->testOption(QFileDialog::DontUseNativeDialog);
            dialog->reject();
        });
        EXPECT_TRUE(requester.cancelledIsEmpty());
        EXPECT_EQ(shownName, QString::fromLatin1(requester.name));
        EXPECT_TRUE(nonNative);
    }
}

} // namespace

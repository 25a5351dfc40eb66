#include "etwizardscreencdfinal.h"

#include "etapplicationconfig.h"
#include "etcdburner.h"
#include "etimageloader.h"
#include "etorderwizard.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

#include <memory>

ETWizardScreenCDFinal::ETWizardScreenCDFinal(const QString &name, QWidget *parent, ETOrderWizard *wizard)
    : ETWizardScreenCD(name, wizard)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("finalCDscreen"));
    m_textLabel = new QLabel(page);
    m_textLabel->setObjectName(QStringLiteral("finalCDTextLabel"));
    m_textLabel->setWordWrap(true);
    m_logLabel = new QLabel(page);
    m_logLabel->setObjectName(QStringLiteral("finalCDLicenseLabel"));
    auto *pictureLabel = new QLabel(page);
    if (const std::unique_ptr<QPixmap> picture(
            ETImageLoader::loadPixmap(QStringLiteral("wizard/cdhandling")));
        picture)
        pictureLabel->setPixmap(*picture);

    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(5, 5, 5, 5);
    grid->setSpacing(5);
    grid->addWidget(m_textLabel, 0, 0, Qt::AlignBottom);
    grid->addWidget(m_logLabel, 1, 0);
    grid->addWidget(pictureLabel, 2, 0, Qt::AlignCenter);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(2, 1);

    setFinal(true);
    setPage(page);
}

bool ETWizardScreenCDFinal::check()
{
    return false;
}

bool ETWizardScreenCDFinal::atShow()
{
    const QString image = QDir::toNativeSeparators(wizard()->imageFileName());
    QString text;
    QString title;
    if (!image.isEmpty()) {
        text =
            tr("<qt>Ein ISO-Image wurde unter %1 erzeugt.  Bitte brennen Sie das Image auf eine CD und geben "
               "Sie diese in einer unserer Filialen ab.")
                .arg(image);
        title = tr("<qt><b>ISO-Image erzeugt</b><br>Bitte brennen Sie dieses auf eine CD.</qt>");
    } else {
        text = tr(
            "<qt>Vielen Dank für das Brennen der CD.<p>Bitte geben Sie die CD in einer unserer Filialen ab.");
        title =
            tr("<qt><b>Brennvorgang abgeschlossen</b><br>Bitte geben Sie die gebrannte CD in einer unserer "
               "Filialen ab.</qt>");
    }
    ETApplicationConfig *dealer = ETApplicationConfig::instance();
    const QString storeList = dealer->storeListURL();
    if (!storeList.isEmpty())
        text += tr(" Die %2-Filiale in Ihrer Nähe finden Sie unter <em>%1</em>")
                    .arg(storeList, dealer->keyAccountName());
    text += tr(
        "<p>Bitte beachten Sie, dass die aktuellen Preise von denen im Programm angegebenen abweichen "
        "können. Die Preisdaten können Sie jederzeit mit dem Menü <em>Extras</em> / <em>Aktualisieren</em> "
        "/ <em>Preistabelle</em> über das Internet aktualisieren.<p>Sofern Sie nicht über einen "
        "Internet-Zugang verfügen, entnehmen Sie die Preise bitte dem Aushang in der Filiale.</qt>");
    m_textLabel->setText(text);
    m_logLabel->setText(ETCDBurner::logText());
    wizard()->setTitle(page(), title);
    return true;
}

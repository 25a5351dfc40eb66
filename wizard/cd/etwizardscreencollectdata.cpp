#include "etwizardscreencollectdata.h"

#include "etappearancefactory.h"
#include "etcheckboxstack.h"
#include "etconfig.h"
#include "etimage.h"
#include "etimagepathprovider.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etordertxtbuilder.h"
#include "etorderwizard.h"
#include "etrequestercontroller.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QWidget>

namespace
{

std::function<QDateTime()> s_clock;

QDateTime now()
{
    return s_clock ? s_clock() : QDateTime::currentDateTime();
}

} // namespace

ETWizardScreenCollectData::ETWizardScreenCollectData(const QString &name, QWidget *parent,
                                                     ETOrderWizard *wizard)
    : ETWizardScreen(name, wizard)
{
    auto *page = new QWidget(parent);
    page->setObjectName(name);
    m_layout = new QGridLayout(page);
    m_layout->setContentsMargins(5, 5, 5, 5);
    m_layout->setSpacing(5);

    m_progress = new QProgressBar(page);
    m_progress->setObjectName(QStringLiteral("burnProgress"));
    m_progress->setAccessibleName(tr("Fortschritt"));
    m_progress->setValue(0);
    m_status = new QLabel(page);
    m_status->setObjectName(QStringLiteral("burnLabel"));

    m_layout->addWidget(m_status, 1, 1);
    m_layout->addWidget(m_progress, 2, 0, 1, 3);
    m_layout->setRowStretch(1, 1);
    m_layout->setRowStretch(3, 1);
    m_layout->setColumnStretch(0, 1);
    m_layout->setColumnStretch(2, 1);
    ETAppearanceFactory::instance()->applyWizardElement(m_progress, wizard);

    setPage(page);
    setTitle(tr("<qt><b>Brennvorgang:</b><br>Die CD wird gebrannt und abgeschlossen.</qt>"));
}

void ETWizardScreenCollectData::setClockForTests(std::function<QDateTime()> clock)
{
    s_clock = std::move(clock);
}

void ETWizardScreenCollectData::clearRun()
{
    m_cancelled = false;
    m_status->clear();
    m_progress->setValue(0);
}

bool ETWizardScreenCollectData::atShow()
{
    clearRun();
    if (m_steps) {
        m_layout->removeWidget(m_steps);
        delete m_steps;
    }
    m_steps = new ETCheckBoxStack(page(), QStringLiteral("checkBoxStack"));
    m_layout->addWidget(m_steps, 0, 1, Qt::AlignHCenter | Qt::AlignVCenter);
    m_steps->show();
    return true;
}

void ETWizardScreenCollectData::cancel()
{
    m_cancelled = true;
    m_status->setText(tr("Abbrechen..."));
}

bool ETWizardScreenCollectData::makeOrderDirectory()
{
    const QString base = QFileInfo(ETConfig::instance()->cdImageDir() + QStringLiteral("/Order_") +
                                   now().toString(QStringLiteral("yyyyMMddhhmmss")))
                             .absoluteFilePath();
    m_directory = base;
    m_madeDirectory = false;
    if (!QDir().mkpath(QFileInfo(base).absolutePath()))
        return false;
    // mkdir fails on a name that is taken, whatever took it.
    for (int number = 2; !QDir().mkdir(m_directory); ++number) {
        if (!QFileInfo::exists(m_directory) && !QFileInfo(m_directory).isSymLink())
            return false;
        m_directory = base + QLatin1Char('_') + QString::number(number);
    }
    m_madeDirectory = true;
    qDebug().noquote() << QStringLiteral("CollectData: myDirectory=") + m_directory;
    return true;
}

QString ETWizardScreenCollectData::writeOrderText(const QString &fileName)
{
    ETOrderTxtBuilder builder;
    if (!builder.writeFile(m_directory + QLatin1Char('/') + fileName)) {
        reportWriteFailure(QString());
        return QString();
    }
    return fileName;
}

void ETWizardScreenCollectData::reportWriteFailure(const QString &fileName)
{
    if (fileName.isEmpty())
        ETRequesterController::instance()->directoryNotWritable(m_directory);
    else
        ETRequesterController::instance()->fileNotCreated(m_directory + QLatin1Char('/') + fileName);
}

bool ETWizardScreenCollectData::beginCollect()
{
    m_progress->setValue(0);
    m_status->setText(tr("Stelle Daten zusammen..."));
    if (m_steps)
        m_steps->beginAction(1);
    m_files.clear();
    const bool ok = makeOrderDirectory();
    if (!ok)
        reportWriteFailure(QString());
    return ok;
}

bool ETWizardScreenCollectData::copyOrderFiles()
{
    const QList<ETOrderItem *> items = *ETOrder::instance()->orderItems();
    m_progress->setMaximum(int(items.size()));
    int step = 0;
    for (ETOrderItem *item : items) {
        const QString name = item->uploadFileName();
        ETImage *image = item->image();
        if (!image || !image->copyAsJpeg(m_directory + QLatin1Char('/') + name, true, true)) {
            ETRequesterController::instance()->diskWriteFailed();
            return false;
        }
        m_files << name;
        m_progress->setValue(++step);
        // Keeps the window alive, and lets a press on Cancel through.
        QCoreApplication::processEvents();
        if (m_cancelled)
            return false;
    }
    const QString text = writeOrderText(QStringLiteral("order.txt"));
    if (text.isEmpty())
        return false;
    m_files << text;
    return true;
}

bool ETWizardScreenCollectData::endCollect()
{
    m_status->setText(tr("Daten zusammengestellt."));
    if (m_steps)
        m_steps->endAction(1);
    return true;
}

void ETWizardScreenCollectData::cleanupOrderDirectory()
{
    // Without a folder the names would be taken relative to the working folder.
    if (!m_directory.isEmpty()) {
        const QDir folder(m_directory);
        for (const QString &name : std::as_const(m_files))
            QFile::remove(folder.absoluteFilePath(name));
        // Fails, as it should, when other files are in it.
        if (m_madeDirectory)
            QDir().rmdir(m_directory);
    }
    m_files.clear();
    ETImagePathProvider::instance()->changed();
}

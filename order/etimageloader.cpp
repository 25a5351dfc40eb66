#include "etimageloader.h"

#include "etappearanceconfig.h"
#include "etfileutils.h"
#include "etsingleton.h"
#include "etstandardimageloader.h"
#include "etthumbnailloader.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QPixmap>
#include <QTemporaryFile>
#include <QTextStream>
#include <QtDebug>

namespace
{

using LoaderMap = QMap<QString, ETImageLoader *>;

// Made on first use with the standard loader in it: a static loader object in
// a static library would only be registered if something pulled it in. The
// upload thread saves JPEGs through it too, so it is made under the
// compiler's guard of static initialisation.
LoaderMap &registry()
{
    static ETSingleton<LoaderMap> map;
    return *map.get([] {
        static ETStandardImageLoader standard;
        auto *loaders = new LoaderMap;
        for (const char *extension : {"bmp", "xpm", "jpg", "jpeg", "png", "xbm", "mng", "pbm", "pgm", "ppm"})
            loaders->insert(QString::fromLatin1(extension).toUpper(), &standard);
        return loaders;
    });
}

QString lastExtension(const QString &name)
{
    return QFileInfo(name).suffix();
}

QString iconType()
{
    return ETAppearanceConfig::instance()->iconType();
}

using AliasMap = QMap<QString, QString>;

AliasMap readAliasMap()
{
    AliasMap map;
    const QString type = iconType().toLower();
    QFile file(resourcePath(QStringLiteral("icons/map.txt")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning("cannot open button mapping file");
        return map;
    }
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::Latin1);
    int lineNumber = 0;
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        ++lineNumber;
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() != 2) {
            qWarning("invalid line %d in map file", lineNumber);
            continue;
        }
        QString from = resourcePath(QStringLiteral("icons/") + parts.at(0));
        QString to = resourcePath(QStringLiteral("icons/") + parts.at(1));
        from.replace(QStringLiteral("%e"), type);
        to.replace(QStringLiteral("%e"), type);
        const auto existing = map.constFind(from);
        if (existing == map.constEnd()) {
            map.insert(from, to);
        } else {
            qWarning("%s", qPrintable(QStringLiteral("duplicate mapping for ") + from + QStringLiteral(": ") +
                                      existing.value() + QStringLiteral(", ") + to));
        }
    }
    return map;
}

const AliasMap &aliasMap()
{
    static ETSingleton<const AliasMap> map;
    return *map.get([] { return new const AliasMap(readAliasMap()); });
}

// The file an icon name stands for, with the given extension; empty when
// neither the file nor its alias exists.
QString resolveIcon(const QString &name, const QString &extension)
{
    QString path = resourcePath(QStringLiteral("icons/") + name);
    if (lastExtension(name).isEmpty())
        path += QLatin1Char('.') + extension;
    if (QFileInfo::exists(path))
        return path;
    const AliasMap &aliases = aliasMap();
    const auto alias = aliases.constFind(path);
    if (alias != aliases.constEnd() && QFileInfo::exists(alias.value()))
        return alias.value();
    return QString();
}

QString iconExtension(const QString &name)
{
    const QString extension = lastExtension(name);
    return extension.isEmpty() ? iconType() : extension;
}

} // namespace

ETImageLoader::ETImageLoader(int priority) : m_priority(priority) {}

ETImageLoader::~ETImageLoader() = default;

QImage *ETImageLoader::loadCovering(const QString &path, int, int, int *fullWidth, int *fullHeight)
{
    QImage *image = load(path);
    if (image) {
        if (fullWidth)
            *fullWidth = image->width();
        if (fullHeight)
            *fullHeight = image->height();
    }
    return image;
}

QByteArray ETImageLoader::encode(const QImage &image, int quality)
{
    QTemporaryFile file;
    if (!file.open())
        return QByteArray();
    file.close();
    QByteArray data;
    if (!save(image, file.fileName(), quality) || !readRegularFile(file.fileName(), data, qint64(1) << 31))
        return QByteArray();
    return data;
}

void ETImageLoader::registerLoader(const QString &extension, ETImageLoader *loader)
{
    const QString key = extension.toUpper();
    LoaderMap &map = registry();
    const ETImageLoader *current = findLoader(key);
    if (current && current->priority() > loader->priority())
        return;
    map.insert(key, loader);
}

ETImageLoader *ETImageLoader::findLoader(const QString &extension)
{
    const QString key = extension.toUpper();
    const LoaderMap &map = registry();
    for (const QString &candidate : {key, key.left(3), key.left(4)}) {
        const auto it = map.constFind(candidate);
        if (it != map.constEnd())
            return it.value();
    }
    return nullptr;
}

namespace
{

// The loader for a picture by its type, else by its extension; a warning when there is none.
ETImageLoader *loaderFor(const QString &path, const QString &type)
{
    const QString extension = type.isEmpty() ? lastExtension(path) : type;
    ETImageLoader *loader = ETImageLoader::findLoader(extension);
    if (!loader)
        qWarning("%s", qPrintable(QStringLiteral("ETImageLoader::loadImage(") + extension +
                                  QStringLiteral("): no loader available")));
    return loader;
}

// Pictures are read from regular files only: a pipe or a device in a
// picture's place would hold the reading thread (the upload thread, or the
// window's for a thumbnail) for ever.
bool isPictureFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

} // namespace

QImage *ETImageLoader::loadImage(const QString &path, const QString &type)
{
    ETImageLoader *loader = loaderFor(path, type);
    if (!loader || !isPictureFile(path))
        return nullptr;
    return loader->load(path);
}

QImage *ETImageLoader::loadImageCovering(const QString &path, const QString &type, int width, int height,
                                         int *fullWidth, int *fullHeight)
{
    ETImageLoader *loader = loaderFor(path, type);
    if (!loader || !isPictureFile(path))
        return nullptr;
    return loader->loadCovering(path, width, height, fullWidth, fullHeight);
}

QImage *ETImageLoader::loadThumbnail(const QString &path, int width, int height, int *fullWidth,
                                     int *fullHeight)
{
    // The chain's picture loader reads through loadImageCovering.
    return ETThumbnailLoader::imageLoaderChainLoad(path, width, height, fullWidth, fullHeight);
}

QString ETImageLoader::fileFilter()
{
    // Made once from the loaders known at the first call.
    static ETSingleton<const QString> filter;
    return *filter.get([] {
        QString text;
        const LoaderMap &map = registry();
        for (auto it = map.constBegin(); it != map.constEnd(); ++it)
            text += QStringLiteral("*.") + it.key() + QStringLiteral(" *.") + it.key().toLower() +
                    QLatin1Char(' ');
        return new const QString(text.trimmed());
    });
}

bool ETImageLoader::iconExists(const QString &name)
{
    return !resolveIcon(name, iconExtension(name)).isEmpty();
}

QPixmap *ETImageLoader::loadPixmap(const QString &name, QPixmap *target)
{
    QImage *image = nullptr;
    const QString extension = iconExtension(name);
    const QString path = resolveIcon(name, extension);
    if (!path.isEmpty()) {
        ETImageLoader *loader = findLoader(extension);
        if (!loader)
            return nullptr;
        image = loader->load(path);
    }
    if (!image) {
        ETImageLoader *loader = findLoader(QStringLiteral("xpm"));
        const QString xpmPath = resolveIcon(name, QStringLiteral("xpm"));
        if (!loader || xpmPath.isEmpty())
            return nullptr;
        image = loader->load(xpmPath);
        if (!image)
            return nullptr;
    }
    QPixmap *result = target;
    if (result) {
        *result = QPixmap::fromImage(*image);
    } else {
        result = new QPixmap(QPixmap::fromImage(*image));
        if (result->isNull()) {
            delete result;
            result = nullptr;
        }
    }
    delete image;
    return result;
}

ETIconSet *ETImageLoader::loadIconSet(const QString &name, ETIconSet::Size size)
{
    QPixmap *normal = loadPixmap(name);
    if (!normal)
        return nullptr;
    auto *set = new ETIconSet;
    set->setPixmap(*normal, size, ETIconSet::Normal, ETIconSet::Off);
    delete normal;
    // The other pictures are optional; the set falls back to the normal one.
    const struct {
        const char *suffix;
        ETIconSet::Mode mode;
        ETIconSet::State state;
    } others[] = {
        {"_active", ETIconSet::Active, ETIconSet::Off},
        {"_disabled", ETIconSet::Disabled, ETIconSet::Off},
        {"_inactive", ETIconSet::Normal, ETIconSet::On},
    };
    for (const auto &other : others) {
        if (QPixmap *pixmap = loadPixmap(name + QLatin1String(other.suffix))) {
            set->setPixmap(*pixmap, size, other.mode, other.state);
            delete pixmap;
        }
    }
    return set;
}

QPixmap *ETImageLoader::loadResourcePixmap(const QString &name, const QString &defaultExtension)
{
    const QString extension = lastExtension(name);
    QImage *image = loadImage(resourcePath(name), extension.isEmpty() ? defaultExtension : extension);
    if (!image)
        return nullptr;
    auto *pixmap = new QPixmap(QPixmap::fromImage(*image));
    delete image;
    if (pixmap->isNull()) {
        delete pixmap;
        return nullptr;
    }
    return pixmap;
}

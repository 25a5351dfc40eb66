// Optimised upload copies of the listed pictures for a print of the given size: the client's optimiser
// against libvips used as a library in this process, at the same pixel size and JPEG quality as the
// client's copy of each picture, and against the floor (libjpeg-turbo decoding at the same reduced size
// and encoding the output pixels without any resampling). The contenders take turns within every round;
// best and median per picture over the rounds, and the ratios.
//   optimizebench <resource folder> <list file> <width> <height> [rounds]

// glib's headers name fields "signals", which Qt's keywords would turn into "public": they come first.
#include <vips/vips8>

#include "benchsupport.h"
#include "etapplicationconfig.h"
#include "etimage.h"
#include "etimageoperations.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QThread>

#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

struct Picture {
    ETImage *image = nullptr;
    QByteArray path;
    QSize full;
    QSize copy; // the client's copy, which every contender makes
    int reduction = 1;
};

struct Contender {
    Contender(const char *contenderName, std::function<bool(const Picture &, int index)> maker,
              std::function<QString(const Picture &, int index)> outputPath)
        : name(contenderName), make(std::move(maker)), output(std::move(outputPath))
    {
    }

    const char *name;
    std::function<bool(const Picture &, int index)> make;
    std::function<QString(const Picture &, int index)> output;
    std::vector<double> msPerPicture;
    qint64 bytes = 0;
    int wrongSize = 0;
    int failed = 0;
};

// The largest decoder reduction (1/2, 1/4, 1/8) that still covers the copy, as the client picks it.
int reductionFor(const QSize &full, const QSize &copy)
{
    for (int factor = 8; factor > 1; factor /= 2)
        if (full.width() / factor >= copy.width() && full.height() / factor >= copy.height())
            return factor;
    return 1;
}

struct JpegError {
    jpeg_error_mgr manager;
    jmp_buf jump;
};

void jumpOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError *>(info->err)->jump, 1);
}

// Decodes at 1/reduction and encodes the top left copy-sized part of the decoded rows as they come:
// the work no optimiser can avoid.
bool floorCopy(const char *source, const char *target, int reduction, int width, int height, int quality)
{
    FILE *in = std::fopen(source, "rb");
    if (!in)
        return false;
    FILE *out = std::fopen(target, "wb");
    if (!out) {
        std::fclose(in);
        return false;
    }
    jpeg_decompress_struct decoder;
    jpeg_compress_struct encoder;
    JpegError error;
    decoder.err = jpeg_std_error(&error.manager);
    encoder.err = decoder.err;
    error.manager.error_exit = jumpOnError;
    jpeg_create_decompress(&decoder);
    jpeg_create_compress(&encoder);
    bool done = false;
    if (setjmp(error.jump) == 0) {
        jpeg_stdio_src(&decoder, in);
        jpeg_read_header(&decoder, TRUE);
        decoder.out_color_space = JCS_RGB;
        decoder.scale_num = 1;
        decoder.scale_denom = reduction;
        jpeg_start_decompress(&decoder);
        if (int(decoder.output_width) >= width && int(decoder.output_height) >= height) {
            // From the decoder's pool, so that an error jump leaks nothing.
            JSAMPARRAY row = (*decoder.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&decoder),
                                                          JPOOL_IMAGE, decoder.output_width * 3, 1);
            jpeg_stdio_dest(&encoder, out);
            encoder.image_width = width;
            encoder.image_height = height;
            encoder.input_components = 3;
            encoder.in_color_space = JCS_RGB;
            jpeg_set_defaults(&encoder);
            jpeg_set_quality(&encoder, quality, TRUE);
            jpeg_start_compress(&encoder, TRUE);
            while (decoder.output_scanline < decoder.output_height) {
                jpeg_read_scanlines(&decoder, row, 1);
                if (int(encoder.next_scanline) < height)
                    jpeg_write_scanlines(&encoder, row, 1);
            }
            jpeg_finish_compress(&encoder);
            jpeg_finish_decompress(&decoder);
            done = true;
        }
    }
    jpeg_destroy_compress(&encoder);
    jpeg_destroy_decompress(&decoder);
    std::fclose(in);
    return std::fclose(out) == 0 && done;
}

// libvips' own pipeline for this job (it chooses its decoder reduction itself).
bool vipsThumbnail(const Picture &picture, const QByteArray &target, int quality)
{
    try {
        vips::VImage copy = vips::VImage::thumbnail(picture.path.constData(), picture.copy.width(),
                                                    vips::VImage::option()
                                                        ->set("height", picture.copy.height())
                                                        ->set("size", VIPS_SIZE_FORCE)
                                                        ->set("no_rotate", true));
        copy.jpegsave(target.constData(), vips::VImage::option()->set("Q", quality)->set("strip", true));
        return true;
    } catch (const vips::VError &error) {
        std::fprintf(stderr, "libvips: %s\n", error.what());
        return false;
    }
}

// libvips doing the client's steps: decode at the same reduction, one linear resampling, encode.
bool vipsSameSteps(const Picture &picture, const QByteArray &target, int quality)
{
    try {
        vips::VImage decoded = vips::VImage::jpegload(
            picture.path.constData(),
            vips::VImage::option()->set("shrink", picture.reduction)->set("access", VIPS_ACCESS_SEQUENTIAL));
        const double across = double(picture.copy.width()) / decoded.width();
        const double down = double(picture.copy.height()) / decoded.height();
        vips::VImage copy =
            across == 1.0 && down == 1.0
                ? decoded
                : decoded.resize(
                      across, vips::VImage::option()->set("vscale", down)->set("kernel", VIPS_KERNEL_LINEAR));
        copy.jpegsave(target.constData(), vips::VImage::option()->set("Q", quality)->set("strip", true));
        return true;
    } catch (const vips::VError &error) {
        std::fprintf(stderr, "libvips: %s\n", error.what());
        return false;
    }
}

double msPerPicture(Contender &contender, const std::vector<Picture> &pictures)
{
    QElapsedTimer timer;
    timer.start();
    for (size_t i = 0; i < pictures.size(); ++i)
        if (!contender.make(pictures[i], int(i)))
            ++contender.failed;
    return double(timer.nsecsElapsed()) / 1e6 / double(pictures.size());
}

// Outside the timing: every copy must have the client's pixel size.
void checkOutputs(Contender &contender, const std::vector<Picture> &pictures)
{
    contender.bytes = 0;
    contender.wrongSize = 0;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const QString path = contender.output(pictures[i], int(i));
        contender.bytes += QFileInfo(path).size();
        if (QImageReader(path).size() != pictures[i].copy)
            ++contender.wrongSize;
    }
}

double best(std::vector<double> times)
{
    return *std::min_element(times.begin(), times.end());
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (!startBench(argc, argv, 4, "<resource folder> <list file> <width> <height> [rounds]"))
        return 2;
    if (VIPS_INIT(argv[0]) != 0) {
        std::fprintf(stderr, "cannot start libvips\n");
        return 1;
    }
    // Every round must do the work again, not answer from the operation cache.
    vips_cache_set_max(0);
    // libvips counts every core of the machine; the client's scaling threads count the cores it may use.
    vips_concurrency_set(QThread::idealThreadCount());
    const QSize target(QString::fromLocal8Bit(argv[3]).toInt(), QString::fromLocal8Bit(argv[4]).toInt());
    const int rounds = argc > 5 ? qMax(1, QString::fromLocal8Bit(argv[5]).toInt()) : 5;
    const int quality = ETApplicationConfig::instance()->jpegQuality();

    std::vector<Picture> pictures;
    for (const QString &path : listedPaths(QString::fromLocal8Bit(argv[2]))) {
        Picture picture;
        picture.image = ETImage::create(QFileInfo(path).absoluteFilePath());
        picture.path = QFile::encodeName(QFileInfo(path).absoluteFilePath());
        picture.full = QSize(picture.image->width(), picture.image->height());
        pictures.push_back(picture);
    }
    if (pictures.empty()) {
        std::fprintf(stderr, "no pictures listed in %s\n", argv[2]);
        return 1;
    }

    ETImageOperations ops;
    // The client's copies set the size every contender makes.
    for (Picture &picture : pictures) {
        if (!ops.writeOptimizedCopy(picture.image, target)) {
            std::fprintf(stderr, "the client writes no copy of %s\n", picture.path.constData());
            return 1;
        }
        picture.copy = QImageReader(picture.image->optimizedCopyPath()).size();
        picture.reduction = reductionFor(picture.full, picture.copy);
    }

    QTemporaryDir outputs;
    const QString folder = outputs.path();
    const auto outputIn = [folder](const char *prefix) {
        return [folder, prefix](const Picture &, int index) {
            return QStringLiteral("%1/%2%3.jpg").arg(folder, QLatin1String(prefix)).arg(index);
        };
    };
    std::vector<Contender> contenders;
    contenders.emplace_back(
        "lumo optimised copy",
        [&ops, target](const Picture &picture, int) { return ops.writeOptimizedCopy(picture.image, target); },
        [](const Picture &picture, int) { return picture.image->optimizedCopyPath(); });
    const auto vipsMaker = [quality](bool (*make)(const Picture &, const QByteArray &, int),
                                     std::function<QString(const Picture &, int)> output) {
        return [make, output, quality](const Picture &picture, int index) {
            return make(picture, QFile::encodeName(output(picture, index)), quality);
        };
    };
    contenders.emplace_back("libvips thumbnail", vipsMaker(vipsThumbnail, outputIn("thumbnail")),
                            outputIn("thumbnail"));
    contenders.emplace_back("libvips shrink-on-load + linear resize",
                            vipsMaker(vipsSameSteps, outputIn("same")), outputIn("same"));
    const auto floorOutput = outputIn("floor");
    contenders.emplace_back(
        "floor: libjpeg-turbo reduced decode + encode",
        [floorOutput, quality](const Picture &picture, int index) {
            return floorCopy(picture.path.constData(),
                             QFile::encodeName(floorOutput(picture, index)).constData(), picture.reduction,
                             picture.copy.width(), picture.copy.height(), quality);
        },
        floorOutput);

    // One round unmeasured (plug-ins, caches, first allocations), then the contenders take turns.
    for (Contender &contender : contenders)
        msPerPicture(contender, pictures);
    for (int round = 0; round < rounds; ++round)
        for (Contender &contender : contenders)
            contender.msPerPicture.push_back(msPerPicture(contender, pictures));
    for (Contender &contender : contenders)
        checkOutputs(contender, pictures);

    const Picture &first = pictures.front();
    std::printf("%zu pictures (first %dx%d, decoded at 1/%d) to copies of %dx%d, JPEG quality %d, %d rounds, "
                "libvips %s with %d threads\n",
                pictures.size(), first.full.width(), first.full.height(), first.reduction, first.copy.width(),
                first.copy.height(), quality, rounds, vips_version_string(), vips_concurrency_get());
    std::printf("%-46s %10s %10s %12s\n", "ms per picture", "best", "median", "bytes/copy");
    for (const Contender &contender : contenders) {
        std::printf("%-46s %10.1f %10.1f %12lld", contender.name, best(contender.msPerPicture),
                    median(contender.msPerPicture), contender.bytes / qint64(pictures.size()));
        if (contender.failed || contender.wrongSize)
            std::printf("  (%d failed, %d not the client's size)", contender.failed, contender.wrongSize);
        std::printf("\n");
    }
    const Contender &client = contenders.front();
    std::printf("time of the client / time of the other (below 1: the client is faster)\n");
    for (size_t i = 1; i < contenders.size(); ++i)
        std::printf("  lumo / %-46s best %.2f  median %.2f\n", contenders[i].name,
                    best(client.msPerPicture) / best(contenders[i].msPerPicture),
                    median(client.msPerPicture) / median(contenders[i].msPerPicture));
    for (const Contender &contender : contenders)
        if (contender.failed || contender.wrongSize)
            return 1;
    vips_shutdown();
    return 0;
}

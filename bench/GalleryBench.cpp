#include "Bench.h"

#include "cloth/Cloth.h"
#include "entry/Designer.h"
#include "entry/EnterSett.h"
#include "gallery/Gallery.h"
#include "sett/SettText.h"
#include "weave/Twill.h"
#include "weave/Weave.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace loomara::bench {

namespace {

using Clock = std::chrono::steady_clock;

// A sett of the reference lists wide enough to fill the design canvas.
constexpr auto kSett = u"K4R24K24Y4K24R24K4G24W4G24K4";

// Counts the pixels the twill drawing writes, clipped as the canvas clips them. The weave draws
// only vertical and horizontal dashes.
class CountingSurface {
public:
    class Pen {
    public:
        void line(int x1, int y1, int x2, int y2) const {
            if (x1 == x2) {
                count(x1, surface_.width_, std::min(y1, y2 + 1), std::max(y1, y2 - 1),
                      surface_.height_);
            } else {
                count(y1, surface_.height_, std::min(x1, x2 + 1), std::max(x1, x2 - 1),
                      surface_.width_);
            }
        }

    private:
        friend class CountingSurface;
        explicit Pen(CountingSurface& surface) : surface_(surface) {}
        void count(int across, int acrossSize, int first, int last, int size) const {
            if (across < 0 || across >= acrossSize) {
                return;
            }
            first = std::max(first, 0);
            last = std::min(last, size - 1);
            if (first <= last) {
                surface_.pixels_ += last - first + 1;
            }
        }
        CountingSurface& surface_;
    };

    CountingSurface(int width, int height) : width_(width), height_(height) {}
    int scaleWidth() const { return width_; }
    int scaleHeight() const { return height_; }
    Pen pen(Rgb) { return Pen(*this); }
    long long pixels() const { return pixels_; }

private:
    int width_;
    int height_;
    long long pixels_ = 0;
};

long long pixelsWritten(Designer& designer) {
    std::vector<DrawnBlock> blocks;
    const auto countTexts = designer.form.countTexts();
    const WeaveInputs inputs{designer.design, countTexts, designer.form.settWidth.text(),
                             designer.form.backgroundColour};
    weave(inputs, designer.weaveState, designer.form.weavePicture,
          [&](const DrawnBlock& block) { blocks.push_back(block); });
    CountingSurface surface(designer.form.weavePicture.scaleWidth(),
                            designer.form.weavePicture.scaleHeight());
    WeaveState state;
    state.twillOffset = 1;
    bool weft = false;
    for (const DrawnBlock& block : blocks) {
        if (block.direction == DrawnBlock::Direction::Warp) {
            drawWarpBlock(surface, state, Rgb{}, block.first, block.last);
            continue;
        }
        if (!weft) {
            weft = true;
            state.twillOffset = 0;
        }
        drawWeftBlock(surface, state, Rgb{}, block.first, block.last);
    }
    return surface.pixels();
}

// The floor for a weave: fill the canvas, then write as many pixels as the weave writes, in runs
// of a dash, in as many colours as a sett has, with nothing to work out per pixel.
void bareFillWrite(std::vector<std::uint32_t>& pixels, long long writes) {
    static constexpr std::array<std::uint32_t, 8> kColours{0xff000000u, 0xffc00000u, 0xff00c000u,
                                                           0xff0000c0u, 0xffc0c000u, 0xff00c0c0u,
                                                           0xffc000c0u, 0xffc0c0c0u};
    std::fill(pixels.begin(), pixels.end(), 0xff202020u);
    std::size_t at = 0;
    for (long long i = 0; i < writes; ++i) {
        pixels[at] = kColours[static_cast<std::size_t>(i >> 1) & 7];
        if (++at == pixels.size()) {
            at = 0;
        }
    }
}

long long folderBytes(const QString& dir, int& files) {
    long long bytes = 0;
    files = 0;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        bytes += it.nextFileInfo().size();
        ++files;
    }
    return bytes;
}

} // namespace

void benchGallery(const Report& report) {
    const SettReading reading = readSett(kSett);
    const DesktopColours desktop = desktopColours();
    const double renderMs = bestMsPerRun(7, 20, [&] {
        Designer designer(desktop);
        enterAndWeave(designer, SettEntry{readSett(kSett).sett});
        const QImage picture = designer.form.weavePicture.image();
        if (picture.isNull()) {
            report.figure("render_failed", "yes");
        }
    });
    report.figure("render_ms", renderMs, 3);

    Designer designer(desktop);
    enterAndWeave(designer, SettEntry{reading.sett});
    const double weaveMs = bestMsPerRun(7, 100, [&] { designer.weave(); });
    const long long writes = pixelsWritten(designer);
    const WeaveCanvas& canvas = designer.form.weavePicture;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(canvas.scaleWidth()) *
                                      static_cast<std::size_t>(canvas.scaleHeight()));
    const double bareMs = bestMsPerRun(7, 100, [&] { bareFillWrite(pixels, writes); });
    report.figure("render_canvas",
                  std::to_string(canvas.scaleWidth()) + "x" + std::to_string(canvas.scaleHeight()));
    report.figure("weave_pixels_written", static_cast<double>(writes), 0);
    report.figure("render_weave_ms", weaveMs, 4);
    report.figure("bare_fill_write_ms", bareMs, 4);
    report.figure("weave_vs_bare", weaveMs / bareMs, 2);

    QTemporaryDir temporary;
    const QString dir = temporary.path() + QStringLiteral("/gallery");
    const QList<GalleryPage> pages = referenceGalleryPages();
    GalleryOptions options;
    options.date = QStringLiteral("bench");
    const auto start = Clock::now();
    const GalleryResult result = writeGallery(dir, pages, options);
    const std::chrono::duration<double> took = Clock::now() - start;
    if (result.failure) {
        report.figure("gallery_failure", result.failure->toStdString());
        return;
    }
    int files = 0;
    const long long bytes = folderBytes(dir, files);
    report.figure("gallery_s", took.count(), 2);
    report.figure("gallery_cores", static_cast<double>(std::thread::hardware_concurrency()), 0);
    report.figure("gallery_designer_cpu_s", result.designerSeconds, 2);
    report.figure("gallery_cloth_cpu_s", result.clothSeconds, 2);
    report.figure("gallery_thumbnail_cpu_s", result.thumbnailSeconds, 2);
    report.figure("gallery_draft_cpu_s", result.draftSeconds, 2);
    report.figure("gallery_write_thread_s", result.writeSeconds, 2);
    report.figure("gallery_woven", result.woven, 0);
    report.figure("gallery_in_designer", result.designer, 0);
    report.figure("gallery_skipped", result.skipped, 0);
    report.figure("gallery_files", files, 0);
    report.figure("gallery_mb", static_cast<double>(bytes) / 1e6, 1);
}

} // namespace loomara::bench

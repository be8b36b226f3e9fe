#include "io/TruncatedPicture.h"

#include <QByteArray>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace loomara {

namespace {

// A file read front to back a block at a time, so that walking a large photograph's structure
// takes little memory.
class FileWalk {
public:
    explicit FileWalk(QIODevice& file) : file_(file) {}

    // The next byte, or -1 past the end of the file.
    int next() {
        if (at_ == block_.size() && !refill()) {
            return -1;
        }
        return static_cast<unsigned char>(block_[at_++]);
    }

    // Passes over count bytes; false when the file ends first.
    bool skip(qint64 count) {
        const qint64 inBlock = block_.size() - at_;
        if (count <= inBlock) {
            at_ += count;
            return true;
        }
        const qint64 to = file_.pos() + (count - inBlock);
        block_.clear();
        at_ = 0;
        return to <= file_.size() && file_.seek(to);
    }

    // Passes over the bytes up to and including the next 0xFF; false when the file ends first.
    bool passNextFF() {
        for (;;) {
            const char* from = block_.constData() + at_;
            const auto* found = static_cast<const char*>(
                std::memchr(from, 0xFF, static_cast<std::size_t>(block_.size() - at_)));
            if (found != nullptr) {
                at_ = found - block_.constData() + 1;
                return true;
            }
            if (!refill()) {
                return false;
            }
        }
    }

private:
    bool refill() {
        block_ = file_.read(kBlockBytes);
        at_ = 0;
        return !block_.isEmpty();
    }

    static constexpr qint64 kBlockBytes = 64 * 1024;
    QIODevice& file_;
    QByteArray block_;
    qsizetype at_ = 0;
};

using enum PictureFileCheck;

constexpr qint64 kFileHeaderBytes = 14;
constexpr qint64 kCoreHeaderBytes = 12;
constexpr qint64 kInfoHeaderBytes = 40;

qint64 readU32(const QByteArray& data, qint64 at) {
    return qFromLittleEndian<quint32>(data.constData() + at);
}

qint64 readS32(const QByteArray& data, qint64 at) {
    return qFromLittleEndian<qint32>(data.constData() + at);
}

qint64 readU16(const QByteArray& data, qint64 at) {
    return qFromLittleEndian<quint16>(data.constData() + at);
}

// Run-length codes end with the end-of-bitmap code, and only once they have reached the last
// row: the reader leaves rows the codes never reach blank.
bool runLengthEndsEarly(FileWalk& in, qint64 pixelsAt, qint64 height, bool fourBits) {
    if (!in.skip(pixelsAt)) {
        return true;
    }
    qint64 row = 0;
    for (;;) {
        const int count = in.next();
        const int code = in.next();
        if (code < 0) {
            return true;
        }
        if (count > 0) {
            continue; // count pixels of one colour
        }
        switch (code) {
        case 0: // end of the row
            ++row;
            break;
        case 1: // end of the bitmap
            return row < height - 1;
        case 2: { // a move right and down
            in.next();
            const int down = in.next();
            if (down < 0) {
                return true;
            }
            row += down;
            break;
        }
        default: { // code pixels one by one, padded to a whole 16-bit word
            const qint64 bytes = fourBits ? (code + 1) / 2 : code;
            if (!in.skip(bytes + bytes % 2)) {
                return true;
            }
        }
        }
    }
}

// The toolkit's bitmap reader calls a header of more pixels than this damaged, even when every
// byte of the picture is in the file.
constexpr qint64 kLargestBitmapPixels = qint64{16384} * 16384;

// Only the headers are needed for an uncompressed bitmap, with the file's size. Anything that
// does not look like a bitmap's headers is left to the reader to judge.
PictureFileCheck checkBitmap(FileWalk& in, const QByteArray& head, qint64 fileSize) {
    if (head.size() < kFileHeaderBytes + 4) {
        return FileEndsEarly;
    }
    const qint64 pixelsAt = readU32(head, 10);
    const qint64 headerBytes = readU32(head, kFileHeaderBytes);
    constexpr std::array<qint64, 8> kHeaderSizes{12, 16, 40, 52, 56, 64, 108, 124};
    if (std::find(kHeaderSizes.begin(), kHeaderSizes.end(), headerBytes) == kHeaderSizes.end()) {
        return LeftToTheReader;
    }
    if (head.size() <
        std::min(kFileHeaderBytes + headerBytes, kFileHeaderBytes + kInfoHeaderBytes)) {
        return FileEndsEarly;
    }
    qint64 width = 0;
    qint64 height = 0;
    qint64 bitsPerPixel = 0;
    qint64 compression = 0;
    qint64 imageBytes = 0;
    if (headerBytes == kCoreHeaderBytes) {
        width = readU16(head, 18);
        height = readU16(head, 20);
        bitsPerPixel = readU16(head, 24);
    } else if (headerBytes >= kInfoHeaderBytes) {
        width = readS32(head, 18);
        height = std::llabs(readS32(head, 22));
        bitsPerPixel = readU16(head, 28);
        compression = readU32(head, 30);
        imageBytes = readU32(head, 34);
    } else {
        return LeftToTheReader;
    }
    constexpr qint64 kUncompressed = 0;
    constexpr qint64 kRunLength8 = 1;
    constexpr qint64 kRunLength4 = 2;
    constexpr qint64 kBitFields = 3;
    constexpr qint64 kAlphaBitFields = 6;
    if (compression == kUncompressed || compression == kBitFields ||
        compression == kAlphaBitFields) {
        if (width <= 0 || bitsPerPixel <= 0) {
            return LeftToTheReader; // not a picture the reader accepts anyway; let it say so
        }
        // Row length times height can pass 64 bits in a hostile header, so the bytes that are
        // there are divided among the rows instead.
        const qint64 rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
        const qint64 pixelBytes = fileSize - pixelsAt;
        if (pixelBytes < 0 || (height > 0 && rowBytes > pixelBytes / height)) {
            return FileEndsEarly;
        }
        return width * height > kLargestBitmapPixels ? TooLargeToRead : LeftToTheReader;
    }
    if (compression == kRunLength8 || compression == kRunLength4) {
        return runLengthEndsEarly(in, pixelsAt, height, compression == kRunLength4)
                   ? FileEndsEarly
                   : LeftToTheReader;
    }
    return fileSize < pixelsAt + imageBytes ? FileEndsEarly : LeftToTheReader;
}

constexpr int kFileEnded = -1;
constexpr int kNoMarker = -2; // something else stands where a marker belongs

bool isRestart(int code) {
    return code >= 0xD0 && code <= 0xD7;
}

// The code of a marker whose 0xFF has been read, past any 0xFF fill bytes.
int markerCode(FileWalk& in) {
    int code = in.next();
    while (code == 0xFF) {
        code = in.next();
    }
    return code;
}

int nextMarker(FileWalk& in) {
    const int byte = in.next();
    if (byte != 0xFF) {
        return byte < 0 ? kFileEnded : kNoMarker;
    }
    return markerCode(in);
}

// The coded data after a start of scan runs up to the next marker; in it 0xFF 0x00 stands for
// a 0xFF byte, and restart markers are part of it.
int markerAfterCodedData(FileWalk& in) {
    for (;;) {
        if (!in.passNextFF()) {
            return kFileEnded;
        }
        const int code = markerCode(in);
        if (code != 0x00 && !isRestart(code)) {
            return code;
        }
    }
}

// A JPEG ends with its end-of-image marker. The segments are passed over by their lengths, so
// that a thumbnail's end marker inside the metadata is not taken for the picture's.
bool jpegEndsEarly(FileWalk& in) {
    constexpr int kEndOfImage = 0xD9;
    constexpr int kStartOfScan = 0xDA;
    constexpr int kTemporary = 0x01;
    in.skip(2); // start of image
    int marker = nextMarker(in);
    for (;;) {
        if (marker == kFileEnded) {
            return true;
        }
        if (marker == kNoMarker || marker == kEndOfImage) {
            return false;
        }
        if (marker == kTemporary || isRestart(marker)) {
            marker = nextMarker(in); // markers without a length
            continue;
        }
        const int high = in.next();
        const int low = in.next();
        if (low < 0) {
            return true;
        }
        const int length = high << 8 | low;
        if (length < 2) {
            return false;
        }
        if (!in.skip(length - 2)) {
            return true;
        }
        marker = marker == kStartOfScan ? markerAfterCodedData(in) : nextMarker(in);
    }
}

// Passes over data sub-blocks up to the empty one that ends them; false when the file ends first.
bool passSubBlocks(FileWalk& in) {
    for (;;) {
        const int size = in.next();
        if (size <= 0) {
            return size == 0;
        }
        if (!in.skip(size)) {
            return false;
        }
    }
}

bool passColourTable(FileWalk& in, int flags) {
    return (flags & 0x80) == 0 || in.skip(3 << ((flags & 7) + 1));
}

// The number of pixels a frame's LZW codes stand for. A code stands for a string of pixels, and
// only the length of each string in the code table is kept: no picture is built.
class LzwPixelCount {
public:
    explicit LzwPixelCount(int rootBits) : clear_(1 << rootBits), rootBits_(rootBits) {
        std::fill_n(length_.begin(), clear_, 1);
        restart();
    }

    // Takes the next byte of the codes, whose bits come lowest first.
    void take(int byte) {
        if (stopped_) {
            return;
        }
        held_ |= static_cast<quint32>(byte) << heldBits_;
        heldBits_ += 8;
        while (!stopped_ && heldBits_ >= codeBits_) {
            // Codes are at most 12 bits, so every code indexes the table; the second mask says
            // so to an optimiser that cannot follow codeBits_.
            const int code = static_cast<int>(held_ & ((1u << codeBits_) - 1) & (kTableSize - 1));
            held_ >>= codeBits_;
            heldBits_ -= codeBits_;
            decode(code);
        }
    }

    qint64 pixels() const { return pixels_; }
    // A code the table does not hold: damaged rather than cut short, for the reader to judge.
    bool damaged() const { return damaged_; }

private:
    void restart() {
        codeBits_ = rootBits_ + 1;
        next_ = clear_ + 2;
        previous_ = -1;
    }

    void decode(int code) {
        if (code == clear_) {
            restart();
            return;
        }
        const bool endCode = code == clear_ + 1;
        if (endCode || code > next_ || (previous_ < 0 && code > clear_)) {
            stopped_ = true;
            damaged_ = !endCode;
            return;
        }
        // The one code not yet in the table is the previous string and its own first pixel.
        const int length = code < next_ ? length_[code] : length_[previous_] + 1;
        if (previous_ >= 0 && next_ < kTableSize) {
            length_[next_++] = length_[previous_] + 1;
            if (next_ == 1 << codeBits_ && next_ < kTableSize) {
                ++codeBits_;
            }
        }
        pixels_ += length;
        previous_ = code;
    }

    static constexpr int kTableSize = 4096;
    std::array<int, kTableSize> length_{};
    const int clear_;
    const int rootBits_;
    int codeBits_ = 0;
    int next_ = 0;
    int previous_ = -1;
    quint32 held_ = 0;
    int heldBits_ = 0;
    qint64 pixels_ = 0;
    bool stopped_ = false;
    bool damaged_ = false;
};

// The reader fills a frame whose codes end before its last pixel with flat colour.
PictureFileCheck passFrameCodes(FileWalk& in, qint64 width, qint64 height) {
    const int rootBits = in.next();
    if (rootBits < 0) {
        return FileEndsEarly;
    }
    if (rootBits < 2 || rootBits > 8) { // no writer makes these; let the reader judge
        return passSubBlocks(in) ? LeftToTheReader : FileEndsEarly;
    }
    LzwPixelCount count(rootBits);
    for (;;) {
        const int size = in.next();
        if (size <= 0) {
            if (size < 0) {
                return FileEndsEarly;
            }
            return count.pixels() < width * height && !count.damaged() ? DataEndsEarly
                                                                       : LeftToTheReader;
        }
        for (int i = 0; i < size; ++i) {
            const int byte = in.next();
            if (byte < 0) {
                return FileEndsEarly;
            }
            count.take(byte);
        }
    }
}

// Little-endian, or -1 when the file ends first.
int nextU16(FileWalk& in) {
    const int low = in.next();
    const int high = in.next();
    return high < 0 ? -1 : low | high << 8;
}

// A GIF ends with its trailer after the last of its blocks.
PictureFileCheck checkGif(FileWalk& in) {
    constexpr int kTrailer = 0x3B;
    constexpr int kExtension = 0x21;
    constexpr int kImage = 0x2C;
    if (!in.skip(10)) { // signature, screen width and height
        return FileEndsEarly;
    }
    const int screenFlags = in.next();
    if (!in.skip(2) || !passColourTable(in, screenFlags)) {
        return FileEndsEarly;
    }
    for (;;) {
        switch (in.next()) {
        case kFileEnded:
            return FileEndsEarly;
        case kTrailer:
            return LeftToTheReader;
        case kExtension:
            if (in.next() < 0 || !passSubBlocks(in)) {
                return FileEndsEarly;
            }
            break;
        case kImage: {
            if (!in.skip(4)) { // place
                return FileEndsEarly;
            }
            const int width = nextU16(in);
            const int height = nextU16(in);
            const int imageFlags = in.next();
            if (width < 0 || height < 0 || imageFlags < 0 || !passColourTable(in, imageFlags)) {
                return FileEndsEarly;
            }
            const PictureFileCheck frame = passFrameCodes(in, width, height);
            if (frame != LeftToTheReader) {
                return frame;
            }
            break;
        }
        default:
            return LeftToTheReader; // damaged rather than cut short: the reader says so
        }
    }
}

} // namespace

PictureFileCheck checkPictureFile(QIODevice& file) {
    const QByteArray head = file.peek(kFileHeaderBytes + 64);
    FileWalk in(file);
    PictureFileCheck check = LeftToTheReader;
    if (head.startsWith("BM")) {
        check = checkBitmap(in, head, file.size());
    } else if (head.startsWith("\xFF\xD8\xFF")) {
        check = jpegEndsEarly(in) ? FileEndsEarly : LeftToTheReader;
    } else if (head.startsWith("GIF87a") || head.startsWith("GIF89a")) {
        check = checkGif(in);
    }
    file.seek(0);
    return check;
}

} // namespace loomara

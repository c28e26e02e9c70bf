// JPEG through libjpeg-turbo: the reference decoder, fuzzed continuously
// upstream, with its memory bounded here (no backing store: a claim beyond
// the bound fails instead of allocating), its progressive scans capped, and
// the warnings that mean missing or damaged data (a file that ends early, a
// marker inside a scan, a bad Huffman code) taken as failures, where the
// decoder alone would pad the image and call it done.
#include "image/ImageReader.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

namespace qmimage {

namespace {

// An honest progressive file needs a dozen scans or so; a crafted one with
// hundreds of empty scans makes the decoder walk every block of the image
// for each (about 50 ns a block here). Scans are capped at 100, and at what
// keeps a file's walks within kScanBlocks blocks (about half a second), but
// never below 24.
constexpr int kMaxScans = 100;
constexpr int kMinScans = 24;
constexpr double kScanBlocks = 8e6;
constexpr long kMaxDecoderMemory = 1L << 30;

struct ErrorManager {
    jpeg_error_mgr standard;
    std::jmp_buf jump;
    char reason[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->reason);
    std::longjmp(errors->jump, 1);
}

void OnMessage(j_common_ptr info, int level) {
    if (level >= 0) return;  // trace messages
    switch (info->err->msg_code) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_MUST_RESYNC:
        case JWRN_NOT_SEQUENTIAL:
            OnError(info);
        default:
            break;  // damage that the decoder repairs as any viewer would
    }
}

struct Progress {
    jpeg_progress_mgr standard;  // first: libjpeg sees only this
    int maxScans;
};

void OnProgress(j_common_ptr info) {
    if (!info->is_decompressor) return;
    auto* decoder = reinterpret_cast<j_decompress_ptr>(info);
    const int maxScans = reinterpret_cast<Progress*>(info->progress)->maxScans;
    if (decoder->input_scan_number > maxScans) {
        auto* errors = reinterpret_cast<ErrorManager*>(info->err);
        std::snprintf(errors->reason, sizeof errors->reason,
                      "a progressive JPEG of more than %d scans", maxScans);
        std::longjmp(errors->jump, 1);
    }
}

int MaxScans(const jpeg_decompress_struct& info) {
    double blocks = 0;
    for (int i = 0; i < info.num_components; ++i)
        blocks += double(info.comp_info[i].width_in_blocks) * double(info.comp_info[i].height_in_blocks);
    const double scans = blocks > 0 ? kScanBlocks / blocks : kMaxScans;
    return scans >= kMaxScans ? kMaxScans : scans <= kMinScans ? kMinScans : int(scans);
}

// Adobe's CMYK is stored inverted; the others as printed.
void CmykToRgba(unsigned char* row, int width, bool inverted) {
    for (int x = 0; x < width; ++x) {
        unsigned char* p = row + 4 * x;
        unsigned c = p[0], m = p[1], y = p[2], k = p[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        p[0] = static_cast<unsigned char>((c * k + 127) / 255);
        p[1] = static_cast<unsigned char>((m * k + 127) / 255);
        p[2] = static_cast<unsigned char>((y * k + 127) / 255);
        p[3] = 255;
    }
}

// Both steps run the decoder between setjmp and the end of the function, so
// no object with a destructor lives in these frames.
bool Run(Bytes in, Header* header, unsigned char* rgba, int width, int height, Problem* why) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    Progress progress;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = OnError;
    errors.standard.emit_message = OnMessage;
    errors.reason[0] = '\0';
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        SetProblem(why, Failure::Corrupt, "%s",
                   errors.reason[0] ? errors.reason : "the JPEG data is corrupt");
        return false;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxDecoderMemory;
    progress.standard.progress_monitor = OnProgress;
    progress.maxScans = kMaxScans;
    info.progress = &progress.standard;
    jpeg_mem_src(&info, in.data, static_cast<unsigned long>(in.size));
    jpeg_read_header(&info, TRUE);
    if (header) {
        header->width = info.image_width;
        header->height = info.image_height;
        jpeg_destroy_decompress(&info);
        return true;
    }
    if (int(info.image_width) != width || int(info.image_height) != height) {
        jpeg_destroy_decompress(&info);
        SetProblem(why, Failure::Corrupt, "the JPEG's size changed between reads");
        return false;
    }
    progress.maxScans = MaxScans(info);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    jpeg_start_decompress(&info);
    if (int(info.output_width) != width || int(info.output_height) != height ||
        info.output_components != 4) {
        jpeg_destroy_decompress(&info);
        SetProblem(why, Failure::Corrupt, "the JPEG decodes to another size than it claims");
        return false;
    }
    while (info.output_scanline < info.output_height) {
        unsigned char* row = rgba + std::size_t(info.output_scanline) * std::size_t(width) * 4u;
        if (jpeg_read_scanlines(&info, &row, 1) != 1) break;
        if (cmyk) CmykToRgba(row, width, info.saw_Adobe_marker != 0);
    }
    const bool complete = info.output_scanline == info.output_height;
    jpeg_destroy_decompress(&info);
    if (!complete) {
        SetProblem(why, Failure::Corrupt, "the JPEG data ends early");
        return false;
    }
    return true;
}

}  // namespace

bool JpegHeader(Bytes in, Header* header, Problem* why) {
    // A flat image at its most compressed (one-bit DC codes, end-of-band
    // runs) makes a few hundred pixels of a byte.
    header->pixelsPerByte = 256.0;
    return Run(in, header, nullptr, 0, 0, why);
}

bool JpegDecode(Bytes in, unsigned char* rgba, int width, int height, Problem* why) {
    return Run(in, nullptr, rgba, width, height, why);
}

}  // namespace qmimage

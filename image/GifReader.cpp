// GIF through giflib: the long-standing reference reader, fuzzed
// continuously upstream. Only the first frame is read, record by record (no
// DGifSlurp, which would decode and keep every frame of an animation), and
// placed on the canvas the screen descriptor claims.
#include "image/ImageReader.h"

#include <gif_lib.h>

#include <cstdlib>
#include <cstring>

namespace qmimage {

namespace {

struct Source {
    Bytes in;
    std::size_t offset;
};

int ReadBytes(GifFileType* gif, GifByteType* out, int count) {
    auto* source = static_cast<Source*>(gif->UserData);
    const std::size_t left = source->in.size - source->offset;
    const std::size_t n = count < 0 ? 0 : (std::size_t(count) < left ? std::size_t(count) : left);
    std::memcpy(out, source->in.data + source->offset, n);
    source->offset += n;
    return int(n);
}

const char* Reason(int error) {
    switch (error) {
        case D_GIF_ERR_READ_FAILED:
        case D_GIF_ERR_EOF_TOO_SOON: return "the GIF data ends early";
        case D_GIF_ERR_NOT_ENOUGH_MEM: return "no memory to read the GIF";
        default: {
            const char* text = GifErrorString(error);
            return text ? text : "the GIF is corrupt";
        }
    }
}

// The first image's pixels, rows in the file's order (interlaced rows come
// in four passes), written where they fall on the canvas.
bool ReadFirstImage(GifFileType* gif, unsigned char* rgba, int width, int height, Problem* why) {
    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType record;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR) break;
        if (record == TERMINATE_RECORD_TYPE) {
            SetProblem(why, Failure::Corrupt, "a GIF with no image");
            return false;
        }
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) break;
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                GraphicsControlBlock control;
                if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                    transparent = control.TransparentColor;
            }
            while (block) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                    SetProblem(why, Failure::Corrupt, "%s", Reason(gif->Error));
                    return false;
                }
            }
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE) continue;

        if (DGifGetImageDesc(gif) == GIF_ERROR) break;
        const GifImageDesc& frame = gif->Image;
        const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
        if (!map || !map->Colors || map->ColorCount <= 0) {
            SetProblem(why, Failure::Corrupt, "a GIF image without colours");
            return false;
        }
        if (frame.Width <= 0 || frame.Height <= 0) {
            SetProblem(why, Failure::Corrupt, "a GIF frame of %d x %d pixels", frame.Width,
                       frame.Height);
            return false;
        }
        auto* line = static_cast<GifPixelType*>(Allocate(std::size_t(frame.Width)));
        if (!line) {
            SetProblem(why, Failure::TooLarge, "no memory for a GIF row");
            return false;
        }
        static const int kStart[4] = {0, 4, 2, 1};
        static const int kStep[4] = {8, 8, 4, 2};
        const int passes = frame.Interlace ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass) {
            const int start = frame.Interlace ? kStart[pass] : 0;
            const int step = frame.Interlace ? kStep[pass] : 1;
            for (int row = start; row < frame.Height; row += step) {
                if (DGifGetLine(gif, line, frame.Width) == GIF_ERROR) {
                    std::free(line);
                    SetProblem(why, Failure::Corrupt, "%s", Reason(gif->Error));
                    return false;
                }
                const long y = long(frame.Top) + row;
                if (y < 0 || y >= height) continue;
                unsigned char* out = rgba + std::size_t(y) * std::size_t(width) * 4u;
                for (int i = 0; i < frame.Width; ++i) {
                    const long x = long(frame.Left) + i;
                    if (x < 0 || x >= width) continue;
                    const int index = line[i];
                    unsigned char* p = out + 4 * x;
                    // An index past the colour table is left transparent, as
                    // is the transparent colour.
                    if (index == transparent || index >= map->ColorCount) continue;
                    p[0] = map->Colors[index].Red;
                    p[1] = map->Colors[index].Green;
                    p[2] = map->Colors[index].Blue;
                    p[3] = 255;
                }
            }
        }
        std::free(line);
        return true;
    }
    SetProblem(why, Failure::Corrupt, "%s", Reason(gif->Error));
    return false;
}

}  // namespace

bool GifHeader(Bytes in, Header* header, Problem* why) {
    if (in.size < 13) {
        SetProblem(why, Failure::Corrupt, "a GIF without its screen descriptor");
        return false;
    }
    header->width = in.data[6] | (in.data[7] << 8);
    header->height = in.data[8] | (in.data[9] << 8);
    // LZW codes of up to 12 bits stand for up to 4096 pixels; 512 keeps a
    // 64 KB file within 128 MB of pixels and half a second. Flatter images
    // are refused above 4 million pixels.
    header->pixelsPerByte = 512.0;
    return true;
}

bool GifDecode(Bytes in, unsigned char* rgba, int width, int height, Problem* why) {
    Source source{in, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, ReadBytes, &error);
    if (!gif) {
        SetProblem(why, Failure::Corrupt, "%s", Reason(error));
        return false;
    }
    const bool ok = ReadFirstImage(gif, rgba, width, height, why);
    DGifCloseFile(gif, &error);
    return ok;
}

}  // namespace qmimage

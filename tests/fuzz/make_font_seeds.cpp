// Writes the font fuzz ring's seeds: small fonts cut from Debian's DejaVu
// (fonts-dejavu-core), Lohit Devanagari (fonts-lohit-deva) and Cantarell
// (fonts-cantarell, PostScript outlines) down to the characters the fuzz
// target draws, with their kerning, ligature, joining and reordering tables,
// hinted and not, and a collection of two of them.
// Made at each run from the installed fonts, so that no font file of
// theirs is kept in the repository. The same HarfBuzz makes the same bytes.
//   make_font_seeds OUTPUT_FOLDER
#include <hb-subset.h>
#include <hb.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

const char* const kDejaVu = "/usr/share/fonts/truetype/dejavu/";
const char* const kLohit = "/usr/share/fonts/truetype/lohit-devanagari/Lohit-Devanagari.ttf";
const char* const kCantarell = "/usr/share/fonts/opentype/cantarell/Cantarell-Regular.otf";

// The characters of tests/fuzz/font_fuzz.cpp's strings, by script.
const char* const kLatin =
    "AVATAR WAVE To Ty Yo. fi ffi fl Pilot: Zo\xC3\xAB The quick brown fox jumps over the "
    "lazy dog W m \xC3\xA9\xCC\x81\xC4\xB3";
const char* const kArabic =
    "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 \xD8\xB9\xD9\x84\xD9\x8A\xD9\x83\xD9\x85 "
    "\xD9\xA1\xD9\xA2\xD9\xA3 abc";
const char* const kDevanagari =
    "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87 "
    "\xE0\xA4\x95\xE0\xA5\x8D\xE0\xA4\xB7\xE0\xA4\xA4\xE0\xA5\x8D\xE0\xA4\xB0\xE0\xA4\xBF"
    "\xE0\xA4\xAF \xE0\xA4\xB0\xE0\xA5\x8D\xE0\xA4\x95 abc";

std::string folder;

[[noreturn]] void Die(const std::string& why) {
    std::fprintf(stderr, "make_font_seeds: %s\n", why.c_str());
    std::exit(1);
}

void Write(const std::string& name, const Bytes& bytes) {
    const std::string path = folder + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) Die("cannot write " + path);
    std::fclose(f);
    std::printf("%s %zu bytes\n", name.c_str(), bytes.size());
}

// The font at `path` cut down to the characters of `text`.
Bytes Subset(const std::string& path, const char* text, unsigned flags) {
    hb_blob_t* blob = hb_blob_create_from_file_or_fail(path.c_str());
    if (!blob) Die("cannot read " + path + " (tools/install-deps.sh test installs it)");
    hb_face_t* face = hb_face_create(blob, 0);
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    if (!input) Die("out of memory");
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf8(buffer, text, -1, 0, -1);
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    hb_set_t* unicodes = hb_subset_input_unicode_set(input);
    for (unsigned i = 0; i < count; ++i) hb_set_add(unicodes, info[i].codepoint);
    hb_subset_input_set_flags(input, flags);
    hb_face_t* cut = hb_subset_or_fail(face, input);
    if (!cut) Die("could not cut " + path);
    hb_blob_t* out = hb_face_reference_blob(cut);
    unsigned length = 0;
    const char* data = hb_blob_get_data(out, &length);
    Bytes bytes(data, data + length);
    hb_blob_destroy(out);
    hb_face_destroy(cut);
    hb_buffer_destroy(buffer);
    hb_subset_input_destroy(input);
    hb_face_destroy(face);
    hb_blob_destroy(blob);
    return bytes;
}

unsigned long Get32(const Bytes& b, std::size_t at) {
    return (unsigned long)b[at] << 24 | (unsigned long)b[at + 1] << 16 |
           (unsigned long)b[at + 2] << 8 | b[at + 3];
}
void Put32(Bytes& b, std::size_t at, unsigned long v) {
    for (int k = 0; k < 4; ++k) b[at + std::size_t(k)] = static_cast<unsigned char>(v >> (24 - 8 * k));
}

// A collection of the fonts: its header, then each font with its table
// offsets moved to where the font now starts.
Bytes Collection(const std::vector<Bytes>& fonts) {
    Bytes out = {'t', 't', 'c', 'f', 0, 1, 0, 0};
    out.resize(12 + 4 * fonts.size());
    Put32(out, 8, fonts.size());
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        while (out.size() % 4) out.push_back(0);
        const std::size_t at = out.size();
        Put32(out, 12 + 4 * i, at);
        Bytes font = fonts[i];
        const unsigned tables = unsigned(font[4]) << 8 | font[5];
        for (unsigned t = 0; t < tables; ++t) {
            const std::size_t record = 12 + 16 * std::size_t(t);
            Put32(font, record + 8, Get32(font, record + 8) + at);
        }
        out.insert(out.end(), font.begin(), font.end());
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) Die("usage: make_font_seeds OUTPUT_FOLDER");
    folder = argv[1];
    const std::string sans = std::string(kDejaVu) + "DejaVuSans.ttf";
    const Bytes latin = Subset(sans, kLatin, HB_SUBSET_FLAGS_DEFAULT);
    const Bytes devanagari = Subset(kLohit, kDevanagari, HB_SUBSET_FLAGS_DEFAULT);
    Write("seed-latin.ttf", latin);
    Write("seed-latin-unhinted.ttf", Subset(sans, kLatin, HB_SUBSET_FLAGS_NO_HINTING));
    Write("seed-arabic.ttf", Subset(sans, kArabic, HB_SUBSET_FLAGS_DEFAULT));
    Write("seed-devanagari.ttf", devanagari);
    Write("seed-serif-bold-italic.ttf",
          Subset(std::string(kDejaVu) + "DejaVuSerif-BoldItalic.ttf", kLatin, HB_SUBSET_FLAGS_DEFAULT));
    Write("seed-mono.ttf", Subset(std::string(kDejaVu) + "DejaVuSansMono.ttf", "AVWa To fi 0123",
                                  HB_SUBSET_FLAGS_DEFAULT));
    Write("seed-math.ttf", Subset(std::string(kDejaVu) + "DejaVuMathTeXGyre.ttf", "AVx+=\xE2\x88\x91",
                                  HB_SUBSET_FLAGS_DEFAULT));
    Write("seed-collection.ttc", Collection({latin, devanagari}));
    Write("seed-cff.otf", Subset(kCantarell, kLatin, HB_SUBSET_FLAGS_DEFAULT));
    Write("seed-cff-flat.otf", Subset(kCantarell, "AVWa To fi", HB_SUBSET_FLAGS_DESUBROUTINIZE));
    return 0;
}

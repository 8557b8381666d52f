// Text output through FreeType, with fonts found by family name through
// fontconfig. Glyphs are drawn crisp in one colour: a pixel is set where the
// anti-aliased coverage is at least one half.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/dc.h"

namespace plk {

Font default_font() { return Font{"Arial", 16, 400, false}; }

namespace {

// Cell heights beyond this are drawn at this height: a glyph bitmap grows
// with the square of the height and nothing legible needs more.
constexpr int kMaxFontHeight = 1024;

struct GlyphImage {
    int left = 0;     // offset of the bitmap from the pen position
    int top = 0;      // rows of the bitmap above the baseline
    int width = 0;
    int rows = 0;
    int advance = 0;  // whole pixels
    std::vector<std::uint8_t> on;  // width * rows, 1 where the pixel is set
};

// One font file at one cell height, with the glyphs rendered so far.
struct SizedFace {
    FT_Face face = nullptr;
    bool embolden = false;
    int ascent = 0;
    int descent = 0;
    int underline_offset = 1;  // first underline row below the baseline
    int underline_thickness = 1;
    std::unordered_map<char32_t, GlyphImage> glyphs;

    const GlyphImage& glyph(char32_t code);
};

const GlyphImage& SizedFace::glyph(char32_t code) {
    auto it = glyphs.find(code);
    if (it != glyphs.end()) return it->second;
    GlyphImage g;
    if (face && FT_Load_Char(face, code, FT_LOAD_DEFAULT) == 0) {
        FT_GlyphSlot slot = face->glyph;
        if (embolden) FT_GlyphSlot_Embolden(slot);
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
            const FT_Bitmap& b = slot->bitmap;
            g.left = slot->bitmap_left;
            g.top = slot->bitmap_top;
            g.width = static_cast<int>(b.width);
            g.rows = static_cast<int>(b.rows);
            g.on.assign(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.rows), 0);
            for (int y = 0; y < g.rows; ++y) {
                const unsigned char* src = b.buffer + static_cast<std::ptrdiff_t>(y) * b.pitch;
                for (int x = 0; x < g.width; ++x) {
                    bool set = false;
                    if (b.pixel_mode == FT_PIXEL_MODE_GRAY) set = src[x] >= 128;
                    else if (b.pixel_mode == FT_PIXEL_MODE_MONO) set = (src[x / 8] >> (7 - (x & 7))) & 1;
                    g.on[static_cast<std::size_t>(y) * g.width + x] = set ? 1 : 0;
                }
            }
        }
    }
    return glyphs.emplace(code, std::move(g)).first->second;
}

struct FontFile {
    std::string path;  // empty when fontconfig found nothing
    int index = 0;
    bool embolden = false;
};

// FreeType, the font files chosen for each family and weight, and the faces
// opened for each file and height. Lives until the program exits and then
// frees everything it opened.
class FontCache {
public:
    ~FontCache() {
        for (auto& [key, f] : faces_)
            if (f->face) FT_Done_Face(f->face);
        faces_.clear();
        if (library_) FT_Done_FreeType(library_);
    }

    SizedFace& face_for(const Font& font) {
        int height = font.height < 0 ? -font.height : font.height;
        if (height == 0) height = default_font().height;
        height = std::min(height, kMaxFontHeight);
        const FontFile& file = file_for(font.family, font.weight);
        auto key = std::make_tuple(file.path, file.index, file.embolden, height);
        auto it = faces_.find(key);
        if (it != faces_.end()) return *it->second;
        auto sized = std::make_unique<SizedFace>();
        open(*sized, file, height);
        return *faces_.emplace(key, std::move(sized)).first->second;
    }

private:
    const FontFile& file_for(const std::string& family, int weight) {
        if (weight <= 0) weight = 400;
        auto key = std::make_pair(family, weight);
        auto it = files_.find(key);
        if (it != files_.end()) return it->second;
        FontFile file;
        if (FcPattern* pattern = FcPatternCreate()) {
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
            FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(std::min(weight, 1000)));
            FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
            FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
                FcChar8* path = nullptr;
                if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
                    file.path = reinterpret_cast<const char*>(path);
                int index = 0;
                if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) file.index = index;
                FcBool embolden = FcFalse;
                if (FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch) file.embolden = embolden;
                FcPatternDestroy(match);
            }
            FcPatternDestroy(pattern);
        }
        return files_.emplace(key, std::move(file)).first->second;
    }

    void open(SizedFace& sized, const FontFile& file, int height) {
        // Without a usable face the text still has its cell height.
        sized.ascent = height - height / 5;
        sized.descent = height - sized.ascent;
        if (file.path.empty()) return;
        if (!library_ && FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            return;
        }
        FT_Face face = nullptr;
        if (FT_New_Face(library_, file.path.c_str(), file.index, &face) != 0) return;
        // The cell (ascent + descent) is what the height names; the Windows
        // metrics of the OS/2 table define it for TrueType fonts, the
        // horizontal header otherwise.
        long asc = face->ascender, desc = -face->descender;
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && os2->version != 0xFFFFu && os2->usWinAscent + os2->usWinDescent > 0) {
            asc = os2->usWinAscent;
            desc = os2->usWinDescent;
        }
        if (asc + desc <= 0) {
            asc = face->units_per_EM ? face->units_per_EM : 1000;
            desc = 0;
        }
        const long upem = face->units_per_EM ? face->units_per_EM : asc + desc;
        const FT_F26Dot6 em = static_cast<FT_F26Dot6>(std::int64_t{height} * 64 * upem / (asc + desc));
        if (FT_Set_Char_Size(face, 0, std::max<FT_F26Dot6>(em, 1), 72, 72) != 0) {
            FT_Done_Face(face);
            return;
        }
        sized.face = face;
        sized.embolden = file.embolden;
        sized.ascent = static_cast<int>((std::int64_t{height} * asc * 2 + (asc + desc)) / (2 * (asc + desc)));
        sized.descent = height - sized.ascent;
        if (face->underline_thickness > 0) {
            const double px = static_cast<double>(height) / static_cast<double>(asc + desc);
            sized.underline_thickness = std::max(1, static_cast<int>(face->underline_thickness * px + 0.5));
            // underline_position is the centre of the line, negative below the baseline.
            const int centre = static_cast<int>(-face->underline_position * px + 0.5);
            sized.underline_offset = std::max(1, centre - sized.underline_thickness / 2);
        }
        // Keep the underline inside the cell.
        sized.underline_thickness = std::min(sized.underline_thickness, std::max(sized.descent, 1));
        sized.underline_offset = std::min(sized.underline_offset, std::max(sized.descent - sized.underline_thickness, 0));
    }

    FT_Library library_ = nullptr;
    std::map<std::pair<std::string, int>, FontFile> files_;
    std::map<std::tuple<std::string, int, bool, int>, std::unique_ptr<SizedFace>> faces_;
};

FontCache& font_cache() {
    static FontCache cache;
    return cache;
}

// Code points of a text: UTF-8 when the bytes are valid UTF-8, otherwise
// each byte is one Latin-1 character (texts from older files).
std::u32string decode(const std::string& text) {
    std::u32string out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > n) break;
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1f) : len == 3 ? (c & 0x0f) : (c & 0x07);
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            if ((p[i + k] & 0xc0) != 0x80) ok = false;
            cp = (cp << 6) | (p[i + k] & 0x3f);
        }
        // Overlong forms, surrogates and values past the last code point are not UTF-8.
        static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!ok || cp < kMin[len] || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff)) break;
        out.push_back(cp);
        i += len;
        if (i == n) return out;
    }
    if (out.size() == text.size() || n == 0) return out;
    out.clear();
    for (std::size_t i = 0; i < n; ++i) out.push_back(p[i]);
    return out;
}

}  // namespace

namespace {

// Sum of advances; 64-bit so that no text length can overflow it.
std::int64_t advance_width(SizedFace& face, const std::u32string& codes) {
    std::int64_t width = 0;
    for (char32_t c : codes) width += face.glyph(c).advance;
    return width;
}

}  // namespace

Point Dc::text_extent(const std::string& text) const {
    SizedFace& face = font_cache().face_for(font_);
    const std::int64_t width = advance_width(face, decode(text));
    return {static_cast<int>(std::min<std::int64_t>(width, INT32_MAX)), face.ascent + face.descent};
}

void Dc::text_out(int x, int y, const std::string& text) {
    SizedFace& face = font_cache().face_for(font_);
    const std::u32string codes = decode(text);
    // Positions in 64 bits: a reference point near the int limits must not
    // overflow; everything off the target is skipped before narrowing.
    const std::int64_t width = advance_width(face, codes);
    const std::int64_t left = align_ == TextAlign::CenterBaseline ? x - width / 2 : x;
    const std::int64_t baseline = align_ == TextAlign::CenterBaseline ? y : std::int64_t{y} + face.ascent;
    const std::int64_t top = baseline - face.ascent;
    const std::int64_t height = face.ascent + face.descent;
    const std::int64_t tw = target_->width(), th = target_->height();
    auto fill = [&](std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, Color c) {
        for (std::int64_t yy = std::max<std::int64_t>(y0, 0); yy < std::min(y1, th); ++yy)
            for (std::int64_t xx = std::max<std::int64_t>(x0, 0); xx < std::min(x1, tw); ++xx)
                plot(static_cast<int>(xx), static_cast<int>(yy), c, MixMode::CopyPen);
    };

    if (bk_mode_ == BkMode::Opaque) fill(left, top, left + width, top + height, bk_color_);
    std::int64_t pen_x = left;
    for (char32_t c : codes) {
        if (pen_x >= tw) break;
        const GlyphImage& g = face.glyph(c);
        const std::int64_t gx = pen_x + g.left, gy = baseline - g.top;
        pen_x += g.advance;
        if (gx + g.width <= 0 || gy + g.rows <= 0 || gy >= th) continue;
        for (int r = 0; r < g.rows; ++r) {
            for (int k = 0; k < g.width; ++k) {
                const std::int64_t px = gx + k, py = gy + r;
                if (g.on[static_cast<std::size_t>(r) * g.width + k] && px >= 0 && px < tw && py >= 0 && py < th)
                    plot(static_cast<int>(px), static_cast<int>(py), text_color_, MixMode::CopyPen);
            }
        }
    }
    if (font_.underline) {
        const std::int64_t u0 = baseline + face.underline_offset;
        fill(left, u0, left + width, u0 + face.underline_thickness, text_color_);
    }
}

}  // namespace plk

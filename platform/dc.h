#pragma once
// A device context: a drawing target bitmap plus the selected drawing state.
// Drawing never fails: everything is clipped to the target bitmap and to the
// clip region when one is selected.
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/color.h"
#include "platform/region.h"

namespace plk {

// How a pen's colour combines with the pixels it covers.
enum class MixMode {
    CopyPen,  // pixel = pen colour
    XorPen,   // pixel = pixel XOR pen colour (the same line twice restores the pixels)
    White,    // pixel = white
};

enum class BkMode { Transparent, Opaque };

struct Pen {
    Color color = kBlack;
    int width = 1;  // width in pixels; 0 counts as 1
    friend bool operator==(const Pen&, const Pen&) = default;
};

// A font chosen by family name ("Arial", "Comic Sans MS", ...), character cell
// height in pixels and weight (400 normal, 700 bold). Families are resolved to
// installed fonts through fontconfig.
struct Font {
    std::string family = "Arial";
    int height = 16;
    int weight = 400;
    bool underline = false;
    friend bool operator==(const Font&, const Font&) = default;
};

// The font a new device context starts with (used for dimension texts).
Font default_font();

// Text alignment relative to the reference point of text_out.
enum class TextAlign {
    LeftTop,         // the default of a new device context
    CenterBaseline,  // centred on x, baseline on y
};

class Dc {
public:
    explicit Dc(Bitmap& target);
    ~Dc();
    Dc(const Dc&) = delete;
    Dc& operator=(const Dc&) = delete;

    Bitmap& target() { return *target_; }
    const Bitmap& target() const { return *target_; }

    // Each select returns the previous value so callers can restore it.
    Pen select_pen(const Pen& pen);
    const Pen& pen() const { return pen_; }
    Font select_font(const Font& font);
    const Font& font() const { return font_; }
    MixMode set_mix(MixMode mode);
    MixMode mix() const { return mix_; }
    Color set_text_color(Color c);
    Color text_color() const { return text_color_; }
    BkMode set_bk_mode(BkMode mode);
    Color set_bk_color(Color c);
    TextAlign set_text_align(TextAlign align);

    // Clip region (copied). nullptr removes the clip.
    void set_clip(const Region* region);
    bool has_clip() const;

    // Line from (x1, y1) to (x2, y2) with the current pen and mix mode. The
    // last pixel (x2, y2) is not drawn. Wider pens draw a square of pen.width
    // pixels centred on each point of the line.
    void line(int x1, int y1, int x2, int y2);
    // The four sides of the rectangle with corners (x1, y1) and (x2, y2),
    // every corner pixel drawn once (so XOR boxes also cancel out).
    void rectangle_outline(int x1, int y1, int x2, int y2);
    // kInvalidColor outside the target or outside the clip.
    Color get_pixel(int x, int y) const;
    void set_pixel(int x, int y, Color c);

    // Raster operations of a pattern fill on (x, y, w, h).
    enum class PatOp { Whiteness, Blackness, Source /* needs a source: draws nothing */ };
    // Returns false (and draws nothing) for an operation that needs a source.
    bool pat_blt(int x, int y, int w, int h, PatOp op);
    // The whole target white (ignores the clip, like filling a bitmap).
    void fill_white();

    // Text with the selected font, text colour, background mode and alignment.
    // Crisp one-colour glyphs (coverage >= 50% sets the pixel).
    void text_out(int x, int y, const std::string& text);
    // Width and height (ascent + descent) of a text in the selected font.
    Point text_extent(const std::string& text) const;

    // Plain copy of (sx, sy, w, h) of src onto (dx, dy) of the target.
    void bit_blt(int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy);
    // Colour-on-colour stretch: (sx, sy, sw, sh) of src onto (dx, dy, dw, dh),
    // each target pixel takes the nearest source pixel; no blending.
    void stretch_blt(int dx, int dy, int dw, int dh, const Bitmap& src, int sx, int sy, int sw, int sh);

private:
    bool clip_ok(int x, int y) const;
    void plot(int x, int y, Color c, MixMode mode);
    void stamp(int x, int y);

    Bitmap* target_;
    Pen pen_{};
    Font font_ = default_font();
    MixMode mix_ = MixMode::CopyPen;
    Color text_color_ = kBlack;
    Color bk_color_ = kWhite;
    BkMode bk_mode_ = BkMode::Opaque;
    TextAlign align_ = TextAlign::LeftTop;
    struct Clip;
    std::unique_ptr<Clip> clip_;
};

}  // namespace plk

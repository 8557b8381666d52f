// The files the build puts beside the program: generated pictures, example
// designs, test designs and help pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/bmp.h"

namespace {

namespace fs = std::filesystem;
using plk::Bitmap;
using plk::Color;

std::string bin_path(const std::string& name) { return std::string(PLK_BIN_DIR) + "/" + name; }

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

double luminance(Color c) {
    return 0.30 * plk::red_of(c) + 0.59 * plk::green_of(c) + 0.11 * plk::blue_of(c);
}

// ---- Generated pictures -------------------------------------------------

struct PictureCase {
    const char* file;
    int width;   // 0: any
    int height;  // 0: any
    int bpp;
    std::uintmax_t max_bytes;
};
void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.file; }

class GeneratedPicture : public testing::TestWithParam<PictureCase> {};

TEST_P(GeneratedPicture, HasItsSizeAndDepth) {
    const PictureCase& c = GetParam();
    const std::string path = bin_path(c.file);
    ASSERT_TRUE(fs::exists(path)) << path;
    EXPECT_LE(fs::file_size(path), c.max_bytes);
    const Bitmap bmp = plk::read_bmp(path);
    if (c.width) {
        EXPECT_EQ(bmp.width(), c.width);
    }
    if (c.height) {
        EXPECT_EQ(bmp.height(), c.height);
    }
    EXPECT_FALSE(bmp.empty());
    EXPECT_EQ(bmp.bpp(), c.bpp);
}

INSTANTIATE_TEST_SUITE_P(
    Assets, GeneratedPicture,
    testing::Values(
        // The canvas: only its size is used, so it is stored at one bit per pixel.
        PictureCase{"quartel.dll", 2400, 1700, 1, 600 * 1024},
        PictureCase{"lcolours.qvp", 312, 405, 24, 400 * 1024},
        PictureCase{"lcolorT.qvp", 0, 0, 24, 16 * 1024},
        PictureCase{"defcube5.pic", 0, 0, 24, 64 * 1024},
        PictureCase{"logo.bmp", 147, 77, 24, 64 * 1024}),
    [](const testing::TestParamInfo<PictureCase>& info) {
        std::string name = info.param.file;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

TEST(Canvas, HoldsTheTallestLayoutDrawing) {
    // Top margin 80, outline up to 1400, footer baseline 75 below it and a
    // footer font of 64 pixels: all of it must land on the canvas.
    const Bitmap canvas = plk::read_bmp(bin_path("quartel.dll"));
    EXPECT_GE(canvas.width(), 2400);
    EXPECT_GE(canvas.height(), 80 + 1400 + 75 + 64);
}

TEST(BoardTile, IsCoveredByTheSampleCopiedOntoIt) {
    // The texture fill copies a 78 x 46 sample cell onto the tile's corner;
    // a larger tile would keep unpainted parts, and the tile is stretched
    // to one board (about 6 : 1), so it should have a board's proportions.
    const Bitmap tile = plk::read_bmp(bin_path("lcolorT.qvp"));
    EXPECT_LE(tile.width(), 78);
    EXPECT_LE(tile.height(), 46);
    const double aspect = static_cast<double>(tile.width()) / tile.height();
    EXPECT_GE(aspect, 4.5);
    EXPECT_LE(aspect, 8.0);
}

struct CellStats {
    double mean[3];
    double spread;  // standard deviation of the luminance
};

CellStats cell_stats(const Bitmap& sheet, int x0, int y0, int w, int h) {
    CellStats s{{0, 0, 0}, 0};
    double lum_sum = 0;
    double lum_sq = 0;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            const Color c = sheet.pixel(x, y);
            s.mean[0] += plk::red_of(c);
            s.mean[1] += plk::green_of(c);
            s.mean[2] += plk::blue_of(c);
            const double l = luminance(c);
            lum_sum += l;
            lum_sq += l * l;
        }
    }
    const double n = static_cast<double>(w) * h;
    for (double& m : s.mean) m /= n;
    s.spread = std::sqrt(std::max(0.0, lum_sq / n - (lum_sum / n) * (lum_sum / n)));
    return s;
}

// The whole cell is what the Material dialog shows; its top rows are what
// the texture fill stretches onto every board. Both must tell the 36 samples
// apart and look like wood, not a flat colour.
TEST(SampleSheet, ThirtySixDistinctTexturedSamples) {
    const Bitmap sheet = plk::read_bmp(bin_path("lcolours.qvp"));
    const Bitmap tile = plk::read_bmp(bin_path("lcolorT.qvp"));
    ASSERT_EQ(sheet.width(), 312);
    ASSERT_EQ(sheet.height(), 405);
    for (const int rows : {45, tile.height()}) {
        SCOPED_TRACE("rows per cell: " + std::to_string(rows));
        std::vector<CellStats> cells;
        for (int n = 1; n <= 36; ++n) {
            const int column = (n - 1) % 4;
            const int row = (n - 1) / 4;
            cells.push_back(cell_stats(sheet, 78 * column, 45 * row, 78, rows));
            EXPECT_GE(cells.back().spread, 3.0) << "sample " << n << " is a flat colour";
        }
        for (int a = 0; a < 36; ++a) {
            for (int b = a + 1; b < 36; ++b) {
                const double d = std::hypot(cells[a].mean[0] - cells[b].mean[0],
                                            cells[a].mean[1] - cells[b].mean[1],
                                            cells[a].mean[2] - cells[b].mean[2]);
                EXPECT_GE(d, 10.0) << "samples " << a + 1 << " and " << b + 1 << " look alike";
            }
        }
    }
}

TEST(Logo, WordmarkOnWhite) {
    const Bitmap logo = plk::read_bmp(bin_path("logo.bmp"));
    ASSERT_EQ(logo.width(), 147);
    ASSERT_EQ(logo.height(), 77);
    for (const auto& [x, y] : {std::pair{0, 0}, {146, 0}, {0, 76}, {146, 76}})
        EXPECT_EQ(logo.pixel(x, y), plk::kWhite) << x << "," << y;
    // The wordmark sits below the plank motif; without a usable font it
    // would be missing, which a count of dark pixels there shows.
    int dark = 0;
    for (int y = 36; y < 77; ++y)
        for (int x = 0; x < 147; ++x)
            if (luminance(logo.pixel(x, y)) < 110) ++dark;
    EXPECT_GE(dark, 150);
}

// ---- Designs ------------------------------------------------------------

struct Segment {
    long long x1, y1, x2, y2;
};

struct Design {
    std::vector<std::string> lines;
    std::vector<Segment> segments;
    bool crlf = true;
};

// A plain reading of the design layout: lines 7.. up to "[ENDSEC]" are the
// outline, four whole numbers each.
Design parse_design(const std::string& text) {
    Design d;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t nl = text.find('\n', pos);
        std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        if (line.empty() || line.back() != '\r' || nl == std::string::npos) d.crlf = false;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        d.lines.push_back(line);
        if (nl == std::string::npos) break;
        pos = nl + 1;
    }
    for (std::size_t i = 6; i < d.lines.size() && d.lines[i] != "[ENDSEC]"; ++i) {
        Segment s{};
        char c1 = 0, c2 = 0, c3 = 0;
        std::istringstream in(d.lines[i]);
        in >> s.x1 >> c1 >> s.y1 >> c2 >> s.x2 >> c3 >> s.y2;
        EXPECT_TRUE(in && c1 == ',' && c2 == ',' && c3 == ',') << "outline line: " << d.lines[i];
        d.segments.push_back(s);
    }
    return d;
}

long long cross(long long ax, long long ay, long long bx, long long by, long long cx, long long cy) {
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

bool on_segment(const Segment& s, long long x, long long y) {
    return std::min(s.x1, s.x2) <= x && x <= std::max(s.x1, s.x2) && std::min(s.y1, s.y2) <= y &&
           y <= std::max(s.y1, s.y2);
}

// True when the two closed segments share any point.
bool touch(const Segment& a, const Segment& b) {
    const long long d1 = cross(b.x1, b.y1, b.x2, b.y2, a.x1, a.y1);
    const long long d2 = cross(b.x1, b.y1, b.x2, b.y2, a.x2, a.y2);
    const long long d3 = cross(a.x1, a.y1, a.x2, a.y2, b.x1, b.y1);
    const long long d4 = cross(a.x1, a.y1, a.x2, a.y2, b.x2, b.y2);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
        return true;
    return (d1 == 0 && on_segment(b, a.x1, a.y1)) || (d2 == 0 && on_segment(b, a.x2, a.y2)) ||
           (d3 == 0 && on_segment(a, b.x1, b.y1)) || (d4 == 0 && on_segment(a, b.x2, b.y2));
}

struct DesignCase {
    const char* path;  // relative to the source tree
    int segments;
    int width;         // bounding box, pixels
    int height;
    int unit_system;
};
void PrintTo(const DesignCase& c, std::ostream* os) { *os << c.path; }

class ValidDesign : public testing::TestWithParam<DesignCase> {};

// Every bundled and test design must be one the layout can take: a closed,
// simple outline on the grid, inside the canvas, within the 100 segments.
TEST_P(ValidDesign, IsAClosedSimpleOutlineOnTheGrid) {
    const DesignCase& c = GetParam();
    const std::string text = read_all(std::string(PLK_SOURCE_DIR) + "/" + c.path);
    ASSERT_FALSE(text.empty()) << c.path;
    const Design d = parse_design(text);
    EXPECT_TRUE(d.crlf) << "every line ends in CR LF";
    ASSERT_EQ(d.lines.size(), 10u + d.segments.size());
    EXPECT_EQ(d.lines[0], "UNIFORMAT");
    EXPECT_EQ(d.lines[2], "0.083334,3," + std::to_string(c.unit_system));
    EXPECT_EQ(d.lines[5], "[x1/y1/x2/y2]");
    EXPECT_EQ(d.lines[d.lines.size() - 3], "[CONSUMER]");
    EXPECT_EQ(d.lines.back(), "[ENDSEC]");

    const auto& s = d.segments;
    ASSERT_EQ(static_cast<int>(s.size()), c.segments);
    ASSERT_LE(s.size(), 100u);
    long long min_x = 1 << 30, min_y = 1 << 30, max_x = 0, max_y = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const Segment& next = s[(i + 1) % s.size()];
        EXPECT_TRUE(s[i].x2 == next.x1 && s[i].y2 == next.y1) << "segment " << i << " is not joined";
        EXPECT_FALSE(s[i].x1 == s[i].x2 && s[i].y1 == s[i].y2) << "segment " << i << " has no length";
        for (const long long v : {s[i].x1, s[i].y1, s[i].x2, s[i].y2}) EXPECT_EQ(v % 3, 0) << "off the grid";
        min_x = std::min({min_x, s[i].x1, s[i].x2});
        max_x = std::max({max_x, s[i].x1, s[i].x2});
        min_y = std::min({min_y, s[i].y1, s[i].y2});
        max_y = std::max({max_y, s[i].y1, s[i].y2});
    }
    EXPECT_GE(min_x, 30);
    EXPECT_GE(min_y, 30);
    EXPECT_LE(max_x, 2400 - 30);
    EXPECT_LE(max_y, 1700 - 30);
    EXPECT_EQ(max_x - min_x, c.width);
    EXPECT_EQ(max_y - min_y, c.height);

    // Non-neighbouring walls never meet; neighbours meet only at their joint
    // (no wall doubles back over the previous one).
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            const bool neighbours = j == i + 1 || (i == 0 && j == n - 1);
            if (!neighbours) {
                EXPECT_FALSE(touch(s[i], s[j])) << "segments " << i << " and " << j << " cross";
            } else {
                const Segment& a = j == i + 1 ? s[i] : s[j];
                const Segment& b = j == i + 1 ? s[j] : s[i];
                const bool collinear = cross(a.x1, a.y1, a.x2, a.y2, b.x2, b.y2) == 0;
                const long long dot = (a.x2 - a.x1) * (b.x2 - b.x1) + (a.y2 - a.y1) * (b.y2 - b.y1);
                EXPECT_FALSE(collinear && dot < 0) << "segment " << j << " doubles back";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Designs, ValidDesign,
    testing::Values(DesignCase{"assets/#example1.pk1", 4, 360, 288, 1},
                    DesignCase{"assets/#example2.pk1", 6, 504, 432, 1},
                    DesignCase{"assets/#example3.pk1", 5, 576, 360, 2},
                    DesignCase{"tests/data/designs/rect_10x8.pk1", 4, 360, 288, 1},
                    DesignCase{"tests/data/designs/l_shape.pk1", 6, 504, 432, 1},
                    DesignCase{"tests/data/designs/slanted.pk1", 5, 576, 360, 2},
                    DesignCase{"tests/data/designs/hall_60x6.pk1", 4, 2160, 216, 1},
                    DesignCase{"tests/data/designs/poly_100.pk1", 100, 1764, 1176, 1}),
    [](const testing::TestParamInfo<DesignCase>& info) {
        // "assets/#example1.pk1" -> "assets_example1", one name per file.
        std::string name;
        for (const char* p = info.param.path; *p && *p != '.'; ++p)
            if (std::isalnum(static_cast<unsigned char>(*p)) || *p == '/') name += *p == '/' ? '_' : *p;
        return name;
    });

TEST(ExampleDesigns, FirstIsTheFourteenLineRectangle) {
    const std::string expected =
        "UNIFORMAT\r\n[PK]\r\n0.083334,3,1\r\n[ENDSEC]\r\n[OUTLINE]\r\n[x1/y1/x2/y2]\r\n"
        "30,30,390,30\r\n390,30,390,318\r\n390,318,30,318\r\n30,318,30,30\r\n"
        "[ENDSEC]\r\n[CONSUMER]\r\n47.6377,7.5984,8,23.55,7.5,22,1\r\n[ENDSEC]\r\n";
    EXPECT_EQ(read_all(bin_path("#example1.pk1")), expected);
}

TEST(ExampleDesigns, InstalledBesideTheProgramUnchanged) {
    for (const char* name : {"#example1.pk1", "#example2.pk1", "#example3.pk1"}) {
        const std::string installed = read_all(bin_path(name));
        EXPECT_FALSE(installed.empty()) << name;
        EXPECT_EQ(installed, read_all(std::string(PLK_SOURCE_DIR) + "/assets/" + name)) << name;
    }
}

// ---- Help pages ---------------------------------------------------------

TEST(HelpPages, PresentAndSelfContained) {
    for (const char* page : {"pkcreate.htm", "vastrel70.htm", "vastrel71.htm", "vastrel72.htm"}) {
        SCOPED_TRACE(page);
        const std::string html = read_all(bin_path(std::string("help/") + page));
        ASSERT_FALSE(html.empty());
        EXPECT_NE(html.find("<title>"), std::string::npos);
        EXPECT_NE(html.find("Release 1.0.01"), std::string::npos);
        // Nothing is fetched from elsewhere: no scripts, images or links that
        // leave the help folder; the one style sheet sits beside the pages.
        EXPECT_NE(html.find("<link rel=\"stylesheet\" href=\"help.css\">"), std::string::npos);
        for (const char* outside : {"<script", "<img", "<iframe", "href=\"http", "src=\"http", "url("})
            EXPECT_EQ(html.find(outside), std::string::npos) << outside;
    }
    EXPECT_FALSE(read_all(bin_path("help/help.css")).empty());
}

}  // namespace

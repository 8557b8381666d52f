#include "platform/gif.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>

#include "platform/error.h"
#include "platform/files.h"
#include "scratch_dir.h"

namespace plk {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Decoded {
    int width = 0;
    int height = 0;
    int palette_size = 0;
    std::vector<Color> palette;
    std::vector<Color> pixels;  // row by row
    Color at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

struct Reader {
    const Bytes* data;
    std::size_t pos = 0;
};

int read_from_memory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* r = static_cast<Reader*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), r->data->size() - r->pos);
    std::memcpy(buffer, r->data->data() + r->pos, n);
    r->pos += n;
    return static_cast<int>(n);
}

// Decodes with giflib itself, so the file is checked by an independent reader.
Decoded decode(const Bytes& file) {
    Reader reader{&file};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, read_from_memory, &error);
    Decoded d;
    if (gif == nullptr) {
        ADD_FAILURE() << "DGifOpen failed: " << error;
        return d;
    }
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount != 1) {
        ADD_FAILURE() << "DGifSlurp failed: " << gif->Error;
        DGifCloseFile(gif, &error);
        return d;
    }
    const SavedImage& image = gif->SavedImages[0];
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    d.width = gif->SWidth;
    d.height = gif->SHeight;
    EXPECT_EQ(image.ImageDesc.Width, d.width);
    EXPECT_EQ(image.ImageDesc.Height, d.height);
    d.palette_size = map->ColorCount;
    for (int i = 0; i < map->ColorCount; ++i)
        d.palette.push_back(rgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue));
    for (int i = 0; i < d.width * d.height; ++i) {
        const int index = image.RasterBits[i];
        EXPECT_LT(index, map->ColorCount);
        d.pixels.push_back(index < map->ColorCount ? d.palette[index] : kInvalidColor);
    }
    DGifCloseFile(gif, &error);
    return d;
}

void expect_same_picture(const Bitmap& bmp, const Decoded& gif) {
    ASSERT_EQ(gif.width, bmp.width());
    ASSERT_EQ(gif.height, bmp.height());
    for (int y = 0; y < bmp.height(); ++y)
        for (int x = 0; x < bmp.width(); ++x)
            ASSERT_EQ(gif.at(x, y), bmp.pixel(x, y)) << "at " << x << "," << y;
}

// A small drawing: white ground, a few coloured lines and a block of
// near-whites, which a 5-bit quantiser would merge with white.
Bitmap drawing(int width, int height, int bpp) {
    Bitmap bmp(width, height, bpp);
    if (bpp <= 8) {
        std::vector<Color>& pal = bmp.palette();
        const Color colours[] = {kWhite, kBlack, rgb(255, 0, 0), rgb(0, 128, 0), rgb(254, 254, 254),
                                 rgb(0, 0, 255), rgb(250, 250, 250), rgb(12, 34, 56)};
        for (std::size_t i = 0; i < pal.size(); ++i) pal[i] = colours[i % 8];
    }
    bmp.fill(kWhite);
    for (int x = 0; x < width; ++x) bmp.set_pixel(x, height / 2, kBlack);
    for (int y = 0; y < height; ++y) bmp.set_pixel(y % width, y, rgb(255, 0, 0));
    if (bpp != 1) {
        bmp.set_pixel(width - 1, 0, rgb(254, 254, 254));
        bmp.set_pixel(0, height - 1, rgb(0, 0, 255));
    }
    return bmp;
}

class GifDepthTest : public ::testing::TestWithParam<int> {};

TEST_P(GifDepthTest, FewColoursComeBackExact) {
    const int bpp = GetParam();
    const Bitmap bmp = drawing(13, 9, bpp);
    const Decoded gif = decode(encode_gif(bmp));
    expect_same_picture(bmp, gif);
    if (bpp != 1) {
        EXPECT_EQ(gif.at(12, 0), rgb(254, 254, 254));
        EXPECT_EQ(gif.at(1, 0), kWhite);
    }
}

INSTANTIATE_TEST_SUITE_P(Gif, GifDepthTest, ::testing::Values(1, 4, 8, 24, 32),
                         [](const auto& info) { return std::to_string(info.param) + "bpp"; });

TEST(GifEncode, SmallestPictures) {
    Bitmap one(1, 1, 32);
    one.set_pixel(0, 0, rgb(1, 2, 3));
    Decoded gif = decode(encode_gif(one));
    expect_same_picture(one, gif);
    EXPECT_EQ(gif.palette_size, 2);  // a colour map has at least two entries

    Bitmap line(300, 1, 24);
    line.fill(rgb(9, 9, 9));
    expect_same_picture(line, decode(encode_gif(line)));
}

TEST(GifEncode, IndexPastThePaletteIsBlackAsInTheBitmap) {
    Bitmap bmp(3, 1, 8);
    bmp.palette() = {rgb(200, 100, 50)};
    bmp.row(0)[0] = 0;
    bmp.row(0)[1] = 1;
    bmp.row(0)[2] = 255;
    expect_same_picture(bmp, decode(encode_gif(bmp)));
}

// n distinct colours, colour i on (n - i) * 3 pixels, so the most frequent
// come first and every count differs.
Bitmap many_colours(int n) {
    int total = 0;
    for (int i = 0; i < n; ++i) total += (n - i) * 3;
    const int width = 64;
    Bitmap bmp(width, (total + width - 1) / width, 32);
    bmp.fill(rgb(0, 0, 0));
    int p = 0;
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < (n - i) * 3; ++k, ++p)
            bmp.set_pixel32(p % width, p / width, rgb(i % 256, (i * 7) % 256, i / 256 * 40 + 1));
    return bmp;
}

TEST(GifEncode, ExactlyTwoHundredFiftySixColoursStayExact) {
    const Bitmap bmp = many_colours(256);  // fills its rows exactly: no other colour
    const Decoded gif = decode(encode_gif(bmp));
    EXPECT_EQ(gif.palette_size, 256);
    expect_same_picture(bmp, gif);
}

TEST(GifEncode, BeyondTwoHundredFiftySixTheMostFrequentStayExactRestGoNearest) {
    const Bitmap bmp = many_colours(400);
    const Decoded gif = decode(encode_gif(bmp));
    ASSERT_EQ(gif.width, bmp.width());
    ASSERT_EQ(gif.palette_size, 256);
    std::set<Color> palette(gif.palette.begin(), gif.palette.end());
    auto dist = [](Color a, Color b) {
        const int dr = red_of(a) - red_of(b), dg = green_of(a) - green_of(b), db = blue_of(a) - blue_of(b);
        return dr * dr + dg * dg + db * db;
    };
    for (int y = 0; y < bmp.height(); ++y)
        for (int x = 0; x < bmp.width(); ++x) {
            const Color original = bmp.pixel(x, y);
            const Color got = gif.at(x, y);
            ASSERT_TRUE(palette.count(got));
            // Kept colours are exact; the others get the nearest kept colour.
            for (const Color c : palette) ASSERT_LE(dist(original, got), dist(original, c)) << x << "," << y;
        }
    // The 200 most frequent colours (well inside the 256 kept) are all exact.
    for (int i = 0; i < 200; ++i) EXPECT_TRUE(palette.count(rgb(i % 256, (i * 7) % 256, i / 256 * 40 + 1))) << i;
}

TEST(GifEncode, EmptyBitmapIsRefused) {
    try {
        encode_gif(Bitmap());
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), "Bitmap image is not valid");
    }
}

// The full-size layout drawing: must stay quick (a per-pixel std::map would
// take about a second). The bound is loose on purpose; sanitizer builds are slow.
TEST(GifEncode, FullSizeDrawingIsQuick) {
    Bitmap bmp(2400, 1700, 32);
    for (int y = 0; y < 1700; y += 40)
        for (int x = 0; x < 2400; ++x) bmp.set_pixel32(x, y, rgb(0, 0, 128));
    for (int x = 0; x < 2400; x += 90)
        for (int y = 0; y < 1700; ++y) bmp.set_pixel32(x, y, rgb(255, 0, 0));
    for (int i = 0; i < 1700; ++i) bmp.set_pixel32(i, i, kBlack);
    const auto start = std::chrono::steady_clock::now();
    const Bytes file = encode_gif(bmp);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    std::printf("encode 2400x1700: %lld ms, %zu bytes\n", static_cast<long long>(ms), file.size());
    EXPECT_LT(ms, 1500);
    expect_same_picture(bmp, decode(file));
}

TEST(GifWrite, WritesReadableFileWithUsualMode) {
    plk::testing::ScratchDir dir;
    const std::string path = dir.file("fdraw.gif");
    const Bitmap bmp = drawing(20, 10, 32);
    const mode_t mask = ::umask(022);
    write_gif(path, bmp);
    ::umask(mask);
    expect_same_picture(bmp, decode(read_file_bytes(path)));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(GifWrite, ReplacesOldPictureAndLeavesNoTemporaryFiles) {
    plk::testing::ScratchDir dir;
    const std::string path = dir.file("fdraw.gif");
    write_gif(path, drawing(5, 5, 32));
    const Bitmap second = drawing(8, 3, 24);
    write_gif(path, second);
    expect_same_picture(second, decode(read_file_bytes(path)));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST(GifWrite, FailureTouchesNoFile) {
    plk::testing::ScratchDir dir;
    const std::string bad = dir.file("missing/fdraw.gif");
    try {
        write_gif(bad, drawing(5, 5, 32));
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + bad);
    }
    const std::string kept = dir.file("fdraw.gif");
    write_file_atomic(kept, std::string("old picture"));
    EXPECT_THROW(write_gif(kept, Bitmap()), AppError);
    const Bytes after = read_file_bytes(kept);
    EXPECT_EQ(std::string(after.begin(), after.end()), "old picture");
}

}  // namespace
}  // namespace plk

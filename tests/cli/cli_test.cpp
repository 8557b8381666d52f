// The command line: --version, --help, and the headless layout with its
// options and failures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/cli.h"
#include "platform/bitmap.h"
#include "platform/bmp.h"
#include "platform/files.h"

namespace plk {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome run(std::vector<std::string> words) {
    words.insert(words.begin(), "quartel");
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int status = run_cli(static_cast<int>(words.size()), argv.data());
    Outcome o{status, testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
    return o;
}

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Runs each test in a fresh working directory holding copies of the designs.
class Cli : public testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "plk_cli_XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        old_ = fs::current_path();
        fs::current_path(dir_);
        for (const char* name : {"rect_10x8.pk1", "l_shape.pk1", "bad_letters.pk1"})
            fs::copy_file(std::string(PLK_TEST_DATA_DIR) + "/designs/" + name, name);
    }
    void TearDown() override {
        fs::current_path(old_);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    // A copy of the 10 x 8 room with another material/style line.
    void write_rect(const std::string& name, const std::string& consumer) {
        std::string text = slurp("rect_10x8.pk1");
        const std::string old_line = "47.6377,7.5984,8,23.55,7.5,22,1";
        text.replace(text.find(old_line), old_line.size(), consumer);
        write_file_atomic(name, text);
    }
    // Width and height of a GIF's logical screen.
    static std::pair<int, int> gif_size(const std::string& path) {
        const std::string b = slurp(path);
        if (b.size() < 10 || b.compare(0, 4, "GIF8") != 0) return {0, 0};
        auto u16 = [&](int at) { return (unsigned char)b[at] | ((unsigned char)b[at + 1] << 8); };
        return {u16(6), u16(8)};
    }
    fs::path dir_, old_;
};

TEST_F(Cli, WordsThatNeedNoWindow) {
    struct Case {
        std::vector<std::string> words;
        int status;
        const char* out_part;  // "" when nothing is printed
        const char* err_part;
    } cases[] = {
        {{"--version"}, 0, "Release 1.0.01\n", ""},
        {{"--help"}, 0, "--layout DESIGN.pk1 [--gif PATH | --no-gif] [--no-kerf]", ""},
        {{}, -1, "", ""},
        {{"kitchen.pk1"}, -1, "", ""},
        {{"-platform", "offscreen"}, -1, "", ""},
        {{"--bogus"}, 1, "", "Unknown option --bogus"},
    };
    for (const Case& c : cases) {
        const Outcome o = run(c.words);
        EXPECT_EQ(o.status, c.status) << (c.words.empty() ? "(none)" : c.words[0]);
        if (*c.out_part) {
            EXPECT_NE(o.out.find(c.out_part), std::string::npos) << o.out;
        } else {
            EXPECT_EQ(o.out, "");
        }
        if (*c.err_part) {
            EXPECT_NE(o.err.find(c.err_part), std::string::npos) << o.err;
        }
    }
}

TEST_F(Cli, LayoutPrintsTheFiveLinesAndWritesTheDrawing) {
    const Outcome o = run({"--layout", "rect_10x8.pk1"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    // The estimate worked out in the layout tests: 45 boards with half stagger.
    EXPECT_EQ(o.out.substr(0, o.out.find("Subtotal")), "Area 80.0 sq ft 7.43 m2\nBoards: 45 Cartons: 6\n");
    EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 5);
    EXPECT_NE(o.out.find("Tax: "), std::string::npos);
    EXPECT_NE(o.out.find(" @ 7.500%\nTotal: "), std::string::npos);
    // No canvas picture here: the built-in canvas.
    EXPECT_EQ(gif_size("fdraw.gif"), (std::pair<int, int>{2400, 1700}));
}

TEST_F(Cli, OptionsChooseThePictureAndTheKerf) {
    fs::create_directory("out");
    Outcome o = run({"--layout", "rect_10x8.pk1", "--gif", "out/plan.gif"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(file_exists("out/plan.gif"));
    EXPECT_FALSE(file_exists("fdraw.gif"));

    o = run({"--no-gif", "--layout", "rect_10x8.pk1"});  // --layout must come first
    EXPECT_EQ(o.status, 1);

    o = run({"--layout", "rect_10x8.pk1", "--no-gif"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_FALSE(file_exists("fdraw.gif"));

    // The same room unstaggered (style 0 in the file): every row is 2 whole
    // boards and an end cut: 13 rows * 3 = 39 boards, 5 cartons.
    write_rect("flat.pk1", "47.6377,7.5984,8,23.55,7.5,22,0");
    o = run({"--layout", "flat.pk1", "--no-gif"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("Boards: 39 Cartons: 5\n"), std::string::npos) << o.out;

    // Boards of 48 in (4 ft, 675 px) in the 10 ft room with half stagger:
    // whole rows are 4 + 4 ft and an end cut of 337 px (1.997 ft), leaving a
    // left offcut of 2.003 ft, or 1.990 ft after the kerf. Half rows start
    // with 337 px (1.997 ft): without the kerf that offcut fits and the
    // starter is not bought. With kerf: 7 * 3 + 6 * 3 = 39 boards; without:
    // 7 * 3 + 6 * 2 = 33.
    write_rect("four_ft.pk1", "48,7.5984,8,23.55,7.5,22,1");
    o = run({"--layout", "four_ft.pk1", "--no-gif"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("Boards: 39 Cartons: 5\n"), std::string::npos) << o.out;
    o = run({"--layout", "four_ft.pk1", "--no-gif", "--no-kerf"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("Boards: 33 Cartons: 5\n"), std::string::npos) << o.out;
}

TEST_F(Cli, FailuresReportAndWriteNothing) {
    write_rect("zero.pk1", "0,7.5984,8,23.55,7.5,22,1");
    write_rect("nocarton.pk1", "47.6377,7.5984,0,23.55,7.5,22,1");
    write_file_atomic("old.gif", std::string("keep me"));
    struct Case {
        std::vector<std::string> words;
        const char* err_part;
    } cases[] = {
        {{"--layout"}, "--layout needs a design file"},
        {{"--layout", "nosuch.pk1"}, "Cannot open file nosuch.pk1"},
        {{"--layout", "bad_letters.pk1"}, "39O"},
        {{"--layout", "zero.pk1"}, "Board length must be greater than 0 (it is 0 inches)"},
        {{"--layout", "nocarton.pk1"}, "Boards per carton must be at least 1 (it is 0)"},
        {{"--layout", "rect_10x8.pk1", "l_shape.pk1"}, "one design"},
        {{"--layout", "rect_10x8.pk1", "--gif"}, "--gif needs a file name"},
        {{"--layout", "rect_10x8.pk1", "--gif", "x.gif", "--no-gif"}, "cannot be used together"},
        {{"--layout", "rect_10x8.pk1", "--frobnicate"}, "Unknown option --frobnicate"},
        {{"--layout", "rect_10x8.pk1", "--gif", "no/such/dir/x.gif"}, "Cannot create file"},
    };
    for (const Case& c : cases) {
        const Outcome o = run(c.words);
        EXPECT_EQ(o.status, 1) << c.err_part;
        EXPECT_EQ(o.out, "") << c.err_part;
        EXPECT_NE(o.err.find(c.err_part), std::string::npos) << o.err;
        EXPECT_FALSE(file_exists("fdraw.gif")) << c.err_part;
        EXPECT_FALSE(file_exists("x.gif")) << c.err_part;
    }
    EXPECT_EQ(slurp("old.gif"), "keep me");
}

TEST_F(Cli, CanvasSizeFromThePictureFile) {
    // A readable picture sizes the canvas; an unreadable one is an error.
    write_bmp("quartel.dll", Bitmap(3000, 1800, 24));
    Outcome o = run({"--layout", "rect_10x8.pk1"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(gif_size("fdraw.gif"), (std::pair<int, int>{3000, 1800}));

    fs::remove("fdraw.gif");
    write_file_atomic("quartel.dll", std::string("not a bitmap"));
    o = run({"--layout", "rect_10x8.pk1"});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("Bitmap image is not valid"), std::string::npos) << o.err;
    EXPECT_FALSE(file_exists("fdraw.gif"));
}

}  // namespace
}  // namespace plk

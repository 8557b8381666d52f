// The design file: writing, line splitting, the reader's steps and failures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/error_text.h"
#include "app/design_file.h"
#include "app/design_state.h"
#include "platform/error.h"
#include "platform/numfmt_testing.h"

namespace plk {
namespace {

namespace fs = std::filesystem;

const std::string kDesigns = std::string(PLK_TEST_DATA_DIR) + "/designs/";

std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Lines joined with CR LF, as the writer ends them.
std::string crlf(const std::vector<std::string>& lines) {
    std::string t;
    for (const std::string& l : lines) t += l + "\r\n";
    return t;
}

using plk::testing::error_text;

void add_segment(DesignState& d, double x1, double y1, double x2, double y2) {
    OutlineSegment& s = d.segments[static_cast<std::size_t>(d.segment_count++)];
    s.x1 = x1;
    s.y1 = y1;
    s.x2 = x2;
    s.y2 = y2;
}

// The example design: default material, a 10 by 8 foot rectangle from (30, 30).
DesignState example_design() {
    DesignState d;
    add_segment(d, 30, 30, 390, 30);
    add_segment(d, 390, 30, 390, 318);
    add_segment(d, 390, 318, 30, 318);
    add_segment(d, 30, 318, 30, 30);
    return d;
}

// Runs the reader's steps 1 and 4-6 on a text, as opening does.
std::string apply_text(DesignState& d, const std::string& text) {
    d.segment_count = 0;
    d.outline_centre = {kNone, kNone};
    return error_text([&] { apply_design_lines(d, split_design_text(text, "test.pk1")); });
}

TEST(DesignText, ExampleIsByteForByteTheBundledFile) {
    EXPECT_EQ(design_text(example_design()), file_text(kDesigns + "rect_10x8.pk1"));
}

TEST(DesignText, EmptyOutlineAndUnusualValues) {
    DesignState d;
    d.unit_system = kMetric;
    d.material.price_per_carton = 0.000001;
    d.material.units_per_carton = -3;
    d.style.stagger_style = 2;
    add_segment(d, 0.5, -12.25, 1e-6, 2400);
    EXPECT_EQ(design_text(d), crlf({"UNIFORMAT", "[PK]", "0.083334,3,2", "[ENDSEC]", "[OUTLINE]", "[x1/y1/x2/y2]",
                                     "0.5,-12.25,1E-6,2400", "[ENDSEC]", "[CONSUMER]",
                                     "47.6377,7.5984,-3,1E-6,7.5,22,2", "[ENDSEC]"}));
    d.segment_count = 0;
    EXPECT_EQ(split_design_text(design_text(d), "x")[6], "[ENDSEC]");
}

TEST(DesignText, RoundTripKeepsWhatIsStored) {
    DesignState saved = example_design();
    add_segment(saved, 30, 30, 30.5, 1234.125);  // decimals from a file survive too
    saved.unit_system = kMetric;
    saved.material = MaterialSpec{54.3306, 7.5984, 10, 31.9, 8.25, 7};
    saved.style.stagger_style = 2;

    DesignState loaded;
    loaded.style.stagger_on = 0;  // the derived pair is not taken from the file
    loaded.style.stagger_divisor = 2;
    ASSERT_EQ(apply_text(loaded, design_text(saved)), "(no error)");
    ASSERT_EQ(loaded.segment_count, saved.segment_count);
    for (int i = 0; i < saved.segment_count; ++i) {
        const OutlineSegment& a = saved.segments[static_cast<std::size_t>(i)];
        const OutlineSegment& b = loaded.segments[static_cast<std::size_t>(i)];
        EXPECT_EQ(a.x1, b.x1);
        EXPECT_EQ(a.y1, b.y1);
        EXPECT_EQ(a.x2, b.x2);
        EXPECT_EQ(a.y2, b.y2);
    }
    EXPECT_EQ(loaded.unit_system, kMetric);
    EXPECT_EQ(loaded.material.board_length, 54.3306);
    EXPECT_EQ(loaded.material.board_width, 7.5984);
    EXPECT_EQ(loaded.material.units_per_carton, 10);
    EXPECT_EQ(loaded.material.price_per_carton, 31.9);
    EXPECT_EQ(loaded.material.tax_percent, 8.25);
    EXPECT_EQ(loaded.material.sample_index, 7);
    EXPECT_EQ(loaded.style.stagger_style, 2);
    EXPECT_EQ(loaded.style.stagger_on, 0);
    EXPECT_EQ(loaded.style.stagger_divisor, 2);
}

TEST(SplitDesignText, LineEnds) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"lone LF", "a\nb\n", {"a", "b"}},
        {"lone CR", "a\rb\r", {"a", "b"}},
        {"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"no end after last line", "a\r\nb", {"a", "b"}},
        {"LF CR is two line ends", "a\n\rb", {"a", "", "b"}},
        {"blank lines kept", "a\r\n\r\n\r\nb\r\n", {"a", "", "", "b"}},
        {"empty text", "", {}},
        {"only a line end", "\r\n", {""}},
        {"NUL byte is an ordinary character", std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(split_design_text(c.text, "x"), c.lines) << c.name;
    }
}

TEST(SplitDesignText, LineLengthLimit) {
    std::string ok(kMaxDesignLineLength, '1');
    EXPECT_EQ(split_design_text("a\n" + ok + "\n", "f.pk1").size(), 2u);
    EXPECT_EQ(error_text([&] { split_design_text("a\r\n" + ok + "1\r\nb", "f.pk1"); }),
              "Line 2 of f.pk1 is longer than 1999 characters");
    EXPECT_EQ(error_text([&] { split_design_text(ok + "1", "f.pk1"); }),
              "Line 1 of f.pk1 is longer than 1999 characters");
}

TEST(GetField, Cases) {
    struct Case {
        const char* line;
        int k;
        const char* field;
    };
    const Case cases[] = {
        {"30,30,390,30", 0, "30"},
        {"30,30,390,30", 3, "30"},
        {"30,30,390,30", 4, ""},
        {"a,", 0, "a"},
        {"a,", 1, ""},  // a trailing comma adds no field
        {"a,,b", 1, ""},
        {"a,,b", 2, "b"},
        {",b", 0, ""},
        {",b", 1, "b"},
        {"", 0, ""},
        {"abc", -1, ""},
        {" 1 , 2", 1, " 2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(get_field(c.line, c.k), c.field) << c.line << " field " << c.k;
    }
}

TEST(FindLine, FirstLineContainingTheTag) {
    const std::vector<std::string> lines = {"UNIFORMAT", "x[OUTLINE]y", "[OUTLINE]", "[outline]"};
    EXPECT_EQ(find_line(lines, "[OUTLINE]"), 1);
    EXPECT_EQ(find_line(lines, "[CONSUMER]"), 50000);
    EXPECT_EQ(find_line({"[outline]"}, "[OUTLINE]"), 50000);  // case-sensitive
    EXPECT_EQ(find_line({}, "[OUTLINE]"), 50000);
}

// Every row of the reader's failure list, with the state it leaves.
TEST(ApplyDesignLines, FailuresAndTheStateTheyLeave) {
    const std::string head = "UNIFORMAT\r\n[PK]\r\n0.083334,3,2\r\n[ENDSEC]\r\n[OUTLINE]\r\n[x1/y1/x2/y2]\r\n";
    const std::string outline = "30,30,390,30\r\n390,30,390,318\r\n";
    const std::string material = "[CONSUMER]\r\n54,7,10,31.9,8.25,7,2\r\n";
    struct Case {
        const char* name;
        std::string text;
        std::string message;
        int segments;       // segment_count afterwards
        int unit_system;    // afterwards (starts at 1)
        double board_length;  // afterwards (starts at the default 47.6377)
        int units_per_carton;
    };
    const Case cases[] = {
        {"fewer than 3 lines", "UNIFORMAT\r\n[PK]\r\n", "List index out of bounds (2)", 0, 1, 47.6377, 8},
        {"no lines at all", "", "List index out of bounds (2)", 0, 1, 47.6377, 8},
        {"third line lacks its third field", "a\r\nb\r\n0.083334,3\r\n", "'' is not a valid floating point value", 0,
         1, 47.6377, 8},
        {"third field not a number", "a\r\nb\r\n0.083334,3,metric\r\n",
         "'metric' is not a valid floating point value", 0, 1, 47.6377, 8},
        {"bad outline field keeps earlier segments", head + outline + "390,318,3O,318\r\n[ENDSEC]\r\n" + material,
         "'3O' is not a valid floating point value", 2, 2, 47.6377, 8},
        {"missing outline field", head + outline + "390,318,30\r\n[ENDSEC]\r\n" + material,
         "'' is not a valid floating point value", 2, 2, 47.6377, 8},
        {"blank line in the outline", head + outline + "\r\n[ENDSEC]\r\n" + material,
         "'' is not a valid floating point value", 2, 2, 47.6377, 8},
        {"end marker with a blank is no end marker", head + outline + "[ENDSEC] \r\n" + material,
         "'[ENDSEC] ' is not a valid floating point value", 2, 2, 47.6377, 8},
        {"consumer tag on the last line", head + outline + "[ENDSEC]\r\n[CONSUMER]", "List index out of bounds (10)", 2,
         2, 47.6377, 8},
        {"bad decimal material field: fields before it replaced",
         head + outline + "[ENDSEC]\r\n[CONSUMER]\r\n54,x,10,31.9,8.25,7,2\r\n",
         "'x' is not a valid floating point value", 2, 2, 54, 8},
        {"bad integer material field", head + outline + "[ENDSEC]\r\n[CONSUMER]\r\n54,7,eight,31.9,8.25,7,2\r\n",
         "'eight' is not a valid integer value", 2, 2, 54, 8},
        {"decimal in an integer field", head + outline + "[ENDSEC]\r\n[CONSUMER]\r\n54,7,10.5,31.9,8.25,7,2\r\n",
         "'10.5' is not a valid integer value", 2, 2, 54, 8},
        {"material line too short", head + outline + "[ENDSEC]\r\n[CONSUMER]\r\n54,7,10,31.9,8.25,7\r\n",
         "'' is not a valid integer value", 2, 2, 54, 10},
        {"unit system beyond int range", "a\r\nb\r\n0,3,1e300\r\n", "'1e300' is not a valid integer value", 0, 1,
         47.6377, 8},
        {"field over 254 characters", head + "30,30," + std::string(255, '1') + ",30\r\n",
         "Field 3 of line 7 of the design file is longer than 254 characters", 0, 2, 47.6377, 8},
        {"coordinate too large for a pixel", head + outline + "1e8,0,0,0\r\n",
         "The coordinate '1e8' in line 9 of the design file is too large", 2, 2, 47.6377, 8},
    };
    for (const Case& c : cases) {
        DesignState d;
        EXPECT_EQ(apply_text(d, c.text), c.message) << c.name;
        EXPECT_EQ(d.segment_count, c.segments) << c.name;
        EXPECT_EQ(d.unit_system, c.unit_system) << c.name;
        EXPECT_EQ(d.material.board_length, c.board_length) << c.name;
        EXPECT_EQ(d.material.units_per_carton, c.units_per_carton) << c.name;
    }
}

TEST(ApplyDesignLines, WhatIsReadAndWhatIsIgnored) {
    struct Case {
        const char* name;
        std::string text;
        int unit_system;
        int segments;
        int sample_index;
    };
    const Case cases[] = {
        {"metric from the third field", "a\r\nb\r\n0,3,2\r\n", kMetric, 0, 22},
        {"third field truncated", "a\r\nb\r\n0,3,1.9\r\n", 1, 0, 22},
        {"negative third field truncated towards zero", "a\r\nb\r\n0,3,-1.9\r\n", -1, 0, 22},
        {"section tags not required", "x\r\ny\r\n,,2\r\nz\r\n", kMetric, 0, 22},
        {"outline tag with other text; read from two lines below",
         "a\r\nb\r\n0,3,1\r\nnotes [OUTLINE] here\r\nskipped\r\n1,2,3,4\r\n5,6,7,8,9,extra\r\n", 1, 2, 22},
        {"outline read to the end of the file without end marker",
         "a\r\nb\r\n0,3,1\r\n[OUTLINE]\r\nh\r\n1,2,3,4\r\n", 1, 1, 22},
        {"outline tag on the last line", "a\r\nb\r\n0,3,1\r\n[OUTLINE]", 1, 0, 22},
        {"no consumer line keeps the material", "a\r\nb\r\n0,3,1\r\n[OUTLINE]\r\nh\r\n1,2,3,4\r\n[ENDSEC]\r\n", 1,
         1, 22},
        {"extra material fields ignored", "a\r\nb\r\n0,3,1\r\n[CONSUMER]\r\n1,2,3,4,5,6,0,99,zz\r\n", 1, 0, 6},
    };
    for (const Case& c : cases) {
        DesignState d;
        EXPECT_EQ(apply_text(d, c.text), "(no error)") << c.name;
        EXPECT_EQ(d.unit_system, c.unit_system) << c.name;
        EXPECT_EQ(d.segment_count, c.segments) << c.name;
        EXPECT_EQ(d.material.sample_index, c.sample_index) << c.name;
    }
    // Scale fields of the third line are not taken over.
    DesignState d;
    apply_text(d, "a\r\nb\r\n0.5,9,1\r\n");
    EXPECT_EQ(d.feet_per_grid, 0.083334);
    EXPECT_EQ(d.grid_pixels, 3);
}

TEST(ApplyDesignLines, OutlineSizeLimit) {
    // n zigzag walls whose end is far from the start (closing appends one),
    // or the same with a last wall back to the start (already closed).
    auto outline_text = [](int n, bool closed) {
        std::string t = "a\r\nb\r\n0,3,1\r\n[OUTLINE]\r\nh\r\n";
        for (int i = 0; i < n; ++i) {
            int x1 = i * 10, y1 = (i % 2) * 50, x2 = (i + 1) * 10, y2 = ((i + 1) % 2) * 50;
            if (closed && i == n - 1) x2 = y2 = 0;
            t += std::to_string(x1) + "," + std::to_string(y1) + "," + std::to_string(x2) + "," + std::to_string(y2) +
                 "\r\n";
        }
        return t + "[ENDSEC]\r\n";
    };
    struct Case {
        int n;
        bool closed;
        bool ok;
    };
    const Case cases[] = {{99, false, true}, {100, true, true}, {100, false, false}, {101, true, false},
                          {133, true, false}, {200, true, false}};
    for (const Case& c : cases) {
        DesignState d;
        std::string msg = apply_text(d, outline_text(c.n, c.closed));
        if (c.ok) {
            EXPECT_EQ(msg, "(no error)") << c.n;
            EXPECT_EQ(d.segment_count, c.n);
        } else {
            EXPECT_EQ(msg, "The outline in this design has more than 100 walls") << c.n << (c.closed ? " closed" : "");
            EXPECT_EQ(d.segment_count, 0) << c.n;
        }
    }
}

TEST(ApplyDesignLines, ReadingDoesNotFollowTheRegion) {
    if (!set_regional_settings_for_test("de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not generated";
    DesignState d;
    std::string msg = apply_text(d, "a\r\nb\r\n0.083334,3,1.9\r\n[OUTLINE]\r\nh\r\n30.5,30,390,30\r\n[ENDSEC]\r\n"
                                    "[CONSUMER]\r\n47.6377,7.5984,8,23.55,7.5,22,1\r\n");
    set_regional_settings_for_test("C");
    EXPECT_EQ(msg, "(no error)");
    EXPECT_EQ(d.unit_system, 1);
    EXPECT_EQ(d.segments[0].x1, 30.5);
    EXPECT_EQ(d.material.board_length, 47.6377);
    // And writing does not follow it either.
    ASSERT_TRUE(set_regional_settings_for_test("de_DE.UTF-8"));
    std::string text = design_text(d);
    set_regional_settings_for_test("C");
    EXPECT_NE(text.find("47.6377,7.5984,8,23.55,7.5,22,1\r\n"), std::string::npos);
}

// The bundled test designs, read from disk as opening does.
TEST(ReadDesignFile, TestDesigns) {
    struct Case {
        const char* file;
        std::string message;
        int segments;
    };
    const Case cases[] = {
        {"rect_10x8.pk1", "(no error)", 4},
        {"poly_100.pk1", "(no error)", 100},
        {"unclosed_rect.pk1", "(no error)", 3},
        {"bad_letters.pk1", "'39O' is not a valid floating point value", 1},
        {"bad_missing_field.pk1", "'' is not a valid floating point value", 2},
        {"bad_material.pk1", "'eight' is not a valid integer value", 4},
    };
    for (const Case& c : cases) {
        DesignState d;
        std::string msg = error_text([&] { apply_design_lines(d, read_design_lines(kDesigns + c.file)); });
        EXPECT_EQ(msg, c.message) << c.file;
        EXPECT_EQ(d.segment_count, c.segments) << c.file;
    }
    std::string missing = kDesigns + "no_such_design.pk1";
    EXPECT_EQ(error_text([&] { read_design_lines(missing); }), "Cannot open file " + missing);
}

// Runs a test body inside a fresh temporary working directory.
class SaveDesign : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = fs::current_path();
        dir_ = fs::temp_directory_path() / ("plk_save_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(old_);
        fs::remove_all(dir_);
    }
    fs::path old_;
    fs::path dir_;
};

TEST_F(SaveDesign, WritesBackupThenNamedFile) {
    DesignState d = example_design();
    d.file_name = "myfloor.pk1";
    save_design(d);
    EXPECT_EQ(file_text("autosave.pk1"), design_text(d));
    EXPECT_EQ(file_text("myfloor.pk1"), design_text(d));

    d.file_name = (dir_ / "sub" / "kitchen.pk1").string();  // a directory that does not exist
    EXPECT_EQ(error_text([&] { save_design(d); }), "Cannot create file " + d.file_name);
}

TEST_F(SaveDesign, FailedBackupLeavesNamedFileAlone) {
    fs::create_directory("autosave.pk1");  // the backup cannot be created
    {
        std::ofstream("kitchen.pk1") << "old";
    }
    DesignState d = example_design();
    d.file_name = "kitchen.pk1";
    EXPECT_EQ(error_text([&] { save_design(d); }), "Cannot create file autosave.pk1");
    EXPECT_EQ(file_text("kitchen.pk1"), "old");
}

}  // namespace
}  // namespace plk

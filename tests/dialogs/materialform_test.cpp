#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <climits>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "dialogs/dialog_widgets.h"
#include "dialogs/materialform.h"
#include "platform/bmp.h"
#include "platform/error.h"
#include "platform/numfmt.h"
#include "platform/numfmt_testing.h"
#include "tests/dialogs/test_app.h"

namespace {

std::string text(const QLineEdit* e) { return e->text().toStdString(); }
void set(QLineEdit* e, const char* t) { e->setText(QString::fromUtf8(t)); }

// The message of the AppError the call throws, "" when it throws none.
std::string error_of(const std::function<void()>& call) {
    try {
        call();
    } catch (const plk::AppError& e) {
        return e.what();
    }
    return "";
}

class MaterialForm : public ::testing::Test {
protected:
    void SetUp() override {
        reported_errors().clear();
        ASSERT_TRUE(plk::set_regional_settings_for_test("C"));
    }
    void TearDown() override { plk::set_regional_settings_for_test("C"); }

    // A dialog that has opened (filled and calculated) on the design.
    std::unique_ptr<Tmaterialform> open() {
        auto form = std::make_unique<Tmaterialform>(design, nullptr);
        form->show();
        settle();
        return form;
    }

    plk::DesignState design;
};

// ---------------------------------------------------------------- opening

struct LocaleCase {
    const char* locale;
    const char* length_in;
    const char* width_in;
    const char* price;
    const char* tax;
    const char* area;
    const char* price_per_sqft;  // the money form of 1.17 in that locale
    const char* price_per_m2;    // the money form of 12.61
};

TEST_F(MaterialForm, OpensOnTheDefaultsInTheRegionalForm) {
    const LocaleCase cases[] = {
        {"C", "47.6377", "7.5984", "23.55", "7.5", "20.11 sq ft  1.868 m2", "1.17", "12.61"},
        {"en_US.UTF-8", "47.6377", "7.5984", "23.55", "7.5", "20.11 sq ft  1.868 m2", "$1.17",
         "$12.61"},
        {"de_DE.UTF-8", "47,6377", "7,5984", "23,55", "7,5", "20,11 sq ft  1,868 m2",
         "1,17 \u20ac", "12,61 \u20ac"},
    };
    for (const LocaleCase& c : cases) {
        SCOPED_TRACE(c.locale);
        if (!plk::set_regional_settings_for_test(c.locale)) {
            ADD_FAILURE() << "locale not available here: " << c.locale;
            continue;
        }
        auto f = open();
        EXPECT_EQ(text(f->Edit1), c.length_in);
        EXPECT_EQ(text(f->Edit2), c.width_in);
        EXPECT_EQ(text(f->Edit3), "1210");
        EXPECT_EQ(text(f->Edit4), "193");
        EXPECT_EQ(text(f->Edit5), "8");
        EXPECT_EQ(text(f->Edit7), c.price);
        EXPECT_EQ(text(f->Edit9), c.tax);
        EXPECT_EQ(text(f->Edit6), c.area);
        EXPECT_EQ(text(f->Edit8),
                  std::string(c.price_per_sqft) + " sq ft  " + c.price_per_m2 + " m2");
        EXPECT_EQ(f->Shape2->geometry(), QRect(252, 214, 18, 90));
        EXPECT_EQ(f->sbox->pos(), QPoint(378 + 78, 18 + 45 * 5));  // sample 22
        EXPECT_TRUE(reported_errors().empty());
    }
}

TEST_F(MaterialForm, IsAFixedModalDialogWithoutCloseButton) {
    auto f = open();
    EXPECT_EQ(f->windowTitle(), "Material");
    EXPECT_EQ(f->size(), QSize(702, 437));
    EXPECT_TRUE(f->isModal());
    EXPECT_FALSE(f->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(f->BitBtn1->isDefault());
    EXPECT_TRUE(f->Edit6->isReadOnly());
    EXPECT_TRUE(f->Edit8->isReadOnly());
    EXPECT_EQ(f->findChild<QLineEdit*>("Edit7"), f->Edit7);

    QTest::keyClick(f.get(), Qt::Key_Escape);
    f->close();
    settle();
    EXPECT_TRUE(f->isVisible());
}

TEST_F(MaterialForm, TabOrderFollowsTheFields) {
    auto f = open();
    const std::vector<QWidget*> expected = {f->Edit1, f->Edit3,   f->Edit2, f->Edit4, f->BitBtn3,
                                            f->BitBtn2, f->Edit7, f->Edit5, f->Edit9, f->BitBtn4,
                                            f->BitBtn1, f->Edit8, f->Edit6};
    std::vector<QWidget*> chain;
    QWidget* w = f->Edit1;
    do {
        if (w->focusPolicy() & Qt::TabFocus) chain.push_back(w);
        w = w->nextInFocusChain();
    } while (w != f->Edit1 && chain.size() < 40);
    ASSERT_GE(chain.size(), expected.size());
    chain.resize(expected.size());
    EXPECT_EQ(chain, expected);
}

// A zero unit count: the dialog still opens, the error reaches the
// application's handler, the area shows zero and the price field is not written.
TEST_F(MaterialForm, OpensOnZeroUnitsAndReportsTheDivision) {
    design.material.units_per_carton = 0;
    Tmaterialform f(design, nullptr);
    bool was_open = false;
    QTimer::singleShot(20, &f, [&] {
        was_open = f.isVisible();
        QTest::mouseClick(f.BitBtn1, Qt::LeftButton);
    });
    EXPECT_EQ(f.exec(), QDialog::Accepted);
    settle();
    EXPECT_TRUE(was_open);
    EXPECT_EQ(reported_errors(), std::vector<std::string>{"Floating point division by zero"});
    EXPECT_EQ(text(f.Edit6), "0.00 sq ft  0.000 m2");
    EXPECT_EQ(text(f.Edit8), "");
    EXPECT_EQ(f.Shape2->width(), 5);  // as placed in the form
    EXPECT_EQ(design.material.units_per_carton, 0);
}

// ------------------------------------------------------------- the frame

TEST_F(MaterialForm, FramePlacementForStoredIndices) {
    struct Case { int index; QPoint pos; };
    const Case cases[] = {
        {1, {378, 18}},
        {4, {378 + 234, 18}},
        {5, {378, 18 + 45}},
        {22, {378 + 78, 18 + 225}},
        {36, {378 + 234, 18 + 360}},
        {37, {378, 18 + 405}},        // below the picture
        {0, {378 + 234, 18 - 45}},    // above it: floor division keeps the column 0..3
        {-3, {378, 18 - 45}},
        {-4, {378 + 234, 18 - 90}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        design.material.sample_index = c.index;
        auto f = open();
        EXPECT_EQ(f->sbox->pos(), c.pos);
        EXPECT_EQ(design.material.sample_index, c.index);  // opening changes nothing
    }
}

TEST_F(MaterialForm, ExtremeStoredIndexPutsTheFrameFarOutside) {
    for (int index : {INT_MIN, INT_MAX}) {
        design.material.sample_index = index;
        auto f = open();
        EXPECT_FALSE(f->cimage->geometry().intersects(f->sbox->geometry())) << index;
    }
}

TEST_F(MaterialForm, AnyMouseButtonOnThePicturePicksASampleAtOnce) {
    struct Case { QPoint at; Qt::MouseButton button; int sample; QPoint frame; };
    const Case cases[] = {
        {{77, 44}, Qt::LeftButton, 1, {378, 18}},
        {{78, 45}, Qt::RightButton, 6, {378 + 78, 18 + 45}},
        {{311, 404}, Qt::MiddleButton, 36, {378 + 234, 18 + 360}},
        {{0, 0}, Qt::LeftButton, 1, {378, 18}},
        {{234, 0}, Qt::LeftButton, 4, {378 + 234, 18}},
    };
    auto f = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sample);
        design.material.sample_index = 22;
        // Through the window: a widget press at (0, 0) would be taken as "the centre".
        const QPoint at = f->cimage->mapTo(f.get(), c.at);
        QTest::mousePress(f->windowHandle(), c.button, {}, at);
        QTest::mouseRelease(f->windowHandle(), c.button, {}, at);
        EXPECT_EQ(design.material.sample_index, c.sample);
        EXPECT_EQ(f->sbox->pos(), c.frame);
    }
}

TEST_F(MaterialForm, PressOnTheFramePicksTheSampleUnderIt) {
    auto f = open();  // frame on 22
    design.material.sample_index = 5;
    QTest::mousePress(f->sbox, Qt::LeftButton, {}, QPoint(40, 20));
    EXPECT_EQ(design.material.sample_index, 22);
    // A frame left below the picture by a stored index picks nothing.
    design.material.sample_index = 37;
    auto g = open();
    QTest::mousePress(g->sbox, Qt::LeftButton, {}, QPoint(40, 5));
    EXPECT_EQ(design.material.sample_index, 37);
}

// ---------------------------------------------------------- conversions

TEST_F(MaterialForm, InchMillimetreConversions) {
    struct Case {
        bool to_mm;
        const char* in[2];   // length, width (inches or millimetres, the source)
        const char* out[2];  // what lands in the other pair of fields
    };
    const Case cases[] = {
        {true, {"47.6377", "7.5984"}, {"1210", "193"}},
        {true, {"0", "-1"}, {"0", "-25"}},
        {false, {"1000", "193"}, {"39.3700", "7.5984"}},
        {false, {"1210", "0"}, {"47.6377", "0.0000"}},
    };
    auto f = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in[0]);
        QLineEdit* src[2] = {c.to_mm ? f->Edit1 : f->Edit3, c.to_mm ? f->Edit2 : f->Edit4};
        QLineEdit* dst[2] = {c.to_mm ? f->Edit3 : f->Edit1, c.to_mm ? f->Edit4 : f->Edit2};
        set(src[0], c.in[0]);
        set(src[1], c.in[1]);
        QTest::mouseClick(c.to_mm ? f->BitBtn3 : f->BitBtn2, Qt::LeftButton);
        EXPECT_EQ(text(dst[0]), c.out[0]);
        EXPECT_EQ(text(dst[1]), c.out[1]);
    }
}

TEST_F(MaterialForm, ConversionReadsBothFieldsBeforeWriting) {
    auto f = open();
    set(f->Edit2, "wide");
    EXPECT_EQ(error_of([&] { f->BitBtn3Click(); }), "'wide' is not a valid floating point value");
    EXPECT_EQ(text(f->Edit3), "1210");
    set(f->Edit3, "");
    EXPECT_EQ(error_of([&] { f->BitBtn2Click(); }), "'' is not a valid floating point value");
    EXPECT_EQ(text(f->Edit1), "47.6377");
}

// ---------------------------------------------------------------- >> Calc

TEST_F(MaterialForm, CalcFiguresAndFailures) {
    struct Case {
        const char* name;
        const char* fields[6];  // length in, width in, length mm, width mm, units, price
        const char* area;       // nullptr: the area field keeps "old"
        const char* price;      // nullptr: the price field keeps "old"
        int bar;                // -1: the bar keeps its width
        const char* error;
    };
    const Case cases[] = {
        {"defaults", {"47.6377", "7.5984", "1210", "193", "8", "23.55"},
         "20.11 sq ft  1.868 m2", "1.17 sq ft  12.61 m2", 18, ""},
        {"pairs disagree", {"12", "12", "1000", "1000", "1", "10"},
         "1.00 sq ft  1.000 m2", "10.00 sq ft  10.00 m2", 10, ""},
        {"bar at nine square metres", {"1", "1", "3000", "3000", "1", "9"},
         "0.01 sq ft  9.000 m2", "1296.00 sq ft  1.00 m2", 90, ""},
        {"bar held to the square", {"1", "1", "1210", "1000", "8", "1"},
         "0.06 sq ft  9.680 m2", "18.00 sq ft  0.10 m2", 90, ""},
        {"negative size, no bar", {"-12", "12", "-1000", "1000", "1", "10"},
         "-1.00 sq ft  -1.000 m2", "-10.00 sq ft  -10.00 m2", 0, ""},
        {"zero units", {"47.6377", "7.5984", "1210", "193", "0", "23.55"},
         "0.00 sq ft  0.000 m2", nullptr, -1, "Floating point division by zero"},
        {"zero units and price", {"47.6377", "7.5984", "1210", "193", "0", "0"},
         "0.00 sq ft  0.000 m2", nullptr, -1, "Invalid floating point operation"},
        {"zero millimetres only", {"47.6377", "7.5984", "0", "193", "8", "23.55"},
         "20.11 sq ft  0.000 m2", nullptr, -1, "Floating point division by zero"},
        {"letters in price", {"47.6377", "7.5984", "1210", "193", "8", "abc"},
         "20.11 sq ft  1.868 m2", nullptr, -1, "'abc' is not a valid floating point value"},
        {"fraction in units", {"47.6377", "7.5984", "1210", "193", "2.5", "23.55"},
         nullptr, nullptr, -1, "'2.5' is not a valid integer value"},
        {"empty length", {"", "7.5984", "1210", "193", "8", "23.55"},
         nullptr, nullptr, -1, "'' is not a valid floating point value"},
        {"area too large", {"1e200", "1e200", "1e200", "1e200", "8", "1"},
         nullptr, nullptr, -1, "Floating point overflow"},
        {"price per area too large", {"1e-300", "1", "1", "1", "1", "1e300"},
         "0.00 sq ft  0.000 m2", nullptr, -1, "Floating point overflow"},
    };
    auto f = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QLineEdit* edits[6] = {f->Edit1, f->Edit2, f->Edit3, f->Edit4, f->Edit5, f->Edit7};
        for (int i = 0; i < 6; ++i) set(edits[i], c.fields[i]);
        set(f->Edit6, "old");
        set(f->Edit8, "old");
        f->Shape2->resize(7, 90);
        EXPECT_EQ(error_of([&] { f->BitBtn4Click(); }), c.error);
        EXPECT_EQ(text(f->Edit6), c.area ? c.area : "old");
        EXPECT_EQ(text(f->Edit8), c.price ? c.price : "old");
        EXPECT_EQ(f->Shape2->geometry(), QRect(252, 214, c.bar < 0 ? 7 : c.bar, 90));
    }
}

// The button reports a failure through the application's handler and the
// dialog stays open.
TEST_F(MaterialForm, CalcButtonReportsThroughTheApplication) {
    auto f = open();
    set(f->Edit7, "12,50");
    QTest::mouseClick(f->BitBtn4, Qt::LeftButton);
    settle();
    EXPECT_EQ(reported_errors(), std::vector<std::string>{"'12,50' is not a valid floating point value"});
    EXPECT_TRUE(f->isVisible());
}

// ---------------------------------------------------------------------- OK

TEST_F(MaterialForm, OkStoresInOrderUpToTheFirstBadField) {
    struct Case {
        const char* name;
        const char* fields[5];  // length, width, units, price, tax
        plk::MaterialSpec expected;
        const char* error;
    };
    const plk::MaterialSpec old{};  // 47.6377, 7.5984, 8, 23.55, 7.5, sample 22
    const Case cases[] = {
        {"all stored", {"48", "8", "10", "30.5", "19"}, {48, 8, 10, 30.5, 19, 22}, ""},
        {"zero and negative stored as typed", {"0", "-2", "0", "-1", "0"}, {0, -2, 0, -1, 0, 22}, ""},
        {"empty length stores nothing", {"", "8", "10", "30.5", "19"}, old, ""},
        {"empty width stores nothing", {"48", "", "10", "30.5", "19"}, old, ""},
        {"letters in price", {"48", "8", "10", "abc", "19"}, {48, 8, 10, 23.55, 7.5, 22},
         "'abc' is not a valid floating point value"},
        {"fraction in units", {"48", "8", "2.5", "30.5", "19"}, {48, 8, 8, 23.55, 7.5, 22},
         "'2.5' is not a valid integer value"},
        {"blank tax", {"48", "8", "10", "30.5", " "}, {48, 8, 10, 30.5, 7.5, 22},
         "' ' is not a valid floating point value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        design.material = old;
        auto f = open();
        QLineEdit* edits[5] = {f->Edit1, f->Edit2, f->Edit5, f->Edit7, f->Edit9};
        for (int i = 0; i < 5; ++i) set(edits[i], c.fields[i]);
        EXPECT_EQ(error_of([&] { f->BitBtn1Click(); }), c.error);
        EXPECT_FALSE(f->isVisible());
        EXPECT_EQ(f->result(), QDialog::Accepted);
        const plk::MaterialSpec& m = design.material;
        EXPECT_EQ(m.board_length, c.expected.board_length);
        EXPECT_EQ(m.board_width, c.expected.board_width);
        EXPECT_EQ(m.units_per_carton, c.expected.units_per_carton);
        EXPECT_EQ(m.price_per_carton, c.expected.price_per_carton);
        EXPECT_EQ(m.tax_percent, c.expected.tax_percent);
        EXPECT_EQ(m.sample_index, 22);
    }
}

// The whole use as the program runs it: a sample chosen, the length cleared,
// OK pressed. Only the sample has changed; the millimetre fields are never stored.
TEST_F(MaterialForm, ModalUseKeepsOnlyTheSampleWhenLengthIsEmpty) {
    Tmaterialform f(design, nullptr);
    QTimer::singleShot(20, &f, [&] {
        QTest::mouseClick(f.cimage, Qt::RightButton, {}, QPoint(300, 10));
        set(f.Edit1, "");
        set(f.Edit3, "2000");
        QTest::keyClick(&f, Qt::Key_Escape);  // ignored
        QTest::mouseClick(f.BitBtn1, Qt::LeftButton);
    });
    EXPECT_EQ(f.exec(), QDialog::Accepted);
    settle();
    plk::MaterialSpec expected{};
    expected.sample_index = 4;
    EXPECT_EQ(design.material.board_length, expected.board_length);
    EXPECT_EQ(design.material.board_width, expected.board_width);
    EXPECT_EQ(design.material.sample_index, 4);
    EXPECT_TRUE(reported_errors().empty());
}

TEST_F(MaterialForm, ModalOkWithLettersInPriceClosesAndReports) {
    Tmaterialform f(design, nullptr);
    QTimer::singleShot(20, &f, [&] {
        set(f.Edit1, "50");
        set(f.Edit7, "cheap");
        set(f.Edit9, "20");
        QTest::mouseClick(f.BitBtn1, Qt::LeftButton);
    });
    EXPECT_EQ(f.exec(), QDialog::Accepted);
    settle();
    EXPECT_EQ(reported_errors(), std::vector<std::string>{"'cheap' is not a valid floating point value"});
    EXPECT_EQ(design.material.board_length, 50);
    EXPECT_EQ(design.material.price_per_carton, 23.55);
    EXPECT_EQ(design.material.tax_percent, 7.5);
}

// Enter in a field presses OK, the default button.
TEST_F(MaterialForm, EnterInAFieldPressesOk) {
    Tmaterialform f(design, nullptr);
    QTimer::singleShot(20, &f, [&] {
        set(f.Edit9, "16");
        f.Edit9->setFocus();
        QTest::keyClick(f.Edit9, Qt::Key_Return);
    });
    EXPECT_EQ(f.exec(), QDialog::Accepted);
    EXPECT_EQ(design.material.tax_percent, 16);
}

// ------------------------------------------------------------ sample sheet

// The picker shows the sheet from the working directory pixel for pixel, so
// the cells match the texture the layout cuts from the same file.
TEST_F(MaterialForm, SamplesPictureIsTheSheetFromTheWorkingDirectory) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    plk::Bitmap sheet(312, 405, 24);
    for (int n = 0; n < 36; ++n)
        for (int y = 0; y < 45; ++y)
            for (int x = 0; x < 78; ++x)
                sheet.set_pixel((n % 4) * 78 + x, (n / 4) * 45 + y, plk::rgb(n * 7, 255 - n * 5, (x + y) % 256));
    plk::write_bmp(dir.filePath("lcolours.qvp").toStdString(), sheet);

    const auto old_cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path().toStdString());
    auto f = open();
    std::filesystem::current_path(old_cwd);

    const QImage& shown = f->cimage->image();
    ASSERT_EQ(shown.size(), QSize(312, 405));
    for (int y = 0; y < 405; y += 7)
        for (int x = 0; x < 312; x += 5) {
            const plk::Color c = sheet.pixel(x, y);
            ASSERT_EQ(shown.pixel(x, y), qRgb(plk::red_of(c), plk::green_of(c), plk::blue_of(c)))
                << x << "," << y;
        }
}

TEST(SampleSheetPicture, MissingOrBrokenFileGivesNumberedCells) {
    QTemporaryDir dir;
    const std::string broken = dir.filePath("broken.qvp").toStdString();
    {
        FILE* fp = std::fopen(broken.c_str(), "wb");
        ASSERT_NE(fp, nullptr);
        std::fputs("BM this is not a bitmap", fp);
        std::fclose(fp);
    }
    for (const std::string& path : {dir.filePath("none.qvp").toStdString(), broken}) {
        const QImage img = plk::sample_sheet_picture(path, 312, 405, 78, 45);
        ASSERT_EQ(img.size(), QSize(312, 405));
        // Neighbouring cells differ, so each sample can be told apart.
        EXPECT_NE(img.pixel(10, 40), img.pixel(88, 40));
        EXPECT_NE(img.pixel(10, 40), img.pixel(10, 85));
    }
}

// A sheet smaller than the picture fills what it has and leaves the rest white.
TEST(SampleSheetPicture, SmallSheetIsNotStretched) {
    QTemporaryDir dir;
    plk::Bitmap small(100, 50, 24);
    small.fill(plk::rgb(10, 20, 30));
    const std::string path = dir.filePath("small.qvp").toStdString();
    plk::write_bmp(path, small);
    const QImage img = plk::sample_sheet_picture(path, 312, 405, 78, 45);
    EXPECT_EQ(img.pixel(99, 49), qRgb(10, 20, 30));
    EXPECT_EQ(img.pixel(100, 49), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(99, 50), qRgb(255, 255, 255));
}

}  // namespace

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "dialogs/dialog_widgets.h"
#include "dialogs/styleform.h"
#include "tests/dialogs/test_app.h"

namespace {

const QPoint kPictureAt[3] = {{32, 28}, {124, 28}, {216, 28}};

// Where the frame is after opening on a style: over its picture, else over "0".
QPoint frame_on_opening(int style) { return style >= 0 && style <= 2 ? kPictureAt[style] : kPictureAt[0]; }

class StyleForm : public ::testing::Test {
protected:
    void SetUp() override { reported_errors().clear(); }

    // One use of the command: the dialog driven by `act` while it is open,
    // then the derived pair brought into line as the window does it.
    void use(const std::function<void(Tstyleform&)>& act) {
        Tstyleform f(design, nullptr);
        QTimer::singleShot(20, &f, [&] {
            act(f);
            QTest::mouseClick(f.BitBtn1, Qt::LeftButton);
        });
        ASSERT_EQ(f.exec(), QDialog::Accepted);
        plk::derive_stagger(design.style);
    }

    plk::DesignState design;
};

TEST_F(StyleForm, OpensOnTheDefaults) {
    Tstyleform f(design, nullptr);
    f.show();
    settle();
    EXPECT_EQ(f.windowTitle(), "Styles");
    EXPECT_EQ(f.size(), QSize(322, 356));
    EXPECT_FALSE(f.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(f.Shape1->pos(), kPictureAt[1]);
    EXPECT_EQ(f.Shape1->size(), QSize(80, 45));
    EXPECT_TRUE(f.kerfcheck->isChecked());
    EXPECT_TRUE(f.BitBtn1->isDefault());
    // Tab order: OK, then "Kerf".
    QWidget* next = f.BitBtn1->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    EXPECT_EQ(next, f.kerfcheck);

    QTest::keyClick(&f, Qt::Key_Escape);
    f.close();
    settle();
    EXPECT_TRUE(f.isVisible());
}

// The frame goes over the stored style; any other value leaves it over "0",
// its place in the form.
TEST_F(StyleForm, FrameOnOpening) {
    struct Case { int style; QPoint frame; };
    const Case cases[] = {{0, kPictureAt[0]}, {1, kPictureAt[1]}, {2, kPictureAt[2]},
                          {7, kPictureAt[0]}, {-1, kPictureAt[0]}};
    for (const Case& c : cases) {
        design.style.stagger_style = c.style;
        Tstyleform f(design, nullptr);
        f.show();
        settle();
        EXPECT_EQ(f.Shape1->pos(), c.frame) << c.style;
        EXPECT_EQ(design.style.stagger_style, c.style);
    }
}

TEST_F(StyleForm, ClickSetsTheStyleAtOnceAndOkDerivesThePair) {
    struct Case {
        const char* name;
        int start_style, start_on, start_divisor;  // e.g. after opening a design file
        int click;                                 // picture 0..2, -1: no click
        int style, on, divisor;
    };
    const Case cases[] = {
        {"1/3", 1, 1, 2, 2, 2, 1, 3},
        {"0", 1, 1, 2, 0, 0, 0, 2},
        {"1/2 after 1/3", 2, 1, 3, 1, 1, 1, 2},
        {"no click, file said 1/3", 2, 1, 2, -1, 2, 1, 3},
        {"no click, unknown style", 7, 1, 3, -1, 7, 1, 3},
        {"click mends an unknown style", 7, 0, 3, 1, 1, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        design.style = {c.start_style, 1, c.start_on, c.start_divisor};
        int style_while_open = -99;
        QPoint frame_while_open;
        use([&](Tstyleform& f) {
            plk::PictureBox* pictures[] = {f.Image1, f.Image2, f.Image3};
            if (c.click >= 0) QTest::mouseClick(pictures[c.click], Qt::LeftButton, {}, QPoint(40, 20));
            style_while_open = design.style.stagger_style;
            frame_while_open = f.Shape1->pos();
            // The derived pair waits for the dialog to close.
            EXPECT_EQ(design.style.stagger_on, c.start_on);
        });
        EXPECT_EQ(style_while_open, c.style);
        EXPECT_EQ(frame_while_open, c.click >= 0 ? kPictureAt[c.click] : frame_on_opening(c.start_style));
        EXPECT_EQ(design.style.stagger_style, c.style);
        EXPECT_EQ(design.style.stagger_on, c.on);
        EXPECT_EQ(design.style.stagger_divisor, c.divisor);
    }
}

TEST_F(StyleForm, OkStoresKerf) {
    struct Case { int start; bool toggle; int kerf; };
    const Case cases[] = {{1, false, 1}, {1, true, 0}, {0, false, 0}, {0, true, 1}, {5, false, 1}};
    for (const Case& c : cases) {
        design.style.kerf = c.start;
        use([&](Tstyleform& f) {
            EXPECT_EQ(f.kerfcheck->isChecked(), c.start != 0);
            if (c.toggle) QTest::mouseClick(f.kerfcheck, Qt::LeftButton, {}, QPoint(5, 8));
        });
        EXPECT_EQ(design.style.kerf, c.kerf) << c.start << " " << c.toggle;
    }
}

// The frame sits over the chosen picture and must not swallow its clicks.
TEST_F(StyleForm, ClickThroughTheFrame) {
    Tstyleform f(design, nullptr);
    f.show();
    settle();
    design.style.stagger_style = 0;
    QTest::mouseClick(f.Image2, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(design.style.stagger_style, 1);
    // A press that leaves the picture before release is no click.
    QTest::mousePress(f.Image3, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(f.Image3, Qt::LeftButton, {}, QPoint(-20, 10));
    EXPECT_EQ(design.style.stagger_style, 1);
}

}  // namespace

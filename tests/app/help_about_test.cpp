// Help pages, the about box and the web links.
#include <QAction>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "app/aboutform.h"
#include "app/help.h"
#include "tests/app/window_fixture.h"

namespace plk {
namespace {

TEST(HelpPage, ChosenFromTheLowerCasedDesignName) {
    struct Case {
        const char* file_name;
        const char* page;
    };
    const Case cases[] = {
        {"", "pkcreate.htm"},
        {"myfloor.pk1", "pkcreate.htm"},
        {"#example1.pk1", "vastrel70.htm"},
        {"#Example2.pk1", "vastrel71.htm"},
        {"/home/u/#EXAMPLE3.PK1", "vastrel72.htm"},
        {"#example3 copy of #example1.pk1", "vastrel72.htm"},  // the last match wins
        {"example1.pk1", "pkcreate.htm"},
    };
    for (const Case& c : cases) EXPECT_EQ(help_page_for(c.file_name), c.page) << c.file_name;
}

using HelpAbout = WindowTest;

TEST_F(HelpAbout, HelpOpensThePageFromTheProgramDirectory) {
    write_file("#Example2.pk1", kRectangleDesign);
    Tlevmain& m = start();
    const std::string help_dir = m.design.program_dir + "help/";
    m.idm_help->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], help_dir + "pkcreate.htm");
    EXPECT_EQ(m.statusbar->currentMessage().toStdString(), help_dir + "pkcreate.htm");

    next_open = QString::fromStdString(file("#Example2.pk1").string());
    m.idm_open->trigger();
    m.idm_help->trigger();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1], help_dir + "vastrel71.htm");

    m.idm_save->trigger();
    m.idm_help->trigger();
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[2], help_dir + "pkcreate.htm") << "after Save the name is myfloor.pk1";
}

TEST_F(HelpAbout, LogoOpensTheWebSiteAndPromptsInTheStatusBar) {
    Tlevmain& m = start();
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), QPointF(10, 10), Qt::NoButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(m.Image2, &move);
    EXPECT_EQ(m.statusbar->currentMessage(), kLogoPrompt);
    QTest::mouseClick(m.Image2, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], kMakerWebAddress);
}

TEST_F(HelpAbout, AboutBoxContents) {
    std::vector<std::string> links;
    Taboutform f(nullptr, [&](const std::string& t) {
        links.push_back(t);
        return true;
    });
    EXPECT_EQ(f.windowTitle(), "About");
    EXPECT_EQ(f.size(), QSize(562, 315));
    EXPECT_EQ(f.Label1->text(), "Plankora");
    EXPECT_EQ(f.Label3->text(), "For Laminate Flooring Layout");
    EXPECT_EQ(f.Label4->text(), "Powered By");
    EXPECT_EQ(f.Image1->geometry(), QRect(206, 110, 147, 77));
    EXPECT_EQ(f.Label10->pos(), QPoint(220, 190));
    EXPECT_EQ(f.Label10->text(), kMakerWebAddress);
    EXPECT_TRUE(f.Label10->font().underline());
    EXPECT_EQ(f.BitBtn1->geometry(), QRect(368, 224, 139, 57));

    auto move_over = [](QWidget* target) {
        QMouseEvent e(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(target, &e);
    };
    EXPECT_FALSE(f.Label10->property("hot").toBool());
    move_over(f.Label10);
    EXPECT_TRUE(f.Label10->property("hot").toBool()) << "red over the link";
    move_over(&f);
    EXPECT_FALSE(f.Label10->property("hot").toBool()) << "blue elsewhere";
    move_over(f.Image1);
    EXPECT_TRUE(f.Label10->property("hot").toBool()) << "red over the logo";
    move_over(f.Label1);
    EXPECT_FALSE(f.Label10->property("hot").toBool());

    QTest::mouseClick(f.Label10, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseClick(f.Image1, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(links, (std::vector<std::string>{kMakerWebAddress, kMakerWebAddress}));
}

TEST_F(HelpAbout, AboutCommandShowsTheBoxModallyAndRepaints) {
    Tlevmain& m = start();
    draw_rectangle();
    const std::vector<std::uint8_t> drawn = panel().bits();
    QString title;
    QTimer::singleShot(50, [&] {
        auto* box = qobject_cast<Taboutform*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        title = box->windowTitle();
        box->BitBtn1->click();
    });
    panel().fill(kWhite);
    m.idm_about->trigger();
    settle();
    EXPECT_EQ(title, "About");
    EXPECT_EQ(panel().bits(), drawn);
}

}  // namespace
}  // namespace plk

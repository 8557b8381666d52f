// The picture viewer reads the layout drawing the program writes.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/gif.h"

namespace {

struct ViewerRun {
    int status;
    std::string out;
    std::string err;
};

ViewerRun check(const QString& file) {
    QProcess p;
    p.start(QStringLiteral(PLK_BIN_DIR "/imgview"), {QStringLiteral("--check"), file});
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return {-2, "", "timed out"};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

TEST(Imgview, ReadsTheDrawingAndRefusesWhatItCannotRead) {
    if (!QFile::exists(QStringLiteral(PLK_BIN_DIR "/imgview")))
        GTEST_SKIP() << "imgview is not built";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    plk::Bitmap drawing(37, 21);
    drawing.set_pixel(3, 4, plk::kPureRed);
    plk::write_gif(dir.filePath("fdraw.gif").toStdString(), drawing);
    QFile junk(dir.filePath("junk.gif"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("GIF89a\x10\x00");
    junk.close();

    struct Case { const char* file; int status; const char* out; const char* err; };
    const Case cases[] = {
        {"fdraw.gif", 0, "37 x 21\n", ""},
        {"missing.gif", 1, "", "Cannot read picture file"},
        {"junk.gif", 1, "", "Cannot read picture file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const ViewerRun r = check(dir.filePath(QString::fromLatin1(c.file)));
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
}

}  // namespace

// imgview: shows one picture file (the numbered layout drawing "fdraw.gif")
// at full size with scroll bars. Escape or the window's close button ends it.
//
//   imgview FILE            show FILE in a window
//   imgview --check FILE    read FILE and print "WIDTH x HEIGHT" (no window)
//
// A file that cannot be read gives a message box and exit status 1.
#include <QApplication>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <cstdio>

namespace {

// Reads the picture; on failure returns a null image and sets `error`.
QImage load_picture(const QString& path, QString& error) {
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        error = QStringLiteral("Cannot read picture file %1: %2").arg(path, reader.errorString());
    return image;
}

}  // namespace

int main(int argc, char* argv[]) {
    const bool check = argc == 3 && qstrcmp(argv[1], "--check") == 0;
    if (check && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");  // no window in this mode
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("imgview"));

    if (!check && argc != 2) {
        std::fprintf(stderr, "Usage: imgview FILE\n       imgview --check FILE\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[check ? 2 : 1]);
    QString error;
    const QImage image = load_picture(path, error);
    if (image.isNull()) {
        std::fprintf(stderr, "imgview: %s\n", qPrintable(error));
        if (!check) QMessageBox::critical(nullptr, QStringLiteral("imgview"), error);
        return 1;
    }
    if (check) {
        std::printf("%d x %d\n", image.width(), image.height());
        return 0;
    }

    QScrollArea window;
    window.setWindowTitle(QStringLiteral("%1 - imgview").arg(path));
    window.setBackgroundRole(QPalette::Dark);
    auto* picture = new QLabel;
    picture->setPixmap(QPixmap::fromImage(image));
    picture->resize(image.size());
    window.setWidget(picture);

    // Full size when it fits, else as large as the screen allows (scroll bars
    // show the rest).
    QSize size = image.size() + QSize(2 * window.frameWidth(), 2 * window.frameWidth());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    window.resize(size);

    QShortcut escape(QKeySequence(Qt::Key_Escape), &window);
    QObject::connect(&escape, &QShortcut::activated, &window, &QWidget::close);

    window.show();
    window.activateWindow();
    return app.exec();
}

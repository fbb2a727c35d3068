// The yardstick of a fast start: an empty Qt window of the player's size,
// linked with Qt Widgets alone. Writes a line once its first paint is done.
//
// Usage: empty_window [ZOOM]   (the player's 632 x 425 times ZOOM, default 1)

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

class Painted : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued, so the line goes out once this paint has reached the screen.
            QMetaObject::invokeMethod(
                this,
                [] {
                    std::puts("painted");
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    const int zoom = argc > 1 ? std::atoi(argv[1]) : 1;
    window.setFixedSize(632 * zoom, 425 * zoom);
    Painted painted;
    window.installEventFilter(&painted);
    window.show();
    return app.exec();
}

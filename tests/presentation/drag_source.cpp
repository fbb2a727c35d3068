// A small window that drags the files named on its command line wherever the
// pointer is released, as a file manager does: the real window test drops a
// game folder on the player with it. Prints the action the target took.

#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <iostream>

namespace {

class DragSource : public QLabel {
  public:
    explicit DragSource(QList<QUrl> urls) : QLabel("drag me"), urls_(std::move(urls)) {
        setWindowTitle("vorn drag source");
        setFixedSize(120, 60);
    }

  protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* mime = new QMimeData;
        mime->setUrls(urls_);
        auto* drag = new QDrag(this);
        drag->setMimeData(mime);
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::LinkAction);
        std::cout << (action == Qt::IgnoreAction ? "ignored" : "dropped") << std::endl;
        QTimer::singleShot(3000, qApp, &QCoreApplication::quit); // the target fetches the data after the drop
    }

  private:
    QList<QUrl> urls_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QList<QUrl> urls;
    for (int i = 1; i < argc; ++i) urls << QUrl::fromLocalFile(QString::fromLocal8Bit(argv[i]));
    DragSource source(urls);
    source.move(700, 0);
    source.show();
    return app.exec();
}

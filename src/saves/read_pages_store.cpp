#include "read_pages_store.h"

#include "read_pages_format.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace vorn {

QString readPagesFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/vorn/read/pages.json";
}

std::string loadReadPages(const QString& path, ReadPages& pages) {
    pages.replace({});
    QFile file(path);
    if (!file.exists()) return "";
    const std::string named = "the read pages in " + path.toStdString();
    if (!file.open(QIODevice::ReadOnly))
        return named + " cannot be read (" + file.errorString().toStdString() + "); every page counts as unread";
    // A little past the largest document, so a huge file is refused by its length.
    const QByteArray bytes = file.read(static_cast<qint64>(kMaxReadPagesBytes) + 1);
    const std::string why = readReadPages(std::string_view(bytes.constData(), std::size_t(bytes.size())), pages);
    return why.empty() ? "" : named + " are set aside: " + why + "; every page counts as unread";
}

std::string keepReadPages(const QString& path, const ReadPages& pages) {
    if (!QDir().mkpath(QFileInfo(path).path())) return "the folder of " + path.toStdString() + " cannot be made";
    QSaveFile file(path);
    const QByteArray bytes = QByteArray::fromStdString(writeReadPages(pages));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return "cannot write " + path.toStdString() + ": " + file.errorString().toStdString();
    return "";
}

} // namespace vorn

#include "settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace vorn {

QString settingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/vorn/settings.json";
}

SettingsRead loadSettings() {
    QFile file(settingsFile());
    if (!file.exists()) return {};
    if (!file.open(QIODevice::ReadOnly)) {
        SettingsRead read;
        read.note = "the settings file " + settingsFile().toStdString() + " cannot be read (" +
                    file.errorString().toStdString() + "); the defaults are used";
        return read;
    }
    // Read a little past any settings document's size, so a huge file is
    // refused by its length without being read whole.
    const QByteArray bytes = file.read(1024 * 1024);
    return readSettings(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::string keepSettings(const ReaderSettings& settings) {
    const QString path = settingsFile();
    if (!QDir().mkpath(QFileInfo(path).path())) return "the folder of " + path.toStdString() + " cannot be made";
    QSaveFile file(path);
    const QByteArray bytes = QByteArray::fromStdString(writeSettings(settings));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return "cannot write " + path.toStdString() + ": " + file.errorString().toStdString();
    return "";
}

} // namespace vorn

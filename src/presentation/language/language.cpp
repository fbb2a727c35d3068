#include "language.h"

#include "shell/command_line.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdlib>

namespace vorn {
namespace {

// The context under which lupdate files the core's templates: they are marked
// at namespace level in namespace vorn.
constexpr const char* kCoreContext = "vorn";

bool isCLocale(std::string_view locale) {
    return locale.empty() || locale == "C" || locale == "POSIX" || locale.starts_with("C.");
}

Language languageOfLocale(std::string_view locale) {
    return locale.starts_with("ja") && (locale.size() == 2 || locale[2] == '_' || locale[2] == '.' || locale[2] == '@')
               ? Language::Japanese
               : Language::English;
}

} // namespace

std::optional<Language> languageNamed(std::string_view name) {
    if (name == "en") return Language::English;
    if (name == "ja") return Language::Japanese;
    return std::nullopt;
}

Language desktopLanguage(const EnvironmentLookup& getenv) {
    auto value = [&](const char* name) -> std::string_view {
        const char* v = getenv(name);
        return v ? v : "";
    };
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = value(name);
        if (!locale.empty()) break;
    }
    if (isCLocale(locale)) return Language::English;
    // LANGUAGE lists languages in order of preference; the first the player
    // speaks wins, and one it does not speak falls through to the next.
    std::string_view list = value("LANGUAGE");
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        const std::string_view entry = list.substr(0, colon);
        if (languageOfLocale(entry) == Language::Japanese) return Language::Japanese;
        if (entry.starts_with("en")) return Language::English;
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    return languageOfLocale(locale);
}

Language desktopLanguage() {
    return desktopLanguage([](const char* name) { return std::getenv(name); });
}

Language chosenLanguage(const std::optional<std::string>& named) {
    if (named)
        if (const std::optional<Language> language = languageNamed(*named)) return *language;
    return desktopLanguage();
}

bool installTranslations(Language language) {
    if (language == Language::English) return true;
    // Owned by the application, which outlives every window and dialog.
    auto* player = new QTranslator(QCoreApplication::instance());
    const bool playerLoaded = player->load(QStringLiteral(":/translations/vorn_ja.qm"));
    if (playerLoaded) QCoreApplication::installTranslator(player);
    auto* qt = new QTranslator(QCoreApplication::instance());
    const bool qtLoaded = qt->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (qtLoaded) QCoreApplication::installTranslator(qt);
    return playerLoaded && qtLoaded;
}

QString translated(const Message& message) {
    return QString::fromStdString(message.render([](const std::string& english) {
        return QCoreApplication::translate(kCoreContext, english.c_str()).toStdString();
    }));
}

QString translatedUsage() { return QCoreApplication::translate(kCoreContext, usageText().c_str()); }

} // namespace vorn

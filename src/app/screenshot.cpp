// Screenshot folder and names.
#include "app/screenshot.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace orva {

std::optional<std::filesystem::path> ParsePicturesDir(std::string_view text, const std::filesystem::path& home) {
    constexpr std::string_view kKey = "XDG_PICTURES_DIR=";
    std::optional<std::filesystem::path> found;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.substr(0, kKey.size()) != kKey) continue;  // comments and other folders
        line.remove_prefix(kKey.size());
        if (line.empty() || line.front() != '"') continue;
        // The quoted value, with \" \\ \$ \` as the shell reads them.
        std::string value;
        bool closed = false;
        for (size_t i = 1; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '\\' && i + 1 < line.size()) {
                value += line[++i];
            } else if (c == '"') {
                closed = true;
                break;
            } else {
                value += c;
            }
        }
        if (!closed) continue;
        std::filesystem::path dir;
        if (value == "$HOME" || value.rfind("$HOME/", 0) == 0) {
            if (home.empty()) continue;
            const std::string rest = value.size() > 6 ? value.substr(6) : std::string();
            dir = rest.empty() ? home : home / rest;
        } else if (!value.empty() && value.front() == '/') {
            dir = value;
        } else {
            continue;  // neither absolute nor under $HOME: not a value the file may hold
        }
        found = dir;
    }
    return found;
}

std::filesystem::path PicturesDir(const char* xdgConfigHome, const char* home) {
    if (!home || !*home || !std::filesystem::path(home).is_absolute()) return {};
    const std::filesystem::path homeDir(home);
    const std::filesystem::path config = xdgConfigHome && *xdgConfigHome && std::filesystem::path(xdgConfigHome).is_absolute()
                                             ? std::filesystem::path(xdgConfigHome)
                                             : homeDir / ".config";
    std::ifstream in(config / "user-dirs.dirs", std::ios::binary);
    if (in) {
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (auto dir = ParsePicturesDir(text, homeDir)) return *dir;
    }
    return homeDir / "Pictures";
}

std::filesystem::path ScreenshotPath(const std::filesystem::path& folder, const std::tm& local) {
    char stamp[96];
    std::snprintf(stamp, sizeof stamp, "orva-%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    std::error_code ec;
    std::filesystem::path path = folder / (std::string(stamp) + ".png");
    for (int n = 2; std::filesystem::exists(path, ec); ++n)
        path = folder / (std::string(stamp) + "-" + std::to_string(n) + ".png");
    return path;
}

}  // namespace orva

// Reader of the user's settings file.
#include "app/orva_conf.h"

#include <fstream>
#include <set>
#include <sstream>

#include "text/translation_catalog.h"

namespace orva {
namespace {

constexpr std::string_view kBlanks = " \t\r";
constexpr size_t kMaxConfBytes = 1 << 20;  // a settings file is a few lines; more is not one

std::string_view Trim(std::string_view s) {
    const size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

std::filesystem::path ConfPath(std::string_view value, const std::filesystem::path& file, const char* home) {
    std::filesystem::path path{std::string(value)};
    if (value.starts_with("~/") && home && *home) return std::filesystem::path(home) / std::string(value.substr(2));
    if (path.is_relative()) return file.parent_path() / path;
    return path;
}

}  // namespace

OrvaConf ParseOrvaConf(std::string_view text, const std::filesystem::path& file, const char* home,
                       std::vector<std::string>& warnings) {
    OrvaConf conf;
    std::set<std::string, std::less<>> unknownSeen;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a byte-order mark some editors write
    size_t lineNo = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++lineNo;
        const std::string where = file.string() + ":" + std::to_string(lineNo) + ": ";
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#') continue;
        const size_t eq = line.find('=');
        const std::string_view key = eq == std::string_view::npos ? std::string_view{} : Trim(line.substr(0, eq));
        if (key.empty()) {
            warnings.push_back(where + "expected 'key = value', got '" + std::string(line) + "'");
            continue;
        }
        const std::string_view value = Trim(line.substr(eq + 1));
        if (key != "text-out" && key != "lang" && key != "translation") {
            if (unknownSeen.insert(std::string(key)).second)
                warnings.push_back(where + "unknown key '" + std::string(key) + "' is ignored");
            continue;
        }
        if (value.empty()) {
            warnings.push_back(where + std::string(key) + " has no value");
            continue;
        }
        if (key == "text-out") {
            TextOutTarget target;
            std::string error;
            if (ParseTextOutTarget(value, target, error)) conf.TextOut = target;
            else warnings.push_back(where + error);
        } else if (key == "lang") {
            // The name becomes a file name in the game folder: only a language's form will do.
            if (value == "auto" || ValidLanguageName(value)) conf.Lang = std::string(value);
            else warnings.push_back(where + "lang takes a language such as en or pt_BR, or auto; got '" + std::string(value) + "'");
        } else {
            conf.Translation = ConfPath(value, file, home);
        }
    }
    return conf;
}

OrvaConf ReadOrvaConf(const std::filesystem::path& configDir, const char* home, std::vector<std::string>& warnings) {
    if (configDir.empty()) return {};
    const std::filesystem::path file = configDir / kConfFileName;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return {};
    std::ifstream in(file, std::ios::binary);
    std::string text(kMaxConfBytes + 1, '\0');
    if (in) in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (!in && !in.eof()) {
        warnings.push_back(file.string() + ": cannot be read; its settings are ignored");
        return {};
    }
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.size() > kMaxConfBytes) {
        warnings.push_back(file.string() + ": larger than a settings file can be; its settings are ignored");
        return {};
    }
    return ParseOrvaConf(text, file, home, warnings);
}

void ApplyOrvaConf(const OrvaConf& conf, CommandLine& cmd) {
    if (!cmd.TextOut && conf.TextOut) cmd.TextOut = conf.TextOut;
    // The language and the catalog go together: either on the command line replaces both of
    // the file's, so that `--lang de` is not overruled by the file's catalog.
    if (cmd.Lang.empty() && cmd.TranslationFile.empty()) {
        if (conf.Lang) cmd.Lang = *conf.Lang;
        if (conf.Translation) cmd.TranslationFile = *conf.Translation;
    }
}

}  // namespace orva

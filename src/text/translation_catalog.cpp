// Reading PO catalogs through libgettextpo, and choosing which catalog a run uses.
#include "text/translation_catalog.h"

#include <gettext-po.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace orva {
namespace {

// libgettextpo reports through a handler that must not return on a fatal error; the reader
// below jumps back out of it. Only the first problem is kept: it names the file and line.
struct ReadProblem {
    std::jmp_buf Back;
    char Text[512];
    bool Any;
};
thread_local ReadProblem* CurrentProblem = nullptr;

void Keep(int severity, const char* file, size_t line, const char* text) {
    ReadProblem* p = CurrentProblem;
    if (!p || severity == PO_SEVERITY_WARNING || p->Any) return;
    p->Any = true;
    const char* message = text ? text : "unreadable";
    // One line: the reader's text may run over several.
    char flat[400];
    size_t n = 0;
    for (const char* c = message; *c && n + 1 < sizeof flat; ++c) flat[n++] = (*c == '\n' || *c == '\r') ? ' ' : *c;
    while (n > 0 && flat[n - 1] == ' ') --n;
    flat[n] = '\0';
    if (file && line != static_cast<size_t>(-1))
        std::snprintf(p->Text, sizeof p->Text, "%s:%zu: %s", file, line, flat);
    else if (file)
        std::snprintf(p->Text, sizeof p->Text, "%s: %s", file, flat);
    else
        std::snprintf(p->Text, sizeof p->Text, "%s", flat);
}

void OnError(int severity, po_message_t, const char* file, size_t line, size_t, int, const char* text) {
    Keep(severity, file, line, text);
    if (severity == PO_SEVERITY_FATAL_ERROR && CurrentProblem) std::longjmp(CurrentProblem->Back, 1);
}

void OnError2(int severity, po_message_t, const char* file1, size_t line1, size_t, int, const char* text1,
              po_message_t, const char*, size_t, size_t, int, const char*) {
    Keep(severity, file1, line1, text1);
    if (severity == PO_SEVERITY_FATAL_ERROR && CurrentProblem) std::longjmp(CurrentProblem->Back, 1);
}

const po_xerror_handler kHandler = {OnError, OnError2};

// Reads the file; null after a fatal error. Nothing with a destructor lives in this frame, so
// the jump back from the handler skips no clean-up (the reader's own memory of a failed read
// is lost, once per bad file).
po_file_t ReadPoFile(const char* path, ReadProblem* problem) {
    CurrentProblem = problem;
    if (setjmp(problem->Back) != 0) {
        CurrentProblem = nullptr;
        return nullptr;
    }
    po_file_t file = po_file_read(path, &kHandler);
    CurrentProblem = nullptr;
    return file;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::string MessageContext(int script, int text) { return std::to_string(script) + ":" + std::to_string(text); }

std::string AnswerContext(int script, int text, int answer) {
    return MessageContext(script, text) + ":" + std::to_string(answer);
}

bool TTranslationCatalog::Load(const std::filesystem::path& file, std::string& error) {
    Entries_.clear();
    Index.clear();
    File_ = file;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        error = file.string() + ": " + (std::filesystem::exists(file, ec) ? "not a file" : "no such file");
        return false;
    }
    auto problem = std::make_unique<ReadProblem>();
    problem->Any = false;
    problem->Text[0] = '\0';
    po_file_t po = ReadPoFile(file.c_str(), problem.get());
    if (!po || problem->Any) {
        if (po) po_file_free(po);
        error = problem->Any ? problem->Text : file.string() + ": the catalog cannot be read";
        return false;
    }
    // The catalog's texts are compared byte for byte with the game's UTF-8: another charset
    // would never match and would show mangled text.
    if (const char* header = po_file_domain_header(po, nullptr)) {
        if (char* type = po_header_field(header, "Content-Type")) {
            const std::string value = Lower(type);
            std::free(type);
            const size_t at = value.find("charset=");
            if (at != std::string::npos) {
                std::string charset = value.substr(at + 8);
                charset.erase(std::find_if(charset.begin(), charset.end(), [](char c) { return c == ';' || c == ' '; }),
                              charset.end());
                if (charset != "utf-8" && charset != "utf8" && charset != "charset" && charset != "ascii" &&
                    charset != "us-ascii") {
                    po_file_free(po);
                    error = file.string() + ": the catalog is in " + charset + "; translations must be UTF-8";
                    return false;
                }
            }
        }
    }
    for (const char* const* domain = po_file_domains(po); domain && *domain; ++domain) {
        po_message_iterator_t it = po_message_iterator(po, *domain);
        while (po_message_t m = po_next_message(it)) {
            if (po_message_is_obsolete(m)) continue;
            const char* id = po_message_msgid(m);
            if (!id || !*id) continue;  // the header
            CatalogEntry e;
            const char* ctxt = po_message_msgctxt(m);
            e.Context = ctxt ? ctxt : "";
            e.Id = id;
            const char* str = po_message_msgstr(m);
            e.Str = str ? str : "";
            e.Fuzzy = po_message_is_fuzzy(m) != 0;
            Entries_.push_back(std::move(e));
        }
        po_message_iterator_free(it);
    }
    po_file_free(po);
    for (size_t i = 0; i < Entries_.size(); ++i)
        if (Entries_[i].Translated()) Index.emplace(std::make_pair(Entries_[i].Context, Entries_[i].Id), i);
    return true;
}

const std::string* TTranslationCatalog::Find(std::string_view context, std::string_view id) const {
    if (Index.empty()) return nullptr;
    const auto it = Index.find(std::make_pair(std::string(context), std::string(id)));
    return it == Index.end() ? nullptr : &Entries_[it->second].Str;
}

std::vector<std::string> LocaleLanguages(std::string_view locale) {
    // language[_territory][.codeset][@modifier]
    std::string_view name = locale.substr(0, locale.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX") return {};
    std::vector<std::string> out{std::string(name)};
    const size_t underscore = name.find('_');
    if (underscore != std::string_view::npos && underscore > 0) out.emplace_back(name.substr(0, underscore));
    out.erase(std::remove_if(out.begin(), out.end(), [](const std::string& l) { return !ValidLanguageName(l); }),
              out.end());
    return out;
}

std::string MessagesLocale(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* v : {lcAll, lcMessages, lang})
        if (v && *v) return v;
    return {};
}

bool ValidLanguageName(std::string_view lang) {
    if (lang.empty() || lang.size() > 64 || lang.front() == '.') return false;
    return std::all_of(lang.begin(), lang.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '@' || c == '.';
    });
}

std::filesystem::path TranslationFileFor(const std::filesystem::path& gameDir, std::string_view lang) {
    return gameDir / "translations" / (std::string(lang) + ".po");
}

std::filesystem::path ChooseTranslationFile(const std::filesystem::path& gameDir, std::string_view lang,
                                            const std::filesystem::path& file, std::string_view locale,
                                            std::string& note) {
    note.clear();
    if (!file.empty()) return file;
    if (lang.empty()) return {};
    std::error_code ec;
    if (lang == "auto") {
        for (const std::string& l : LocaleLanguages(locale)) {
            const auto candidate = TranslationFileFor(gameDir, l);
            if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
        }
        return {};
    }
    const auto named = TranslationFileFor(gameDir, lang);
    if (!std::filesystem::exists(named, ec)) {
        note = "there is no translation " + std::string(lang) + " (" + named.string() + "); the original text is shown";
        return {};
    }
    return named;
}

}  // namespace orva

// Gettext files through libgettextpo. The library reports problems through a handler that
// must not return on a fatal one, so each call that can fail runs under a setjmp point the
// handler jumps back to; the first problem reported is the one the user sees.
#include "orva_text/po_catalog.h"

#include <gettext-po.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <set>

#include "data/file_io.h"

namespace orva {
namespace {

// What the handler saw during one library call.
struct PoProblem {
    std::jmp_buf Back;   // where a fatal problem returns to
    std::string First;   // the first error or fatal error, "FILE:LINE: text"
};
PoProblem* gProblem = nullptr;  // the call in progress; libgettextpo is used from one thread

std::string FirstLine(const char* text) {
    std::string s = text ? text : "";
    const size_t nl = s.find('\n');
    if (nl != std::string::npos) s.erase(nl);
    return s;
}

void Record(int severity, const char* filename, size_t lineno, const char* text) {
    if (severity == PO_SEVERITY_WARNING || !gProblem) return;
    if (gProblem->First.empty()) {
        std::string where;
        if (filename) {
            where = filename;
            if (lineno != size_t(-1)) {
                where += ':';
                where += std::to_string(lineno);
            }
            where += ": ";
        }
        gProblem->First = where + FirstLine(text);
    }
    if (severity == PO_SEVERITY_FATAL_ERROR) std::longjmp(gProblem->Back, 1);
}

void OnError(int severity, po_message_t, const char* filename, size_t lineno, size_t, int, const char* text) {
    Record(severity, filename, lineno, text);
}

void OnError2(int severity, po_message_t, const char* filename1, size_t lineno1, size_t, int, const char* text1,
              po_message_t, const char*, size_t, size_t, int, const char*) {
    Record(severity, filename1, lineno1, text1);
}

const po_xerror_handler kHandler{OnError, OnError2};

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The charset a header's Content-Type names, lower-cased; empty when it names none.
std::string HeaderCharset(const char* header) {
    if (!header) return {};
    char* type = po_header_field(header, "Content-Type");
    if (!type) return {};
    std::string value = Lower(type);
    std::free(type);
    const size_t at = value.find("charset=");
    if (at == std::string::npos) return {};
    value.erase(0, at + 8);
    const size_t end = value.find_first_of("; \t");
    if (end != std::string::npos) value.erase(end);
    return value;
}

std::string Key(const std::string& context, const std::string& id) { return context + '\x04' + id; }

}  // namespace

bool PotCreationDate(const char* sourceDateEpoch, std::string& date, std::string& error) {
    long long seconds = 0;
    if (sourceDateEpoch && *sourceDateEpoch) {
        char* end = nullptr;
        seconds = std::strtoll(sourceDateEpoch, &end, 10);
        if (*end || seconds < 0 || !std::isdigit(static_cast<unsigned char>(*sourceDateEpoch))) {
            error = std::string("SOURCE_DATE_EPOCH is not a number of seconds: ") + sourceDateEpoch;
            return false;
        }
    }
    const std::time_t t = std::time_t(seconds);
    std::tm utc{};
    char text[32];
    if (!gmtime_r(&t, &utc) || !std::strftime(text, sizeof text, "%Y-%m-%d %H:%M+0000", &utc)) {
        error = std::string("SOURCE_DATE_EPOCH is out of range: ") + sourceDateEpoch;
        return false;
    }
    date = text;
    return true;
}

bool FormatPot(const GameCatalog& catalog, const PotHeader& header, std::string& text, std::string& error) {
    // libgettextpo writes only to a named file: a private temporary one, read back at once.
    std::string tempPath = (std::filesystem::temp_directory_path() / "orva-text-XXXXXX").string();
    const int fd = mkstemp(tempPath.data());
    if (fd < 0) {
        error = "cannot create a temporary file in " + std::filesystem::temp_directory_path().string();
        return false;
    }
    close(fd);

    // Every string is made before the library runs: a jump back from its handler must not
    // pass over a live C++ object.
    const std::string fields = "Project-Id-Version: " + header.Project + "\n" +
                               "Report-Msgid-Bugs-To: \n"
                               "POT-Creation-Date: " + header.CreationDate + "\n" +
                               "PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\n"
                               "Last-Translator: FULL NAME <EMAIL@ADDRESS>\n"
                               "Language-Team: LANGUAGE <LL@li.org>\n"
                               "Language: \n"
                               "MIME-Version: 1.0\n"
                               "Content-Type: text/plain; charset=UTF-8\n"
                               "Content-Transfer-Encoding: 8bit\n";
    const std::string title = "Texts of " + header.Project + " for translation.\n";
    std::vector<std::string> notes;
    for (const CatalogEntry& entry : catalog.Entries) {
        std::string lines;
        for (const std::string& note : entry.Notes) lines += note + "\n";
        notes.push_back(std::move(lines));
    }

    PoProblem problem;
    po_file_t volatile file = nullptr;  // read again after a jump back
    gProblem = &problem;
    if (setjmp(problem.Back) == 0) {
        file = po_file_create();
        po_message_iterator_t it = po_message_iterator(file, nullptr);
        po_message_t head = po_message_create();
        po_message_set_msgid(head, "");
        po_message_set_msgstr(head, fields.c_str());
        po_message_set_comments(head, title.c_str());
        po_message_set_fuzzy(head, 1);
        po_message_insert(it, head);
        for (size_t i = 0; i < catalog.Entries.size(); ++i) {
            const CatalogEntry& entry = catalog.Entries[i];
            po_message_t m = po_message_create();
            po_message_set_msgctxt(m, entry.Context.c_str());
            po_message_set_msgid(m, entry.Id.c_str());
            po_message_set_msgstr(m, "");
            for (const auto& ref : entry.References) po_message_add_filepos(m, ref.first.c_str(), size_t(ref.second));
            if (!notes[i].empty()) po_message_set_extracted_comments(m, notes[i].c_str());
            po_message_insert(it, m);
        }
        po_message_iterator_free(it);
        po_file_write(file, tempPath.c_str(), &kHandler);
    }
    gProblem = nullptr;
    if (file) po_file_free(file);

    const auto bytes = ReadWholeFile(tempPath);
    std::error_code ec;
    std::filesystem::remove(tempPath, ec);
    if (!problem.First.empty() || !bytes) {
        error = problem.First.empty() ? "cannot read back the written template" : problem.First;
        return false;
    }
    text.assign(bytes->begin(), bytes->end());
    return true;
}

bool ReadPo(const std::filesystem::path& path, std::vector<PoEntry>& entries, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        error = path.string() + ": no such file";
        return false;
    }
    PoProblem problem;
    po_file_t volatile file = nullptr;  // read again after a jump back
    std::vector<PoEntry> read;
    std::string charset;
    gProblem = &problem;
    if (setjmp(problem.Back) == 0) {
        file = po_file_read(path.c_str(), &kHandler);
        if (file) {
            charset = HeaderCharset(po_file_domain_header(file, nullptr));
            for (const char* const* domain = po_file_domains(file); *domain; ++domain) {
                po_message_iterator_t it = po_message_iterator(file, *domain);
                while (po_message_t m = po_next_message(it)) {
                    const char* id = po_message_msgid(m);
                    const char* ctxt = po_message_msgctxt(m);
                    if (po_message_is_obsolete(m) || (!ctxt && *id == '\0')) continue;
                    const char* str = po_message_msgid_plural(m) ? po_message_msgstr_plural(m, 0) : po_message_msgstr(m);
                    read.push_back({ctxt ? ctxt : "", id, str ? str : "", po_message_is_fuzzy(m) != 0});
                }
                po_message_iterator_free(it);
            }
        }
    }
    gProblem = nullptr;
    if (file) po_file_free(file);
    if (!problem.First.empty() || !file) {
        error = problem.First.empty() ? path.string() + ": cannot be read" : problem.First;
        return false;
    }
    if (!charset.empty() && charset != "utf-8" && charset != "utf8" && charset != "charset" && charset != "ascii" &&
        charset != "us-ascii") {
        error = path.string() + ": written in " + charset + "; translations must be in UTF-8";
        return false;
    }
    entries = std::move(read);
    return true;
}

TranslationStats CountTranslation(const GameCatalog& catalog, const std::vector<PoEntry>& entries) {
    TranslationStats stats;
    std::map<std::string, const PoEntry*> byKey;
    for (const PoEntry& e : entries) byKey.emplace(Key(e.Context, e.Id), &e);
    std::set<std::string> inTemplate;
    for (const CatalogEntry& c : catalog.Entries) {
        const std::string key = Key(c.Context, c.Id);
        inTemplate.insert(key);
        ++stats.Total;
        const auto found = byKey.find(key);
        const PoEntry* e = found == byKey.end() ? nullptr : found->second;
        if (e && e->Fuzzy) {
            ++stats.Fuzzy;
            stats.UnfinishedEntries.push_back(&c);
        } else if (e && !e->Str.empty()) {
            ++stats.Translated;
        } else {
            ++stats.Untranslated;
            stats.UnfinishedEntries.push_back(&c);
        }
    }
    for (const PoEntry& e : entries)
        if (!inTemplate.count(Key(e.Context, e.Id))) {
            ++stats.Stale;
            stats.StaleEntries.push_back(&e);
        }
    return stats;
}

}  // namespace orva

// The route explorer's reports. Choice points and draws are grouped by their script line (one
// line may be met in several states); everything is listed in script order.
//
// [SECTION] grouping
// [SECTION] summary
// [SECTION] JSON
// [SECTION] route map
#include "route_report.h"

#include <graphviz/gvc.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "app/trace.h"
#include "data/cp932.h"

namespace orva {
namespace {

// What the nodes of one ending add up to: the routes reaching them, the system variables set
// on the way, and the last message shown.
struct EndingSum {
    double Routes = 0;
    std::set<int32_t> Flags;
    std::string Text;
};
EndingSum SumEnding(const RouteResult& r, const std::vector<size_t>& nodes) {
    EndingSum sum;
    for (size_t i : nodes) {
        sum.Routes += r.PathsTo[i];
        sum.Flags.insert(r.Nodes[i].FlagsSet.begin(), r.Nodes[i].FlagsSet.end());
        if (sum.Text.empty()) sum.Text = r.Nodes[i].Text;
    }
    return sum;
}

// [SECTION] grouping -------------------------------------------------------------------------

// Where a decision leads, as the reports name it.
struct Lead {
    std::string Kind;  // choice, draw, title, end, loop, unexplored
    ScriptPlace At;
    auto operator<=>(const Lead&) const = default;
};

const char* KindName(StopKind k) {
    switch (k) {
        case StopKind::Choice: return "choice";
        case StopKind::Random: return "draw";
        case StopKind::Title: return "title";
        case StopKind::End: return "end";
        case StopKind::Loop: return "loop";
    }
    return "loop";
}

// A choice line or a draw line, with every state it was met in merged.
struct ForkGroup {
    StopKind Kind = StopKind::Choice;
    ScriptPlace At;
    std::vector<std::string> Answers;             // choice answers
    int32_t Span = 0;                             // draw outcomes
    std::vector<int32_t> Values;                  // decisions, in order
    std::vector<std::set<Lead>> Leads;            // per decision
    double Routes = 0;                            // routes passing through it
};

std::vector<ForkGroup> ForkGroups(const RouteResult& r) {
    std::map<std::pair<int, ScriptPlace>, ForkGroup> groups;
    for (size_t i = 0; i < r.Nodes.size(); ++i) {
        const RouteNode& n = r.Nodes[i];
        if (n.Kind != StopKind::Choice && n.Kind != StopKind::Random) continue;
        ForkGroup& g = groups[{int(n.Kind), n.At}];
        g.Kind = n.Kind;
        g.At = n.At;
        if (g.Values.size() < n.Values.size()) {
            g.Answers = n.Answers;
            g.Values = n.Values;
            g.Span = n.Span;
            g.Leads.resize(n.Values.size());
        }
        g.Routes += i < r.PathsTo.size() ? r.PathsTo[i] : 0;
        for (size_t d = 0; d < n.Values.size(); ++d) {
            if (!n.Expanded || n.Next[d] < 0) {
                g.Leads[d].insert({"unexplored", n.At});
                continue;
            }
            const RouteNode& to = r.Nodes[size_t(n.Next[d])];
            g.Leads[d].insert({KindName(to.Kind), to.At});
        }
    }
    std::vector<ForkGroup> out;
    for (auto& [key, g] : groups) out.push_back(std::move(g));
    return out;
}

std::string Place(const ScriptPlace& p) { return std::to_string(p.Script) + ":" + std::to_string(p.Line); }

// A whole number of routes as digits; beyond 2^53 a double's shortest exact form.
std::string RouteCount(double n) {
    char buf[64];
    if (n < 9007199254740992.0) std::snprintf(buf, sizeof buf, "%.0f", n);
    else std::snprintf(buf, sizeof buf, "%.17g", n);
    return buf;
}

// The first characters of a text, for listings.
std::string Short(const std::string& utf8, size_t chars) {
    std::u16string t = Utf8ToUtf16(utf8);
    if (t.size() <= chars) return utf8;
    return Utf16ToUtf8(t.substr(0, chars)) + "…";
}

std::string RoutesText(double n) { return RouteCount(n) + (n == 1 ? " route" : " routes"); }

int64_t Percent(size_t part, size_t whole) { return whole == 0 ? 100 : int64_t(part * 100 / whole); }

// [SECTION] summary --------------------------------------------------------------------------

}  // namespace

void WriteRouteSummary(const RouteResult& r, std::ostream& out) {
    out << "States explored: " << r.Nodes.size() << "\n";
    out << "Routes: " << RouteCount(r.Routes) << (r.LoopEdges ? " (loops counted once)" : "") << "\n";
    if (r.Incomplete) {
        out << "Exploration is incomplete:\n";
        for (const std::string& reason : r.Reasons) out << "  " << reason << "\n";
    }
    for (const std::string& note : r.Notes) out << "Note: " << note << "\n";

    out << "\nChoices and draws\n";
    for (const ForkGroup& g : ForkGroups(r)) {
        if (g.Kind == StopKind::Choice) {
            out << "  script " << g.At.Script << " line " << g.At.Line << " (" << RoutesText(g.Routes) << ")\n";
        } else {
            out << "  draw at script " << g.At.Script << " line " << g.At.Line << ", " << g.Span << " outcomes ("
                << RoutesText(g.Routes) << ")\n";
        }
        for (size_t d = 0; d < g.Values.size(); ++d) {
            out << "    " << (g.Kind == StopKind::Choice ? std::to_string(g.Values[d]) + ". " + g.Answers[d]
                                                         : "drawn " + std::to_string(g.Values[d]))
                << " →";
            for (const Lead& l : g.Leads[d]) out << " " << l.Kind << " " << Place(l.At);
            out << "\n";
        }
    }
    out << "\nEndings\n";
    for (const auto& [key, nodes] : EndingGroups(r)) {
        const auto [routes, flags, text] = SumEnding(r, nodes);
        out << "  " << (key.first == "title" ? "back to the title after script " : "end of script ") << key.second.Script
            << " line " << key.second.Line << (text.empty() ? "" : " \"" + Short(text, 20) + "\"") << ": "
            << RoutesText(routes);
        if (!flags.empty()) {
            out << "; sets system variables";
            for (int32_t f : flags) out << " S" << f;
        }
        out << "\n";
    }

    const size_t total = r.AllMessages.size();
    size_t reached = 0;
    for (const auto& [m, text] : r.AllMessages) reached += r.ReachedMessages.count(m);
    out << "\nMessages: " << reached << " of " << total << " reached (" << Percent(reached, total) << " %)\n";
    std::map<int32_t, std::pair<size_t, size_t>> perScript;
    for (const auto& [m, text] : r.AllMessages) {
        auto& [got, all] = perScript[m.Script];
        ++all;
        got += r.ReachedMessages.count(m);
    }
    for (const auto& [script, counts] : perScript)
        out << "  script " << script << ": " << counts.first << " of " << counts.second << "\n";
    for (const auto& [m, text] : r.AllMessages)
        if (!r.ReachedMessages.count(m))
            out << "  not reached: script " << m.Script << " message " << m.Msg << " \"" << Short(text, 20) << "\"\n";

    auto list = [&](const char* title, const auto& items, auto show) {
        out << "\n" << title << ": " << items.size() << "\n";
        for (const auto& item : items) out << "  " << show(item) << "\n";
    };
    std::vector<std::pair<int32_t, std::string>> labels;
    for (const auto& l : r.AllLabels)
        if (!r.JumpedLabels.count(l)) labels.push_back(l);
    list("Labels never jumped to", labels,
         [](const auto& l) { return "script " + std::to_string(l.first) + " *" + l.second; });
    std::vector<std::pair<ScriptPlace, bool>> oneWay;
    for (const auto& [at, taken] : r.Conditions)
        if (taken[0] != taken[1]) oneWay.push_back({at, taken[0]});
    list("Conditions that go one way only", oneWay, [](const auto& c) {
        return "script " + std::to_string(c.first.Script) + " line " + std::to_string(c.first.Line) + ": always " +
               (c.second ? "holds" : "fails");
    });
    std::vector<std::string> unused;
    for (const std::string& a : r.NamedAssets)
        if (!r.UsedAssets.count(a)) unused.push_back(a);
    list("Files named but used by no route", unused, [](const std::string& a) { return a; });
    list("Files a route uses that no archive holds", r.MissingAssets, [](const std::string& a) { return a; });
    list("Album entries no route unlocks", r.AlbumLocked, [](const RouteResult::AlbumEntry& e) {
        return e.Kind == "scene" ? "scene replay page " + std::to_string(e.Page) + " item " + std::to_string(e.Item) +
                                       " (script " + std::to_string(e.Scene) + ", S" + std::to_string(e.Flag) + ")"
                                 : "gallery page " + std::to_string(e.Page) + " item " + std::to_string(e.Item) + " (" +
                                       e.Picture + ")";
    });
    list("Messages past the window's third line", r.Overflow, [&](const auto& o) {
        const auto it = r.AllMessages.find(o.first);
        return "script " + std::to_string(o.first.Script) + " message " + std::to_string(o.first.Msg) + " \"" +
               Short(it == r.AllMessages.end() ? std::string() : it->second, 20) + "\" loses " + std::to_string(o.second) +
               " characters";
    });
    if (!r.Translation.empty()) {
        out << "\nTranslation checked: " << r.Translation.string() << "\n";
        list("Translated messages past the window's third line", r.TranslationOverflow, [&](const auto& o) {
            return "script " + std::to_string(o.first.Script) + " message " + std::to_string(o.first.Msg) + " loses " +
                   std::to_string(o.second) + " characters in translation";
        });
    }
}

// [SECTION] JSON -----------------------------------------------------------------------------

namespace {

std::string JPlace(const ScriptPlace& p) {
    return "\"script\": " + std::to_string(p.Script) + ", \"line\": " + std::to_string(p.Line);
}

template <typename Items, typename Show>
void JList(std::ostream& out, const char* name, const Items& items, Show show, bool last = false) {
    out << "  \"" << name << "\": [";
    bool first = true;
    for (const auto& item : items) {
        out << (first ? "\n    " : ",\n    ") << show(item);
        first = false;
    }
    out << (first ? "]" : "\n  ]") << (last ? "\n" : ",\n");
}

}  // namespace

void WriteRouteJson(const RouteResult& r, std::ostream& out) {
    out << "{\n";
    out << "  \"states\": " << r.Nodes.size() << ",\n";
    out << "  \"routes\": " << RouteCount(r.Routes) << ",\n";
    out << "  \"loops\": " << r.LoopEdges << ",\n";
    out << "  \"incomplete\": " << (r.Incomplete ? "true" : "false") << ",\n";
    JList(out, "reasons", r.Reasons, [](const std::string& s) { return JsonString(s); });
    JList(out, "notes", r.Notes, [](const std::string& s) { return JsonString(s); });

    std::vector<ForkGroup> choices, draws;
    for (ForkGroup& g : ForkGroups(r)) (g.Kind == StopKind::Choice ? choices : draws).push_back(std::move(g));
    auto leads = [](const ForkGroup& g) {
        std::string s = "[";
        for (size_t d = 0; d < g.Leads.size(); ++d) {
            s += d ? ", [" : "[";
            bool first = true;
            for (const Lead& l : g.Leads[d]) {
                s += (first ? "{" : ", {") + std::string("\"kind\": ") + JsonString(l.Kind) + ", " + JPlace(l.At) + "}";
                first = false;
            }
            s += "]";
        }
        return s + "]";
    };
    JList(out, "choices", choices, [&](const ForkGroup& g) {
        std::string answers = "[";
        for (size_t i = 0; i < g.Answers.size(); ++i) answers += (i ? ", " : "") + JsonString(g.Answers[i]);
        return "{" + JPlace(g.At) + ", \"routes\": " + RouteCount(g.Routes) + ", \"answers\": " + answers +
               "], \"leads\": " + leads(g) + "}";
    });
    JList(out, "draws", draws, [&](const ForkGroup& g) {
        std::string values = "[";
        for (size_t i = 0; i < g.Values.size(); ++i) values += (i ? ", " : "") + std::to_string(g.Values[i]);
        return "{" + JPlace(g.At) + ", \"routes\": " + RouteCount(g.Routes) + ", \"outcomes\": " + std::to_string(g.Span) +
               ", \"followed\": " + values + "], \"leads\": " + leads(g) + "}";
    });
    std::vector<std::string> endings;
    for (const auto& [key, nodes] : EndingGroups(r)) {
        const auto [routes, flags, text] = SumEnding(r, nodes);
        std::string f = "[";
        bool first = true;
        for (int32_t v : flags) {
            f += (first ? "" : ", ") + std::to_string(v);
            first = false;
        }
        endings.push_back("{" + JPlace(key.second) + ", \"kind\": " + JsonString(key.first) + ", \"routes\": " +
                          RouteCount(routes) + ", \"text\": " + JsonString(text) + ", \"flags\": " + f + "]}");
    }
    JList(out, "endings", endings, [](const std::string& s) { return s; });

    size_t reached = 0;
    for (const auto& [m, text] : r.AllMessages) reached += r.ReachedMessages.count(m);
    std::map<int32_t, std::pair<size_t, size_t>> perScript;  // script → reached, total
    for (const auto& [m, text] : r.AllMessages) {
        perScript[m.Script].first += r.ReachedMessages.count(m);
        ++perScript[m.Script].second;
    }
    out << "  \"messages\": {\"total\": " << r.AllMessages.size() << ", \"reached\": " << reached << ", \"scripts\": [";
    bool firstScript = true;
    for (const auto& [script, counts] : perScript) {
        out << (firstScript ? "" : ", ") << "{\"script\": " << script << ", \"total\": " << counts.second
            << ", \"reached\": " << counts.first << "}";
        firstScript = false;
    }
    out << "], \"unreached\": [";
    bool first = true;
    for (const auto& [m, text] : r.AllMessages) {
        if (r.ReachedMessages.count(m)) continue;
        out << (first ? "\n    " : ",\n    ") << "{\"script\": " << m.Script << ", \"msg\": " << m.Msg
            << ", \"text\": " << JsonString(Short(text, 20)) << "}";
        first = false;
    }
    out << (first ? "]},\n" : "\n  ]},\n");

    std::vector<std::pair<int32_t, std::string>> labels;
    for (const auto& l : r.AllLabels)
        if (!r.JumpedLabels.count(l)) labels.push_back(l);
    JList(out, "labels_unreached", labels, [](const auto& l) {
        return "{\"script\": " + std::to_string(l.first) + ", \"label\": " + JsonString(l.second) + "}";
    });
    std::vector<std::pair<ScriptPlace, bool>> oneWay;
    for (const auto& [at, taken] : r.Conditions)
        if (taken[0] != taken[1]) oneWay.push_back({at, taken[0]});
    JList(out, "conditions_one_way", oneWay, [](const auto& c) {
        return "{" + JPlace(c.first) + ", \"always\": " + (c.second ? "\"holds\"" : "\"fails\"") + "}";
    });
    std::vector<std::string> unused;
    for (const std::string& a : r.NamedAssets)
        if (!r.UsedAssets.count(a)) unused.push_back(a);
    JList(out, "assets_unused", unused, [](const std::string& a) { return JsonString(a); });
    JList(out, "assets_missing", r.MissingAssets, [](const std::string& a) { return JsonString(a); });
    JList(out, "album_locked", r.AlbumLocked, [](const RouteResult::AlbumEntry& e) {
        std::string s = "{\"kind\": " + JsonString(e.Kind) + ", \"page\": " + std::to_string(e.Page) +
                        ", \"item\": " + std::to_string(e.Item);
        if (e.Kind == "scene") s += ", \"scene\": " + std::to_string(e.Scene) + ", \"flag\": " + std::to_string(e.Flag);
        else s += ", \"picture\": " + JsonString(e.Picture);
        return s + "}";
    });
    JList(out, "overflow", r.Overflow, [](const auto& o) {
        return "{\"script\": " + std::to_string(o.first.Script) + ", \"msg\": " + std::to_string(o.first.Msg) +
               ", \"dropped\": " + std::to_string(o.second) + "}";
    }, r.Translation.empty());
    if (!r.Translation.empty()) {
        out << "  \"translation\": " << JsonString(r.Translation.string()) << ",\n";
        JList(out, "overflow_translation", r.TranslationOverflow, [](const auto& o) {
            return "{\"script\": " + std::to_string(o.first.Script) + ", \"msg\": " + std::to_string(o.first.Msg) +
                   ", \"dropped\": " + std::to_string(o.second) + "}";
        }, true);
    }
    out << "}\n";
}

// [SECTION] route map ------------------------------------------------------------------------

namespace {

// A DOT string: quotes and backslashes escaped, line breaks as \n.
std::string DotString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::string RouteMapDot(const RouteResult& r) {
    // One map node per place and kind, numbered in the order exploration met them.
    std::map<std::pair<int, ScriptPlace>, size_t> placeIds;
    std::vector<size_t> idOf(r.Nodes.size());
    std::vector<size_t> firstNode;
    for (size_t i = 0; i < r.Nodes.size(); ++i) {
        const auto key = std::make_pair(int(r.Nodes[i].Kind), r.Nodes[i].At);
        auto [it, fresh] = placeIds.emplace(key, firstNode.size());
        if (fresh) firstNode.push_back(i);
        idOf[i] = it->second;
    }
    std::vector<double> routes(firstNode.size(), 0.0);
    for (size_t i = 0; i < r.Nodes.size(); ++i) routes[idOf[i]] += r.PathsTo[i];

    std::ostringstream dot;
    dot << "digraph routes {\n"
        << "  graph [rankdir=TB, fontname=\"IPAGothic\", nodesep=0.9, ranksep=0.5];\n"
        << "  node [fontname=\"IPAGothic\", fontsize=11, shape=box, style=\"rounded,filled\", fillcolor=\"#eef3fb\"];\n"
        << "  edge [fontname=\"IPAGothic\", fontsize=10];\n"
        << "  start [label=\"new game\", shape=oval, fillcolor=\"#dddddd\"];\n";
    for (size_t id = 0; id < firstNode.size(); ++id) {
        const RouteNode& n = r.Nodes[firstNode[id]];
        std::string label, attrs;
        const std::string where = "script " + std::to_string(n.At.Script) + " line " + std::to_string(n.At.Line);
        switch (n.Kind) {
            case StopKind::Choice: {
                label = "choice, " + where;
                for (size_t a = 0; a < n.Answers.size() && a < 3; ++a) label += "\n" + Short(n.Answers[a], 12);
                if (n.Answers.size() > 3) label += "\n…";
                label += "\n" + RoutesText(routes[id]) + " through it";
                break;
            }
            case StopKind::Random:
                label = "draw of " + std::to_string(n.Span) + ", " + where;
                attrs = ", shape=diamond, fillcolor=\"#fbf3dd\"";
                break;
            case StopKind::Title:
            case StopKind::End:
                label = std::string(n.Kind == StopKind::Title ? "ending: title\nafter " : "ending: end of ") + where;
                if (!n.Text.empty()) label += "\n" + Short(n.Text, 12);
                label += "\n" + RoutesText(routes[id]);
                attrs = ", shape=doubleoctagon, fillcolor=\"#e3f5e1\"";
                break;
            case StopKind::Loop:
                label = "cut: loop at " + where;
                attrs = ", shape=octagon, fillcolor=\"#f8dede\"";
                break;
        }
        dot << "  n" << id << " [label=" << DotString(label) << attrs << "];\n";
    }
    if (!r.Nodes.empty()) dot << "  start -> n" << idOf[0] << ";\n";
    // One edge per place, decision and destination place: merged states show as joins.
    std::set<std::tuple<size_t, size_t, std::string>> edges;
    std::vector<std::tuple<size_t, size_t, std::string>> ordered;
    for (size_t i = 0; i < r.Nodes.size(); ++i) {
        const RouteNode& n = r.Nodes[i];
        for (size_t d = 0; d < n.Next.size(); ++d) {
            if (n.Next[d] < 0) continue;
            const std::string label = n.Kind == StopKind::Choice ? std::to_string(n.Values[d]) + ". " + Short(n.Answers[d], 10)
                                                                 : "= " + std::to_string(n.Values[d]);
            auto e = std::make_tuple(idOf[i], idOf[size_t(n.Next[d])], label);
            if (edges.insert(e).second) ordered.push_back(e);
        }
    }
    for (const auto& [from, to, label] : ordered)
        dot << "  n" << from << " -> n" << to << " [label=" << DotString(label) << "];\n";
    dot << "}\n";
    return dot.str();
}

bool RenderSvg(const std::string& dot, std::string& svg, std::string& error) {
    GVC_t* gvc = gvContext();
    if (!gvc) {
        error = "Graphviz could not start";
        return false;
    }
    Agraph_t* g = agmemread(dot.c_str());
    bool ok = false;
    if (!g) {
        error = "Graphviz could not read the map";
    } else if (gvLayout(gvc, g, "dot") != 0) {
        error = "Graphviz could not lay the map out";
    } else {
        char* data = nullptr;
        unsigned int length = 0;
        if (gvRenderData(gvc, g, "svg", &data, &length) == 0 && data) {
            svg.assign(data, length);
            ok = true;
        } else {
            error = "Graphviz could not render the map as SVG";
        }
        if (data) gvFreeRenderData(data);
        gvFreeLayout(gvc, g);
    }
    if (g) agclose(g);
    gvFreeContext(gvc);
    return ok;
}

}  // namespace orva

// The route explorer's reports: the readable summary, the JSON document and the route map
// (Graphviz DOT, and SVG laid out by Graphviz's library). The same result always gives the
// same bytes.
#pragma once

#include <ostream>
#include <string>

#include "explorer.h"

namespace orva {

void WriteRouteSummary(const RouteResult& result, std::ostream& out);
void WriteRouteJson(const RouteResult& result, std::ostream& out);
// The map of choice points, draws and endings as a DOT graph.
std::string RouteMapDot(const RouteResult& result);
// Lays the DOT graph out and renders it as SVG. False with `error` when Graphviz refuses it.
bool RenderSvg(const std::string& dot, std::string& svg, std::string& error);

}  // namespace orva

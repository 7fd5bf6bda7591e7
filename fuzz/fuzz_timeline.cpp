// Fuzz target: the headless input timeline parser.
#include <string_view>

#include "platform/headless/input_timeline.h"

using namespace orva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<TimelineEvent> events;
    std::string error;
    ParseInputTimeline(std::string_view(reinterpret_cast<const char*>(data), size), events, error);
    return 0;
}

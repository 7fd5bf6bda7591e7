// Fuzz target: the loop comment of a sound file. The input becomes the comments of a short
// encoded tone (one comment a line), which is then loaded and rendered looping, so that loop
// points before their start, past the end or at odd sample numbers all meet the renderer, at the
// mixer's own rates and at rates and channel counts that are resampled and down-mixed.
#include <sstream>

#include "sound/ogg_data.h"
#include "sound/ogg_writer.h"

using namespace orva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 512) return 0;
    // The first byte picks the stream's form and the render size; the rest are comment lines.
    const int form = data[0] % 5;
    OggWriteOptions options;
    const int rates[] = {44100, 44100, 22050, 48000, 32000}, channels[] = {1, 2, 1, 2, 6};
    options.Rate = rates[form];
    options.Channels = channels[form];
    const uint32_t renderBytes = (data[0] / 5) % 2 ? 256 * 8 : 0x28000;
    std::istringstream lines(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    for (std::string line; std::getline(lines, line);) options.Comments.push_back(line);
    std::vector<int16_t> samples(size_t(options.Rate / 10) * size_t(options.Channels));
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = int16_t((i * 97) % 2000 - 1000);
    std::vector<uint8_t> ogg;
    std::string error;
    if (!EncodeOggVorbis(samples, options, ogg, error)) return 0;

    TOggData source(0x28000);
    if (!source.LoadFromStream(TMemoryStream(std::move(ogg)))) return 0;
    source.Play(true);
    for (int i = 0; i < 8 && source.GetStatus() >= 2; ++i) source.Render(renderBytes);
    return 0;
}

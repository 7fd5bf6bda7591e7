// Encodes 16-bit PCM as an Ogg Vorbis file in memory, with comments: the writer behind the demo
// game's sounds and the sound tests' fixtures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orva {

struct OggWriteOptions {
    int Rate = 44100;
    int Channels = 2;                   // 1 .. 8, in Vorbis channel order
    float Quality = 0.6f;               // Vorbis VBR quality, -0.1 .. 1.0
    std::vector<std::string> Comments;  // "NAME=value", UTF-8
};

// `samples` are interleaved. False with `error` when the encoder refuses the format.
bool EncodeOggVorbis(const std::vector<int16_t>& samples, const OggWriteOptions& options,
                     std::vector<uint8_t>& out, std::string& error);

}  // namespace orva

// 16-bit stereo PCM WAV files: a streaming writer for the headless audio capture and a reader
// for checking what was captured.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace orva {

// Writes frames as they come; the header's sizes are filled in by Close.
class TWavWriter {
public:
    ~TWavWriter();
    bool Open(const std::filesystem::path& path, uint32_t rate, std::string& error);
    // Appends interleaved stereo frames. False once a write has failed.
    bool Write(const int16_t* frames, uint32_t count);
    // Completes the header and closes the file. False with `error` when anything failed.
    bool Close(std::string& error);
    bool IsOpen() const { return File != nullptr; }

private:
    std::FILE* File = nullptr;
    std::filesystem::path Path;
    uint64_t DataBytes = 0;     // PCM bytes written so far
    bool Failed = false;        // a write failed; reported by Close
};

struct WavData {
    uint32_t Rate = 0;
    uint16_t Channels = 0;
    std::vector<int16_t> Samples;  // interleaved
};

// Reads a 16-bit PCM WAV file. False with `error` for anything else.
bool ReadWav16(const std::filesystem::path& path, WavData& out, std::string& error);

}  // namespace orva

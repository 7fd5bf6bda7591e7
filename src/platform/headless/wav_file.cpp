// WAV writing and reading.
#include "platform/headless/wav_file.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace orva {
namespace {

constexpr uint32_t kHeaderBytes = 44;

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// The canonical 44-byte header of 16-bit stereo PCM with `dataBytes` of samples.
void MakeHeader(uint8_t* h, uint32_t rate, uint32_t dataBytes) {
    std::memcpy(h, "RIFF", 4);
    Put32(h + 4, 36 + dataBytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    Put16(h + 20, 1);
    Put16(h + 22, 2);
    Put32(h + 24, rate);
    Put32(h + 28, rate * 4);
    Put16(h + 32, 4);
    Put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    Put32(h + 40, dataBytes);
}

}  // namespace

TWavWriter::~TWavWriter() {
    std::string ignored;
    Close(ignored);
}

bool TWavWriter::Open(const std::filesystem::path& path, uint32_t rate, std::string& error) {
    Close(error);
    error.clear();
    Path = path;
    DataBytes = 0;
    Failed = false;
    File = std::fopen(path.c_str(), "wb");
    if (!File) {
        error = "cannot write the audio file " + path.string();
        return false;
    }
    uint8_t h[kHeaderBytes];
    MakeHeader(h, rate, 0);
    if (std::fwrite(h, 1, kHeaderBytes, File) != kHeaderBytes) Failed = true;
    // The rate is kept in the header already written; Close rewrites only the sizes.
    return !Failed;
}

bool TWavWriter::Write(const int16_t* frames, uint32_t count) {
    if (!File || Failed) return false;
    uint8_t buf[4096];
    uint32_t done = 0;
    while (done < count) {
        const uint32_t n = std::min<uint32_t>(count - done, sizeof buf / 4);
        for (uint32_t i = 0; i < n * 2; ++i) Put16(buf + 2 * i, static_cast<uint16_t>(frames[2 * done + i]));
        if (std::fwrite(buf, 1, n * 4, File) != n * 4) {
            Failed = true;
            return false;
        }
        done += n;
    }
    DataBytes += static_cast<uint64_t>(count) * 4;
    return true;
}

bool TWavWriter::Close(std::string& error) {
    if (!File) return true;
    // A WAV's sizes are 32-bit: a capture beyond 4 GiB keeps its first 4 GiB readable.
    const uint32_t data = DataBytes > 0xFFFFFFD0u ? 0xFFFFFFD0u : static_cast<uint32_t>(DataBytes);
    uint8_t sizes[4];
    bool ok = !Failed;
    Put32(sizes, 36 + data);
    ok = ok && std::fseek(File, 4, SEEK_SET) == 0 && std::fwrite(sizes, 1, 4, File) == 4;
    Put32(sizes, data);
    ok = ok && std::fseek(File, 40, SEEK_SET) == 0 && std::fwrite(sizes, 1, 4, File) == 4;
    ok = std::fclose(File) == 0 && ok;
    File = nullptr;
    if (!ok) error = "cannot write the audio file " + Path.string();
    return ok;
}

bool ReadWav16(const std::filesystem::path& path, WavData& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path.string();
        return false;
    }
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
        error = path.string() + " is not a WAV file";
        return false;
    }
    bool haveFormat = false;
    for (size_t pos = 12; pos + 8 <= b.size();) {
        const uint32_t size = Get32(b.data() + pos + 4);
        const size_t body = pos + 8;
        const size_t avail = std::min<size_t>(size, b.size() - body);
        if (std::memcmp(b.data() + pos, "fmt ", 4) == 0 && avail >= 16) {
            if (Get16(b.data() + body) != 1 || Get16(b.data() + body + 14) != 16) {
                error = path.string() + " is not 16-bit PCM";
                return false;
            }
            out.Channels = Get16(b.data() + body + 2);
            out.Rate = Get32(b.data() + body + 4);
            haveFormat = true;
        } else if (std::memcmp(b.data() + pos, "data", 4) == 0 && haveFormat) {
            out.Samples.resize(avail / 2);
            for (size_t i = 0; i < out.Samples.size(); ++i)
                out.Samples[i] = static_cast<int16_t>(Get16(b.data() + body + 2 * i));
            return true;
        }
        pos = body + size + (size & 1);
    }
    error = path.string() + " has no PCM data";
    return false;
}

}  // namespace orva

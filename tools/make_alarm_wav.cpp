// Writes Tessaro's alarm sound: half a second of a two-tone beep (880 Hz, then 660 Hz) as 16-bit mono PCM
// at 22,050 samples per second. Built and run at build time, so the sound is ours and needs no asset.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr std::uint32_t kRate = 22050;
constexpr std::uint32_t kSamples = kRate / 2;
constexpr std::uint32_t kFadeSamples = 220; // 10 ms: no click at the edges of a tone

void put16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

void putTag(std::vector<unsigned char>& out, const char* tag) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(tag[i]));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_alarm_wav OUTPUT.wav\n");
        return 2;
    }
    const std::uint32_t dataBytes = kSamples * 2;
    std::vector<unsigned char> wav;
    wav.reserve(44 + dataBytes);
    putTag(wav, "RIFF");
    put32(wav, 36 + dataBytes);
    putTag(wav, "WAVE");
    putTag(wav, "fmt ");
    put32(wav, 16);        // size of the PCM format block
    put16(wav, 1);         // PCM
    put16(wav, 1);         // mono
    put32(wav, kRate);     // samples per second
    put32(wav, kRate * 2); // bytes per second
    put16(wav, 2);         // bytes per sample frame
    put16(wav, 16);        // bits per sample
    putTag(wav, "data");
    put32(wav, dataBytes);

    const std::uint32_t half = kSamples / 2;
    for (std::uint32_t i = 0; i < kSamples; ++i) {
        const std::uint32_t inTone = i % half;
        const double frequency = i < half ? 880.0 : 660.0;
        double envelope = 1.0;
        if (inTone < kFadeSamples)
            envelope = double(inTone) / kFadeSamples;
        else if (half - inTone < kFadeSamples)
            envelope = double(half - inTone) / kFadeSamples;
        const double t = double(i) / kRate;
        const double sample = 0.6 * envelope * std::sin(2.0 * std::numbers::pi * frequency * t);
        put16(wav, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(sample * 32767.0))));
    }

    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(wav.data(), 1, wav.size(), f) == wav.size();
    if (std::fclose(f) != 0 || !written) {
        std::perror(argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}

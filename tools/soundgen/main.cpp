// soundgen: synthesises the four delivered notification sounds (16-bit mono PCM WAV) into
// <program folder>/resource/sound/wav/. Each is a short sequence of soft bell-like tones, so
// the events are told apart by ear: a rising chime for "connected", a falling one for
// "disconnected", a quick twitter for a new message and a repeating two-tone ring.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kSampleRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Note {
    double frequency;  // Hz; 0 is a rest
    double seconds;
    double volume;  // 0..1
};

// A tone with a quick attack and an exponential fade, with a quieter octave partial for a bell-like
// colour.
void appendNote(std::vector<int16_t> &samples, const Note &note)
{
    const int count = static_cast<int>(note.seconds * kSampleRate);
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double attack = std::min(1.0, t / 0.008);
        const double decay = std::exp(-4.0 * t / note.seconds);
        double value = 0.0;
        if (note.frequency > 0.0) {
            value = std::sin(2.0 * kPi * note.frequency * t) +
                    0.3 * std::sin(4.0 * kPi * note.frequency * t);
            value *= note.volume * attack * decay / 1.3;
        }
        samples.push_back(static_cast<int16_t>(value * 32767.0 * 0.8));
    }
}

void putLe(std::ofstream &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

bool writeWave(const std::string &path, const std::vector<Note> &notes)
{
    std::vector<int16_t> samples;
    for (const Note &note : notes) {
        appendNote(samples, note);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * sizeof(int16_t));
    out.write("RIFF", 4);
    putLe(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    putLe(out, 16, 4);  // fmt chunk size
    putLe(out, 1, 2);   // PCM
    putLe(out, 1, 2);   // mono
    putLe(out, kSampleRate, 4);
    putLe(out, kSampleRate * 2, 4);  // bytes per second
    putLe(out, 2, 2);                // block align
    putLe(out, 16, 2);               // bits per sample
    out.write("data", 4);
    putLe(out, dataBytes, 4);
    for (const int16_t sample : samples) {
        putLe(out, static_cast<uint16_t>(sample), 2);
    }
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: soundgen OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    struct Sound {
        const char *file;
        std::vector<Note> notes;
    };
    const std::vector<Sound> sounds = {
        {"chimes.wav", {{523.25, 0.18, 0.7}, {659.25, 0.18, 0.7}, {783.99, 0.45, 0.7}}},
        {"tada.wav", {{783.99, 0.18, 0.6}, {659.25, 0.18, 0.6}, {523.25, 0.45, 0.6}}},
        {"bird.wav",
         {{1760.0, 0.07, 0.5},
          {2093.0, 0.07, 0.5},
          {0, 0.04, 0},
          {1760.0, 0.07, 0.5},
          {2349.3, 0.16, 0.5}}},
        {"stelephone.wav",
         {{880.0, 0.12, 0.6},
          {1108.7, 0.12, 0.6},
          {880.0, 0.12, 0.6},
          {1108.7, 0.12, 0.6},
          {0, 0.5, 0},
          {880.0, 0.12, 0.6},
          {1108.7, 0.12, 0.6},
          {880.0, 0.12, 0.6},
          {1108.7, 0.12, 0.6},
          {0, 0.5, 0}}},
    };
    for (const Sound &sound : sounds) {
        const std::string path = folder + "/" + sound.file;
        if (!writeWave(path, sound.notes)) {
            std::fprintf(stderr, "soundgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

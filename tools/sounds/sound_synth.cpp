#include "tools/sounds/sound_synth.h"

#include <algorithm>
#include <cmath>

namespace {

// Equal-tempered pitches (A4 = 440 Hz), written out so no pow() is involved.
constexpr double kE4 = 329.63;
constexpr double kA4 = 440.00;
constexpr double kC5 = 523.25;
constexpr double kD5 = 587.33;
constexpr double kE5 = 659.26;
constexpr double kF5 = 698.46;
constexpr double kG5 = 783.99;
constexpr double kA5 = 880.00;
constexpr double kC6 = 1046.50;
constexpr double kE6 = 1318.51;
constexpr double kG6 = 1567.98;

// -3 dBFS of a 16-bit full scale: 32767 * 10^(-3/20).
constexpr double kPeakSample = 23197.0;

constexpr double kTwoPi = 6.283185307179586;

// sin and exp of the C library may differ in the last bit from one library version to the next,
// which would change a rounded sample now and then and make the committed files irreproducible.
// These two use only IEEE-754 + - * / and floor, which give the same bits everywhere.

// sin(2*pi*turns): reduced to a quarter turn, then a Taylor series (error below 1e-11).
double SineOfTurns(double turns) {
    double y = turns - std::floor(turns + 0.5);  // [-0.5, 0.5)
    if (y > 0.25) y = 0.5 - y;
    if (y < -0.25) y = -0.5 - y;
    const double x = kTwoPi * y;  // [-pi/2, pi/2]
    const double x2 = x * x;
    double sum = 1.0;
    for (int k = 15; k >= 3; k -= 2)
        sum = 1.0 - sum * x2 / (k * (k - 1));
    return x * sum;
}

// exp(x) for x <= 0: halved until small, a Taylor series there, then squared back up.
double ExpOfNegative(double x) {
    if (x < -700.0) return 0.0;
    int halvings = 0;
    while (x < -1.0 / 32) {
        x /= 2;
        ++halvings;
    }
    double sum = 1.0;
    for (int k = 9; k >= 1; --k)
        sum = 1.0 + sum * x / k;
    for (int i = 0; i < halvings; ++i)
        sum *= sum;
    return sum;
}

// 0 at 0, 1 at 1, flat at both ends, so neither the onset nor the cut-off has a corner.
double SmoothStep(double u) {
    return u * u * (3.0 - 2.0 * u);
}

// The amplitude shape every partial of a note shares, t seconds after the strike.
double Gate(const Voice& voice, const Note& note, double t) {
    if (t <= 0.0 || t >= note.length) return 0.0;
    double gate = 1.0;
    if (t < voice.attackSeconds) gate *= SmoothStep(t / voice.attackSeconds);
    const double left = note.length - t;
    if (left < voice.releaseSeconds) gate *= SmoothStep(left / voice.releaseSeconds);
    return gate;
}

double NoteSample(const Voice& voice, const Note& note, double t) {
    const double gate = Gate(voice, note, t);
    if (gate == 0.0) return 0.0;
    double sum = 0.0;
    for (const Partial& partial : voice.partials) {
        const double frequency = note.frequency * partial.ratio;
        if (frequency >= kSampleRate / 2.0) continue;  // it would fold back as an off-key tone
        sum += partial.level * ExpOfNegative(-t / partial.decaySeconds) * SineOfTurns(frequency * t);
    }
    return note.volume * gate * sum;
}

void AddNote(const Voice& voice, const Note& note, std::vector<double>& mix) {
    const long first = std::max(0L, static_cast<long>(std::ceil(note.start * kSampleRate)));
    const long end = std::min(static_cast<long>(mix.size()),
                              static_cast<long>(std::ceil((note.start + note.length) * kSampleRate)));
    for (long i = first; i < end; ++i)
        mix[i] += NoteSample(voice, note, static_cast<double>(i) / kSampleRate - note.start);
}

std::vector<int16_t> Normalise(const std::vector<double>& mix) {
    double peak = 0.0;
    for (double value : mix)
        peak = std::max(peak, std::fabs(value));
    std::vector<int16_t> samples(mix.size(), 0);
    if (peak == 0.0) return samples;
    const double scale = kPeakSample / peak;
    for (size_t i = 0; i < mix.size(); ++i)
        samples[i] = static_cast<int16_t>(std::lround(mix[i] * scale));
    return samples;
}

// Glockenspiel-like: strong inharmonic upper partials make it bright and cut through a room.
Voice BrightChime() {
    Voice voice;
    voice.partials = {{1.0, 1.0, 0.6}, {2.0, 0.25, 0.35}, {2.76, 0.3, 0.2}, {5.4, 0.12, 0.08}};
    return voice;
}

// Nearly a pure tone with a short ring: a ding, not a beep.
Voice SoftDing() {
    Voice voice;
    voice.partials = {{1.0, 1.0, 0.3}, {2.0, 0.12, 0.15}, {3.0, 0.04, 0.08}};
    voice.attackSeconds = 0.005;
    return voice;
}

// Marimba-like: the tuned fourfold overtone dies within a few tens of milliseconds.
Voice Marimba() {
    Voice voice;
    voice.partials = {{1.0, 1.0, 0.35}, {4.0, 0.3, 0.06}, {9.8, 0.06, 0.03}};
    return voice;
}

// A small hand bell: harmonic partials, long ring, a gentler onset.
Voice SoftBell() {
    Voice voice;
    voice.partials = {{1.0, 1.0, 0.9}, {2.0, 0.35, 0.6}, {3.0, 0.15, 0.35}, {4.2, 0.06, 0.2}};
    voice.attackSeconds = 0.008;
    voice.releaseSeconds = 0.08;
    return voice;
}

// A rising three-note chime struck twice, the shortest pause of the four: it should wake. The first
// round is damped before the second strikes the same pitches, so no ring, out of phase with the new
// strike, can cancel part of it.
ReminderSound AlarmSound() {
    ReminderSound sound{"闹钟声.wav", BrightChime(), {}, 2.2};
    sound.notes = {{kC6, 0.00, 0.65, 0.9}, {kE6, 0.14, 0.65, 0.9}, {kG6, 0.28, 0.65, 1.0},
                   {kC6, 0.70, 0.65, 0.9}, {kE6, 0.84, 0.65, 0.9}, {kG6, 0.98, 0.8, 1.0}};
    return sound;
}

// Three quick dings of one pitch. Each is struck a whole number of cycles (176) after the one before,
// so it adds to the ring still sounding; a strike half a cycle off would nearly cancel it.
ReminderSound TimerSound() {
    ReminderSound sound{"计时声.wav", SoftDing(), {}, 1.6};
    sound.notes = {{kA5, 0.00, 0.45, 1.0}, {kA5, 0.20, 0.45, 1.0}, {kA5, 0.40, 0.45, 1.0}};
    return sound;
}

// Up a third, down a step, climbing to the octave, the last note held.
ReminderSound BirthdaySound() {
    ReminderSound sound{"生日声.wav", Marimba(), {}, 2.8};
    sound.notes = {{kC5, 0.00, 0.28, 0.9}, {kE5, 0.15, 0.28, 0.9},  {kD5, 0.30, 0.28, 0.85},
                   {kG5, 0.45, 0.28, 0.9}, {kF5, 0.60, 0.28, 0.85}, {kA5, 0.80, 0.28, 0.9},
                   {kC6, 1.05, 1.0, 1.0}};
    return sound;
}

// A low falling fourth, left to ring out.
ReminderSound ScheduleSound() {
    ReminderSound sound{"日程声.wav", SoftBell(), {}, 3.0};
    sound.notes = {{kA4, 0.00, 1.2, 1.0}, {kE4, 0.55, 1.5, 0.9}};
    return sound;
}

void PutLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutTag(std::vector<uint8_t>& bytes, const char* tag) {
    bytes.insert(bytes.end(), tag, tag + 4);
}

}  // namespace

std::vector<ReminderSound> ReminderSounds() {
    return {AlarmSound(), TimerSound(), BirthdaySound(), ScheduleSound()};
}

std::vector<int16_t> Synthesize(const Voice& voice, const std::vector<Note>& notes, double seconds) {
    std::vector<double> mix(static_cast<size_t>(std::max(0L, std::lround(seconds * kSampleRate))), 0.0);
    for (const Note& note : notes)
        AddNote(voice, note, mix);
    return Normalise(mix);
}

std::vector<int16_t> Synthesize(const ReminderSound& sound) {
    return Synthesize(sound.voice, sound.notes, sound.seconds);
}

std::vector<uint8_t> WaveFileBytes(const std::vector<int16_t>& samples) {
    constexpr uint32_t kChannels = 1;
    constexpr uint32_t kBytesPerSample = 2;
    const uint32_t dataSize = static_cast<uint32_t>(samples.size() * kBytesPerSample);
    std::vector<uint8_t> bytes;
    bytes.reserve(kWaveHeaderSize + dataSize);
    PutTag(bytes, "RIFF");
    PutLittleEndian(bytes, kWaveHeaderSize - 8 + dataSize, 4);
    PutTag(bytes, "WAVE");
    PutTag(bytes, "fmt ");
    PutLittleEndian(bytes, 16, 4);  // size of the PCM format record
    PutLittleEndian(bytes, 1, 2);   // PCM
    PutLittleEndian(bytes, kChannels, 2);
    PutLittleEndian(bytes, kSampleRate, 4);
    PutLittleEndian(bytes, kSampleRate * kChannels * kBytesPerSample, 4);  // bytes per second
    PutLittleEndian(bytes, kChannels * kBytesPerSample, 2);                // block align
    PutLittleEndian(bytes, 8 * kBytesPerSample, 2);                        // bits per sample
    PutTag(bytes, "data");
    PutLittleEndian(bytes, dataSize, 4);
    for (int16_t sample : samples)
        PutLittleEndian(bytes, static_cast<uint16_t>(sample), 2);
    return bytes;
}

double PeakDbfs(const std::vector<int16_t>& samples) {
    int peak = 0;
    for (int16_t sample : samples)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    if (peak == 0) return -1000.0;
    return 20.0 * std::log10(peak / 32767.0);
}

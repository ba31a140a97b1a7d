#include "tools/sounds/sound_synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

#include "tests/unit/test_support.h"

namespace {

uint32_t ReadLittleEndian(const std::vector<uint8_t>& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | bytes.at(at + i);
    return value;
}

std::string Tag(const std::vector<uint8_t>& bytes, size_t at) {
    return std::string(bytes.begin() + at, bytes.begin() + at + 4);
}

int PeakOf(const std::vector<int16_t>& samples, size_t from = 0, size_t to = SIZE_MAX) {
    int peak = 0;
    for (size_t i = from; i < std::min(to, samples.size()); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    return peak;
}

// Strength of one frequency in a Hann-windowed stretch (Goertzel).
double PowerAt(const std::vector<int16_t>& samples, size_t from, size_t count, double frequency) {
    const double pi = std::acos(-1.0);
    const double coefficient = 2.0 * std::cos(2.0 * pi * frequency / kSampleRate);
    double previous = 0.0, beforePrevious = 0.0;
    for (size_t i = 0; i < count && from + i < samples.size(); ++i) {
        const double window = 0.5 - 0.5 * std::cos(2.0 * pi * i / (count - 1));
        const double current = window * samples[from + i] + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
}

// The semitone (MIDI number, A4 = 69) sounding loudest in a stretch, searched from C3 to C7.
int LoudestSemitone(const std::vector<int16_t>& samples, size_t from, size_t count) {
    int best = 0;
    double bestPower = -1.0;
    for (int midi = 48; midi <= 96; ++midi) {
        const double power = PowerAt(samples, from, count, 440.0 * std::pow(2.0, (midi - 69) / 12.0));
        if (power > bestPower) bestPower = power, best = midi;
    }
    return best;
}

// Where new notes are struck: 5 ms frames whose energy jumps well above that of the frames 10 to 20 ms
// before (an attack may straddle two frames), at least 50 ms apart.
std::vector<size_t> Onsets(const std::vector<int16_t>& samples) {
    constexpr size_t kFrame = kSampleRate / 200;
    std::vector<double> energy;
    for (size_t at = 0; at + kFrame <= samples.size(); at += kFrame) {
        double sum = 0.0;
        for (size_t i = at; i < at + kFrame; ++i)
            sum += static_cast<double>(samples[i]) * samples[i];
        energy.push_back(sum / kFrame);
    }
    const double floor = 1e-4 * *std::max_element(energy.begin(), energy.end());
    std::vector<size_t> onsets;
    for (size_t i = 0; i < energy.size(); ++i) {
        const double before = i < 4 ? 0.0 : std::max({energy[i - 2], energy[i - 3], energy[i - 4]});
        const size_t at = i * kFrame;
        if (energy[i] > floor && energy[i] > 1.6 * before &&
            (onsets.empty() || at - onsets.back() >= kSampleRate / 20))
            onsets.push_back(at);
    }
    return onsets;
}

// The pitch of each struck note, read 15 ms to 75 ms after its onset.
std::vector<int> NotePitches(const std::vector<int16_t>& samples) {
    std::vector<int> pitches;
    for (size_t onset : Onsets(samples))
        pitches.push_back(LoudestSemitone(samples, onset + kSampleRate * 15 / 1000, kSampleRate * 60 / 1000));
    return pitches;
}

size_t Samples(double seconds) {
    return static_cast<size_t>(std::lround(seconds * kSampleRate));
}

TEST(WaveFile, HeaderDescribesMonoSixteenBitPcmAndTheDataSize) {
    const std::vector<int16_t> samples = Synthesize(ReminderSounds().at(1));
    const std::vector<uint8_t> bytes = WaveFileBytes(samples);
    const uint32_t dataSize = static_cast<uint32_t>(2 * samples.size());
    ASSERT_EQ(kWaveHeaderSize + dataSize, bytes.size());
    EXPECT_EQ("RIFF", Tag(bytes, 0));
    EXPECT_EQ(bytes.size() - 8, ReadLittleEndian(bytes, 4, 4));
    EXPECT_EQ("WAVE", Tag(bytes, 8));
    EXPECT_EQ("fmt ", Tag(bytes, 12));
    EXPECT_EQ(16u, ReadLittleEndian(bytes, 16, 4));
    EXPECT_EQ(1u, ReadLittleEndian(bytes, 20, 2));  // PCM
    EXPECT_EQ(1u, ReadLittleEndian(bytes, 22, 2));  // mono
    EXPECT_EQ(22050u, ReadLittleEndian(bytes, 24, 4));
    EXPECT_EQ(44100u, ReadLittleEndian(bytes, 28, 4));
    EXPECT_EQ(2u, ReadLittleEndian(bytes, 32, 2));
    EXPECT_EQ(16u, ReadLittleEndian(bytes, 34, 2));
    EXPECT_EQ("data", Tag(bytes, 36));
    EXPECT_EQ(dataSize, ReadLittleEndian(bytes, 40, 4));
}

TEST(WaveFile, SamplesFollowTheHeaderLittleEndianWithTheirSign) {
    const std::vector<uint8_t> bytes = WaveFileBytes({0, 1, -1, 32767, -32768, 0x1234});
    const std::vector<uint8_t> data(bytes.begin() + kWaveHeaderSize, bytes.end());
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x80, 0x34, 0x12}), data);
    EXPECT_EQ(kWaveHeaderSize, static_cast<int>(WaveFileBytes({}).size()));
}

TEST(Synthesis, ASinglePartialRingsAtItsPitchDecaysAtItsRateAndStopsAtTheNoteEnd) {
    Voice voice;
    voice.partials = {{1.0, 1.0, 0.25}};
    const std::vector<int16_t> samples = Synthesize(voice, {{500.0, 0.0, 1.0, 1.0}}, 1.2);
    ASSERT_EQ(Samples(1.2), samples.size());
    EXPECT_EQ(23197, PeakOf(samples));  // normalised to -3 dBFS

    int crossings = 0;
    for (size_t i = Samples(0.1); i < Samples(0.9); ++i)
        crossings += (samples[i - 1] < 0) != (samples[i] < 0);
    EXPECT_NEAR(2 * 500 * 0.8, crossings, 2);

    const double early = PeakOf(samples, Samples(0.1), Samples(0.12));
    const double late = PeakOf(samples, Samples(0.6), Samples(0.62));
    EXPECT_NEAR(std::exp(-0.5 / 0.25), late / early, 0.01);
    EXPECT_EQ(0, PeakOf(samples, Samples(1.0)));
}

TEST(Synthesis, PartialsAboveHalfTheSampleRateAreLeftOutAndSilenceStaysSilent) {
    Voice plain;
    plain.partials = {{1.0, 1.0, 0.3}};
    Voice withUnplayable = plain;
    withUnplayable.partials.push_back({30.0, 0.8, 0.3});  // 15 kHz: would alias to an off-key tone
    const std::vector<Note> notes = {{500.0, 0.05, 0.5, 1.0}};
    EXPECT_EQ(Synthesize(plain, notes, 0.7), Synthesize(withUnplayable, notes, 0.7));

    EXPECT_EQ(std::vector<int16_t>(Samples(0.5), 0), Synthesize(plain, {}, 0.5));
    EXPECT_EQ(std::vector<int16_t>(Samples(0.5), 0), Synthesize(plain, {{500.0, 0.6, 0.2, 1.0}}, 0.5));
}

TEST(ReminderSounds, AreTheFourFilesTheClockPlaysInKindOrder) {
    std::vector<std::string> names;
    for (const ReminderSound& sound : ReminderSounds())
        names.push_back(sound.fileName);
    EXPECT_EQ((std::vector<std::string>{"闹钟声.wav", "计时声.wav", "生日声.wav", "日程声.wav"}), names);
}

TEST(ReminderSounds, LoopWithoutAClickAfterAPauseAndPeakNearMinusThreeDecibels) {
    for (const ReminderSound& sound : ReminderSounds()) {
        const std::vector<int16_t> samples = Synthesize(sound);
        const double seconds = static_cast<double>(samples.size()) / kSampleRate;
        EXPECT_GE(seconds, 1.5) << sound.fileName;
        EXPECT_LE(seconds, 3.0) << sound.fileName;
        EXPECT_EQ(0, samples.front()) << sound.fileName;
        EXPECT_LE(PeakOf(samples, 0, 4), 200) << sound.fileName;  // the attack starts from silence
        // The last 0.3 s are the pause before the next cycle.
        EXPECT_EQ(0, PeakOf(samples, samples.size() - Samples(0.3))) << sound.fileName;
        const int peak = PeakOf(samples);
        EXPECT_GE(peak, 16423) << sound.fileName;  // -6 dBFS
        EXPECT_LE(peak, 29204) << sound.fileName;  // -1 dBFS
    }
}

TEST(ReminderSounds, CanBeToldApartByTheirNotes) {
    const std::vector<ReminderSound> sounds = ReminderSounds();
    std::vector<std::vector<int>> pitches;
    for (const ReminderSound& sound : sounds)
        pitches.push_back(NotePitches(Synthesize(sound)));
    const std::vector<int>& alarm = pitches[0];
    const std::vector<int>& timer = pitches[1];
    const std::vector<int>& birthday = pitches[2];
    const std::vector<int>& schedule = pitches[3];

    for (size_t a = 0; a < pitches.size(); ++a)
        for (size_t b = a + 1; b < pitches.size(); ++b)
            EXPECT_NE(pitches[a], pitches[b]) << sounds[a].fileName << " / " << sounds[b].fileName;

    // A chime pattern of two or three pitches, struck more than once.
    EXPECT_GE(alarm.size(), 4u);
    EXPECT_GE(std::set<int>(alarm.begin(), alarm.end()).size(), 2u);
    EXPECT_LE(std::set<int>(alarm.begin(), alarm.end()).size(), 3u);
    // Three dings of one pitch.
    EXPECT_EQ(std::vector<int>(3, timer.at(0)), timer);
    // A melody of five to eight notes ending higher than it began.
    EXPECT_GE(birthday.size(), 5u);
    EXPECT_LE(birthday.size(), 8u);
    EXPECT_GT(birthday.back(), birthday.front());
    // Two notes, below every note of the others.
    ASSERT_EQ(2u, schedule.size());
    const int scheduleTop = std::max(schedule[0], schedule[1]);
    for (const auto& other : {alarm, timer, birthday})
        EXPECT_LT(scheduleTop, *std::min_element(other.begin(), other.end()));
}

TEST(ReminderSounds, CommittedFilesAreExactlyWhatTheGeneratorMakes) {
    for (const ReminderSound& sound : ReminderSounds()) {
        const std::vector<uint8_t> made = WaveFileBytes(Synthesize(sound));
        const std::string committed =
            ReadBytes(std::string(CHIME_SOURCE_DIR) + "/resources/sounds/" + sound.fileName);
        EXPECT_TRUE(committed == std::string(made.begin(), made.end()))
            << sound.fileName << " differs from the generator's output: run make_sounds resources/sounds";
    }
}

}  // namespace

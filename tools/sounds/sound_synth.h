// The reminder sounds of the alarm clock, synthesised: a few decaying partials per note (bell and
// marimba timbres), mixed into 16-bit mono PCM and wrapped in a canonical 44-byte RIFF/WAVE header.
// Everything here is pure and bit-for-bit reproducible, so the committed WAV files can be checked
// against a fresh synthesis.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kSampleRate = 22050;
constexpr int kWaveHeaderSize = 44;

// One component of a voice's timbre: frequency as a multiple of the note's, its level, and the time
// in which it decays to 1/e. Upper partials decaying faster is what makes a strike sound struck.
struct Partial {
    double ratio = 1.0;
    double level = 1.0;
    double decaySeconds = 0.5;
};

// How every note of one sound is played.
struct Voice {
    std::vector<Partial> partials;
    double attackSeconds = 0.004;  // ramp from silence: an instant onset clicks
    double releaseSeconds = 0.03;  // fade to exact silence at the note's end
};

// One struck note. start and length in seconds; volume is relative to the sound's other notes.
struct Note {
    double frequency = 440.0;
    double start = 0.0;
    double length = 0.5;
    double volume = 1.0;
};

// One reminder sound: the file the clock plays, and how to make it. seconds is one loop cycle,
// the silent pause after the last note included.
struct ReminderSound {
    std::string fileName;  // UTF-8
    Voice voice;
    std::vector<Note> notes;
    double seconds = 2.0;
};

// The four sounds, in the order alarm, count-down timer, birthday, schedule.
std::vector<ReminderSound> ReminderSounds();

// Mixes the notes into round(seconds * kSampleRate) samples, normalised so the loudest sample is
// -3 dBFS. Notes, or parts of notes, beyond the end are cut; partials at or above the Nyquist
// frequency are left out. An empty or silent mix gives all zeros.
std::vector<int16_t> Synthesize(const Voice& voice, const std::vector<Note>& notes, double seconds);
std::vector<int16_t> Synthesize(const ReminderSound& sound);

// The complete file: 44-byte header (PCM, mono, 16-bit, kSampleRate) and the samples little-endian.
std::vector<uint8_t> WaveFileBytes(const std::vector<int16_t>& samples);

// Loudest sample relative to full scale (32767), in dB; a very large negative number for silence.
double PeakDbfs(const std::vector<int16_t>& samples);

// Prints what the sound path costs: soundfont load time and memory, the delay from a play
// command to the first rendered sound, the CPU taken while idle and while music plays, and the
// price of the open that the loop check repeats every 500 ms.
// Usage: velmora_sound_bench [soundfont.sf2]

#include "sound/AudioOutput.h"
#include "sound/FluidSynthMidiDevice.h"
#include "tests/sound/SmfBuilder.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <SDL.h>
#include <fluidsynth.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

using namespace std::chrono;
using velmora::AudioOutput;
using velmora::FluidSynthMidiDevice;
using velmora::MidiDevice;
using namespace velmora::testing;

namespace {

double ResidentMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0.0;
}

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double CpuPercentOver(seconds span)
{
    const double cpuBefore = ProcessCpuSeconds();
    const auto wallBefore = steady_clock::now();
    std::this_thread::sleep_for(span);
    const double wall = duration<double>(steady_clock::now() - wallBefore).count();
    return 100.0 * (ProcessCpuSeconds() - cpuBefore) / wall;
}

template <typename Condition>
bool Await(Condition done, milliseconds deadline = seconds(10))
{
    const auto until = steady_clock::now() + deadline;
    while (!done()) {
        if (steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(microseconds(100));
    }
    return true;
}

// Loads one soundfont straight through FluidSynth in a child process, so each figure starts
// from a fresh address space.
void MeasureSoundFont(const QString& path, bool dynamicLoading)
{
    std::fflush(stdout);
    const pid_t child = fork();
    if (child != 0) {
        waitpid(child, nullptr, 0);
        return;
    }
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
        fluid_set_log_function(level, nullptr, nullptr);
    }
    const double before = ResidentMegabytes();
    const auto started = steady_clock::now();
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", dynamicLoading ? 1 : 0);
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    fluid_synth_t* synth = new_fluid_synth(settings);
    const bool loaded = fluid_synth_sfload(synth, QFile::encodeName(path).constData(), 1) != FLUID_FAILED;
    const double ms = duration<double, std::milli>(steady_clock::now() - started).count();
    const double after = ResidentMegabytes();
    std::printf("  %-44s dynamic loading %-3s  load %7.1f ms  resident +%6.1f MB%s\n", qPrintable(path),
                dynamicLoading ? "on" : "off", ms, after - before, loaded ? "" : "  (FAILED)");
    std::fflush(stdout);
    _exit(0);
}

void PrintSpread(const char* what, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::printf("  %-44s median %6.1f ms  p90 %6.1f ms  max %6.1f ms  (%zu runs)\n", what, values[values.size() / 2],
                values[values.size() * 9 / 10], values.back(), values.size());
}

QByteArray BusyPiece(int bars)
{
    // Eight channels of sustained chords and a drum beat: more than any of the game's pieces asks.
    SmfTrack track;
    track.Tempo(0, 500000);
    for (int channel = 0; channel < 8; ++channel) {
        track.Program(0, channel, channel * 8);
    }
    for (int bar = 0; bar < bars; ++bar) {
        for (int channel = 0; channel < 8; ++channel) {
            track.NoteOn(0, channel, 48 + channel * 3, 80).NoteOn(0, channel, 52 + channel * 3, 80);
        }
        for (int beat = 0; beat < 4; ++beat) {
            track.NoteOn(beat == 0 ? 0 : 480, 9, beat % 2 == 0 ? 36 : 38, 100).NoteOff(0, 9, beat % 2 == 0 ? 36 : 38);
        }
        for (int channel = 0; channel < 8; ++channel) {
            track.NoteOff(channel == 0 ? 480 : 0, channel, 48 + channel * 3).NoteOff(0, channel, 52 + channel * 3);
        }
    }
    track.End(0);
    return Smf(480, {track});
}

} // namespace

int main(int argc, char** argv)
{
    std::printf("Soundfont load (FluidSynth alone, fresh process each):\n");
    for (const QString& font : {QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"),
                                QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2")}) {
        if (!QFileInfo(font).isFile()) {
            std::printf("  %-44s not installed\n", qPrintable(font));
            continue;
        }
        MeasureSoundFont(font, true);
        MeasureSoundFont(font, false);
    }

    const double baseline = CpuPercentOver(seconds(3));
    auto output = std::make_unique<AudioOutput>();
    if (!output->Available()) {
        std::printf("No audio device with SDL's usual drivers; measuring on the dummy driver.\n");
        output.reset();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        output = std::make_unique<AudioOutput>();
    }
    if (!output->Available()) {
        std::printf("No audio output at all.\n");
        return 1;
    }
    std::printf("Audio driver: %s, %d Hz\n", SDL_GetCurrentAudioDriver(), output->SampleRate());

    const double residentBefore = ResidentMegabytes();
    // A soundfont named on the command line replaces the game's usual choice.
    FluidSynthMidiDevice device(*output, argc > 1 ? QStringList{QString::fromLocal8Bit(argv[1])}
                                                  : FluidSynthMidiDevice::DefaultSoundFonts());
    Await([&] { return device.LoadState() != FluidSynthMidiDevice::Loading::InProgress; });
    if (device.LoadState() != FluidSynthMidiDevice::Loading::Ready) {
        std::printf("No soundfont could be loaded.\n");
        return 1;
    }
    std::printf("Device: %s loaded in %.1f ms off the calling thread, resident +%.1f MB\n",
                qPrintable(device.SoundFont()), static_cast<double>(device.LoadTime().count()) / 1000.0,
                ResidentMegabytes() - residentBefore);

    QTemporaryDir dir;
    const QString chord = dir.filePath("chord.mid");
    const QString busy = dir.filePath("busy.mid");
    WriteFile(chord, ChordPiece(1));
    WriteFile(busy, BusyPiece(40));

    std::vector<double> fromIdle;
    std::vector<double> whileRunning;
    for (int run = 0; run < 40; ++run) {
        const bool idle = run % 2 == 0;
        device.Close();
        device.Open(chord);
        if (idle) {
            Await([&] { return output->Paused(); });
        }
        output->TakePeak();
        const auto started = steady_clock::now();
        device.Play();
        Await([&] { return output->TakePeak() > 64; });
        (idle ? fromIdle : whileRunning).push_back(duration<double, std::milli>(steady_clock::now() - started).count());
        if (!idle) {
            // Keep the device running into the next measurement.
            device.Close();
            device.Open(busy);
            device.Play();
            std::this_thread::sleep_for(milliseconds(30));
        }
    }
    std::printf("Play to first rendered sound:\n");
    PrintSpread("from a paused output", fromIdle);
    PrintSpread("while the output runs", whileRunning);

    // A piece that picks an instrument no channel holds makes the synthesizer read its samples
    // inside the render; rendered by hand here, each buffer's time shows how long the audio
    // thread is held up (one buffer lasts 11.6 ms).
    output->SetMusicSource(nullptr);
    std::vector<double> firstBuffer;
    std::vector<double> laterBuffers;
    std::vector<std::int16_t> buffer(512 * 2);
    for (int run = 0; run < 24; ++run) {
        SmfTrack track;
        track.Program(0, 0, 16 + run * 5 % 112).NoteOn(0, 0, 60).NoteOff(480, 0, 60).End(0);
        const QString path = dir.filePath(QStringLiteral("instrument-%1.mid").arg(run));
        WriteFile(path, Smf(480, {track}));
        device.Close();
        device.Open(path);
        device.Play();
        for (int block = 0; block < 8; ++block) {
            std::fill(buffer.begin(), buffer.end(), std::int16_t{0});
            const auto started = steady_clock::now();
            device.RenderMusic(buffer.data(), 512);
            (block == 0 ? firstBuffer : laterBuffers)
                .push_back(duration<double, std::milli>(steady_clock::now() - started).count());
        }
    }
    device.Close();
    output->SetMusicSource(&device);
    std::printf("Rendering one 512-frame buffer (11.6 ms of sound):\n");
    PrintSpread("the first, selecting an unloaded instrument", firstBuffer);
    PrintSpread("the following ones", laterBuffers);

    device.Close();
    Await([&] { return output->Paused(); });
    std::printf("CPU, whole process, 3 s each:\n");
    std::printf("  %-44s %5.2f %% of one core\n", "before the output was opened", baseline);
    std::printf("  %-44s %5.2f %% of one core\n", "nothing plays (output paused)", CpuPercentOver(seconds(3)));
    device.Open(chord);
    device.Play();
    Await([&] { return device.CurrentMode() == MidiDevice::Mode::Stopped; });
    std::printf("  %-44s %5.2f %% of one core\n", "a piece ended, left open", CpuPercentOver(seconds(3)));
    device.Close();
    device.Open(busy);
    device.Play();
    std::this_thread::sleep_for(milliseconds(200));
    output->TakePeak();
    std::printf("  %-44s %5.2f %% of one core\n", "busy music (8 channels + drums) plays", CpuPercentOver(seconds(3)));
    std::printf("  %-44s %5d of 32767\n", "  its peak sample", output->TakePeak());
    device.Close();

    std::printf("Open, as the 500 ms loop check repeats it:\n");
    const QString corrupt = dir.filePath("corrupt.mid");
    WriteFile(corrupt, ChordPiece(1).chopped(3));
    for (const auto& [label, path] : {std::pair{"missing file", dir.filePath("missing.mid")},
                                      std::pair{"corrupt file", corrupt}, std::pair{"good file", chord}}) {
        const int rounds = 2000;
        const auto started = steady_clock::now();
        for (int i = 0; i < rounds; ++i) {
            device.Open(path);
            device.Close();
        }
        std::printf("  %-44s %7.1f us per open + close\n", label,
                    duration<double, std::micro>(steady_clock::now() - started).count() / rounds);
    }
    return 0;
}

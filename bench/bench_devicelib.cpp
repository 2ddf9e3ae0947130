// What the simulated LIN bus costs: reading and programming a whole configuration, and downloading
// a 64 KiB firmware image, at 19200 baud (and at 0 baud, where only the library's own work remains).
// Each case reports the bytes moved and the seconds a LIN bus needs for them as counters, to compare
// with the measured time.

#include "moxtasim.h"
#include "moxtausbdll.h"

#include "../devicelib/tests/hextext.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string benchText(int baud)
{
    return "[bench]\nlin_baud=" + std::to_string(baud) + "\n[adapter:A]\nserial=100001\n[box:A:0]\nconfig_type=KVR5E\n";
}

// Break and delimiter, sync and identifier, then ten bits per data byte and per checksum byte, in
// frames of up to eight data bytes.
double busSeconds(std::size_t bytes, int baud)
{
    const std::size_t frames = (bytes + 7) / 8;
    return baud > 0 ? double(frames * 34 + bytes * 10 + frames * 10) / baud : 0.0;
}

std::size_t configurationBytes()
{
    const int16_t count = lin_OpenConfig("KVR5E", 0, 0);
    std::size_t strings = 0;
    // The KVR5E strings: the product tag and six empty actuator names.
    char text[232];
    if (lin_GetStringConfig("ConfType", text, sizeof text) == 0)
        strings += std::string(text).size() + 1;
    for (int r = 1; r <= 6; ++r) {
        const std::string name = "ref" + std::to_string(r) + "_actname";
        if (lin_GetStringConfig(name.c_str(), text, sizeof text) == 0)
            strings += std::string(text).size() + 1;
    }
    return std::size_t(count) * 2 + strings;
}

void connect(int baud, benchmark::State& state)
{
    moxtasim::reset();
    if (!moxtasim::loadBench(benchText(baud)) || !(zbx_OpenSpecificDevice("A") & 0xFF)
        || !(zbx_SetUsageOfControlLink(8) & 0xFF) || lin_OpenConfig("KVR5E", 0, 0) <= 0)
        state.SkipWithError("bench not ready");
}

void BM_ReadConfiguration(benchmark::State& state)
{
    const int baud = int(state.range(0));
    connect(baud, state);
    const std::size_t bytes = configurationBytes();
    for (auto _ : state)
        if (lin_ReadConfigRunMode(0, 1) < 1)
            state.SkipWithError("read failed");
    state.counters["bytes"] = double(bytes);
    state.counters["bus_seconds"] = busSeconds(bytes, baud);
}
BENCHMARK(BM_ReadConfiguration)->Arg(19200)->Arg(0)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_ProgramConfiguration(benchmark::State& state)
{
    const int baud = int(state.range(0));
    connect(baud, state);
    const std::size_t bytes = configurationBytes();
    for (auto _ : state)
        if (lin_ProgramConfigRunMode(0, 1, 1) < 0)
            state.SkipWithError("program failed");
    state.counters["bytes"] = double(bytes);
    state.counters["bus_seconds"] = busSeconds(bytes, baud);
}
BENCHMARK(BM_ProgramConfiguration)->Arg(19200)->Arg(0)->Unit(benchmark::kMicrosecond)->UseRealTime();

std::string hexImage(std::size_t size)
{
    return hextext::image(size);
}

void BM_Download64KiB(benchmark::State& state)
{
    const int baud = int(state.range(0));
    const std::string path = "/tmp/bench-devicelib-" + std::to_string(::getpid()) + ".hex";
    std::ofstream(path) << hexImage(64 * 1024);
    connect(baud, state);
    for (auto _ : state) {
        state.PauseTiming();
        zbx_SetUsageOfControlLink(8);
        lin_RC_GotoBootMode(0);
        zbx_SetUsageOfControlLink(6);
        state.ResumeTiming();
        if (nbl_Download(path.c_str(), 0, nullptr, 1) != 0)
            state.SkipWithError("download failed");
        state.PauseTiming();
        nbl_ExecuteApp();
        state.ResumeTiming();
    }
    std::remove(path.c_str());
    state.counters["bytes"] = 64.0 * 1024;
    state.counters["bus_seconds"] = busSeconds(64 * 1024, baud);
}
BENCHMARK(BM_Download64KiB)->Arg(19200)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_Download64KiB)->Arg(0)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();

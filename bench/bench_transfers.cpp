// The two transfers on the full advanced window: configuration to window and window to
// configuration, in the desk mode (0) and the bed mode (1). Run offscreen.

#include "app/application.h"
#include "app/frmmain.h"
#include "config/transfers.h"

#include <moxtasim.h>

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

std::unique_ptr<app::TfrmMain> window(int mode)
{
    app::TfrmMain::quitRequester() = [](int) {};
    moxtasim::loadBench("[bench]\nlin_baud=0\n");
    app::StartOptions options;
    options.arguments = {QStringLiteral("COMBINED")};
    auto w = std::make_unique<app::TfrmMain>(options);
    w->mniModeItemClick(w->modeItem(mode));
    return w;
}

void BM_ShowConfiguration(benchmark::State& state)
{
    auto w = window(int(state.range(0)));
    for (auto _ : state)
        config::showConfiguration(*w, w->state());
}
BENCHMARK(BM_ShowConfiguration)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_StoreConfiguration(benchmark::State& state)
{
    auto w = window(int(state.range(0)));
    for (auto _ : state)
        config::storeConfiguration(*w, w->state());
}
BENCHMARK(BM_StoreConfiguration)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settings;
    qputenv("APPDATA", settings.path().toLocal8Bit());
    QApplication application(argc, argv);
    app::setUpApplication();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

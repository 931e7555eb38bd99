// What the program costs per user action, measured on the real forms under
// offscreen Qt with a pseudo-terminal as the transmitter's port.
//   KeyPress       CPU time from a keypad click to the pulse string written
//   AddLine/N      one debug-window append with N lines already in the memo
//   AddLineRatio   the same, 100,000 lines against 1,000, timed in turn in one
//                  run; "ratio" is the figure to watch (1.0 = no slower)

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <chrono>
#include <cstdlib>
#include <string>

#include "app/Program.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "platform/linux/PseudoTerminal.h"
#include "platform/linux/SimulatedDeviceTree.h"
#include "toolkit/Application.h"
#include "toolkit/qt/QtPeers.h"

namespace {

const std::string kLine = "0x0001 -> *BbDbBbBbBbBbBbBbBbBbBbBdB~*";

void KeyPress(benchmark::State& state) {
    PseudoTerminal pty;
    SimulatedDeviceTree tree;
    tree.addTty("ttyACM0", "cdc_acm", pty.slavePath());
    ::setenv("TELVARA_ROOT", tree.root().c_str(), 1);
    startProgram();
    Form1->Timer1->Enabled = false;  // only the click is measured
    toolkit::qt::qtAction(*Form1->MenuPort->Items(0))->trigger();
    auto* key = qobject_cast<QPushButton*>(toolkit::qt::qtWidget(*Form1->BitBtn1));
    std::size_t written = 0;
    int sinceDrain = 0;
    for (auto _ : state) {
        key->click();
        if (++sinceDrain == 64) {  // keep the pty's buffer from filling; not part of a press
            state.PauseTiming();
            written += pty.drain(5).size();
            sinceDrain = 0;
            state.ResumeTiming();
        }
    }
    written += pty.drain(20).size();
    state.counters["bytes_per_press"] = static_cast<double>(written) / static_cast<double>(state.iterations());
    endProgram();
    ::unsetenv("TELVARA_ROOT");
}
BENCHMARK(KeyPress)->Unit(benchmark::kMicrosecond);

TFormDebug* debugWindowWith(int lines) {
    auto* form = new TFormDebug(Application);
    form->Show();
    for (int i = 0; i < lines; ++i) form->AddLine(kLine);
    QApplication::processEvents();
    return form;
}

void AddLine(benchmark::State& state) {
    TFormDebug* form = debugWindowWith(static_cast<int>(state.range(0)));
    for (auto _ : state) form->AddLine(kLine);
    delete form;
}
BENCHMARK(AddLine)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void AddLineRatio(benchmark::State& state) {
    TFormDebug* small = debugWindowWith(1000);
    TFormDebug* big = debugWindowWith(100000);
    using Clock = std::chrono::steady_clock;
    Clock::duration smallTime{}, bigTime{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        small->AddLine(kLine);
        auto t1 = Clock::now();
        big->AddLine(kLine);
        auto t2 = Clock::now();
        smallTime += t1 - t0;
        bigTime += t2 - t1;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["us_at_1000"] = std::chrono::duration<double, std::micro>(smallTime).count() / n;
    state.counters["us_at_100000"] = std::chrono::duration<double, std::micro>(bigTime).count() / n;
    state.counters["ratio"] = std::chrono::duration<double>(bigTime).count() / std::chrono::duration<double>(smallTime).count();
    delete big;
    delete small;
}
BENCHMARK(AddLineRatio)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    Application->Initialize();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Application->Shutdown();
    return 0;
}

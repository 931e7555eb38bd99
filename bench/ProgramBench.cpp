// What the program costs per user action, measured on the real forms under
// offscreen Qt with a pseudo-terminal as the transmitter's port.
//   KeyPress       CPU time from a keypad click to the pulse string written
//   AddLine/N      one debug-window append with N lines already in the memo
//   AddLineRatio   the same, 100,000 lines against 1,000, timed in turn in one
//                  run; "ratio" is the figure to watch (1.0 = no slower)
//   DebugWindowMemory  memory the shown debug window holds for 100,000 lines,
//                  per byte of their text ("heap_per_text_byte", "rss_per_text_byte")

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/Program.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "simulation/PseudoTerminal.h"
#include "simulation/SimulatedDeviceTree.h"
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
    state.counters["ratio"] =
        std::chrono::duration<double>(bigTime).count() / std::chrono::duration<double>(smallTime).count();
    delete big;
    delete small;
}
BENCHMARK(AddLineRatio)->Unit(benchmark::kMicrosecond);

// Bytes held by live allocations, malloc's own bookkeeping included: unlike the
// resident size it does not move with what the allocator keeps back or with
// pages touched once, so the same build gives the same figure on a busy machine.
double heapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// The resident size once malloc has handed back what it can: what a user sees.
double residentAfterTrim() {
    ::malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

// What 100,000 lines cost the shown debug window, against the text they add.
// The event loop runs between batches of lines as it does between the
// program's timer ticks, so the memo is laid out and painted as it grows.
void DebugWindowMemory(benchmark::State& state) {
    constexpr int kLines = 100000;
    constexpr int kLinesPerTick = 100;
    double heap = 0, resident = 0, textBytes = 0;
    for (auto _ : state) {
        auto* form = new TFormDebug(Application);
        form->Show();
        QApplication::processEvents();
        const double heapBefore = heapInUse();
        const double residentBefore = residentAfterTrim();
        for (int i = 0; i < kLines; ++i) {
            form->AddLine(kLine);
            if (i % kLinesPerTick == kLinesPerTick - 1) QApplication::processEvents();
        }
        QApplication::processEvents();
        heap = heapInUse() - heapBefore;
        resident = residentAfterTrim() - residentBefore;
        textBytes = static_cast<double>(form->Memo1->Lines->Text().size());
        delete form;
    }
    state.counters["heap_per_text_byte"] = heap / textBytes;
    state.counters["rss_per_text_byte"] = resident / textBytes;
    state.counters["text_bytes"] = textBytes;
}
BENCHMARK(DebugWindowMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

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

#include "platform/seam.h"

namespace bc::seam {

namespace {
SimDevice* g_device = nullptr;
SimDevice& (*g_builtInBench)() = nullptr;
VirtualClock* g_clock = nullptr;
std::function<void(int)> g_exitHook;
}  // namespace

void VirtualClock::advanceTo(int64_t t) {
    if (t < now_) return;
    bool crossing = stopAt >= 0 && now_ < stopAt && t >= stopAt;
    now_ = t;
    if (crossing && onStop) onStop();
}

void attachDevice(SimDevice* device) { g_device = device; }
SimDevice* attachedDevice() { return g_device; }
void provideBuiltInBench(SimDevice& (*bench)()) { g_builtInBench = bench; }
SimDevice* builtInBench() { return g_builtInBench ? &g_builtInBench() : nullptr; }
void attachClock(VirtualClock* clock) { g_clock = clock; }
VirtualClock* attachedClock() { return g_clock; }
void setExitHook(std::function<void(int)> hook) { g_exitHook = std::move(hook); }
const std::function<void(int)>& exitHook() { return g_exitHook; }

}  // namespace bc::seam

// Flight-loop callbacks of both registration styles, called once per frame
// in their phase order: before the flight model (and every old-style
// callback), then after it.
#include <algorithm>
#include <memory>

#include "Sim.h"
#include "host/XplmProcessing.h"

namespace sim {
namespace {

struct FlightLoop {
    XPLMFlightLoop_f callback;
    void* refcon;
    int phase;
    bool legacy;
    bool alive = true;
    bool scheduled = false;
    // Next call: a frame number for frame intervals, a time for second intervals.
    bool byFrames = true;
    int64_t nextFrame = 0;
    double nextTime = 0;
    double lastCall = -1;
};

std::vector<std::unique_ptr<FlightLoop>>& loops() {
    static std::vector<std::unique_ptr<FlightLoop>> list;
    return list;
}
int gCounter = 0;
double gLastDispatch = -1;
// Between frames, Sim::frame already numbers the coming frame; during a
// dispatch it numbers the current one.
bool gDispatching = false;

void schedule(FlightLoop* loop, float interval, bool relativeToNow) {
    const Sim& sim = Sim::get();
    loop->scheduled = interval != 0;
    if (!loop->scheduled) return;
    if (interval < 0) {
        loop->byFrames = true;
        loop->nextFrame = sim.frame + static_cast<int64_t>(-interval) - (gDispatching ? 0 : 1);
    } else {
        loop->byFrames = false;
        double base = relativeToNow || loop->lastCall < 0 ? sim.simTime : loop->lastCall;
        loop->nextTime = base + interval;
    }
}

bool due(const FlightLoop* loop) {
    const Sim& sim = Sim::get();
    if (!loop->alive || !loop->scheduled) return false;
    return loop->byFrames ? sim.frame >= loop->nextFrame : sim.simTime + 1e-5 >= loop->nextTime;  // intervals arrive as floats
}

FlightLoop* findLegacy(XPLMFlightLoop_f callback, void* refcon) {
    for (auto& loop : loops())
        if (loop->alive && loop->legacy && loop->callback == callback && loop->refcon == refcon) return loop.get();
    return nullptr;
}

void dispatchPhase(int phase) {
    const Sim& sim = Sim::get();
    const float sinceLastDispatch = gLastDispatch < 0 ? 0.0f : static_cast<float>(sim.simTime - gLastDispatch);
    // Callbacks may add or remove loops: walk by index over what existed at the start.
    const size_t count = loops().size();
    for (size_t i = 0; i < count; ++i) {
        FlightLoop* loop = loops()[i].get();
        if (loop->phase != phase || !due(loop)) continue;
        const float sinceMine = loop->lastCall < 0 ? sinceLastDispatch : static_cast<float>(sim.simTime - loop->lastCall);
        loop->lastCall = sim.simTime;
        float next = loop->callback(sinceMine, sinceLastDispatch, ++gCounter, loop->refcon);
        if (loop->alive) schedule(loop, next, true);
    }
}

Registrar registrar([] {
    registerFrameHook(50, [] {
        gDispatching = true;
        dispatchPhase(xplm_FlightLoop_Phase_BeforeFlightModel);
        dispatchPhase(xplm_FlightLoop_Phase_AfterFlightModel);
        gDispatching = false;
        gLastDispatch = Sim::get().simTime;
        auto& list = loops();
        list.erase(std::remove_if(list.begin(), list.end(), [](const auto& loop) { return !loop->alive; }), list.end());
    });
});

}  // namespace

void clearFlightLoops() { loops().clear(); }

int liveFlightLoopCount() {
    int count = 0;
    for (const auto& loop : loops()) count += loop->alive ? 1 : 0;
    return count;
}

}  // namespace sim

extern "C" {

float XPLMGetElapsedTime(void) { return static_cast<float>(sim::Sim::get().simTime); }

void XPLMRegisterFlightLoopCallback(XPLMFlightLoop_f callback, float interval, void* refcon) {
    if (!callback) return;
    auto loop = std::make_unique<sim::FlightLoop>();
    loop->callback = callback;
    loop->refcon = refcon;
    loop->phase = xplm_FlightLoop_Phase_BeforeFlightModel;
    loop->legacy = true;
    sim::schedule(loop.get(), interval, true);
    sim::loops().push_back(std::move(loop));
}

void XPLMUnregisterFlightLoopCallback(XPLMFlightLoop_f callback, void* refcon) {
    if (sim::FlightLoop* loop = sim::findLegacy(callback, refcon)) loop->alive = false;
}

void XPLMSetFlightLoopCallbackInterval(XPLMFlightLoop_f callback, float interval, int relativeToNow, void* refcon) {
    if (sim::FlightLoop* loop = sim::findLegacy(callback, refcon)) sim::schedule(loop, interval, relativeToNow != 0);
}

XPLMFlightLoopID XPLMCreateFlightLoop(XPLMCreateFlightLoop_t* params) {
    if (!params || params->structSize < static_cast<int>(sizeof(XPLMCreateFlightLoop_t)) || !params->callbackFunc)
        return nullptr;
    auto loop = std::make_unique<sim::FlightLoop>();
    loop->callback = params->callbackFunc;
    loop->refcon = params->refcon;
    loop->phase = params->phase == xplm_FlightLoop_Phase_AfterFlightModel ? xplm_FlightLoop_Phase_AfterFlightModel
                                                                           : xplm_FlightLoop_Phase_BeforeFlightModel;
    loop->legacy = false;
    sim::loops().push_back(std::move(loop));
    return sim::loops().back().get();
}

void XPLMDestroyFlightLoop(XPLMFlightLoopID flightLoop) {
    for (auto& loop : sim::loops())
        if (loop.get() == flightLoop) loop->alive = false;
}

void XPLMScheduleFlightLoop(XPLMFlightLoopID flightLoop, float interval, int relativeToNow) {
    for (auto& loop : sim::loops())
        if (loop.get() == flightLoop && loop->alive) sim::schedule(loop.get(), interval, relativeToNow != 0);
}

}  // extern "C"

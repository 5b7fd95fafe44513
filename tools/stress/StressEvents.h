// The stress run's random input: a seeded stream of what a restless user
// does to a program's windows. Places are kept relative to a window (a zone
// and two fractions), so the same seed means the same input wherever the
// windows happen to stand when it is delivered.
#pragma once

#include <windows.h>

#include <cstdint>
#include <random>
#include <string>

enum class StressKind {
    Move,
    Click,
    DoubleClick,
    RightClick,
    Drag,
    Wheel,
    Key,
    Resize,
    Minimise,
    Maximise,
    Restore,
    SwitchSkin,
    Raise,
};

// Where on a window: anywhere, the caption band (caption buttons, menu
// bar), the frame's edges and corners.
enum class StressZone { Anywhere, CaptionBand, Edge };

struct StressPlace {
    StressZone zone;
    int across;  // 0..9999: how far along the window (or along its edge)
    int down;    // 0..9999
};

struct StressEvent {
    StressKind kind;
    int window;  // which of the run's windows
    StressPlace from;
    StressPlace to;  // drags end here
    WORD key;        // Key: a virtual key
    bool alt;
    bool shift;
    int amount;  // Wheel: notches (signed); Resize: width and height in pixels
    int height;
};

class StressEventStream {
public:
    StressEventStream(uint32_t seed, int windowCount);
    StressEvent Next();

private:
    StressPlace Place();
    int Uniform(int low, int high);  // low..high, both included
    void ChooseKey(StressEvent& event);

    std::mt19937 random_;
    int windowCount_;
    int window_ = 0;
};

// The point of `place` on a window whose rectangle (screen) is `rect`.
POINT ResolvePlace(const StressPlace& place, const RECT& rect);
// One line saying what the event does, for the watchdog's report.
std::string Describe(const StressEvent& event);

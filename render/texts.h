// The texts drawn over the arena: sound and counter read-outs, the status lines,
// the help text, the per-plane tables and camera 2's line. They are worked out
// from the program's state as a list of placed, coloured lines, then drawn.
#pragma once

#include "render/cameras.h"

#include <cstdint>

// Which texts show (the F5 key steps them; P switches the paths).
extern uint8_t showStatus;      // starts on
extern uint8_t showTables;      // starts on
extern uint8_t showSoundDebug;  // starts off
extern uint8_t showPaths;       // starts off

// Written by the shell: the virtual-key code of the last key pressed, and the
// number of main-loop turns so far.
extern int keyFinder;
extern uint64_t DrawCounter;

// The project's web address, shown in the first help line.
inline constexpr const char* projectUrl = "https://skarvel.example.org/";

// Room for one line of text: at most 255 characters.
constexpr int textLineSize = 256;

struct TextLine {
    float x, y;  // eye-space place at depth 1
    float colour[3];
    char text[textLineSize];
};

class TextList {
public:
    static constexpr int capacity = 128;

    void clear() { count_ = 0; }
    int size() const { return count_; }
    const TextLine& operator[](int i) const { return lines_[i]; }
    const TextLine* begin() const { return lines_; }
    const TextLine* end() const { return lines_ + count_; }

    // Adds a line formatted by the printf rules, cut at 255 characters.
    void add(float x, float y, const float* colour, const char* format, ...)
        __attribute__((format(printf, 5, 6)));

private:
    TextLine lines_[capacity];
    int count_ = 0;
};

// The strings the GL driver names itself with; any of them may be null.
struct GLStrings {
    const char* renderer;
    const char* vendor;
    const char* version;
};

// The texts of the frame's text step, as the flags choose them: V is the
// controlled plane's velocity and T its position.
void collectTexts(TextList& list, const Vec3& T, const Vec3& V, const GLStrings& gl);

// Camera 2's read-out line.
void addCamera2Line(TextList& list, const Camera2Readout& readout);

// Draws each line at its place in its colour with the bitmap font.
void drawTexts(const TextList& list);

// Puts the display flags back to their start values.
void resetTextFlags();

#include "render/texts.h"

#include "arena/autopilot.h"
#include "arena/buildings.h"
#include "arena/collision.h"
#include "arena/records.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"
#include "platform/clock.h"
#include "render/fonts.h"

#include <GL/gl.h>

#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <iterator>

uint8_t showStatus = 1;
uint8_t showTables = 1;
uint8_t showSoundDebug = 0;
uint8_t showPaths = 0;
int keyFinder = 0;
uint64_t DrawCounter = 0;

namespace {

constexpr float red[3] = {1, 0, 0};
constexpr float white[3] = {1, 1, 1};

// Every line starts at the left edge of a window wider than it is high.
constexpr float left = -0.45f;

// glGetString may give no string at all (no context, or an error); it shows
// as an empty value.
const char* orEmpty(const char* text)
{
    return text ? text : "";
}

// A row of one entry per plane or clip: the entries are placed from a column
// offset kept as a float and stepped in double precision.
class Row {
public:
    Row(float start, double step) : offset_(start), step_(step) {}
    float next()
    {
        const float x = static_cast<float>(offset_ - 0.45);
        offset_ = static_cast<float>(offset_ + step_);
        return x;
    }

private:
    float offset_;
    double step_;
};

void addPlayingRow(TextList& list, float y, const char* label, const bool* playing, int count)
{
    list.add(left, y, red, "%s", label);
    Row row(0.15f, 0.015);
    for (int i = 0; i < count; ++i)
        list.add(row.next(), y, red, "[%d]", playing[i] ? 1 : 0);
}

// Which effect clips sound for which bodies, and which clips are playing.
void addSoundRows(TextList& list, const SoundReadouts& sounds)
{
    static_assert(effectClipCount == 7, "the owner line names seven clips");
    const intptr_t* owner = sounds.effectOwners;
    char owners[textLineSize];
    std::snprintf(owners, sizeof owners,
                  "ObjectID: -%" PRIdPTR " -%" PRIdPTR " -%" PRIdPTR " -%" PRIdPTR " -%" PRIdPTR
                  " -%" PRIdPTR " -%" PRIdPTR,
                  owner[0], owner[1], owner[2], owner[3], owner[4], owner[5], owner[6]);
    list.add(left, -0.12f, red, "activeSouceCount[%d], ->odeBodyID:[%s]", sounds.activeSouceCount, owners);
    addPlayingRow(list, -0.11f, "bubbleFly[i].Isplaying?", sounds.gunPlaying, planeCount);
    addPlayingRow(list, -0.10f, "myCollide[i].IsPlaying", sounds.effectPlaying, effectClipCount);
}

void addStatusLines(TextList& list, const Vec3& T, const Vec3& V)
{
    int pillarOk = 0;
    for (const Pillar& pillar : pillars)
        pillarOk += pillar.hit ? 0 : 1;
    int planeOk = 0;
    for (const Plane& plane : planes)
        planeOk += plane.Helth > 0 ? 1 : 0;
    const double vel = std::sqrt(V.x * V.x + V.y * V.y);

    list.add(left, -0.33f,
             red, "PillarOk: [%d], PlaneOk: [%d], BuildingHit: [%d], Auto: [%d], Action: [%d], Vel: [%.2f]",
             pillarOk, planeOk, static_cast<int>(BuildingHit), planes[1].autopilot, Action, vel);
    list.add(left, -0.35f, red,
             "FpsNow[%.2f], Gravity:[%.2f], TStepSz:[%.3f], ThrustF:[%.2f], cnP:[%d], GameMode(n)[%d]",
             FpsNow, Gravity, TStepSz, ThrustF, cnP, GameMode);
    list.add(left, -0.37f, red,
             "[F5 - MENU], DesiredZ[%.2f], CameraNo:[%d], PosP[%.2f %.2f %.2f], LVel[%.2f %.2f %.2f]",
             DesiredZ, CameraNo, T.x, T.y, T.z, V.x, V.y, V.z);
}

void addCounterLines(TextList& list, const GLStrings& gl)
{
    // Averages over the whole time since the scene was built.
    const float now1 = platform::nowSeconds();
    const float now2 = platform::nowSeconds();
    const float callbacksPerSecond = static_cast<float>(CallBackCounter) / (now2 - sceneStartTime);
    const float apCountsPerSecond = static_cast<float>(apCounter) / (now1 - sceneStartTime);
    list.add(left, -0.21f, red,
             "CallBackCounter: [%" PRIu64 "], DrawCounter: [%" PRIu64 "] CallBackPerSec: [%.2f], apCounter[%d], "
             "apCounterPS[%.2f]",
             CallBackCounter, DrawCounter, callbacksPerSecond, static_cast<int>(apCounter),
             apCountsPerSecond);
    list.add(left, -0.20f, red, "Zforce:[%.2f], Zinc:[%.2f], DesiredZ[%.2f], keyFinder[%d]", Zforce,
             Zinc, DesiredZ, keyFinder);
    list.add(left, -0.18f, red, "GL_RENDERER:[%s], ", orEmpty(gl.renderer));
    list.add(left, -0.17f, red,
             "GL_VENDOR:[%s] (If Microsoft Corporation - means no 3d accelaration.), ",
             orEmpty(gl.vendor));
    list.add(left, -0.16f, red, "GL_VERSION:[%s], ", orEmpty(gl.version));
}

void addHelp(TextList& list)
{
    struct HelpLine {
        float y;
        const char* text;
    };
    static const HelpLine lines[] = {
        {0.33f, "F5\t\t= Toggle menu text."},
        {0.31f, "<>^v\t\t= Use cursor keys to fly plane."},
        {0.29f, "[CTRL]\t= Fire bubbles."},
        {0.27f, "Spacebar \t= Air Brake & Stabelizer."},
        {0.25f, "C\t\t= Change viewing camera."},
        {0.23f, "[ ] \t\t= increase or lower planes forward thrust factor, thus flying speed."},
        {0.21f, ",.\t\t= Change the control plane to manage."},
        {0.19f, "+ - \t\t= increase or lower physics time step to speed up simulation."},
        {0.17f, "N\t\t= Game Mode, 0=Death,1=Team,2=At All."},
        {0.15f, "W\t\t= Enable disable Autopilot. On by default."},
        {0.13f, "Q \t\t= Start scanner and fighting action. On by default."},
    };
    list.add(left, 0.35f, red, "URL\t= %s", projectUrl);
    for (const HelpLine& line : lines)
        list.add(left, line.y, red, "%s", line.text);
}

void addTables(TextList& list)
{
    struct Table {
        float y;
        const char* label;
        double step;
        int (*value)(const Plane&);
    };
    static const Table tables[] = {
        {-0.30f, "RayHit:", 0.035, [](const Plane& p) { return static_cast<int>(p.RayHit); }},
        {-0.29f, "GrndHit:", 0.035, [](const Plane& p) { return static_cast<int>(p.GrndHit); }},
        {-0.28f, "Sensing:", 0.035, [](const Plane& p) { return static_cast<int>(p.Sensing); }},
        {-0.27f, "State:", 0.035, [](const Plane& p) { return static_cast<int>(p.State); }},
        {-0.26f, "Enemy:", 0.04, [](const Plane& p) { return static_cast<int>(p.Enemy); }},
        {-0.25f, "Mood:", 0.035, [](const Plane& p) { return static_cast<int>(p.Mood); }},
        {-0.24f, "Helth:", 0.045, [](const Plane& p) { return static_cast<int>(p.Helth); }},
        {-0.23f, "FpCount:", 0.035, [](const Plane& p) { return static_cast<int>(p.FpCount); }},
    };
    for (const Table& table : tables) {
        list.add(left, table.y, red, "%s", table.label);
        Row row(0.05f, table.step);
        const bool last = &table == &tables[std::size(tables) - 1];
        for (int k = 0; k < planeCount; ++k) {
            const int value = table.value(planes[k]);
            if (last)
                list.add(row.next(), table.y, red, "[%d]", value);
            else
                list.add(row.next(), table.y, red, "[%d>%d]", k, value);
        }
    }
}

} // namespace

void TextList::add(float x, float y, const float* colour, const char* format, ...)
{
    if (count_ >= capacity)
        return;
    TextLine& line = lines_[count_++];
    line.x = x;
    line.y = y;
    line.colour[0] = colour[0];
    line.colour[1] = colour[1];
    line.colour[2] = colour[2];
    va_list args;
    va_start(args, format);
    // A format that fails leaves the buffer's contents undefined: the line is
    // then empty, never unterminated.
    if (std::vsnprintf(line.text, sizeof line.text, format, args) < 0)
        line.text[0] = '\0';
    va_end(args);
}

void collectTexts(TextList& list, const Vec3& T, const Vec3& V, const GLStrings& gl)
{
    SoundReadouts sounds{};
    if (showSoundDebug && soundHooks.readouts(sounds))
        addSoundRows(list, sounds);
    if (showStatus)
        addStatusLines(list, T, V);
    if (showSoundDebug)
        addCounterLines(list, gl);
    if (showHelp)
        addHelp(list);
    if (showTables)
        addTables(list);
}

void addCamera2Line(TextList& list, const Camera2Readout& r)
{
    list.add(left, -0.31f, white,
             "camSpeed: [%.2f],camDist: [%.2f],Camx: [%.2f],Camy: [%.2f],Tx: [%.2f],Ty: [%.2f],"
             "anglediff: [%.2f],camAngle:[%.2f], destAngle[%.2f]",
             camSpeed, r.camDist, r.Camx, r.Camy, r.Dx, r.Dy, r.difference, r.bearing, r.desired);
}

void drawTexts(const TextList& list)
{
    const float* colour = nullptr;
    for (const TextLine& line : list) {
        if (!colour || line.colour[0] != colour[0] || line.colour[1] != colour[1] ||
            line.colour[2] != colour[2]) {
            glColor3fv(line.colour);
            colour = line.colour;
        }
        glRasterPos2f(line.x, line.y);
        printString(line.text);
    }
    finishTexts();
}

void resetTextFlags()
{
    showStatus = 1;
    showTables = 1;
    showSoundDebug = 0;
    showPaths = 0;
}

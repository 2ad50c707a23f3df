// The on-screen texts as a list of placed, coloured lines.
#include "arena/autopilot.h"
#include "arena/buildings.h"
#include "arena/collision.h"
#include "arena/records.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"
#include "platform/clock.h"
#include "render/texts.h"
#include "f5_states.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TextsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setTestTicks(110000);
        reset();
    }
    void TearDown() override
    {
        reset();
        platform::useRealTicks();
    }
    static void reset()
    {
        for (auto& p : planes)
            p = Plane{};
        for (auto& p : pillars)
            p = Pillar{};
        resetTunables();
        resetTextFlags();
        resetBuildingState();
        resetCollisionState();
        resetAutopilotState();
        resetSoundHooks();
        sceneStartTime = 0;
        keyFinder = 0;
        DrawCounter = 0;
    }

    // Texts of the text step with these reference values.
    const TextList& collect(const GLStrings& gl = {})
    {
        list.clear();
        collectTexts(list, T, V, gl);
        return list;
    }

    // The texts of the lines at height y, left to right as added.
    std::vector<std::string> row(float y) const
    {
        std::vector<std::string> out;
        for (const TextLine& line : list)
            if (line.y == y)
                out.emplace_back(line.text);
        return out;
    }

    std::string lineAt(float y) const
    {
        auto texts = row(y);
        return texts.size() == 1 ? texts[0] : "<" + std::to_string(texts.size()) + " lines>";
    }

    TextList list;
    Vec3 T{71.5, 30, 10.75};
    Vec3 V{3, 4, 9};
};

TEST_F(TextsTest, F5StatesChooseTheBlocks)
{
    // The initial flags are the first state.
    ASSERT_EQ(showStatus, 1);
    ASSERT_EQ(showTables, 1);
    ASSERT_EQ(showSoundDebug, 0);
    ASSERT_EQ(showHelp, 1);
    ASSERT_EQ(showPaths, 0);
    for (const F5State& s : f5States) {
        showF5State(s);
        collect();
        SCOPED_TRACE(testing::Message() << "status " << int(s.status) << " tables " << int(s.tables)
                                        << " sound " << int(s.sound) << " help " << int(s.help));
        EXPECT_EQ(row(-0.33f).size() + row(-0.35f).size() + row(-0.37f).size(), s.status ? 3u : 0u);
        EXPECT_EQ(row(-0.30f).size(), s.tables ? 8u : 0u);
        EXPECT_EQ(row(-0.21f).size() + row(-0.16f).size(), s.sound ? 2u : 0u);
        EXPECT_EQ(row(0.35f).size() + row(0.13f).size(), s.help ? 2u : 0u);
        // No sound read-outs: no audio configuration is installed here.
        const int expected = (s.status ? 3 : 0) + (s.tables ? 64 : 0) + (s.help ? 12 : 0) + (s.sound ? 5 : 0);
        EXPECT_EQ(list.size(), expected);
        for (const TextLine& line : list) {
            EXPECT_EQ(line.colour[0], 1.0f);
            EXPECT_EQ(line.colour[1], 0.0f);
            EXPECT_EQ(line.colour[2], 0.0f);
        }
    }
}

TEST_F(TextsTest, HelpLinesAreExact)
{
    collect();
    EXPECT_EQ(lineAt(0.35f), "URL\t= https://skarvel.example.org/");
    EXPECT_EQ(lineAt(0.33f), "F5\t\t= Toggle menu text.");
    EXPECT_EQ(lineAt(0.31f), "<>^v\t\t= Use cursor keys to fly plane.");
    EXPECT_EQ(lineAt(0.29f), "[CTRL]\t= Fire bubbles.");
    EXPECT_EQ(lineAt(0.27f), "Spacebar \t= Air Brake & Stabelizer.");
    EXPECT_EQ(lineAt(0.25f), "C\t\t= Change viewing camera.");
    EXPECT_EQ(lineAt(0.23f),
              "[ ] \t\t= increase or lower planes forward thrust factor, thus flying speed.");
    EXPECT_EQ(lineAt(0.21f), ",.\t\t= Change the control plane to manage.");
    EXPECT_EQ(lineAt(0.19f), "+ - \t\t= increase or lower physics time step to speed up simulation.");
    EXPECT_EQ(lineAt(0.17f), "N\t\t= Game Mode, 0=Death,1=Team,2=At All.");
    EXPECT_EQ(lineAt(0.15f), "W\t\t= Enable disable Autopilot. On by default.");
    EXPECT_EQ(lineAt(0.13f), "Q \t\t= Start scanner and fighting action. On by default.");
    for (const TextLine& line : list) {
        if (line.y > 0) {
            EXPECT_EQ(line.x, -0.45f);
        }
    }
}

TEST_F(TextsTest, StatusLinesCountAndShowPlaneOne)
{
    const int health[planeCount] = {100, 0, -5, 1, 50, 100, 20};
    for (int k = 0; k < planeCount; ++k)
        planes[k].Helth = health[k];
    pillars[4].hit = 1;
    pillars[30].hit = 1;
    planes[1].autopilot = 1;
    cnP = 4;
    Action = 1;
    BuildingHit = 3;
    collect();
    EXPECT_EQ(lineAt(-0.33f),
              "PillarOk: [34], PlaneOk: [5], BuildingHit: [3], Auto: [1], Action: [1], Vel: [5.00]");
    EXPECT_EQ(lineAt(-0.35f),
              "FpsNow[60.00], Gravity:[-10.01], TStepSz:[0.050], ThrustF:[5.00], cnP:[4], GameMode(n)[0]");
    EXPECT_EQ(lineAt(-0.37f), "[F5 - MENU], DesiredZ[12.00], CameraNo:[1], PosP[71.50 30.00 10.75], "
                              "LVel[3.00 4.00 9.00]");

    // "Auto" is plane 1's byte whichever plane is controlled.
    planes[1].autopilot = 0;
    planes[4].autopilot = 1;
    collect();
    EXPECT_NE(lineAt(-0.33f).find("Auto: [0]"), std::string::npos);
}

TEST_F(TextsTest, CounterLinesPrintWideCountersAndMissingGLStrings)
{
    showSoundDebug = 1;
    sceneStartTime = platform::nowSeconds() - 8.0f;
    CallBackCounter = 5000000000ull; // past what 32 bits hold
    apCounter = 400;
    DrawCounter = 4294967303ull;
    keyFinder = 0x74;
    collect({"llvmpipe", nullptr, "4.5 Mesa"});
    EXPECT_EQ(lineAt(-0.21f), "CallBackCounter: [5000000000], DrawCounter: [4294967303] CallBackPerSec: "
                              "[625000000.00], apCounter[400], apCounterPS[50.00]");
    EXPECT_EQ(lineAt(-0.20f), "Zforce:[13.98], Zinc:[0.01], DesiredZ[12.00], keyFinder[116]");
    EXPECT_EQ(lineAt(-0.18f), "GL_RENDERER:[llvmpipe], ");
    EXPECT_EQ(lineAt(-0.17f),
              "GL_VENDOR:[] (If Microsoft Corporation - means no 3d accelaration.), ");
    EXPECT_EQ(lineAt(-0.16f), "GL_VERSION:[4.5 Mesa], ");
}

TEST_F(TextsTest, SoundRowsPrintOwnerHandlesAsWholeNumbers)
{
    showSoundDebug = 1;
    soundHooks.readouts = [](SoundReadouts& sounds) {
        sounds.activeSouceCount = 2;
        // A handle above 32 bits prints whole; an unowned clip prints 0.
        sounds.effectOwners[2] = 0x123456789abcLL;
        sounds.effectOwners[6] = 4096;
        return true;
    };
    collect();
    EXPECT_EQ(lineAt(-0.12f),
              "activeSouceCount[2], ->odeBodyID:[ObjectID: -0 -0 -20015998343868 -0 -0 -0 -4096]");
    const auto guns = row(-0.11f);
    ASSERT_EQ(guns.size(), 8u);
    EXPECT_EQ(guns[0], "bubbleFly[i].Isplaying?");
    EXPECT_EQ(guns[1], "[0]");
    const auto effects = row(-0.10f);
    ASSERT_EQ(effects.size(), 8u);
    EXPECT_EQ(effects[0], "myCollide[i].IsPlaying");
    for (const TextLine& line : list) {
        if (line.y == -0.10f && line.x != -0.45f) {
            EXPECT_GE(line.x, -0.3001f);
            EXPECT_LE(line.x, -0.2099f);
        }
    }
}

TEST_F(TextsTest, TablesHaveOneEntryPerPlaneInSteppedColumns)
{
    for (int k = 0; k < planeCount; ++k) {
        planes[k].RayHit = k % 2;
        planes[k].GrndHit = 10 + k;
        planes[k].Sensing = 20 + k;
        planes[k].State = k;
        planes[k].Enemy = k == 3 ? -1 : 6 - k;
        planes[k].Mood = 30 + k;
        planes[k].Helth = 100 - k;
        planes[k].FpCount = 1000 * k;
    }
    collect();
    const auto rayHit = row(-0.30f);
    ASSERT_EQ(rayHit.size(), 8u);
    EXPECT_EQ(rayHit[0], "RayHit:");
    EXPECT_EQ(rayHit[1], "[0>0]");
    EXPECT_EQ(rayHit[2], "[1>1]");
    EXPECT_EQ(row(-0.29f)[7], "[6>16]");
    EXPECT_EQ(row(-0.28f)[0], "Sensing:");
    EXPECT_EQ(row(-0.27f)[4], "[3>3]");
    EXPECT_EQ(row(-0.26f)[4], "[3>-1]");
    EXPECT_EQ(row(-0.25f)[1], "[0>30]");
    EXPECT_EQ(row(-0.24f)[0], "Helth:");
    EXPECT_EQ(row(-0.24f)[7], "[6>94]");
    // The last row has the values alone.
    const auto fpCount = row(-0.23f);
    EXPECT_EQ(fpCount[0], "FpCount:");
    EXPECT_EQ(fpCount[1], "[0]");
    EXPECT_EQ(fpCount[7], "[6000]");

    // Columns start at x = -0.40 and step by the row's own width.
    auto xs = [&](float y) {
        std::vector<float> out;
        for (const TextLine& line : list)
            if (line.y == y)
                out.push_back(line.x);
        return out;
    };
    const auto rayX = xs(-0.30f);
    EXPECT_EQ(rayX[0], -0.45f);
    EXPECT_FLOAT_EQ(rayX[1], -0.40f);
    EXPECT_NEAR(rayX[7], -0.40f + 6 * 0.035f, 1e-6);
    EXPECT_NEAR(xs(-0.26f)[7], -0.40f + 6 * 0.04f, 1e-6);
    EXPECT_NEAR(xs(-0.24f)[7], -0.40f + 6 * 0.045f, 1e-6);
}

TEST_F(TextsTest, CameraTwoLineIsWhiteAndShowsTheBearing)
{
    Camera2Readout readout{30, 1.5f, -2.25f, 41.5, 30, 21.07f, 68.93f, 90};
    addCamera2Line(list, readout);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(std::string(list[0].text),
              "camSpeed: [0.10],camDist: [30.00],Camx: [1.50],Camy: [-2.25],Tx: [41.50],Ty: [30.00],"
              "anglediff: [21.07],camAngle:[68.93], destAngle[90.00]");
    EXPECT_EQ(list[0].x, -0.45f);
    EXPECT_EQ(list[0].y, -0.31f);
    EXPECT_EQ(list[0].colour[0], 1.0f);
    EXPECT_EQ(list[0].colour[1], 1.0f);
    EXPECT_EQ(list[0].colour[2], 1.0f);
}

TEST_F(TextsTest, LongTextsAreCutAndAFullListTakesNoMore)
{
    std::string longText(400, 'x');
    const float red[3] = {1, 0, 0};
    list.add(0, 0, red, "%s", longText.c_str());
    EXPECT_EQ(std::string(list[0].text), longText.substr(0, 255));
    for (int i = 0; i < TextList::capacity + 10; ++i)
        list.add(0, 0, red, "%d", i);
    EXPECT_EQ(list.size(), TextList::capacity);
}

} // namespace

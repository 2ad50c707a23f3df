// The sound font trimmed to some programs: read back byte by byte and compared
// with the original, preset by preset and zone by zone.
#include "loopback_helpers.h"

#include "formats/sound_font_subset.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/resource.h>

namespace {

const char* const fontPath = "/usr/share/sounds/sf2/TimGM6mb.sf2";

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t le(const uint8_t* p, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// A font's presets as the synthesizer sees them: for each (bank, program, name),
// its zones, each zone its generators, the instrument generator replaced by the
// instrument's name and zones.
struct Font {
    size_t pdtaOffset = 0;
    std::map<std::string, std::vector<std::string>> presets;
};

Font parse(const std::vector<uint8_t>& f)
{
    Font font;
    std::map<std::string, std::pair<const uint8_t*, size_t>> t;
    for (size_t pos = 12; pos + 12 <= f.size();) {
        const size_t size = le(&f[pos + 4], 4);
        if (std::memcmp(&f[pos + 8], "pdta", 4) == 0) {
            font.pdtaOffset = pos;
            for (size_t p = pos + 12; p + 8 <= pos + 8 + size; p += 8 + le(&f[p + 4], 4))
                t[std::string(reinterpret_cast<const char*>(&f[p]), 4)] = {&f[p + 8], le(&f[p + 4], 4)};
        }
        pos += 8 + size + (size & 1);
    }
    auto zones = [&](const char* head, size_t headSize, size_t bagField, const char* bag, const char* gen, size_t i,
                     auto&& describeGen) {
        const uint8_t* h = t[head].first + i * headSize;
        std::string out;
        for (uint32_t b = le(h + bagField, 2); b < le(h + headSize + bagField, 2); ++b) {
            const uint8_t* bg = t[bag].first + 4 * b;
            out += "[";
            for (uint32_t g = le(bg, 2); g < le(bg + 4, 2); ++g)
                out += describeGen(t[gen].first + 4 * g) + " ";
            out += "mods " + std::to_string(le(bg + 6, 2) - le(bg + 2, 2)) + "]";
        }
        return out;
    };
    auto instrument = [&](uint32_t i) {
        std::string name(reinterpret_cast<const char*>(t["inst"].first + 22 * i), 20);
        return name.c_str() + zones("inst", 22, 20, "ibag", "igen", i, [](const uint8_t* g) {
                   return std::to_string(le(g, 2)) + "=" + std::to_string(le(g + 2, 2));
               });
    };
    const size_t presets = t["phdr"].second / 38 - 1;
    for (size_t i = 0; i < presets; ++i) {
        const uint8_t* h = t["phdr"].first + 38 * i;
        const std::string key = std::to_string(le(h + 22, 2)) + ":" + std::to_string(le(h + 20, 2)) + ":" +
                                std::string(reinterpret_cast<const char*>(h), 20).c_str();
        font.presets[key].push_back(zones("phdr", 38, 24, "pbag", "pgen", i, [&](const uint8_t* g) {
            return le(g, 2) == 41 ? "instrument " + instrument(le(g + 2, 2))
                                  : std::to_string(le(g, 2)) + "=" + std::to_string(le(g + 2, 2));
        }));
    }
    return font;
}

// The font at `path` trimmed to `programs`; null where make() refuses it.
std::shared_ptr<const formats::SoundFontSubset> trim(const std::string& path, const formats::ProgramSet& programs)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    return file ? formats::SoundFontSubset::make(file.get(), path, programs) : nullptr;
}

TEST(SoundFontSubset, KeepsThePresetsOfTheProgramsWithTheirInstrumentsIntact)
{
    const std::vector<uint8_t> original = readFile(fontPath);
    ASSERT_GT(original.size(), 1000u);
    formats::ProgramSet programs;
    for (int p : {0, 24, 39, 48, 73})
        programs.set(size_t(p));
    auto subset = trim(fontPath, programs);
    ASSERT_NE(subset, nullptr);

    std::vector<uint8_t> trimmed(subset->size());
    std::FILE* file = std::fopen(fontPath, "rb");
    ASSERT_TRUE(subset->read(file, 0, trimmed.data(), trimmed.size()));
    uint8_t tail[2];
    EXPECT_FALSE(subset->read(file, subset->size() - 1, tail, 2));
    std::fclose(file);
    EXPECT_EQ(le(&trimmed[4], 4), trimmed.size() - 8);
    EXPECT_LT(trimmed.size(), original.size());

    const Font before = parse(original), after = parse(trimmed);
    ASSERT_GT(before.pdtaOffset, 100u);
    // The information and the sample data are the original's.
    EXPECT_EQ(after.pdtaOffset, before.pdtaOffset);
    EXPECT_TRUE(std::equal(original.begin() + 8, original.begin() + long(before.pdtaOffset), trimmed.begin() + 8));

    std::map<std::string, std::vector<std::string>> expected;
    for (const auto& [key, zones] : before.presets) {
        const int program = std::stoi(key.substr(key.find(':') + 1));
        if (programs.test(size_t(program)))
            expected[key] = zones;
    }
    EXPECT_GE(expected.size(), 7u);   // melodic presets and drum kits among them
    EXPECT_EQ(subset->presetCount(), int(expected.size()));
    EXPECT_TRUE(after.presets == expected);
}

TEST(SoundFontSubset, RefusesWhatIsNoWellFormedFont)
{
    ScratchFolder folder;
    const std::string tone = folder.writeTone("tone.sf2", 440, 0.1);
    EXPECT_EQ(trim(tone, formats::ProgramSet().set(0)), nullptr);
    EXPECT_EQ(trim((folder.path() / "none.sf2").string(), formats::ProgramSet().set(0)), nullptr);

    std::vector<uint8_t> font = readFile(fontPath);
    ASSERT_GT(font.size(), 1000u);
    const std::string broken = (folder.path() / "broken.sf2").string();
    auto write = [&](size_t length) {
        std::ofstream(broken, std::ios::binary).write(reinterpret_cast<const char*>(font.data()), long(length));
        return trim(broken, formats::ProgramSet().set(0));
    };
    EXPECT_EQ(write(font.size() - 100), nullptr);   // cut off inside the preset data
    const size_t pdta = parse(font).pdtaOffset;
    font[pdta + 12 + 8 + 24] = 0xff;               // first preset's zones past the second's
    EXPECT_EQ(write(font.size()), nullptr);
    // Preset data claiming a gigabyte, more than any font's lists can, is refused without taking the memory.
    const uint32_t claimed = 1u << 30, riff = uint32_t(pdta) + claimed;
    std::memcpy(&font[4], &riff, 4);  // RIFF sizes are little-endian, as is the host
    std::memcpy(&font[pdta + 4], &claimed, 4);
    std::ofstream(broken, std::ios::binary).write(reinterpret_cast<const char*>(font.data()), long(pdta + 12));
    std::filesystem::resize_file(broken, pdta + 8 + claimed);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    EXPECT_EQ(trim(broken, formats::ProgramSet().set(0)), nullptr);
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 100 * 1024);  // kilobytes
}

} // namespace

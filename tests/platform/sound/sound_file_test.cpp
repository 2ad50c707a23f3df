#include "loopback_helpers.h"

#include "platform/sound/sound_file.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void le(std::vector<uint8_t>& v, uint32_t x, int n)
{
    for (int i = 0; i < n; ++i)
        v.push_back(uint8_t(x >> (8 * i)));
}

// A WAV header at 8 kHz for `channels` channels of `bits` bits in `format`
// (1 integer, 3 floating point), followed by `dataBytes` of samples.
std::vector<uint8_t> wavHeader(int format, int channels, int bits, size_t dataBytes)
{
    std::vector<uint8_t> b = {'R', 'I', 'F', 'F'};
    le(b, uint32_t(36 + dataBytes), 4);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    le(b, 16, 4);
    le(b, uint32_t(format), 2);
    le(b, uint32_t(channels), 2);
    le(b, 8000, 4);
    le(b, uint32_t(8000 * channels * bits / 8), 4);
    le(b, uint32_t(channels * bits / 8), 2);
    le(b, uint32_t(bits), 2);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    le(b, uint32_t(dataBytes), 4);
    return b;
}

// An 8-bit stereo WAV holding the given frames (left, right).
std::vector<uint8_t> stereo8(const std::vector<std::pair<uint8_t, uint8_t>>& frames)
{
    std::vector<uint8_t> b = wavHeader(1, 2, 8, 2 * frames.size());
    for (auto [l, r] : frames) {
        b.push_back(l);
        b.push_back(r);
    }
    return b;
}

TEST(SoundFile, ChannelsAreMixedDownToOne)
{
    ScratchFolder folder;
    const auto file = folder.path() / "stereo.wav";
    writeBytes(file, stereo8({{192, 192}, {255, 1}, {128, 192}}));
    platform::MonoSound sound;
    ASSERT_TRUE(platform::readMonoSound(file.string(), sound));
    EXPECT_EQ(sound.sampleRate, 8000);
    ASSERT_EQ(sound.samples.size(), 3u);
    EXPECT_EQ(sound.samples[0], 64 * 256);
    EXPECT_EQ(sound.samples[1], 0);
    EXPECT_EQ(sound.samples[2], 32 * 256);
}

TEST(SoundFile, FloatingPointSamplesAreScaledNotCut)
{
    ScratchFolder folder;
    const float samples[] = {0.5f, -0.25f, 1.0f};
    std::vector<uint8_t> bytes = wavHeader(3, 1, 32, sizeof samples);
    const auto* raw = reinterpret_cast<const uint8_t*>(samples);
    bytes.insert(bytes.end(), raw, raw + sizeof samples);
    writeBytes(folder.path() / "float.wav", bytes);
    platform::MonoSound sound;
    ASSERT_TRUE(platform::readMonoSound((folder.path() / "float.wav").string(), sound));
    ASSERT_EQ(sound.samples.size(), 3u);
    EXPECT_NEAR(sound.samples[0], 16384, 2);
    EXPECT_NEAR(sound.samples[1], -8192, 2);
    EXPECT_GE(sound.samples[2], 32766);
}

// -20 dB of full scale reads as -20 dB in every sample format: floats are not scaled to their loudest.
TEST(SoundFile, SamplesAreReadAgainstFullScale)
{
    ScratchFolder folder;
    platform::MonoSound sound;
    for (const auto& [format, bits] : {std::pair{1, 16}, {1, 24}, {3, 32}}) {
        std::vector<uint8_t> b = wavHeader(format, 1, bits, size_t(bits) / 4);
        for (const float v : {0.1f, -0.1f})
            le(b, format == 3 ? std::bit_cast<uint32_t>(v) : uint32_t(std::lround(v * (1 << (bits - 1)))), bits / 8);
        writeBytes(folder.path() / "level.wav", b);
        EXPECT_TRUE(platform::readMonoSound((folder.path() / "level.wav").string(), sound));
        EXPECT_EQ(sound.samples, (std::vector<int16_t>{3277, -3277})) << bits << " bits";
    }
}

TEST(SoundFile, MissingEmptyAndGarbledFilesAreRefused)
{
    ScratchFolder folder;
    platform::MonoSound sound;
    EXPECT_FALSE(platform::readMonoSound((folder.path() / "missing.wav").string(), sound));
    writeBytes(folder.path() / "empty.wav", stereo8({}));
    EXPECT_FALSE(platform::readMonoSound((folder.path() / "empty.wav").string(), sound));
    writeBytes(folder.path() / "noise.wav", {'R', 'I', 'F', 'F', 1, 2, 3, 4, 5, 6, 7});
    EXPECT_FALSE(platform::readMonoSound((folder.path() / "noise.wav").string(), sound));
    // Noise that happens to look like MPEG frames is refused without a word.
    std::vector<uint8_t> frames;
    for (int i = 0; i < 64; ++i)
        frames.insert(frames.end(), {0xFF, 0xFB, 0x90, 0x64, uint8_t(i), 0x00, 0x42, 0x17});
    writeBytes(folder.path() / "frames.wav", frames);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::readMonoSound((folder.path() / "frames.wav").string(), sound));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // A FIFO is refused without waiting, a file larger than any sound without reading it.
    const std::string fifo = (folder.path() / "fifo.wav").string(), big = (folder.path() / "big.wav").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    alarm(60);  // a read that waits on the FIFO ends the tests instead of hanging them
    EXPECT_FALSE(platform::readMonoSound(fifo, sound));
    alarm(0);
    writeBytes(big, stereo8({{192, 192}}));
    for (const uint64_t size : {platform::maxSoundFileBytes, platform::maxSoundFileBytes + 1}) {
        std::filesystem::resize_file(big, size);
        EXPECT_EQ(platform::readMonoSound(big, sound), size == platform::maxSoundFileBytes) << size;
    }
}

TEST(SoundFile, AHeaderClaimingALongSoundTakesOnlyWhatTheFileHolds)
{
    // 42 bytes of FLAC whose stream information claims 86 million frames of
    // eight channels (1.4 GB of samples) and whose audio is missing.
    std::vector<uint8_t> bytes = {'f', 'L', 'a', 'C', 0x80, 0, 0, 34, 0x10, 0, 0x10, 0, 0, 0, 0, 0, 0, 0};
    const uint64_t info = (uint64_t{44100} << 44) | (uint64_t{7} << 41) | (uint64_t{15} << 36) | 86000000u;
    for (int shift = 56; shift >= 0; shift -= 8)
        bytes.push_back(uint8_t(info >> shift));
    bytes.resize(bytes.size() + 16);  // the checksum
    ScratchFolder folder;
    writeBytes(folder.path() / "claims.flac", bytes);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long peakBefore = usage.ru_maxrss;
    platform::MonoSound sound;
    EXPECT_FALSE(platform::readMonoSound((folder.path() / "claims.flac").string(), sound));
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss - peakBefore, 100 * 1024);  // kilobytes
}

} // namespace

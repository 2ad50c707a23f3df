// A SoundFont 2 file seen with only some of its presets. The synthesizer keeps a
// table entry for every zone of every instrument of a font it loads (about 2 KB
// each, some 4 MB for a General MIDI font), while the tunes use a dozen
// instruments: offered only the presets of the programs they select, it keeps a
// fraction of that, and the notes sound the same.
//
// The trimmed file is the original with its preset tables rebuilt: the header and
// the table chunk are held in memory, and every other byte (the sample data
// above all) is read from the original file when asked for.
#pragma once

#include <bitset>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace formats {

// Program numbers, 0 to 127.
using ProgramSet = std::bitset<128>;

// The largest sound font read: a SoundFont 2 file is one RIFF chunk, whose size
// field has 32 bits.
constexpr uint64_t maxSoundFontBytes = (uint64_t{1} << 32) + 8;

// The largest preset data chunk read into memory. Its lists are indexed by
// 16-bit numbers, and 65536 records of every one of them come to 9.3 MB.
constexpr uint64_t maxPresetDataBytes = uint64_t{16} << 20;

class SoundFontSubset {
public:
    // Keeps the presets of the given programs in every bank (melodic banks and
    // drum kits alike), the instruments they use, and all the samples, of the
    // font `original`, open for reading, whose file is `path` (read() is given
    // that file again). Null when the file cannot be read, is larger than
    // maxSoundFontBytes or is not a well-formed SoundFont 2 file.
    static std::shared_ptr<const SoundFontSubset> make(std::FILE* original, const std::string& path,
                                                       const ProgramSet& programs);

    const std::string& path() const { return path_; }
    uint64_t size() const { return size_; }
    int presetCount() const { return presets_; }

    // Copies `count` bytes from `offset` of the trimmed file; `original` is the
    // original file, open for reading. False past the end or when reading fails.
    bool read(std::FILE* original, uint64_t offset, void* out, size_t count) const;

private:
    // A run of the trimmed file: bytes held here, or bytes of the original file.
    struct Piece {
        uint64_t at = 0;
        uint64_t length = 0;
        uint64_t originalOffset = 0;
        std::vector<uint8_t> bytes;   // empty: read from the original file
    };

    std::string path_;
    uint64_t size_ = 0;
    int presets_ = 0;
    std::vector<Piece> pieces_;
};

} // namespace formats

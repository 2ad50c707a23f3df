#include "formats/sound_font_subset.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace formats {

namespace {

constexpr uint16_t instrumentGenerator = 41;

uint16_t u16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

uint32_t u32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void put16(uint8_t* p, size_t value)
{
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
}

void put32(uint8_t* p, uint64_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(value >> (8 * i));
}

bool readAt(std::FILE* file, uint64_t offset, void* out, size_t count)
{
    return fseeko(file, off_t(offset), SEEK_SET) == 0 && std::fread(out, 1, count, file) == count;
}

// One of the preset data's record lists; its last record is the terminal one.
struct Table {
    const uint8_t* data = nullptr;
    size_t size = 0;    // bytes per record
    size_t count = 0;   // records, the terminal one included

    const uint8_t* at(size_t i) const { return data + i * size; }
};

// The nine lists in the order they are written.
constexpr std::array<const char*, 9> tableNames = {"phdr", "pbag", "pmod", "pgen", "inst",
                                                   "ibag", "imod", "igen", "shdr"};
constexpr std::array<size_t, 9> recordSizes = {38, 4, 10, 4, 22, 4, 10, 4, 46};
enum { PHDR, PBAG, PMOD, PGEN, INST, IBAG, IMOD, IGEN, SHDR };

// Copies a list of headers with bags (presets or instruments) for the kept
// entries, and their bags with the generators and modulators these point to;
// `remap` may rewrite a generator record. False when an index is out of order or
// out of range.
template <typename Remap>
bool copyZones(const Table& headers, size_t bagField, const std::vector<size_t>& kept, const Table& bags,
               const Table& mods, const Table& gens, std::vector<uint8_t> out[4], Remap remap)
{
    std::vector<uint8_t>& headerOut = out[0];
    std::vector<uint8_t>& bagOut = out[1];
    std::vector<uint8_t>& modOut = out[2];
    std::vector<uint8_t>& genOut = out[3];
    auto records = [](const std::vector<uint8_t>& v, size_t size) { return v.size() / size; };
    for (size_t i : kept) {
        const size_t firstBag = u16(headers.at(i) + bagField), endBag = u16(headers.at(i + 1) + bagField);
        if (firstBag > endBag || endBag >= bags.count)
            return false;
        headerOut.insert(headerOut.end(), headers.at(i), headers.at(i) + headers.size);
        put16(&headerOut[headerOut.size() - headers.size + bagField], records(bagOut, bags.size));
        for (size_t b = firstBag; b < endBag; ++b) {
            const size_t g0 = u16(bags.at(b)), g1 = u16(bags.at(b + 1));
            const size_t m0 = u16(bags.at(b) + 2), m1 = u16(bags.at(b + 1) + 2);
            if (g0 > g1 || g1 >= gens.count || m0 > m1 || m1 >= mods.count)
                return false;
            uint8_t bag[4];
            put16(bag, records(genOut, gens.size));
            put16(bag + 2, records(modOut, mods.size));
            bagOut.insert(bagOut.end(), bag, bag + 4);
            for (size_t g = g0; g < g1; ++g) {
                uint8_t gen[4];
                std::memcpy(gen, gens.at(g), 4);
                if (!remap(gen))
                    return false;
                genOut.insert(genOut.end(), gen, gen + 4);
            }
            modOut.insert(modOut.end(), mods.at(m0), mods.at(m1));
        }
    }
    // The terminal records, pointing past the last entries.
    const Table* tables[4] = {&headers, &bags, &mods, &gens};
    for (int t = 0; t < 4; ++t)
        out[t].insert(out[t].end(), tables[t]->at(tables[t]->count - 1), tables[t]->at(tables[t]->count));
    put16(&headerOut[headerOut.size() - headers.size + bagField], records(bagOut, bags.size) - 1);
    put16(&bagOut[bagOut.size() - 4], records(genOut, gens.size) - 1);
    put16(&bagOut[bagOut.size() - 2], records(modOut, mods.size) - 1);
    return true;
}

// Whether every header's zones follow the previous header's, within the bags.
bool zonesInOrder(const Table& headers, size_t bagField, const Table& bags)
{
    for (size_t i = 0; i + 1 < headers.count; ++i)
        if (u16(headers.at(i) + bagField) > u16(headers.at(i + 1) + bagField))
            return false;
    return u16(headers.at(headers.count - 1) + bagField) < bags.count;
}

// Where a header's fields lie: a preset header is a 20-byte name, then its
// program, its bank and its first bag; an instrument header a 20-byte name, then
// its first bag.
constexpr size_t presetProgramField = 20;
constexpr size_t presetBagField = 24;
constexpr size_t instrumentBagField = 20;

using Tables = std::array<Table, tableNames.size()>;
// Headers, bags, modulators and generators, copied for the kept entries.
using ZoneLists = std::vector<uint8_t>[4];

// The nine lists of the preset data chunk (the bytes after "LIST" and its size);
// false when one is missing, given twice or not whole records, or when the
// headers' zones are out of order.
bool findTables(const std::vector<uint8_t>& pdta, Tables& tables)
{
    size_t pos = 4;   // past "pdta"
    while (pos + 8 <= pdta.size()) {
        const uint32_t size = u32(&pdta[pos + 4]);
        if (size > pdta.size() - pos - 8)
            return false;
        for (size_t t = 0; t < tableNames.size(); ++t) {
            if (std::memcmp(&pdta[pos], tableNames[t], 4) == 0) {
                if (tables[t].data || size % recordSizes[t] != 0 || size == 0)
                    return false;
                tables[t] = {&pdta[pos + 8], recordSizes[t], size / recordSizes[t]};
            }
        }
        pos += 8 + size + (size & 1);
    }
    for (const Table& t : tables)
        if (!t.data)
            return false;
    return zonesInOrder(tables[PHDR], presetBagField, tables[PBAG]) &&
           zonesInOrder(tables[INST], instrumentBagField, tables[IBAG]);
}

// The presets of the given programs, in every bank.
std::vector<size_t> presetsOf(const Table& headers, const ProgramSet& programs)
{
    std::vector<size_t> kept;
    for (size_t i = 0; i + 1 < headers.count; ++i) {
        const size_t program = u16(headers.at(i) + presetProgramField);
        if (program < programs.size() && programs.test(program))
            kept.push_back(i);
    }
    return kept;
}

// Copies the kept presets' zones; `used` marks with 0 (and leaves SIZE_MAX
// elsewhere) the instruments they name.
bool copyPresets(const Tables& tables, const std::vector<size_t>& kept, ZoneLists& out, std::vector<size_t>& used)
{
    const size_t instruments = tables[INST].count - 1;
    used.assign(instruments, SIZE_MAX);
    return copyZones(tables[PHDR], presetBagField, kept, tables[PBAG], tables[PMOD], tables[PGEN], out,
                     [&](uint8_t* gen) {
                         if (u16(gen) != instrumentGenerator)
                             return true;
                         if (u16(gen + 2) >= instruments)
                             return false;
                         used[u16(gen + 2)] = 0;
                         return true;
                     });
}

// The instruments marked used, numbered anew in their old order; the copied
// preset generators take the new numbers (the indices were checked when they
// were copied), the terminal record is left as it was.
std::vector<size_t> renumberInstruments(std::vector<size_t>& newIndex, std::vector<uint8_t>& presetGens)
{
    std::vector<size_t> kept;
    for (size_t j = 0; j < newIndex.size(); ++j) {
        if (newIndex[j] != SIZE_MAX) {
            newIndex[j] = kept.size();
            kept.push_back(j);
        }
    }
    for (size_t g = 0; g + 4 < presetGens.size(); g += 4)
        if (u16(&presetGens[g]) == instrumentGenerator)
            put16(&presetGens[g + 2], newIndex[u16(&presetGens[g + 2])]);
    return kept;
}

// The chunk ("LIST" ... "pdta" ...) of the copied lists and the original
// sample headers.
std::vector<uint8_t> writePresetData(const ZoneLists& presets, const ZoneLists& instruments, const Table& samples)
{
    const std::vector<uint8_t> sampleHeaders(samples.data, samples.at(samples.count));
    const std::vector<uint8_t>* parts[9] = {&presets[0],     &presets[1],     &presets[2],
                                            &presets[3],     &instruments[0], &instruments[1],
                                            &instruments[2], &instruments[3], &sampleHeaders};
    std::vector<uint8_t> out(12);
    std::memcpy(&out[0], "LIST", 4);
    std::memcpy(&out[8], "pdta", 4);
    for (size_t t = 0; t < tableNames.size(); ++t) {
        uint8_t header[8];
        std::memcpy(header, tableNames[t], 4);
        put32(header + 4, parts[t]->size());
        out.insert(out.end(), header, header + 8);
        out.insert(out.end(), parts[t]->begin(), parts[t]->end());
    }
    put32(&out[4], out.size() - 8);
    return out;
}

// The rebuilt preset data chunk, or empty when the original's is malformed.
std::vector<uint8_t> trimPresetData(const std::vector<uint8_t>& pdta, const ProgramSet& programs, int& presets)
{
    Tables tables;
    if (!findTables(pdta, tables))
        return {};
    const std::vector<size_t> keptPresets = presetsOf(tables[PHDR], programs);
    presets = int(keptPresets.size());

    ZoneLists presetOut, instrumentOut;
    std::vector<size_t> instrumentIndex;
    if (!copyPresets(tables, keptPresets, presetOut, instrumentIndex))
        return {};
    const std::vector<size_t> keptInstruments = renumberInstruments(instrumentIndex, presetOut[3]);
    if (!copyZones(tables[INST], instrumentBagField, keptInstruments, tables[IBAG], tables[IMOD], tables[IGEN],
                   instrumentOut, [](uint8_t*) { return true; }))
        return {};
    return writePresetData(presetOut, instrumentOut, tables[SHDR]);
}

} // namespace

std::shared_ptr<const SoundFontSubset> SoundFontSubset::make(std::FILE* original, const std::string& path,
                                                              const ProgramSet& programs)
{
    if (!original || fseeko(original, 0, SEEK_END) != 0)
        return nullptr;
    const auto endOffset = ftello(original);
    if (endOffset < 0 || uint64_t(endOffset) > maxSoundFontBytes)
        return nullptr;
    const uint64_t fileSize = uint64_t(endOffset);
    uint8_t header[12];
    if (!readAt(original, 0, header, 12) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "sfbk", 4) != 0)
        return nullptr;
    const uint64_t end = std::min<uint64_t>(fileSize, 8 + uint64_t(u32(header + 4)));

    auto subset = std::shared_ptr<SoundFontSubset>(new SoundFontSubset);
    subset->path_ = path;
    Piece riff;
    riff.length = 12;
    riff.bytes.assign(header, header + 12);
    subset->pieces_.push_back(std::move(riff));
    uint64_t at = 12;
    bool trimmed = false;
    for (uint64_t pos = 12; pos + 8 <= end;) {
        uint8_t chunk[12];
        if (!readAt(original, pos, chunk, 12))
            return nullptr;
        const uint64_t size = u32(chunk + 4);
        if (size > end - pos - 8)
            return nullptr;
        const uint64_t length = std::min<uint64_t>(8 + size + (size & 1), end - pos);
        Piece piece;
        piece.at = at;
        if (std::memcmp(chunk, "LIST", 4) == 0 && std::memcmp(chunk + 8, "pdta", 4) == 0) {
            if (trimmed || size < 4 || size > maxPresetDataBytes)
                return nullptr;
            std::vector<uint8_t> pdta(size);
            if (!readAt(original, pos + 8, pdta.data(), size))
                return nullptr;
            piece.bytes = trimPresetData(pdta, programs, subset->presets_);
            if (piece.bytes.empty())
                return nullptr;
            piece.length = piece.bytes.size();
            trimmed = true;
        } else {
            piece.length = length;
            piece.originalOffset = pos;
        }
        at += piece.length;
        subset->pieces_.push_back(std::move(piece));
        pos += length;
    }
    if (!trimmed)
        return nullptr;
    subset->size_ = at;
    put32(&subset->pieces_[0].bytes[4], at - 8);
    return subset;
}

bool SoundFontSubset::read(std::FILE* original, uint64_t offset, void* out, size_t count) const
{
    if (offset > size_ || count > size_ - offset)
        return false;
    auto* dest = static_cast<uint8_t*>(out);
    for (const Piece& piece : pieces_) {
        if (count == 0)
            break;
        if (offset >= piece.at + piece.length)
            continue;
        const uint64_t inside = offset - piece.at;
        const size_t n = size_t(std::min<uint64_t>(count, piece.length - inside));
        if (!piece.bytes.empty())
            std::memcpy(dest, piece.bytes.data() + inside, n);
        else if (!readAt(original, piece.originalOffset + inside, dest, n))
            return false;
        dest += n;
        offset += n;
        count -= n;
    }
    return count == 0;
}

} // namespace formats

// Fuzzes the stand-in engine's chunk-file reader with whole files: a file is
// accepted exactly when its chunks fill it, every chunk found lies inside it,
// an accepted file is written back byte for byte by the chunk writer, and a
// refused file leaves nothing behind to be found.
#include <string.h>

#include <optional>
#include <string>
#include <vector>

#include "ChunkFile.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

using chunkfile::ChunkIndex;
using chunkfile::ChunkSpan;

struct Chunk {
    std::string code;
    size_t offset;
    uint32_t size;
};

uint32_t NumberAt(const uint8_t* at)
{
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
}

// The chunks as the format lays them out after the magic "OCHK": four code
// bytes, a 32-bit little-endian size, that many data bytes. False unless the
// magic is there and the chunks end exactly at the end of the file.
bool Walk(const uint8_t* data, size_t size, std::vector<Chunk>& chunks)
{
    if (size < 4 || memcmp(data, "OCHK", 4) != 0) return false;
    size_t at = 4;
    while (at < size) {
        if (size - at < 8) return false;
        Chunk chunk{std::string(reinterpret_cast<const char*>(data + at), 4), at + 8,
                    NumberAt(data + at + 4)};
        if (chunk.size > size - chunk.offset) return false;
        chunks.push_back(chunk);
        at = chunk.offset + chunk.size;
    }
    return true;
}

bool Accepts(const uint8_t* data, size_t size)
{
    ChunkIndex index;
    std::string error;
    bool accepted = index.Parse(data, size, error);
    FUZZ_CHECK(accepted == error.empty());
    return accepted;
}

// Every code of the file finds its first chunk; codes it lacks find nothing.
void CheckFinds(const ChunkIndex& index, const std::vector<Chunk>& chunks, size_t size)
{
    std::vector<std::string> codes = {"SCFP", "SCTI", "SCQC", "SCSP", "ZZZZ"};
    for (const Chunk& chunk : chunks) codes.push_back(chunk.code);
    for (const std::string& code : codes) {
        if (code.find('\0') != std::string::npos) continue;  // no caller can name it
        std::optional<ChunkSpan> found = index.Find(code.c_str());
        const Chunk* first = nullptr;
        for (const Chunk& chunk : chunks)
            if (chunk.code == code) {
                first = &chunk;
                break;
            }
        FUZZ_CHECK(found.has_value() == (first != nullptr));
        if (!found) continue;
        FUZZ_CHECK(found->offset == first->offset && found->size == first->size);
        FUZZ_CHECK(found->offset + found->size <= size);
    }
    for (const char* badCode : {"", "ABC", "SCFPX"}) FUZZ_CHECK(!index.Find(badCode));
}

// The writer, given the same chunks in the same order, writes the same bytes;
// a code with a zero byte in it cannot be written at all.
void CheckRoundTrip(const uint8_t* data, size_t size, const std::vector<Chunk>& chunks)
{
    chunkfile::ChunkWriter writer;
    bool writable = true;
    for (const Chunk& chunk : chunks) {
        writable = writable && chunk.code.find('\0') == std::string::npos;
        writer.BeginChunk(chunk.code.c_str());
        writer.DeclareSize(chunk.size);
        writer.Append(data + chunk.offset, chunk.size);
    }
    std::vector<uint8_t> written;
    std::string error;
    FUZZ_CHECK(writer.Finish(written, error) == writable);
    if (writable) FUZZ_CHECK(written.size() == size && memcmp(written.data(), data, size) == 0);
}

// A file cut short is a whole file only where a chunk ends.
void CheckCuts(const uint8_t* data, size_t size, const std::vector<Chunk>& chunks)
{
    if (size <= 4) return;
    for (size_t cut : {size - 1, size / 2, 4 + data[size - 1] % (size - 4)}) {
        bool boundary = cut == 4;
        for (const Chunk& chunk : chunks) boundary = boundary || chunk.offset + chunk.size == cut;
        FUZZ_CHECK(Accepts(data, cut) == (cut >= 4 && boundary));
    }
}

std::vector<uint8_t> SettingsFile()
{
    chunkfile::ChunkWriter writer;
    const char path[259] = "demo.project";
    writer.BeginChunk("SCFP");
    writer.DeclareSize(sizeof path);
    writer.Append(path, sizeof path);
    writer.BeginChunk("SCTI");
    writer.DeclareSize(4);
    writer.Append("\x14\0\0\0", 4);
    std::vector<uint8_t> bytes;
    std::string error;
    FUZZ_CHECK(writer.Finish(bytes, error));
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::vector<uint8_t> settings = SettingsFile();
    std::vector<Chunk> chunks;
    bool whole = size <= chunkfile::maxFileSize && Walk(data, size, chunks);

    // The index is reused after a file it accepted, as a loader reopening.
    ChunkIndex index;
    std::string error;
    FUZZ_CHECK(index.Parse(settings.data(), settings.size(), error));
    bool accepted = index.Parse(data, size, error);
    FUZZ_CHECK(accepted == whole);
    FUZZ_CHECK(Accepts(data, size) == accepted);
    if (!accepted) {
        // Nothing of a damaged file, and nothing of the one before, is found.
        FUZZ_CHECK(!error.empty());
        for (const char* code : {"SCFP", "SCTI", "SCQC", "SCSP"}) FUZZ_CHECK(!index.Find(code));
        return 0;
    }
    CheckFinds(index, chunks, size);
    CheckRoundTrip(data, size, chunks);
    CheckCuts(data, size, chunks);
    return 0;
}

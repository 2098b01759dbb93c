// The engine's chunk-file format, used for the viewer's settings file:
// the magic "OCHK", then chunks one after another, each a four-character
// code, its data size (32-bit little-endian) and that many data bytes.
// Portable: the Win32 FileLoader and FileSaver only move these bytes to disk.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <optional>
#include <string>
#include <vector>

namespace chunkfile {

constexpr char magic[4] = {'O', 'C', 'H', 'K'};
constexpr size_t codeLength = 4;
constexpr size_t chunkHeaderSize = codeLength + 4;
// Larger files are refused unread: a settings file is a few hundred bytes.
constexpr size_t maxFileSize = 1 << 20;

// True when code has exactly four characters before its terminator.
bool IsChunkCode(const char* code);

// Collects chunks and produces the file's bytes. Every chunk's data must
// match the size declared for it; the first mistake is kept and makes
// Finish fail, so a half-right file is never written.
class ChunkWriter {
public:
    void BeginChunk(const char* code);
    void DeclareSize(uint32_t byteCount);
    void Append(const void* data, uint32_t byteCount);
    // The whole file in bytes; false with error set after any mistake.
    bool Finish(std::vector<uint8_t>& bytes, std::string& error);

private:
    void Fail(const std::string& message);
    bool CloseChunk();

    std::vector<uint8_t> bytes_ = std::vector<uint8_t>(magic, magic + codeLength);
    bool inChunk_ = false;
    size_t chunkStart_ = 0;
    std::optional<uint32_t> declaredSize_;
    std::string error_;
};

// Where one chunk's data lies inside the file's bytes.
struct ChunkSpan {
    size_t offset;
    uint32_t size;
};

// The chunks of a file, checked whole: Parse accepts only a file whose magic
// is right and whose chunks exactly fill it.
class ChunkIndex {
public:
    // False, with error set, for anything that is not a whole chunk file.
    bool Parse(const uint8_t* data, size_t size, std::string& error);
    // The first chunk with this code; nothing if there is none.
    std::optional<ChunkSpan> Find(const char* code) const;

private:
    struct Entry {
        char code[codeLength];
        ChunkSpan span;
    };
    std::vector<Entry> entries_;
};

}  // namespace chunkfile

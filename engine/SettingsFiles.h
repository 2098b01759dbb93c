// The engine's chunk-file objects that the viewer's settings use: a
// FileLoader and a FileSaver over the format of core/ChunkFile.h.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ChunkFile.h"
#include "FileBytes.h"
#include "common/EngineInterface.h"

class ChunkFileLoader final : public FileLoader {
public:
    void Destroy(int flags) override;
    // False for a missing, unreadable, oversized or damaged file: nothing
    // of a damaged file is trusted, so every chunk of it is "not found".
    bool Open(const char* path) override;
    uint32_t ChunkSize() override;
    // Copies the chunk last found; nothing when the last FindChunk failed.
    void ReadChunk(void* destination) override;
    bool FindChunk(const char* code) override;

private:
    std::vector<uint8_t> bytes_;
    chunkfile::ChunkIndex index_;
    std::optional<chunkfile::ChunkSpan> found_;
};

// Collects the chunks in memory; Finish writes the file whole, or leaves the
// old file untouched when the chunks were wrong or Open failed.
class ChunkFileSaver final : public FileSaver {
public:
    bool Open(const char* path, int flags) override;
    void BeginChunk(const char* code) override;
    void SetChunkSize(uint32_t byteCount) override;
    void WriteData(const void* source, uint32_t byteCount) override;
    void Finish() override;

private:
    void Save();

    FileReplacement file_;
    bool open_ = false;
    chunkfile::ChunkWriter writer_;
};

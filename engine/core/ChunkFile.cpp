// Writing and checking the chunk-file format (see ChunkFile.h).
#include "ChunkFile.h"

#include <string.h>

namespace chunkfile {

namespace {

void PutSize(std::vector<uint8_t>& bytes, size_t at, uint32_t size)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(size >> (8 * i));
}

uint32_t GetSize(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

std::string CodeText(const char* code) { return std::string(code, strnlen(code, codeLength)); }

}  // namespace

bool IsChunkCode(const char* code)
{
    return code != nullptr && strnlen(code, codeLength + 1) == codeLength;
}

void ChunkWriter::Fail(const std::string& message)
{
    if (error_.empty()) error_ = message;
}

bool ChunkWriter::CloseChunk()
{
    if (!inChunk_) return true;
    inChunk_ = false;
    size_t written = bytes_.size() - chunkStart_ - chunkHeaderSize;
    std::string code(reinterpret_cast<const char*>(&bytes_[chunkStart_]), codeLength);
    if (!declaredSize_) {
        Fail("chunk " + code + " has no declared size");
        return false;
    }
    if (written != *declaredSize_) {
        Fail("chunk " + code + " declared " + std::to_string(*declaredSize_) + " bytes but " +
             std::to_string(written) + " were written");
        return false;
    }
    PutSize(bytes_, chunkStart_ + codeLength, *declaredSize_);
    return true;
}

void ChunkWriter::BeginChunk(const char* code)
{
    CloseChunk();
    if (!IsChunkCode(code)) {
        Fail("chunk code \"" + (code ? CodeText(code) : std::string()) +
             "\" is not four characters");
        return;
    }
    inChunk_ = true;
    chunkStart_ = bytes_.size();
    declaredSize_.reset();
    bytes_.insert(bytes_.end(), code, code + codeLength);
    bytes_.insert(bytes_.end(), 4, 0);
}

void ChunkWriter::DeclareSize(uint32_t byteCount)
{
    if (!inChunk_) return Fail("chunk size declared outside a chunk");
    if (declaredSize_) return Fail("chunk size declared twice");
    declaredSize_ = byteCount;
}

void ChunkWriter::Append(const void* data, uint32_t byteCount)
{
    if (!inChunk_) return Fail("data written outside a chunk");
    if (byteCount == 0) return;
    if (data == nullptr) return Fail("data written from a null source");
    if (bytes_.size() + byteCount > maxFileSize) return Fail("file larger than the format allows");
    const uint8_t* source = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), source, source + byteCount);
}

bool ChunkWriter::Finish(std::vector<uint8_t>& bytes, std::string& error)
{
    CloseChunk();
    if (!error_.empty()) {
        error = error_;
        return false;
    }
    bytes = bytes_;
    return true;
}

bool ChunkIndex::Parse(const uint8_t* data, size_t size, std::string& error)
{
    entries_.clear();
    if (size > maxFileSize) {
        error = "file larger than the format allows";
        return false;
    }
    if (size < codeLength || memcmp(data, magic, codeLength) != 0) {
        error = "not a chunk file (magic missing)";
        return false;
    }
    std::vector<Entry> found;
    size_t at = codeLength;
    while (at < size) {
        if (size - at < chunkHeaderSize) {
            error = "chunk header cut short at byte " + std::to_string(at);
            return false;
        }
        Entry entry;
        memcpy(entry.code, data + at, codeLength);
        entry.span.size = GetSize(data + at + codeLength);
        entry.span.offset = at + chunkHeaderSize;
        if (entry.span.size > size - entry.span.offset) {
            error = "chunk " + CodeText(entry.code) + " runs past the end of the file";
            return false;
        }
        found.push_back(entry);
        at = entry.span.offset + entry.span.size;
    }
    entries_ = std::move(found);
    return true;
}

std::optional<ChunkSpan> ChunkIndex::Find(const char* code) const
{
    if (!IsChunkCode(code)) return std::nullopt;
    for (const Entry& entry : entries_) {
        if (memcmp(entry.code, code, codeLength) == 0) return entry.span;
    }
    return std::nullopt;
}

}  // namespace chunkfile

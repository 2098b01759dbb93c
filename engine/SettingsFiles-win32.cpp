// The engine's FileLoader and FileSaver (see SettingsFiles.h); each call is
// traced.
#include "SettingsFiles.h"

#include <string.h>

#include "Trace.h"

void ChunkFileLoader::Destroy(int flags)
{
    EngineTrace("Destroy", "%d", flags);
    delete this;
}

bool ChunkFileLoader::Open(const char* path)
{
    EngineTrace("Open", "%s", path ? path : "(null)");
    found_.reset();
    std::string error;
    bool ok = path != nullptr && ReadFileBytes(path, chunkfile::maxFileSize, bytes_) &&
              index_.Parse(bytes_.data(), bytes_.size(), error);
    if (!ok) {
        if (!error.empty()) EngineTrace("FileError", "%s: %s", path, error.c_str());
        bytes_.clear();
        index_ = chunkfile::ChunkIndex();
    }
    return ok;
}

uint32_t ChunkFileLoader::ChunkSize() { return found_ ? found_->size : 0; }

void ChunkFileLoader::ReadChunk(void* destination)
{
    EngineTrace("ReadChunk");
    if (found_ && destination != nullptr && found_->size > 0)
        memcpy(destination, bytes_.data() + found_->offset, found_->size);
}

bool ChunkFileLoader::FindChunk(const char* code)
{
    EngineTrace("FindChunk", "%.4s", code ? code : "");
    found_ = index_.Find(code);
    return found_.has_value();
}

bool ChunkFileSaver::Open(const char* path, int flags)
{
    EngineTrace("Open", "%s %d", path ? path : "(null)", flags);
    open_ = path != nullptr && file_.Begin(path);
    return open_;
}

void ChunkFileSaver::BeginChunk(const char* code)
{
    EngineTrace("BeginChunk", "%.4s", code ? code : "");
    writer_.BeginChunk(code);
}

void ChunkFileSaver::SetChunkSize(uint32_t byteCount)
{
    EngineTrace("SetChunkSize", "%lu", static_cast<unsigned long>(byteCount));
    writer_.DeclareSize(byteCount);
}

void ChunkFileSaver::WriteData(const void* source, uint32_t byteCount)
{
    EngineTrace("WriteData", "%lu", static_cast<unsigned long>(byteCount));
    writer_.Append(source, byteCount);
}

void ChunkFileSaver::Finish()
{
    EngineTrace("Finish");
    if (open_) Save();
    delete this;
}

void ChunkFileSaver::Save()
{
    std::vector<uint8_t> bytes;
    std::string error;
    if (!writer_.Finish(bytes, error))
        EngineTrace("FileError", "not saved: %s", error.c_str());
    else if (!file_.Commit(bytes))
        EngineTrace("FileError", "not saved: the file could not be written");
}

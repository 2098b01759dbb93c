// Recording stand-ins for the engine's chunk-file objects and core: they log
// every call in order and keep chunks in memory, so the settings file logic
// can be checked call by call and a saved file read back.
#pragma once

#include "common/EngineInterface.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

using Chunks = std::map<std::string, std::vector<uint8_t>>;

class FakeLoader : public FileLoader {
public:
    FakeLoader(std::vector<std::string>& log, const Chunks& chunks, bool opens)
        : log_(log), chunks_(chunks), opens_(opens) {}
    void Destroy(int flags) override { log_.push_back("Destroy " + std::to_string(flags)); }
    bool Open(const char* path) override
    {
        log_.push_back(std::string("Open ") + path);
        return opens_;
    }
    uint32_t ChunkSize() override { return static_cast<uint32_t>(chunks_.at(found_).size()); }
    void ReadChunk(void* destination) override
    {
        log_.push_back("ReadChunk " + found_);
        const std::vector<uint8_t>& data = chunks_.at(found_);
        if (!data.empty())
            std::memcpy(destination, data.data(), data.size());
    }
    bool FindChunk(const char* code) override
    {
        log_.push_back(std::string("FindChunk ") + code);
        found_ = code;
        return chunks_.count(code) != 0;
    }

private:
    std::vector<std::string>& log_;
    Chunks chunks_;
    bool opens_;
    std::string found_;
};

class FakeSaver : public FileSaver {
public:
    FakeSaver(std::vector<std::string>& log, Chunks& written, bool opens)
        : log_(log), written_(written), opens_(opens) {}
    bool Open(const char* path, int flags) override
    {
        log_.push_back(std::string("Open ") + path + " " + std::to_string(flags));
        return opens_;
    }
    void BeginChunk(const char* code) override
    {
        log_.push_back(std::string("BeginChunk ") + code);
        current_ = code;
        written_[current_].clear();
    }
    void SetChunkSize(uint32_t byteCount) override
    {
        log_.push_back("SetChunkSize " + std::to_string(byteCount));
    }
    void WriteData(const void* source, uint32_t byteCount) override
    {
        log_.push_back("WriteData " + std::to_string(byteCount));
        const uint8_t* bytes = static_cast<const uint8_t*>(source);
        written_[current_].insert(written_[current_].end(), bytes, bytes + byteCount);
    }
    void Finish() override { log_.push_back("Finish"); }

private:
    std::vector<std::string>& log_;
    Chunks& written_;
    bool opens_;
    std::string current_;
};

// Makes the loader or saver it was given for their type GUIDs, null for any
// other type, and logs which was asked for.
class FakeCore : public EngineCore {
public:
    FakeCore(std::vector<std::string>& log, FileLoader* loader, FileSaver* saver)
        : log_(log), loader_(loader), saver_(saver) {}
    void* CreateObject(GUID type, int reserved1, int reserved2) override
    {
        std::string kind = IsEqualGUID(type, settingsLoaderType) ? "loader"
                         : IsEqualGUID(type, settingsSaverType)  ? "saver" : "other";
        log_.push_back("CreateObject " + kind + " " + std::to_string(reserved1) + " " +
                       std::to_string(reserved2));
        if (kind == "loader")
            return loader_;
        return kind == "saver" ? saver_ : nullptr;
    }
    int ChannelCount() override { return 0; }
    ValueChannel* FindChannel(GUID, const char*) override { return nullptr; }

private:
    std::vector<std::string>& log_;
    FileLoader* loader_;
    FileSaver* saver_;
};

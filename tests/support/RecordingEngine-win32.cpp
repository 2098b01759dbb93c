// The recording engine of RecordingEngine.h, its settings loader and saver,
// and its two value channels.
#include "RecordingEngine.h"

#include <cstring>

void CallLog::Add(const std::string& line)
{
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(line);
    if (echo) echo(line);
}

std::vector<std::string> CallLog::Lines()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

void CallLog::Clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
}

int CallLog::Find(const std::string& line, int from)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (int i = from; i < static_cast<int>(lines_.size()); ++i)
        if (lines_[i] == line) return i;
    return -1;
}

namespace {

class RecordingChannel final : public ValueChannel {
public:
    RecordingChannel(CallLog& log, std::string name) : log_(log), name_(std::move(name)) {}
    void SetValue(float value) override
    {
        log_.Add("SetValue " + name_ +
                 (value == 1.0f   ? " 1.0"
                  : value == 0.0f ? " 0.0"
                                  : " other"));
    }

private:
    CallLog& log_;
    std::string name_;
};

class RecordingLoader final : public FileLoader {
public:
    RecordingLoader(CallLog& log, const Chunks& file, bool opens)
        : log_(log), file_(file), opens_(opens)
    {
    }
    void Destroy(int flags) override { log_.Add("loader Destroy " + std::to_string(flags)); }
    bool Open(const char* path) override
    {
        log_.Add(std::string("loader Open ") + path);
        return opens_;
    }
    uint32_t ChunkSize() override { return static_cast<uint32_t>(file_.at(found_).size()); }
    void ReadChunk(void* destination) override
    {
        log_.Add("loader ReadChunk " + found_);
        const std::vector<uint8_t>& data = file_.at(found_);
        if (!data.empty()) std::memcpy(destination, data.data(), data.size());
    }
    bool FindChunk(const char* code) override
    {
        log_.Add(std::string("loader FindChunk ") + code);
        found_ = code;
        return file_.count(code) != 0;
    }

private:
    CallLog& log_;
    Chunks file_;
    bool opens_;
    std::string found_;
};

class RecordingSaver final : public FileSaver {
public:
    RecordingSaver(CallLog& log, Chunks& saved, bool opens)
        : log_(log), saved_(saved), opens_(opens)
    {
    }
    bool Open(const char* path, int flags) override
    {
        log_.Add(std::string("saver Open ") + path + " " + std::to_string(flags));
        return opens_;
    }
    void BeginChunk(const char* code) override
    {
        log_.Add(std::string("saver BeginChunk ") + code);
        chunk_ = code;
        saved_[chunk_].clear();
    }
    void SetChunkSize(uint32_t byteCount) override
    {
        log_.Add("saver SetChunkSize " + std::to_string(byteCount));
    }
    void WriteData(const void* source, uint32_t byteCount) override
    {
        log_.Add("saver WriteData " + std::to_string(byteCount));
        const uint8_t* bytes = static_cast<const uint8_t*>(source);
        saved_[chunk_].insert(saved_[chunk_].end(), bytes, bytes + byteCount);
    }
    void Finish() override { log_.Add("saver Finish"); }

private:
    CallLog& log_;
    Chunks& saved_;
    bool opens_;
    std::string chunk_;
};

}  // namespace

std::string Hex(UINT value)
{
    char text[16];
    wsprintfA(text, "0x%04X", value);
    return text;
}

void RecordingEngine::Destroy(int flags)
{
    log_.Add("Destroy " + std::to_string(flags));
    destroyed = true;
}

int32_t RecordingEngine::Run()
{
    log_.Add("Run");
    return runResult;
}

bool RecordingEngine::Initialize(HINSTANCE, const char* appName, HWND)
{
    log_.Add(std::string("Initialize ") + appName);
    return initializes;
}

void RecordingEngine::Frame()
{
    if (frameMilliseconds) Sleep(frameMilliseconds);
    // Given up after a while, so that a window thread that never answers
    // fails the test instead of leaving this thread behind.
    DWORD_PTR answer;
    if (sendAfterStop && running && !*running)
        SendMessageTimeoutA(sendTo, sendAfterStop, 0, 0, SMTO_NORMAL, 3000, &answer);
    if (destroyed) log_.Add("Frame after Destroy");
    ++frames;
}

void RecordingEngine::LoadProject(const char* path)
{
    log_.Add(std::string("LoadProject ") + path);
}

EngineCore* RecordingEngine::GetCore()
{
    log_.Add("GetCore");
    return coreMissing ? nullptr : this;
}

void RecordingEngine::WindowMessage(HWND, UINT message, WPARAM, LPARAM)
{
    log_.Add("WindowMessage " + Hex(message));
}

void RecordingEngine::SetInstallDir(const char* directory)
{
    log_.Add(std::string("SetInstallDir ") + directory);
}

void RecordingEngine::SetRegistryKey(const char* keyPath)
{
    log_.Add(std::string("SetRegistryKey ") + keyPath);
}

void* RecordingEngine::CreateObject(GUID type, int reserved1, int reserved2)
{
    bool loader = IsEqualGUID(type, settingsLoaderType);
    bool saver = IsEqualGUID(type, settingsSaverType);
    log_.Add(std::string("CreateObject ") +
             (loader  ? "loader "
              : saver ? "saver "
                      : "other ") +
             std::to_string(reserved1) + " " + std::to_string(reserved2));
    if (loader && makesLoader) {
        loaders_.push_back(std::make_unique<RecordingLoader>(log_, file, fileOpens));
        return loaders_.back().get();
    }
    if (saver && makesSaver) {
        savers_.push_back(std::make_unique<RecordingSaver>(log_, saved, fileOpens));
        return savers_.back().get();
    }
    return nullptr;
}

ValueChannel* RecordingEngine::FindChannel(GUID type, const char* name)
{
    log_.Add(std::string("FindChannel ") + name);
    if (!hasChannels || !IsEqualGUID(type, saverChannelType)) return nullptr;
    if (std::strcmp(name, "OrmelixSaver") != 0 && std::strcmp(name, "OrmelixSaverPreview") != 0)
        return nullptr;
    channels_.push_back(std::make_unique<RecordingChannel>(log_, name));
    return channels_.back().get();
}

bool RecordingEngine::WaitForFrames(int count)
{
    for (int waited = 0; waited < 5000; waited += 5) {
        if (frames > count) return true;
        Sleep(5);
    }
    return false;
}

// The fake engine and the link-time stand-in for the engine binding used by
// the in-process settings dialog tests.
#include "DialogFakeEngine.h"

#include <cstring>

DialogFakeEngine* DialogFakeEngine::current = nullptr;
ViewerSettings viewerSettings;
EngineControl* engineControl = nullptr;

namespace {

class RecordingSaver : public FileSaver {
public:
    explicit RecordingSaver(DialogFakeEngine* engine) : engine_(engine) {}
    bool Open(const char* path, int flags) override {
        engine_->calls.push_back("saver Open " + std::string(path) + " " + std::to_string(flags));
        return true;
    }
    void BeginChunk(const char* code) override {
        chunk_ = std::string(code, 4);
        engine_->savedChunks[chunk_].clear();
    }
    void SetChunkSize(uint32_t) override {}
    void WriteData(const void* source, uint32_t byteCount) override {
        engine_->savedChunks[chunk_].append(static_cast<const char*>(source), byteCount);
    }
    void Finish() override { engine_->calls.push_back("saver Finish"); }

private:
    DialogFakeEngine* engine_;
    std::string chunk_;
};

}  // namespace

void DialogFakeEngine::Destroy(int flags) { calls.push_back("control Destroy " + std::to_string(flags)); }

void* DialogFakeEngine::CreateObject(GUID type, int, int) {
    if (!IsEqualGUID(type, settingsSaverType)) {
        calls.push_back("CreateObject other");
        return nullptr;
    }
    calls.push_back("CreateObject saver");
    savers_.push_back(std::make_unique<RecordingSaver>(this));
    return savers_.back().get();
}

bool DialogFakeEngine::SavedDelay(int32_t* delay) const {
    auto chunk = savedChunks.find("SCTI");
    if (chunk == savedChunks.end() || chunk->second.size() != 4) return false;
    std::memcpy(delay, chunk->second.data(), 4);
    return true;
}

int DialogFakeEngine::SavedFlag(const char* code) const {
    auto chunk = savedChunks.find(code);
    if (chunk == savedChunks.end() || chunk->second.size() != 1) return -1;
    return static_cast<unsigned char>(chunk->second[0]);
}

void FakeRelease() {
    if (engineControl) engineControl->Destroy(1);
    engineControl = nullptr;
}

// Binds like the real binding does after a successful load: the settings get
// an install directory, the core and the stored values; a failed binding
// leaves everything as it stands.
void FakeBind(HWND window) {
    DialogFakeEngine* fake = DialogFakeEngine::current;
    fake->boundWindow = window;
    if (!fake->bindingSucceeds) return;
    engineControl = fake;
    viewerSettings.SetInstallDirectory("C:\\fake install");
    viewerSettings.SetEngineCore(fake->GetCore());
    viewerSettings.frameDelay = fake->storedDelay;
    viewerSettings.doNotQuit = fake->storedDoNotQuit;
    viewerSettings.previewEnabled = fake->storedPreview;
}

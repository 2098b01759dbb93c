// makecfg: writes a viewer settings file "screensaver.cfg" in the engine's
// chunk-file format, holding the viewer's four chunks in their order.
// Usage: makecfg OUTPUT PROJECT-PATH FRAME-DELAY DO-NOT-QUIT PREVIEW
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "ChunkFile.h"

namespace {

constexpr size_t projectPathChunkSize = 259;

bool ParseInt(const char* text, long low, long high, long& value)
{
    char* end = nullptr;
    value = strtol(text, &end, 10);
    return *text != '\0' && *end == '\0' && value >= low && value <= high;
}

int Usage(const char* problem)
{
    fprintf(stderr,
            "makecfg: %s\nusage: makecfg OUTPUT PROJECT-PATH FRAME-DELAY DO-NOT-QUIT PREVIEW\n",
            problem);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6) return Usage("five arguments expected");
    const char* projectPath = argv[2];
    long delay, doNotQuit, preview;
    if (strlen(projectPath) >= projectPathChunkSize)
        return Usage("project path longer than 258 characters");
    if (!ParseInt(argv[3], 0, 0x7fffffff, delay)) return Usage("frame delay must be 0 or more");
    if (!ParseInt(argv[4], 0, 1, doNotQuit)) return Usage("do-not-quit must be 0 or 1");
    if (!ParseInt(argv[5], 0, 1, preview)) return Usage("preview must be 0 or 1");

    char pathField[projectPathChunkSize] = {};
    memcpy(pathField, projectPath, strlen(projectPath));
    int32_t delayField = static_cast<int32_t>(delay);
    uint8_t delayBytes[4];
    for (int i = 0; i < 4; ++i) delayBytes[i] = static_cast<uint8_t>(delayField >> (8 * i));
    uint8_t doNotQuitField = static_cast<uint8_t>(doNotQuit);
    uint8_t previewField = static_cast<uint8_t>(preview);

    chunkfile::ChunkWriter writer;
    struct Field {
        const char* code;
        const void* data;
        uint32_t size;
    } fields[] = {{"SCFP", pathField, sizeof pathField},
                  {"SCTI", delayBytes, sizeof delayBytes},
                  {"SCQC", &doNotQuitField, 1},
                  {"SCSP", &previewField, 1}};
    for (const Field& field : fields) {
        writer.BeginChunk(field.code);
        writer.DeclareSize(field.size);
        writer.Append(field.data, field.size);
    }
    std::vector<uint8_t> bytes;
    std::string error;
    if (!writer.Finish(bytes, error)) return Usage(error.c_str());

    FILE* out = fopen(argv[1], "wb");
    if (out == nullptr) {
        perror(argv[1]);
        return 1;
    }
    bool written = fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (fclose(out) != 0 || !written) {
        perror(argv[1]);
        return 1;
    }
    return 0;
}

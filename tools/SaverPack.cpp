// The packing tool's commands (see SaverPack.h).
#include "tools/SaverPack.h"

#include <stdio.h>

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <vector>

#include "packdata/AppendedDataReader.h"
#include "packdata/Crc32.h"
#include "tools/BlockWriter.h"
#include "tools/ByteBlockFile.h"

namespace {

const size_t maxProjectName = shippedDataSize - 1;

// Messages of the reader's scan go to err, or nowhere when only asking. They
// name the file: the caption the viewer gives its boxes is whatever bytes
// stood where the block was looked for, which means nothing on a terminal.
class StreamReporter : public MessageReporter {
public:
    StreamReporter(std::ostream* err, const std::string& path) : err(err), path(path) {}
    void Report(const char* text, const char*) override
    {
        if (err) *err << "saverpack: " << path << ": " << text << "\n";
    }

private:
    std::ostream* err;
    std::string path;
};

// Offsets in the block are 32-bit; files of 2 GiB or more are outside the format.
const size_t largestFile = 0x7FFFFFFFu - 1024;

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Reads the file at path whole (what names it in messages); false after a
// message on err.
bool ReadInput(const std::string& path, const char* what, std::vector<uint8_t>& bytes,
               std::ostream& err)
{
    if (!std::filesystem::is_regular_file(path) || !ReadWholeFile(path, bytes)) {
        err << "saverpack: cannot read " << what << path << "\n";
        return false;
    }
    if (bytes.size() > largestFile) {
        err << "saverpack: " << what << path << " is too large for the block format\n";
        return false;
    }
    return true;
}

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

// Writes beside the output first, so a failed write never leaves a half file.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::string temporary = path + ".saverpack-tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            out.close();
            remove(temporary.c_str());
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) remove(temporary.c_str());
    return !error;
}

}  // namespace

int PackViewer(const std::string& viewer, const std::string& output, const std::string& projectName,
               bool replace, std::ostream& err)
{
    if (projectName.empty()) {
        err << "saverpack: the project name is empty\n";
        return 1;
    }
    if (projectName.size() > maxProjectName) {
        err << "saverpack: the project name has " << projectName.size() << " characters; at most "
            << maxProjectName << " fit\n";
        return 1;
    }
    std::vector<uint8_t> bytes;
    if (!ReadInput(viewer, "the viewer ", bytes, err)) return 1;
    if (SameFile(viewer, output)) {
        err << "saverpack: the output " << output << " is the viewer itself; choose another file\n";
        return 1;
    }
    ByteBlockFile file(bytes);
    StreamReporter quiet(nullptr, viewer);
    AppendedDataReader existing(file, quiet, viewer.c_str());
    if (existing.FoundBlock()) {
        if (!replace) {
            err << "saverpack: " << viewer << " already carries a data block (at offset "
                << existing.GetBlockOffset() << "); use --replace to replace it\n";
            return 1;
        }
        bytes.resize(existing.GetBlockOffset());
    }
    std::vector<uint8_t> block =
        BuildBlock({ProjectNameEntry(projectName)}, static_cast<uint32_t>(bytes.size()));
    bytes.insert(bytes.end(), block.begin(), block.end());
    if (!WriteWholeFile(output, bytes)) {
        err << "saverpack: cannot write " << output << "\n";
        return 1;
    }
    return 0;
}

int ListBlock(const std::string& path, std::ostream& out, std::ostream& err)
{
    std::vector<uint8_t> bytes;
    if (!ReadInput(path, "", bytes, err)) return 1;
    ByteBlockFile file(bytes);
    StreamReporter reporter(&err, path);
    AppendedDataReader reader(file, reporter, path.c_str());
    if (!reader.FoundBlock()) return 1;
    if (!reader.ReadWholeTable()) {
        err << "saverpack: " << path << ": the entry table of the block at offset "
            << reader.GetBlockOffset() << " is damaged\n";
        return 1;
    }
    uint64_t dataAt = uint64_t{reader.GetBlockOffset()} + reader.GetDataOffset();
    for (int i = 0; i < reader.GetEntryCount(); ++i) {
        const AppendedDataEntry* entry = reader.GetEntry(i);
        bool whole = dataAt + entry->dataSize <= bytes.size();
        bool matches = whole && Crc32(bytes.data() + dataAt, entry->dataSize) == entry->crc;
        out << entry->groupName << "\t" << entry->entryName << "\t" << entry->dataSize << "\t"
            << std::hex << std::setw(8) << std::setfill('0') << entry->crc << std::dec << "\t"
            << (matches ? "ok"
                : whole ? "BAD"
                        : "cut short")
            << "\n";
        dataAt += entry->dataSize;
    }
    return 0;
}

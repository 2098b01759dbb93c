// The chunk-file format: what the writer produces, that it refuses chunks
// whose data disagrees with their size, and that the reader accepts only
// whole files and finds chunks by code.
#include "ChunkFile.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <string.h>

using namespace chunkfile;

namespace {

struct Chunk {
    const char* code;
    std::string data;
};

std::vector<uint8_t> Write(const std::vector<Chunk>& chunks)
{
    ChunkWriter writer;
    for (const Chunk& chunk : chunks) {
        writer.BeginChunk(chunk.code);
        writer.DeclareSize(static_cast<uint32_t>(chunk.data.size()));
        writer.Append(chunk.data.data(), static_cast<uint32_t>(chunk.data.size()));
    }
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(writer.Finish(bytes, error)) << error;
    return bytes;
}

std::string Read(const std::vector<uint8_t>& bytes, const ChunkIndex& index, const char* code)
{
    auto span = index.Find(code);
    if (!span) return "<none>";
    return std::string(reinterpret_cast<const char*>(bytes.data()) + span->offset, span->size);
}

const std::vector<Chunk> settingsLike = {{"SCFP", std::string("demo.project\0\0\0", 15)},
                                         {"SCTI", std::string("\x14\0\0\0", 4)},
                                         {"SCQC", std::string(1, '\0')},
                                         {"SCSP", std::string(1, '\1')}};

}  // namespace

TEST(ChunkFile, LayoutIsMagicThenCodeSizeData)
{
    std::vector<uint8_t> bytes = Write({{"ABCD", "xyz"}, {"EFGH", ""}});
    const uint8_t expected[] = {'O', 'C', 'H', 'K', 'A', 'B', 'C', 'D', 3, 0, 0, 0,
                                'x', 'y', 'z', 'E', 'F', 'G', 'H', 0,   0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(expected, expected + sizeof expected), bytes);
}

TEST(ChunkFile, RoundTripFindsEveryChunkInAnyOrder)
{
    std::vector<uint8_t> bytes = Write(settingsLike);
    ChunkIndex index;
    std::string error;
    ASSERT_TRUE(index.Parse(bytes.data(), bytes.size(), error)) << error;
    for (const char* code : {"SCSP", "SCFP", "SCQC", "SCTI"}) {
        auto match = std::find_if(settingsLike.begin(), settingsLike.end(),
                                  [&](const Chunk& c) { return strcmp(c.code, code) == 0; });
        EXPECT_EQ(match->data, Read(bytes, index, code)) << code;
    }
    EXPECT_EQ("<none>", Read(bytes, index, "SCXX"));
}

TEST(ChunkFile, WriterRefusesInconsistentChunks)
{
    struct Case {
        const char* rule;
        void (*write)(ChunkWriter&);
    } cases[] = {
        {"data longer than declared",
         [](ChunkWriter& w) {
             w.BeginChunk("SCTI");
             w.DeclareSize(4);
             w.Append("12345", 5);
         }},
        {"data shorter than declared",
         [](ChunkWriter& w) {
             w.BeginChunk("SCTI");
             w.DeclareSize(4);
             w.Append("12", 2);
         }},
        {"shortfall noticed when the next chunk begins",
         [](ChunkWriter& w) {
             w.BeginChunk("SCTI");
             w.DeclareSize(4);
             w.Append("1", 1);
             w.BeginChunk("SCQC");
             w.DeclareSize(1);
             w.Append("1", 1);
         }},
        {"no size declared",
         [](ChunkWriter& w) {
             w.BeginChunk("SCTI");
             w.Append("1234", 4);
         }},
        {"size declared twice",
         [](ChunkWriter& w) {
             w.BeginChunk("SCTI");
             w.DeclareSize(4);
             w.DeclareSize(4);
         }},
        {"data before any chunk", [](ChunkWriter& w) { w.Append("1234", 4); }},
        {"size before any chunk", [](ChunkWriter& w) { w.DeclareSize(4); }},
        {"code of three characters", [](ChunkWriter& w) { w.BeginChunk("SCT"); }},
        {"code of five characters", [](ChunkWriter& w) { w.BeginChunk("SCTIX"); }},
        {"null code", [](ChunkWriter& w) { w.BeginChunk(nullptr); }},
        {"null data with a length",
         [](ChunkWriter& w) {
             w.BeginChunk("SCTI");
             w.DeclareSize(4);
             w.Append(nullptr, 4);
         }},
    };
    for (const Case& c : cases) {
        ChunkWriter writer;
        c.write(writer);
        std::vector<uint8_t> bytes{1, 2, 3};
        std::string error;
        EXPECT_FALSE(writer.Finish(bytes, error)) << c.rule;
        EXPECT_FALSE(error.empty()) << c.rule;
        EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), bytes) << c.rule << ": output touched";
    }
}

TEST(ChunkFile, ReaderRefusesDamagedFiles)
{
    const std::vector<uint8_t> good = Write(settingsLike);
    auto cut = [&](size_t length) {
        return std::vector<uint8_t>(good.begin(), good.begin() + length);
    };
    auto patched = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    struct Case {
        const char* rule;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty file", {}},
        {"magic only partly there", cut(3)},
        {"wrong magic", patched(0, 'X')},
        {"cut inside a chunk header", cut(4 + 6)},
        {"cut inside the first chunk's data", cut(4 + 8 + 10)},
        {"cut one byte short of the end", cut(good.size() - 1)},
        {"size runs past the end", patched(4 + 4 + 3, 0x10)},
        {"size of 4 GiB - 1",
         [&] {
             auto b = good;
             for (int i = 0; i < 4; ++i) b[8 + i] = 0xFF;
             return b;
         }()},
        {"trailing bytes too few for a header",
         [&] {
             auto b = good;
             b.push_back('S');
             return b;
         }()},
    };
    for (const Case& c : cases) {
        ChunkIndex index;
        std::string error;
        // A fresh heap copy, so the sanitizer sees any read past the end.
        std::vector<uint8_t> copy = c.bytes;
        EXPECT_FALSE(index.Parse(copy.data(), copy.size(), error)) << c.rule;
        EXPECT_FALSE(error.empty()) << c.rule;
        EXPECT_FALSE(index.Find("SCFP").has_value()) << c.rule;
    }
}

TEST(ChunkFile, MagicAloneIsAnEmptyFileAndOversizeIsRefused)
{
    ChunkIndex index;
    std::string error;
    EXPECT_TRUE(index.Parse(reinterpret_cast<const uint8_t*>(magic), sizeof magic, error));
    EXPECT_FALSE(index.Find("SCFP").has_value());
    std::vector<uint8_t> huge(maxFileSize + 1, 0);
    memcpy(huge.data(), magic, sizeof magic);
    EXPECT_FALSE(index.Parse(huge.data(), huge.size(), error));
}

TEST(ChunkFile, FirstOfTwoChunksWithOneCodeWinsAndBadCodesFindNothing)
{
    std::vector<uint8_t> bytes = Write({{"SCTI", "one"}, {"SCTI", "two"}});
    ChunkIndex index;
    std::string error;
    ASSERT_TRUE(index.Parse(bytes.data(), bytes.size(), error));
    EXPECT_EQ("one", Read(bytes, index, "SCTI"));
    EXPECT_FALSE(index.Find("SCT").has_value());
    EXPECT_FALSE(index.Find("SCTIX").has_value());
    EXPECT_FALSE(index.Find(nullptr).has_value());
}

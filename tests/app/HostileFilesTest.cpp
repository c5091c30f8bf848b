// Every file reader of the program against files that are not what their name
// says: a FIFO nobody writes (opening it for reading would block), a symlink
// to /dev/zero (never ends), a file larger than the reader's limit (sparse:
// it declares the size without storing it), and decompression bombs. Each is
// refused at once with a message that names the file.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <lua.hpp>

#include "port/audio/AudioDevice.h"
#include "port/audio/SoundFile.h"
#include "port/gpu/GpuImage.h"
#include "reflection/LuaRead.h"
#include "render/effect/EffectFileReader.h"
#include "render/mesh/ModelFile.h"
#include "render/text/FontManager.h"
#include "scene/SceneLoader.h"
#include "tests/port/os/HostileFiles.h"

namespace {

using Kind = HostileFiles::Kind;

struct Reader {
    const char* kind;
    const char* file;     // a name as the asset folders have them
    std::uintmax_t over;  // a size past the reader's limit
    // Reads the file; the error text, "" when it was accepted.
    std::function<std::string(const std::string& path)> read;
};

class HostileFilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SceneLoader::SetFailureReporter([](const std::string&, const std::string&) {});
    }
    static void TearDownTestSuite() { SceneLoader::SetFailureReporter(nullptr); }

    std::vector<Reader> Readers() {
        return {
            {"scene", "scene/Level.scn", (std::uintmax_t(64) << 20) + 1,
             [this](const std::string& path) { return loader.LoadFile(path) ? std::string() : loader.GetLastError(); }},
            {"effect", "shader/UIShader.fx", EffectFileReader::kMaxFileBytes + 1,
             [](const std::string& path) {
                 GpuEffectDesc desc;
                 std::string errors;
                 return EffectFileReader::Read(path, "UIShader", &desc, &errors) ? std::string() : errors;
             }},
            {"model", "model/Ship.bin", ModelFile::kMaxFileSize + 1,
             [](const std::string& path) {
                 ModelFile file;
                 return file.Load(path) == ModelFile::Result::Ok ? std::string() : file.Error();
             }},
            {"image", "texture/Hull.dds", GpuImage::kMaxFileBytes + 1,
             [](const std::string& path) {
                 GpuImage image;
                 std::string error;
                 return image.Load(path, &error) == GpuLoadStatus::Ok ? std::string() : error;
             }},
            {"sound", "sfx/Beep.wav", 0,
             [this](const std::string& path) {
                 std::string why;
                 return audio.CreateSound(path, false, true, &why) ? std::string() : why;
             }},
        };
    }

    SceneLoader loader;
    AudioDevice audio;
    HostileFiles files;
};

TEST_F(HostileFilesTest, EveryReaderRefusesFifosDevicesAndOversizedFilesNamingThem) {
    ASSERT_TRUE(audio.Init(4, AudioDevice::Output::Loopback)) << audio.ErrorText();
    for (const Reader& reader : Readers()) {
        for (Kind kind : {Kind::Fifo, Kind::DevZeroLink, Kind::Sparse}) {
            // Sounds have no file size limit: their decoded length is bounded.
            if (kind == Kind::Sparse && reader.over == 0) continue;
            const std::string path =
                files.Make(kind, std::to_string(static_cast<int>(kind)) + "/" + reader.file, reader.over);
            const std::string error = reader.read(path);
            EXPECT_NE(error.find(path), std::string::npos) << reader.kind << " " << path << ": " << error;
            const char* expected = kind == Kind::Sparse ? " is larger than " : ", not a regular file";
            EXPECT_NE(error.find(expected), std::string::npos) << reader.kind << ": " << error;
        }
    }
}

// The precompiled form of a Lua source text (what luac writes).
std::string Precompiled(const std::string& source) {
    lua_State* L = luaL_newstate();
    std::string bytes;
    if (luaL_loadbuffer(L, source.data(), source.size(), "source") == 0)
        lua_dump(
            L,
            [](lua_State*, const void* data, size_t size, void* out) {
                static_cast<std::string*>(out)->append(static_cast<const char*>(data), size);
                return 0;
            },
            &bytes);
    lua_close(L);
    return bytes;
}

TEST_F(HostileFilesTest, EveryLuaReaderRefusesPrecompiledChunksWithOneReason) {
    // Each file would be read as valid were it source: only its form is refused.
    const struct {
        const char* kind;
        const char* file;
        const char* source;
    } sources[] = {
        {"scene", "scene/Level.scn", "Archetypes = {}"},
        {"effect", "shader/UIShader.fx", "techniques = { { name = 'T', passes = { { vs = 'void main() {}' } } } }"},
    };
    for (const auto& file : sources) {
        const std::string path = files.Dir() + "/" + file.file;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        const std::string bytes = Precompiled(file.source);
        ASSERT_TRUE(lua_read::IsPrecompiled(bytes.data(), bytes.size()));
        std::ofstream(path, std::ios::binary) << bytes;
        for (const Reader& reader : Readers()) {
            if (std::string(reader.kind) == file.kind) {
                EXPECT_EQ(reader.read(path), path + ": " + lua_read::kPrecompiledRefused) << file.kind;
            }
        }
    }
}

TEST_F(HostileFilesTest, ImageDeclaringMoreTexelsThanTheBoundIsRefusedBeforeDecoding) {
    // A PNG header declaring 12000 x 12000 texels (576 MB decoded) and no data.
    const unsigned char header[] = {0x89, 'P',  'N',  'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0,
                                    0,    0x2E, 0xE0, 0,   0,    0x2E, 0xE0, 8,    6, 0, 0, 0,  0,   0,   0,   0};
    const std::string path = files.Dir() + "/bomb.png";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(header), sizeof header);
    GpuImage image;
    std::string error;
    EXPECT_EQ(image.Load(path, &error), GpuLoadStatus::Failed);
    EXPECT_EQ(error, path + ": 12000x12000 texels are more than the 256 MiB an image of this kind may decode to");
    EXPECT_TRUE(image.subresources.empty());
}

TEST_F(HostileFilesTest, SoundLongerThanTheDecodedBoundIsRefusedAndOneWithinItLoads) {
    ASSERT_TRUE(audio.Init(4, AudioDevice::Output::Loopback)) << audio.ErrorText();
    constexpr int kRate = 8000;
    for (const char* extension : {".wav", ".flac"}) {
        const std::string longer = files.Dir() + "/long" + extension;
        const std::string within = files.Dir() + "/within" + extension;
        ASSERT_TRUE(
            SoundFile::Write(longer, 1, kRate, std::vector<float>((AudioDevice::kMaxDecodedSeconds + 1) * kRate)));
        ASSERT_TRUE(SoundFile::Write(within, 1, kRate, std::vector<float>(AudioDevice::kMaxDecodedSeconds * kRate)));
        std::string why;
        EXPECT_FALSE(audio.CreateSound(longer, false, true, &why));
        EXPECT_EQ(why, longer + " runs 61 s; a decoded sound may run at most 60 s (480000 frames here)");
        why.clear();
        EXPECT_TRUE(audio.CreateSound(within, false, true, &why)) << why;
    }
}

TEST_F(HostileFilesTest, FontFilesThatAreNoRegularFilesOrTooLargeGiveTheEmptyAtlas) {
    for (Kind kind : {Kind::Fifo, Kind::DevZeroLink, Kind::Sparse}) {
        const std::string path = files.Make(kind, "font" + std::to_string(static_cast<int>(kind)) + ".ttf",
                                            FontManager::kMaxFontFileBytes + 1);
        FontManager fonts("", path);
        EXPECT_EQ(fonts.GetFace("lucon.ttf"), nullptr) << path;
        EXPECT_TRUE(fonts.GetAtlas("lucon.ttf", 12)->Glyphs().empty()) << path;
    }
}

}  // namespace

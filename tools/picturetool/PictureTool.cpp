// picturetool <texture folder> <description.lua>... [--sheet <png>] [--png <folder>]
// Reads the picture descriptions (in the order given), draws every picture
// and writes each as <texture folder>/<name>.dds (a temporary file renamed
// over the old one). --sheet writes the contact sheet of all pictures and
// previews as a PNG; --png writes each picture and preview as a PNG too.
// make-pictures.sh runs it over tools/picturetool/pictures/. Exits 1 naming
// the description or file at fault, 2 on a bad command line.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tools/particletex/ParticleMasks.h"
#include "tools/picturetool/DescriptionReader.h"
#include "tools/picturetool/PictureFiles.h"
#include "tools/picturetool/Raster.h"

namespace {
constexpr const char* kLabelFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

const char* FormatName(Picture::Format format) {
    switch (format) {
        case Picture::Format::Bgr:
            return "bgr";
        case Picture::Format::Bc3:
            return "bc3";
        default:
            return "bgra";
    }
}

// Draws pictures[i] for every i of `which` on all cores (each thread its own raster).
bool DrawAll(const std::vector<Picture>& pictures, const std::vector<size_t>& which, std::vector<Image>& images,
             std::string* error) {
    std::atomic<size_t> next{0};
    std::vector<std::string> errors(which.size());
    const unsigned count = std::max(1u, std::min(std::thread::hardware_concurrency(), 16u));
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < count; ++t)
        threads.emplace_back([&]() {
            Raster raster;
            for (size_t k = next++; k < which.size(); k = next++)
                raster.Draw(pictures[which[k]], &images[which[k]], &errors[k]);
        });
    for (std::thread& thread : threads) thread.join();
    for (const std::string& e : errors)
        if (!e.empty()) {
            *error = e;
            return false;
        }
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    std::string textures, sheet, pngs;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--sheet" || arg == "--png") && i + 1 < argc) {
            (arg == "--sheet" ? sheet : pngs) = argv[++i];
        } else if (textures.empty()) {
            textures = arg;
        } else {
            files.push_back(arg);
        }
    }
    if (textures.empty() || files.empty()) {
        std::fprintf(stderr,
                     "usage: picturetool <texture folder> <description.lua>... [--sheet <png>] [--png <folder>]\n");
        return 2;
    }
    TextRaster text;
    DescriptionReader reader(text);
    std::vector<Picture> pictures;
    std::string error;
    if (!reader.Read(files, &pictures, &error)) {
        std::fprintf(stderr, "picturetool: %s\n", error.c_str());
        return 1;
    }
    std::vector<Image> images(pictures.size());
    std::vector<size_t> plain, previews;
    for (size_t i = 0; i < pictures.size(); ++i) (pictures[i].preview ? previews : plain).push_back(i);
    if (!DrawAll(pictures, plain, images, &error)) {
        std::fprintf(stderr, "picturetool: %s\n", error.c_str());
        return 1;
    }
    // Previews place the pictures drawn above.
    Raster composer;
    for (size_t i : plain) composer.Remember(pictures[i].name, images[i]);
    for (size_t i : previews) {
        if (!composer.Draw(pictures[i], &images[i], &error)) {
            std::fprintf(stderr, "picturetool: %s\n", error.c_str());
            return 1;
        }
        composer.Remember(pictures[i].name, images[i]);
    }
    std::error_code ignored;
    std::filesystem::create_directories(textures, ignored);
    for (size_t i : plain) {
        const Picture& p = pictures[i];
        if (!WriteFileReplacing(textures + "/" + p.name + ".dds", EncodePictureDds(images[i], p.format, p.mips),
                                "picturetool"))
            return 1;
    }
    if (!pngs.empty()) {
        std::filesystem::create_directories(pngs, ignored);
        for (size_t i = 0; i < pictures.size(); ++i)
            if (!WritePng(pngs + "/" + pictures[i].name + ".png", images[i])) {
                std::fprintf(stderr, "picturetool: cannot write %s/%s.png\n", pngs.c_str(), pictures[i].name.c_str());
                return 1;
            }
    }
    if (!sheet.empty()) {
        std::vector<std::string> labels(pictures.size());
        std::vector<SheetEntry> entries;
        for (size_t i = 0; i < pictures.size(); ++i) {
            const Picture& p = pictures[i];
            labels[i] = p.name + "  " + std::to_string(p.width) + "x" + std::to_string(p.height) + " " +
                        (p.preview ? "preview" : FormatName(p.format));
            entries.push_back({labels[i], &images[i]});
        }
        Image contact;
        if (!MakeContactSheet(entries, 2000, 350, 200, kLabelFont, text, &contact, &error) ||
            !WritePng(sheet, contact)) {
            std::fprintf(stderr, "picturetool: cannot write the contact sheet %s %s\n", sheet.c_str(), error.c_str());
            return 1;
        }
        std::printf("%s\n", sheet.c_str());
    }
    return 0;
}

// Test support for the committed pictures: the names and sizes the content
// issue lists, and the textures read back from assets/texture through the
// game's own DDS reader (decompressed to R8G8B8A8).
#pragma once
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "port/gpu/GpuImage.h"

struct ListedPicture {
    ListedPicture(std::string n, std::uint32_t w, std::uint32_t h, std::string hoverName = "", bool noText = false)
        : name(std::move(n)), width(w), height(h), hover(std::move(hoverName)), textless(noText) {}

    std::string name;
    std::uint32_t width, height;  // 0: any size
    std::string hover;            // the hover picture of a button ("" for none)
    bool textless;                // may be compressed
};

inline std::vector<ListedPicture> ListedPictures() {
    std::vector<ListedPicture> list = {
        {"Tarnbow_Logo", 1000, 563},
        {"HowtoPlay", 1000, 563},
        {"Credits", 1000, 563},
        {"Title_clean", 1400, 781},
        {"Options_screen_clean", 1400, 781},
        {"paused", 320, 160},
        {"Black", 500, 300, "", true},
        {"cursor", 30, 30},
        {"NEW_player_shield", 0, 0, "", true},
        {"FLASH_red", 0, 0, "", true},
        {"NEW_playership_impact.glow", 0, 0, "", true},
        {"NEW_HUD_circle_lives", 40, 40},
        {"NEW_HUD_healthbar_back", 572, 299, "", true},
        {"NEW_HUD_energybar_back", 572, 299, "", true},
    };
    for (const char* b : {"Play", "Options", "Controls", "Quit", "Credits", "Resume", "Restart", "Back"}) {
        list.push_back({std::string(b) + "Button", 160, 80, std::string(b) + "Button2"});
        list.push_back({std::string(b) + "Button2", 160, 80});
    }
    list.push_back({"continue_noglow", 160, 80, "continue_glow"});
    list.push_back({"continue_glow", 160, 80});
    for (const char* r : {"800x600", "1280x720", "1600x900", "1920x1080"}) {
        list.push_back({std::string("res_") + r + "_noglow", 160, 80, std::string("res_") + r + "_glow"});
        list.push_back({std::string("res_") + r + "_glow", 160, 80});
    }
    for (const char* s : {"on", "off"}) {
        list.push_back({std::string("button_") + s + "_noglow", 140, 140, std::string("button_") + s + "_glow"});
        list.push_back({std::string("button_") + s + "_glow", 140, 140});
    }
    for (const char* s : {"shields", "weapons", "boost"})
        for (const char* state : {"disabled", "active"})
            list.push_back({std::string("status_") + s + "_" + state, 312, 48});
    for (const char* c : {"3", "2", "1", "go"}) list.push_back({std::string("Countdown_") + c, 150, 100});
    for (int k = 1; k <= 16; ++k) {
        list.push_back({"NEW_HUD_Healthbar_" + std::to_string(k), 572, 299, "", true});
        list.push_back({"NEW_HUD_Energybar_" + std::to_string(k), 572, 299, "", true});
    }
    return list;
}

inline std::string TextureFolder() {
    return std::string(std::getenv("DD_ASSET_DIR")) + "/texture";
}

// The committed texture as R8G8B8A8 (top level); width 0 when it does not read.
inline GpuImage LoadPicture(const std::string& name, GpuFormat* fileFormat = nullptr) {
    GpuImage image;
    std::string error;
    if (image.Load(TextureFolder() + "/" + name + ".dds", &error) != GpuLoadStatus::Ok) return GpuImage{};
    if (fileFormat) *fileFormat = image.format;
    image.Decompress();
    return image;
}

inline const std::uint8_t* Texel(const GpuImage& image, std::uint32_t x, std::uint32_t y) {
    return &image.subresources[0][(static_cast<size_t>(y) * image.width + x) * 4];
}

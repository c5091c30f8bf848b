// Options of one tweak-panel variable, handed by reference to every reflected
// member that adds itself to a panel. The group and help entries are applied
// only when their flag is set; the step entry is kept for panels that read it.
// A plain value, owned by whoever builds the panel.
#pragma once
#include <string>

struct TweakVarParams {
    struct TextEntry {
        std::string keyword;
        std::string value;
        bool set = false;
    };
    struct NumberEntry {
        std::string keyword;
        float value = 0.0f;
        bool set = false;
    };

    TextEntry group{"group", "", false};
    TextEntry help{"help", "", false};
    NumberEntry step{"step", 1.0f, false};
    // Appended to the names of a component's own panel entries, so that the
    // panels of several objects can share one bar ("" for the selection's).
    std::string nameSuffix;
};

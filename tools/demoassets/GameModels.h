// The game's models, designed in code: the player's ship, the enemies, the
// obstacles, the mystery box and the shots. Each is a MeshSketch (written
// as the OBJ source the model tool reads) and a palette for its four atlas
// maps (ModelSkin). Sizes are in world units; every model faces +z with +y
// up and is centred on its origin, except where its note says otherwise.
// Pure functions; used by the demoassets tool and its tests.
#pragma once
#include <string>
#include <vector>

#include "tools/demoassets/MeshSketch.h"
#include "tools/demoassets/ModelSkin.h"

struct GameModel {
    std::string name;  // model/<name>.bin, texture/<name>[.normal|.specular|.glow].dds
    std::string note;  // what it is and how big, for the OBJ header
    Palette palette;
    MeshSketch (*build)();
};

const std::vector<GameModel>& GameModels();

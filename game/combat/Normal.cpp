#include "game/combat/Normal.h"

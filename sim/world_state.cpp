#include "world_state.h"

WorldState world;

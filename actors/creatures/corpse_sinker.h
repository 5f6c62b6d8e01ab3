#pragma once
#include "world/physical.h"

// An invisible strip that lets dead creatures sink through it and then takes them out of the
// level. Players and bosses are left where they fell.
class Corpse_Sinker : public Physical {
public:
    Corpse_Sinker(i32 x, i32 y, i32 w, i32 h);

    void update() override;

private:
    bool sinks(Physical* body) const;
};

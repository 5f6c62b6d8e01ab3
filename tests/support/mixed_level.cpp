#include "tests/support/mixed_level.h"

void paintMixedKinds(Level& level)
{
    level.setKindRaw(0x01, KindSolid);
    level.setKindRaw(0x02, KindPlatform);
    level.setKindRaw(0x03, KindSlopeLeft);
    level.setKindRaw(0x04, KindEmpty);  // a tile that shows what lies behind it
    level.setKindRaw(0x05, KindSlopeRight);
    level.setKindRaw(0x06, 9);  // no kind the map knows: black
    for (int c = 0; c < level.width(); ++c)
        for (int r = 0; r < level.height(); ++r)
            for (int l = 0; l < level.layers(); ++l)
                level.setTile(c, r, l, u8((c * 7 + r * 3 + l * 5) % 11 < 6 ? 0 : (c + r * 2 + l) % 7));
}

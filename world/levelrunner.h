#pragma once
#include "world/physical.h"
#include "world/systphysical.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

class Level;

// The invisible driver of a level: owns the Level, moves the camera (following the players or
// along the pan path) and streams the level in around the camera: terrain blocks within 64
// pixels of the screen (removed again when they leave that margin), placed objects once, when
// their bounds come within 32 pixels.
class LevelRunner : public Physical {
public:
    explicit LevelRunner(const std::string& fileName);
    ~LevelRunner() override;

    void onAdd() override;
    void update() override;

    void usePanCamera();
    Level* level() const { return levelData.get(); }
    size_t streamedBlockCount() const { return streamed.size(); }

    // Direction of a strip: 0 the whole window; 1 right, 2 left, 3 down, 4 up (the edge moved).
    void exposeStrip(i32 x1, i32 y1, i32 x2, i32 y2, u8 direction);
    void buildBlocks(i32 column, i32 row);
    void spawnObjects(i32 x1, i32 y1, i32 x2, i32 y2, u8 direction);
    // Removes what stands outside the rectangle and forgets what has left the system on its own.
    // Run where everything streamed earlier has joined the system (the runner's own update, the
    // first of a frame, before it builds): one still waiting to join counts as gone, and is only
    // forgotten.
    void despawnOutside(i32 x1, i32 y1, i32 x2, i32 y2);

    // Hands the object to the level's system.
    void addObject(Physical* object);
    // Adds the object and streams it like terrain: the despawn pass removes it once it is far
    // off screen.
    void spawn(Physical* object);
    // Stops streaming the object; it stays in the level.
    void forget(Physical* object);

private:
    void followPlayers(i32 ox, i32 oy, i32* nx, i32* ny);
    // Builds the whole block window and spawns the whole object window around a camera at (cx, cy).
    void buildWindow(i32 cx, i32 cy);
    void streamAround(i32 ox, i32 oy, i32 nx, i32 ny);
    // Files the blocks that were moved under the cells they stand on now, and drops those gone.
    void refileBlocks();
    void addBlock(Physical* block, u64 cell);
    void stream(Physical* object, std::optional<u64> cell);

    struct StreamedObject {
        Physical* object;
        std::optional<u64> cell;  // the tile cell it was built for; none for a spawned object
    };

    std::unique_ptr<Level> levelData;
    // By serial. A streamed object may leave the system on its own (a spawned creature dies), so
    // an entry's object is read only after the system has vouched for it (SystPhysical::isAlive).
    std::unordered_map<u32, StreamedObject> streamed;
    std::unordered_set<u64> builtCells;  // cells whose blocks are present
    // Where this runner left the camera: the window there is built. A camera found elsewhere was
    // moved by someone else since.
    i32 leftX = 0, leftY = 0;
};

// The camera's step toward a target on one axis: a twelfth of the distance plus one pixel while
// within `reach`, else a jump to `reach` short of the target.
i32 cameraFollowStep(i32 distance, i32 reach);

// Every started level gets this backdrop object first (the cloud sky). Returns the maker it replaces.
LevelPartMaker setLevelBackdropMaker(LevelPartMaker maker);

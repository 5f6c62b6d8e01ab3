#pragma once
#include "core/controlpad.h"
#include "core/engine.h"
#include "core/gamesystem.h"
#include "story/level_exit.h"
#include "tests/actors/actor_fixture.h"
#include "tests/support/fake_input.h"

// A level world with scripted input. Tests that leave the level run it inside the system
// manager, as the game does.
class LevelTest : public ActorWorld {
protected:
    void SetUp() override
    {
        ActorWorld::SetUp();
        fake_input::install();
        initInput();
        titleMenusMade = 0;
        setTitleMenuMaker(makeTitleMenu);
    }
    void TearDown() override
    {
        setTitleMenuMaker(nullptr);
        if (managed) {
            world.release();  // the manager deleted it
            for (GameSystem* s : madeMenus)
                queueSystemKill(s);
            updateGameSystems();
            madeMenus.clear();
        }
        world.reset();
        shutdownInput();
        fake_input::uninstall();
        ActorWorld::TearDown();
    }

    // Hands the world to the system manager; from here on frames run through it.
    void manageWorld()
    {
        queueSystemAdd(world.get());
        updateGameSystems();
        managed = true;
    }

    void frame(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            updateInput();
            if (managed)
                updateGameSystems();
            else
                world->update();
        }
    }

    // A stand-in for the title menu that counts how often a level was left for it.
    class MenuStandIn : public GameSystem {
    public:
        MenuStandIn() : GameSystem(0) {}
    };
    static GameSystem* makeTitleMenu()
    {
        ++titleMenusMade;
        GameSystem* menu = new MenuStandIn();
        madeMenus.push_back(menu);
        return menu;
    }

    static inline int titleMenusMade = 0;
    static inline std::vector<GameSystem*> madeMenus;
    bool managed = false;
};

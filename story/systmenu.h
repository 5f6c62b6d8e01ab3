#pragma once
#include "core/gamesystem.h"
#include "core/types.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <memory>
#include <string>

class BindingCapture;
class SPF_CoGra;
class SPF_Small;
class SystPhysical;

// The pages of the title menu.
enum MenuPage : u8 {
    PageIntro = 0,     // the logo, before the title
    PageTitle = 1,     // new game, options, quit over the moving backdrop
    PageOptions = 2,   // window size, full screen, language
    PageControls = 3,  // shows and rebinds the pad of player 0..8
};

// What the menu does when a transition it started hands over.
enum MenuTransitionCode : u32 {
    ShowTitle = 0,           // the title page, first item
    ShowOptions = 1,         // the options page, first item
    ShowControls = 2,        // the controls page for player 0
    BackToTitle = 3,         // the title page, "options" selected
    BackToOptions = 4,       // the options page, "controls" selected
    StartNewGame = 5,        // the demo level replaces the menu
    OpenOnlineConsole = 6,   // the online console replaces the menu (nothing asks for it)
    OpenLevelEditor = 7,     // the level editor replaces the menu (nothing asks for it)
    QuitProgram = 8,         // the program ends after this frame
};

// The title screen and its settings pages. Behind the title page a level runs as a backdrop.
class SystMenu : public GameSystem {
public:
    SystMenu();
    ~SystMenu() override;

    void update() override;
    void draw(SDL_Surface* screen) override;

    // Called back by the transitions this menu starts.
    void onTransition(u32 code);
    // The options page's action on its item; decrease is set for "left".
    void chooseScreenOption(u8 item, u8 decrease);
    void chooseTitleItem(u8 item);

    MenuPage currentPage() const { return page; }
    // On the controls page while an input is captured: 4 + the control waiting for it.
    u8 selectedItem() const { return item; }
    u8 shownPlayer() const { return player; }
    bool capturing() const { return capture != nullptr; }
    SystPhysical* backdrop() const { return background.get(); }

private:
    void updateIntro();
    void updateTitle();
    void updateOptions();
    void updateControls();
    void updateCapture();
    // Moves the selection by this frame's up and down presses, within 0..last.
    void moveSelection(u8 last);
    void actOnControlsItem(bool forward);
    void startCapture();
    void showPage(MenuPage newPage, u8 newItem);
    void transitionTo(MenuTransitionCode code);
    void startNewGame();
    void openLevelEditor();
    void openOnlineConsole();

    void drawIntro(SDL_Surface* screen);
    void drawTitle(SDL_Surface* screen);
    void drawOptions(SDL_Surface* screen);
    void drawControls(SDL_Surface* screen);
    void drawItem(SDL_Surface* screen, u8 index, i16 x, i16 y, const std::u16string& text, u8 alignment);

    u8 item = 0;
    u8 player = 0;
    u8 control = 0;
    u8 introFrames = 0;
    MenuPage page = PageIntro;
    SDL_Surface* logo;
    SDL_Surface* title;
    SDL_Surface* backOptions;
    SDL_Surface* backControls;
    SDL_Surface* topOptions;
    SDL_Surface* topControls;
    std::unique_ptr<SPF_CoGra> fontNormal;
    std::unique_ptr<SPF_CoGra> fontSelected;
    std::unique_ptr<SPF_Small> fontSmall;
    std::unique_ptr<BindingCapture> capture;
    Mix_Chunk* moveSound;
    Mix_Chunk* pickSound;
    std::unique_ptr<SystPhysical> background;
};

// A new title menu, for every screen that returns to the title.
GameSystem* createTitleMenu();

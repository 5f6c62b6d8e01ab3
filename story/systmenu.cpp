#include "story/systmenu.h"

#include "core/bindingcapture.h"
#include "core/bindingdesc.h"
#include "core/controlpad.h"
#include "core/draw.h"
#include "core/engine.h"
#include "core/font.h"
#include "core/lang.h"
#include "core/media.h"
#include "core/random.h"
#include "core/settings.h"
#include "core/text.h"
#include "editor/systeditor.h"
#include "online/systostrenet.h"
#include "story/level_exit.h"
#include "story/tip.h"
#include "story/transition.h"
#include "world/levelrunner.h"
#include "world/systphysical.h"

#include <algorithm>

namespace {

constexpr u16 ReturnKey = SDLK_RETURN;
constexpr u16 EscapeKey = SDLK_ESCAPE;
constexpr u16 FirstFunctionKey = SDLK_F1;
constexpr u16 LastFunctionKey = SDLK_F15;

constexpr u8 IntroLength = 150;  // frames before the title shows by itself
constexpr u16 TipLife = 180;
constexpr i32 TipCentre = 160;
constexpr i32 BottomTipRow = 220;
constexpr i32 TopTipRow = 16;
constexpr u8 PlayerCount = 9;  // player 0 and players 1 to 8
constexpr u8 MaxScale = 5;

constexpr u32 LogoShadowColour = 0x33333333u;
constexpr u32 BarColour = 0xFF000000u;
constexpr u32 RuleColour = 0xFFFFB200u;

constexpr const char* DemoLevel = "demo.lvl";
constexpr const char* BackdropLevel = "panorama.lvl";
constexpr const char* MenuMusic = "resource/dnb.it";

// Items of the title page.
enum TitleItem : u8 { TitleNew = 0, TitleOptions = 1, TitleQuit = 2 };
// Items of the options page.
enum OptionsItem : u8 {
    OptionsReturn = 0,      // back to the title
    OptionsControls = 1,    // the controls page
    OptionsScale = 2,       // window size 1..5
    OptionsFullscreen = 3,  // full screen on or off
    OptionsLanguage = 4,    // shown only; the language cannot be changed
};
// Items of the controls page; items from CaptureItems up mark the control being captured.
enum ControlsItem : u8 {
    ControlsReturn = 0,  // back to the options
    ControlsPlayer = 1,  // whose pad is shown
    ControlsPreset = 2,  // no presets to choose from
    ControlsCustom = 3,  // rebind all eight controls in turn
    CaptureItems = 4,
};

const char16_t* const ControlNames[ControlCount] = {u"up", u"down", u"left", u"right",
                                                    u"a",  u"b",    u"x",    u"y"};
const char16_t* const ControlDescriptions[ControlCount] = {
    u"desc_up", u"desc_down", u"desc_left", u"desc_right", u"desc_a", u"desc_b", u"desc_x", u"desc_y"};

std::u16string label(const char16_t* category, const char16_t* item)
{
    return langText(category, item);
}

std::u16string number(u32 value)
{
    return toWideString(std::to_string(value));
}

bool pressed(u8 padControl)
{
    return controlPressed(padControl, primaryPad);
}

bool choosePressed()
{
    return pressed(ControlA) || keyPressed(ReturnKey);
}

// Escape and the function keys belong to the program and cannot become controls.
bool refusedBinding(const ControlBinding& b)
{
    if (!b.isKey())
        return false;
    return b.code() == EscapeKey || (b.code() >= FirstFunctionKey && b.code() <= LastFunctionKey);
}

void firstMenuSettings()
{
    if (gameSettings.hasInt("init"))
        return;
    gameSettings.setInt("init", 1);
    gameSettings.setInt("difficulty", 1);
    gameSettings.setString("language", u"op_lang_engl");
}

const bool titleMenuRegistered = (registerFirstScreen(2, createTitleMenu), setTitleMenuMaker(createTitleMenu), true);

} // namespace

GameSystem* createTitleMenu()
{
    return new SystMenu();
}

SystMenu::SystMenu()
    : GameSystem(0),
      fontNormal(std::make_unique<SPF_CoGra>(1)),
      fontSelected(std::make_unique<SPF_CoGra>(0)),
      fontSmall(std::make_unique<SPF_Small>(0))
{
    fadeOutMusic();
    playMusic(loadMusic(MenuMusic), -1);
    logo = loadGraphic("resource/logo.gif", true, 0, 0, 0, false);
    title = loadGraphic("resource/title.gif", true, 0, 0, 0, false);
    backOptions = loadGraphic("resource/menu_back_1.gif", false, 0, 0, 0, false);
    backControls = loadGraphic("resource/menu_back_2.gif", false, 0, 0, 0, false);
    topOptions = loadGraphic("resource/menu_top_1.gif", false, 0, 0, 0, false);
    topControls = loadGraphic("resource/menu_top_2.gif", false, 0, 0, 0, false);
    moveSound = loadSound("resource/menu_move.wav");
    pickSound = loadSound("resource/menu_pick.wav");
    firstMenuSettings();
    background = std::make_unique<SystPhysical>();
    auto* runner = new LevelRunner(BackdropLevel);
    runner->usePanCamera();
    background->add(runner);
}

SystMenu::~SystMenu()
{
    forgetTransitionTarget(this);
}

// ---- Update ----

void SystMenu::update()
{
    switch (page) {
    case PageIntro:
        updateIntro();
        break;
    case PageTitle:
        updateTitle();
        break;
    case PageOptions:
        updateOptions();
        break;
    case PageControls:
        if (capture)
            updateCapture();
        else
            updateControls();
        break;
    }
}

void SystMenu::updateIntro()
{
    ++introFrames;
    if (introFrames < IntroLength && !keyPressed(ReturnKey))
        return;
    queueSystemAdd(new Tip(TipCentre, BottomTipRow, TipLife, label(u"menu", u"control_tip")));
    page = PageTitle;
}

void SystMenu::updateTitle()
{
    moveSelection(TitleQuit);
    if (choosePressed()) {
        chooseTitleItem(item);
        playSound(pickSound, 0);
    }
    background->update();
}

void SystMenu::chooseTitleItem(u8 chosen)
{
    if (chosen == TitleNew)
        transitionTo(StartNewGame);
    else if (chosen == TitleOptions)
        transitionTo(ShowOptions);
    else if (chosen == TitleQuit)
        transitionTo(QuitProgram);
}

void SystMenu::updateOptions()
{
    if (pressed(ControlB)) {
        showPage(PageTitle, TitleOptions);
        playSound(moveSound, 0);
        return;
    }
    moveSelection(OptionsLanguage);
    if (choosePressed() || pressed(ControlRight)) {
        chooseScreenOption(item, 0);
        playSound(pickSound, 0);
    }
    if (pressed(ControlLeft)) {
        chooseScreenOption(item, 1);
        playSound(pickSound, 0);
    }
}

void SystMenu::chooseScreenOption(u8 chosen, u8 decrease)
{
    switch (chosen) {
    case OptionsReturn:
        transitionTo(BackToTitle);
        break;
    case OptionsControls:
        transitionTo(ShowControls);
        break;
    case OptionsScale: {
        u32 scale = decrease ? std::max<u32>(scaleX, 2) - 1 : std::min<u32>(scaleX + 1, MaxScale);
        bool changed = scale != scaleX || scale != scaleY;
        scaleX = scaleY = scale;
        if (changed)
            setVideoMode();
        break;
    }
    case OptionsFullscreen:
        fullscreen = !fullscreen;
        scaleX = scaleY = 1;
        setVideoMode();
        break;
    default:
        break;
    }
}

void SystMenu::updateControls()
{
    if (pressed(ControlB)) {
        showPage(PageOptions, OptionsControls);
        playSound(moveSound, 0);
        return;
    }
    moveSelection(ControlsCustom);
    if (choosePressed() || pressed(ControlRight)) {
        actOnControlsItem(true);
        playSound(pickSound, 0);
    }
    if (pressed(ControlLeft)) {
        actOnControlsItem(false);
        playSound(pickSound, 0);
    }
}

void SystMenu::actOnControlsItem(bool forward)
{
    switch (item) {
    case ControlsReturn:
        transitionTo(BackToOptions);
        break;
    case ControlsPlayer:
        player = u8((player + (forward ? 1 : PlayerCount - 1)) % PlayerCount);
        break;
    case ControlsCustom:
        startCapture();
        break;
    default:
        break;
    }
}

void SystMenu::startCapture()
{
    capture = std::make_unique<BindingCapture>();
    item = CaptureItems;
    control = 0;
}

// Binds the next input pressed to the waiting control, all eight in turn. There is no way out:
// every input except the refused keys becomes a binding.
void SystMenu::updateCapture()
{
    capture->sample();
    ControlBinding b;
    if (!capture->takeCaptured(&b) || refusedBinding(b))
        return;
    ControlPad* pad = getControlPad(player);
    // An input already bound elsewhere on this pad: that control takes this one's old input.
    for (u8 i = 0; i < ControlCount; ++i)
        if (i != control && *pad->binding(i) == b)
            pad->setBinding(i, *pad->binding(control));
    pad->setBinding(control, b);
    playSound(moveSound, 0);
    if (control + 1 < ControlCount) {
        ++item;
        ++control;
        return;
    }
    item = ControlsCustom;
    capture.reset();
    if (player == 0)
        queueSystemAdd(new Tip(TipCentre, TopTipRow, TipLife, label(u"control", u"main_tip")));
}

void SystMenu::moveSelection(u8 last)
{
    int moved = int(item) + pressed(ControlDown) - pressed(ControlUp);
    u8 next = u8(std::clamp(moved, 0, int(last)));
    if (next != item)
        playSound(moveSound, 0);
    item = next;
}

void SystMenu::showPage(MenuPage newPage, u8 newItem)
{
    page = newPage;
    item = newItem;
    capture.reset();
}

void SystMenu::transitionTo(MenuTransitionCode code)
{
    startTransition(TransitionHangBlinds, this, &SystMenu::onTransition, code);
}

void SystMenu::onTransition(u32 code)
{
    switch (code) {
    case ShowTitle:
        showPage(PageTitle, TitleNew);
        break;
    case ShowOptions:
        showPage(PageOptions, OptionsReturn);
        break;
    case ShowControls:
        showPage(PageControls, ControlsReturn);
        player = 0;
        control = 0;
        break;
    case BackToTitle:
        showPage(PageTitle, TitleOptions);
        break;
    case BackToOptions:
        showPage(PageOptions, OptionsControls);
        break;
    case StartNewGame:
        startNewGame();
        break;
    case OpenLevelEditor:
        openLevelEditor();
        break;
    case OpenOnlineConsole:
        openOnlineConsole();
        break;
    case QuitProgram:
        fadeOutMusic();
        quitGame();
        break;
    default:
        break;
    }
}

void SystMenu::startNewGame()
{
    fadeOutMusic();
    auto* level = new SystPhysical();
    level->startLevel(DemoLevel);
    queueSystemAdd(level);
    queueSystemKill(this);
}

// Nothing in the menu asks for the editor; the hand-over stays here for whoever does.
void SystMenu::openLevelEditor()
{
    fadeOutMusic();
    queueSystemAdd(new SystEditor());
    queueSystemKill(this);
}

// Nothing in the menu asks for the online console either.
void SystMenu::openOnlineConsole()
{
    fadeOutMusic();
    queueSystemAdd(new SystOstrenet());
    queueSystemKill(this);
}

// ---- Draw ----

void SystMenu::draw(SDL_Surface* screen)
{
    SDL_FillRect(screen, &screen->clip_rect, 0);
    switch (page) {
    case PageIntro:
        drawIntro(screen);
        break;
    case PageTitle:
        drawTitle(screen);
        break;
    case PageOptions:
        drawOptions(screen);
        break;
    case PageControls:
        drawControls(screen);
        break;
    default:
        drawString(fontNormal.get(), screen, 0, 0, u"(MENU ERROR?)", 0);
        break;
    }
}

void SystMenu::drawItem(SDL_Surface* screen, u8 index, i16 x, i16 y, const std::u16string& text, u8 alignment)
{
    SPFont* font = index == item ? static_cast<SPFont*>(fontSelected.get()) : fontNormal.get();
    drawString(font, screen, x, y, text, alignment);
}

void SystMenu::drawIntro(SDL_Surface* screen)
{
    // A shadow that trembles behind the logo.
    i16 shakeX = i16(randomSigned(6));
    i16 shakeY = i16(randomSigned(4));
    blitSurfaceEx(i16(120 + shakeX), i16(99 + shakeY), logo, screen, false, false, nullptr, true, LogoShadowColour);
    blitSurface(123, 101, logo, screen, nullptr);
}

void SystMenu::drawTitle(SDL_Surface* screen)
{
    blitSurface(0, 3, title, screen, nullptr);
    SDL_Rect saved = screen->clip_rect;
    SDL_Rect window = {0, 32, 320, 96};
    SDL_SetClipRect(screen, &window);
    background->draw(screen);
    SDL_SetClipRect(screen, &saved);
    fillRect(screen, 0, 33, 320, 2, BarColour);
    fillRect(screen, 0, 125, 320, 2, BarColour);
    fillRect(screen, 0, 37, 320, 1, BarColour);
    fillRect(screen, 0, 122, 320, 1, BarColour);
    drawItem(screen, TitleNew, 160, 144, label(u"menu", u"new"), 1);
    drawItem(screen, TitleOptions, 160, 160, label(u"menu", u"options"), 1);
    drawItem(screen, TitleQuit, 160, 176, label(u"menu", u"quit"), 1);
}

void SystMenu::drawOptions(SDL_Surface* screen)
{
    tileSurface(0, 0, backOptions, screen, nullptr, true, true);
    tileSurface(0, 0, topOptions, screen, nullptr, true, false);
    drawString(fontNormal.get(), screen, 160, 0, u"Options", 1);
    std::u16string yesNo = fullscreen ? label(u"general", u"yes") : label(u"general", u"no");
    drawItem(screen, OptionsReturn, 160, 32, label(u"menu", u"op_return"), 1);
    drawItem(screen, OptionsControls, 160, 48, label(u"menu", u"op_config"), 1);
    drawItem(screen, OptionsScale, 160, 64, label(u"menu", u"op_screensize") + u"x" + number(scaleX), 1);
    drawItem(screen, OptionsFullscreen, 160, 80, label(u"menu", u"op_fullscreen") + yesNo, 1);
    drawItem(screen, OptionsLanguage, 160, 96, label(u"menu", u"op_lang"), 1);
}

void SystMenu::drawControls(SDL_Surface* screen)
{
    tileSurface(0, 0, backControls, screen, nullptr, true, true);
    tileSurface(0, 0, topControls, screen, nullptr, true, false);
    drawString(fontNormal.get(), screen, 160, 0, label(u"control", u"menu_title"), 1);
    std::u16string whose = player == 0 ? label(u"control", u"player_single")
                                       : label(u"control", u"player_multi") + number(player);
    drawItem(screen, ControlsReturn, 10, 32, label(u"control", u"menu_return"), 0);
    drawItem(screen, ControlsPlayer, 10, 48, label(u"control", u"player") + whose, 0);
    drawItem(screen, ControlsPreset, 10, 64, label(u"control", u"preset") + label(u"control", u"unavailable"), 0);
    drawItem(screen, ControlsCustom, 10, 80, label(u"control", u"custom"), 0);
    if (item < CaptureItems)
        drawString(fontSmall.get(), screen, 8, 232, label(u"control", u"reset"), 0);
    drawLine(0, 230, 320, 230, RuleColour, screen);

    const ControlPad* pad = getControlPad(player);
    for (u8 c = 0; c < ControlCount; ++c) {
        bool waiting = capture && c == control;
        i16 row = i16(96 + 16 * c);
        drawString(fontSmall.get(), screen, waiting ? 20 : 16, row, label(u"control", ControlNames[c]) + u":", 0);
        if (!waiting) {
            drawString(fontSmall.get(), screen, 30, i16(row + 8), describeBinding(*pad->binding(c)), 0);
            continue;
        }
        // The prompt trembles so the eye finds the control that is waiting.
        drawString(fontSmall.get(), screen, i16(30 + randomRange(0, 1)), i16(row + 8), label(u"control", u"prompt"), 0);
        drawString(fontSmall.get(), screen, 8, 232, label(u"control", ControlDescriptions[c]), 0);
    }
}

#include "tests/online/online_fixture.h"

#include "core/draw.h"
#include "core/engine.h"
#include "core/font.h"
#include "core/gamesystem.h"
#include "core/input.h"
#include "core/text.h"
#include "online/netclient.h"
#include "online/nethost.h"
#include "story/level_exit.h"
#include "tests/support/fake_input.h"

namespace {

class ConsoleTest : public OnlineTest {
protected:
    // One frame in which the character is typed.
    void type(SystOstrenet& console, u16 character)
    {
        updateInput();
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.unicode = character;
        handleInputEvent(event);
        console.update();
    }
    void type(SystOstrenet& console, const std::string& text)
    {
        for (char c : text)
            type(console, u8(c));
    }
    // One frame with the key pressed, then one with it let go.
    void press(u16 key, const std::function<void()>& frame)
    {
        fake_input::holdKey(key);
        updateInput();
        frame();
        fake_input::releaseKey(key);
        updateInput();
    }
    // What the log gained since `before` characters.
    static std::string added(const SystOstrenet& console, size_t before)
    {
        return console.logText().substr(before);
    }
};

TEST_F(ConsoleTest, GreetsAndShowsTheHelp)
{
    SystOstrenet& console = newConsole();
    const std::string greeting = "Ostrenet Initialized.\nEnter '/help' for help.\n";
    EXPECT_EQ(console.logText(), greeting);
    console.handleLine("/help");
    EXPECT_EQ(console.logText().substr(greeting.size()),
              "Commands:\n/host - start server\n/client - connect to localhost server\n"
              "/quit - quit to menu\n/help - this info\n"
              "Anything without a foreslash is passed to host/client\n");
}

TEST_F(ConsoleTest, LinesWithoutAHostOrClientToTakeThem)
{
    SystOstrenet& console = newConsole();
    struct Case {
        const char* line;
        const char* answer;
    };
    for (Case c : {Case{"/host-help", "No host is present.  Create a host with '/host'.\n"},
                   Case{"/client-name Bob", "No client is present.  Create a client with '/client'.\n"},
                   Case{"/helpme", "Commands:\n"},
                   Case{"/nonsense", "INVALID COMMAND.\n"},
                   Case{"hello there", "(Input was not handled)\n"}}) {
        size_t before = console.logText().size();
        console.handleLine(c.line);
        EXPECT_EQ(added(console, before).substr(0, std::string(c.answer).size()), c.answer) << c.line;
    }
    EXPECT_EQ(console.currentHost(), nullptr);
    EXPECT_EQ(console.currentClient(), nullptr);
}

TEST_F(ConsoleTest, AHostIsCreatedOnceAndEndsAtTheEndOfTheFrame)
{
    SystOstrenet& console = newConsole();
    console.handleLine("/hostile");  // the word only has to follow the slash
    ASSERT_NE(console.currentHost(), nullptr);
    ASSERT_TRUE(logHas(console, "Host successfully initialized.")) << console.logText();
    NetHost* host = console.currentHost();

    size_t before = console.logText().size();
    console.handleLine("/host");
    console.handleLine("/host-dance");
    console.handleLine("/host-query");  // no clients: nothing to list
    EXPECT_EQ(added(console, before),
              "Cannot instantiate host: Host already exists!\n"
              "Invalid command given to host.  Try '/host-help'.\n");
    EXPECT_EQ(console.currentHost(), host);

    console.handleLine("/host-quit");
    EXPECT_EQ(console.currentHost(), host) << "deleted only at the end of the update";
    const Uint32 start = SDL_GetTicks();
    console.update();
    EXPECT_EQ(console.currentHost(), nullptr);
    EXPECT_GE(SDL_GetTicks() - start, 500u) << "the farewells are given their moment to leave";
    EXPECT_EQ(countInLog(console, "Disconnecting host...\n"), 1);
    EXPECT_EQ(countInLog(console, "Host process terminated.\n"), 1);

    // The ports are free again for a new host.
    startHost(console);
}

TEST_F(ConsoleTest, AClientWithoutAServerEndsWithTheConnectError)
{
    SystOstrenet& console = newConsole();
    console.handleLine("/client");
    EXPECT_TRUE(logHas(console, "Initializing client...\nIP: 127.0.0.1\nTCP-ERROR: ")) << console.logText();
    EXPECT_FALSE(logHas(console, "Client successfully initialized."));
    ASSERT_NE(console.currentClient(), nullptr);

    // Until the end of the frame the failed client still takes its lines.
    size_t before = console.logText().size();
    console.handleLine("/client-dance");
    EXPECT_EQ(added(console, before), "Invalid command given to client.  Try '/client-help'.\n");
    before = console.logText().size();
    console.handleLine("/client");
    EXPECT_EQ(added(console, before), "Cannot instantiate client: Client already exists!\n");
    // Chat the host refuses (no "&") goes on to the client, which echoes it without a connection.
    startHost(console);
    before = console.logText().size();
    console.handleLine("hello");
    EXPECT_EQ(added(console, before), "Nameless: hello\n");

    console.update();
    EXPECT_EQ(console.currentClient(), nullptr);
    EXPECT_EQ(countInLog(console, "Client process terminated.\n"), 1);
    EXPECT_NE(console.currentHost(), nullptr);
}

TEST_F(ConsoleTest, TypingEditsTheInputLineAndReturnRunsIt)
{
    SystOstrenet& console = newConsole();
    type(console, 8);
    EXPECT_EQ(console.inputLine(), "") << "backspace on an empty line";
    type(console, "/helx");
    type(console, 8);
    type(console, 'p');
    for (u16 ignored : {0, 10, 11, 12, 13})
        type(console, ignored);
    type(console, 0x0100 | '!');  // only the low byte counts
    EXPECT_EQ(console.inputLine(), "/help!");
    type(console, 0x00E9);
    EXPECT_EQ(console.inputLine(), "/help!\xE9");
    type(console, 8);
    type(console, 8);

    press(SDLK_RETURN, [&] { console.update(); });
    EXPECT_EQ(console.inputLine(), "");
    EXPECT_EQ(countInLog(console, "Commands:\n"), 1);

    size_t before = console.logText().size();
    press(SDLK_RETURN, [&] { console.update(); });
    EXPECT_EQ(console.logText().size(), before) << "Return on an empty line does nothing";
}

TEST_F(ConsoleTest, EscapeQuitsToTheTitleMenu)
{
    class MenuStandIn : public GameSystem {
    public:
        MenuStandIn() : GameSystem(0) {}
    };
    static int menusMade;
    menusMade = 0;
    setTitleMenuMaker([]() -> GameSystem* {
        ++menusMade;
        return new MenuStandIn;
    });
    queueSystemAdd(new SystOstrenet);
    updateGameSystems();
    ASSERT_EQ(activeSystemCount(), 1);

    press(SDLK_ESCAPE, [] { updateGameSystems(); });
    EXPECT_EQ(menusMade, 1);
    EXPECT_EQ(activeSystemCount(), 1) << "the console is gone and the menu stands alone";
    deleteAllGameSystems();
    setTitleMenuMaker(nullptr);
}

TEST_F(ConsoleTest, TheOldestLogLinesScrollAway)
{
    SystOstrenet& console = newConsole();
    // One long line (two wrapped lines) and then 36 short ones: one line too many.
    console.print(std::string(100, 'L'));
    for (int i = 0; i < 36; ++i)
        console.print("line " + std::to_string(i));
    console.update();
    const std::string& log = console.logText();
    EXPECT_EQ(log.substr(0, 7), "line 0\n") << "the long line went first, 64 characters at a time";
    EXPECT_EQ(console.logLines().lineCount(), 37);

    // A flood many pages long leaves the same last page as a trickle would.
    for (int i = 0; i < 20000; ++i)
        console.print("flood " + std::to_string(i));
    console.update();
    EXPECT_EQ(console.logText().substr(0, 12), "flood 19964\n");
    EXPECT_EQ(console.logLines().lineCount(), 37);
    EXPECT_EQ(console.logLines().lines()[35], u"flood 19999");

    // An empty line at the very top of the log is cut like any other, not with the whole log.
    console.print("");
    for (int added : {35, 3}) {
        for (int i = 0; i < added; ++i)
            console.print("after");
        console.update();
    }
    EXPECT_EQ(console.logLines().lineCount(), 37);
}

TEST_F(ConsoleTest, DrawsItsBarsTheLogAndTheEndOfALongInputLine)
{
    SystOstrenet& console = newConsole();
    std::string longLine;
    for (int i = 0; i < 70; ++i)
        longLine += char('A' + i % 26);
    type(console, longLine);
    SDL_FillRect(backBuffer, nullptr, 0x123456);
    console.draw(backBuffer);
    EXPECT_EQ(getPixel(backBuffer, 319, 0) & 0xFFFFFF, 0x281D45u);
    EXPECT_EQ(getPixel(backBuffer, 319, 200) & 0xFFFFFF, 0x000013u);
    EXPECT_EQ(getPixel(backBuffer, 319, 230) & 0xFFFFFF, 0x393B52u);
    int logLit = 0;  // the greeting and the help, in the log box
    for (int y = 12; y < 230; ++y)
        for (int x = 0; x < 320; ++x)
            logLit += (getPixel(backBuffer, u32(x), u32(y)) & 0xFFFFFF) != 0x000013u;
    EXPECT_GT(logLit, 100);

    // The input line matches the same text drawn from x = 320 - 5 * 70 = -30.
    SDL_Surface* expected = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    fillRect(expected, 0, 230, 320, 10, 0xFF393B52u);
    SPF_Small font(0);
    ASSERT_NE(font.sheet(), nullptr);
    drawString(&font, expected, -30, 232, toWideString(longLine), 0);
    int differing = 0, lit = 0;
    for (int y = 230; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            u32 want = getPixel(expected, x, y) & 0xFFFFFF;
            differing += want != (getPixel(backBuffer, x, y) & 0xFFFFFF);
            lit += want != 0x393B52u;
        }
    }
    SDL_FreeSurface(expected);
    EXPECT_GT(lit, 100);
    EXPECT_EQ(differing, 0);
}

} // namespace

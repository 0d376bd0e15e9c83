// The game beside a bare Qt window, launched in turns in one X server so that both meet the same
// machine at the same moment. Figures: start to first window mapped (the X server's MapNotify),
// CPU and wake-ups while waiting at a line, resident memory of the process tree, and a click
// (sent through XTest) to the next line drawn (the first DAMAGE report after which the window's
// pixels, read through GetImage, differ).
// usage: velmora_compare_bench <velmora> <data folder> <bare window> [rounds] [starts] [seconds]
// Runs against $DISPLAY; bench/run.sh starts a private Xvfb for it.
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// ---- the X side ----

class Display {
public:
    Display()
    {
        m_conn = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_conn) != 0) {
            std::fprintf(stderr, "cannot connect to the X server (DISPLAY=%s)\n", std::getenv("DISPLAY"));
            std::exit(2);
        }
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_conn, m_root, XCB_CW_EVENT_MASK, &mask);
        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(m_conn, &xcb_damage_id);
        if (damage == nullptr || damage->present == 0) {
            std::fprintf(stderr, "the X server has no DAMAGE extension\n");
            std::exit(2);
        }
        m_damageNotify = static_cast<uint8_t>(damage->first_event + XCB_DAMAGE_NOTIFY);
        // The version must be asked for before any other DAMAGE request.
        std::free(xcb_damage_query_version_reply(
            m_conn, xcb_damage_query_version(m_conn, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION), nullptr));
        xcb_flush(m_conn);
    }
    ~Display() { xcb_disconnect(m_conn); }

    // Forgets the map events of windows that came before.
    void Drain()
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_conn)) {
            std::free(event);
        }
    }

    // The next top-level window mapped, if one maps before the deadline.
    std::optional<xcb_window_t> WaitForMap(int timeoutMs)
    {
        return WaitFor(timeoutMs, [](const xcb_generic_event_t& event) -> std::optional<xcb_window_t> {
            if ((event.response_type & 0x7f) != XCB_MAP_NOTIFY) {
                return std::nullopt;
            }
            return reinterpret_cast<const xcb_map_notify_event_t&>(event).window;
        });
    }

    // Starts watching what is drawn in the window: DAMAGE reports each change of its contents
    // as it happens in the server, so nothing need poll for it.
    void WatchDrawing(xcb_window_t window)
    {
        auto& damage = m_damage[window];
        if (damage != 0) {
            xcb_damage_destroy(m_conn, damage);
        }
        damage = xcb_generate_id(m_conn);
        xcb_damage_create(m_conn, damage, window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        xcb_flush(m_conn);
    }

    // Forgets what was drawn in the window so far; its next drawing is reported afresh.
    void ForgetDrawing(xcb_window_t window)
    {
        xcb_damage_subtract(m_conn, m_damage[window], XCB_NONE, XCB_NONE);
        xcb_flush(m_conn);
        Drain();
    }

    // Waits for the window to be drawn in; false when nothing is drawn there before the deadline.
    // Each report is taken back at once, so the next drawing is reported too.
    bool WaitForDrawing(xcb_window_t window, int timeoutMs)
    {
        const bool drawn = WaitFor(timeoutMs, [this, window](const xcb_generic_event_t& event) -> std::optional<bool> {
            if ((event.response_type & 0x7f) != m_damageNotify ||
                reinterpret_cast<const xcb_damage_notify_event_t&>(event).drawable != window) {
                return std::nullopt;
            }
            return true;
        }).has_value();
        if (drawn) {
            xcb_damage_subtract(m_conn, m_damage[window], XCB_NONE, XCB_NONE);
            xcb_flush(m_conn);
        }
        return drawn;
    }

    // Moves a window (the server has no window manager to say otherwise).
    void Move(xcb_window_t window, int x, int y)
    {
        const uint32_t place[] = {static_cast<uint32_t>(x), static_cast<uint32_t>(y)};
        xcb_configure_window(m_conn, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
        xcb_flush(m_conn);
    }

    int ScreenWidth() const { return xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->width_in_pixels; }

    std::string Name(xcb_window_t window)
    {
        const xcb_atom_t utf8Name = Atom("_NET_WM_NAME");
        for (const xcb_atom_t property : {utf8Name, xcb_atom_t{XCB_ATOM_WM_NAME}}) {
            auto* reply = xcb_get_property_reply(
                m_conn, xcb_get_property(m_conn, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr);
            if (reply != nullptr) {
                std::string name(static_cast<const char*>(xcb_get_property_value(reply)),
                                 static_cast<std::size_t>(xcb_get_property_value_length(reply)));
                std::free(reply);
                if (!name.empty()) {
                    return name;
                }
            }
        }
        return {};
    }

    // The window's client area in root coordinates, and its size.
    bool Geometry(xcb_window_t window, int& x, int& y, int& width, int& height)
    {
        auto* geometry = xcb_get_geometry_reply(m_conn, xcb_get_geometry(m_conn, window), nullptr);
        auto* moved = xcb_translate_coordinates_reply(m_conn, xcb_translate_coordinates(m_conn, window, m_root, 0, 0),
                                                      nullptr);
        const bool ok = geometry != nullptr && moved != nullptr;
        if (ok) {
            x = moved->dst_x;
            y = moved->dst_y;
            width = geometry->width;
            height = geometry->height;
        }
        std::free(geometry);
        std::free(moved);
        return ok;
    }

    void Point(int x, int y)
    {
        xcb_test_fake_input(m_conn, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, m_root, static_cast<int16_t>(x),
                            static_cast<int16_t>(y), 0);
        xcb_flush(m_conn);
    }

    // Presses and releases the first button where the pointer is.
    void Press()
    {
        xcb_test_fake_input(m_conn, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(m_conn, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(m_conn);
    }

    void Click(int x, int y)
    {
        Point(x, y);
        Press();
    }

    // The window's pixels, or nothing once it is gone.
    std::optional<std::string> Pixels(xcb_window_t window, int width, int height)
    {
        auto* reply = xcb_get_image_reply(m_conn,
                                          xcb_get_image(m_conn, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                                        static_cast<uint16_t>(width), static_cast<uint16_t>(height), ~0u),
                                          nullptr);
        if (reply == nullptr) {
            return std::nullopt;
        }
        std::string pixels(reinterpret_cast<const char*>(xcb_get_image_data(reply)),
                           static_cast<std::size_t>(xcb_get_image_data_length(reply)));
        std::free(reply);
        return pixels;
    }

private:
    // The first event that `match` turns into a value, if one comes before the deadline; the
    // events before it are dropped.
    template <typename Match>
    auto WaitFor(int timeoutMs, Match match) -> decltype(match(std::declval<const xcb_generic_event_t&>()))
    {
        const auto start = Clock::now();
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_conn)) {
                auto found = match(*event);
                std::free(event);
                if (found) {
                    return found;
                }
            }
            const int left = timeoutMs - static_cast<int>(MsSince(start));
            if (left <= 0 || xcb_connection_has_error(m_conn) != 0) {
                return std::nullopt;
            }
            pollfd fd{xcb_get_file_descriptor(m_conn), POLLIN, 0};
            poll(&fd, 1, left);
        }
    }

    xcb_atom_t Atom(const char* name)
    {
        auto* reply = xcb_intern_atom_reply(
            m_conn, xcb_intern_atom(m_conn, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply != nullptr ? reply->atom : XCB_NONE;
        std::free(reply);
        return atom;
    }

    xcb_connection_t* m_conn = nullptr;
    xcb_window_t m_root = 0;
    uint8_t m_damageNotify = 0;
    std::map<xcb_window_t, xcb_damage_damage_t> m_damage;
};

// ---- the process side ----

struct Launch {
    pid_t pid = -1;
    fs::path home;
};

Launch Start(const std::string& program, const std::string& folder)
{
    Launch launch;
    char scratch[] = "/tmp/velmora-bench-XXXXXX";
    launch.home = mkdtemp(scratch);
    launch.pid = fork();
    if (launch.pid == 0) {
        // An empty record every time, so every launch of the game plays the same way.
        setenv("HOME", launch.home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (launch.home / "config").c_str(), 1);
        if (chdir(folder.c_str()) != 0) {
            _exit(127);
        }
        // Qt's notes about the scratch home would only clutter the figures.
        freopen("/dev/null", "w", stderr);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return launch;
}

void Stop(Launch& launch)
{
    if (launch.pid > 0) {
        kill(launch.pid, SIGKILL);
        waitpid(launch.pid, nullptr, 0);
        launch.pid = -1;
    }
    std::error_code ignored;
    fs::remove_all(launch.home, ignored);
}

std::vector<pid_t> ProcessTree(pid_t root)
{
    std::map<pid_t, pid_t> parents;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        const auto close = line.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        std::istringstream rest(line.substr(close + 2));
        char state = 0;
        pid_t parent = 0;
        rest >> state >> parent;
        parents[std::stoi(name)] = parent;
    }
    std::vector<pid_t> tree{root};
    for (std::size_t i = 0; i < tree.size(); ++i) {
        for (const auto& [pid, parent] : parents) {
            if (parent == tree[i]) {
                tree.push_back(pid);
            }
        }
    }
    return tree;
}

// CPU nanoseconds and times scheduled, per thread of the process tree (from schedstat).
std::map<std::string, std::pair<double, double>> ThreadTimes(pid_t root)
{
    std::map<std::string, std::pair<double, double>> times;
    for (const pid_t pid : ProcessTree(root)) {
        std::error_code error;
        for (const auto& task : fs::directory_iterator(fs::path("/proc") / std::to_string(pid) / "task", error)) {
            std::ifstream schedstat(task.path() / "schedstat");
            double ns = 0;
            double waiting = 0;
            double runs = 0;
            if (schedstat >> ns >> waiting >> runs) {
                times[task.path().string()] = {ns, runs};
            }
        }
    }
    return times;
}

double ResidentMb(pid_t root)
{
    double kb = 0;
    for (const pid_t pid : ProcessTree(root)) {
        std::ifstream status(fs::path("/proc") / std::to_string(pid) / "status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("VmRSS:", 0) == 0) {
                kb += std::stod(line.substr(6));
            }
        }
    }
    return kb / 1024.0;
}

struct Waiting {
    double cpuPercent = 0;
    double wakeupsPerSecond = 0;
};

Waiting MeasureWaiting(pid_t pid, int seconds)
{
    const auto before = ThreadTimes(pid);
    const auto start = Clock::now();
    Sleep(seconds * 1000);
    const auto after = ThreadTimes(pid);
    const double wall = MsSince(start) / 1000.0;
    double ns = 0;
    double runs = 0;
    for (const auto& [task, figures] : after) {
        const auto earlier = before.find(task);
        const std::pair<double, double> base = earlier != before.end() ? earlier->second : std::pair<double, double>{};
        ns += figures.first - base.first;
        runs += figures.second - base.second;
    }
    return {100.0 * ns / 1e9 / wall, runs / wall};
}

// A window to click in: where its client area lies, and how to tell its next line was drawn.
struct Target {
    xcb_window_t window = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

std::optional<Target> ClickTarget(Display& display, xcb_window_t window)
{
    Target target{window, 0, 0, 0, 0};
    if (!display.Geometry(window, target.x, target.y, target.width, target.height)) {
        return std::nullopt;
    }
    display.WatchDrawing(window);
    return target;
}

// The time from a click to the window's first changed picture, or nothing once the window is gone
// or stops answering. The time is taken when the server reports the drawing that changed the
// pixels; the pixels are read only to tell a change from a repaint of the same picture. (Polling
// the pixels instead timed the larger window's reads as much as its drawing, and took the cores
// from the program being measured.)
std::optional<double> ClickToNextLine(Display& display, const Target& target)
{
    // The pointer is brought in first, as a player's would be: what the window does as the
    // pointer enters is not part of the click.
    display.Point(target.x + target.width / 2, target.y + target.height / 3);
    Sleep(100);
    display.ForgetDrawing(target.window);
    const auto before = display.Pixels(target.window, target.width, target.height);
    if (!before) {
        return std::nullopt;
    }
    const auto start = Clock::now();
    display.Press();
    for (;;) {
        const int left = 2000 - static_cast<int>(MsSince(start));
        if (left <= 0 || !display.WaitForDrawing(target.window, left)) {
            return std::nullopt;
        }
        const double drawn = MsSince(start);
        const auto now = display.Pixels(target.window, target.width, target.height);
        if (!now) {
            return std::nullopt;
        }
        if (*now != *before) {
            return drawn;
        }
    }
}

// ---- the figures ----

struct Series {
    std::vector<double> values;
    void Add(std::optional<double> value)
    {
        if (value) {
            values.push_back(*value);
        }
    }
    double Median() const
    {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0.0 : sorted[sorted.size() / 2];
    }
};

void PrintRow(const char* figure, const char* who, const Series& series, const Series* floor, const char* unit,
              int decimals)
{
    if (series.values.empty()) {
        std::printf("  %-34s %-18s no figures\n", figure, who);
        return;
    }
    const auto [low, high] = std::minmax_element(series.values.begin(), series.values.end());
    std::printf("  %-34s %-18s min %8.*f  median %8.*f  max %8.*f %-3s (n=%zu)", figure, who, decimals, *low,
                decimals, series.Median(), decimals, *high, unit, series.values.size());
    if (floor != nullptr && floor->Median() > 0) {
        std::printf("  %.2fx the bare window", series.Median() / floor->Median());
    }
    std::printf("\n");
}

struct Subject {
    const char* name;
    Series start;
    Series cpu;
    Series wakeups;
    Series resident;
    Series click;
};

// Drives the game from its logo to the opening's first line: the title screen, a click on its
// picture, then the start button with or without music.
std::optional<xcb_window_t> GameToFirstLine(Display& display, bool music)
{
    for (int windows = 0; windows < 3; ++windows) {
        const auto window = display.WaitForMap(15000);
        if (!window) {
            return std::nullopt;
        }
        if (display.Name(*window) != "Velmora") {
            continue;
        }
        Sleep(500);
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        if (!display.Geometry(*window, x, y, width, height)) {
            return std::nullopt;
        }
        display.Click(x + 20, y + 20);
        Sleep(500);
        // The start buttons, client pixels: with music at 72,168, without at 208,168 (129x25).
        display.Click(x + (music ? 72 : 208) + 60, y + 168 + 12);
        return display.WaitForMap(10000);
    }
    return std::nullopt;
}

void PrintClicks(const char* what, const Series& clicks)
{
    std::printf("  %s", what);
    for (const double time : clicks.values) {
        std::printf(" %.1f", time);
    }
    std::printf(" ms");
}

// Clicks through the game's lines in turns with clicks on a bare window launched beside it, so that
// a spell of this machine's slowness, which can last seconds and slows every program alike, falls
// on both. Returns the game's times and the bare window's.
std::pair<Series, Series> ClicksBesideTheBareWindow(Display& display, xcb_window_t gameWindow, const std::string& bare,
                                                    int clicks)
{
    Series times;
    Series bareTimes;
    display.Drain();
    Launch beside = Start(bare, fs::current_path().string());
    const std::optional<xcb_window_t> bareWindow = display.WaitForMap(10000);
    std::optional<Target> bareTarget;
    std::optional<Target> gameTarget = ClickTarget(display, gameWindow);
    if (bareWindow) {
        // The top right corner, clear of the game's window in the middle of the screen.
        constexpr int Margin = 8;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        if (display.Geometry(*bareWindow, x, y, width, height)) {
            display.Move(*bareWindow, display.ScreenWidth() - width - Margin, Margin);
            Sleep(300);
            bareTarget = ClickTarget(display, *bareWindow);
        }
    }
    for (int i = 0; i < clicks && gameTarget && bareTarget; ++i) {
        for (const bool onBare : {true, false}) {
            Series& into = onBare ? bareTimes : times;
            const std::optional<double> time = ClickToNextLine(display, onBare ? *bareTarget : *gameTarget);
            if (!time) {
                (onBare ? bareTarget : gameTarget).reset();
                break;
            }
            into.Add(time);
            Sleep(200);
        }
    }
    if (!bareTarget) {
        std::fprintf(stderr, "  the bare window beside the game stopped answering\n");
    }
    Stop(beside);
    return {times, bareTimes};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <velmora> <data folder> <bare window> [rounds] [starts] [seconds]\n", argv[0]);
        return 2;
    }
    const std::string game = argv[1];
    const std::string data = argv[2];
    const std::string bare = argv[3];
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
    const int starts = argc > 5 ? std::atoi(argv[5]) : 10;
    const int seconds = argc > 6 ? std::atoi(argv[6]) : 20;
    // The opening's first lines, one scene change among them.
    constexpr int Clicks = 9;
    // Long enough for the first line's music to be playing, or for the jingle's output to go.
    constexpr int SettleMs = 5000;

    Display display;
    Subject floor{"bare Qt window", {}, {}, {}, {}, {}};
    Subject off{"Velmora music off", {}, {}, {}, {}, {}};
    Subject on{"Velmora music on", {}, {}, {}, {}, {}};

    std::printf("Start to first window mapped, %d launches each, taken in turns:\n", starts);
    for (int i = 0; i < starts; ++i) {
        for (Subject* subject : {&floor, &off}) {
            display.Drain();
            const auto begun = Clock::now();
            Launch launch = Start(subject == &floor ? bare : game, subject == &floor ? fs::current_path().string() : data);
            if (display.WaitForMap(10000)) {
                subject->start.Add(MsSince(begun));
            }
            Stop(launch);
            Sleep(200);
        }
    }

    std::printf("Waiting at a line for %d s, resident memory, click to next line; %d rounds\n"
                "(the game's clicks taken in turns with a bare window's beside it):\n",
                seconds, rounds);
    for (int round = 0; round < rounds; ++round) {
        for (Subject* subject : {&floor, &off, &on}) {
            display.Drain();
            Launch launch = Start(subject == &floor ? bare : game, subject == &floor ? fs::current_path().string() : data);
            std::optional<xcb_window_t> window = subject == &floor ? display.WaitForMap(10000)
                                                                   : GameToFirstLine(display, subject == &on);
            if (!window) {
                std::fprintf(stderr, "  %s: no window to measure\n", subject->name);
                Stop(launch);
                continue;
            }
            Sleep(SettleMs);
            const Waiting waiting = MeasureWaiting(launch.pid, seconds);
            subject->cpu.Add(waiting.cpuPercent);
            subject->wakeups.Add(waiting.wakeupsPerSecond);
            const double resident = ResidentMb(launch.pid);
            subject->resident.Add(resident);
            std::printf("  round %d %-18s cpu %.2f %%  %.1f wake-ups/s  %.1f MB", round + 1, subject->name,
                        waiting.cpuPercent, waiting.wakeupsPerSecond, resident);
            if (subject != &floor) {
                const auto [clicks, bareClicks] = ClicksBesideTheBareWindow(display, *window, bare, Clicks);
                PrintClicks("clicks", clicks);
                PrintClicks("; the bare window's beside it", bareClicks);
                subject->click.values.insert(subject->click.values.end(), clicks.values.begin(), clicks.values.end());
                floor.click.values.insert(floor.click.values.end(), bareClicks.values.begin(), bareClicks.values.end());
            }
            std::printf("\n");
            std::fflush(stdout);
            Stop(launch);
        }
    }

    std::printf("\nFigures (median; ratios of medians to the bare window):\n");
    PrintRow("start to first window mapped", floor.name, floor.start, nullptr, "ms", 1);
    PrintRow("", "Velmora", off.start, &floor.start, "ms", 1);
    for (const Subject* subject : {&floor, &off, &on}) {
        PrintRow("CPU waiting at a line, % of a core", subject->name, subject->cpu, nullptr, "%", 2);
    }
    for (const Subject* subject : {&floor, &off, &on}) {
        PrintRow("thread wake-ups while waiting", subject->name, subject->wakeups, nullptr, "/s", 1);
    }
    for (const Subject* subject : {&floor, &off, &on}) {
        PrintRow("resident memory, process tree", subject->name, subject->resident, subject == &floor ? nullptr : &floor.resident,
                 "MB", 1);
    }
    for (const Subject* subject : {&floor, &off, &on}) {
        PrintRow("click to next line drawn", subject->name, subject->click, subject == &floor ? nullptr : &floor.click,
                 "ms", 1);
    }
    return 0;
}

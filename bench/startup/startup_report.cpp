// The start-up watch's lines as the tables of docs/PERFORMANCE.md, the ratios
// against their goals last. The rows of each file, in order: the program, an
// empty window as shipped, and (on Wayland) the empty window that loads no
// graphics driver.
//   startup_report inside RUNS FILE               the program against the empty window
//   startup_report outside RUNS X11 WESTON SWAY   every session, then the ratios
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "report.h"

namespace {

using taborvane::bench::Fixed;
using taborvane::bench::PrintTable;
using taborvane::bench::Row;

struct Window {
    std::string label;
    double ms = 0, mib = 0;
    std::string driver;
};

std::vector<Window> Read(const char* path) {
    std::vector<Window> windows;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        std::istringstream fields(line);
        Window window;
        std::string ms, mib;
        if (!std::getline(fields, window.label, '\t') || !std::getline(fields, ms, '\t') ||
            !std::getline(fields, mib, '\t') || !std::getline(fields, window.driver))
            continue;
        window.ms = std::atof(ms.c_str());
        window.mib = std::atof(mib.c_str());
        windows.push_back(window);
    }
    return windows;
}

std::string Ratio(double a, double b) { return b > 0 ? Fixed(a / b, 2) : "–"; }

struct Session {
    std::string name;
    std::vector<Window> windows;
    [[nodiscard]] const Window& program() const { return windows[0]; }
    [[nodiscard]] const Window& shipped() const { return windows[1]; }
    // On X11 Qt loads no driver for a plain window: there the window as shipped is that one.
    [[nodiscard]] const Window& driverless() const { return windows.size() > 2 ? windows[2] : windows[1]; }
};

void PrintInside(int runs, const std::vector<Window>& windows) {
    const Window& program = windows[0];
    const Window& empty = windows[1];
    const std::string ms = " ms", mib = " MiB";
    PrintTable({"window", "start until shown (median of " + std::to_string(runs) + ")", "peak resident memory"},
               {{program.label, Fixed(program.ms, 1) + ms, Fixed(program.mib, 1) + mib},
                {empty.label, Fixed(empty.ms, 1) + ms, Fixed(empty.mib, 1) + mib},
                {"ratio (goal ≤ 1.4 and ≤ 1.2)", Ratio(program.ms, empty.ms), Ratio(program.mib, empty.mib)}});
}

void PrintOutside(int runs, const std::vector<Session>& sessions) {
    std::vector<Row> rows;
    for (const Session& session : sessions)
        for (const Window& window : session.windows)
            rows.push_back({session.name, window.label, Fixed(window.ms, 1) + " ms", Fixed(window.mib, 1) + " MiB",
                            window.driver});
    PrintTable({"session", "window", "start until first buffer (median of " + std::to_string(runs) + ")",
                "peak resident memory then (median)", "graphics driver mapped"},
               rows);
    const Session& x11 = sessions[0];
    const auto across = [&sessions](const std::string& what, auto figure, const std::string& goal) {
        Row row{what};
        for (const Session& session : sessions) row.push_back(figure(session));
        row.push_back(goal);
        return row;
    };
    PrintTable({"ratio", sessions[0].name, sessions[1].name, sessions[2].name, "goal"},
               {across(
                    "peak memory: Taborvane here / Taborvane on X11",
                    [&x11](const Session& s) {
                        return &s == &x11 ? std::string("–") : Ratio(s.program().mib, x11.program().mib);
                    },
                    "≤ 1.2"),
                across(
                    "start-up: Taborvane / the empty window that loads no driver",
                    [](const Session& s) { return Ratio(s.program().ms, s.driverless().ms); }, "≤ 1.2 on Wayland"),
                across(
                    "peak memory: Taborvane / the empty window that loads no driver",
                    [](const Session& s) { return Ratio(s.program().mib, s.driverless().mib); }, "–"),
                across(
                    "start-up: Taborvane / the empty window as shipped",
                    [](const Session& s) { return Ratio(s.program().ms, s.shipped().ms); }, "–"),
                across(
                    "peak memory: Taborvane / the empty window as shipped",
                    [](const Session& s) { return Ratio(s.program().mib, s.shipped().mib); }, "–")});
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string kind = argc > 1 ? argv[1] : "";
    const int runs = argc > 2 ? std::atoi(argv[2]) : 0;
    if (kind == "inside" && argc == 4) {
        const std::vector<Window> windows = Read(argv[3]);
        if (windows.size() < 2) return 1;
        PrintInside(runs, windows);
        return 0;
    }
    if (kind == "outside" && argc == 6) {
        std::vector<Session> sessions{
            {"X11 (Xvfb)", Read(argv[3])}, {"Weston", Read(argv[4])}, {"sway", Read(argv[5])}};
        for (const Session& session : sessions)
            if (session.windows.size() < 2) return 1;
        PrintOutside(runs, sessions);
        return 0;
    }
    std::fprintf(stderr, "usage: startup_report inside RUNS FILE | outside RUNS X11 WESTON SWAY\n");
    return 2;
}

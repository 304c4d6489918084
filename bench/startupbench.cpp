// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up cost of the program against a floor window, measured in one run.
// Alternates program and floor runs of startupprobe and reports medians of wall time,
// CPU time and peak resident memory. The ratios are medians of the ratios within each
// adjacent program/floor pair, which drift in the machine's speed affects least.
// usage: startupbench PROBE [RUNS]   (X11 is measured too when DISPLAY is set)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Sample {
    double wallMs;
    double cpuMs;
    double peakMiB;
};

Sample runOnce(const char *probe, const char *mode, const char *platform)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        setenv("QT_QPA_PLATFORM", platform, 1);
        execl(probe, probe, mode, static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    wait4(child, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s %s on %s failed\n", probe, mode, platform);
        std::exit(EXIT_FAILURE);
    }
    const auto ms = [](const timeval &t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return { std::chrono::duration<double, std::milli>(end - start).count(),
        ms(usage.ru_utime) + ms(usage.ru_stime), usage.ru_maxrss / 1024.0 };
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool measure(const char *probe, const char *platform, int runs)
{
    runOnce(probe, "program", platform); // warm the file cache for both
    runOnce(probe, "floor", platform);
    std::vector<double> wall[2], cpu[2], peak[2], wallRatios, cpuRatios, extraPeaks;
    for (int i = 0; i < runs; ++i) {
        const Sample program = runOnce(probe, "program", platform);
        const Sample floor = runOnce(probe, "floor", platform);
        for (const auto &[which, s] : { std::pair { 0, program }, std::pair { 1, floor } }) {
            wall[which].push_back(s.wallMs);
            cpu[which].push_back(s.cpuMs);
            peak[which].push_back(s.peakMiB);
        }
        wallRatios.push_back(program.wallMs / floor.wallMs);
        cpuRatios.push_back(program.cpuMs / floor.cpuMs);
        extraPeaks.push_back(program.peakMiB - floor.peakMiB);
    }
    const double wallRatio = median(wallRatios);
    const double cpuRatio = median(cpuRatios);
    const double extraMiB = median(extraPeaks);
    std::printf("%s, %d runs each, medians (program / floor):\n", platform, runs);
    std::printf("  wall  %7.1f ms / %7.1f ms   ratio %.2f  (target <= 1.15)\n", median(wall[0]),
        median(wall[1]), wallRatio);
    std::printf("  cpu   %7.1f ms / %7.1f ms   ratio %.2f  (target <= 1.15)\n", median(cpu[0]),
        median(cpu[1]), cpuRatio);
    std::printf("  peak  %7.1f MiB / %6.1f MiB  +%.1f MiB  (target <= +3 MiB)\n", median(peak[0]),
        median(peak[1]), extraMiB);
    return wallRatio <= 1.15 && cpuRatio <= 1.15 && extraMiB <= 3.0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROBE [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::max(10, std::atoi(argv[2])) : 30;
    bool met = true;
    if (std::getenv("DISPLAY"))
        met &= measure(argv[1], "xcb", runs);
    met &= measure(argv[1], "offscreen", runs);
    std::printf(met ? "all targets met\n" : "a target was missed\n");
    return met ? 0 : 1;
}

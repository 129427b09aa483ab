#pragma once

// olad of a test's own, set up by live/olad_sandbox.py (the dummy plugin alone, loopback ports of
// its own, the universe patched) and stopped by its process id.

#include "live/LiveOutput.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace testing_support {

inline std::string Output(const std::string &command)
{
    std::string text;
    FILE *pipe = popen(command.c_str(), "r");
    for (char buffer[4096]; std::size_t n = fread(buffer, 1, sizeof buffer, pipe);)
        text.append(buffer, n);
    return pclose(pipe) == 0 ? text : "failed: " + text;
}

// Why olad cannot run for the tests here, or nothing.
inline std::string OladMissing()
{
    if (!DaemonOutputBuilt())
        return "this build has no live output: OLA's development files (libola-dev) were missing";
    if (std::system("command -v olad >/dev/null") != 0)
        return "olad is not installed (Debian package ola): the live output tests need it";
    return {};
}

class TOlad {
public:
    explicit TOlad(unsigned universe) : universe_(std::to_string(universe))
    {
        std::istringstream(Output(Sandbox + " ports")) >> rpc_ >> http_;
        std::string pattern = "/tmp/rigsmith-olad-XXXXXX";
        dir_ = mkdtemp(pattern.data());
        const std::string run = "exec " + Sandbox + " run " + dir_.string() + " " + rpc_ + " " + http_ + " " +
                                universe_ + " >" + dir_.string() + ".log 2>&1";
        if ((pid_ = fork()) == 0) {
            execl("/bin/sh", "sh", "-c", run.c_str(), nullptr);
            _exit(127);
        }
        if (const std::string ready = Output(Sandbox + " ready " + http_ + " " + universe_ + " 2>&1"); !ready.empty())
            throw std::runtime_error(ready + Output("cat " + dir_.string() + ".log"));
    }
    ~TOlad()
    {
        Stop();
        std::filesystem::remove_all(dir_);
        std::filesystem::remove(dir_.string() + ".log");
    }
    TOlad(const TOlad &) = delete;
    TOlad &operator=(const TOlad &) = delete;

    const std::string &Port() const { return rpc_; }
    // The universe's levels from channel 1 on, from olad's web server; none once olad has stopped.
    std::vector<int> Levels() const
    {
        std::string reply =
            Output("bash -c 'exec 3<>/dev/tcp/127.0.0.1/" + http_ + " && printf \"GET /get_dmx?u=" + universe_ +
                   " HTTP/1.0\\r\\n\\r\\n\" >&3 && cat <&3' 2>/dev/null");
        const auto list = reply.find('[');
        std::replace(reply.begin(), reply.end(), ',', ' ');
        std::istringstream text(list == std::string::npos ? std::string() : reply.substr(list + 1));
        std::vector<int> levels;
        for (int level = 0; text >> level;)
            levels.push_back(level);
        return levels;
    }
    void Stop()
    {
        if (pid_ > 0 && kill(pid_, SIGTERM) == 0)
            waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

private:
    inline static const std::string Sandbox = RIGSMITH_SOURCE_DIR "/tests/live/olad_sandbox.py";
    std::string universe_, rpc_, http_;
    std::filesystem::path dir_;
    pid_t pid_ = 0;
};

} // namespace testing_support

#pragma once

// olad of a test's own: loopback ports nobody else uses, a scratch configuration in which every
// plugin but the dummy one is off before the first start (nothing may leave the machine), the
// universe patched to the dummy device's output, and the process stopped by its id at the end.

#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace testing_support {

// Every plugin of OLA 0.10 by the name of its configuration file; an installed olad may bring
// more, as libraries named after them, which are switched off too. The check after the start
// refuses to go on should any plugin but the dummy one still be enabled.
inline std::vector<std::string> OlaPlugins()
{
    std::vector<std::string> plugins{
        "artnet",           "e131",      "espnet",    "ftdidmx", "gpio",    "karate",  "kinet", "milinst",    "opendmx",
        "openpixelcontrol", "osc",       "pathport",  "renard",  "sandnet", "shownet", "spi",   "stageprofi", "uartdmx",
        "usbdmx",           "usbserial", "dmx4linux", "nanoleaf"};
    if (FILE *libraries = popen("ldd \"$(command -v olad)\" 2>/dev/null", "r")) {
        char line[512];
        while (fgets(line, sizeof line, libraries))
            if (const char *name = strstr(line, "libola"); name && strstr(name, ".so"))
                plugins.emplace_back(name + 6, strstr(name, ".so"));
        pclose(libraries);
    }
    std::erase_if(plugins, [](const std::string &name) { return name.empty() || name == "dummy"; });
    return plugins;
}

// Why olad cannot run for the tests here, or nothing.
inline std::string OladMissing()
{
    if (std::system("command -v olad >/dev/null 2>&1") != 0)
        return "olad is not installed (Debian package ola): the live output tests need it";
    if (geteuid() == 0 && std::system("command -v setpriv >/dev/null 2>&1") != 0)
        return "olad refuses to run as root and setpriv is missing to start it as nobody";
    return {};
}

// A port of the loopback interface that was free a moment ago.
inline uint16_t FreePort()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    bind(s, reinterpret_cast<sockaddr *>(&address), size);
    getsockname(s, reinterpret_cast<sockaddr *>(&address), &size);
    close(s);
    return ntohs(address.sin_port);
}

// The body of an HTTP GET on the loopback interface; empty when nothing answers.
inline std::string HttpGet(uint16_t port, const std::string &path)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    std::string reply;
    if (connect(s, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0) {
        const std::string request = "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        if (write(s, request.data(), request.size()) == static_cast<ssize_t>(request.size()))
            for (char buffer[4096]; const ssize_t n = read(s, buffer, sizeof buffer);)
                reply.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    }
    close(s);
    const auto body = reply.find("\r\n\r\n");
    return body == std::string::npos ? std::string() : reply.substr(body + 4);
}

class TOlad {
public:
    explicit TOlad(unsigned universe) : universe_(universe), rpc_(FreePort()), http_(FreePort())
    {
        while (http_ == rpc_)
            http_ = FreePort();
        std::string pattern = "/tmp/rigsmith-olad-XXXXXX";
        dir_ = mkdtemp(pattern.data());
        for (const std::string &plugin : OlaPlugins())
            std::ofstream(dir_ / ("ola-" + plugin + ".conf")) << "enabled = false\n";
        std::ofstream(dir_ / "ola-dummy.conf") << "enabled = true\n";
        std::ofstream(dir_ / "ola-port.conf") << "1-1-O-0 = " << universe << "\n";
        std::vector<std::string> args{"olad",
                                      "--config-dir",
                                      dir_.string(),
                                      "--rpc-port",
                                      std::to_string(rpc_),
                                      "--http-port",
                                      std::to_string(http_),
                                      "--interface",
                                      "127.0.0.1",
                                      "--no-register-with-dns-sd",
                                      "--log-level",
                                      "2"};
        if (geteuid() == 0) { // olad will not run as root: as nobody, in a directory of its own
            const passwd *nobody = getpwnam("nobody");
            const group *nogroup = getgrnam("nogroup");
            for (const auto &entry : std::filesystem::recursive_directory_iterator(dir_))
                chown(entry.path().c_str(), nobody->pw_uid, nogroup->gr_gid);
            chown(dir_.c_str(), nobody->pw_uid, nogroup->gr_gid);
            args.insert(args.begin(), {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"});
        }
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, (dir_ / "olad.log").c_str(), O_WRONLY | O_CREAT, 0644);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        std::vector<char *> argv;
        for (std::string &arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawnp(&pid_, argv[0], &files, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&files);
        // Ready once the universe exists: the dummy plugin has started and its port is patched.
        const std::string ready = "\"error\":\"\"";
        for (int tries = 0;
             tries < 200 && Running() && Compact(HttpGet(http_, Query())).find(ready) == std::string::npos; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const std::string plugins = Compact(HttpGet(http_, "/json/universe_plugin_list"));
        if (plugins.find("\"enabled\":true,\"id\":1,\"name\":\"Dummy\"") == std::string::npos ||
            plugins.find("\"enabled\":true") != plugins.rfind("\"enabled\":true")) {
            Stop();
            std::ifstream log(dir_ / "olad.log");
            throw std::runtime_error("olad did not start with the dummy plugin alone: " + plugins + "\n" +
                                     std::string(std::istreambuf_iterator<char>(log), {}));
        }
    }
    ~TOlad()
    {
        Stop();
        std::filesystem::remove_all(dir_);
    }
    TOlad(const TOlad &) = delete;
    TOlad &operator=(const TOlad &) = delete;

    uint16_t RpcPort() const { return rpc_; }
    std::string Port() const { return std::to_string(rpc_); }
    bool Running() const
    {
        if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) != 0)
            pid_ = 0;
        return pid_ > 0;
    }

    // The universe's levels from channel 1 up to the last one olad holds.
    std::vector<int> Levels() const
    {
        const std::string reply = Compact(HttpGet(http_, Query()));
        std::vector<int> levels;
        const auto list = reply.find("\"dmx\":[");
        std::istringstream in(list == std::string::npos ? std::string() : reply.substr(list + 7));
        char separator = ',';
        for (int level = 0; separator == ',' && in >> level >> separator;)
            levels.push_back(level);
        return levels;
    }

    void Stop()
    {
        if (!Running())
            return;
        kill(pid_, SIGTERM);
        for (int tries = 0; tries < 100 && Running(); ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (Running()) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = 0;
        }
    }

private:
    std::string Query() const { return "/get_dmx?u=" + std::to_string(universe_); }
    static std::string Compact(std::string text)
    {
        std::erase_if(text, [](char c) { return c == ' ' || c == '\n'; });
        return text;
    }

    unsigned universe_;
    uint16_t rpc_, http_;
    std::filesystem::path dir_;
    mutable pid_t pid_ = 0;
};

} // namespace testing_support

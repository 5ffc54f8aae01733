// Debian's ser2net, started by a test on 127.0.0.1 with a configuration of
// its own: one device served twice, as RFC 2217 (telnet(rfc2217) accepter)
// and as raw TCP (tcp accepter), with the character delay off.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <netinet/in.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>

extern char** environ;

namespace bc::test {

// A port of 127.0.0.1 that nothing listens on: bound and held, never
// listened on, so that a connection to it is refused and no other program
// can take it meanwhile.
class RefusingPort {
public:
    RefusingPort() {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) == 0)
            port = ntohs(a.sin_port);
    }
    ~RefusingPort() { close(fd_); }
    uint16_t port = 0;

private:
    int fd_;
};

class Ser2net {
public:
    Ser2net() {
        char tmpl[] = "/tmp/benchcom-ser2net-XXXXXX";
        dir_ = mkdtemp(tmpl);
    }
    ~Ser2net() {
        kill();
        std::filesystem::remove_all(dir_);
    }
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    // Serves `device` with the line settings `line` (ser2net's "9600n81"
    // form); true once ser2net listens on both ports.
    bool start(const std::string& device, const std::string& line = "9600n81") {
        // The ports are free when chosen; should another program take one
        // before ser2net does, ser2net is started again on others.
        for (int attempt = 0; attempt < 5; ++attempt) {
            rfc2217Port = freePort();
            rawPort = freePort();
            if (rfc2217Port == rawPort) continue;
            writeConfig(device, line);
            if (!spawn()) return false;
            if (listening()) return true;
            kill();
        }
        return false;
    }

    std::string rfc2217Url() const { return "rfc2217://127.0.0.1:" + std::to_string(rfc2217Port); }
    std::string socketUrl() const { return "socket://127.0.0.1:" + std::to_string(rawPort); }

    // Ends ser2net at once, as a crash or a power cut would.
    void kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    uint16_t rfc2217Port = 0, rawPort = 0;

private:
    static uint16_t freePort() {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        uint16_t port = 0;
        if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
            port = ntohs(a.sin_port);
        close(fd);
        return port;
    }

    void writeConfig(const std::string& device, const std::string& line) {
        std::ofstream f(dir_ + "/ser2net.yaml");
        f << "%YAML 1.1\n---\n";
        const std::string accepters[] = {"telnet(rfc2217),tcp,127.0.0.1," + std::to_string(rfc2217Port),
                                         "tcp,127.0.0.1," + std::to_string(rawPort)};
        int n = 0;
        for (const std::string& accepter : accepters)
            f << "connection: &c" << n++ << "\n  accepter: " << accepter << "\n  connector: serialdev(nouucplock),"
              << device << "," << line << ",local\n  options:\n    chardelay: false\n";
    }

    bool spawn() {
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        const std::string log = dir_ + "/ser2net.log";
        posix_spawn_file_actions_addopen(&fa, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        posix_spawn_file_actions_adddup2(&fa, 1, 2);
        std::string args[] = {"/usr/sbin/ser2net", "-n", "-d", "-c", dir_ + "/ser2net.yaml", "-P", dir_ + "/ser2net.pid"};
        char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(),
                        args[4].data(), args[5].data(), args[6].data(), nullptr};
        const int r = posix_spawn(&pid_, args[0].c_str(), &fa, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&fa);
        if (r != 0) pid_ = -1;
        return r == 0;
    }

    // True once ser2net itself holds listening sockets on both ports (not
    // some other program that took one first): its open sockets matched
    // against the kernel's table of listening TCP sockets.
    bool listening() const {
        for (int i = 0; i < 250; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) return false;
            const std::set<std::string> own = socketsOf(pid_);
            if (own.count(listener(rfc2217Port)) && own.count(listener(rawPort))) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    static std::set<std::string> socketsOf(pid_t pid) {
        std::set<std::string> out;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
            const std::string target = std::filesystem::read_symlink(e.path(), ec).string();
            if (target.rfind("socket:[", 0) == 0) out.insert(target.substr(8, target.size() - 9));
        }
        return out;
    }

    // The inode of the socket listening on 127.0.0.1:port, or "".
    static std::string listener(uint16_t port) {
        std::ifstream tcp("/proc/net/tcp");
        std::string row;
        char local[16];
        std::snprintf(local, sizeof local, "0100007F:%04X", port);
        while (std::getline(tcp, row)) {
            std::istringstream fields(row);
            std::string slot, localAddress, remote, state, skip, inode;
            fields >> slot >> localAddress >> remote >> state;
            for (int i = 0; i < 5; ++i) fields >> skip;  // tx:rx, tr:when, retrnsmt, uid, timeout
            fields >> inode;
            if (localAddress == local && state == "0A") return inode;
        }
        return "";
    }

    std::string dir_;
    pid_t pid_ = -1;
};

}  // namespace bc::test

#include "testkit/ser2net_process.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "platform/posix/child_process.h"

namespace bc::sim {

namespace {

uint16_t freePort() {
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

// What the process's open file descriptors point at.
std::set<std::string> openFilesOf(pid_t pid) {
    std::set<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec))
        out.insert(std::filesystem::read_symlink(e.path(), ec).string());
    return out;
}

std::string socketName(const std::string& inode) { return "socket:[" + inode + "]"; }

// The inode of the socket listening on 127.0.0.1:port, or "".
std::string listener(uint16_t port) {
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

}  // namespace

Ser2net::Ser2net() {
    char tmpl[] = "/tmp/benchcom-ser2net-XXXXXX";
    if (mkdtemp(tmpl)) dir_ = tmpl;
}

Ser2net::~Ser2net() {
    kill();
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
}

bool Ser2net::start(const std::string& device, const std::string& line) {
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

void Ser2net::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void Ser2net::writeConfig(const std::string& device, const std::string& line) {
    std::ofstream f(dir_ + "/ser2net.yaml");
    f << "%YAML 1.1\n---\n";
    const std::string accepters[] = {"telnet(rfc2217),tcp,127.0.0.1," + std::to_string(rfc2217Port),
                                     "tcp,127.0.0.1," + std::to_string(rawPort)};
    int n = 0;
    for (const std::string& accepter : accepters)
        f << "connection: &c" << n++ << "\n  accepter: " << accepter << "\n  connector: serialdev(nouucplock),"
          << device << "," << line << ",local\n  options:\n    chardelay: false\n";
}

bool Ser2net::spawn() {
    posix::ChildLaunch launch;
    launch.argv = {"/usr/sbin/ser2net", "-n", "-d", "-c", dir_ + "/ser2net.yaml", "-P", dir_ + "/ser2net.pid"};
    launch.stdoutFile = dir_ + "/ser2net.log";
    launch.appendToFile = true;
    launch.stderrToFile = true;
    pid_ = posix::spawnChild(launch);
    return pid_ > 0;
}

// True once ser2net itself holds listening sockets on both ports (not some
// other program that took one first): its open sockets matched against the
// kernel's table of listening TCP sockets.
bool Ser2net::listening() const {
    for (int i = 0; i < 250; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) return false;
        const std::set<std::string> own = openFilesOf(pid_);
        if (own.count(socketName(listener(rfc2217Port))) && own.count(socketName(listener(rawPort)))) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool Ser2net::awaitRelease(const std::string& device) const {
    for (int i = 0; i < 2000; ++i) {
        if (!openFilesOf(pid_).count(device)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

}  // namespace bc::sim

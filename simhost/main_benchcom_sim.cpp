// benchcom-sim: the simulated bench on a pseudo-terminal. See simUsage.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/child_process.h"
#include "platform/standard_streams.h"
#include "platform/version.h"
#include "ports/replay_port.h"
#include "sim/whole_bench.h"
#include "simhost/bench_view.h"
#include "simhost/faults.h"
#include "simhost/keyboard.h"
#include "simhost/net_host.h"
#include "simhost/pty_host.h"
#include "simhost/replay_peer.h"
#include "simhost/sim_options.h"
#include "simhost/sim_signals.h"

extern char** environ;

namespace {

using namespace bc::sim;

// A command line it cannot take: one line, and where the options are.
int usageError(const std::string& what) {
    fprintf(stderr, "benchcom-sim: %s (benchcom-sim --help lists the options)\n", what.c_str());
    return 2;
}

void applyFaults(const SimOptions& o, WholeBench& d) {
    for (const std::string& name : o.faults) findFault(name)->apply(d);
}

FILE* openView(const SimOptions& o) {
    if (!o.viewPath.empty()) return fopen(o.viewPath.c_str(), "w");
    return isatty(STDERR_FILENO) ? stderr : nullptr;
}

pid_t startCommand(const std::vector<std::string>& command, const std::string& port) {
    bc::posix::ChildLaunch launch;
    launch.argv = command;
    launch.env = {"BENCHCOM_PORT=" + port};
    return bc::posix::spawnChild(launch);
}

// The host moves the bytes: a PtyHost or a NetHost.
template <typename Host>
int serve(WholeBench& d, Host& host, SimOptions& o, BenchView& shown, Keyboard& keyboard, pid_t child) {
    const int64_t start = PtyHost::nowMs();
    bool forwarded = false;
    for (;;) {
        if (stopAsked()) {
            stopHere();
            shown.resume();
        }
        const int64_t sinceStart = PtyHost::nowMs() - start;
        keyboard.poll(o.presses, sinceStart);
        d.rig.panel.release(0xFFFF);
        d.rig.panel.press(keysHeldAt(o.presses, sinceStart));
        host.pump(d.port, 20);
        shown.refresh();
        if (child < 0 && endSignal()) return 0;
        if (child < 0) continue;
        if (endSignal() && !forwarded) {
            kill(child, endSignal());
            forwarded = true;
        }
        int status;
        if (waitpid(child, &status, WNOHANG) == child) {
            host.pump(d.port, 0);
            shown.refresh();
            return bc::posix::exitStatusOf(status);
        }
    }
}

// Serves the bench through `host`, whose address is `port`, until the
// command ends or an interrupt comes.
template <typename Host>
int run(WholeBench& devices, Host& host, const std::string& port, SimOptions& options) {
    if (!options.wirePath.empty() && !(host.wireLog = fopen(options.wirePath.c_str(), "wb"))) {
        fprintf(stderr, "benchcom-sim: cannot write %s: %s\n", options.wirePath.c_str(), strerror(errno));
        return 1;
    }
    FILE* view = openView(options);
    if (!options.viewPath.empty() && !view) {
        fprintf(stderr, "benchcom-sim: cannot write %s: %s\n", options.viewPath.c_str(), strerror(errno));
        return 1;
    }
    catchSimSignals();
    // The view takes its lines of the screen before anything else is
    // printed or started.
    BenchView shown(view, devices.scope, devices.rig);
    shown.refresh();

    pid_t child = -1;
    if (options.command.empty()) {
        printf("%s\n", port.c_str());
        fflush(stdout);
    } else if ((child = startCommand(options.command, port)) < 0) {
        fprintf(stderr, "benchcom-sim: cannot run %s\n", options.command[0].c_str());
        return 127;
    }
    // The keys only once the command has started: a Ctrl-Z while it starts
    // would stop it before it is under way, its parent waiting on it.
    Keyboard keyboard(STDIN_FILENO);
    const int status = serve(devices, host, options, shown, keyboard, child);
    if (host.wireLog) fclose(host.wireLog);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    bc::openMissingStandardStreams();
    WholeBench devices;
    SimOptions options;
    options.inputs[0] = devices.scope.inputs[0];
    options.inputs[1] = devices.scope.inputs[1];
    std::string error;
    if (!parseSimOptions(argc, argv, options, error)) {
        return usageError(error);
    }
    if (options.help) {
        printf("%s", simUsage().c_str());
        return 0;
    }
    if (options.version) {
        printf("benchcom-sim %s\n", bc::version());
        return 0;
    }
    devices.scope.inputs[0] = options.inputs[0];
    devices.scope.inputs[1] = options.inputs[1];
    if (options.adapterDelayMs >= 0) devices.rig.adapter.replyDelayMs = options.adapterDelayMs;
    applyFaults(options, devices);
    bc::ports::Trace recording;
    if (!options.replayPath.empty() && bc::ports::loadTrace(options.replayPath, recording, error)) {
        fprintf(stderr, "benchcom-sim: %s\n", error.c_str());
        return 1;
    }
    ReplayPeer replay(options.replayPath, recording);
    if (!options.replayPath.empty()) {
        devices.port.peer = &replay;
        replay.start(PtyHost::nowMs(), devices.port);
    }

    bc::net::NetworkAddress address;
    if (!options.listen.empty() && !bc::net::parseNetworkAddress(options.listen, address)) {
        return usageError("--listen takes rfc2217://HOST:PORT or socket://HOST:PORT, not " + options.listen);
    }
    if (!options.listen.empty() && !options.linkPath.empty()) {
        return usageError("--link names a pseudo-terminal, which --listen does not serve");
    }
    if (!options.listen.empty()) {
        NetHost host;
        if (!host.open(address, error)) {
            fprintf(stderr, "benchcom-sim: %s\n", error.c_str());
            return 1;
        }
        return run(devices, host, host.url(), options);
    }
    PtyHost host;
    if (!host.open(error)) {
        fprintf(stderr, "benchcom-sim: %s\n", error.c_str());
        return 1;
    }
    if (!options.linkPath.empty()) {
        unlink(options.linkPath.c_str());
        if (symlink(host.path().c_str(), options.linkPath.c_str()) != 0) {
            fprintf(stderr, "benchcom-sim: cannot link %s: %s\n", options.linkPath.c_str(), strerror(errno));
            return 1;
        }
    }
    const int status = run(devices, host, host.path(), options);
    if (!options.linkPath.empty()) unlink(options.linkPath.c_str());
    return status;
}

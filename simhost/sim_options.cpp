#include "simhost/sim_options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "simhost/faults.h"

namespace bc::sim {

namespace {

const char kUsageHead[] =
    "usage: benchcom-sim [OPTION...] [-- COMMAND [ARG...]]\n"
    "\n"
    "Serves a simulated bench (oscilloscope, USB-ISS adapter with range finder, text panel,\n"
    "plot device and MAX7219 display) on a pseudo-terminal. With a COMMAND, runs it with\n"
    "BENCHCOM_PORT set to the bench's port and exits with its status; without one, prints\n"
    "the port's path and serves until interrupted (Ctrl-C, SIGTERM, SIGHUP).\n"
    "\n"
    "  --view PATH           show the display, panel, plot field and instrument commands\n"
    "                        there (default: standard error when it is a terminal; on a\n"
    "                        terminal they are redrawn in place at the bottom of the screen)\n"
    "  --press KEYS          press panel keys on a schedule, e.g. 1@2s,3@5s or 1@2s+3s\n"
    "                        (keys 1-8 can also be typed when standard input is a terminal)\n"
    "  --ch1 SHAPE[,HZ[,V[,DUTY]]]\n"
    "  --ch2 SHAPE[,HZ[,V[,DUTY]]]\n"
    "                        a channel's signal: sine, square, triangle or dc, its\n"
    "                        frequency and amplitude, and for a square wave the percent\n"
    "                        of each period it stays high (defaults: sine 40 kHz 2.5 V\n"
    "                        on channel 1, square 20 kHz 1.5 V 50 % on channel 2)\n"
    "  --adapter-delay MS    the adapter's replies reach the program MS milliseconds\n"
    "                        after their frame (default 1, a USB frame, as the real\n"
    "                        module; 0 for none)\n"
    "  --fault NAME          misbehave (may be given more than once):\n";

const char kUsageTail[] =
    "  --link PATH           also make PATH a symbolic link to the port\n"
    "  --wire PATH           record every byte the program sends in PATH\n"
    "  --listen URL          serve the bench over TCP instead of a pseudo-terminal, at\n"
    "                        rfc2217://HOST:PORT (RFC 2217, the modem lines with the\n"
    "                        loopback plug) or socket://HOST:PORT (raw bytes); port 0\n"
    "                        takes a free one. The address is printed, or given to\n"
    "                        the COMMAND in BENCHCOM_PORT, as the terminal's path is.\n"
    "                        One client at a time, as ser2net serves one: the next\n"
    "                        is turned away while one is connected, even one that\n"
    "                        says nothing; one that reads nothing of what the bench\n"
    "                        sends is slowed, then dropped\n"
    "  --replay TRACE        answer as the devices of a BENCHCOM_TRACE recording did:\n"
    "                        each write it has with the replies it received, at its\n"
    "                        pace; where the client first differs is said on standard\n"
    "                        error (the bench's signals, keys and faults do not apply)\n"
    "  -h, --help            this text\n"
    "  --version             the version of benchcom-sim\n";

// Words wrapped to lines of at most `width` columns, each indented by `indent`.
std::string wrapped(const std::string& words, size_t indent, size_t width) {
    std::string out, line;
    std::stringstream in(words);
    for (std::string word; in >> word;) {
        if (!line.empty() && indent + line.size() + 1 + word.size() > width) {
            out += std::string(indent, ' ') + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) out += std::string(indent, ' ') + line + "\n";
    return out;
}

bool parseShape(const std::string& name, Shape& shape) {
    if (name == "sine")
        shape = Shape::sine;
    else if (name == "square")
        shape = Shape::square;
    else if (name == "triangle")
        shape = Shape::triangle;
    else if (name == "dc")
        shape = Shape::dc;
    else
        return false;
    return true;
}

bool parseNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(value);
}

// "square,1000,1.5,25": shape, then optional frequency (Hz), amplitude (V)
// and, for a square wave only, duty cycle (percent high, strictly between 0
// and 100). On error, says which part is wrong and what it may be.
bool parseSignal(const std::string& text, SignalSource& source, std::string& error) {
    std::stringstream parts(text);
    std::string shape, hz, volts, duty;
    std::getline(parts, shape, ',');
    std::getline(parts, hz, ',');
    std::getline(parts, volts, ',');
    std::getline(parts, duty, ',');
    if (!parts.eof())
        error = "'" + text + "' has more parts than SHAPE,HZ,V,DUTY";
    else if (!parseShape(shape, source.shape))
        error = "unknown shape '" + shape + "': the shapes are sine, square, triangle and dc";
    else if (!hz.empty() && (!parseNumber(hz, source.frequencyHz) || source.frequencyHz <= 0))
        error = "the frequency '" + hz + "' is not a number of hertz above 0";
    else if (!volts.empty() && (!parseNumber(volts, source.amplitudeV) || source.amplitudeV < 0))
        error = "the amplitude '" + volts + "' is not a number of volts, 0 or more";
    else if (!duty.empty() && source.shape != Shape::square)
        error = "a duty cycle ('" + duty + "') is for a square wave only";
    double percent = 0;
    if (error.empty() && !duty.empty() && (!parseNumber(duty, percent) || percent <= 0 || percent >= 100))
        error = "the duty cycle '" + duty + "' is not a percentage between 0 and 100";
    if (error.empty() && !duty.empty()) source.duty = percent / 100.0;
    return error.empty();
}

// Whether the usage shows the option followed by a value ("  --view PATH").
bool takesValue(const std::string& option) { return simUsage().find("  " + option + " ") != std::string::npos; }

}  // namespace

std::string simUsage() { return kUsageHead + wrapped(faultNames(true), 24, 86) + kUsageTail; }

bool parseSimOptions(int argc, char** argv, SimOptions& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            o.command.assign(argv + i + 1, argv + argc);
            if (o.command.empty()) error = "-- must be followed by a command";
            return error.empty();
        }
        if (arg == "-h" || arg == "--help") {
            o.help = true;
            continue;
        }
        if (arg == "--version") {
            o.version = true;
            continue;
        }
        if (i + 1 >= argc) {
            error = takesValue(arg) ? arg + " needs a value" : "unknown option " + arg;
            return false;
        }
        const std::string value = argv[++i];
        if (arg == "--view")
            o.viewPath = value;
        else if (arg == "--link")
            o.linkPath = value;
        else if (arg == "--wire")
            o.wirePath = value;
        else if (arg == "--listen")
            o.listen = value;
        else if (arg == "--replay")
            o.replayPath = value;
        else if (arg == "--press") {
            if (!parseKeyScript(value, o.presses, error)) return false;
        } else if (arg == "--ch1" || arg == "--ch2") {
            const int ch = arg == "--ch1" ? 0 : 1;
            if (!parseSignal(value, o.inputs[ch], error)) {
                error = arg + ": " + error;
                return false;
            }
            o.inputGiven[ch] = true;
        } else if (arg == "--adapter-delay") {
            double ms = 0;
            if (!parseNumber(value, ms) || ms < 0 || ms > 10000 || ms != std::floor(ms)) {
                error = arg + ": '" + value + "' is not a whole number of milliseconds from 0 to 10000";
                return false;
            }
            o.adapterDelayMs = int(ms);
        } else if (arg == "--fault") {
            if (!findFault(value)) {
                error = "unknown fault '" + value + "': the faults are " + faultNames(false);
                return false;
            }
            o.faults.push_back(value);
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    return true;
}

}  // namespace bc::sim

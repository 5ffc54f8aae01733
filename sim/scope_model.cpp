#include "sim/scope_model.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "sim/scope_setting_paths.h"

namespace bc::sim {

namespace {

const char errUndefinedHeader[] = "-113,\"Undefined header\"";
const char errIllegalValue[] = "-224,\"Illegal parameter value\"";
const char errMissingParameter[] = "-109,\"Missing parameter\"";
const char errInputOverflow[] = "-363,\"Input buffer overrun\"";
const char errQueueOverflow[] = "-350,\"Queue overflow\"";
constexpr size_t errorQueueSize = 10;

std::string upperCase(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The smallest 1-2-5 step at or above `x`, the steps a front-panel knob gives.
float stepAtOrAbove(double x, double lowest, double highest) {
    double decade = std::pow(10.0, std::floor(std::log10(x > lowest ? x : lowest)));
    for (;; decade *= 10.0)
        for (double m : {1.0, 2.0, 5.0})
            if (m * decade >= x * (1.0 - 1e-9) || m * decade >= highest)
                return float(m * decade < highest ? m * decade : highest);
}

void putBigEndian32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

}  // namespace

ScopeModel::ScopeModel() {
    inputs[0] = SignalSource{Shape::sine, 40e3, 2.5, 0.0};
    inputs[1] = SignalSource{Shape::square, 20e3, 1.5, 0.0};
}

std::string ScopeModel::learnString() const { return learnStringOf(settings, faults.learnPadTo); }

void ScopeModel::receive(const uint8_t* bytes, size_t count, int64_t now, SimPort& port) {
    for (const std::string& message : lines_.feed(bytes, count)) handleMessage(message, now, port);
    if (lines_.overflowed) {
        lines_.overflowed = false;
        pushError(errInputOverflow);
    }
}

void ScopeModel::handleMessage(const std::string& message, int64_t now, SimPort& port) {
    heard.push_back({now, message});
    keepLatest(heard, heardLimit, heardDropped);
    size_t start = message.find_first_not_of(" \t");
    const std::string key = upperCase(start == std::string::npos ? "" : message.substr(start));
    if (auto canned = cannedReplies.find(key); canned != cannedReplies.end()) {
        if (!faults.silent) port.send(faults.garbageBefore + canned->second, now + latencyMs);
        return;
    }
    for (const ScpiCommand& cmd : parseScpiMessage(message)) handle(cmd, now, port);
}

void ScopeModel::handle(const ScpiCommand& cmd, int64_t now, SimPort& port) {
    if (cmd.common) return handleCommon(cmd, now, port);
    if (handleAction(cmd, now, port) || handleSetting(cmd, now, port)) return;
    pushError(errUndefinedHeader);
}

void ScopeModel::handleCommon(const ScpiCommand& cmd, int64_t now, SimPort& port) {
    const std::string& name = cmd.nodes.front().name;
    if (name == "RST" && !cmd.query) {
        settings = ScopeSettings{};
        ++resets;
    } else if (name == "CLS" && !cmd.query) {
        errors.clear();
    } else if (name == "IDN" && cmd.query) {
        reply(identity + "\n", now, port);
    } else if (name == "LRN" && cmd.query) {
        reply(learnString() + "\n", now, port);
    } else if (name == "OPC" && cmd.query) {
        replyInt(1, now, port);
    } else {
        pushError(errUndefinedHeader);
    }
}

// Commands that do something rather than hold a value.
bool ScopeModel::handleAction(const ScpiCommand& cmd, int64_t now, SimPort& port) {
    if (cmd.query && pathMatches(cmd, "SYSTem:ERRor")) {
        std::string error = "+0,\"No error\"";
        if (!errors.empty()) {
            error = errors.front();
            errors.pop_front();
        }
        reply(error + "\n", now, port);
    } else if (cmd.query && pathMatches(cmd, "TRIGger:FREQuency")) {
        replyNumber(triggerFrequency(settings, inputs), now, port);
    } else if (cmd.query && (pathMatches(cmd, "ACQuire1:MEMory") || pathMatches(cmd, "ACQuire2:MEMory"))) {
        sendBlock(cmd.nodes[0].suffix == 2 ? 1 : 0, now, port);
    } else if (!cmd.query && pathMatches(cmd, "AUToset")) {
        autoset();
    } else if (!cmd.query && pathMatches(cmd, "SINGle")) {
        ++acquisition_;  // the one acquisition it takes, then it stops
        settings.running = false;
        ++singles;
    } else if (!cmd.query && pathMatches(cmd, "RUN")) {
        settings.running = true;
    } else if (!cmd.query && pathMatches(cmd, "STOP")) {
        settings.running = false;
    } else {
        return false;
    }
    return true;
}

bool ScopeModel::handleSetting(const ScpiCommand& cmd, int64_t now, SimPort& port) {
    for (const SettingEntry& e : settingEntries(settings)) {
        if (!pathMatches(cmd, e.path)) continue;
        if (cmd.query) {
            if (e.integer)
                replyInt(*e.integer, now, port);
            else
                replyNumber(*e.real, now, port);
            return true;
        }
        double value;
        if (cmd.argument.empty())
            pushError(errMissingParameter);
        else if (!parseSettingValue(cmd.argument, value) || (e.positive && value <= 0.0) ||
                 (e.integer && std::fabs(value) > 1e9))
            pushError(errIllegalValue);
        else if (e.integer)
            *e.integer = int(std::lround(value));
        else
            *e.real = float(value);
        return true;
    }
    return false;
}

void ScopeModel::reply(std::string text, int64_t now, SimPort& port) {
    if (faults.silent) return;
    text = faults.garbageBefore + text;
    if (faults.pieceBytes > 0)
        port.sendInPieces(text, faults.pieceBytes, faults.pieceGapMs, now + latencyMs);
    else
        port.send(text, now + latencyMs);
}

void ScopeModel::replyNumber(double value, int64_t now, SimPort& port) {
    char text[64];
    snprintf(text, sizeof text, "% .3e", value);  // a space where a sign would go
    std::string out = text;
    if (faults.queryReplyPadTo > out.size() + 1) out.append(faults.queryReplyPadTo - out.size() - 1, ' ');
    reply(out + "\n", now, port);
}

void ScopeModel::replyInt(int value, int64_t now, SimPort& port) {
    char text[32];
    snprintf(text, sizeof text, "% d", value);
    std::string out = text;
    if (faults.queryReplyPadTo > out.size() + 1) out.append(faults.queryReplyPadTo - out.size() - 1, ' ');
    reply(out + "\n", now, port);
}

// "#48008" is the IEEE 488.2 definite-length header for the 8008 bytes that
// follow it: period, channel, three reserved bytes, 4000 samples.
void ScopeModel::sendBlock(int channel, int64_t now, SimPort& port) {
    if (settings.running) ++acquisition_;  // a running instrument shows a fresh sweep
    const Samples samples = acquire(settings, inputs, channel, acquisition_, noiseLsb);
    const float period = samplingPeriodOf(settings);
    std::vector<uint8_t> block = {'#', '4', '8', '0', '0', '8'};
    uint32_t bits;
    std::memcpy(&bits, &period, sizeof bits);
    putBigEndian32(block, bits);
    block.push_back(uint8_t(channel + 1));
    block.insert(block.end(), 3, 0);
    for (int16_t v : samples) {
        block.push_back(uint8_t(uint16_t(v) >> 8));
        block.push_back(uint8_t(uint16_t(v) & 0xFF));
    }
    if (faults.shortBlockBytes > 0 && faults.shortBlockBytes < block.size()) block.resize(faults.shortBlockBytes);
    lastBlock[channel] = block;
    lastSamples[channel] = samples;
    lastSamplingPeriod[channel] = period;
    reply(std::string(block.begin(), block.end()), now, port);
}

// Fits each channel's signal into about three divisions either side of the
// centre line and two periods of the trigger source across the screen.
void ScopeModel::autoset() {
    ++autosets;
    for (int n = 0; n < 2; ++n) {
        const SignalSource& in = inputs[n];
        const double peak = std::fabs(in.dcV) + std::fabs(in.amplitudeV);
        settings.channel[n].scale = stepAtOrAbove(peak / 3.0, 2e-3, 10.0);
        settings.channel[n].offset = 0.0f;
    }
    const double f = triggerFrequency(settings, inputs);
    settings.timebaseScale = stepAtOrAbove(f > 0 ? 2.0 / (10.0 * f) : 1e-3, 1e-9, 10.0);
    settings.timebaseDelay = 0.0f;
    settings.triggerLevel = float(inputs[settings.triggerSource == 1 ? 1 : 0].dcV);
    settings.sweep = 0;
    settings.running = true;
}

void ScopeModel::pushError(const char* error) {
    if (errors.size() < errorQueueSize)
        errors.push_back(error);
    else
        errors.back() = errQueueOverflow;
}

}  // namespace bc::sim

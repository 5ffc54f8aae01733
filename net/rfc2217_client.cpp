#include "net/rfc2217_client.h"

#include <cstring>

namespace bc::net {

using namespace telnet;

namespace {

// The four groups of SET-CONTROL values: flow control 0-3, break 4-6, DTR
// 7-9, RTS 10-12.
int controlGroup(uint32_t value) { return value <= 3 ? 0 : value <= 6 ? 1 : value <= 9 ? 2 : 3; }

// The server signs with its name when asked; so do we.
const char kSignature[] = "benchcom";

}  // namespace

void ComPortClient::start(std::string& out) {
    for (uint8_t option : {OPT_BINARY, OPT_SUPPRESS_GO_AHEAD}) {
        options_.accept(option, true, true);
        options_.ask(option, true, out);
        options_.ask(option, false, out);
    }
    options_.accept(OPT_COM_PORT, true, false);
    options_.ask(OPT_COM_PORT, true, out);
}

size_t ComPortClient::receive(const uint8_t* bytes, size_t count, uint8_t* data, std::string& out) {
    out_ = &out;
    const bool dropping = rxPurgeOwed_;
    dropUpTo_ = 0;
    size_t n = decoder_.feed(bytes, count, data, *this);
    out_ = nullptr;
    if (rxPurgeOwed_) return 0;  // all of it was sent before the purge
    if (dropping && dropUpTo_ > 0) {
        std::memmove(data, data + dropUpTo_, n - dropUpTo_);
        n -= dropUpTo_;
    }
    return n;
}

void ComPortClient::negotiation(uint8_t verb, uint8_t option) {
    options_.answer(verb, option, *out_);
    if (option != OPT_COM_PORT || (verb != DO && verb != DONT)) return;
    comPort_ = options_.ours(OPT_COM_PORT) ? Agreement::accepted : Agreement::refused;
}

void ComPortClient::subnegotiation(uint8_t option, const uint8_t* p, size_t size) {
    if (option != OPT_COM_PORT || size == 0 || p[0] < kServerOffset) return;
    const uint8_t command = uint8_t(p[0] - kServerOffset);
    const uint8_t* value = p + 1;
    const size_t valueSize = size - 1;
    switch (command) {
    case SIGNATURE:
        // An empty signature asks for ours.
        if (valueSize == 0)
            appendComPort(SIGNATURE, reinterpret_cast<const uint8_t*>(kSignature), sizeof kSignature - 1, *out_);
        break;
    case SET_BAUDRATE:
        if (valueSize >= 4) answered(command, read32(value));
        break;
    case SET_DATASIZE:
    case SET_PARITY:
    case SET_STOPSIZE:
    case SET_CONTROL:
    case PURGE_DATA:
        if (valueSize >= 1) answered(command, value[0]);
        break;
    case NOTIFY_MODEMSTATE:
        if (valueSize >= 1) modem_ = value[0];
        break;
    default:
        // Line state, flow-control suspend and resume (TCP's own flow
        // control holds the data back), mask answers: nothing to do.
        break;
    }
}

void ComPortClient::owe(uint8_t command, uint32_t value, bool check, bool probe) {
    if (pendingCount_ == kMaxOwed) dropOwed(0);  // a caller that never waits: forget the oldest
    owed_[pendingCount_++] = {command, value, check, probe};
}

void ComPortClient::dropOwed(size_t i) {
    if (owed_[i].command == PURGE_DATA && (owed_[i].value & 1)) rxPurgeOwed_ = false;
    for (size_t k = i + 1; k < pendingCount_; ++k) owed_[k - 1] = owed_[k];
    --pendingCount_;
}

void ComPortClient::answered(uint8_t command, uint32_t value) {
    for (size_t i = 0; i < pendingCount_; ++i) {
        const Owed o = owed_[i];
        if (o.command != command) continue;
        if (command == SET_CONTROL && controlGroup(o.value) != controlGroup(value)) continue;
        // A server answers in the order it was asked: a purge still owed when
        // a later command is answered will not be. The data before this
        // answer was sent before the purge was asked for all the same.
        for (size_t k = 0; k < i;)
            if (owed_[k].command == PURGE_DATA) {
                purgeAnswers_ = Answers::no;
                if (owed_[k].value & 1) dropUpTo_ = decoder_.dataSoFar();
                dropOwed(k);
                --i;
            } else
                ++k;
        if (o.probe) {
            // The server has answered a later command: controls asked before
            // it and still unanswered will not be answered.
            for (size_t k = 0; k < i;)
                if (owed_[k].command == SET_CONTROL) {
                    controlAnswers_[controlGroup(owed_[k].value)] = Answers::no;
                    dropOwed(k);
                    --i;
                } else
                    ++k;
        }
        if (command == SET_CONTROL) controlAnswers_[controlGroup(value)] = Answers::yes;
        if (command == PURGE_DATA) purgeAnswers_ = Answers::yes;
        if (command == PURGE_DATA && (o.value & 1)) dropUpTo_ = decoder_.dataSoFar();
        if (o.check && o.value != value && !refused_) {
            refused_ = true;
            refusal_ = {command, o.value, value};
        }
        dropOwed(i);
        return;
    }
}

void ComPortClient::setting(uint8_t command, uint8_t value, std::string& out) {
    appendComPort(command, value, out);
    if (command != SET_CONTROL) {
        owe(command, value, true);
        return;
    }
    const int group = controlGroup(value);
    if (controlAnswers_[group] == Answers::no) return;
    // Break, DTR and RTS answer with the state the line took; flow control
    // with the mode: only the mode is checked.
    owe(command, value, group == 0);
    if (controlAnswers_[group] == Answers::unknown) probeNeeded_ = true;
}

void ComPortClient::setBaudRate(uint32_t baud, std::string& out) {
    appendComPort32(SET_BAUDRATE, baud, out);
    owe(SET_BAUDRATE, baud, true);
}

void ComPortClient::askBaudRate(std::string& out) {
    appendComPort32(SET_BAUDRATE, 0, out);
    owe(SET_BAUDRATE, 0, false);
}

void ComPortClient::purge(uint8_t what, std::string& out) {
    appendComPort(PURGE_DATA, what, out);
    if (purgeAnswers_ == Answers::no) return;
    owe(PURGE_DATA, what, false);
    if (what & 1) rxPurgeOwed_ = true;
}

void ComPortClient::endBatch(std::string& out) {
    if (!probeNeeded_) return;
    probeNeeded_ = false;
    // Asking the data size changes nothing, and every server answers it.
    appendComPort(SET_DATASIZE, 0, out);
    owe(SET_DATASIZE, 0, false, true);
}

bool ComPortClient::giveUp() {
    bool settingLost = false;
    for (size_t i = 0; i < pendingCount_; ++i) {
        const Owed& o = owed_[i];
        const int group = controlGroup(o.value);
        if (o.command == SET_CONTROL && group != 0)
            controlAnswers_[group] = Answers::no;
        else if (!o.probe)
            settingLost = true;
    }
    pendingCount_ = 0;
    rxPurgeOwed_ = false;
    return settingLost;
}

bool ComPortClient::takeRefusal(Refusal* what) {
    const bool r = refused_;
    if (r && what) *what = refusal_;
    refused_ = false;
    return r;
}

}  // namespace bc::net

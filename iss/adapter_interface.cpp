// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "iss/adapter_interface.h"

namespace bc::iss {

namespace {

int adapterFrameLength(unsigned char sub) {
    switch (sub) {
    case kSubVersion: return kVersionFrameLen;
    case kSubSerial: return kSerialFrameLen;
    case kSubMode: return kModeFrameLen;
    case kSubSelect: return kSelectFrameLen;
    case kSubRead8: return kRead8FrameLen;
    default: return -1;
    }
}

// An I2C frame is its header alone for a read; a write carries the count's
// worth of data bytes after the header.
int i2cFrameLength(const unsigned char* head, size_t have, int headerLen) {
    if (have < size_t(headerLen)) return 0;
    const bool isRead = head[1] & kI2cReadBit;
    return isRead ? headerLen : headerLen + head[headerLen - 1];
}

}  // namespace

int frameLength(const unsigned char* head, size_t have) {
    if (have == 0) return 0;
    switch (head[0]) {
    case kCmdAdapter: return have < 2 ? 0 : adapterFrameLength(head[1]);
    case kCmdSetPins: return kSetPinsFrameLen;
    case kCmdI2cAd1: return i2cFrameLength(head, have, kAd1HeaderLen);
    case kCmdI2cAd0: return i2cFrameLength(head, have, kAd0HeaderLen);
    default: return -1;
    }
}

int replyLength(const unsigned char* frame, size_t length) {
    if (frameLength(frame, length) != int(length)) return 0;
    switch (frame[0]) {
    case kCmdAdapter:
        switch (frame[1]) {
        case kSubVersion: return kVersionReplyLen;
        case kSubSerial: return kSerialReplyLen;
        case kSubMode: return kModeReplyLen;
        case kSubSelect: return kSelectReplyLen;
        default: return kRead8ReplyLen;
        }
    case kCmdSetPins: return kSetPinsReplyLen;
    case kCmdI2cAd1: return frame[1] & kI2cReadBit ? frame[3] : kI2cWriteReplyLen;
    default: return frame[1] & kI2cReadBit ? frame[2] : kI2cWriteReplyLen;
    }
}

int answerLength(const unsigned char* frame, size_t length) {
    const int read = replyLength(frame, length);
    return read == kSerialReplyLen && frame[0] == kCmdAdapter && frame[1] == kSubSerial ? kSerialNumberLen : read;
}

}  // namespace bc::iss

// The records the UDP peer and host exchange: their sizes and fields, and the one
// parser every received record passes through.
#pragma once
#include "platform/Base.h"

#include <cstddef>
#include <string>

// Both sides use one size per record kind; the point of a state record is its last 8 bytes.
constexpr size_t UDP_STATE_SIZE = 96;
constexpr size_t UDP_COMMAND_SIZE = 80;
constexpr size_t UDP_SCENE_SIZE = 492;
constexpr size_t UDP_DATA_MAX = 2048;
constexpr size_t UDP_STATE_POINT = UDP_STATE_SIZE - 8;
constexpr size_t UDP_COMMAND_NAME = 8;      // zero-terminated sender name, 64 bytes
constexpr size_t UDP_COMMAND_NAME_SIZE = 64;
constexpr size_t UDP_COMMAND_SOURCE = 72;   // sender address, network byte order
constexpr int UDP_SLOTS = 8;

enum class EUdpRecord {
    PeerState,  // a state record as the peer takes it
    HostState,  // a state record as the host takes it: word 0 asks to register word 2's slot
    Command,    // a command record as the host takes it: the source is written at 72
    Scene,
};

struct UdpReceipt {
    int nResult = 0;        // 1 taken, 0 refused
    bool bRecvError = false;  // the datagram does not fit the record (or the receive failed)
    int nSlot = -1;         // host state: the slot to register the sender in, -1 none
};

size_t UdpRecordSize(EUdpRecord eKind);

// Turns nLength received bytes (the datagram's full length; -1 for a failed receive) from
// dwSource into the record (UdpRecordSize bytes). The record is cleared first; only the
// bytes received are copied, so a short datagram leaves a zero tail; a longer one fails.
UdpReceipt ParseUdpRecord(EUdpRecord eKind, const BYTE* pBytes, long nLength, DWORD dwSource, BYTE* pRecord);

// Reads the little-endian 32-bit word at nOffset of a record.
LONG UdpRecordWord(const BYTE* pRecord, size_t nOffset);
void SetUdpRecordWord(BYTE* pRecord, size_t nOffset, LONG nValue);
// The sender name of a command record, read only inside its 64-byte field.
std::string UdpCommandName(const BYTE* pRecord);

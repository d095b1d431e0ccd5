// What the UDP peer and host share: the record sizes, the one parser every received
// record passes through, and the pair of sockets with the receive and send steps.
#pragma once
#include "platform/Base.h"
#include "platform/UdpSocket.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

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

class CUdpLink {
public:
    using LogSink = std::function<void(const char*)>;

    CUdpLink() : m_buffer(UDP_DATA_MAX, 0) {}

    // Opens and binds both sockets; on any failure both are closed again and 0 returned.
    int Open(std::uint16_t nListenPort, const char* pszSendSocketText);
    bool IsOpen() const { return m_listen.IsOpen(); }
    void Close();
    std::uint16_t ListenPort() const { return m_listen.LocalPort(); }

    // Waits 10 ms, then tells whether a datagram waits on the listen socket.
    int Poll();
    // Sends the bytes in one datagram; 1 when all went out.
    int Send(DWORD dwAddress, std::uint16_t nPort, const void* pData, size_t nSize);
    // Receives one datagram into the record through the parser.
    UdpReceipt Receive(EUdpRecord eKind, BYTE* pRecord, DWORD* pSource);
    // Receives a variable datagram into the last-datagram copy; 1 when it was not empty.
    int ReceiveData();

    const std::vector<BYTE>& LastData() const { return m_lastData; }
    size_t LastLength() const { return m_nLastLength; }
    DWORD LastSource() const { return m_dwLastSource; }
    BYTE* Buffer() { return m_buffer.data(); }

    void SetLogSink(LogSink sink) { m_log = std::move(sink); }
    void Log(const char* pszText) const {
        if (m_log) m_log(pszText);
    }

private:
    CUdpSocket m_send;
    CUdpSocket m_listen;
    std::vector<BYTE> m_buffer;
    std::vector<BYTE> m_lastData;  // received bytes and a closing zero
    size_t m_nLastLength = 0;
    DWORD m_dwLastSource = 0;
    LogSink m_log;
};

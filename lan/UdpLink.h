// What the UDP peer and host share: the pair of sockets with the receive and send steps.
#pragma once
#include "lan/UdpRecords.h"
#include "platform/UdpSocket.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

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

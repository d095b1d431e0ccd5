// The side of the local-network mode that joins one known host: it sends its state and
// commands there and takes the host's state and scene records. The owner polls.
#pragma once
#include "lan/UdpLink.h"

#include <array>

class CUdpPeer {
public:
    // Listens on nListenPort and sends to the host's nSendPort; pResolver null = the system's.
    explicit CUdpPeer(std::uint16_t nListenPort = 2000, std::uint16_t nSendPort = 2001,
                      IHostResolver* pResolver = nullptr);
    // Says goodbye to a known host (word 2 = 1), then closes both sockets.
    ~CUdpPeer();
    CUdpPeer(const CUdpPeer&) = delete;
    CUdpPeer& operator=(const CUdpPeer&) = delete;

    // Opens both sockets and, for a name, resolves the host. Null: 1 with no host yet.
    // The machine's own name: 0. A second call: 0.
    int Create(const char* pszHost);
    // The name's first IPv4 address, which becomes the host address; 0 when unknown.
    DWORD ResolveHost(const char* pszName);
    int Poll() { return m_link.Poll(); }
    int SendState();
    int SendCommand();
    int ReceiveState();
    int ReceiveScene();
    // Sends 0..2048 bytes to the host; other lengths are refused.
    int SendData(const void* pData, int nLength);
    int ReceiveData() { return m_link.ReceiveData(); }
    int SetFlag(int nValue);
    // Window-message notification does not exist here; nothing to stop.
    void ClearAsyncSelect() {}

    void SetLogSink(CUdpLink::LogSink sink) { m_link.SetLogSink(std::move(sink)); }
    BYTE* State() { return m_state.data(); }
    BYTE* Command() { return m_command.data(); }
    BYTE* Scene() { return m_scene.data(); }
    DWORD HostAddress() const { return m_dwHost; }
    int Flag() const { return m_nFlag; }
    std::uint16_t ListenPort() const { return m_link.ListenPort(); }
    const CUdpLink& Link() const { return m_link; }

private:
    int SendToHost(const void* pData, size_t nSize);

    IHostResolver& m_resolver;
    CUdpLink m_link;
    std::string m_strOwnName;
    DWORD m_dwHost = 0;
    std::uint16_t m_nSendPort;
    std::uint16_t m_nListenPort;
    bool m_bCreated = false;
    int m_nFlag = 0;
    std::array<BYTE, UDP_STATE_SIZE> m_state{};
    std::array<BYTE, UDP_COMMAND_SIZE> m_command{};
    std::array<BYTE, UDP_SCENE_SIZE> m_scene{};
};

// The side of the local-network mode that gathers up to eight peers: a state record with
// word 0 set registers its sender in the slot named by word 2, and the host's state goes
// to every registered peer. The owner polls.
#pragma once
#include "lan/UdpLink.h"

#include <array>

class CUdpHost {
public:
    // Listens on nListenPort and sends to the peers' nSendPort; pResolver null = the system's.
    explicit CUdpHost(std::uint16_t nListenPort = 2001, std::uint16_t nSendPort = 2000,
                      IHostResolver* pResolver = nullptr);
    virtual ~CUdpHost() = default;
    CUdpHost(const CUdpHost&) = delete;
    CUdpHost& operator=(const CUdpHost&) = delete;

    // Opens both sockets and learns the own name and address; 0 on failure or a second call.
    int Create();
    DWORD ResolveLocalAddress(const char* pszName);
    int Poll() { return m_link.Poll(); }
    // Sends the state record to every registered peer; 1 when every send went out.
    int Broadcast();
    int ReceiveState();
    // Registers the source (network byte order) in a slot 0..7 and looks its name up.
    int AddPeer(int nSlot, DWORD dwSource);
    int SendScene(DWORD dwAddress);
    int ReceiveCommand();
    // Sends 0..2048 bytes to the address; 0 at once for address 0 or another length.
    int SendData(DWORD dwAddress, const void* pData, int nLength);
    int ReceiveData() { return m_link.ReceiveData(); }

    void SetLogSink(CUdpLink::LogSink sink) { m_link.SetLogSink(std::move(sink)); }
    BYTE* State() { return m_state.data(); }
    BYTE* Command() { return m_command.data(); }
    BYTE* Scene() { return m_scene.data(); }
    // A slot's address in host byte order (0 = free) and its name ("" when none is known).
    DWORD PeerAddress(int nSlot) const;
    const std::string& PeerName(int nSlot) const;
    DWORD OwnAddress() const { return m_dwOwnAddress; }
    const std::string& OwnName() const { return m_strOwnName; }
    std::uint16_t ListenPort() const { return m_link.ListenPort(); }
    const CUdpLink& Link() const { return m_link; }

private:
    IHostResolver& m_resolver;
    CUdpLink m_link;
    std::array<DWORD, UDP_SLOTS> m_peerAddress{};
    std::array<std::string, UDP_SLOTS> m_peerName;
    DWORD m_dwOwnAddress = 0;
    std::string m_strOwnName;
    std::uint16_t m_nSendPort;
    std::uint16_t m_nListenPort;
    bool m_bCreated = false;
    std::array<BYTE, UDP_STATE_SIZE> m_state{};
    std::array<BYTE, UDP_COMMAND_SIZE> m_command{};
    std::array<BYTE, UDP_SCENE_SIZE> m_scene{};
};

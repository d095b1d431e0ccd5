#include "lan/UdpPeer.h"

#include <cstring>

CUdpPeer::CUdpPeer(std::uint16_t nListenPort, std::uint16_t nSendPort, IHostResolver* pResolver)
    : m_resolver(pResolver != nullptr ? *pResolver : SystemHostResolver()),
      m_nSendPort(nSendPort),
      m_nListenPort(nListenPort) {}

CUdpPeer::~CUdpPeer() {
    SetUdpRecordWord(m_state.data(), 8, 1);
    SendState();
    m_link.Close();
}

int CUdpPeer::Create(const char* pszHost) {
    if (m_bCreated) return 0;
    if (!m_link.Open(m_nListenPort, "Create sendsocket !!!")) return 0;
    m_bCreated = true;
    m_strOwnName.clear();
    m_resolver.LocalName(&m_strOwnName);
    if (pszHost == nullptr) return 1;
    if (m_strOwnName == pszHost) return 0;
    size_t nName = std::min(m_strOwnName.size(), UDP_COMMAND_NAME_SIZE - 1);
    std::memset(m_command.data() + UDP_COMMAND_NAME, 0, UDP_COMMAND_NAME_SIZE);
    std::memcpy(m_command.data() + UDP_COMMAND_NAME, m_strOwnName.data(), nName);
    return ResolveHost(pszHost) != 0 ? 1 : 0;
}

DWORD CUdpPeer::ResolveHost(const char* pszName) {
    DWORD dwAddress = m_resolver.Lookup(pszName);
    if (dwAddress != 0) m_dwHost = dwAddress;
    return dwAddress;
}

int CUdpPeer::SendToHost(const void* pData, size_t nSize) {
    // Without a host the address would be 0, which reaches local listeners: send nothing.
    if (m_dwHost == 0 || !m_link.IsOpen()) return 0;
    return m_link.Send(m_dwHost, m_nSendPort, pData, nSize);
}

int CUdpPeer::SendState() { return SendToHost(m_state.data(), m_state.size()); }

int CUdpPeer::SendCommand() { return SendToHost(m_command.data(), m_command.size()); }

int CUdpPeer::ReceiveState() { return m_link.Receive(EUdpRecord::PeerState, m_state.data(), nullptr).nResult; }

int CUdpPeer::ReceiveScene() { return m_link.Receive(EUdpRecord::Scene, m_scene.data(), nullptr).nResult; }

int CUdpPeer::SendData(const void* pData, int nLength) {
    if (nLength < 0 || size_t(nLength) > UDP_DATA_MAX || (nLength > 0 && pData == nullptr)) return 0;
    m_command.fill(0);
    std::memcpy(m_command.data(), pData, std::min(size_t(nLength), m_command.size()));
    std::memcpy(m_link.Buffer(), pData, size_t(nLength));
    return SendToHost(m_link.Buffer(), size_t(nLength));
}

int CUdpPeer::SetFlag(int nValue) {
    if ((nValue & 0xFF) == 0) return 0;
    m_nFlag = 1;
    return 1;
}

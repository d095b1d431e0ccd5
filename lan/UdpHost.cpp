#include "lan/UdpHost.h"

#include <cstring>

CUdpHost::CUdpHost(std::uint16_t nListenPort, std::uint16_t nSendPort, IHostResolver* pResolver)
    : m_resolver(pResolver != nullptr ? *pResolver : SystemHostResolver()),
      m_nSendPort(nSendPort),
      m_nListenPort(nListenPort) {}

int CUdpHost::Create() {
    if (m_bCreated) return 0;
    if (!m_link.Open(m_nListenPort, "sendsocket ERROR!!!")) return 0;
    m_bCreated = true;
    if (!m_resolver.LocalName(&m_strOwnName)) {
        m_link.Log("Get local name Error!!!");
        return 0;
    }
    ResolveLocalAddress(m_strOwnName.c_str());
    return 1;
}

DWORD CUdpHost::ResolveLocalAddress(const char* pszName) {
    DWORD dwAddress = m_resolver.Lookup(pszName);
    if (dwAddress != 0) m_dwOwnAddress = dwAddress;
    return dwAddress;
}

int CUdpHost::Broadcast() {
    for (DWORD dwPeer : m_peerAddress) {
        if (dwPeer == 0) continue;
        if (!m_link.Send(HostToNet32(dwPeer), m_nSendPort, m_state.data(), m_state.size())) return 0;
    }
    return 1;
}

int CUdpHost::ReceiveState() {
    DWORD dwSource = 0;
    UdpReceipt receipt = m_link.Receive(EUdpRecord::HostState, m_state.data(), &dwSource);
    if (receipt.nSlot < 0) return receipt.nResult;
    return AddPeer(receipt.nSlot, dwSource);
}

int CUdpHost::AddPeer(int nSlot, DWORD dwSource) {
    if (nSlot < 0 || nSlot >= UDP_SLOTS) return 0;
    m_peerAddress[size_t(nSlot)] = NetToHost32(dwSource);
    std::string& strName = m_peerName[size_t(nSlot)];
    strName.clear();
    if (!m_resolver.ReverseLookup(dwSource, &strName)) {
        strName.clear();
        m_link.Log("Hostbyaddr Error !!!");
        return 0;
    }
    return 1;
}

int CUdpHost::SendScene(DWORD dwAddress) {
    if (!m_link.IsOpen()) return 0;
    return m_link.Send(dwAddress, m_nSendPort, m_scene.data(), m_scene.size());
}

int CUdpHost::ReceiveCommand() {
    return m_link.Receive(EUdpRecord::Command, m_command.data(), nullptr).nResult;
}

int CUdpHost::SendData(DWORD dwAddress, const void* pData, int nLength) {
    if (dwAddress == 0 || !m_link.IsOpen()) return 0;
    if (nLength < 0 || size_t(nLength) > UDP_DATA_MAX || (nLength > 0 && pData == nullptr)) return 0;
    std::memcpy(m_link.Buffer(), pData, size_t(nLength));
    return m_link.Send(dwAddress, m_nSendPort, m_link.Buffer(), size_t(nLength));
}

DWORD CUdpHost::PeerAddress(int nSlot) const {
    return nSlot >= 0 && nSlot < UDP_SLOTS ? m_peerAddress[size_t(nSlot)] : 0;
}

const std::string& CUdpHost::PeerName(int nSlot) const {
    static const std::string empty;
    return nSlot >= 0 && nSlot < UDP_SLOTS ? m_peerName[size_t(nSlot)] : empty;
}

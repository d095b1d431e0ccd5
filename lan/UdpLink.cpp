#include "lan/UdpLink.h"

#include "platform/Clock.h"

#include <cstring>

int CUdpLink::Open(std::uint16_t nListenPort, const char* pszSendSocketText) {
    auto fail = [this](const char* pszText) {
        if (pszText != nullptr) Log(pszText);
        Close();
        return 0;
    };
    if (!m_send.Open()) return fail(pszSendSocketText);
    if (!m_send.Bind(0)) return fail("Send bind Error!!!");
    if (!m_send.SetNonBlocking()) return fail(nullptr);
    if (!m_listen.Open()) return fail("listensocket ERROR!!!");
    if (!m_listen.Bind(nListenPort)) return fail("Listen bind Error!!!");
    if (!m_listen.SetNonBlocking()) return fail(nullptr);
    return 1;
}

void CUdpLink::Close() {
    m_send.Close();
    m_listen.Close();
}

int CUdpLink::Poll() {
    SleepMs(10);
    int nReady = m_listen.Readable();
    if (nReady < 0) {
        Log("Select Error!!!");
        return 0;
    }
    return nReady;
}

int CUdpLink::Send(DWORD dwAddress, std::uint16_t nPort, const void* pData, size_t nSize) {
    long nSent = m_send.SendTo(dwAddress, nPort, pData, nSize);
    if (nSent < 0) {
        Log("Sendto Error!!!!");
        return 0;
    }
    return size_t(nSent) >= nSize ? 1 : 0;
}

UdpReceipt CUdpLink::Receive(EUdpRecord eKind, BYTE* pRecord, DWORD* pSource) {
    if (!m_listen.IsOpen()) return UdpReceipt{};
    DWORD dwSource = 0;
    long nGot = m_listen.RecvFrom(m_buffer.data(), UdpRecordSize(eKind), &dwSource);
    UdpReceipt receipt = ParseUdpRecord(eKind, m_buffer.data(), nGot, dwSource, pRecord);
    if (receipt.bRecvError) Log("Recv Error!!!");
    if (pSource != nullptr) *pSource = dwSource;
    return receipt;
}

int CUdpLink::ReceiveData() {
    if (!m_listen.IsOpen()) return 0;
    m_lastData.clear();
    m_nLastLength = 0;
    m_dwLastSource = 0;
    DWORD dwSource = 0;
    long nGot = m_listen.RecvFrom(m_buffer.data(), m_buffer.size(), &dwSource);
    if (nGot < 0 || size_t(nGot) > m_buffer.size()) {
        Log("Recv Error!!!");
        return 0;
    }
    m_lastData.assign(m_buffer.begin(), m_buffer.begin() + nGot);
    m_lastData.push_back(0);
    m_nLastLength = size_t(nGot);
    m_dwLastSource = dwSource;
    return nGot != 0 ? 1 : 0;
}

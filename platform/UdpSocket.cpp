#include "platform/UdpSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

sockaddr_in MakeAddress(std::uint32_t dwAddress, std::uint16_t nPort) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = dwAddress;
    addr.sin_port = htons(nPort);
    return addr;
}

class CSystemHostResolver : public IHostResolver {
public:
    bool LocalName(std::string* pName) override {
        char szName[256] = {};
        if (gethostname(szName, sizeof(szName) - 1) != 0) return false;
        *pName = szName;
        return true;
    }
    std::uint32_t Lookup(const char* pszName) override {
        if (pszName == nullptr) return 0;
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* pList = nullptr;
        if (getaddrinfo(pszName, nullptr, &hints, &pList) != 0 || pList == nullptr) return 0;
        std::uint32_t dwAddress = 0;
        for (addrinfo* p = pList; p != nullptr; p = p->ai_next) {
            if (p->ai_family == AF_INET && p->ai_addrlen >= sizeof(sockaddr_in)) {
                dwAddress = reinterpret_cast<const sockaddr_in*>(p->ai_addr)->sin_addr.s_addr;
                break;
            }
        }
        freeaddrinfo(pList);
        return dwAddress;
    }
    bool ReverseLookup(std::uint32_t dwAddress, std::string* pName) override {
        sockaddr_in addr = MakeAddress(dwAddress, 0);
        char szHost[NI_MAXHOST] = {};
        if (getnameinfo(reinterpret_cast<const sockaddr*>(&addr), sizeof(addr), szHost, sizeof(szHost),
                        nullptr, 0, NI_NAMEREQD) != 0)
            return false;
        *pName = szHost;
        return true;
    }
};

}  // namespace

bool CUdpSocket::Open() {
    Close();
    m_nFd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    return m_nFd >= 0;
}

bool CUdpSocket::Bind(std::uint16_t nPort) {
    if (m_nFd < 0) return false;
    sockaddr_in addr = MakeAddress(htonl(INADDR_ANY), nPort);
    return bind(m_nFd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) == 0;
}

bool CUdpSocket::SetNonBlocking() {
    if (m_nFd < 0) return false;
    int nFlags = fcntl(m_nFd, F_GETFL, 0);
    return nFlags >= 0 && fcntl(m_nFd, F_SETFL, nFlags | O_NONBLOCK) == 0;
}

std::uint16_t CUdpSocket::LocalPort() const {
    if (m_nFd < 0) return 0;
    sockaddr_in addr{};
    socklen_t nLen = sizeof(addr);
    if (getsockname(m_nFd, reinterpret_cast<sockaddr*>(&addr), &nLen) != 0) return 0;
    return ntohs(addr.sin_port);
}

int CUdpSocket::Readable() const {
    if (m_nFd < 0) return -1;
    pollfd entry{m_nFd, POLLIN, 0};
    int nReady = poll(&entry, 1, 0);
    if (nReady < 0) return errno == EINTR ? 0 : -1;
    if (nReady == 0) return 0;
    if (entry.revents & POLLNVAL) return -1;
    return (entry.revents & (POLLIN | POLLERR)) ? 1 : 0;
}

long CUdpSocket::SendTo(std::uint32_t dwAddress, std::uint16_t nPort, const void* pData, size_t nSize) const {
    if (m_nFd < 0) return -1;
    sockaddr_in addr = MakeAddress(dwAddress, nPort);
    ssize_t nSent = sendto(m_nFd, pData, nSize, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&addr),
                           sizeof(addr));
    return nSent < 0 ? -1 : long(nSent);
}

long CUdpSocket::RecvFrom(void* pData, size_t nMax, std::uint32_t* pSource) const {
    if (m_nFd < 0) return -1;
    sockaddr_in addr{};
    socklen_t nLen = sizeof(addr);
    // MSG_TRUNC makes the result the datagram's real length, so a cut datagram is seen.
    ssize_t nGot = recvfrom(m_nFd, pData, nMax, MSG_TRUNC, reinterpret_cast<sockaddr*>(&addr), &nLen);
    if (nGot < 0) return -1;
    if (pSource != nullptr) *pSource = addr.sin_family == AF_INET ? addr.sin_addr.s_addr : 0;
    return long(nGot);
}

void CUdpSocket::Close() {
    if (m_nFd >= 0) {
        close(m_nFd);
        m_nFd = -1;
    }
}

IHostResolver& SystemHostResolver() {
    static CSystemHostResolver resolver;
    return resolver;
}

std::uint32_t LoopbackAddress() { return htonl(INADDR_LOOPBACK); }
std::uint32_t NetToHost32(std::uint32_t dwValue) { return ntohl(dwValue); }
std::uint32_t HostToNet32(std::uint32_t dwValue) { return htonl(dwValue); }

// A small POSIX layer for IPv4 UDP sockets and host-name lookups. Addresses are 32-bit
// IPv4 values in network byte order; ports are in host byte order. Only the dormant
// network classes and their tools use it; the game itself never opens a socket.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class CUdpSocket {
public:
    CUdpSocket() = default;
    ~CUdpSocket() { Close(); }
    CUdpSocket(const CUdpSocket&) = delete;
    CUdpSocket& operator=(const CUdpSocket&) = delete;

    // Opens an AF_INET datagram socket; false when the system refuses.
    bool Open();
    // Binds to INADDR_ANY and the port (0 = any free port).
    bool Bind(std::uint16_t nPort);
    bool SetNonBlocking();
    bool IsOpen() const { return m_nFd >= 0; }
    // The port the socket is bound to, 0 when unbound or unknown.
    std::uint16_t LocalPort() const;
    // 1 when a datagram waits, 0 when none, -1 on a socket error (zero time-out).
    int Readable() const;
    // Sends one datagram; returns the count sent or -1 on an error.
    long SendTo(std::uint32_t dwAddress, std::uint16_t nPort, const void* pData, size_t nSize) const;
    // Receives one datagram into at most nMax bytes. Returns the datagram's full length
    // (which exceeds nMax when it was cut) or -1 on an error; the source goes to *pSource.
    long RecvFrom(void* pData, size_t nMax, std::uint32_t* pSource) const;
    void Close();

private:
    int m_nFd = -1;
};

// Name lookups: the real one asks the system (IPv4 only); tests put a fake in its place.
class IHostResolver {
public:
    virtual ~IHostResolver() = default;
    // This machine's host name; false when it cannot be read.
    virtual bool LocalName(std::string* pName) = 0;
    // The first IPv4 address of a name (network byte order), 0 when unknown.
    virtual std::uint32_t Lookup(const char* pszName) = 0;
    // The name of an address (network byte order); false when it has none.
    virtual bool ReverseLookup(std::uint32_t dwAddress, std::string* pName) = 0;
};

// The system's resolver (gethostname, getaddrinfo, getnameinfo).
IHostResolver& SystemHostResolver();

// 127.0.0.1 in network byte order.
std::uint32_t LoopbackAddress();
// Byte order of 32-bit IPv4 addresses.
std::uint32_t NetToHost32(std::uint32_t dwValue);
std::uint32_t HostToNet32(std::uint32_t dwValue);

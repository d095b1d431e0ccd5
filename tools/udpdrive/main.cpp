// udpdrive: runs the dormant UDP host or peer on this machine for a while so datagrams can be
// sent at it from outside (nc -u, a script). Prints each record it takes and the host's
// slots, and sends its state record once a second (the host broadcasts, the peer sends to
// its host).
//   udpdrive host|peer [--listen P] [--send P] [--host NAME] [--seconds S]
//                      [--receive state|command|scene|data]
#include "lan/UdpHost.h"
#include "lan/UdpPeer.h"
#include "platform/Clock.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Usage() {
    std::fprintf(stderr,
                 "usage: udpdrive host|peer [--listen P] [--send P] [--host NAME] [--seconds S]\n"
                 "                          [--receive state|command|scene|data]\n");
}

std::string AddressText(DWORD dwAddress) {
    DWORD dwHost = NetToHost32(dwAddress);
    char szText[32];
    std::snprintf(szText, sizeof(szText), "%u.%u.%u.%u", (dwHost >> 24) & 255, (dwHost >> 16) & 255,
                  (dwHost >> 8) & 255, dwHost & 255);
    return szText;
}

void PrintRecord(const char* pszWhat, int nResult, const BYTE* pRecord, size_t nSize) {
    std::printf("%s: result %d, word0 %d, word2 %d, bytes", pszWhat, nResult, UdpRecordWord(pRecord, 0),
                UdpRecordWord(pRecord, 8));
    for (size_t i = 0; i < nSize; ++i) std::printf("%s%02x", i % 4 == 0 ? " " : "", pRecord[i]);
    std::printf("\n");
}

bool ParsePort(const char* pszText, std::uint16_t* pPort) {
    char* pEnd = nullptr;
    long nValue = std::strtol(pszText, &pEnd, 10);
    if (pEnd == pszText || *pEnd != 0 || nValue < 0 || nValue > 65535) return false;
    *pPort = std::uint16_t(nValue);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || (std::strcmp(argv[1], "host") != 0 && std::strcmp(argv[1], "peer") != 0)) {
        Usage();
        return 2;
    }
    bool bHost = std::strcmp(argv[1], "host") == 0;
    std::uint16_t nListen = bHost ? 2001 : 2000;
    std::uint16_t nSend = bHost ? 2000 : 2001;
    const char* pszHostName = nullptr;
    long nSeconds = 10;
    std::string strReceive = "state";
    for (int i = 2; i < argc; ++i) {
        bool bHasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--listen") == 0 && bHasValue) {
            if (!ParsePort(argv[++i], &nListen)) return Usage(), 2;
        } else if (std::strcmp(argv[i], "--send") == 0 && bHasValue) {
            if (!ParsePort(argv[++i], &nSend)) return Usage(), 2;
        } else if (std::strcmp(argv[i], "--host") == 0 && bHasValue) {
            pszHostName = argv[++i];
        } else if (std::strcmp(argv[i], "--seconds") == 0 && bHasValue) {
            nSeconds = std::strtol(argv[++i], nullptr, 10);
            if (nSeconds < 0 || nSeconds > 3600) return Usage(), 2;
        } else if (std::strcmp(argv[i], "--receive") == 0 && bHasValue) {
            strReceive = argv[++i];
            if (strReceive != "state" && strReceive != "command" && strReceive != "scene" && strReceive != "data")
                return Usage(), 2;
        } else {
            Usage();
            return 2;
        }
    }
    // No window is wanted. The headless backend would make the clock virtual, which each
    // 10 ms poll would advance at once: the tool waits for datagrams from outside, so its
    // seconds are real ones.
    setenv("GAME_HEADLESS", "1", 0);
    UseVirtualClock(false);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    auto log = [](const char* pszText) { std::printf("log: %s\n", pszText); };

    CUdpHost host(nListen, nSend);
    CUdpPeer peer(nListen, nSend);
    int nCreated = 0;
    if (bHost) {
        host.SetLogSink(log);
        nCreated = host.Create();
        if (!host.Link().IsOpen()) {
            std::fprintf(stderr, "udpdrive: cannot open the host's sockets on port %u\n", nListen);
            return 1;
        }
        std::printf("host listening on %u, sending to %u, name \"%s\"\n", host.ListenPort(), nSend,
                    host.OwnName().c_str());
    } else {
        peer.SetLogSink(log);
        nCreated = peer.Create(pszHostName);
        if (!peer.Link().IsOpen()) {
            std::fprintf(stderr, "udpdrive: cannot open the peer's sockets on port %u\n", nListen);
            return 1;
        }
        std::printf("peer listening on %u, sending to %u, host %s\n", peer.ListenPort(), nSend,
                    peer.HostAddress() != 0 ? AddressText(peer.HostAddress()).c_str() : "none");
    }
    std::printf("create: %d\n", nCreated);

    DWORD dwStart = TimeGetTime();
    DWORD dwLastSend = dwStart - 1000;
    while (TimeGetTime() - dwStart < DWORD(nSeconds) * 1000) {
        if (TimeGetTime() - dwLastSend >= 1000) {
            dwLastSend = TimeGetTime();
            if (bHost)
                std::printf("broadcast: %d\n", host.Broadcast());
            else
                std::printf("send state: %d\n", peer.SendState());
        }
        if ((bHost ? host.Poll() : peer.Poll()) != 1) continue;
        if (strReceive == "data") {
            int nResult = bHost ? host.ReceiveData() : peer.ReceiveData();
            const CUdpLink& link = bHost ? host.Link() : peer.Link();
            std::printf("data from %s: result %d, length %zu\n", AddressText(link.LastSource()).c_str(), nResult,
                        link.LastLength());
        } else if (bHost && strReceive == "command") {
            int nResult = host.ReceiveCommand();
            PrintRecord("command", nResult, host.Command(), UDP_COMMAND_SIZE);
            std::printf("command name \"%s\"\n", UdpCommandName(host.Command()).c_str());
        } else if (bHost) {
            PrintRecord("state", host.ReceiveState(), host.State(), UDP_STATE_SIZE);
        } else if (strReceive == "scene") {
            PrintRecord("scene", peer.ReceiveScene(), peer.Scene(), UDP_SCENE_SIZE);
        } else {
            PrintRecord("state", peer.ReceiveState(), peer.State(), UDP_STATE_SIZE);
        }
        if (bHost) {
            for (int i = 0; i < UDP_SLOTS; ++i) {
                if (host.PeerAddress(i) != 0)
                    std::printf("slot %d: %s \"%s\"\n", i, AddressText(HostToNet32(host.PeerAddress(i))).c_str(),
                                host.PeerName(i).c_str());
            }
        }
    }
    std::printf("done\n");
    return 0;
}
